// SPDX-License-Identifier: MIT
// The selection, its drags and the floating paste, as plain logic.
#include "views/SelectionEditor.h"

#include "image/ImageBitmap.h"
#include "views/SelectionTarget.h"

CSelectionEditor::CSelectionEditor(ISelectionTarget& target) : m_target(target) {}

CSelectionEditor::~CSelectionEditor() = default;

ImageRect CSelectionEditor::FloatingPlace() const noexcept {
    if (!m_pFloating)
        return {};
    if (m_drag.Kind() == CBlockDrag::EKind::Floating)
        return m_drag.Block();
    return m_rectSel;
}

void CSelectionEditor::SetSelection(const ImageRect& rc) {
    m_target.InvalidateOutline(m_rectMarquee);
    m_rectSel = rc;
    m_rectMarquee = rc;
    m_target.InvalidateImage(views::Inflate(rc, 1));
}

void CSelectionEditor::ClearSelection() {
    m_target.InvalidateOutline(m_rectMarquee);
    m_rectSel = {};
    m_rectMarquee = {};
}

void CSelectionEditor::ToggleSelectMode() {
    MergeFloating();
    if (m_nMode == ModeSelect) {
        m_nMode = ModeBrowse;
        ClearSelection();
        m_target.InvalidateAll(true);
    } else {
        m_nMode = ModeSelect;
    }
}

bool CSelectionEditor::SelectAll() {
    const ImageRect rcImage = m_target.ImageBounds();
    if (rcImage.IsEmpty())
        return false;
    MergeFloating();
    m_nMode = ModeSelect;
    SetSelection(rcImage);
    return true;
}

void CSelectionEditor::Unselect() {
    if (m_nMode != ModeSelect)
        return;
    MergeFloating();
    m_nMode = ModeBrowse;
    m_bCropPending = false;
    ClearSelection();
    m_target.InvalidateAll(true);
}

bool CSelectionEditor::Copy() {
    MergeFloating();
    const ImageRect rc = views::Intersect(m_rectSel, m_target.ImageBounds());
    return !rc.IsEmpty() && m_target.CopyToClipboard(rc);
}

bool CSelectionEditor::Cut() {
    if (!Copy())
        return false;
    m_target.MoveRegion(views::Intersect(m_rectSel, m_target.ImageBounds()), {}, {}, false);
    return true;
}

void CSelectionEditor::Paste(std::unique_ptr<CImageBitmap> pBitmap) {
    const ImageRect rcImage = m_target.ImageBounds();
    if (!pBitmap || rcImage.IsEmpty())
        return;
    MergeFloating();
    m_pFloating = std::move(pBitmap);
    m_nMode = ModeSelect;
    SetSelection(views::Intersect({0, 0, m_pFloating->Width(), m_pFloating->Height()}, rcImage));
}

void CSelectionEditor::MergeFloating() {
    if (!m_pFloating)
        return;
    const ImageRect rcDestination = views::Intersect(m_rectSel, m_target.ImageBounds());
    const ImageRect rcSource = views::Offset(rcDestination, -m_rectSel.left, -m_rectSel.top);
    // Gone before the command runs: the document's update repaints the views without it.
    const std::unique_ptr<CImageBitmap> pFloating = std::move(m_pFloating);
    if (!rcDestination.IsEmpty())
        m_target.PasteBitmap(*pFloating, rcSource, rcDestination);
}

bool CSelectionEditor::DropFloating() {
    if (!m_pFloating)
        return false;
    const ImageRect rcPlace = FloatingPlace();
    if (m_drag.Kind() == CBlockDrag::EKind::Floating)
        m_drag.End();
    m_pFloating.reset();
    m_target.InvalidateImage(views::Inflate(rcPlace, 1));
    ClearSelection();
    return true;
}

bool CSelectionEditor::CropToSelection() {
    if (m_target.ImageBounds().IsEmpty())
        return false;
    MergeFloating();
    if (m_rectSel.IsEmpty()) {
        m_nMode = ModeSelect;
        m_bCropPending = true;
        return true;
    }
    DoCrop();
    return true;
}

bool CSelectionEditor::DoCrop() {
    const ImageRect rc = views::Intersect(m_rectSel, m_target.ImageBounds());
    ClearSelection();
    if (rc.IsEmpty())
        return false;
    m_target.Crop(rc);
    return true;
}

bool CSelectionEditor::IsOverSelection(ImagePoint pt) const noexcept {
    return !m_rectSel.IsEmpty() && views::Contains(m_rectSel, pt);
}

bool CSelectionEditor::Press(ImagePoint pt, bool bCtrl) {
    if (m_nMode != ModeSelect || IsTracking() || m_target.ImageBounds().IsEmpty())
        return false;
    if (IsOverSelection(pt)) {
        const auto kind = m_pFloating ? CBlockDrag::EKind::Floating : CBlockDrag::EKind::Pixels;
        m_drag.Begin(kind, m_rectSel, pt, bCtrl && !m_pFloating);
        return true;
    }
    MergeFloating();
    m_band.Begin(pt, m_target.ImageBounds());
    return true;
}

void CSelectionEditor::MoveTo(ImagePoint pt) {
    if (m_band.IsActive()) {
        m_target.InvalidateOutline(m_band.MoveTo(pt));
        m_target.InvalidateOutline(m_band.Rect());
        return;
    }
    const std::optional<CBlockDrag::Step> step = m_drag.MoveTo(pt, m_target.ImageBounds());
    if (!step)
        return;
    m_target.InvalidateImage(step->rcOld);
    m_target.InvalidateImage(step->rcNew);
    m_rectMarquee = views::Offset(m_rectMarquee, step->dx, step->dy);
}

void CSelectionEditor::Release(ImagePoint pt) {
    MoveTo(pt);
    if (m_band.IsActive())
        FinishBand();
    else if (m_drag.Kind() == CBlockDrag::EKind::Pixels)
        FinishPixelDrag();
    else if (m_drag.Kind() == CBlockDrag::EKind::Floating)
        FinishFloatingDrag();
}

void CSelectionEditor::FinishBand() {
    const ImageRect rc = m_band.Rect();
    m_band.End();
    m_target.InvalidateOutline(rc);
    if (rc.IsEmpty()) {
        ClearSelection();
        return;
    }
    SetSelection(rc);
    if (m_bCropPending) {
        m_bCropPending = false;
        DoCrop();
    }
}

void CSelectionEditor::FinishPixelDrag() {
    const ImageRect rcSource = m_drag.Source();
    const ImageRect rcBlock = m_drag.Block();
    const bool bCopy = m_drag.IsCopy();
    const ImagePoint delta = m_drag.Displacement();
    m_drag.End();
    m_rectSel = views::Intersect(rcBlock, m_target.ImageBounds());
    m_rectMarquee = m_rectSel;
    // A click on the selection moves nothing and records nothing.
    if (delta.x == 0 && delta.y == 0)
        return;
    // Source and destination keep their offset; the command copies only the pixels that land
    // inside the image.
    m_target.MoveRegion(rcSource, rcSource, rcBlock, bCopy);
}

void CSelectionEditor::FinishFloatingDrag() {
    const ImageRect rcBlock = m_drag.Block();
    m_drag.End();
    m_rectSel = rcBlock;
    m_rectMarquee = rcBlock;
    m_target.InvalidateImage(views::Inflate(rcBlock, 1));
}
