// SPDX-License-Identifier: MIT
// bench-libs: quorvi_app
// A drag step and a marquee blink in an image window over a 3840x2160 image at 100 % and 400 %:
// the mouse move (or the timer's blink) and the paint it causes, as the event loop runs them.
// Offscreen platform; each must stay under 8 ms.
#include "app/MainFrame.h"
#include "app/TavixCaptureApp.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MultiDocTemplate.h"
#include "image/DisplayBitmap.h"
#include "platform/AppSettings.h"
#include "views/TavixCaptureView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

namespace {

// One program with one image window for all cases.
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
        CDisplayBitmap image;
        image.Create(3840, 2160, 32);
        for (int y = 0; y < image.Height(); ++y) {
            auto* pRow = image.Row<std::uint32_t>(y);
            for (int x = 0; x < image.Width(); ++x)
                pRow[x] = std::uint32_t(x * 2654435761u ^ y * 40503u) & 0xFFFFFFu;
        }
        CTavixCaptureDoc::OpenNew(*m_app.DocTemplate(), image, CTavixCaptureDoc::ENewImage::Image);
        Settle();
        m_pView = m_app.MainFrame()->ActiveImageView();
        // The window as large as the area allows.
        m_pView->parentWidget()->showMaximized();
        Settle();
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    void Run(unsigned nID) { m_app.MainFrame()->Dispatcher().Execute(nID); }
    CTavixCaptureView& View() const { return *m_pView; }

private:
    QTemporaryDir m_dir;
    CTavixCaptureApp m_app;
    CTavixCaptureView* m_pView = nullptr;
};

CStudio& Studio() {
    static CStudio s_studio;
    return s_studio;
}

void SendMouse(QWidget* pWidget, QEvent::Type type, QPoint pt, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pt, pWidget->mapToGlobal(pt),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(pWidget, &event);
}

// Zooms to nPercent, selects the whole image (a block far larger than the window, the worst
// case for a step) and scrolls to the top-left corner, so that the outline shows on two sides.
QPoint SelectAllAt(CTavixCaptureView& view, int nPercent) {
    Studio().Run(nPercent == 400 ? ID_VIEW_ZOOM_400 : ID_VIEW_ZOOM_100);
    Studio().Run(ID_EDIT_SELECT_ALL);
    view.ScrollToPosition(QPoint(0, 0));
    CStudio::Settle();
    return view.GetImageCenter();
}

void BM_DragStep(benchmark::State& state) {
    CTavixCaptureView& view = Studio().View();
    const int nPercent = int(state.range(0));
    const QPoint ptCentre = SelectAllAt(view, nPercent);
    QWidget* pPort = view.viewport();
    const QPoint ptPress = view.ImageToView(ptCentre);
    SendMouse(pPort, QEvent::MouseButtonPress, ptPress, Qt::LeftButton);
    CStudio::Settle();
    const int nStep = nPercent / 100; // one image pixel
    int i = 0;
    for (auto _ : state) {
        // Back and forth by one image pixel, each step painted before the next.
        const QPoint pt = ptPress + QPoint((i++ & 1) != 0 ? 0 : nStep, 0);
        SendMouse(pPort, QEvent::MouseMove, pt, Qt::LeftButton);
        QApplication::processEvents();
    }
    SendMouse(pPort, QEvent::MouseButtonRelease, ptPress, Qt::NoButton);
    Studio().Run(ID_EDIT_UNDO);
    CStudio::Settle();
}
BENCHMARK(BM_DragStep)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_MarqueeBlink(benchmark::State& state) {
    CTavixCaptureView& view = Studio().View();
    SelectAllAt(view, int(state.range(0)));
    for (auto _ : state) {
        view.RedrawMarquee();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MarqueeBlink)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt holds back a window's repaint up to 5 ms after the request to pace the screen; the
    // figures are the work of a step, not that pause.
    if (qEnvironmentVariableIsEmpty("QT_QPA_UPDATE_IDLE_TIME"))
        qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
