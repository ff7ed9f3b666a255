// SPDX-License-Identifier: MIT
// The image view's selection half: the selection commands, the mouse in selection mode, and
// painting what a selection adds (the dragged or floating pixels, the marquee, the rubber band).
#include "views/TavixCaptureView.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CmdUI.h"
#include "framework/GuardCommand.h"
#include "image/DisplayBitmap.h"
#include "views/BitmapPainter.h"
#include "views/ImageViewHost.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QRect ToQRect(const ImageRect& rc) {
    return QRect(rc.left, rc.top, rc.Width(), rc.Height());
}

ImageRect ToImageRect(const QRect& rc) {
    return {rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height()};
}

// The window pixels an outline drawn along the edges of rc covers, a pixel of slack each side.
QRegion FrameRegion(const QRect& rc) {
    QRegion region(rc.adjusted(-1, -1, 1, 1));
    return region - QRegion(rc.adjusted(2, 2, -2, -2));
}

// One dotted edge from a to b (horizontal or vertical), only its part inside rcClip: an outline
// around a zoomed image can be many times the window's size. The dots keep their places
// whatever part shows, so that scrolling does not make them crawl.
void DottedEdge(QList<QPoint>& dots, QPoint a, QPoint b, const QRect& rcClip) {
    constexpr int kPeriod = 2;
    if (a.y() == b.y()) {
        if (a.y() < rcClip.top() || a.y() > rcClip.bottom())
            return;
        const int x0 = std::max(a.x(), a.x() + (rcClip.left() - a.x()) / kPeriod * kPeriod);
        for (int x = x0; x <= std::min(b.x(), rcClip.right()); x += kPeriod)
            dots.append(QPoint(x, a.y()));
        return;
    }
    if (a.x() < rcClip.left() || a.x() > rcClip.right())
        return;
    const int y0 = std::max(a.y(), a.y() + (rcClip.top() - a.y()) / kPeriod * kPeriod);
    for (int y = y0; y <= std::min(b.y(), rcClip.bottom()); y += kPeriod)
        dots.append(QPoint(a.x(), y));
}

void DottedFrame(QPainter& painter, const QRect& rc, const QRect& rcClip) {
    if (rc.isEmpty() || !rc.intersects(rcClip.adjusted(-1, -1, 1, 1)))
        return;
    QList<QPoint> dots;
    DottedEdge(dots, rc.topLeft(), rc.topRight(), rcClip);
    DottedEdge(dots, rc.bottomLeft(), rc.bottomRight(), rcClip);
    DottedEdge(dots, rc.topLeft(), rc.bottomLeft(), rcClip);
    DottedEdge(dots, rc.topRight(), rc.bottomRight(), rcClip);
    painter.drawPoints(dots.constData(), int(dots.size()));
}

// Draws the pixels of bitmap that show at rcShown (image coordinates) when the bitmap is shifted
// by d, transparent ones over the checkerboard: they replace what is under them, as they will
// in the image.
void DrawShifted(QPainter& painter, const CZoomMapping& mapping, const CImageBitmap& bitmap,
                 const ImageRect& rcShown, ImagePoint d) {
    if (rcShown.IsEmpty())
        return;
    if (CBitmapPainter::HasTransparency(bitmap)) {
        painter.setWorldTransform(mapping.DeviceFrame());
        CBitmapPainter::FillChecker(painter, mapping.ImageToDevice(ToQRect(rcShown)));
    }
    QTransform transform = mapping.ImageFrame();
    transform.translate(d.x, d.y);
    painter.setWorldTransform(transform);
    CBitmapPainter::Draw(painter, bitmap, ToQRect(views::Offset(rcShown, -d.x, -d.y)),
                         CBitmapPainter::EAlpha::Blend);
}

} // namespace

QRect CTavixCaptureView::Marquee() const {
    return ToQRect(m_editor.Marquee());
}

QRect CTavixCaptureView::Selection() const {
    return ToQRect(m_editor.Selection());
}

// ---- commands ----

void CTavixCaptureView::OnSelectRegion() {
    m_editor.ToggleSelectMode();
    UpdateCursor();
}

void CTavixCaptureView::OnUpdateSelectRegion(CCmdUI& cmdUI) {
    cmdUI.Enable(Image() != nullptr);
    cmdUI.SetCheck(m_editor.Mode() == ModeSelect);
}

void CTavixCaptureView::OnSelectAll() {
    m_editor.SelectAll();
    UpdateCursor();
}

void CTavixCaptureView::OnUnselect() {
    m_editor.Unselect();
    UpdateCursor();
}

void CTavixCaptureView::OnUpdateUnselect(CCmdUI& cmdUI) {
    cmdUI.Enable(m_editor.Mode() == ModeSelect);
}

void CTavixCaptureView::OnEditCut() {
    m_editor.Cut();
}

