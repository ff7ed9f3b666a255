// SPDX-License-Identifier: MIT
// CTavixCaptureView: the view of an image document: paints the image at the current zoom with
// a red outline, pans large images by dragging, scrolls from the keyboard and reports the pointer
// position, colour depth and image size in the status bar.
#pragma once

#include "framework/View.h"
#include "views/ZoomView.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QRect>
#include <QSize>

class CCmdUI;
class CDisplayBitmap;
class CTavixCaptureDoc;
class IImageViewHost;

class CTavixCaptureView : public CZoomView, public CView {
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
    int Mode() const noexcept { return m_nMode; }
    // The part of the image the last paint drew, image coordinates.
    QRect LastRepaintRect() const noexcept { return m_rectRepaint; }

    // The blinking selection outline, one step per tick of the main frame's refresh timer.
    // Nothing happens while there is no marquee.
    void RedrawMarquee();
    QRect Marquee() const noexcept { return m_rectMarquee; }

    // Follows a change of the image size: 1:1 extent, remembered preset factor, repaint.
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
    void OnZoomIn();
    void OnZoomOut();
    void OnUpdateZoomIn(CCmdUI& cmdUI);
    void OnUpdateZoomOut(CCmdUI& cmdUI);
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
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    // Sets the cursor for the mode and whether the view can scroll.
    void UpdateCursor();
    // Fits the window into the MDI area (first showing).
    void FitFrameIntoArea();
    bool IsActiveView() const;
    void SetPane(int nPane, const QString& strText) const;
    // Panes 2 and 3: the image's colour depth and size.
    void ShowImagePanes() const;
    // Pane 0: the image's last command, or the idle message.
    void ShowLastCommand() const;

    IImageViewHost& m_host;
    QRect m_rectRepaint;
    QRect m_rectMarquee;
    int m_nMode = ModeBrowse;
    QSize m_sizeImage{0, 0};
    bool m_bPanning = false;
    QPoint m_ptPanLast;
    // From the window's creation (the document is being opened) to its first painted image.
    QElapsedTimer m_openTimer;
    bool m_bPaintedImage = false;
    QCursor m_hPanCursor;
    QCursor m_hPanDragCursor;
};
