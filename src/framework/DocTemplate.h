// SPDX-License-Identifier: MIT
// The document template: makes the documents of one kind with their frames and views, owns the
// open documents, numbers untitled ones, and runs new, open and close for them.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CDocManager;
class CDocument;
class CFrameWnd;
class CUiServices;

class CDocTemplate {
public:
    // The fields of the document string (string-table entry of the template's resource id):
    // "window title\ndoc name\nnew-file name\nfilter name\nfilter extension\ntype id\ntype name".
    enum class EDocString {
        WindowTitle,
        DocName,
        FileNewName,
        FilterName,
        FilterExt,
        RegFileTypeId,
        RegFileTypeName
    };
    enum class EConfidence {
        NoAttempt,
        MaybeAttemptForeign,
        MaybeAttemptNative,
        YesAttemptNative,
        YesAlreadyOpen
    };
    // Makes a document that reaches the user through the given services.
    using DocumentFactory = std::function<std::unique_ptr<CDocument>(CUiServices&)>;

    // The document string is read from the string table entry nIDResource.
    CDocTemplate(unsigned nIDResource, DocumentFactory factory);
    virtual ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    unsigned ResourceID() const noexcept { return m_nIDResource; }
    QString GetDocString(EDocString index) const;
    void SetDocString(const QString& strDocString) { m_strDocString = strDocString; }

    CDocManager* GetDocManager() const noexcept { return m_pDocManager; }
    std::vector<CDocument*> Documents() const;
    bool OwnsDocument(const CDocument* pDoc) const;

    // Opens a new untitled document (empty path) or the file. Returns null when the document
    // refused (it has told the user why) or no frame could be made.
    virtual CDocument* OpenDocumentFile(const QString& strPathName, bool bAddToMRU = true,
                                        bool bMakeVisible = true);
    // Opens a new untitled document whose content init sets up instead of OnNewDocument (a
    // document made from an image the caller holds). Null as for OpenDocumentFile.
    CDocument* OpenNewDocument(const std::function<bool(CDocument&)>& init,
                               bool bMakeVisible = true);
    // A new document, owned by this template (which must belong to a document manager).
    virtual CDocument* CreateNewDocument();
    // A frame with its view on pDoc (pOther: an existing frame to copy, or null). Null on failure.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) = 0;
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, bool bMakeVisible = true);
    // "Quorv1", "Quorv2", ... from the document name and the untitled count.
    virtual void SetDefaultTitle(CDocument* pDoc);

    // How well this template fits the file; YesAlreadyOpen with *pMatch when it is open.
    virtual EConfidence MatchDocType(const QString& strPathName, CDocument** ppMatch) const;

    // Takes the document out of the template; it is deleted once control returns to the event
    // loop (it may be deep in one of its own handlers now).
    void RemoveDocument(CDocument* pDoc);
    bool SaveAllModified();
    void CloseAllDocuments(bool bEndSession);

private:
    friend class CDocManager;
    // Makes the document and its frame, then load fills it; closes it again when load fails.
    CDocument* OpenWith(const std::function<bool(CDocument&)>& load, bool bMakeVisible);
    unsigned m_nIDResource;
    QString m_strDocString;
    DocumentFactory m_factory;
    CDocManager* m_pDocManager = nullptr;
    unsigned m_nUntitledCount = 0;
    std::vector<std::unique_ptr<CDocument>> m_documents;
};
