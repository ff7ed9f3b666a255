// SPDX-License-Identifier: MIT
// The image document's editing commands: each builds a filter and records it as one undoable
// command; the size dialogs go through the pending slot.
#include "document/TavixCaptureDoc.h"

#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/UiServices.h"
#include "image/BrightnessFilter.h"
#include "image/CommandDescriptions.h"
#include "image/ContrastFilter.h"
#include "image/CropFilter.h"
#include "image/FlipHorizontalFilter.h"
#include "image/FlipVerticalFilter.h"
#include "image/GrayscaleFilter.h"
#include "image/IntensityFilter.h"
#include "image/InvertFilter.h"
#include "image/PasteFilter.h"
#include "image/RegionCopyFilter.h"
#include "image/ResampleFilter.h"
#include "image/RotateFilter.h"
#include "image/SimpleResizeFilter.h"
#include "image/TavixCommand.h"
#include "platform/AppSettings.h"

#include <algorithm>

namespace {

// The pixel the rotations fill uncovered corners with: the chosen colour, opaque.
RGBQuad OpaqueBackground(std::uint32_t crColour) {
    return img::QuadFromColorRef(crColour, 255);
}

const char* SizeDescription(ESizeDialog kind) {
    switch (kind) {
    case ESizeDialog::Resize:
        return img::desc::kResize;
    case ESizeDialog::Scale:
        return img::desc::kScale;
    case ESizeDialog::Stretch:
        break;
    }
    return img::desc::kStretch;
}

// Unsets the snapshot whatever way the size dialog ends.
class CSnapshotScope {
public:
    explicit CSnapshotScope(CTavixCaptureDoc& doc) : m_doc(doc) { m_doc.TakeOriginalSnapshot(); }
    ~CSnapshotScope() { m_doc.DropOriginalSnapshot(); }
    CSnapshotScope(const CSnapshotScope&) = delete;
    CSnapshotScope& operator=(const CSnapshotScope&) = delete;

private:
    CTavixCaptureDoc& m_doc;
};

} // namespace

const CCommandMap& CTavixCaptureDoc::ThisCommandMap() {
    using D = CTavixCaptureDoc;
    static const CCommandMap s_map = TCommandMapBuilder<D>(&CDocument::ThisCommandMap())
                                         .On(ID_IMAGE_RESIZE, &D::OnImageResize)
                                         .On(ID_IMAGE_SCALE, &D::OnImageScale)
                                         .On(ID_IMAGE_STRETCH, &D::OnImageStretch)
                                         .On(ID_IMAGE_ROTATE_ANY, &D::OnImageRotateAny)
                                         .On(ID_IMAGE_ROTATE_CCW, &D::OnImageRotateCounterClockwise)
                                         .On(ID_IMAGE_ROTATE_CW, &D::OnImageRotateClockwise)
                                         .On(ID_IMAGE_BRIGHTNESS, &D::OnImageBrightness)
                                         .On(ID_IMAGE_CONTRAST, &D::OnImageContrast)
                                         .On(ID_IMAGE_INTENSITY, &D::OnImageIntensity)
                                         .On(ID_IMAGE_GRAYSCALE, &D::OnImageGrayscale)
                                         .On(ID_IMAGE_INVERT, &D::OnImageInvert)
                                         .On(ID_IMAGE_FLIP_H, &D::OnImageFlipHorizontal)
                                         .On(ID_IMAGE_FLIP_V, &D::OnImageFlipVertical)
                                         .On(ID_EDIT_UNDO, &D::OnEditUndo)
                                         .OnUpdate(ID_EDIT_UNDO, &D::OnUpdateEditUndo)
                                         .On(ID_EDIT_REDO, &D::OnEditRedo)
                                         .OnUpdate(ID_EDIT_REDO, &D::OnUpdateEditRedo)
                                         .On(ID_EDIT_COPY_ALL, &D::OnEditCopyAll)
                                         .On(ID_FILE_RELOAD, &D::OnFileReload)
                                         .OnUpdate(ID_FILE_RELOAD, &D::OnUpdateFileReload)
                                         .Build();
    return s_map;
}

std::unique_ptr<CCommand> CTavixCaptureDoc::MakeCommand(std::unique_ptr<CImageFilter> filter,
                                                        const char* pszDescription) {
    SetMemoryBudget(std::size_t(m_host.Settings().m_dwUndoMemoryMB) << 20);
    return std::make_unique<CTavixCommand>(*this, std::move(filter), pszDescription,
                                           CTavixCommand::EUndoCopy::WhenRecorded);
}

