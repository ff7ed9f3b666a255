// SPDX-License-Identifier: MIT
// `quorvi capture WHAT [--pointer] [--delay MS] [-o FILE]`: grabs the desktop, the active
// window, its client area, a rectangle or the window at a point with the desktop program's grab
// code, and writes a file or puts the image on the clipboard. In a Wayland session the desktop
// and rectangles come from the desktop portal's picture. Built into quorvi-capture, which
// `quorvi capture` runs.
#include "CaptureCommandInfo.h"
#include "CliCommand.h"
#include "CommandLine.h"
#include "x11/X11Clipboard.h"

#include "capture/RegionGrab.h"
#include "capture/portal/PortalScreenshot.h"
#include "capture/portal/WaylandSession.h"
#include "capture/x11/CursorImage.h"
#include "capture/x11/DesktopQueries.h"
#include "capture/x11/ScreenGrabber.h"
#include "codecs/BMPEncoder.h"
#include "codecs/PNGEncoder.h"
#include "codecs/PictureSave.h"
#include "image/MemoryBitmap.h"
#include "image/Pixel.h"
#include "image/TextException.h"
#include "platform/AppSettings.h"
#include "platform/JpegWriterOptions.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

using capture::Point;
using capture::Rect;

namespace {

enum class What { Desktop, Active, Client, Rectangle, WindowAt };

struct CaptureArgs {
    What what = What::Desktop;
    Rect rc;  // for rect
    Point pt; // for window-at
    bool bPointer = false;
    int nDelayMs = 0;
    std::string output; // empty: the clipboard
    bool bForeground = false;
};

// Comma-separated whole numbers, exactly `count` of them.
std::vector<int> ParseNumbers(const std::string& text, std::size_t count, const std::string& what) {
    std::vector<int> numbers;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    while (numbers.size() < count) {
        int value = 0;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc())
            break;
        numbers.push_back(value);
        p = next;
        if (p == end || *p != ',')
            break;
        ++p;
    }
    if (numbers.size() != count || p != end)
        throw cli::UsageError{what + " needs " + std::to_string(count) +
                              " whole numbers separated by commas, not '" + text + "'"};
    return numbers;
}

const std::string& ValueOf(std::span<const std::string> args, std::size_t i) {
    if (i + 1 >= args.size())
        throw cli::UsageError{args[i] + " needs a value"};
    return args[i + 1];
}

// Returns how many arguments the option at args[i] took; throws for an unknown one.
std::size_t ParseOption(std::span<const std::string> args, std::size_t i, CaptureArgs& parsed) {
    const std::string& a = args[i];
    if (a == "--pointer") {
        parsed.bPointer = true;
    } else if (a == "--foreground") {
        parsed.bForeground = true;
    } else if (a == "--delay") {
        const std::string& v = ValueOf(args, i);
        int ms = -1;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
        if (ec != std::errc() || end != v.data() + v.size() || ms < 0 || ms > 3600000)
            throw cli::UsageError{"--delay needs milliseconds from 0 to 3600000, not '" + v + "'"};
        parsed.nDelayMs = ms;
        return 2;
    } else if (a == "-o" || a == "--output") {
        parsed.output = ValueOf(args, i);
        if (parsed.output.empty())
            throw cli::UsageError{a + " needs a file name"};
        if (!codec::CreateEncoderForPath(parsed.output))
            throw cli::UsageError{"cannot save \"" + parsed.output +
                                  "\": the file name must end in .bmp, .jpg, .png, .tif or .gif"};
        return 2;
    } else {
        throw cli::UsageError{cli::UnknownOptionText(a)};
    }
    return 1;
}

