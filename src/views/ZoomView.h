// SPDX-License-Identifier: MIT
// CZoomView: a scrolling view over a drawing space of image pixels shown at 25 % to 400 %,
// centred while smaller than the window, with conversions between window and image points.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <array>

class CZoomView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // The preset levels in percent.
    static constexpr std::array<int, 5> kPresetLevels{25, 50, 100, 200, 400};

    explicit CZoomView(QWidget* pParent = nullptr);

    // Sets the drawing space (image pixels) and the page and line steps (image pixels; a zero
    // component takes the default: a page is a tenth of the scaled total, a line a tenth of a
    // page). Shows the space at 1:1 whatever Scale() says until the next SetScale.
    void SetImageExtent(QSize sizeTotal, QSize sizePage = QSize(0, 0),
                        QSize sizeLine = QSize(0, 0));
    // Zooms to dFactor keeping the image point at the window's centre where it is.
    void SetScale(double dFactor);
    double Scale() const noexcept { return m_dScale; }
    // Used when the image size changed: remembers the factor without re-zooming.
    void SetScaleMember(double dFactor) noexcept { m_dScale = dFactor; }

    // Presets (the View menu's "Zoom:" items and the zoom in / zoom out commands).
    void SetPresetScale(double dFactor);
    double PresetScale() const noexcept { return m_dPresetScale; }
    void ZoomPresetUp();
    void ZoomPresetDown();
    bool IsPresetChecked(int nPercent) const;
    bool CanZoomPresetUp() const;
    bool CanZoomPresetDown() const;

    // Scrolls so that the image point is at the window's centre, as far as the range allows.
    void CenterOnImagePoint(QPoint ptImage);
    // The image point under the centre of the window.
    QPoint GetImageCenter() const;

    // Window (viewport) and image coordinates. A window point maps to the image pixel that
    // contains it (rounded down), so every pixel under the pointer has one image position.
    QPoint ViewToImage(QPoint ptView) const;
    QPoint ImageToView(QPoint ptImage) const;
    // Rectangles as two corners; the result is normalised.
    QRect ViewToImage(const QRect& rcView) const;
    QRect ImageToView(const QRect& rcImage) const;
    QPoint ClientToScroll(QPoint ptClient) const { return ptClient + ScrollPosition(); }
    static QRect NormalizeRect(const QRect& rc) { return rc.normalized(); }

    // The sizes the scrolling follows (window pixels).
    QSize TotalSize() const noexcept { return m_sizeTotalDev; }
    QSize BaseTotalSize() const noexcept { return m_sizeBaseTotal; }
    QSize PageStep() const noexcept { return m_sizePageDev; }
    QSize LineStep() const noexcept { return m_sizeLineDev; }
    QPoint ScrollPosition() const;
    void ScrollToPosition(QPoint pt);
    bool HasHorizontalScroll() const;
    bool HasVerticalScroll() const;

    // Where image point (0, 0) lands in the window, and the image-to-window transform.
    QPoint ViewportOrigin() const;
    QTransform ImageTransform() const;
    // The image's rectangle in window coordinates.
    QRect ImageRectInView() const;

signals:
    void scaleChanged(double dScale);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    // Recomputes the steps, updates the scroll bars and repaints the whole window.
    void UpdateViewport();

private:
    void UpdateScrollBars();
    // The window size the scroll ranges are computed for: without the bars that are not needed.
    QSize ClientSizeForScrolling() const;
    void OnScrollAction(Qt::Orientation orientation, int nAction);
    // Index of the preset level for trunc(PresetScale x 100), or -1.
    int PresetIndex() const;

    double m_dScale = 1.0;
    double m_dPresetScale = 1.0;
    QSize m_sizeBaseTotal;
    QSize m_sizeBasePage;
    QSize m_sizeBaseLine;
    QSize m_sizeTotalDev;
    QSize m_sizePageDev;
    QSize m_sizeLineDev;
    bool m_bCenter = true;
};
