// SPDX-License-Identifier: MIT
// CZoomView: a scrolling view over a drawing space of image pixels shown at 25 % to 400 %,
// centred while smaller than the window, with conversions between window and image points.
// Zoom z is z device pixels per image pixel; sizes, steps and scroll positions are device
// pixels (window pixels on a screen without scaling).
#pragma once

#include "views/ZoomMapping.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

class QSinglePointEvent;

class CZoomView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // The preset levels in percent, and the limits of every zoom.
    static constexpr std::array<int, 5> kPresetLevels{25, 50, 100, 200, 400};
    static constexpr double kMinScale = 0.25;
    static constexpr double kMaxScale = 4.0;

    explicit CZoomView(QWidget* pParent = nullptr);

    // Sets the drawing space (image pixels) and the page and line steps (device pixels; a zero
    // component takes the default: a page is a tenth of the scaled total, a line a tenth of a
    // page). The zoom and the scroll position stay as they are, as far as the new range allows.
    void SetImageExtent(QSize sizeTotal, QSize sizePage = QSize(0, 0),
                        QSize sizeLine = QSize(0, 0));
    // Zooms to dFactor (kept within the limits) keeping the image point at the window's centre.
    void SetScale(double dFactor);
    // Zooms keeping the image point under the window point ptView where it is.
    void ZoomAt(double dFactor, QPointF ptView);
    double Scale() const noexcept { return m_dScale; }
    // The largest zoom within the limits that shows the whole image without scroll bars.
    double FitScale() const;

    // Presets (the View menu's "Zoom:" items and the zoom in / zoom out commands). A factor
    // between levels steps to the next level in that direction.
    void SetPresetScale(double dFactor) { SetScale(dFactor); }
    double PresetAbove() const;
    double PresetBelow() const;
    void ZoomPresetUp() {
        if (CanZoomPresetUp())
            SetScale(PresetAbove());
    }
    void ZoomPresetDown() {
        if (CanZoomPresetDown())
            SetScale(PresetBelow());
    }
    // Whether the view shows exactly that level now.
    bool IsPresetChecked(int nPercent) const;
    bool CanZoomPresetUp() const;
    bool CanZoomPresetDown() const;

    // Scrolls so that the image point is at the window's centre, as far as the range allows.
    void CenterOnImagePoint(QPoint ptImage);
    // The image point under the centre of the window.
    QPoint GetImageCenter() const;

    // The view's coordinates now; device pixels are counted from the one the window's
    // top-left corner lies in. ptFraction: where that corner lies in it, as the paint device
    // says (a widget grab starts at a whole pixel wherever the window is).
    CZoomMapping Mapping() const;
    CZoomMapping Mapping(QPointF ptFraction) const;
    // Window (viewport) and image coordinates. A window point maps to the image pixel that
    // contains it (rounded down), so every pixel under the pointer has one image position.
    QPoint ViewToImage(QPointF ptView) const;
    QPoint ImageToView(QPoint ptImage) const;
    // Rectangles as two corners; the window rectangle covers every device pixel of the image
    // rectangle.
    QRect ViewToImage(const QRect& rcView) const;
    QRect ImageToView(const QRect& rcImage) const;

    // The sizes the scrolling follows (device pixels).
    QSize TotalSize() const noexcept { return m_sizeTotalDev; }
    QSize BaseTotalSize() const noexcept { return m_sizeBaseTotal; }
    QSize PageStep() const noexcept { return m_sizePageDev; }
    QSize LineStep() const noexcept { return m_sizeLineDev; }
    QPoint ScrollPosition() const;
    void ScrollToPosition(QPoint pt);
    bool HasHorizontalScroll() const;
    bool HasVerticalScroll() const;

    // Where image point (0, 0) lands, in device pixels.
    QPoint ViewportOrigin() const;
    // The window pixels that show the image.
    QRect ImageRectInView() const;

signals:
    void scaleChanged(double dScale);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    // Recomputes the steps, updates the scroll bars and repaints the whole window.
    void UpdateViewport();
    // The window's size in device pixels (whole pixels only).
    QSize ClientDeviceSize() const;
    // Where a pointer event happened in the window, to the device pixel.
    QPointF PointerInView(const QSinglePointEvent& event) const;
    // While a drag holds the pointer at ptView outside the window: scrolls towards it, faster
    // the farther it is. False when there was nothing to scroll.
    bool ScrollTowards(QPointF ptView);
    // True while the view paints something that stays put on the screen whatever the scroll
    // position (the checkerboard under transparent pixels): scrolling then repaints the window
    // instead of moving its pixels.
    virtual bool PaintsFixedBackdrop() const { return false; }

private:
    // Zooms keeping the image point on the device pixel ptDevice where it is.
    void ZoomAtDevice(double dFactor, QPoint ptDevice);
    void UpdateScrollBars();
    // The window size the scroll ranges are computed for: without the bars that are not needed.
    QSize ClientSizeForScrolling() const;
    void OnScrollAction(Qt::Orientation orientation, int nAction);
    // A step that moves whole window pixels, so that scrolling can move the pixels shown
    // instead of painting them afresh.
    int WholeWindowPixels(int nDevice) const;
    double DevicePixelRatio() const;
    // How far into a device pixel the window's top-left corner lies.
    QPointF DeviceFraction() const;
    // A window size in the device pixels it covers.
    QSize ToDeviceSize(QSize sizeView) const;

    double m_dScale = 1.0;
    QSize m_sizeBaseTotal;
    QSize m_sizeBasePage;
    QSize m_sizeBaseLine;
    QSize m_sizeTotalDev;
    QSize m_sizePageDev;
    QSize m_sizeLineDev;
    bool m_bCenter = true;
};