void CTavixCaptureDoc::RecordFilter(std::unique_ptr<CImageFilter> filter,
                                    const char* pszDescription) {
    ExecuteAndRecord(MakeCommand(std::move(filter), pszDescription), true);
    UpdateAllViews(nullptr, ViewUpdate::Image());
}

void CTavixCaptureDoc::RecordTrueColorFilter(std::unique_ptr<CImageFilter> filter,
                                             const char* pszDescription) {
    if (EnsureTrueColor())
        RecordFilter(std::move(filter), pszDescription);
}

void CTavixCaptureDoc::RunSizeDialog(ESizeDialog kind) {
    if (!EnsureTrueColor())
        return;
    {
        CSnapshotScope snapshot(*this);
        m_host.Dialogs().RunSizeDialog(kind, *this);
    }
    // Only Done keeps a change: a dialog closed any other way (Escape, the close box) leaves
    // the image as it was before the dialog, so no change ever sits in the image unrecorded.
    CommitPending(false);
}

bool CTavixCaptureDoc::ApplySizeChange(ESizeDialog kind, int nWidth, int nHeight,
                                       img::ResampleKernel method, double dRadius) {
    if (!m_pImage || !m_pOriginal || nWidth < 1 || nHeight < 1)
        return false;
    std::unique_ptr<CImageFilter> filter;
    if (method == img::ResampleKernel::Bilinear)
        filter = std::make_unique<CSimpleResizeFilter>(nWidth, nHeight, Progress());
    else
        filter = std::make_unique<CResampleFilter>(nWidth, nHeight, dRadius, method, Progress());
    return ExecutePending(MakeCommand(std::move(filter), SizeDescription(kind)), true);
}

void CTavixCaptureDoc::OnImageResize() {
    if (m_pImage)
        RunSizeDialog(ESizeDialog::Resize);
}

void CTavixCaptureDoc::OnImageScale() {
    if (m_pImage)
        RunSizeDialog(ESizeDialog::Scale);
}

void CTavixCaptureDoc::OnImageStretch() {
    if (m_pImage)
        RunSizeDialog(ESizeDialog::Stretch);
}

void CTavixCaptureDoc::OnImageRotateAny() {
    if (!m_pImage || !EnsureTrueColor())
        return;
    const std::optional<RotateDialogResult> result = m_host.Dialogs().RunRotate(*this);
    if (!result)
        return;
    const double dAngle = result->nAngleDegrees * CRotateFilter::kRadiansPerDegree;
    RecordFilter(
        std::make_unique<CRotateFilter>(dAngle, OpaqueBackground(result->crBackground), Progress()),
        img::desc::kRotateAnyAngle);
}

void CTavixCaptureDoc::OnImageRotateCounterClockwise() {
    if (m_pImage)
        RecordTrueColorFilter(
            std::make_unique<CRotateFilter>(CRotateFilter::kQuarterTurnCounterClockwise, RGBQuad{},
                                            Progress()),
            img::desc::kRotateCounterClockwise);
}

void CTavixCaptureDoc::OnImageRotateClockwise() {
    if (m_pImage)
        RecordTrueColorFilter(std::make_unique<CRotateFilter>(CRotateFilter::kQuarterTurnClockwise,
                                                              RGBQuad{}, Progress()),
                              img::desc::kRotateClockwise);
}

void CTavixCaptureDoc::OnImageBrightness() {
    if (!m_pImage || !EnsureTrueColor())
        return;
    if (const std::optional<int> value = m_host.Dialogs().RunBrightness(*this))
        RecordFilter(
            std::make_unique<CBrightnessFilter>(static_cast<int>(*value * 0.36), Progress()),
            img::desc::kBrightness);
}

void CTavixCaptureDoc::OnImageContrast() {
    if (!m_pImage || !EnsureTrueColor())
        return;
    if (const std::optional<ContrastDialogResult> result = m_host.Dialogs().RunContrast(*this))
        RecordFilter(std::make_unique<CContrastFilter>(result->dContrast * 0.1, result->byOffset,
                                                       Progress()),
                     img::desc::kContrast);
}

