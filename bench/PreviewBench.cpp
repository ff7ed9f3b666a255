// SPDX-License-Identifier: MIT
// One preview update of the operation dialogs for a 3840x2160 image, as a dragged slider asks
// for it: the filter on the preview's reduced copy plus the paint of the preview. The target is
// under 30 ms, so that the preview follows the slider. Opening a dialog (taking the reduced
// copy) is measured beside it.
// bench-libs: quorvi_dialogs
#include "dialogs/ImagePreview.h"
#include "image/BrightnessFilter.h"
#include "image/ContrastFilter.h"
#include "image/IntensityFilter.h"
#include "image/MemoryBitmap.h"
#include "image/RotateFilter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <random>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

QApplication& App() {
    static int s_argc = 1;
    static char s_name[] = "bench_PreviewBench";
    static char* s_argv[] = {s_name, nullptr};
    static const bool s_offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication s_app(s_argc, s_argv);
    (void)s_offscreen;
    return s_app;
}

const CMemoryBitmap& Desktop() {
    static const std::unique_ptr<CMemoryBitmap> s_image = [] {
        auto pImage = std::make_unique<CMemoryBitmap>();
        pImage->Create(kWidth, kHeight, 32);
        std::mt19937 random(7);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth * 4; ++x)
                pImage->Line(y)[x] = static_cast<std::uint8_t>(random());
        return pImage;
    }();
    return *s_image;
}

// The preview as the dialogs size it, at twice the device scale (the larger paint).
struct PreviewSetup {
    CImagePreview preview;
    QImage target;
    PreviewSetup() : target(QSize(560, 400) * 2, QImage::Format_RGB32) {
        target.setDevicePixelRatio(2);
        preview.resize(560, 400);
        preview.SetImage(Desktop());
    }
    void Paint() {
        QPainter painter(&target);
        preview.render(&painter);
    }
};

template <class MakeFilter> void RunUpdates(benchmark::State& state, MakeFilter makeFilter) {
    App();
    PreviewSetup setup;
    int nStep = 0;
    for (auto _ : state) {
        auto pFilter = makeFilter(nStep++ % 200 - 100);
        setup.preview.ShowFiltered(*pFilter);
        setup.Paint();
        benchmark::DoNotOptimize(setup.preview.ShownImage());
    }
}

void BM_PreviewUpdateBrightness(benchmark::State& state) {
    RunUpdates(state, [](int nValue) { return std::make_unique<CBrightnessFilter>(nValue); });
}
BENCHMARK(BM_PreviewUpdateBrightness)->Unit(benchmark::kMillisecond);

void BM_PreviewUpdateContrast(benchmark::State& state) {
    RunUpdates(state, [](int nValue) {
        return std::make_unique<CContrastFilter>((nValue + 101) * 0.05, std::uint8_t(125));
    });
}
BENCHMARK(BM_PreviewUpdateContrast)->Unit(benchmark::kMillisecond);

void BM_PreviewUpdateIntensity(benchmark::State& state) {
    RunUpdates(state, [](int nValue) {
        return std::make_unique<CIntensityFilter>(nValue + 120, std::uint8_t(128), 1.0);
    });
}
BENCHMARK(BM_PreviewUpdateIntensity)->Unit(benchmark::kMillisecond);

void BM_PreviewUpdateRotate(benchmark::State& state) {
    RunUpdates(state, [](int nValue) {
        return std::make_unique<CRotateFilter>(nValue * 3.6 * CRotateFilter::kRadiansPerDegree,
                                               RGBQuad{192, 192, 192, 255});
    });
}
BENCHMARK(BM_PreviewUpdateRotate)->Unit(benchmark::kMillisecond);

// Opening a dialog: the reduced copy of the image.
void BM_PreviewTakeImage(benchmark::State& state) {
    App();
    CImagePreview preview;
    preview.resize(560, 400);
    for (auto _ : state)
        preview.SetImage(Desktop());
}
BENCHMARK(BM_PreviewTakeImage)->Unit(benchmark::kMillisecond);

} // namespace
