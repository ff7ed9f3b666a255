// SPDX-License-Identifier: MIT
// The image document: creation, loading, saving, reloading, the title mark and the history hooks.
#include "document/TavixCaptureDoc.h"

#include "codecs/PictureDecoder.h"
#include "codecs/PictureSave.h"
#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "image/TextException.h"
#include "platform/AppSettings.h"
#include "platform/JpegWriterOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cassert>
#include <utility>

namespace {

// The operation every conversion question names, whatever the command (the program's own text).
const char* const kConversionOperationName = "Resize";
const char* const kSaveErrorPrefix = "Error saving the file: ";
const char* const kNoUndoQuestion = "This operation cannot be undone: there is not enough memory "
                                    "to keep a copy. Continue?";

std::string LocalPath(const QString& strPathName) {
    return QFile::encodeName(strPathName).toStdString();
}

QString ExceptionText(const CTextException& e) {
    return QString::fromStdString(e.Text());
}

} // namespace

CTavixCaptureDoc::CTavixCaptureDoc(IDocumentHost& host, CUiServices& ui)
    : CDocument(ui), m_host(host) {}

CTavixCaptureDoc* CTavixCaptureDoc::OpenNew(CDocTemplate& docTemplate, const CImageBitmap& image,
                                            ENewImage source) {
    CTavixCaptureDoc* pNew = nullptr;
    docTemplate.OpenNewDocument([&](CDocument& doc) {
        pNew = dynamic_cast<CTavixCaptureDoc*>(&doc);
        return pNew != nullptr && pNew->OnNewDocument(image, source);
    });
    return pNew != nullptr && docTemplate.OwnsDocument(pNew) ? pNew : nullptr;
}

CTavixCaptureDoc::~CTavixCaptureDoc() {
    // Nothing may reach views, frames or the title any more; the history's destructor then
    // frees the commands, which no longer touch the image.
    m_bDestroying = true;
    ClearHistory();
}

CProgressSink* CTavixCaptureDoc::Progress() const {
    return &Ui().Progress();
}

bool CTavixCaptureDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return false;
    m_host.PostDocumentChange();
    // A document that got no image has nothing to save and must not ask for a save that
    // cannot succeed.
    UpdateTitle();
    return true;
}

bool CTavixCaptureDoc::OnNewDocument(const CImageBitmap& image, ENewImage source) {
    if (!CDocument::OnNewDocument())
        return false;
    try {
        auto pImage = std::make_unique<CDisplayBitmap>();
        // Screen formats deeper than 8 bits become true colour; palette captures keep theirs.
        const int nDepth = source == ENewImage::Capture && image.Depth() > 8 ? 32 : 0;
        pImage->CreateCopy(image, nDepth);
        m_pImage = std::move(pImage);
    } catch (const CTextException& e) {
        Ui().AppMessageBox(ExceptionText(e));
        m_host.PostDocumentChange();
        return false;
    }
    m_host.PostDocumentChange();
    // Nothing of a new image is on disk yet, so closing it asks to save.
    SetModifiedFlag(true);
    UpdateTitle();
    return true;
}

std::unique_ptr<CDisplayBitmap> CTavixCaptureDoc::DecodeFile(const QString& strPathName) {
    auto pBitmap = std::make_unique<CDisplayBitmap>();
    try {
        m_host.PictureDecoder().LoadFromFile(LocalPath(strPathName), *pBitmap, 0, Progress());
    } catch (const CTextException& e) {
        // Several files may be opening at once (a command line, the recent list): say which.
        Ui().AppMessageBox(QFileInfo(strPathName).fileName() + QStringLiteral(": ") +
                           ExceptionText(e));
        return nullptr;
    }
    return pBitmap;
}

void CTavixCaptureDoc::ResetHistory() {
    // Commands refer to the image that is about to be replaced: the pending one goes first.
    CommitPending(false);
    m_nSavedChangeCount = 0;
    ClearHistory();
    m_strLastCommand.clear();
}

void CTavixCaptureDoc::InstallLoadedImage(std::unique_ptr<CDisplayBitmap> pBitmap) {
    ResetHistory();
    if (m_pImage)
        m_pImage->SwapStorage(*pBitmap); // views keep their pointer to the image
    else
        m_pImage = std::move(pBitmap);
    SetModifiedFlag(false);
    UpdateTitle();
}

bool CTavixCaptureDoc::OnOpenDocument(const QString& strPathName) {
    DeleteContents();
    std::unique_ptr<CDisplayBitmap> pLoaded = DecodeFile(strPathName);
    if (!pLoaded) {
        m_host.PostDocumentChange();
        return false;
    }
    InstallLoadedImage(std::move(pLoaded));
    SetPathName(strPathName, true);
    // The file dialogs start in the folder of the last file opened.
    QDir::setCurrent(QFileInfo(GetPathName()).absolutePath());
    m_host.PostDocumentChange();
    return true;
}

bool CTavixCaptureDoc::OnSaveDocument(const QString& strPathName, ESaveKind kind) {
    const bool bAutoSave = kind == ESaveKind::Automatic;
    if (!m_pImage)
        return false;
    platform::CAppSettings& settings = m_host.Settings();
    const JpegOptions options = platform::JpegWriterOptions(
        bAutoSave ? settings.StoredJpegOptions() : settings.WorkingJpegOptions());
    try {
        codec::SavePicture(LocalPath(strPathName), *m_pImage, options);
    } catch (const CTextException& e) {
        // The writer replaces the file only once the new one is complete: the old file stays.
        Ui().AppMessageBox(QString::fromLatin1(kSaveErrorPrefix) + ExceptionText(e));
        return false;
    }
    ++m_nSaveCount;
    m_nSavedChangeCount = Counters().nChangeCount;
    SetModifiedFlag(false);
    UpdateTitle();
    return true;
}