void CTavixCaptureDoc::OnImageIntensity() {
    if (!m_pImage || !EnsureTrueColor())
        return;
    if (const std::optional<IntensityDialogResult> result = m_host.Dialogs().RunIntensity(*this))
        RecordFilter(std::make_unique<CIntensityFilter>(result->dIntensity, result->byOffset,
                                                        result->dExponent, Progress()),
                     img::desc::kIntensity);
}

void CTavixCaptureDoc::OnImageGrayscale() {
    if (m_pImage)
        RecordTrueColorFilter(std::make_unique<CGrayscaleFilter>(Progress()),
                              img::desc::kGrayscale);
}

void CTavixCaptureDoc::OnImageInvert() {
    if (m_pImage)
        RecordTrueColorFilter(std::make_unique<CInvertFilter>(Progress()), img::desc::kInvert);
}

void CTavixCaptureDoc::OnImageFlipHorizontal() {
    if (m_pImage)
        RecordTrueColorFilter(std::make_unique<CFlipHorizontalFilter>(Progress()),
                              img::desc::kFlipHorizontal);
}

void CTavixCaptureDoc::OnImageFlipVertical() {
    if (m_pImage)
        RecordTrueColorFilter(std::make_unique<CFlipVerticalFilter>(Progress()),
                              img::desc::kFlipVertical);
}

void CTavixCaptureDoc::OnEditUndo() {
    if (!m_pImage)
        return;
    Undo();
    UpdateAllViews(nullptr, ViewUpdate::Image());
}

void CTavixCaptureDoc::OnUpdateEditUndo(CCmdUI& cmdUI) {
    cmdUI.Enable(m_pImage && CanUndo());
}

void CTavixCaptureDoc::OnEditRedo() {
    if (!m_pImage)
        return;
    Redo();
    UpdateAllViews(nullptr, ViewUpdate::Image());
}

void CTavixCaptureDoc::OnUpdateEditRedo(CCmdUI& cmdUI) {
    cmdUI.Enable(m_pImage && CanRedo());
}

void CTavixCaptureDoc::OnEditCopyAll() {
    CopyAllToClipboard();
}

void CTavixCaptureDoc::CopyOrMoveRegion(const ImageRect& rcVacated, const ImageRect& rcSource,
                                        const ImageRect& rcDestination, bool bCopy) {
    if (!m_pImage)
        return;
    CWaitCursor wait(Ui());
    RecordFilter(
        std::make_unique<CRegionCopyFilter>(rcVacated, rcSource, rcDestination, bCopy ? 1 : 0,
                                            m_host.Settings().m_crImageBackground, Progress()),
        img::desc::kCopyOrMoveRegion);
}

void CTavixCaptureDoc::PasteImage(const CImageBitmap& bitmap, const ImageRect& rcSource,
                                  const ImageRect& rcDestination) {
    if (!m_pImage)
        return;
    // The paste copies whole pixels: a palette image takes true-colour pixels only after it
    // has become true colour itself.
    if (bitmap.Depth() != m_pImage->Depth() && !EnsureTrueColor())
        return;
    CWaitCursor wait(Ui());
    RecordFilter(std::make_unique<CPasteFilter>(bitmap, rcSource, rcDestination, Progress()),
                 img::desc::kPaste);
}

namespace {

ImageRect ClipToImage(const ImageRect& rc, const CImageBitmap& image) {
    const ImageRect r = rc.Normalized();
    return ImageRect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, image.Width()),
                     std::min(r.bottom, image.Height())};
}

} // namespace

bool CTavixCaptureDoc::CopyRegionToClipboard(const ImageRect& rc) {
    if (!m_pImage)
        return false;
    const ImageRect clipped = ClipToImage(rc, *m_pImage);
    if (clipped.IsEmpty())
        return false;
    CDisplayBitmap region;
    CCropFilter(clipped.left, clipped.right, clipped.top, clipped.bottom).Apply(*m_pImage, region);
    return m_host.CopyImageToClipboard(region);
}

bool CTavixCaptureDoc::CropImage(const ImageRect& rc) {
    if (!m_pImage)
        return false;
    const ImageRect clipped = ClipToImage(rc, *m_pImage);
    if (clipped.IsEmpty())
        return false;
    RecordFilter(std::make_unique<CCropFilter>(clipped.left, clipped.right, clipped.top,
                                               clipped.bottom, Progress()),
                 img::desc::kCrop);
    return true;
}
