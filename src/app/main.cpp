// SPDX-License-Identifier: MIT
// quorvi-studio: the desktop program.
#include "app/DisplayCheck.h"
#include "app/InstanceChecker.h"
#include "app/InstanceRequest.h"
#include "app/TavixCaptureApp.h"
#include "app/TerminationSignals.h"
#include "capture/engine/CaptureActions.h"

#include "views/Timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt ends the process with exit() when the X connection breaks (the X server ended with the
// session): the event loop never returns, and only a handler run by exit() can still write the
// settings. Set while the application object is alive; nothing else reads it.
CTavixCaptureApp* s_pRunningApp = nullptr;

void SaveSettingsOnAbruptExit() {
    if (s_pRunningApp != nullptr)
        s_pRunningApp->SaveOnAbruptExit();
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer startTimer;
    startTimer.start();
    // A capture name that is wrong is said before anything else, display or not.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    QString strUsage;
    const std::optional<QString> strCapture = instance::CaptureFromArguments(arguments, &strUsage);
    if (!strCapture) {
        std::fprintf(stderr, "%s\n", strUsage.toLocal8Bit().constData());
        return 2;
    }
    const QStringList options = arguments.mid(1, arguments.indexOf(QStringLiteral("--")) - 1);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        std::printf("Usage: quorvi-studio [--capture ACTION] [--] [FILE...]\n"
                    "Opens the files in image windows (in the running instance when there is "
                    "one);\n--capture starts a capture: %s.\n",
                    capture::ActionNames().c_str());
        return 0;
    }
    if (options.contains(QStringLiteral("--version"))) {
        std::printf("quorvi-studio %s\n", QUORVI_VERSION);
        return 0;
    }
    QString strError;
    const std::optional<DisplayChoice> display = ChooseDisplay(&strError);
    if (!display) {
        std::fprintf(stderr, "%s\n", strError.toLocal8Bit().constData());
        return 1;
    }
    QApplication qtApp(argc, argv);
    if (const std::optional<QString> strOption =
            instance::UnknownOption(QApplication::arguments())) {
        std::fprintf(stderr,
                     "quorvi-studio: unknown option %s (a file whose name starts with '-' goes "
                     "after \"--\": quorvi-studio -- %s).\n",
                     qPrintable(*strOption), qPrintable(*strOption));
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Quorvi Studio"));
    QApplication::setOrganizationName(QStringLiteral("Quorvi"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVI_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.quorvi.Studio"));
    // Hiding the main window to the tray must not end the program; Exit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    CTavixCaptureApp app;
    app.SetStartupNote(display->strStatusNote);
    app.SetStartupCapture(*strCapture);
    CInstanceChecker instanceChecker;
    app.SetInstanceGuard(&instanceChecker);
    // Before the slow part of start-up: a signal that comes meanwhile waits in the pipe.
    CTerminationSignals terminationSignals;
    app.SetTerminationSignals(&terminationSignals);
    if (!app.InitInstance(QApplication::arguments())) {
        // Handing over to the running instance is a normal end, not a failure.
        return app.HandedOverToAnotherInstance() ? 0 : 1;
    }
    QTimer::singleShot(0, &qtApp, [&startTimer] {
        views::TimingTrace("main() to main window shown and the event loop running: %.1f ms",
                           startTimer.nsecsElapsed() / 1e6);
    });
    s_pRunningApp = &app;
    std::atexit(SaveSettingsOnAbruptExit);
    const int nResult = QApplication::exec();
    app.ExitInstance();
    s_pRunningApp = nullptr;
    return nResult;
}
