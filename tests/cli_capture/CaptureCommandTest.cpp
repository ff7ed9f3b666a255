// SPDX-License-Identifier: MIT
// `quorvi capture` as a separate program on Xvfb with openbox: windows with known pixels come
// back through rect, window-at, active and client; the pointer, the delay, and the clipboard as
// another client (and a clipboard manager) sees it.
#include "X11TestWindows.h"
#include "codecs/PictureDecoder.h"
#include "image/MemoryBitmap.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;
namespace fs = std::filesystem;

namespace {

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <class T> Reply<T> Own(T* p) {
    return Reply<T>(p, &std::free);
}

int PatternMismatches(const CImageBitmap& b, Rect area, Point windowAt, int seed) {
    int bad = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            RGBQuad got = b.Row<RGBQuad>(y)[x];
            got.reserved = 0; // decoders give 255 there
            if (got != capturetest::PatternPixel(x - windowAt.x, y - windowAt.y, seed) &&
                ++bad <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    return bad;
}

std::unique_ptr<CMemoryBitmap> Load(const fs::path& file) {
    auto b = std::make_unique<CMemoryBitmap>();
    CPictureDecoder().LoadFromFile(file.string(), *b, 32, nullptr);
    return b;
}

std::unique_ptr<CMemoryBitmap> Decode(const std::vector<std::uint8_t>& data) {
    auto b = std::make_unique<CMemoryBitmap>();
    CPictureDecoder().LoadFromMemory(data.data(), data.size(), *b, 32, nullptr);
    return b;
}

// Another program reading (or taking) the clipboard.
class CClipboardPeer {
public:
    explicit CClipboardPeer(const std::string& display)
        : m_c(xcb_connect(display.c_str(), nullptr)) {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_root = screen->root;
        m_window = xcb_generate_id(m_c);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
        m_clipboard = capturetest::InternAtom(m_c, "CLIPBOARD");
        m_property = capturetest::InternAtom(m_c, "PEER_DATA");
        xcb_flush(m_c);
    }
    ~CClipboardPeer() { xcb_disconnect(m_c); }

    xcb_connection_t* Connection() const { return m_c; }
    xcb_window_t Window() const { return m_window; }

    xcb_window_t Owner(const std::string& selection = "CLIPBOARD") {
        auto r = Own(xcb_get_selection_owner_reply(
            m_c, xcb_get_selection_owner(m_c, capturetest::InternAtom(m_c, selection)), nullptr));
        return r ? r->owner : XCB_NONE;
    }

    // The bytes of one target (INCR transfers put together); empty optional when refused.
    std::optional<std::vector<std::uint8_t>> Read(const std::string& target,
                                                  bool* pIncr = nullptr) {
        const xcb_atom_t atom = capturetest::InternAtom(m_c, target);
        xcb_convert_selection(m_c, m_window, m_clipboard, atom, m_property, XCB_CURRENT_TIME);
        xcb_flush(m_c);
        auto notify = WaitEvent([&](const xcb_generic_event_t& e) {
            return (e.response_type & 0x7F) == XCB_SELECTION_NOTIFY;
        });
        if (!notify ||
            reinterpret_cast<xcb_selection_notify_event_t&>(*notify).property == XCB_NONE)
            return std::nullopt;
        auto value = TakeProperty();
        if (!value)
            return std::nullopt;
        if (value->first != capturetest::InternAtom(m_c, "INCR"))
            return value->second;
        if (pIncr)
            *pIncr = true;
        std::vector<std::uint8_t> all;
        for (;;) {
            auto e = WaitEvent([&](const xcb_generic_event_t& ev) {
                const auto& p = reinterpret_cast<const xcb_property_notify_event_t&>(ev);
                return (ev.response_type & 0x7F) == XCB_PROPERTY_NOTIFY && p.atom == m_property &&
                       p.state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!e)
                return std::nullopt;
            auto piece = TakeProperty();
            if (!piece)
                return std::nullopt;
            if (piece->second.empty())
                return all;
            all.insert(all.end(), piece->second.begin(), piece->second.end());
        }
    }

    void TakeClipboard() {
        xcb_set_selection_owner(m_c, m_window, m_clipboard, XCB_CURRENT_TIME);
        xcb_flush(m_c);
    }

    // Waits (up to 10 s) for an event that pred accepts; others are dropped.
    template <class Pred> Reply<xcb_generic_event_t> WaitEvent(Pred pred) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            while (auto* e = xcb_poll_for_event(m_c)) {
                auto owned = Own(e);
                if (pred(*e))
                    return owned;
            }
            pollfd pfd{xcb_get_file_descriptor(m_c), POLLIN, 0};
            poll(&pfd, 1, 50);
        }
        return Own<xcb_generic_event_t>(nullptr);
    }

private:
    std::optional<std::pair<xcb_atom_t, std::vector<std::uint8_t>>> TakeProperty() {
        auto r =
            Own(xcb_get_property_reply(m_c,
                                       xcb_get_property(m_c, 1, m_window, m_property,
                                                        XCB_GET_PROPERTY_TYPE_ANY, 0, 0x3FFFFFFF),
                                       nullptr));
        if (!r)
            return std::nullopt;
        const auto* p = static_cast<const std::uint8_t*>(xcb_get_property_value(r.get()));
        const int n = xcb_get_property_value_length(r.get()); // bytes
        return std::make_pair(r->type, std::vector<std::uint8_t>(p, p + n));
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root;
    xcb_window_t m_window;
    xcb_atom_t m_clipboard;
    xcb_atom_t m_property;
};

class CaptureCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = std::make_unique<testsupport::CXServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override {
        REQUIRE_X_SERVER_PROGRAMS();
        m_peer = xcb_connect(s_server->DisplayName().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_peer));
        // Settings of our own: ColorTransparency stays at its default.
        fs::create_directories(m_home.Path() / "config");
    }
    void TearDown() override {
        if (m_peer)
            xcb_disconnect(m_peer);
    }

