// SPDX-License-Identifier: MIT
// The image view: zoom commands, panning, keyboard scrolling and status panes.
#include "views/TavixCaptureView.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/FrameWnd.h"
#include "framework/StringTable.h"
#include "image/DisplayBitmap.h"
#include "views/BitmapPainter.h"
#include "views/ImageViewHost.h"
#include "views/Timing.h"
#include "views/ViewCursors.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

#include <cstdlib>

const CCommandMap& CTavixCaptureView::ThisCommandMap() {
    using V = CTavixCaptureView;
    static const CCommandMap s_map =
        TCommandMapBuilder<V>(&CCmdTarget::ThisCommandMap())
            .On(ID_VIEW_ZOOM_IN, &V::OnZoomIn)
            .On(ID_VIEW_ZOOM_OUT, &V::OnZoomOut)
            .OnUpdate(ID_VIEW_ZOOM_IN, &V::OnUpdateZoomIn)
            .OnUpdate(ID_VIEW_ZOOM_OUT, &V::OnUpdateZoomOut)
            .On(ID_VIEW_ZOOM_FIT, &V::OnZoomFit)
            .OnUpdate(ID_VIEW_ZOOM_FIT, &V::OnUpdateNeedsImage)
            .OnEx(ID_EDIT_UNDO, &V::OnEditUndo)
            .OnUpdate(ID_EDIT_UNDO, &V::OnUpdateEditUndo)
            .OnEx(ID_EDIT_REDO, &V::OnEditRedo)
            .OnUpdate(ID_EDIT_REDO, &V::OnUpdateEditRedo)
            .On(ID_FILE_PRINT, &V::OnFilePrint)
            .On(ID_FILE_PRINT_DIRECT, &V::OnFilePrintDirect)
            .On(ID_FILE_PRINT_PREVIEW, &V::OnFilePrintPreview)
            .OnUpdateRange(ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, &V::OnUpdateFilePrint)
            .On(ID_VIEW_SELECT_REGION, &V::OnSelectRegion)
            .OnUpdate(ID_VIEW_SELECT_REGION, &V::OnUpdateSelectRegion)
            .On(ID_EDIT_SELECT_ALL, &V::OnSelectAll)
            .OnUpdate(ID_EDIT_SELECT_ALL, &V::OnUpdateNeedsImage)
            .On(ID_EDIT_UNSELECT, &V::OnUnselect)
            .OnUpdate(ID_EDIT_UNSELECT, &V::OnUpdateUnselect)
            .On(ID_EDIT_CUT, &V::OnEditCut)
            .OnUpdate(ID_EDIT_CUT, &V::OnUpdateNeedsSelection)
            .On(ID_EDIT_COPY, &V::OnEditCopy)
            .OnUpdate(ID_EDIT_COPY, &V::OnUpdateNeedsSelection)
            .On(ID_EDIT_PASTE, &V::OnEditPaste)
            .OnUpdate(ID_EDIT_PASTE, &V::OnUpdateEditPaste)
            .On(ID_IMAGE_CROP, &V::OnImageCrop)
            .OnUpdate(ID_IMAGE_CROP, &V::OnUpdateNeedsImage)
            .Build();
    return s_map;
}

CTavixCaptureView::CTavixCaptureView(IImageViewHost& host, QWidget* pParent)
    : CZoomView(pParent), m_host(host),
      m_hPanCursor(CViewCursors::Load(CViewCursors::IDC_PAN, devicePixelRatioF())),
      m_hPanDragCursor(CViewCursors::Load(CViewCursors::IDC_PAN_DRAG, devicePixelRatioF())),
      m_hSelectCursor(CViewCursors::Load(CViewCursors::IDC_SELECT, devicePixelRatioF())),
      m_hMoveCursor(CViewCursors::Load(CViewCursors::IDC_MOVE, devicePixelRatioF())) {
    m_openTimer.start();
    viewport()->setMouseTracking(true);
    // The view paints every pixel of its window itself (image or background colour).
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    // About the pace of a held key's repeats.
    m_autoScrollTimer.setInterval(30);
    connect(&m_autoScrollTimer, &QTimer::timeout, this, &CTavixCaptureView::OnAutoScrollTick);
}

CTavixCaptureView::~CTavixCaptureView() = default;

CTavixCaptureDoc* CTavixCaptureView::GetDocument() const {
    return dynamic_cast<CTavixCaptureDoc*>(CView::GetDocument());
}

