// SPDX-License-Identifier: MIT
// bench-libs: quorvi_dialogs
// One repaint of the print layout preview with a 3840x2160 image, as every spin click or typed
// digit asks for: fitted on one page, and tiled over 3 x 2 pages; 32 and 8 bpp. Median and
// minimum of 30 paints (wall clock), offscreen unless QT_QPA_PLATFORM says otherwise.
#include "dialogs/LayoutPreview.h"
#include "image/MemoryBitmap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void MakeImage(CMemoryBitmap& image, int nDepth) {
    image.Create(3840, 2160, nDepth);
    for (int y = 0; y < image.Height(); ++y) {
        std::uint8_t* pRow = image.Line(y);
        for (int x = 0; x < image.Width() * nDepth / 8; ++x)
            pRow[x] = static_cast<std::uint8_t>(x * 7 + y * 3);
    }
}

void Measure(const char* pszName, const PrintLayoutSettings& record, const CImageBitmap& image) {
    CLayoutPreview preview(record, &image);
    preview.resize(preview.sizeHint());
    QImage target(preview.size(), QImage::Format_RGB32);
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer timer;
        timer.start();
        preview.render(&target);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %6.2f ms  min %6.2f ms\n", pszName, times[times.size() / 2],
                times.front());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrintLayoutSettings fit;
    fit.nPageWidth = 2100;
    fit.nPageHeight = 2970;
    PrintLayoutSettings tiled = fit;
    tiled.dwPrintMode = 3;
    tiled.nPrintWidth = 4000;
    tiled.nPrintHeight = 5000;
    for (int nDepth : {32, 8}) {
        CMemoryBitmap image;
        MakeImage(image, nDepth);
        std::printf("3840x2160, %d bpp, preview %dx%d\n", nDepth, 220, 260);
        Measure("  fit to margins, 1 page", fit, image);
        Measure("  height and width, 6 pages", tiled, image);
    }
    return 0;
}
