// SPDX-License-Identifier: MIT
// The document template.
#include "framework/DocTemplate.h"

#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "framework/View.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString SamePathKey(const QString& strPath) {
    const QFileInfo info(strPath);
    const QString strCanonical = info.canonicalFilePath();
    return strCanonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : strCanonical;
}

} // namespace

CDocTemplate::CDocTemplate(unsigned nIDResource, DocumentFactory factory)
    : m_nIDResource(nIDResource), m_strDocString(LoadString(nIDResource)),
      m_factory(std::move(factory)) {}

CDocTemplate::~CDocTemplate() {
    // Documents still open at the end go with the template; their views are already gone or
    // going with their windows.
    for (auto& pDoc : m_documents)
        pDoc->m_pDocTemplate = nullptr;
}

QString CDocTemplate::GetDocString(EDocString index) const {
    const QStringList fields = m_strDocString.split(u'\n');
    const auto n = static_cast<qsizetype>(index);
    return n < fields.size() ? fields[n] : QString();
}

std::vector<CDocument*> CDocTemplate::Documents() const {
    std::vector<CDocument*> docs;
    for (const auto& pDoc : m_documents)
        docs.push_back(pDoc.get());
    return docs;
}

bool CDocTemplate::OwnsDocument(const CDocument* pDoc) const {
    return std::any_of(m_documents.begin(), m_documents.end(),
                       [pDoc](const auto& p) { return p.get() == pDoc; });
}

CDocument* CDocTemplate::CreateNewDocument() {
    std::unique_ptr<CDocument> pDoc =
        m_factory && m_pDocManager != nullptr ? m_factory(m_pDocManager->Ui()) : nullptr;
    if (!pDoc)
        return nullptr;
    pDoc->m_pDocTemplate = this;
    m_documents.push_back(std::move(pDoc));
    return m_documents.back().get();
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& strPathName, bool bAddToMRU,
                                          bool bMakeVisible) {
    if (strPathName.isEmpty())
        return OpenNewDocument([](CDocument& doc) { return doc.OnNewDocument(); }, bMakeVisible);
    return OpenWith(
        [&](CDocument& doc) {
            CWaitCursor wait(m_pDocManager->Ui());
            if (!doc.OnOpenDocument(strPathName))
                return false;
            doc.SetPathName(strPathName, bAddToMRU);
            return true;
        },
        bMakeVisible);
}

CDocument* CDocTemplate::OpenNewDocument(const std::function<bool(CDocument&)>& init,
                                         bool bMakeVisible) {
    return OpenWith(
        [&](CDocument& doc) {
            SetDefaultTitle(&doc);
            if (!init(doc))
                return false;
            ++m_nUntitledCount;
            return true;
        },
        bMakeVisible);
}

CDocument* CDocTemplate::OpenWith(const std::function<bool(CDocument&)>& load, bool bMakeVisible) {
    CDocument* pDoc = CreateNewDocument();
    if (pDoc == nullptr) {
        if (m_pDocManager != nullptr)
            m_pDocManager->Ui().AppMessageBox(IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    // A failure before the frame exists must not close the document through its views.
    const bool bAutoDelete = pDoc->IsAutoDelete();
    pDoc->SetAutoDelete(false);
    CFrameWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    pDoc->SetAutoDelete(bAutoDelete);
    if (pFrame == nullptr) {
        m_pDocManager->Ui().AppMessageBox(IDP_FAILED_TO_CREATE_DOC);
        pDoc->OnCloseDocument();
        return nullptr;
    }
    if (!load(*pDoc)) {
        // The document has told the user what went wrong.
        pDoc->OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, bool bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* pDoc) {
    const QString strDocName = GetDocString(EDocString::DocName);
    pDoc->SetTitle(strDocName.isEmpty() ? LoadString(IDS_UNTITLED)
                                        : strDocName + QString::number(m_nUntitledCount + 1));
}

CDocTemplate::EConfidence CDocTemplate::MatchDocType(const QString& strPathName,
                                                     CDocument** ppMatch) const {
    *ppMatch = nullptr;
    const QString strKey = SamePathKey(strPathName);
    for (const auto& pDoc : m_documents) {
        if (!pDoc->GetPathName().isEmpty() && SamePathKey(pDoc->GetPathName()) == strKey) {
            *ppMatch = pDoc.get();
            return EConfidence::YesAlreadyOpen;
        }
    }
    const QString strExt = GetDocString(EDocString::FilterExt);
    if (!strExt.isEmpty() && strPathName.endsWith(strExt, Qt::CaseInsensitive))
        return EConfidence::YesAttemptNative;
    return EConfidence::MaybeAttemptNative;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [pDoc](const auto& p) { return p.get() == pDoc; });
    if (it == m_documents.end())
        return;
    CDocument* pReleased = it->release();
    m_documents.erase(it);
    pReleased->m_pDocTemplate = nullptr;
    pReleased->deleteLater();
}

bool CDocTemplate::SaveAllModified() {
    for (CDocument* pDoc : Documents()) {
        if (OwnsDocument(pDoc) && !pDoc->SaveModified())
            return false;
    }
    return true;
}

void CDocTemplate::CloseAllDocuments(bool) {
    for (CDocument* pDoc : Documents()) {
        if (OwnsDocument(pDoc))
            pDoc->OnCloseDocument();
    }
}