const CDisplayBitmap* CTavixCaptureView::Image() const {
    const CTavixCaptureDoc* pDoc = GetDocument();
    return pDoc != nullptr ? pDoc->GetImage() : nullptr;
}

QSize CTavixCaptureView::ImageSize() const {
    const CDisplayBitmap* pImage = Image();
    return pImage != nullptr ? QSize(pImage->Width(), pImage->Height()) : QSize(0, 0);
}

void CTavixCaptureView::SetPane(int nPane, const QString& strText) const {
    m_host.SetPaneText(nPane, strText);
}

QString CTavixCaptureView::MousePositionText(QPoint ptImage) {
    return LoadString(ID_INDICATOR_MOUSE_POS) +
           QStringLiteral(" (%1,%2)").arg(ptImage.x()).arg(ptImage.y());
}

QString CTavixCaptureView::ColorText(int nBitsPerPixel) {
    return LoadString(ID_INDICATOR_COLOR) + QStringLiteral(" %1 Bits").arg(nBitsPerPixel);
}

QString CTavixCaptureView::ImageSizeText(QSize size) {
    return LoadString(ID_INDICATOR_IMAGE_SIZE) +
           QStringLiteral(" (%1,%2)").arg(size.width()).arg(size.height());
}

bool CTavixCaptureView::IsActiveView() const {
    const CFrameWnd* pFrame = GetParentFrame();
    const CFrameWnd* pMain = pFrame != nullptr ? pFrame->GetParentFrame() : nullptr;
    return pMain != nullptr && pMain->GetActiveView() == this;
}

void CTavixCaptureView::RefreshLayout() {
    const QSize size = ImageSize();
    if (size != m_sizeImage) {
        SetImageExtent(size);
        m_sizeImage = size;
        if (m_editor.Mode() != ModeSelect)
            m_editor.SetBrowseMode();
    }
    // Operations change the depth and the size; the active view's panes follow at once.
    if (IsActiveView())
        ShowImagePanes();
    UpdateCursor();
    viewport()->update();
}

void CTavixCaptureView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    RefreshLayout();
    FitFrameIntoArea();
    // Once more when the window shows, with its real title bar and borders.
    QTimer::singleShot(0, this, &CTavixCaptureView::FitFrameIntoArea);
    m_editor.SetBrowseMode();
    UpdateCursor();
}

void CTavixCaptureView::FitFrameIntoArea() {
    auto* pFrame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* pArea = pFrame != nullptr ? pFrame->mdiArea() : nullptr;
    // A maximised window fills the area already.
    if (pArea == nullptr || pFrame->isMaximized())
        return;
    // The window is made to show the whole image, then cut where it would leave the area.
    // Before the first showing the window has no layout yet; its size hint is the view's plus
    // the title bar and borders (once polished), whatever size the view asks for. Once shown,
    // the real sizes say it.
    pFrame->ensurePolished();
    const QSize decoration =
        pFrame->isVisible() ? pFrame->size() - size() : pFrame->sizeHint() - sizeHint();
    const QRect rcArea = pArea->viewport()->rect();
    QPoint pos = pFrame->pos();
    // A window placed so near the area's far corner that the cut would leave a sliver starts
    // at the area's origin instead.
    if (rcArea.right() - pos.x() < rcArea.width() / 3 ||
        rcArea.bottom() - pos.y() < rcArea.height() / 3) {
        pos = rcArea.topLeft();
        pFrame->move(pos);
    }
    const QSize sizeShown = Mapping().DeviceToView(QRect(QPoint(0, 0), TotalSize())).size();
    QRect rc(pos, sizeShown + decoration);
    if (rc.bottom() > rcArea.bottom()) {
        rc.setBottom(rcArea.bottom());
        // Room for the vertical scroll bar the cut brings.
        rc.setWidth(rc.width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + frameWidth());
    }
    if (rc.right() > rcArea.right())
        rc.setRight(rcArea.right());
    pFrame->resize(rc.size().expandedTo(pFrame->minimumSizeHint()));
}

void CTavixCaptureView::OnUpdate(CView* pSender, const ViewUpdate& update) {
    const bool bFromImageView = dynamic_cast<CTavixCaptureView*>(pSender) != nullptr;
    if (pSender == this || (!bFromImageView && update.kind == ViewUpdate::EKind::Image))
        RefreshLayout();
}

void CTavixCaptureView::OnActivateView(bool bActivate, CView*, CView*) {
    if (!bActivate)
        return;
    ShowImagePanes();
    ShowLastCommand();
    ShowPointerPosition();
}