// Returns how many arguments what to capture, at args[i], took with its values.
std::size_t ParseWhat(std::span<const std::string> args, std::size_t i, CaptureArgs& parsed) {
    const std::string& a = args[i];
    if (a == "desktop") {
        parsed.what = What::Desktop;
    } else if (a == "active") {
        parsed.what = What::Active;
    } else if (a == "client") {
        parsed.what = What::Client;
    } else if (a == "rect") {
        const std::vector<int> n = ParseNumbers(ValueOf(args, i), 4, "rect");
        if (n[2] < 1 || n[3] < 1 || n[2] > CImageBitmap::kMaxSide || n[3] > CImageBitmap::kMaxSide)
            throw cli::UsageError{"rect needs a width and height from 1 to " +
                                  std::to_string(CImageBitmap::kMaxSide)};
        parsed.what = What::Rectangle;
        parsed.rc = Rect::FromSize(n[0], n[1], n[2], n[3]);
        return 2;
    } else if (a == "window-at") {
        const std::vector<int> n = ParseNumbers(ValueOf(args, i), 2, "window-at");
        parsed.what = What::WindowAt;
        parsed.pt = {n[0], n[1]};
        return 2;
    } else {
        throw cli::UsageError{"unknown capture '" + a + "'"};
    }
    return 1;
}

CaptureArgs Parse(std::span<const std::string> args) {
    CaptureArgs parsed;
    bool bWhat = false;
    cli::ForEachArgument(
        args, [&](std::size_t i) { return ParseOption(args, i, parsed); },
        [&](std::size_t i) {
            if (bWhat)
                throw cli::UsageError{"unexpected argument '" + args[i] + "'"};
            bWhat = true;
            return ParseWhat(args, i, parsed);
        });
    if (!bWhat)
        throw cli::UsageError{"say what to capture"};
    return parsed;
}

Rect RegionOf(const CaptureArgs& args, CX11Connection& conn) {
    CX11DesktopQueries queries(conn);
    std::optional<Rect> rc;
    switch (args.what) {
    case What::Desktop:
        return queries.DesktopRect();
    case What::Rectangle:
        return args.rc;
    case What::Active:
    case What::Client:
        rc = queries.ActiveWindowRect(args.what == What::Client);
        if (!rc)
            throw std::runtime_error("no active window to capture");
        return *rc;
    case What::WindowAt:
        if (!queries.Refresh())
            throw std::runtime_error("the X server did not list its windows");
        rc = queries.WindowRectAt(args.pt);
        if (!rc)
            throw std::runtime_error("no window at " + std::to_string(args.pt.x) + "," +
                                     std::to_string(args.pt.y));
        return *rc;
    }
    return {};
}

// Leaves the terminal: the parent returns at once, the child keeps serving the clipboard with
// the same X connection. The parent must not run any destructor that would speak to the server.
bool Detach() {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid > 0)
        _exit(cli::kExitOk);
    setsid();
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO)
            close(null);
    }
    return true;
}

int ServeClipboard(CX11Connection& conn, const CImageBitmap& bitmap, bool bForeground) {
    // PNG up front (most programs ask for it, and a failure is reported here); BMP on demand.
    auto png = CPNGEncoder().EncodeToMemory(bitmap);
    CX11ClipboardOwner owner(conn);
    std::vector<CX11ClipboardOwner::Target> targets;
    targets.push_back({"image/png", [png = std::move(png)]() mutable { return std::move(png); }});
    targets.push_back({"image/bmp", [&bitmap] { return CBMPEncoder().EncodeToMemory(bitmap); }});
    if (!owner.Own(std::move(targets)))
        throw std::runtime_error("could not take the clipboard");
    owner.RequestSave(); // a clipboard manager, when one runs, keeps the image after we leave
    if (!bForeground)
        Detach();
    switch (owner.Serve()) {
    case CX11ClipboardOwner::Ending::OwnershipLost:
    case CX11ClipboardOwner::Ending::SavedByManager:
        return cli::kExitOk;
    case CX11ClipboardOwner::Ending::ConnectionLost:
        break;
    }
    throw std::runtime_error("the connection to the X server was lost");
}

