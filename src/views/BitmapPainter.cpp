// SPDX-License-Identifier: MIT
// Painting image bitmaps through QPainter.
#include "views/BitmapPainter.h"

#include "image/DepthConversion.h"
#include "image/ImageBitmap.h"

#include <QPaintEngine>
#include <QPainter>

#include <cstring>

namespace {

QList<QRgb> ColorTable(const CImageBitmap& bitmap) {
    QList<QRgb> table;
    table.reserve(bitmap.PaletteSize());
    for (const RGBQuad& q : bitmap.PaletteSpan())
        table.push_back(qRgb(q.red, q.green, q.blue));
    return table;
}

// The part rc of a bitmap Qt has no format for (4 bpp) as an RGB32 image, top row first.
QImage ExpandRows(const CImageBitmap& bitmap, const QRect& rc) {
    QImage out(rc.size(), QImage::Format_RGB32);
    img::CRowReader32 rows(bitmap);
    const std::size_t cbRow = std::size_t(rc.width()) * sizeof(std::uint32_t);
    for (int y = 0; y < rc.height(); ++y)
        std::memcpy(out.scanLine(y), rows.Row(rc.top() + y) + rc.left(), cbRow);
    return out;
}

// Draws `rows` (memory order, its line 0 holding image row nFirstRow when top-down, or image
// row nFirstRow + height - 1 when bottom-up) at rcTarget, source sub-rectangle rcSource.
void DrawRows(QPainter& painter, const QImage& rows, const QRect& rcSource, const QRect& rcTarget,
              bool bBottomUp) {
    if (!bBottomUp) {
        painter.drawImage(rcTarget, rows, rcSource);
        return;
    }
    // Flip about the target's horizontal centre line: memory order runs bottom to top.
    painter.save();
    painter.translate(0, 2 * rcTarget.top() + rcTarget.height());
    painter.scale(1, -1);
    painter.drawImage(rcTarget, rows, rcSource);
    painter.restore();
}

// The bitmap's memory as a read-only QImage without colour table (setting one may copy); 32-bpp
// pixels with their alpha when bAlpha.
QImage WrapMemory(const CImageBitmap& bitmap, bool bAlpha = false) {
    QImage::Format format = QImage::Format_Invalid;
    switch (bitmap.Depth()) {
    case 1:
        format = QImage::Format_Mono;
        break;
    case 8:
        format = QImage::Format_Indexed8;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        // Straight alpha, as the decoders and the clipboard leave it.
        format = bAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        break;
    default:
        return {};
    }
    if (bitmap.Bits() == nullptr || bitmap.Width() <= 0 || bitmap.Height() <= 0)
        return {};
    return QImage(static_cast<const uchar*>(bitmap.Bits()), bitmap.Width(), bitmap.Height(),
                  qsizetype(bitmap.BytesPerLine()), format);
}

// Rows of a 32-bpp wrap as a copy whose fourth bytes are 0xFF. Screen grabs leave them 0, which
// Qt's own raster painting ignores for RGB32, but not every paint engine does: the print
// preview records pixmaps made from the image, and those came out fully transparent, so the
// page stayed empty.
QImage OpaqueCopy(const QImage& wrapped, const QRect& rcMemory) {
    QImage part = wrapped.copy(rcMemory);
    for (int y = 0; y < part.height(); ++y) {
        auto* pRow = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            pRow[x] |= 0xFF000000u;
    }
    return part;
}

// The checkerboard's tile: two squares of each grey.
QImage CheckerTile() {
    constexpr int kSquare = 8;
    QImage tile(2 * kSquare, 2 * kSquare, QImage::Format_RGB32);
    tile.fill(qRgb(0xCC, 0xCC, 0xCC));
    for (int y = 0; y < tile.height(); ++y) {
        auto* pRow = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
            if ((x / kSquare + y / kSquare) % 2 != 0)
                pRow[x] = qRgb(0x99, 0x99, 0x99);
        }
    }
    return tile;
}

} // namespace

bool CBitmapPainter::HasTransparency(const CImageBitmap& bitmap) noexcept {
    return bitmap.Depth() == 32 && bitmap.HasAlpha();
}

void CBitmapPainter::FillChecker(QPainter& painter, const QRect& rcDevice) {
    // Made once: a texture brush fills by copying tile rows.
    static const QBrush s_checker(CheckerTile());
    painter.setBrushOrigin(0, 0);
    painter.fillRect(rcDevice, s_checker);
}

QImage CBitmapPainter::WrapRows(const CImageBitmap& bitmap) {
    QImage image = WrapMemory(bitmap);
    if (!image.isNull() && bitmap.Depth() <= 8)
        image.setColorTable(ColorTable(bitmap));
    return image;
}

void CBitmapPainter::Draw(QPainter& painter, const CImageBitmap& bitmap, const QRect& rcImage,
                          EAlpha alpha) {
    const QRect rc = rcImage.normalized() & QRect(0, 0, bitmap.Width(), bitmap.Height());
    if (rc.isEmpty())
        return;
    const bool bBottomUp = bitmap.IsBottomUp();
    // The rectangle in memory order.
    const QRect rcMemory =
        bBottomUp ? QRect(rc.left(), bitmap.Height() - 1 - rc.bottom(), rc.width(), rc.height())
                  : rc;
    const QImage wrapped = WrapMemory(bitmap, alpha == EAlpha::Blend && HasTransparency(bitmap));
    if (bitmap.Depth() == 32) {
        // On the screen the rows are drawn where they are, never copied.
        if (painter.paintEngine() != nullptr &&
            painter.paintEngine()->type() == QPaintEngine::Raster) {
            DrawRows(painter, wrapped, rcMemory, rc, bBottomUp);
        } else {
            const QImage part = OpaqueCopy(wrapped, rcMemory);
            DrawRows(painter, part, part.rect(), rc, bBottomUp);
        }
    } else if (!wrapped.isNull()) {
        // Indexed and 24-bit pixels: Qt would convert the whole image; convert only what shows.
        QImage part = wrapped.copy(rcMemory);
        if (bitmap.Depth() <= 8)
            part.setColorTable(ColorTable(bitmap));
        part = part.convertToFormat(QImage::Format_RGB32);
        DrawRows(painter, part, part.rect(), rc, bBottomUp);
    } else if (bitmap.Depth() == 4) {
        // Line() is top-down whatever the memory order.
        const QImage part = ExpandRows(bitmap, rc);
        DrawRows(painter, part, part.rect(), rc, false);
    }
}
