// SPDX-License-Identifier: MIT
// The services of the user interface that documents and commands use (message boxes, wait
// cursor, status text, progress, file prompts), each behind a small interface so that the
// document layer runs and is tested without a display.
#pragma once

#include "framework/MessageBoxes.h"
#include "image/ProgressSink.h"

#include <QString>
#include <QStringList>

#include <optional>

class IWaitCursor {
public:
    virtual ~IWaitCursor() = default;
    // Calls nest: the cursor returns when every Begin has had its End.
    virtual void Begin() = 0;
    virtual void End() = 0;
};

class IStatusText {
public:
    virtual ~IStatusText() = default;
    // The message pane (pane 0) of the main window's status bar.
    virtual void SetMessageText(const QString& strText) = 0;
};

// What a file-name prompt asks for.
struct FilePrompt {
    QString strTitle;       // dialog caption
    QString strFileName;    // proposed name or path
    bool bOpen = true;      // open (true) or save (false)
    QStringList filters;    // "Description (*.a *.b)" entries
    int nFilterIndex = 0;   // selected entry, counted from 0
    QString strDefaultExt;  // without the dot; appended when the name has none
    bool bMultiple = false; // open: several files may be chosen at once
};

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> PromptFileName(const FilePrompt& prompt) = 0;
    // The chosen paths (several when the prompt allows them), empty when the user cancelled.
    // Prompts that can only give one file need not override it: it asks PromptFileName.
    virtual QStringList PromptFileNames(const FilePrompt& prompt);
};

// The services an application installs; a service that was not installed falls back to one
// that needs no display: boxes answer as if dismissed (and the text goes to the log), file
// prompts are cancelled, cursor, status and progress do nothing.
class CUiServices {
public:
    CUiServices();

    IMessageBoxes& MessageBoxes() const noexcept;
    IWaitCursor& WaitCursor() const noexcept;
    IStatusText& StatusText() const noexcept;
    CProgressSink& Progress() const noexcept;
    IFileDialogs& FileDialogs() const noexcept;

    // Shows a box through the installed message boxes, captioned with the application title.
    EMsgResult AppMessageBox(const QString& strText, EMsgButtons buttons = EMsgButtons::Ok,
                             EMsgIcon icon = EMsgIcon::Default, int nDefaultButton = 0) const;
    // The same with the text of a string-table entry.
    EMsgResult AppMessageBox(unsigned nIDPrompt, EMsgButtons buttons = EMsgButtons::Ok,
                             EMsgIcon icon = EMsgIcon::Default, int nDefaultButton = 0) const;

    // Non-owning; the installed object must outlive its use. Null restores the fallback.
    void SetMessageBoxes(IMessageBoxes* p) noexcept { m_pMessageBoxes = p; }
    void SetWaitCursor(IWaitCursor* p) noexcept { m_pWaitCursor = p; }
    void SetStatusText(IStatusText* p) noexcept { m_pStatusText = p; }
    void SetProgress(CProgressSink* p) noexcept { m_pProgress = p; }
    void SetFileDialogs(IFileDialogs* p) noexcept { m_pFileDialogs = p; }

private:
    IMessageBoxes* m_pMessageBoxes = nullptr;
    IWaitCursor* m_pWaitCursor = nullptr;
    IStatusText* m_pStatusText = nullptr;
    CProgressSink* m_pProgress = nullptr;
    IFileDialogs* m_pFileDialogs = nullptr;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor {
public:
    explicit CWaitCursor(const CUiServices& ui) : m_cursor(ui.WaitCursor()) { m_cursor.Begin(); }
    ~CWaitCursor() { m_cursor.End(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    IWaitCursor& m_cursor;
};
