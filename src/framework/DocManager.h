// SPDX-License-Identifier: MIT
// The document manager: the templates, File New and File Open, the file-name prompt, and the
// steps over all open documents (save all modified, close all).
#pragma once

#include "framework/SaveKind.h"

#include <QString>

#include <memory>
#include <vector>

class CDocTemplate;
class CDocument;
class CUiServices;
struct FilePrompt;

// Where the files opened and saved are remembered (the application's recent-file list).
class IRecentFiles {
public:
    virtual ~IRecentFiles() = default;
    virtual void AddToRecentFileList(const QString& strPathName) = 0;
};

class CDocManager {
public:
    // ui: what the documents and prompts reach the user with; pRecentFiles: where opened and
    // saved files go (null: nowhere). Both must outlive the manager.
    explicit CDocManager(CUiServices& ui, IRecentFiles* pRecentFiles = nullptr);
    virtual ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    void AddDocTemplate(std::unique_ptr<CDocTemplate> pTemplate);
    const std::vector<std::unique_ptr<CDocTemplate>>& Templates() const noexcept {
        return m_templates;
    }

    std::vector<CDocument*> Documents() const;
    int GetOpenDocumentCount() const;

    // A new untitled document of the first template.
    virtual CDocument* OnFileNew();
    // Asks for files (several may be chosen) and opens each.
    virtual void OnFileOpen();
    // Opens the file, or brings forward the window of the document that already has it open.
    virtual CDocument* OpenDocumentFile(const QString& strPathName, bool bAddToMRU = true);

    // Asks for a file name; strFileName brings the proposal and takes the answer. nIDSTitle is
    // the string id of the dialog's caption. Returns false when the user cancelled.
    virtual bool DoPromptFileName(QString& strFileName, unsigned nIDSTitle, bool bOpenFileDialog,
                                  CDocTemplate* pTemplate, ESaveKind kind = ESaveKind::User);
    // The plain prompt through ui's file dialogs (for documents without a manager too).
    static bool PromptWithDialogs(CUiServices& ui, QString& strFileName, unsigned nIDSTitle,
                                  bool bOpenFileDialog, CDocTemplate* pTemplate);

    CUiServices& Ui() const noexcept { return m_ui; }
    // Puts the file at the top of the application's recent-file list.
    void AddToRecentFileList(const QString& strPathName);

    // Runs the save-changes prompt of each modified document; false as soon as one is cancelled.
    virtual bool SaveAllModified();
    // Closes every document without asking.
    virtual void CloseAllDocuments(bool bEndSession);

private:
    // The prompt's caption, proposal, direction and the template's file type before "All files".
    static FilePrompt MakeFilePrompt(const QString& strFileName, unsigned nIDSTitle,
                                     bool bOpenFileDialog, CDocTemplate* pTemplate);

    CUiServices& m_ui;
    IRecentFiles* m_pRecentFiles;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};
