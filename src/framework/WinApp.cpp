// SPDX-License-Identifier: MIT
// The application object's framework half.
#include "framework/WinApp.h"

#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWnd.h"
#include "framework/GuardCommand.h"
#include "framework/Profile.h"
#include "framework/RecentFileList.h"

const CCommandMap& CWinApp::ThisCommandMap() {
    static const CCommandMap s_map =
        TCommandMapBuilder<CWinApp>(&CCmdTarget::ThisCommandMap())
            .On(ID_FILE_NEW, &CWinApp::OnFileNew)
            .On(ID_FILE_OPEN, &CWinApp::OnFileOpen)
            .OnExRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, &CWinApp::OnOpenRecentFile)
            .OnUpdate(ID_FILE_MRU_FILE1, &CWinApp::OnUpdateRecentFileMenu)
            .On(ID_APP_EXIT, &CWinApp::OnAppExit)
            .Build();
    return s_map;
}

CWinApp::CWinApp() = default;

CWinApp::~CWinApp() {
    // Documents go before the services they may still use while closing.
    m_pDocManager.reset();
    SetMainWnd(nullptr);
}

void CWinApp::SetMainWnd(CFrameWnd* pMainWnd) noexcept {
    if (m_pMainWnd != nullptr && m_pMainWnd->Application() == this)
        m_pMainWnd->SetApplication(nullptr);
    m_pMainWnd = pMainWnd;
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SetApplication(this);
}

CDocManager& CWinApp::DocManager() {
    if (!m_pDocManager)
        m_pDocManager = std::make_unique<CDocManager>(m_ui, this);
    return *m_pDocManager;
}

void CWinApp::SetDocManager(std::unique_ptr<CDocManager> pDocManager) {
    m_pDocManager = std::move(pDocManager);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> pTemplate) {
    DocManager().AddDocTemplate(std::move(pTemplate));
}

void CWinApp::LoadStdProfileSettings(int nMaxMRU) {
    m_pRecentFileList = std::make_unique<CRecentFileList>(
        ID_FILE_MRU_FILE1, QStringLiteral("Recent File List"), QStringLiteral("File%d"), nMaxMRU);
    if (m_pProfile != nullptr)
        m_pRecentFileList->ReadList(*m_pProfile);
}

void CWinApp::AddToRecentFileList(const QString& strPathName) {
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(strPathName);
    WriteRecentFileList();
}

void CWinApp::ClearRecentFileList() {
    if (!m_pRecentFileList)
        return;
    CWaitCursor wait(m_ui);
    for (int i = m_pRecentFileList->Count() - 1; i >= 0; --i) {
        m_pRecentFileList->Remove(i);
        OnRecentFileListChanged();
    }
    WriteRecentFileList();
}

void CWinApp::WriteRecentFileList() {
    if (m_pRecentFileList && m_pProfile != nullptr)
        m_pRecentFileList->WriteList(*m_pProfile);
}

CDocument* CWinApp::OpenDocumentFile(const QString& strPathName) {
    return DocManager().OpenDocumentFile(strPathName);
}

bool CWinApp::SaveAllModified() {
    return DocManager().SaveAllModified();
}

void CWinApp::CloseAllDocuments(bool bEndSession) {
    DocManager().CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew() {
    DocManager().OnFileNew();
}

void CWinApp::OnFileOpen() {
    DocManager().OnFileOpen();
}

bool CWinApp::OnOpenRecentFile(unsigned nID) {
    if (!m_pRecentFileList)
        return false;
    const int nIndex = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (nIndex < 0 || nIndex >= m_pRecentFileList->Count())
        return false;
    const QString strPath = (*m_pRecentFileList)[nIndex];
    if (OpenDocumentFile(strPath) == nullptr) {
        // The file is gone or unreadable (the document said why): it leaves the list.
        m_pRecentFileList->Remove(nIndex);
        WriteRecentFileList();
    }
    return true;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI& cmdUI) {
    if (!m_pRecentFileList) {
        cmdUI.Enable(false);
        return;
    }
    m_pRecentFileList->UpdateMenu(cmdUI);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr)
        m_pMainWnd->RequestClose();
}
