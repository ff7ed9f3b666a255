// SPDX-License-Identifier: MIT
// The page arithmetic of image printing: fitting, centring, page counts, tiles, and layouts that
// leave nothing to print.
#include "views/PrintLayout.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

PrintLayoutSettings A4(std::uint32_t dwMode, std::uint32_t dwCenter = 0) {
    PrintLayoutSettings s;
    s.nPageWidth = 2100;
    s.nPageHeight = 2970;
    s.dwPrintMode = dwMode;
    s.dwCenterFlags = dwCenter;
    return s;
}

PrintLayoutSettings Sized(int nPrintWidth, int nPrintHeight, std::uint32_t dwCenter = 0) {
    PrintLayoutSettings s = A4(3, dwCenter);
    s.nPrintWidth = nPrintWidth;
    s.nPrintHeight = nPrintHeight;
    return s;
}

} // namespace

TEST(PrintLayout, FitsToTheMarginsAndCentresByTheFlags) {
    // A4 with margins of 1.2 cm leaves 1860 x 2730; 400 x 300 is width-bound at 4.65.
    struct Case {
        std::uint32_t dwCenter;
        QRect rcExpected;
    };
    for (const Case& c :
         {Case{0, QRect(120, 120, 1860, 1395)}, Case{1, QRect(120, 120, 1860, 1395)},
          Case{2, QRect(120, 787, 1860, 1395)}, Case{3, QRect(120, 787, 1860, 1395)}}) {
        for (std::uint32_t dwMode : {1u, 2u}) {
            const CPrintLayout layout(A4(dwMode, c.dwCenter), 400, 300);
            ASSERT_EQ(layout.PageCount(), 1);
            const PrintPagePlacement page = layout.Page(1);
            EXPECT_EQ(page.rcImage, c.rcExpected) << "flags " << c.dwCenter << " mode " << dwMode;
            EXPECT_EQ(page.rcClip, c.rcExpected);
            EXPECT_EQ(page.SourcePixels(400, 300), QRect(0, 0, 400, 300));
        }
    }
    // A tall image is height-bound: 2730 / 400 = 6.825, 100 x 6.825 = 682.5 rounds to 683.
    for (std::uint32_t dwCenter : {0u, 1u}) {
        const CPrintLayout layout(A4(1, dwCenter), 100, 400);
        const int nLeft = dwCenter != 0 ? 120 + (1860 - 683) / 2 : 120;
        EXPECT_EQ(layout.Page(1).rcImage, QRect(nLeft, 120, 683, 2730));
    }
}

TEST(PrintLayout, MarginsThatLeaveNothingGiveTheWholePage) {
    PrintLayoutSettings s = A4(1);
    s.nMarginLeft = 1500;
    s.nMarginRight = 700; // 2100 - 2200 < 0
    s.nMarginTop = 3000;  // wider than the page on its own
    s.nMarginBottom = 0;
    const CPrintLayout layout(s, 210, 297);
    EXPECT_EQ(layout.PrintableWidth(), 2100);
    EXPECT_EQ(layout.PrintableHeight(), 2970);
    // The image then starts at the paper's edge instead of hanging off it by the margin.
    EXPECT_EQ(layout.Page(1).rcImage, QRect(0, 0, 2100, 2970));

    // Negative margins would print past the paper's edge: they count as none.
    PrintLayoutSettings n = A4(1);
    n.nMarginLeft = -500;
    n.nMarginTop = -1;
    const CPrintLayout negative(n, 100, 100);
    EXPECT_EQ(negative.PrintableRect(), QRect(0, 0, 1980, 2850));
}

TEST(PrintLayout, PageCountIsColumnsTimesRowsRoundedUp) {
    struct Case {
        int nPrintWidth, nPrintHeight, nColumns, nRows;
    };
    // pw = 1860, ph = 2730 on A4 with the default margins.
    for (const Case& c : {Case{4000, 1000, 3, 1}, Case{3720, 2730, 2, 1}, Case{3721, 2731, 3, 2},
                          Case{1, 1, 1, 1}, Case{1860, 8190, 1, 3}, Case{18600, 27300, 10, 10}}) {
        const CPrintLayout layout(Sized(c.nPrintWidth, c.nPrintHeight), 50, 50);
        EXPECT_EQ(layout.Columns(), c.nColumns) << c.nPrintWidth;
        EXPECT_EQ(layout.Rows(), c.nRows) << c.nPrintHeight;
        EXPECT_EQ(layout.PageCount(), c.nColumns * c.nRows);
    }
    // Modes 1, 2 and any value outside 1 to 4 print one page.
    for (std::uint32_t dwMode : {0u, 1u, 2u, 5u, 0xFFFFFFFFu}) {
        PrintLayoutSettings s = Sized(40000, 40000);
        s.dwPrintMode = dwMode;
        EXPECT_EQ(CPrintLayout(s, 50, 50).PageCount(), 1) << dwMode;
    }
    PrintLayoutSettings s4 = Sized(4000, 1000);
    s4.dwPrintMode = 4;
    EXPECT_EQ(CPrintLayout(s4, 50, 50).PageCount(), 3);
}