void CTavixCaptureView::OnEditCopy() {
    m_editor.Copy();
}

void CTavixCaptureView::OnUpdateNeedsSelection(CCmdUI& cmdUI) {
    cmdUI.Enable(Image() != nullptr && !m_editor.Selection().IsEmpty());
}

void CTavixCaptureView::OnEditPaste() {
    if (Image() != nullptr)
        m_editor.Paste(m_host.ImageFromClipboard());
    UpdateCursor();
}

void CTavixCaptureView::OnUpdateEditPaste(CCmdUI& cmdUI) {
    cmdUI.Enable(Image() != nullptr && m_host.ClipboardHasImage());
}

void CTavixCaptureView::OnImageCrop() {
    m_editor.CropToSelection();
    UpdateCursor();
}

void CTavixCaptureView::OnUpdateNeedsImage(CCmdUI& cmdUI) {
    cmdUI.Enable(Image() != nullptr);
}

void CTavixCaptureView::RedrawMarquee() {
    if (m_editor.Marquee().IsEmpty())
        return;
    viewport()->update(OutlineRegion(m_editor.Marquee()));
}

bool CTavixCaptureView::OnEditUndo(unsigned) {
    if (!m_editor.DropFloating())
        return false;
    UpdateCursor();
    return true;
}

void CTavixCaptureView::OnUpdateEditUndo(CCmdUI& cmdUI) {
    if (m_editor.Floating() != nullptr)
        cmdUI.Enable(true);
    else
        cmdUI.ContinueRouting();
}

bool CTavixCaptureView::OnEditRedo(unsigned) {
    // The floating paste is the newest change: nothing older is redone over it.
    return m_editor.Floating() != nullptr;
}

void CTavixCaptureView::OnUpdateEditRedo(CCmdUI& cmdUI) {
    if (m_editor.Floating() != nullptr)
        cmdUI.Enable(false);
    else
        cmdUI.ContinueRouting();
}

// ---- mouse ----

void CTavixCaptureView::PressInSelectMode(QMouseEvent* pEvent) {
    const QPointF pt = PointerInView(*pEvent);
    const bool bCtrl = (pEvent->modifiers() & Qt::ControlModifier) != 0;
    // Merging a floating paste runs a document command, which may throw.
    GuardCommand(m_host.Ui(), [&] { m_editor.Press(ToImagePoint(ViewToImage(pt)), bCtrl); });
    UpdateCursor(pt);
}

void CTavixCaptureView::ReleaseInSelectMode(QPointF ptView) {
    GuardCommand(m_host.Ui(), [&] { m_editor.Release(ToImagePoint(ViewToImage(ptView))); });
    UpdateCursor(ptView);
}

void CTavixCaptureView::contextMenuEvent(QContextMenuEvent* pEvent) {
    m_host.TrackViewMenu(pEvent->globalPos());
    pEvent->accept();
}

void CTavixCaptureView::UpdateCursor() {
    UpdateCursor(viewport()->mapFromGlobal(QPointF(QCursor::pos())));
}

void CTavixCaptureView::UpdateCursor(QPointF ptView) {
    if (m_bPanning) {
        viewport()->setCursor(m_hPanDragCursor);
    } else if (m_editor.Mode() != ModeSelect) {
        const bool bCanPan = HasHorizontalScroll() || HasVerticalScroll();
        viewport()->setCursor(bCanPan ? m_hPanCursor : QCursor(Qt::ArrowCursor));
    } else if (m_editor.Drag().IsActive() ||
               m_editor.IsOverSelection(ToImagePoint(ViewToImage(ptView)))) {
        viewport()->setCursor(m_hMoveCursor);
    } else if (const CZoomMapping mapping = Mapping();
               Image() != nullptr && mapping.ImageRect().contains(mapping.ViewToDevice(ptView))) {
        viewport()->setCursor(m_hSelectCursor);
    } else {
        viewport()->setCursor(Qt::ArrowCursor);
    }
}

// ---- ISelectionTarget ----

ImageRect CTavixCaptureView::ImageBounds() const {
    const QSize size = ImageSize();
    return {0, 0, size.width(), size.height()};
}

void CTavixCaptureView::MoveRegion(const ImageRect& rcVacated, const ImageRect& rcSource,
                                   const ImageRect& rcDestination, bool bCopy) {
    if (CTavixCaptureDoc* pDoc = GetDocument())
        pDoc->CopyOrMoveRegion(rcVacated, rcSource, rcDestination, bCopy);
}

void CTavixCaptureView::PasteBitmap(const CImageBitmap& bitmap, const ImageRect& rcSource,
                                    const ImageRect& rcDestination) {
    if (CTavixCaptureDoc* pDoc = GetDocument())
        pDoc->PasteImage(bitmap, rcSource, rcDestination);
}