    // Starts quorvi capture ARGS; stdout and stderr go to a log in the temporary directory.
    pid_t Start(std::vector<std::string> args) {
        args.insert(args.begin(), {QUORVI_CLI, "capture"});
        const std::string log = (m_home.Path() / "quorvi.log").string();
        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
            setenv("DISPLAY", s_server->DisplayName().c_str(), 1);
            setenv("HOME", m_home.Path().c_str(), 1);
            setenv("XDG_CONFIG_HOME", (m_home.Path() / "config").c_str(), 1);
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        return pid;
    }
    // Exit status, or -1 when it did not end within timeoutMs.
    static int Wait(pid_t pid, int timeoutMs = 20000) {
        int status = 0;
        const bool ended =
            testsupport::WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; },
                                   std::chrono::milliseconds(timeoutMs));
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Run(std::vector<std::string> args) { return Wait(Start(std::move(args))); }
    std::string Log() const {
        std::ifstream in(m_home.Path() / "quorvi.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path File(const std::string& name) const { return m_home.Path() / name; }

    // Root position of a window's inside.
    Point RootPosition(xcb_window_t w) {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data;
        auto r = Own(xcb_translate_coordinates_reply(
            m_peer, xcb_translate_coordinates(m_peer, w, screen->root, 0, 0), nullptr));
        return r ? Point{r->dst_x, r->dst_y} : Point{-1, -1};
    }

    // Waits until the window's pattern is on the screen where the window is now: the window
    // manager has placed and framed it and drawn no more over it.
    bool WaitShown(xcb_window_t w, int width, int height, int seed) {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data;
        return testsupport::WaitUntil([&] {
            const Point at = RootPosition(w);
            auto image = Own(xcb_get_image_reply(
                m_peer,
                xcb_get_image(m_peer, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, std::int16_t(at.x),
                              std::int16_t(at.y), std::uint16_t(width), std::uint16_t(height), ~0u),
                nullptr));
            if (!image || xcb_get_image_data_length(image.get()) != width * height * 4)
                return false;
            const auto* pixels = reinterpret_cast<const RGBQuad*>(xcb_get_image_data(image.get()));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    RGBQuad got = pixels[y * width + x];
                    got.reserved = 0;
                    if (got != capturetest::PatternPixel(x, y, seed))
                        return false;
                }
            return RootPosition(w) == at;
        });
    }

    // True once process pid has a connection open (the display's): `quorvi capture` connects
    // before it waits out its delay.
    static bool HasSocket(pid_t pid) {
        std::error_code ec;
        for (const auto& entry :
             fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
            const fs::path target = fs::read_symlink(entry.path(), ec);
            if (!ec && target.string().starts_with("socket:"))
                return true;
        }
        return false;
    }

    static std::unique_ptr<testsupport::CXServer> s_server;
    xcb_connection_t* m_peer = nullptr;
    testsupport::CTempDir m_home;
};
std::unique_ptr<testsupport::CXServer> CaptureCommand::s_server;