TEST(PrintLayout, NothingToPrint) {
    // No image, a page of zero size, an empty print size: no page, no division by zero.
    EXPECT_EQ(CPrintLayout(A4(1), 0, 10).PageCount(), 0);
    EXPECT_EQ(CPrintLayout(A4(1), 10, -1).PageCount(), 0);
    PrintLayoutSettings zero = A4(1);
    zero.nPageWidth = 0;
    EXPECT_EQ(CPrintLayout(zero, 10, 10).PageCount(), 0);
    zero.dwPrintMode = 3;
    zero.nPrintWidth = zero.nPrintHeight = 1000;
    EXPECT_EQ(CPrintLayout(zero, 10, 10).PageCount(), 0);
    EXPECT_EQ(CPrintLayout(Sized(0, 0), 10, 10).PageCount(), 0);
    EXPECT_EQ(CPrintLayout(Sized(1000, -5), 10, 10).PageCount(), 0);
    EXPECT_EQ(CPrintLayout(A4(1), 10, 10).Page(2).rcClip, QRect());

    // A print size of kilometres is refused as a whole, with the count it would have needed.
    const CPrintLayout huge(Sized(0x7FFFFFFF, 0x7FFFFFFF), 10, 10);
    EXPECT_EQ(huge.PageCount(), 0);
    EXPECT_GT(huge.NeededPages(), CPrintLayout::kMaxPages);
    EXPECT_EQ(huge.NeededPages(), std::int64_t(0x7FFFFFFF / 1860 + 1) * (0x7FFFFFFF / 2730 + 1));
}

TEST(PrintLayout, OnePageAtThePrintSizeIsCentredByTheFlags) {
    const int xCentred = 120 + (1860 - 1000) / 2;
    const int yCentred = 120 + (2730 - 500) / 2;
    EXPECT_EQ(CPrintLayout(Sized(1000, 500, 0), 30, 10).Page(1).rcImage,
              QRect(120, 120, 1000, 500));
    EXPECT_EQ(CPrintLayout(Sized(1000, 500, 1), 30, 10).Page(1).rcImage,
              QRect(xCentred, 120, 1000, 500));
    EXPECT_EQ(CPrintLayout(Sized(1000, 500, 2), 30, 10).Page(1).rcImage,
              QRect(120, yCentred, 1000, 500));
    // The print size is taken as it is, whatever the image's proportions.
    const PrintPagePlacement page = CPrintLayout(Sized(1860, 2730, 3), 30, 10).Page(1);
    EXPECT_EQ(page.rcImage, QRect(120, 120, 1860, 2730));
    EXPECT_EQ(page.rcClip, page.rcImage);
}

TEST(PrintLayout, ThirdColumnShowsTheRestNarrower) {
    // 4000 over pw = 1860: columns of 1860, 1860 and 280; the image is 400 pixels wide, so the
    // third column shows pixels 372 to 399.
    const CPrintLayout layout(Sized(4000, 1000), 400, 100);
    ASSERT_EQ(layout.PageCount(), 3);
    const PrintPagePlacement third = layout.Page(3);
    EXPECT_EQ(third.rcClip, QRect(120, 120, 280, 1000));
    EXPECT_EQ(third.rcImage, QRect(120 - 2 * 1860, 120, 4000, 1000));
    EXPECT_EQ(third.SourcePixels(400, 100), QRect(372, 0, 28, 100));
    EXPECT_EQ(layout.Page(1).SourcePixels(400, 100), QRect(0, 0, 186, 100));
    EXPECT_EQ(layout.Page(2).SourcePixels(400, 100), QRect(186, 0, 186, 100));
}

TEST(PrintLayout, TilesOfASmallImageKeepThePrintSize) {
    // Ten pixels at 4000: every pixel is 400 wide on paper. Cutting the image at whole pixels
    // per page would stretch the first page's 4 pixels and the second's 5 over a full page and
    // print 4185 in all; the pages must show 1860 + 1860 + 280.
    const CPrintLayout layout(Sized(4000, 400), 10, 1);
    ASSERT_EQ(layout.PageCount(), 3);
    int nPrinted = 0;
    for (int nPage = 1; nPage <= 3; ++nPage) {
        const PrintPagePlacement page = layout.Page(nPage);
        EXPECT_EQ(page.rcImage.width(), 4000);
        nPrinted += page.rcClip.width();
    }
    EXPECT_EQ(nPrinted, 4000);
    // Pixel 4 runs from 1600 to 2000 on the layout: it is cut between pages 1 and 2.
    EXPECT_EQ(layout.Page(1).SourcePixels(10, 1), QRect(0, 0, 5, 1));
    EXPECT_EQ(layout.Page(2).SourcePixels(10, 1), QRect(4, 0, 6, 1));
    EXPECT_EQ(layout.Page(3).SourcePixels(10, 1), QRect(9, 0, 1, 1));
}

