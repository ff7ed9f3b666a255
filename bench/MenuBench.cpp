// SPDX-License-Identifier: MIT
// The menus' cost: building every menu of the program from the data (with the toolbar images)
// and painting the open tray menu, the largest one, with its banner and engraved items. Runs on
// the offscreen platform; QT_SCALE_FACTOR=2 gives the figures at twice the device pixels.
// bench-libs: quorvi_framework
#include "framework/CommandIds.h"
#include "framework/UiServices.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MenuBuilder.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Offscreen on a 1600 px square screen, so at 2x the tray menu still fits in one column.
QApplication& App() {
    static int s_nArgc = 1;
    static char s_szName[] = "bench_MenuBench";
    static char* s_argv[] = {s_szName, nullptr};
    static QTemporaryDir s_dir;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        QFile screen(s_dir.filePath(QStringLiteral("screen.json")));
        if (screen.open(QIODevice::WriteOnly))
            screen.write(R"({ "screens": [ { "name": "big", "x": 0, "y": 0, "width": 1600,
                              "height": 1600, "logicalDpi": 96 } ] })");
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen.fileName()).toLocal8Bit());
    }
    // Kept to the end of the process: destroyed with the other statics it would outlive
    // parts of Qt it needs.
    static auto* s_pApp = new QApplication(s_nArgc, s_argv);
    return *s_pApp;
}

struct MenuSetup {
    CUiServices ui;
    CCommandDispatcher dispatcher{nullptr, ui};
    CMenuBuilder builder{dispatcher};
};

void BM_BuildEveryMenu(benchmark::State& state) {
    App();
    MenuSetup setup;
    for (auto _ : state) {
        QWidget parent;
        benchmark::DoNotOptimize(setup.builder.BuildMenus(IDR_MAINFRAME, &parent));
        benchmark::DoNotOptimize(setup.builder.BuildMenus(IDR_IMAGETYPE, &parent));
        for (unsigned nID : {IDR_TRAY_MENU, IDR_TAB_MENU, IDR_VIEW_MENU})
            benchmark::DoNotOptimize(setup.builder.BuildPopup(nID, 0, &parent));
    }
}
BENCHMARK(BM_BuildEveryMenu)->Unit(benchmark::kMillisecond);

void BM_PaintTrayMenu(benchmark::State& state) {
    App();
    MenuSetup setup;
    std::unique_ptr<QMenu> pMenu(setup.builder.BuildPopup(IDR_TRAY_MENU, 0, nullptr));
    pMenu->popup(QPoint(10, 10));
    QApplication::processEvents();
    for (auto _ : state) {
        const QPixmap pixmap = pMenu->grab();
        benchmark::DoNotOptimize(pixmap.cacheKey());
    }
    state.counters["device_px_wide"] = pMenu->width() * pMenu->devicePixelRatioF();
}
BENCHMARK(BM_PaintTrayMenu)->Unit(benchmark::kMillisecond);

// The same items in a plain menu of the application's style: what the drawing costs over Qt's.
void BM_PaintTrayMenuPlain(benchmark::State& state) {
    App();
    MenuSetup setup;
    std::unique_ptr<QMenu> pIconMenu(setup.builder.BuildPopup(IDR_TRAY_MENU, 0, nullptr));
    QMenu menu;
    menu.addActions(pIconMenu->actions());
    menu.popup(QPoint(10, 10));
    QApplication::processEvents();
    for (auto _ : state) {
        const QPixmap pixmap = menu.grab();
        benchmark::DoNotOptimize(pixmap.cacheKey());
    }
}
BENCHMARK(BM_PaintTrayMenuPlain)->Unit(benchmark::kMillisecond);

} // namespace