void CTavixCaptureView::ShowPointerPosition() const {
    // The pane speaks of the active image at once, not only after the pointer next moves.
    const QPoint pt = viewport()->mapFromGlobal(QCursor::pos());
    const bool bOver = viewport()->isVisible() && viewport()->rect().contains(pt);
    SetPane(IImageViewHost::PaneMousePosition,
            bOver ? MousePositionText(ViewToImage(pt)) : QString());
}

void CTavixCaptureView::ShowImagePanes() const {
    const CDisplayBitmap* pImage = Image();
    SetPane(IImageViewHost::PaneColor, ColorText(pImage != nullptr ? pImage->Depth() : 0));
    SetPane(IImageViewHost::PaneImageSize, ImageSizeText(ImageSize()));
}

void CTavixCaptureView::ShowLastCommand() const {
    // The message pane speaks of this image, not of the one active before.
    const CTavixCaptureDoc* pDoc = GetDocument();
    const QString strLast = pDoc != nullptr ? pDoc->LastCommandMessage() : QString();
    SetPane(IImageViewHost::PaneMessage,
            strLast.isEmpty() ? LoadString(IDS_IDLE_MESSAGE) : strLast);
}

void CTavixCaptureView::paintEvent(QPaintEvent* pEvent) {
    QElapsedTimer timer;
    if (views::TimingEnabled())
        timer.start();
    QPainter painter(viewport());
    // Device pixels from here on, on the paint device's own grid.
    const QTransform device = painter.deviceTransform();
    const CZoomMapping mapping =
        Mapping(CZoomMapping::FractionOf(QPointF(device.dx(), device.dy())));
    painter.setWorldTransform(mapping.DeviceFrame());
    QRegion region;
    for (const QRect& rc : pEvent->region())
        region += mapping.ViewToDevice(rc);
    const CDisplayBitmap* pImage = Image();
    const QRect rcImage = pImage != nullptr ? mapping.ImageRect() : QRect();
    m_lastPaintRegion = pEvent->region();

    // The background around the image, only where the update needs it.
    const QColor background = m_host.ViewBackgroundColor();
    for (const QRect& rc : region - rcImage)
        painter.fillRect(rc, background);
    if (pImage == nullptr) {
        m_rectRepaint = QRect();
        return;
    }
    // A red frame one device pixel outside the image.
    painter.setPen(QPen(QColor(255, 0, 0), 0));
    painter.drawRect(rcImage.adjusted(-1, -1, 0, 0));
    PaintImage(painter, mapping, region & rcImage);
    PaintOutlines(painter, mapping, region);
    if (views::TimingEnabled() && !m_bPaintedImage) {
        m_bPaintedImage = true;
        views::TimingTrace(
            "image window created (file open started) to first painted image: %.1f ms",
            m_openTimer.nsecsElapsed() / 1e6);
    }
    if (views::TimingEnabled()) {
        views::TimingTrace("paint %dx%d window pixels at %.0f%%: %.3f ms", pEvent->rect().width(),
                           pEvent->rect().height(), Scale() * 100.0, timer.nsecsElapsed() / 1e6);
    }
}

void CTavixCaptureView::resizeEvent(QResizeEvent* pEvent) {
    CZoomView::resizeEvent(pEvent);
    UpdateCursor();
}

void CTavixCaptureView::keyPressEvent(QKeyEvent* pEvent) {
    const bool bCtrl = (pEvent->modifiers() & Qt::ControlModifier) != 0;
    QScrollBar* pH = horizontalScrollBar();
    QScrollBar* pV = verticalScrollBar();
    switch (pEvent->key()) {
    case Qt::Key_PageUp:
        pV->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        pV->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_End:
        (bCtrl ? pV : pH)->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    case Qt::Key_Home:
        (bCtrl ? pV : pH)->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_Left:
        pH->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Up:
        pV->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        pH->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Down:
        pV->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        CZoomView::keyPressEvent(pEvent);
        return;
    }
    pEvent->accept();
}

void CTavixCaptureView::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::RightButton)
        RefreshLayout();
    if (pEvent->button() != Qt::LeftButton)
        return;
    if (m_editor.Mode() == ModeSelect) {
        PressInSelectMode(pEvent);
        return;
    }
    if (!HasHorizontalScroll() && !HasVerticalScroll())
        return;
    m_bPanning = true;
    m_ptPanLast = Mapping().ViewToDevice(PointerInView(*pEvent));
    UpdateCursor();
}

