// SPDX-License-Identifier: MIT
// CBitmapPainter: what lands on the device is the bitmap's pixels, the right way up, at 1:1 and
// enlarged, for every depth the document can hold.
#include "views/BitmapPainter.h"

#include "image/DisplayBitmap.h"
#include "image/MemoryBitmap.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// The colour of pixel (x, y) read the slow way from the bitmap's top-down lines.
QRgb ReferencePixel(const CImageBitmap& bmp, int x, int y) {
    const std::uint8_t* line = bmp.Line(y);
    int index = 0;
    switch (bmp.Depth()) {
    case 32:
        return qRgb(line[4 * x + 2], line[4 * x + 1], line[4 * x]);
    case 24:
        return qRgb(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
    case 8:
        index = line[x];
        break;
    case 4:
        index = (x % 2 == 0) ? line[x / 2] >> 4 : line[x / 2] & 15;
        break;
    case 1:
        index = (line[x / 8] >> (7 - x % 8)) & 1;
        break;
    }
    const RGBQuad q = bmp.Palette()[index];
    return qRgb(q.red, q.green, q.blue);
}

// A bitmap whose every pixel differs from its neighbours (and rows from each other).
void FillPattern(CImageBitmap& bmp) {
    for (int i = 0; i < bmp.PaletteSize(); ++i)
        bmp.Palette()[i] =
            RGBQuad{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3 + 1), 0};
    for (int y = 0; y < bmp.Height(); ++y) {
        std::uint8_t* line = bmp.Line(y);
        for (std::size_t i = 0; i < bmp.PixelBytesPerLine(); ++i)
            line[i] = std::uint8_t(i * 31 + y * 17 + (i * y) % 13);
    }
}

QImage Render(const CImageBitmap& bmp, const QRect& rcImage, int nScale, QPoint origin) {
    QImage target(bmp.Width() * nScale + 20, bmp.Height() * nScale + 20, QImage::Format_RGB32);
    target.fill(qRgb(1, 2, 3));
    QPainter painter(&target);
    painter.setTransform(QTransform(nScale, 0, 0, nScale, origin.x(), origin.y()));
    CBitmapPainter::Draw(painter, bmp, rcImage);
    return target;
}

void ExpectDrawn(const CImageBitmap& bmp, const QImage& target, const QRect& rcDrawn, int nScale,
                 QPoint origin) {
    int nErrors = 0;
    for (int y = 0; y < target.height() && nErrors < 5; ++y) {
        for (int x = 0; x < target.width() && nErrors < 5; ++x) {
            const QPoint ptImage((x - origin.x()) / nScale, (y - origin.y()) / nScale);
            const bool bInside = x >= origin.x() && y >= origin.y() && rcDrawn.contains(ptImage);
            const QRgb expected =
                bInside ? ReferencePixel(bmp, ptImage.x(), ptImage.y()) : qRgb(1, 2, 3);
            if (target.pixel(x, y) != expected) {
                ADD_FAILURE() << "depth " << bmp.Depth() << " scale " << nScale << " at (" << x
                              << "," << y << ")";
                ++nErrors;
            }
        }
    }
}

class BitmapPainterTest : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(BitmapPainterTest, DrawsThePixelsTheRightWayUp) {
    // 37 x 23: odd width, rows with padding, bits not starting on byte boundaries.
    CDisplayBitmap bmp;
    bmp.Create(37, 23, GetParam());
    FillPattern(bmp);
    for (int nScale : {1, 2, 3}) {
        const QPoint origin(5, 7);
        ExpectDrawn(bmp, Render(bmp, QRect(0, 0, 37, 23), nScale, origin), QRect(0, 0, 37, 23),
                    nScale, origin);
        // Only the requested part: an odd sub-rectangle, also one reaching past the image.
        ExpectDrawn(bmp, Render(bmp, QRect(3, 5, 11, 9), nScale, origin), QRect(3, 5, 11, 9),
                    nScale, origin);
        ExpectDrawn(bmp, Render(bmp, QRect(30, -4, 20, 10), nScale, origin), QRect(30, 0, 7, 6),
                    nScale, origin);
    }
}

TEST_P(BitmapPainterTest, TopDownBitmapsDrawTheSame) {
    CMemoryBitmap bmp;
    bmp.Create(19, 11, GetParam());
    FillPattern(bmp);
    ExpectDrawn(bmp, Render(bmp, QRect(0, 0, 19, 11), 2, QPoint(1, 1)), QRect(0, 0, 19, 11), 2,
                QPoint(1, 1));
    ExpectDrawn(bmp, Render(bmp, QRect(2, 3, 5, 4), 1, QPoint(0, 0)), QRect(2, 3, 5, 4), 1,
                QPoint(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapPainterTest, ::testing::Values(1, 4, 8, 24, 32));

TEST(BitmapPainter, WrapSharesTheBitmapsMemory) {
    CDisplayBitmap bmp;
    bmp.Create(64, 32, 32);
    const QImage wrapped = CBitmapPainter::WrapRows(bmp);
    EXPECT_EQ(wrapped.constBits(), bmp.Bits());
    EXPECT_EQ(wrapped.bytesPerLine(), qsizetype(bmp.BytesPerLine()));
    // Qt has no 4-bpp format: those bitmaps are expanded row by row instead.
    CDisplayBitmap nibbles;
    nibbles.Create(8, 8, 4);
    EXPECT_TRUE(CBitmapPainter::WrapRows(nibbles).isNull());
}
