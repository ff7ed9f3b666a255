// SPDX-License-Identifier: MIT
// Cursor pictures from the resources.
#include "views/ViewCursors.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <cmath>

namespace {

// Logical size of every cursor picture, and the hot spot, the same for all four.
constexpr int kSize = 32;
constexpr int kHotSpot = 15;

QString ResourcePath(CViewCursors::ECursor id) {
    switch (id) {
    case CViewCursors::IDC_SELECT:
        return QStringLiteral(":/quorvi/cursors/IDC_SELECT.svg");
    case CViewCursors::IDC_PAN_DRAG:
        return QStringLiteral(":/quorvi/cursors/IDC_PAN_DRAG.svg");
    case CViewCursors::IDC_PAN:
        return QStringLiteral(":/quorvi/cursors/IDC_PAN.svg");
    case CViewCursors::IDC_MOVE:
        break;
    }
    return QStringLiteral(":/quorvi/cursors/IDC_MOVE.svg");
}

} // namespace

QImage CViewCursors::Picture(ECursor id, double dDevicePixelRatio) {
    QSvgRenderer renderer(ResourcePath(id));
    if (!renderer.isValid())
        return {};
    // Whole device pixels: a fractional size would smear the one-pixel lines.
    const double dRatio = std::max(1.0, std::round(dDevicePixelRatio));
    const int nPixels = int(kSize * dRatio);
    QImage image(nPixels, nPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, nPixels, nPixels));
    }
    image.setDevicePixelRatio(dRatio);
    return image;
}

QCursor CViewCursors::Load(ECursor id, double dDevicePixelRatio) {
    const QImage image = Picture(id, dDevicePixelRatio);
    if (image.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(image), kHotSpot, kHotSpot);
}