std::string Geometry(Rect rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
           std::to_string(rc.Width()) + "," + std::to_string(rc.Height());
}

} // namespace

TEST_F(CaptureCommand, RectAndWindowsGiveTheWindowPixels) {
    CTestWindow window(m_peer, {.rc = {0, 0, 301, 203}, .seed = 3});
    ASSERT_TRUE(window.WaitMapped(true));
    ASSERT_TRUE(WaitShown(window.Id(), 301, 203, 3));
    const Point at = RootPosition(window.Id());

    // A rectangle inside the window; one reaching past the screen's corner.
    ASSERT_EQ(Run({"rect", Geometry(Rect::FromSize(at.x + 10, at.y + 20, 50, 40)), "-o",
                   File("rect.png")}),
              0)
        << Log();
    auto rectOwned = Load(File("rect.png"));
    const CMemoryBitmap& rect = *rectOwned;
    ASSERT_EQ(rect.Width(), 50);
    ASSERT_EQ(rect.Height(), 40);
    EXPECT_EQ(PatternMismatches(rect, {0, 0, 50, 40}, {-10, -20}, 3), 0);

    ASSERT_EQ(Run({"rect", "1270,1000,20,30", "-o", File("edge.bmp")}), 0) << Log();
    auto edgeOwned = Load(File("edge.bmp"));
    const CMemoryBitmap& edge = *edgeOwned;
    ASSERT_EQ(edge.Width(), 20);
    RGBQuad corner = edge.Row<RGBQuad>(29)[19];
    corner.reserved = 0;
    EXPECT_EQ(corner, (RGBQuad{0xC0, 0xC0, 0xC0, 0}))
        << "off the screen: the default ColorTransparency";

    // window-at and active: the frame around the pattern; client: the pattern alone.
    auto extents = Own(xcb_get_property_reply(
        m_peer,
        xcb_get_property(m_peer, 0, window.Id(),
                         capturetest::InternAtom(m_peer, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL,
                         0, 4),
        nullptr));
    ASSERT_TRUE(extents && xcb_get_property_value_length(extents.get()) == 16);
    const auto* e = static_cast<const std::uint32_t*>(xcb_get_property_value(extents.get()));
    const Point inside{int(e[0]), int(e[2])};
    const int frameW = 301 + int(e[0] + e[1]), frameH = 203 + int(e[2] + e[3]);
    ASSERT_EQ(Run({"window-at", std::to_string(at.x + 150) + "," + std::to_string(at.y + 100), "-o",
                   File("at.png")}),
              0)
        << Log();
    auto byPointOwned = Load(File("at.png"));
    const CMemoryBitmap& byPoint = *byPointOwned;
    EXPECT_EQ(byPoint.Width(), frameW);
    EXPECT_EQ(byPoint.Height(), frameH);
    EXPECT_EQ(PatternMismatches(byPoint, Rect::FromSize(inside.x, inside.y, 301, 203), inside, 3),
              0);

    xcb_set_input_focus(m_peer, XCB_INPUT_FOCUS_POINTER_ROOT, window.Id(), XCB_CURRENT_TIME);
    xcb_flush(m_peer);
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        return capturetest::ActiveWindow(m_peer) == window.Id();
    })) << capturetest::DescribeDesktop(m_peer);
    ASSERT_EQ(Run({"active", "-o", File("active.png")}), 0) << Log();
    auto activeOwned = Load(File("active.png"));
    const CMemoryBitmap& active = *activeOwned;
    EXPECT_EQ(active.Width(), frameW);
    EXPECT_EQ(PatternMismatches(active, Rect::FromSize(inside.x, inside.y, 301, 203), inside, 3),
              0);
    ASSERT_EQ(Run({"client", "-o", File("client.tif")}), 0) << Log();
    auto clientOwned = Load(File("client.tif"));
    const CMemoryBitmap& client = *clientOwned;
    ASSERT_EQ(client.Width(), 301);
    ASSERT_EQ(client.Height(), 203);
    EXPECT_EQ(PatternMismatches(client, {0, 0, 301, 203}, {0, 0}, 3), 0);
}