void CTavixCaptureView::Crop(const ImageRect& rc) {
    if (CTavixCaptureDoc* pDoc = GetDocument())
        pDoc->CropImage(rc);
}

bool CTavixCaptureView::CopyToClipboard(const ImageRect& rc) {
    CTavixCaptureDoc* pDoc = GetDocument();
    return pDoc != nullptr && pDoc->CopyRegionToClipboard(rc);
}

void CTavixCaptureView::InvalidateImage(const ImageRect& rc) {
    if (!rc.IsEmpty())
        viewport()->update(ImageToView(ToQRect(rc)).adjusted(-1, -1, 1, 1));
}

void CTavixCaptureView::InvalidateOutline(const ImageRect& rc) {
    if (!rc.IsEmpty())
        viewport()->update(OutlineRegion(rc));
}

void CTavixCaptureView::InvalidateAll(bool) {
    // The view paints every pixel of its window itself, erased or not.
    viewport()->update();
}

// ---- painting ----

bool CTavixCaptureView::PaintsFixedBackdrop() const {
    const CImageBitmap* pImage = Image();
    const CImageBitmap* pFloating = m_editor.Floating();
    return (pImage != nullptr && CBitmapPainter::HasTransparency(*pImage)) ||
           (pFloating != nullptr && CBitmapPainter::HasTransparency(*pFloating));
}

QRect CTavixCaptureView::OutlineOnDevice(const CZoomMapping& mapping, const ImageRect& rc) const {
    const ImageRect rcOutline = views::Intersect(views::Inflate(rc, 1), ImageBounds());
    return mapping.ImageToDevice(ToQRect(rcOutline)).adjusted(0, 0, -1, -1);
}

QRegion CTavixCaptureView::OutlineRegion(const ImageRect& rc) const {
    const CZoomMapping mapping = Mapping();
    return FrameRegion(mapping.DeviceToView(OutlineOnDevice(mapping, rc)));
}

void CTavixCaptureView::PaintImage(QPainter& painter, const CZoomMapping& mapping,
                                   const QRegion& region) {
    const CDisplayBitmap& image = *Image();
    const CBlockDrag& drag = m_editor.Drag();
    const bool bPixelDrag = drag.Kind() == CBlockDrag::EKind::Pixels;
    const CImageBitmap* pFloating = m_editor.Floating();
    const ImageRect rcBounds = ImageBounds();
    const ImageRect rcBlock = views::Intersect(drag.Block(), rcBounds);
    const QColor fill = m_host.ImageBackgroundColor();
    const ImageRect rcPlace = m_editor.FloatingPlace();
    const ImageRect rcFloating = views::Intersect(rcPlace, rcBounds);
    // Each update rectangle in image pixels, one more on each side for partly covered pixels.
    // A diagonal scroll uncovers an L-shaped strip: drawing its bounding rectangle would
    // repaint the whole window.
    m_rectRepaint = QRect();
    for (const QRect& rcDevice : region) {
        const QRect rc = mapping.DeviceToImage(rcDevice).adjusted(-1, -1, 1, 1) & ToQRect(rcBounds);
        const ImageRect rcUpdate = ToImageRect(rc);
        DrawShifted(painter, mapping, image, rcUpdate, {0, 0});
        m_rectRepaint |= rc;
        if (bPixelDrag && !drag.IsCopy()) {
            painter.setWorldTransform(mapping.ImageFrame());
            painter.fillRect(ToQRect(views::Intersect(drag.Source(), rcUpdate)), fill);
        }
        // The block's pixels are read where they were: the document keeps them there.
        if (bPixelDrag)
            DrawShifted(painter, mapping, image, views::Intersect(rcBlock, rcUpdate),
                        drag.Displacement());
        if (pFloating != nullptr)
            DrawShifted(painter, mapping, *pFloating, views::Intersect(rcFloating, rcUpdate),
                        {rcPlace.left, rcPlace.top});
    }
    painter.setWorldTransform(mapping.DeviceFrame());
}

void CTavixCaptureView::PaintOutlines(QPainter& painter, const CZoomMapping& mapping,
                                      const QRegion& region) const {
    const QRect rcClip = region.boundingRect();
    if (!m_editor.Marquee().IsEmpty()) {
        // Black dots, then white ones: the timer makes the outline blink on any picture.
        painter.setPen(QPen(m_host.MarqueeInverted() ? Qt::white : Qt::black, 0));
        DottedFrame(painter, OutlineOnDevice(mapping, m_editor.Marquee()), rcClip);
    }
    if (m_editor.Band().IsActive() && !m_editor.Band().Rect().IsEmpty()) {
        painter.setPen(QPen(Qt::black, 0));
        DottedFrame(painter, OutlineOnDevice(mapping, m_editor.Band().Rect()), rcClip);
    }
}
