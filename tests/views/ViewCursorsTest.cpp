// SPDX-License-Identifier: MIT
// The image view's cursors: every one drawn at 1x and 2x, the selection cross sharp (each
// pixel fully on or off) with its hot spot on a black pixel.
#include "views/ViewCursors.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(ViewCursors, DrawnSharpAtOneAndTwoTimes) {
    for (const double dRatio : {1.0, 2.0}) {
        const int nPixels = int(32 * dRatio);
        for (const auto id : {CViewCursors::IDC_SELECT, CViewCursors::IDC_PAN_DRAG,
                              CViewCursors::IDC_PAN, CViewCursors::IDC_MOVE}) {
            const QImage picture = CViewCursors::Picture(id, dRatio);
            ASSERT_EQ(picture.size(), QSize(nPixels, nPixels)) << id << " at " << dRatio;
            EXPECT_EQ(picture.devicePixelRatio(), dRatio);
            EXPECT_NE(qAlpha(picture.pixel(nPixels / 2, nPixels / 2)), 0) << id;
            EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << id;
        }
        const QImage cross = CViewCursors::Picture(CViewCursors::IDC_SELECT, dRatio);
        int nBlurred = 0;
        for (int y = 0; y < cross.height(); ++y)
            for (int x = 0; x < cross.width(); ++x)
                nBlurred += qAlpha(cross.pixel(x, y)) % 255 != 0 ? 1 : 0;
        EXPECT_EQ(nBlurred, 0) << "at " << dRatio;
        const QRgb hot = cross.pixel(int(15 * dRatio), int(15 * dRatio));
        EXPECT_EQ(hot, qRgb(0, 0, 0)) << "at " << dRatio;
    }
    // A fractional ratio draws at the next whole one: no half pixels.
    EXPECT_EQ(CViewCursors::Picture(CViewCursors::IDC_SELECT, 1.25).width(), 32);
}