TEST_F(CaptureCommand, PointerIsPaintedWhereItIs) {
    // A cursor of 6x5 opaque black pixels with its hot spot at (2, 1).
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_peer)).data;
    xcb_pixmap_t bits = xcb_generate_id(m_peer);
    xcb_create_pixmap(m_peer, 1, bits, screen->root, 6, 5);
    xcb_gcontext_t gc = xcb_generate_id(m_peer);
    const std::uint32_t one = 1;
    xcb_create_gc(m_peer, gc, bits, XCB_GC_FOREGROUND, &one);
    const xcb_rectangle_t all{0, 0, 6, 5};
    xcb_poly_fill_rectangle(m_peer, bits, gc, 1, &all);
    xcb_cursor_t cursor = xcb_generate_id(m_peer);
    xcb_create_cursor(m_peer, cursor, bits, bits, 0, 0, 0, 0, 0, 0, 2, 1);
    CTestWindow window(
        m_peer, {.rc = {0, 0, 200, 150}, .seed = 5, .bOverrideRedirect = true, .cursor = cursor});
    ASSERT_TRUE(window.WaitMapped(false));
    xcb_test_fake_input(m_peer, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root, 70, 40, 0);
    // A round trip: the server has moved the pointer before the command starts.
    Own(xcb_get_input_focus_reply(m_peer, xcb_get_input_focus(m_peer), nullptr));

    ASSERT_EQ(Run({"rect", "0,0,200,150", "--pointer", "-o", File("with.png")}), 0) << Log();
    ASSERT_EQ(Run({"rect", "0,0,200,150", "-o", File("without.png")}), 0) << Log();
    auto withOwned = Load(File("with.png"));
    auto withoutOwned = Load(File("without.png"));
    const CMemoryBitmap& with = *withOwned;
    const CMemoryBitmap& without = *withoutOwned;
    const Rect cursorRect = Rect::FromSize(68, 39, 6, 5);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            if (cursorRect.Contains({x, y}))
                ASSERT_EQ(with.Row<RGBQuad>(y)[x], (RGBQuad{0, 0, 0, 255})) << x << "," << y;
            else
                ASSERT_EQ(with.Row<RGBQuad>(y)[x], without.Row<RGBQuad>(y)[x]) << x << "," << y;
    EXPECT_EQ(PatternMismatches(without, {0, 0, 200, 150}, {0, 0}, 5), 0);
    xcb_free_cursor(m_peer, cursor);
    xcb_free_pixmap(m_peer, bits);
    xcb_free_gc(m_peer, gc);
}

