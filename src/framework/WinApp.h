// SPDX-License-Identifier: MIT
// The application object's framework half: one per process, the last target of command
// routing, owner of the document manager, the recent-file list and the user-interface services.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/DocManager.h"
#include "framework/UiServices.h"

#include <QString>

#include <memory>

class CDocManager;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CRecentFileList;
class IProfile;

class CWinApp : public CCmdTarget, public IRecentFiles {
    QUORVI_DECLARE_COMMAND_MAP()

public:
    CWinApp();
    ~CWinApp() override;

    // The services this application's documents, frames and dialogs are handed.
    CUiServices& Ui() noexcept { return m_ui; }

    // The document manager (a plain one unless SetDocManager installed another).
    CDocManager& DocManager();
    void SetDocManager(std::unique_ptr<CDocManager> pDocManager);
    void AddDocTemplate(std::unique_ptr<CDocTemplate> pTemplate);

    // The main window; closing it ends the program. The frame routes to this application.
    CFrameWnd* MainWnd() const noexcept { return m_pMainWnd; }
    void SetMainWnd(CFrameWnd* pMainWnd) noexcept;

    // The profile that keeps the recent-file list (non-owning; null keeps it in memory only).
    void SetProfile(IProfile* pProfile) noexcept { m_pProfile = pProfile; }
    IProfile* Profile() const noexcept { return m_pProfile; }
    // Creates the recent-file list with nMaxMRU entries and reads it from the profile.
    void LoadStdProfileSettings(int nMaxMRU);
    CRecentFileList* RecentFileList() const noexcept { return m_pRecentFileList.get(); }
    // Puts the file at the top of the list and writes the list to the profile.
    void AddToRecentFileList(const QString& strPathName) override;
    // Removes the entries from the last to the first, then writes the empty list.
    void ClearRecentFileList();

    virtual CDocument* OpenDocumentFile(const QString& strPathName);
    // The close request: may the program end? The plain one asks about each modified document.
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool bEndSession);

    // Command handlers.
    void OnFileNew();
    void OnFileOpen();
    bool OnOpenRecentFile(unsigned nID);
    void OnUpdateRecentFileMenu(CCmdUI& cmdUI);
    void OnAppExit();

protected:
    // Called after each removal by ClearRecentFileList, so that an open File menu can follow.
    virtual void OnRecentFileListChanged() {}

private:
    void WriteRecentFileList();

    CUiServices m_ui;
    std::unique_ptr<CDocManager> m_pDocManager;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    IProfile* m_pProfile = nullptr;
    CFrameWnd* m_pMainWnd = nullptr;
};
