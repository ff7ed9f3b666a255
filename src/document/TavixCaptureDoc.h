// SPDX-License-Identifier: MIT
// The image document: one image, its undo/redo history, its title with the modified mark, file
// loading and saving, and the menu commands that edit the image as undoable commands.
#pragma once

#include "document/DocumentHost.h"
#include "framework/Document.h"
#include "framework/View.h"
#include "image/CommandHistory.h"
#include "image/DisplayBitmap.h"
#include "image/ImageDocument.h"
#include "image/ImageRect.h"
#include "image/ResampleKernels.h"

#include <QString>

#include <memory>
#include <string>

class CCmdUI;
class CDocTemplate;
class CImageFilter;

class CTavixCaptureDoc : public CDocument, public CCommandHistory, public CImageDocument {
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // Where the image of a new document comes from: a capture keeps a palette of 8 bits or
    // less and becomes 32 bpp otherwise; any other image keeps its depth.
    enum class ENewImage { Capture, Image };

    CTavixCaptureDoc(IDocumentHost& host, CUiServices& ui);
    ~CTavixCaptureDoc() override;

    // Opens a new image window of docTemplate on a copy of image. Null when the document could
    // not be made (the user has been told).
    static CTavixCaptureDoc* OpenNew(CDocTemplate& docTemplate, const CImageBitmap& image,
                                     ENewImage source);

    // The image, or null while the document is empty. The object stays the same for the life
    // of the document once it exists (operations, undo and reload change it in place).
    CDisplayBitmap* GetImage() const noexcept { return m_pImage.get(); }
    const QString& GetBaseTitle() const noexcept { return m_strBaseTitle; }
    // "Last command : ..." of the last command run on this image, or empty (none since it was
    // made or loaded). The message pane shows it again when the image's window becomes active.
    const QString& LastCommandMessage() const noexcept { return m_strLastCommand; }

    // Framework steps.
    bool OnNewDocument() override;
    // The new document's content: a copy of image. False (the user told why) when it cannot be
    // copied.
    bool OnNewDocument(const CImageBitmap& image, ENewImage source);
    bool OnOpenDocument(const QString& strPathName) override;
    // An automatic save writes with the stored JPEG options, any other with the working ones.
    bool OnSaveDocument(const QString& strPathName, ESaveKind kind) override;
    void OnCloseDocument() override;
    void DeleteContents() override;
    void SetTitle(const QString& strTitle) override;
    // The base title: the save prompt names "Quorv8", not "Quorv8 *".
    QString NameTitle() const override {
        return m_strBaseTitle.isEmpty() ? GetTitle() : m_strBaseTitle;
    }

    // True when the image is 32 bpp, possibly after asking to convert it (string 1233).
    bool EnsureTrueColor();
    // Recomputes the title: the base title, with " *" when the image differs from the file.
    void UpdateTitle();

    // The size dialogs' snapshot of the image (same depth), present while one runs.
    void TakeOriginalSnapshot();
    void DropOriginalSnapshot() noexcept { m_pOriginal.reset(); }
    const CDisplayBitmap* GetOriginal() const noexcept { return m_pOriginal.get(); }
    // One Apply of a size dialog: resamples the current image to nWidth x nHeight as the
    // pending change (bilinear ignores dRadius, the filter radius, i.e. the dialog value x 0.01).
    // False, with nothing done, without a snapshot or for a size below 1.
    bool ApplySizeChange(ESizeDialog kind, int nWidth, int nHeight, img::ResampleKernel method,
                         double dRadius);

    // Operations of the image view, each one undoable command. Throw CTextException when the
    // image copy cannot be allocated (nothing is changed then).
    void CopyOrMoveRegion(const ImageRect& rcVacated, const ImageRect& rcSource,
                          const ImageRect& rcDestination, bool bCopy);
    void PasteImage(const CImageBitmap& bitmap, const ImageRect& rcSource,
                    const ImageRect& rcDestination);
    // Crops to rc cut to the image; false (nothing done) when that leaves no pixel.
    bool CropImage(const ImageRect& rc);

    // Saves a fresh capture as an automatic save: the stored JPEG options, and the file name
    // from the document manager's prompt for automatic saves. False when nothing was saved.
    bool AutoSave();
    bool CopyAllToClipboard();
    // Puts a copy of the pixels of rc (cut to the image) on the clipboard; the image stays as it
    // is. False when no pixel is left or the clipboard refused. Throws CTextException when the
    // copy cannot be allocated.
    bool CopyRegionToClipboard(const ImageRect& rc);

    // History hooks.
    bool ExecutePending(std::unique_ptr<CCommand> command, bool keep) override;

    // CImageDocument: what the commands use.
    CImageBitmap& ImageForCommands() override;
    bool IsImageModified() const override { return IsModified(); }
    void SetImageModified(bool modified) override { SetModifiedFlag(modified); }
    unsigned SaveCount() const override { return m_nSaveCount; }
    void BeginBusy() override;
    void EndBusy() override;

protected:
    void OnHistoryChanged() override;
    void OnCommandExecuted(const CCommand& command) override;
    // Asks whether to run an operation whose undo copy there is no memory for.
    bool ConfirmRunWithoutUndo(const CCommand& command) override;

private:
    // Command handlers.
    void OnImageResize();
    void OnImageScale();
    void OnImageStretch();
    void OnImageRotateAny();
    void OnImageRotateCounterClockwise();
    void OnImageRotateClockwise();
    void OnImageBrightness();
    void OnImageContrast();
    void OnImageIntensity();
    void OnImageGrayscale();
    void OnImageInvert();
    void OnImageFlipHorizontal();
    void OnImageFlipVertical();
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI& cmdUI);
    void OnEditRedo();
    void OnUpdateEditRedo(CCmdUI& cmdUI);
    void OnEditCopyAll();
    void OnFileReload();
    void OnUpdateFileReload(CCmdUI& cmdUI);

    // Runs filter on the image as one recorded command and tells the views.
    void RecordFilter(std::unique_ptr<CImageFilter> filter, const char* pszDescription);
    // EnsureTrueColor, then the filter.
    void RecordTrueColorFilter(std::unique_ptr<CImageFilter> filter, const char* pszDescription);
    void RunSizeDialog(ESizeDialog kind);
    // An undoable command of filter whose undo copy the history takes within the budget of the
    // settings as they are now (the Options dialog may have changed it).
    std::unique_ptr<CCommand> MakeCommand(std::unique_ptr<CImageFilter> filter,
                                          const char* pszDescription);
    // Decodes the file into a new bitmap; shows the error and returns null on failure.
    std::unique_ptr<CDisplayBitmap> DecodeFile(const QString& strPathName);
    // Takes bitmap as the image (in place when there is one) with a clean history.
    void InstallLoadedImage(std::unique_ptr<CDisplayBitmap> bitmap);
    void ResetHistory();
    CProgressSink* Progress() const;

    IDocumentHost& m_host;
    QString m_strBaseTitle;
    QString m_strLastCommand;
    std::unique_ptr<CDisplayBitmap> m_pImage;
    std::unique_ptr<CDisplayBitmap> m_pOriginal;
    unsigned m_nSaveCount = 0;
    // The history's change count when the image was last equal to the file.
    int m_nSavedChangeCount = 0;
    // Set while the destructor empties the document: no title or view updates then.
    bool m_bDestroying = false;
};
