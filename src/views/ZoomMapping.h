// SPDX-License-Identifier: MIT
// CZoomMapping: where window points, device pixels and image pixels of a zoom view meet. Zoom z
// puts z device pixels on an image pixel whatever the screen's scale, so a screenshot at 100 %
// shows one image pixel per device pixel even at a fractional scale.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QTransform>

class CZoomMapping {
public:
    CZoomMapping() = default;
    // dDevicePixelRatio: device pixels per window pixel. ptFraction: how far into a device pixel
    // the window's top-left corner lies (a window placed at an odd position on a 1.5 screen
    // starts half-way into one); device pixels are counted from that pixel. ptOrigin: the device
    // pixel of image point (0, 0). sizeImage: image pixels; sizeShown: the image's device pixels.
    CZoomMapping(double dDevicePixelRatio, QPointF ptFraction, QPoint ptOrigin, QSize sizeImage,
                 QSize sizeShown);

    // How far into its device pixel a device point lies (0 <= x, y < 1).
    static QPointF FractionOf(QPointF ptDevice);

    double DevicePixelRatio() const noexcept { return m_dRatio; }
    QPoint Origin() const noexcept { return m_ptOrigin; }

    // The device pixel under a window point (fractional, as pointer positions are).
    QPoint ViewToDevice(QPointF ptView) const;
    // Every device pixel the window rectangle touches.
    QRect ViewToDevice(const QRect& rcView) const;
    // The window pixels that cover the device rectangle.
    QRect DeviceToView(const QRect& rcDevice) const;

    // The image pixel that contains a device pixel (negative left of and above the image).
    QPoint DeviceToImage(QPoint ptDevice) const;
    // The image point, with its fraction, under a device point.
    QPointF DeviceToImageF(QPointF ptDevice) const;
    // The first device pixel of an image pixel.
    QPoint ImageToDevice(QPoint ptImage) const;
    // Rectangles corner by corner: the right and bottom edges are exclusive, like the pixels.
    QRect DeviceToImage(const QRect& rcDevice) const;
    QRect ImageToDevice(const QRect& rcImage) const;
    // The image's device pixels.
    QRect ImageRect() const { return {m_ptOrigin, m_sizeShown}; }

    // Painter world transforms: one unit is one device pixel, or one image pixel. Both leave
    // whole device pixels where the paint device has them.
    QTransform DeviceFrame() const;
    QTransform ImageFrame() const;

private:
    double m_dRatio = 1.0;
    QPointF m_ptFraction;
    QPoint m_ptOrigin;
    QSize m_sizeImage;
    QSize m_sizeShown;
};
