// SPDX-License-Identifier: MIT
// CSelectionEditor: the selection of an image window without the window: browse and selection
// modes, the selection and its marquee, the rubber band, dragging the selected pixels (moved
// or, with Ctrl, copied), the floating paste, crop, cut and copy. Input comes as calls in image
// coordinates; what follows goes to the target as document commands and repaints.
#pragma once

#include "views/BlockDrag.h"
#include "views/ImagePoint.h"
#include "views/RubberBand.h"

#include <memory>

class CImageBitmap;
class ISelectionTarget;

class CSelectionEditor {
public:
    // 0 browse (a drag pans), 2 selection.
    enum EMode { ModeBrowse = 0, ModeSelect = 2 };

    explicit CSelectionEditor(ISelectionTarget& target);
    ~CSelectionEditor();
    CSelectionEditor(const CSelectionEditor&) = delete;
    CSelectionEditor& operator=(const CSelectionEditor&) = delete;

    int Mode() const noexcept { return m_nMode; }
    void SetBrowseMode() noexcept { m_nMode = ModeBrowse; }
    const ImageRect& Selection() const noexcept { return m_rectSel; }
    // Where the outline is drawn: the selection, travelling with the block during a drag.
    const ImageRect& Marquee() const noexcept { return m_rectMarquee; }
    bool IsCropPending() const noexcept { return m_bCropPending; }
    const CBlockDrag& Drag() const noexcept { return m_drag; }
    const CRubberBand& Band() const noexcept { return m_band; }
    // The pasted bitmap while it floats over the image, or null.
    const CImageBitmap* Floating() const noexcept { return m_pFloating.get(); }
    // Where the floating paste shows now.
    ImageRect FloatingPlace() const noexcept;

    // Commands. Each first merges a floating paste, so that nothing pasted is lost or moved
    // by a command meant for the selection.
    void ToggleSelectMode();
    bool SelectAll();
    void Unselect();
    // Copies the selection, then fills it with the background colour. False without one.
    bool Cut();
    bool Copy();
    // The bitmap floats at the image's top-left corner, selected as far as it fits.
    void Paste(std::unique_ptr<CImageBitmap> pBitmap);
    // Crops to the selection, or, without one, arms the next rubber band to crop.
    bool CropToSelection();
    // Merges the floating paste into the image as one undoable step.
    void MergeFloating();
    // Takes the floating paste away unmerged, with its selection: the image stays as it was
    // before the paste. False when nothing floats.
    bool DropFloating();

    // Mouse in selection mode. Press returns true when it started a drag or a rubber band.
    bool Press(ImagePoint pt, bool bCtrl);
    void MoveTo(ImagePoint pt);
    void Release(ImagePoint pt);
    bool IsTracking() const noexcept { return m_drag.IsActive() || m_band.IsActive(); }
    // Whether pt lies on the selection (a press there drags it).
    bool IsOverSelection(ImagePoint pt) const noexcept;

private:
    bool DoCrop();
    void SetSelection(const ImageRect& rc);
    void ClearSelection();
    void FinishBand();
    void FinishPixelDrag();
    void FinishFloatingDrag();

    ISelectionTarget& m_target;
    int m_nMode = ModeBrowse;
    bool m_bCropPending = false;
    ImageRect m_rectSel;
    ImageRect m_rectMarquee;
    CBlockDrag m_drag;
    CRubberBand m_band;
    std::unique_ptr<CImageBitmap> m_pFloating;
};