void CTavixCaptureDoc::OnCloseDocument() {
    m_host.PostDocumentChange();
    CDocument::OnCloseDocument();
}

void CTavixCaptureDoc::DeleteContents() {
    ResetHistory();
    m_pImage.reset();
    CDocument::DeleteContents();
}

void CTavixCaptureDoc::SetTitle(const QString& strTitle) {
    m_strBaseTitle = strTitle;
    CDocument::SetTitle(strTitle);
}

void CTavixCaptureDoc::UpdateTitle() {
    if (m_bDestroying)
        return;
    if (m_strBaseTitle.isEmpty() && !GetTitle().isEmpty())
        m_strBaseTitle = GetTitle();
    if (m_strBaseTitle.isEmpty())
        return;
    // The change count is measured from the state last loaded or saved, so that a save clears
    // the mark and undoing back to the saved state does not bring it back.
    const bool bMark = IsModified() || Counters().nChangeCount != m_nSavedChangeCount;
    const QString strTitle = bMark ? m_strBaseTitle + QStringLiteral(" *") : m_strBaseTitle;
    if (strTitle != GetTitle())
        CDocument::SetTitle(strTitle); // keeps m_strBaseTitle; refreshes the frame captions
}

bool CTavixCaptureDoc::EnsureTrueColor() {
    if (!m_pImage)
        return false;
    if (m_pImage->Depth() == 32)
        return true;
    const QString strText =
        FormatString1(IDS_NOT_TRUE_COLOR, QString::fromLatin1(kConversionOperationName));
    if (Ui().AppMessageBox(strText, EMsgButtons::YesNo) != EMsgResult::Yes)
        return false;
    // Converted in place, outside the history: the command that follows records the change
    // (its backup is the converted image) and sets the modified flag.
    std::unique_ptr<CImageBitmap> pConverted = m_pImage->CreateEmptyLike();
    pConverted->CreateCopy(*m_pImage, 32);
    m_pImage->SwapStorage(*pConverted);
    UpdateAllViews(nullptr, ViewUpdate::Image());
    return true;
}

void CTavixCaptureDoc::TakeOriginalSnapshot() {
    if (!m_pImage)
        return;
    if (!m_pOriginal)
        m_pOriginal = std::make_unique<CDisplayBitmap>();
    m_pOriginal->CreateCopy(*m_pImage);
}

bool CTavixCaptureDoc::ExecutePending(std::unique_ptr<CCommand> command, bool keep) {
    const bool bDone = CCommandHistory::ExecutePending(std::move(command), keep);
    UpdateAllViews(nullptr, ViewUpdate::Image());
    // A preview changes the modified flag without a history change.
    UpdateTitle();
    return bDone;
}

void CTavixCaptureDoc::OnHistoryChanged() {
    UpdateTitle();
}

void CTavixCaptureDoc::OnCommandExecuted(const CCommand& command) {
    if (m_bDestroying)
        return;
    // Every caller tells the views what the command changed once it has run.
    m_strLastCommand = QString::fromStdString(LastCommandText(command));
    Ui().StatusText().SetMessageText(m_strLastCommand);
}

bool CTavixCaptureDoc::ConfirmRunWithoutUndo(const CCommand& /*command*/) {
    // No is the default: a stray Enter must not cost the way back.
    return Ui().AppMessageBox(QString::fromLatin1(kNoUndoQuestion), EMsgButtons::YesNo,
                              EMsgIcon::Exclamation, 1) == EMsgResult::Yes;
}

CImageBitmap& CTavixCaptureDoc::ImageForCommands() {
    assert(m_pImage);
    return *m_pImage;
}

void CTavixCaptureDoc::BeginBusy() {
    Ui().WaitCursor().Begin();
}

void CTavixCaptureDoc::EndBusy() {
    Ui().WaitCursor().End();
}

bool CTavixCaptureDoc::AutoSave() {
    const bool bSaved = DoFileSave(ESaveKind::Automatic);
    UpdateFrameCounts(); // the captions show the new name
    return bSaved;
}

bool CTavixCaptureDoc::CopyAllToClipboard() {
    return m_pImage && m_host.CopyImageToClipboard(*m_pImage);
}

void CTavixCaptureDoc::OnFileReload() {
    if (GetPathName().isEmpty())
        return;
    if (IsModified() && Ui().AppMessageBox(LoadString(IDS_DISCARD_CHANGES), EMsgButtons::YesNo,
                                           EMsgIcon::Default, 1) != EMsgResult::Yes)
        return;
    // Decoded aside first: a file that no longer loads must not cost the image in memory.
    std::unique_ptr<CDisplayBitmap> pLoaded = DecodeFile(GetPathName());
    if (!pLoaded)
        return;
    InstallLoadedImage(std::move(pLoaded));
    m_host.PostDocumentChange();
    UpdateAllViews(nullptr, ViewUpdate::Image());
}

void CTavixCaptureDoc::OnUpdateFileReload(CCmdUI& cmdUI) {
    cmdUI.Enable(!GetPathName().isEmpty());
}
