// SPDX-License-Identifier: MIT
// The document base.
#include "framework/Document.h"

#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWnd.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "framework/View.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

const CCommandMap& CDocument::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CDocument>(&CCmdTarget::ThisCommandMap())
                                         .On(ID_FILE_CLOSE, &CDocument::OnFileClose)
                                         .On(ID_FILE_SAVE, &CDocument::OnFileSave)
                                         .On(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
                                         .Build();
    return s_map;
}

CDocument::CDocument(CUiServices& ui) : m_ui(ui) {}

CDocument::~CDocument() {
    // Views that outlive their document must not reach back into it.
    for (CView* pView : m_views)
        pView->m_pDocument = nullptr;
}

void CDocument::SetTitle(const QString& strTitle) {
    if (m_strTitle == strTitle)
        return;
    m_strTitle = strTitle;
    UpdateFrameCounts();
    emit titleChanged(m_strTitle);
}

void CDocument::SetPathName(const QString& strPathName, bool bAddToMRU) {
    const QString strFull = QDir::cleanPath(QFileInfo(strPathName).absoluteFilePath());
    m_strPathName = strFull;
    SetTitle(QFileInfo(strFull).fileName());
    if (bAddToMRU && m_pDocTemplate != nullptr && m_pDocTemplate->GetDocManager() != nullptr)
        m_pDocTemplate->GetDocManager()->AddToRecentFileList(strFull);
    emit pathNameChanged(m_strPathName);
}

void CDocument::ClearPathName() {
    if (m_strPathName.isEmpty())
        return;
    m_strPathName.clear();
    emit pathNameChanged(m_strPathName);
}

void CDocument::SetModifiedFlag(bool bModified) {
    if (m_bModified == bModified)
        return;
    m_bModified = bModified;
    emit modifiedChanged(m_bModified);
}

void CDocument::AddView(CView* pView) {
    if (pView == nullptr || pView->m_pDocument == this)
        return;
    if (pView->m_pDocument != nullptr)
        pView->m_pDocument->RemoveView(pView);
    m_views.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    auto it = std::find(m_views.begin(), m_views.end(), pView);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* pSender, const ViewUpdate& update) {
    // A view's update may close views; walk a copy and skip the ones that left.
    const std::vector<CView*> views = m_views;
    for (CView* pView : views) {
        if (pView != pSender && std::find(m_views.begin(), m_views.end(), pView) != m_views.end())
            pView->OnUpdate(pSender, update);
    }
}

std::vector<CFrameWnd*> CDocument::Frames() const {
    std::vector<CFrameWnd*> frames;
    for (CView* pView : m_views) {
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != nullptr && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    return frames;
}

void CDocument::UpdateFrameCounts() {
    const std::vector<CFrameWnd*> frames = Frames();
    int nWindow = frames.size() > 1 ? 1 : 0;
    for (CFrameWnd* pFrame : frames) {
        pFrame->SetWindowNumber(nWindow);
        if (nWindow > 0)
            ++nWindow;
        pFrame->OnUpdateFrameTitle();
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    ClearPathName();
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument() {
    if (m_bClosing)
        return;
    // Views leaving now must not start a second close.
    m_bClosing = true;
    while (!m_views.empty()) {
        CView* pView = m_views.front();
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->DestroyFrame();
        if (!m_views.empty() && m_views.front() == pView)
            RemoveView(pView);
    }
    DeleteContents();
    m_bClosing = false;
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::OnChangedViewList() {
    if (m_views.empty() && m_bAutoDelete && !m_bClosing) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

QString CDocument::PromptName() const {
    if (!m_strPathName.isEmpty())
        return QFileInfo(m_strPathName).fileName();
    if (QString strName = NameTitle(); !strName.isEmpty())
        return strName;
    return LoadString(IDS_UNTITLED);
}

bool CDocument::SaveModified() {
    if (!IsModified())
        return true;
    switch (m_ui.AppMessageBox(FormatString1(IDP_ASK_TO_SAVE, PromptName()),
                               EMsgButtons::YesNoCancel)) {
    case EMsgResult::Yes:
        return DoFileSave();
    case EMsgResult::No:
        return true;
    case EMsgResult::Ok:
    case EMsgResult::Cancel:
        break;
    }
    return false;
}

bool CDocument::CanCloseFrame(CFrameWnd* pFrame) {
    for (CView* pView : m_views) {
        if (pView->GetParentFrame() != pFrame)
            return true;
    }
    return SaveModified();
}

bool CDocument::DoFileSave(ESaveKind kind) {
    const QFileInfo info(m_strPathName);
    if (m_strPathName.isEmpty() || (info.exists() && !info.isWritable()))
        return DoSave(QString(), true, kind);
    return DoSave(m_strPathName, true, kind);
}

bool CDocument::DoSave(const QString& strPathName, bool bReplace, ESaveKind kind) {
    QString strNewName = strPathName;
    if (strNewName.isEmpty()) {
        strNewName = m_strPathName;
        if (bReplace && strNewName.isEmpty()) {
            // A title such as "Quorv1 *" is no file name: keep what comes before the first
            // character that cannot start one.
            strNewName = m_strTitle;
            const qsizetype nBad =
                strNewName.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]")));
            if (nBad >= 0)
                strNewName.truncate(nBad);
            if (m_pDocTemplate != nullptr) {
                const QString strExt =
                    m_pDocTemplate->GetDocString(CDocTemplate::EDocString::FilterExt);
                if (!strExt.isEmpty() && !strNewName.isEmpty())
                    strNewName += strExt;
            }
        }
        const unsigned nTitle = bReplace ? IDS_SAVE_FILE : IDS_SAVE_FILE_COPY;
        CDocManager* pManager =
            m_pDocTemplate != nullptr ? m_pDocTemplate->GetDocManager() : nullptr;
        const bool bChosen =
            pManager != nullptr
                ? pManager->DoPromptFileName(strNewName, nTitle, false, m_pDocTemplate, kind)
                : CDocManager::PromptWithDialogs(m_ui, strNewName, nTitle, false, nullptr);
        if (!bChosen)
            return false;
    }
    {
        CWaitCursor wait(m_ui);
        // A failed save leaves the file as the writer left it; nothing is deleted here, so an
        // existing file chosen as the target is never lost to a failed write.
        if (!OnSaveDocument(strNewName, kind))
            return false;
    }
    // The recent-file list is for files the user chose; automatic saves of captures would push
    // them out.
    if (bReplace)
        SetPathName(strNewName, kind != ESaveKind::Automatic);
    return true;
}

void CDocument::OnFileClose() {
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave() {
    DoFileSave();
}

void CDocument::OnFileSaveAs() {
    DoSave(QString());
}