TEST_F(CaptureCommand, DelayWaitsBeforeGrabbing) {
    CTestWindow early(m_peer, {.rc = {500, 500, 560, 540}, .seed = 1, .bOverrideRedirect = true});
    ASSERT_TRUE(early.WaitMapped(false));
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Start({"rect", "500,500,60,40", "--delay", "900", "-o", File("late.png")});
    // The window changes once the command is connected and waiting: grabbing at once would
    // give the early one.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return HasSocket(pid); })) << Log();
    CTestWindow late(m_peer, {.rc = {500, 500, 560, 540}, .seed = 2, .bOverrideRedirect = true});
    ASSERT_TRUE(late.WaitMapped(false));
    ASSERT_EQ(Wait(pid), 0) << Log();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    EXPECT_EQ(PatternMismatches(*Load(File("late.png")), {0, 0, 60, 40}, {0, 0}, 2), 0);
}

TEST_F(CaptureCommand, ClipboardServesPngBmpAndLargeDataUntilTaken) {
    CTestWindow window(m_peer, {.rc = {40, 30, 340, 230}, .seed = 7, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    CClipboardPeer peer(s_server->DisplayName());
    const xcb_window_t before = peer.Owner();
    const pid_t pid = Start({"rect", "40,30,300,200", "--foreground"});
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        return peer.Owner() != before && peer.Owner() != XCB_NONE;
    })) << Log();

    auto targets = peer.Read("TARGETS");
    ASSERT_TRUE(targets);
    std::vector<std::string> names;
    for (std::size_t i = 0; i + 4 <= targets->size(); i += 4) {
        xcb_atom_t atom;
        std::memcpy(&atom, targets->data() + i, 4);
        auto name = Own(xcb_get_atom_name_reply(
            peer.Connection(), xcb_get_atom_name(peer.Connection(), atom), nullptr));
        names.emplace_back(xcb_get_atom_name_name(name.get()),
                           xcb_get_atom_name_name_length(name.get()));
    }
    for (const char* want : {"TARGETS", "TIMESTAMP", "MULTIPLE", "image/png", "image/bmp"})
        EXPECT_NE(std::find(names.begin(), names.end(), want), names.end()) << want;

    auto png = peer.Read("image/png");
    ASSERT_TRUE(png);
    auto fromPngOwned = Decode(*png);
    const CMemoryBitmap& fromPng = *fromPngOwned;
    ASSERT_EQ(fromPng.Width(), 300);
    EXPECT_EQ(PatternMismatches(fromPng, {0, 0, 300, 200}, {0, 0}, 7), 0);
    // 300x200 as BMP is 180 KB, sent in one piece; the desktop below goes in INCR pieces.
    bool incr = false;
    auto bmp = peer.Read("image/bmp", &incr);
    ASSERT_TRUE(bmp);
    auto fromBmpOwned = Decode(*bmp);
    const CMemoryBitmap& fromBmp = *fromBmpOwned;
    EXPECT_EQ(PatternMismatches(fromBmp, {0, 0, 300, 200}, {0, 0}, 7), 0);
    EXPECT_FALSE(peer.Read("text/plain")) << "a type not offered is refused";

    peer.TakeClipboard();
    EXPECT_EQ(Wait(pid, 10000), 0) << "quorvi leaves once another program owns the clipboard\n"
                                   << Log();

    // The whole desktop in the background (the command returns at once): 5 MB of BMP.
    ASSERT_EQ(Run({"desktop"}), 0) << Log();
    ASSERT_NE(peer.Owner(), peer.Window());
    incr = false;
    bmp = peer.Read("image/bmp", &incr);
    ASSERT_TRUE(bmp);
    EXPECT_TRUE(incr);
    auto desktopOwned = Decode(*bmp);
    const CMemoryBitmap& desktop = *desktopOwned;
    ASSERT_EQ(desktop.Width(), 1280);
    ASSERT_EQ(desktop.Height(), 1024);
    EXPECT_EQ(PatternMismatches(desktop, Rect::FromSize(40, 30, 300, 200), {40, 30}, 7), 0);
    peer.TakeClipboard(); // lets the background process go
}

