// SPDX-License-Identifier: MIT
// CTavixCaptureView: the view of an image document: paints the image at the current zoom with
// a red outline (transparent pixels over a checkerboard), zooms (presets, fit, Ctrl+wheel at the
// pointer), pans large images by dragging, scrolls from the keyboard, selects, drags, cuts,
// copies, pastes and crops (the logic in CSelectionEditor; a drag past the window's edge
// scrolls), and reports the pointer position, colour depth and image size in the status bar.
#pragma once

#include "framework/View.h"
#include "views/SelectionEditor.h"
#include "views/SelectionTarget.h"
#include "views/ZoomView.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QTimer>

class CCmdUI;
class CDisplayBitmap;
class CTavixCaptureDoc;
class IImageViewHost;

class CTavixCaptureView : public CZoomView, public CView, private ISelectionTarget {
    Q_OBJECT
    QUORVI_DECLARE_COMMAND_MAP()

public:
    // 0 browse (drag pans), 2 selection.
    enum EMode { ModeBrowse = 0, ModeSelect = 2 };

    // host: the window services the view reports to; must outlive the view.
    explicit CTavixCaptureView(IImageViewHost& host, QWidget* pParent = nullptr);
    ~CTavixCaptureView() override;

    CTavixCaptureDoc* GetDocument() const;
    // The document's image, or null.
    const CDisplayBitmap* Image() const;
    // The image size, (0, 0) without an image.
    QSize ImageSize() const;
    int Mode() const noexcept { return m_editor.Mode(); }
    // The part of the image the last paint drew, image coordinates.
    QRect LastRepaintRect() const noexcept { return m_rectRepaint; }
    // What the last paint covered, window coordinates.
    const QRegion& LastPaintRegion() const noexcept { return m_lastPaintRegion; }

    // Repaints the blinking selection outline in the look the host's toggle says now; the main
    // frame's timer calls it for the active view. Nothing happens while there is no marquee.
    void RedrawMarquee();
    QRect Marquee() const;
    QRect Selection() const;
    const CSelectionEditor& Editor() const noexcept { return m_editor; }

    // Follows a change of the image size: the extent at the zoom shown, repaint.
    void RefreshLayout();

    // CView
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, const ViewUpdate& update) override;
    void OnActivateView(bool bActivate, CView* pActivateView, CView* pDeactiveView) override;

    // Status texts of panes 1 to 3.
    static QString MousePositionText(QPoint ptImage);
    static QString ColorText(int nBitsPerPixel);
    static QString ImageSizeText(QSize size);

    // Command handlers.
    void OnSelectRegion();
    void OnUpdateSelectRegion(CCmdUI& cmdUI);
    void OnSelectAll();
    void OnUnselect();
    void OnUpdateUnselect(CCmdUI& cmdUI);
    void OnEditCut();
    void OnEditCopy();
    void OnUpdateNeedsSelection(CCmdUI& cmdUI);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI& cmdUI);
    void OnImageCrop();
    void OnUpdateNeedsImage(CCmdUI& cmdUI);
    void OnZoomIn();
    void OnZoomOut();
    void OnUpdateZoomIn(CCmdUI& cmdUI);
    void OnUpdateZoomOut(CCmdUI& cmdUI);
    void OnZoomFit();
    // Undo while a paste floats takes the paste away instead; Redo waits until it is merged.
    bool OnEditUndo(unsigned nID);
    void OnUpdateEditUndo(CCmdUI& cmdUI);
    bool OnEditRedo(unsigned nID);
    void OnUpdateEditRedo(CCmdUI& cmdUI);
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    void OnUpdateFilePrint(CCmdUI& cmdUI);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    bool PaintsFixedBackdrop() const override;

private:
    static ImagePoint ToImagePoint(QPoint pt) { return {pt.x(), pt.y()}; }

    // ISelectionTarget
    ImageRect ImageBounds() const override;
    void MoveRegion(const ImageRect& rcVacated, const ImageRect& rcSource,
                    const ImageRect& rcDestination, bool bCopy) override;
    void PasteBitmap(const CImageBitmap& bitmap, const ImageRect& rcSource,
                     const ImageRect& rcDestination) override;
    void Crop(const ImageRect& rc) override;
    bool CopyToClipboard(const ImageRect& rc) override;
    void InvalidateImage(const ImageRect& rc) override;
    void InvalidateOutline(const ImageRect& rc) override;
    void InvalidateAll(bool bErase) override;

    // The device pixels of an outline drawn one image pixel outside rc, cut to the image.
    QRect OutlineOnDevice(const CZoomMapping& mapping, const ImageRect& rc) const;
    // The window pixels to repaint for the outline of rc.
    QRegion OutlineRegion(const ImageRect& rc) const;
    // The image, the dragged or floating pixels and the outlines, inside the paint's region
    // (device pixels); the painter is in the mapping's device frame.
    void PaintImage(QPainter& painter, const CZoomMapping& mapping, const QRegion& region);
    void PaintOutlines(QPainter& painter, const CZoomMapping& mapping, const QRegion& region) const;
    void PressInSelectMode(QMouseEvent* pEvent);
    void ReleaseInSelectMode(QPointF ptView);
    // A drag that holds the pointer outside the window scrolls towards it on a timer.
    void FollowDragPointer(QPointF ptView);
    void OnAutoScrollTick();
    // Sets the cursor for the mode, whether the view can scroll, and what is under ptView.
    void UpdateCursor(QPointF ptView);
    void UpdateCursor();
    // Fits the window into the MDI area (first showing).
    void FitFrameIntoArea();
    bool IsActiveView() const;
    void SetPane(int nPane, const QString& strText) const;
    // Panes 2 and 3: the image's colour depth and size.
    void ShowImagePanes() const;
    // Pane 0: the image's last command, or the idle message.
    void ShowLastCommand() const;
    // Pane 1: where the pointer is over this view, or nothing when it is elsewhere.
    void ShowPointerPosition() const;

    IImageViewHost& m_host;
    CSelectionEditor m_editor{*this};
    QRect m_rectRepaint;
    QRegion m_lastPaintRegion;
    QSize m_sizeImage{0, 0};
    bool m_bPanning = false;
    // Device pixels: the pan follows the pointer to the pixel.
    QPoint m_ptPanLast;
    // Where a drag holds the pointer, window coordinates; the timer scrolls towards it.
    QPointF m_ptDragPointer;
    QTimer m_autoScrollTimer;
    // Ctrl+wheel turns not yet worth a zoom step (a notch is 120; touchpads send parts).
    int m_nWheelZoom = 0;
    // From the window's creation (the document is being opened) to its first painted image.
    QElapsedTimer m_openTimer;
    bool m_bPaintedImage = false;
    QCursor m_hPanCursor;
    QCursor m_hPanDragCursor;
    QCursor m_hSelectCursor;
    QCursor m_hMoveCursor;
};