void CTavixCaptureView::mouseMoveEvent(QMouseEvent* pEvent) {
    const QPointF pt = PointerInView(*pEvent);
    SetPane(IImageViewHost::PaneMousePosition, MousePositionText(ViewToImage(pt)));
    if (m_editor.IsTracking()) {
        m_editor.MoveTo(ToImagePoint(ViewToImage(pt)));
        FollowDragPointer(pt);
        return;
    }
    if (!m_bPanning) {
        UpdateCursor(pt);
        return;
    }
    // The image follows the pointer: the scroll position moves against the drag.
    const QPoint ptDevice = Mapping().ViewToDevice(pt);
    const QPoint delta = ptDevice - m_ptPanLast;
    m_ptPanLast = ptDevice;
    if (delta.isNull())
        return;
    QPoint pos = ScrollPosition() - delta;
    pos.setX(HasHorizontalScroll() ? std::max(0, pos.x()) : 0);
    pos.setY(HasVerticalScroll() ? std::max(0, pos.y()) : 0);
    ScrollToPosition(pos);
}

void CTavixCaptureView::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::LeftButton)
        return;
    if (m_editor.IsTracking()) {
        m_autoScrollTimer.stop();
        ReleaseInSelectMode(PointerInView(*pEvent));
        return;
    }
    if (m_bPanning) {
        m_bPanning = false;
        UpdateCursor();
    }
}

void CTavixCaptureView::wheelEvent(QWheelEvent* pEvent) {
    if ((pEvent->modifiers() & Qt::ControlModifier) == 0 || Image() == nullptr) {
        m_nWheelZoom = 0;
        CZoomView::wheelEvent(pEvent);
        return;
    }
    constexpr int kNotch = 120;
    m_nWheelZoom += pEvent->angleDelta().y();
    while (std::abs(m_nWheelZoom) >= kNotch) {
        const bool bIn = m_nWheelZoom > 0;
        m_nWheelZoom -= bIn ? kNotch : -kNotch;
        ZoomAt(bIn ? PresetAbove() : PresetBelow(), PointerInView(*pEvent));
    }
    UpdateCursor(PointerInView(*pEvent));
    pEvent->accept();
}

void CTavixCaptureView::FollowDragPointer(QPointF ptView) {
    m_ptDragPointer = ptView;
    if (QRectF(viewport()->rect()).contains(ptView))
        m_autoScrollTimer.stop();
    else if (!m_autoScrollTimer.isActive())
        m_autoScrollTimer.start();
}

void CTavixCaptureView::OnAutoScrollTick() {
    if (!m_editor.IsTracking() || !ScrollTowards(m_ptDragPointer)) {
        m_autoScrollTimer.stop();
        return;
    }
    // The band or the block follows the image point now under the pointer.
    const QPoint ptImage = ViewToImage(m_ptDragPointer);
    SetPane(IImageViewHost::PaneMousePosition, MousePositionText(ptImage));
    m_editor.MoveTo(ToImagePoint(ptImage));
}

void CTavixCaptureView::OnZoomIn() {
    ZoomPresetUp();
    UpdateCursor();
}

void CTavixCaptureView::OnZoomOut() {
    ZoomPresetDown();
    UpdateCursor();
}

void CTavixCaptureView::OnUpdateZoomIn(CCmdUI& cmdUI) {
    cmdUI.Enable(CanZoomPresetUp());
}

void CTavixCaptureView::OnUpdateZoomOut(CCmdUI& cmdUI) {
    cmdUI.Enable(CanZoomPresetDown());
}

void CTavixCaptureView::OnZoomFit() {
    SetScale(FitScale());
    UpdateCursor();
}

void CTavixCaptureView::OnFilePrint() {
    if (IImagePrinter* pPrinter = m_host.ImagePrinter())
        pPrinter->Print(*this, false);
}

void CTavixCaptureView::OnFilePrintDirect() {
    if (IImagePrinter* pPrinter = m_host.ImagePrinter())
        pPrinter->Print(*this, true);
}

void CTavixCaptureView::OnFilePrintPreview() {
    if (IImagePrinter* pPrinter = m_host.ImagePrinter())
        pPrinter->PrintPreview(*this);
}

void CTavixCaptureView::OnUpdateFilePrint(CCmdUI& cmdUI) {
    cmdUI.Enable(m_host.ImagePrinter() != nullptr && Image() != nullptr);
}
