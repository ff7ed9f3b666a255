// SPDX-License-Identifier: MIT
// The document manager.
#include "framework/DocManager.h"

#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/GuardCommand.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "framework/View.h"

CDocManager::CDocManager(CUiServices& ui, IRecentFiles* pRecentFiles)
    : m_ui(ui), m_pRecentFiles(pRecentFiles) {}
CDocManager::~CDocManager() = default;

void CDocManager::AddDocTemplate(std::unique_ptr<CDocTemplate> pTemplate) {
    pTemplate->m_pDocManager = this;
    m_templates.push_back(std::move(pTemplate));
}

std::vector<CDocument*> CDocManager::Documents() const {
    std::vector<CDocument*> docs;
    for (const auto& pTemplate : m_templates) {
        const std::vector<CDocument*> own = pTemplate->Documents();
        docs.insert(docs.end(), own.begin(), own.end());
    }
    return docs;
}

int CDocManager::GetOpenDocumentCount() const {
    return static_cast<int>(Documents().size());
}

CDocument* CDocManager::OnFileNew() {
    if (m_templates.empty())
        return nullptr;
    return m_templates.front()->OpenDocumentFile(QString());
}

void CDocManager::OnFileOpen() {
    FilePrompt prompt = MakeFilePrompt(QString(), IDS_OPEN_FILE, true, nullptr);
    prompt.bMultiple = true;
    const QStringList files = m_ui.FileDialogs().PromptFileNames(prompt);
    for (const QString& strFileName : files) {
        // A file that does not open says so itself (the document names it); the ones after it
        // still open, even when opening it threw.
        GuardCommand(m_ui, [&] { OpenDocumentFile(strFileName); });
    }
}

CDocument* CDocManager::OpenDocumentFile(const QString& strPathName, bool bAddToMRU) {
    if (strPathName.isEmpty())
        return nullptr;
    CDocTemplate* pBest = nullptr;
    auto bestConfidence = CDocTemplate::EConfidence::NoAttempt;
    for (const auto& pTemplate : m_templates) {
        CDocument* pOpen = nullptr;
        const auto confidence = pTemplate->MatchDocType(strPathName, &pOpen);
        if (confidence == CDocTemplate::EConfidence::YesAlreadyOpen) {
            // The file is open already: show its window instead of a second copy.
            if (!pOpen->Views().empty()) {
                if (CFrameWnd* pFrame = pOpen->Views().front()->GetParentFrame())
                    pFrame->ActivateFrame();
            }
            return pOpen;
        }
        if (confidence > bestConfidence) {
            bestConfidence = confidence;
            pBest = pTemplate.get();
        }
    }
    return pBest != nullptr ? pBest->OpenDocumentFile(strPathName, bAddToMRU) : nullptr;
}

void CDocManager::AddToRecentFileList(const QString& strPathName) {
    if (m_pRecentFiles != nullptr)
        m_pRecentFiles->AddToRecentFileList(strPathName);
}

bool CDocManager::DoPromptFileName(QString& strFileName, unsigned nIDSTitle, bool bOpenFileDialog,
                                   CDocTemplate* pTemplate, ESaveKind) {
    return PromptWithDialogs(m_ui, strFileName, nIDSTitle, bOpenFileDialog, pTemplate);
}

FilePrompt CDocManager::MakeFilePrompt(const QString& strFileName, unsigned nIDSTitle,
                                       bool bOpenFileDialog, CDocTemplate* pTemplate) {
    FilePrompt prompt;
    prompt.strTitle = LoadString(nIDSTitle);
    prompt.strFileName = strFileName;
    prompt.bOpen = bOpenFileDialog;
    if (pTemplate != nullptr) {
        const QString strName = pTemplate->GetDocString(CDocTemplate::EDocString::FilterName);
        const QString strExt = pTemplate->GetDocString(CDocTemplate::EDocString::FilterExt);
        if (!strName.isEmpty() && !strExt.isEmpty()) {
            prompt.filters << strName;
            prompt.strDefaultExt = strExt.startsWith(u'.') ? strExt.mid(1) : strExt;
        }
    }
    // "*.*" would hide the many files without an extension here: the pattern is "*".
    QString strAll = LoadString(IDS_ALL_FILTER);
    strAll.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    prompt.filters << strAll;
    return prompt;
}

bool CDocManager::PromptWithDialogs(CUiServices& ui, QString& strFileName, unsigned nIDSTitle,
                                    bool bOpenFileDialog, CDocTemplate* pTemplate) {
    const FilePrompt prompt = MakeFilePrompt(strFileName, nIDSTitle, bOpenFileDialog, pTemplate);
    const std::optional<QString> answer = ui.FileDialogs().PromptFileName(prompt);
    if (!answer || answer->isEmpty())
        return false;
    strFileName = *answer;
    return true;
}

bool CDocManager::SaveAllModified() {
    for (const auto& pTemplate : m_templates) {
        if (!pTemplate->SaveAllModified())
            return false;
    }
    return true;
}

void CDocManager::CloseAllDocuments(bool bEndSession) {
    for (const auto& pTemplate : m_templates)
        pTemplate->CloseAllDocuments(bEndSession);
}