TEST(PrintLayout, TilesCoverThePrintSizeOnceInReadingOrder) {
    std::mt19937 rng(5);
    for (int nTrial = 0; nTrial < 40; ++nTrial) {
        PrintLayoutSettings s = Sized(int(rng() % 600) + 1, int(rng() % 600) + 1);
        s.nPageWidth = int(rng() % 200) + 1;
        s.nPageHeight = int(rng() % 200) + 1;
        s.nMarginLeft = int(rng() % 60);
        s.nMarginTop = int(rng() % 60);
        s.nMarginRight = int(rng() % 60);
        s.nMarginBottom = int(rng() % 60);
        const CPrintLayout layout(s, 7, 5);
        if (layout.PageCount() < 2)
            continue;
        // Where each page's printable area lands on the layout of the whole print size.
        std::vector<int> cover(std::size_t(s.nPrintWidth) * std::size_t(s.nPrintHeight), 0);
        const QRect rcPrintable = layout.PrintableRect();
        for (int nPage = 1; nPage <= layout.PageCount(); ++nPage) {
            const PrintPagePlacement page = layout.Page(nPage);
            ASSERT_TRUE(rcPrintable.contains(page.rcClip)) << nPage;
            ASSERT_EQ(page.rcImage.size(), QSize(s.nPrintWidth, s.nPrintHeight));
            // Page n is column (n-1) mod columns, row (n-1) div columns; tiles start at the
            // margins.
            const int nColumn = (nPage - 1) % layout.Columns();
            const int nRow = (nPage - 1) / layout.Columns();
            EXPECT_EQ(page.rcClip.topLeft(), rcPrintable.topLeft());
            EXPECT_EQ(rcPrintable.left() - page.rcImage.left(), nColumn * layout.PrintableWidth());
            EXPECT_EQ(rcPrintable.top() - page.rcImage.top(), nRow * layout.PrintableHeight());
            const QRect rcOnLayout = page.rcClip.translated(-page.rcImage.topLeft());
            for (int y = rcOnLayout.top(); y <= rcOnLayout.bottom(); ++y)
                for (int x = rcOnLayout.left(); x <= rcOnLayout.right(); ++x)
                    ++cover[std::size_t(y) * std::size_t(s.nPrintWidth) + std::size_t(x)];
        }
        for (std::size_t i = 0; i < cover.size(); ++i)
            ASSERT_EQ(cover[i], 1) << "trial " << nTrial << " point " << i;
    }
}

TEST(PrintLayout, SourcePixelsAreThoseThePageShows) {
    // Naive reference: pixel x spans [x W / w, (x + 1) W / w) on the page; it is needed when that
    // span meets the clip.
    std::mt19937 rng(11);
    for (int nTrial = 0; nTrial < 300; ++nTrial) {
        const int w = int(rng() % 40) + 1;
        const int h = int(rng() % 40) + 1;
        const QRect rcImage(int(rng() % 200) - 100, int(rng() % 200) - 100, int(rng() % 300) + 1,
                            int(rng() % 300) + 1);
        const QRect rcClip(int(rng() % 200), int(rng() % 200), int(rng() % 150) + 1,
                           int(rng() % 150) + 1);
        const QRect rcShown = rcClip & rcImage;
        int x0 = w, x1 = -1, y0 = h, y1 = -1;
        for (int x = 0; x < w; ++x) {
            const double a = rcImage.left() + double(x) * rcImage.width() / w;
            const double b = rcImage.left() + double(x + 1) * rcImage.width() / w;
            if (!rcShown.isEmpty() && b > rcShown.left() && a < rcShown.right() + 1) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
            }
        }
        for (int y = 0; y < h; ++y) {
            const double a = rcImage.top() + double(y) * rcImage.height() / h;
            const double b = rcImage.top() + double(y + 1) * rcImage.height() / h;
            if (!rcShown.isEmpty() && b > rcShown.top() && a < rcShown.bottom() + 1) {
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
        const QRect rcExpected = x1 < 0 || y1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
        const PrintPagePlacement place{rcImage, rcClip};
        EXPECT_EQ(place.SourcePixels(w, h), rcExpected)
            << "trial " << nTrial << " image " << w << "x" << h;
    }
}