TEST_F(CaptureCommand, ClipboardManagerTakesTheImage) {
    CTestWindow window(m_peer, {.rc = {600, 300, 700, 380}, .seed = 4, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    CClipboardPeer manager(s_server->DisplayName());
    xcb_connection_t* c = manager.Connection();
    xcb_set_selection_owner(c, manager.Window(), capturetest::InternAtom(c, "CLIPBOARD_MANAGER"),
                            XCB_CURRENT_TIME);
    xcb_flush(c);
    ASSERT_EQ(manager.Owner("CLIPBOARD_MANAGER"), manager.Window());

    const pid_t pid = Start({"rect", "600,300,100,80", "--foreground"});
    const xcb_atom_t saveTargets = capturetest::InternAtom(c, "SAVE_TARGETS");
    auto request = manager.WaitEvent([&](const xcb_generic_event_t& e) {
        return (e.response_type & 0x7F) == XCB_SELECTION_REQUEST &&
               reinterpret_cast<const xcb_selection_request_event_t&>(e).target == saveTargets;
    });
    ASSERT_TRUE(request) << Log();
    auto png = manager.Read("image/png");
    ASSERT_TRUE(png);
    EXPECT_EQ(PatternMismatches(*Decode(*png), {0, 0, 100, 80}, {0, 0}, 4), 0);
    // A second request answered: the command still serves after the first one.
    EXPECT_TRUE(manager.Read("TARGETS")) << "still serving until the manager says it is done";
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0)
        << "still serving until the manager says it is done";

    const auto& r = reinterpret_cast<const xcb_selection_request_event_t&>(*request);
    xcb_selection_notify_event_t done{};
    done.response_type = XCB_SELECTION_NOTIFY;
    done.time = r.time;
    done.requestor = r.requestor;
    done.selection = r.selection;
    done.target = r.target;
    done.property = r.property;
    char event[32] = {};
    std::memcpy(event, &done, sizeof done);
    xcb_send_event(c, 0, r.requestor, XCB_EVENT_MASK_NO_EVENT, event);
    xcb_flush(c);
    EXPECT_EQ(Wait(pid, 10000), 0) << Log();
}

TEST_F(CaptureCommand, ErrorsAndExitCodes) {
    EXPECT_EQ(Run({"window-at", "1279,1023", "-o", File("none.png")}), 1);
    EXPECT_NE(Log().find("no window at 1279,1023"), std::string::npos) << Log();
    EXPECT_FALSE(fs::exists(File("none.png")));
    EXPECT_EQ(Run({"rect", "0,0,0,10"}), 2);
    EXPECT_EQ(Run({"rect", "0,0,10"}), 2);
    EXPECT_EQ(Run({"desktop", "-o", File("a.webp")}), 2);
    EXPECT_EQ(Run({"somewhere"}), 2);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"desktop", "-o", (File("missing") / "a.png").string()}), 1);
    // "--" ends the options: what follows is the capture, never an option.
    EXPECT_EQ(Run({"-o", File("dashed.png"), "--", "desktop"}), 0) << Log();
    EXPECT_EQ(Run({"--", "-o", File("x.png")}), 2);

    const pid_t pid = fork();
    if (pid == 0) {
        setenv("DISPLAY", ":9999", 1);
        const int fd = open("/dev/null", O_WRONLY);
        dup2(fd, STDERR_FILENO);
        execl(QUORVI_CLI, QUORVI_CLI, "capture", "desktop", "-o", "/dev/null/x.png", nullptr);
        _exit(127);
    }
    EXPECT_EQ(Wait(pid), 1) << "no X server";
}
