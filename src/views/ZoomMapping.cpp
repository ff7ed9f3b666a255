// SPDX-License-Identifier: MIT
// Window, device and image coordinates of a zoom view.
#include "views/ZoomMapping.h"

#include <cmath>
#include <cstdint>

namespace {

// Pointer positions come as window pixels that stand for whole device pixels; the product
// with the ratio may land a hair below the integer it means.
constexpr double kSlack = 1e-6;

// a * num / den rounded towards minus infinity; den > 0.
int ScaleFloor(int a, int num, int den) {
    const std::int64_t p = std::int64_t(a) * num;
    std::int64_t q = p / den;
    if (p % den != 0 && p < 0)
        --q;
    return static_cast<int>(q);
}

int Floor(double d) {
    return static_cast<int>(std::floor(d + kSlack));
}

int Ceil(double d) {
    return static_cast<int>(std::ceil(d - kSlack));
}

} // namespace

CZoomMapping::CZoomMapping(double dDevicePixelRatio, QPointF ptFraction, QPoint ptOrigin,
                           QSize sizeImage, QSize sizeShown)
    : m_dRatio(dDevicePixelRatio > 0 ? dDevicePixelRatio : 1.0), m_ptFraction(ptFraction),
      m_ptOrigin(ptOrigin), m_sizeImage(sizeImage), m_sizeShown(sizeShown) {}

QPointF CZoomMapping::FractionOf(QPointF ptDevice) {
    return {ptDevice.x() - Floor(ptDevice.x()), ptDevice.y() - Floor(ptDevice.y())};
}

QPoint CZoomMapping::ViewToDevice(QPointF ptView) const {
    return {Floor(ptView.x() * m_dRatio + m_ptFraction.x()),
            Floor(ptView.y() * m_dRatio + m_ptFraction.y())};
}

QRect CZoomMapping::ViewToDevice(const QRect& rcView) const {
    const QRect rc = rcView.normalized();
    const QPoint tl = ViewToDevice(QPointF(rc.topLeft()));
    const int nRight = Ceil((rc.x() + rc.width()) * m_dRatio + m_ptFraction.x());
    const int nBottom = Ceil((rc.y() + rc.height()) * m_dRatio + m_ptFraction.y());
    return {tl, QPoint(nRight - 1, nBottom - 1)};
}

QRect CZoomMapping::DeviceToView(const QRect& rcDevice) const {
    const QRect rc = rcDevice.normalized();
    const int nLeft = Floor((rc.x() - m_ptFraction.x()) / m_dRatio);
    const int nTop = Floor((rc.y() - m_ptFraction.y()) / m_dRatio);
    const int nRight = Ceil((rc.x() + rc.width() - m_ptFraction.x()) / m_dRatio);
    const int nBottom = Ceil((rc.y() + rc.height() - m_ptFraction.y()) / m_dRatio);
    return {QPoint(nLeft, nTop), QPoint(nRight - 1, nBottom - 1)};
}

QPoint CZoomMapping::DeviceToImage(QPoint ptDevice) const {
    const QPoint pt = ptDevice - m_ptOrigin;
    int x = pt.x(), y = pt.y();
    if (m_sizeShown.width() > 0)
        x = ScaleFloor(x, m_sizeImage.width(), m_sizeShown.width());
    if (m_sizeShown.height() > 0)
        y = ScaleFloor(y, m_sizeImage.height(), m_sizeShown.height());
    return {x, y};
}

QPointF CZoomMapping::DeviceToImageF(QPointF ptDevice) const {
    const QPointF pt = ptDevice - QPointF(m_ptOrigin);
    const double sx =
        m_sizeShown.width() > 0 ? double(m_sizeImage.width()) / m_sizeShown.width() : 1.0;
    const double sy =
        m_sizeShown.height() > 0 ? double(m_sizeImage.height()) / m_sizeShown.height() : 1.0;
    return {pt.x() * sx, pt.y() * sy};
}

QPoint CZoomMapping::ImageToDevice(QPoint ptImage) const {
    int x = ptImage.x(), y = ptImage.y();
    if (m_sizeImage.width() > 0)
        x = ScaleFloor(x, m_sizeShown.width(), m_sizeImage.width());
    if (m_sizeImage.height() > 0)
        y = ScaleFloor(y, m_sizeShown.height(), m_sizeImage.height());
    return QPoint(x, y) + m_ptOrigin;
}

QRect CZoomMapping::DeviceToImage(const QRect& rcDevice) const {
    const QRect rc = rcDevice.normalized();
    const QPoint tl = DeviceToImage(rc.topLeft());
    const QPoint br = DeviceToImage(QPoint(rc.x() + rc.width(), rc.y() + rc.height()));
    return QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y())).normalized();
}

QRect CZoomMapping::ImageToDevice(const QRect& rcImage) const {
    const QRect rc = rcImage.normalized();
    const QPoint tl = ImageToDevice(rc.topLeft());
    const QPoint br = ImageToDevice(QPoint(rc.x() + rc.width(), rc.y() + rc.height()));
    return QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y())).normalized();
}

QTransform CZoomMapping::DeviceFrame() const {
    // The paint device adds the ratio and the window's place; taking the fraction off here
    // puts every unit on a whole device pixel, so images are copied, not resampled.
    return {1.0 / m_dRatio,
            0,
            0,
            1.0 / m_dRatio,
            -m_ptFraction.x() / m_dRatio,
            -m_ptFraction.y() / m_dRatio};
}

QTransform CZoomMapping::ImageFrame() const {
    const double sx =
        m_sizeImage.width() > 0 ? double(m_sizeShown.width()) / m_sizeImage.width() : 1.0;
    const double sy =
        m_sizeImage.height() > 0 ? double(m_sizeShown.height()) / m_sizeImage.height() : 1.0;
    return {sx / m_dRatio,
            0,
            0,
            sy / m_dRatio,
            (m_ptOrigin.x() - m_ptFraction.x()) / m_dRatio,
            (m_ptOrigin.y() - m_ptFraction.y()) / m_dRatio};
}
