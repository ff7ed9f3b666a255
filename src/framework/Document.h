// SPDX-License-Identifier: MIT
// The document base: title, path, modified flag, the views to notify, and the new, open, save
// and close steps with the "Save changes to %1?" prompt. Qt Core only, so that documents run
// without a display; the user is reached through the services of UiServices.h.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/SaveKind.h"

#include <QObject>
#include <QString>

#include <vector>

class CDocTemplate;
class CFrameWnd;
class CUiServices;
class CView;
struct ViewUpdate;

class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // ui: the services the document reaches the user with; must outlive it.
    explicit CDocument(CUiServices& ui);
    ~CDocument() override;

    const QString& GetTitle() const noexcept { return m_strTitle; }
    virtual void SetTitle(const QString& strTitle);
    const QString& GetPathName() const noexcept { return m_strPathName; }
    // Sets the path (made absolute), the title (the file name) and, with bAddToMRU, puts the
    // file at the top of the recent-file list.
    virtual void SetPathName(const QString& strPathName, bool bAddToMRU = true);
    void ClearPathName();

    bool IsModified() const noexcept { return m_bModified; }
    virtual void SetModifiedFlag(bool bModified = true);

    CDocTemplate* GetDocTemplate() const noexcept { return m_pDocTemplate; }
    // When set (the default) the document closes itself when its last view goes.
    bool IsAutoDelete() const noexcept { return m_bAutoDelete; }
    void SetAutoDelete(bool bAutoDelete) noexcept { m_bAutoDelete = bAutoDelete; }

    const std::vector<CView*>& Views() const noexcept { return m_views; }
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    // Calls OnUpdate of every view but pSender.
    void UpdateAllViews(CView* pSender, const ViewUpdate& update);
    // Numbers the frames when there are several and refreshes their captions.
    void UpdateFrameCounts();

    // Steps run by the template and the document manager.
    virtual bool OnNewDocument();
    // Loads the file; reports its own errors to the user and returns false on failure.
    virtual bool OnOpenDocument(const QString& strPathName) = 0;
    // Writes the file; reports its own errors to the user and returns false on failure.
    virtual bool OnSaveDocument(const QString& strPathName, ESaveKind kind) = 0;
    // Destroys the frames (without asking), empties the document and removes it.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // The views changed; with no views left an auto-delete document closes.
    virtual void OnChangedViewList();

    // When modified asks "Save changes to %1?" (Yes saves, No keeps going without saving,
    // Cancel stops). Returns false when closing must not go on.
    virtual bool SaveModified();
    // May pFrame close? Yes when another frame still shows the document, else SaveModified.
    virtual bool CanCloseFrame(CFrameWnd* pFrame);

    // Saves under the current path, asking for one when there is none or the file is
    // read-only. Returns false when nothing was saved.
    virtual bool DoFileSave(ESaveKind kind = ESaveKind::User);
    // Saves under strPathName, or asks for a name when it is empty. With bReplace the document
    // takes the new name (Save As); without it a copy is written.
    virtual bool DoSave(const QString& strPathName, bool bReplace = true,
                        ESaveKind kind = ESaveKind::User);

    // The title as a name, without the marks a document may add to its caption (" *" for
    // unsaved changes): the title itself here.
    virtual QString NameTitle() const { return m_strTitle; }
    // The name the save prompt and the file dialogs use: the file name, else the title without
    // its marks, else "Untitled".
    QString PromptName() const;

    // Command handlers (ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS).
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

protected:
    CUiServices& Ui() const noexcept { return m_ui; }

signals:
    void titleChanged(const QString& strTitle);
    void modifiedChanged(bool bModified);
    void pathNameChanged(const QString& strPathName);

private:
    friend class CDocTemplate;
    // Non-owning: frames of this document, one per view.
    std::vector<CFrameWnd*> Frames() const;

    CUiServices& m_ui;
    CDocTemplate* m_pDocTemplate = nullptr;
    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
    bool m_bAutoDelete = true;
    bool m_bClosing = false;
    std::vector<CView*> m_views;
};