// The desktop portal's picture of the whole desktop, cut to the rectangle asked for.
std::unique_ptr<CImageBitmap> PortalCapture(const CaptureArgs& args, const RGBQuad& fill) {
    if (args.what != What::Desktop && args.what != What::Rectangle)
        throw std::runtime_error("a Wayland session does not tell programs where windows are: "
                                 "capture the desktop or a rect instead");
    if (args.bPointer)
        std::fprintf(stderr, "quorvi: the desktop portal leaves the pointer out of its picture\n");
    int argc = 1;
    char szName[] = "quorvi";
    char* argv[] = {szName, nullptr};
    const QCoreApplication app(argc, argv); // the D-Bus connection runs on its event loop
    CPortalScreenshot portal;
    if (!portal.RequestAndWait())
        throw std::runtime_error(portal.FailureText().replace(u'\n', u' ').toStdString());
    if (qEnvironmentVariableIsSet("QUORVI_TIMING"))
        std::fprintf(stderr,
                     "timing: portal answer %.1f ms, picture read in %.1f ms (%.1f ms CPU)\n",
                     portal.AnswerMs(), portal.LoadMs(), portal.LoadCpuMs());
    std::unique_ptr<CImageBitmap> pPicture = portal.TakeBitmap();
    if (args.what == What::Desktop)
        return pPicture;
    auto pCut = std::make_unique<CMemoryBitmap>();
    if (!capture::CopyRegion(*pPicture, {0, 0}, capture::CaptureRegion{args.rc, 0, {}}, fill,
                             *pCut))
        throw std::runtime_error("the rectangle could not be cut from the desktop's picture");
    return pCut;
}

int RunPortalCapture(const CaptureArgs& args, const platform::CAppSettings& settings) {
    if (args.nDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(args.nDelayMs));
    const std::unique_ptr<CImageBitmap> pBitmap =
        PortalCapture(args, img::QuadFromColorRef(settings.m_crTransparency));
    if (!args.output.empty()) {
        codec::SavePicture(args.output, *pBitmap,
                           platform::JpegWriterOptions(settings.StoredJpegOptions()));
        return cli::kExitOk;
    }
    // The clipboard is served over X11: through XWayland it reaches Wayland programs too.
    std::unique_ptr<CX11Connection> conn = CX11Connection::Open(nullptr);
    if (!conn)
        throw std::runtime_error(
            "no X server (XWayland) to serve the clipboard from: give -o FILE");
    return ServeClipboard(*conn, *pBitmap, args.bForeground);
}

int RunCapture(std::span<const std::string> args) {
    const CaptureArgs parsed = Parse(args);
    if (capture::IsWaylandSession()) {
        platform::CAppSettings settings;
        settings.Load();
        return RunPortalCapture(parsed, settings);
    }
    const char* display = std::getenv("DISPLAY");
    std::unique_ptr<CX11Connection> conn = CX11Connection::Open(nullptr);
    if (!conn)
        throw std::runtime_error(std::string("cannot open display '") + (display ? display : "") +
                                 "'");
    platform::CAppSettings settings;
    settings.Load();

    if (parsed.nDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(parsed.nDelayMs));
    const Rect rc = RegionOf(parsed, *conn);

    std::optional<CursorImage> cursor;
    if (parsed.bPointer)
        cursor = capture::FetchCursorImage(*conn);
    CScreenGrabber grabber(*conn);
    CShmBitmap bitmap(*conn);
    const RGBQuad fill = img::QuadFromColorRef(settings.m_crTransparency);
    if (!capture::GrabRegion(grabber, capture::CaptureRegion{rc, 0, {}}, fill, bitmap))
        throw std::runtime_error(
            "grabbing " + std::to_string(rc.Width()) + "x" + std::to_string(rc.Height()) +
            " pixels at " + std::to_string(rc.left) + "," + std::to_string(rc.top) + " failed");
    if (cursor)
        capture::BlendCursor(bitmap, rc.TopLeft(), *cursor);

    if (!parsed.output.empty()) {
        codec::SavePicture(parsed.output, bitmap,
                           platform::JpegWriterOptions(settings.StoredJpegOptions()));
        return cli::kExitOk;
    }
    return ServeClipboard(*conn, bitmap, parsed.bForeground);
}

} // namespace

QUORVI_CLI_COMMAND("capture", cli::kCaptureUsage, cli::kCaptureSummary, RunCapture);
