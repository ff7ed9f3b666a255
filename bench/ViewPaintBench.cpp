// SPDX-License-Identifier: MIT
// bench-libs: quorvi_app
// Painting a 3840x2160 32-bpp image, with and without transparent pixels (those go over the
// checkerboard): the whole image 1:1 into an RGB32 image of its size beside a memcpy of the
// same bytes, and a full repaint of a maximised image window at 100 % as the event loop runs
// it. Offscreen platform.
#include "app/MainFrame.h"
#include "app/TavixCaptureApp.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MultiDocTemplate.h"
#include "image/DisplayBitmap.h"
#include "platform/AppSettings.h"
#include "views/BitmapPainter.h"
#include "views/TavixCaptureView.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

// Every alpha from 0 to 255 over the image, so that the blend takes its general path.
std::unique_ptr<CDisplayBitmap> MakeImage(bool bAlpha) {
    auto pImage = std::make_unique<CDisplayBitmap>();
    pImage->Create(kWidth, kHeight, 32, bAlpha);
    for (int y = 0; y < kHeight; ++y) {
        auto* pRow = pImage->Row<std::uint32_t>(y);
        for (int x = 0; x < kWidth; ++x)
            pRow[x] = (std::uint32_t(x * 2654435761u ^ y * 40503u) & 0xFFFFFFu) |
                      (std::uint32_t((x ^ y) & 0xFF) << 24);
    }
    return pImage;
}

void BM_DrawWholeImage(benchmark::State& state) {
    const bool bAlpha = state.range(0) != 0;
    const std::unique_ptr<CDisplayBitmap> pImage = MakeImage(bAlpha);
    QImage target(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        if (bAlpha)
            CBitmapPainter::FillChecker(painter, target.rect());
        CBitmapPainter::Draw(painter, *pImage, target.rect(), CBitmapPainter::EAlpha::Blend);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kWidth) * kHeight * 4);
}
// Qt blends large areas on worker threads: the figures are wall time and the process's CPU time.
BENCHMARK(BM_DrawWholeImage)
    ->ArgName("alpha")
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    const std::unique_ptr<CDisplayBitmap> pImage = MakeImage(false);
    QImage target(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(target.bits(), pImage->Bits(), std::size_t(kWidth) * kHeight * 4);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kWidth) * kHeight * 4);
}
BENCHMARK(BM_Memcpy)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// One program with an opaque and a transparent image window, each maximised.
class CStudio {
public:
    CStudio() {
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + "/config").toLocal8Bit());
        qputenv("HOME", m_dir.path().toLocal8Bit());
        {
            platform::CAppSettings settings;
            settings.m_dwOptionsA &= ~platform::options::kStartHidden;
            settings.m_strAutoSavePath = (m_dir.path() + "/Output").toStdString();
            settings.Save();
        }
        m_app.InitInstance({});
        m_app.MainFrame()->resize(1280, 900);
        for (const bool bAlpha : {false, true}) {
            CTavixCaptureDoc::OpenNew(*m_app.DocTemplate(), *MakeImage(bAlpha),
                                      CTavixCaptureDoc::ENewImage::Image);
            Settle();
            m_pViews[bAlpha ? 1 : 0] = m_app.MainFrame()->ActiveImageView();
            m_pViews[bAlpha ? 1 : 0]->parentWidget()->showMaximized();
            Settle();
        }
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    CTavixCaptureView& View(bool bAlpha) const { return *m_pViews[bAlpha ? 1 : 0]; }

private:
    QTemporaryDir m_dir;
    CTavixCaptureApp m_app;
    CTavixCaptureView* m_pViews[2] = {nullptr, nullptr};
};

CStudio& Studio() {
    static CStudio s_studio;
    return s_studio;
}

void BM_RepaintWindow(benchmark::State& state) {
    const bool bAlpha = state.range(0) != 0;
    CTavixCaptureView& view = Studio().View(bAlpha);
    // A covered window paints nothing: the other one is put away.
    Studio().View(!bAlpha).parentWidget()->hide();
    view.parentWidget()->showMaximized();
    view.parentWidget()->raise();
    view.SetPresetScale(1.0);
    CStudio::Settle();
    for (auto _ : state)
        view.viewport()->repaint();
    state.counters["window_px"] = double(view.viewport()->width()) * view.viewport()->height();
}
BENCHMARK(BM_RepaintWindow)
    ->ArgName("alpha")
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
