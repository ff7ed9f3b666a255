// SPDX-License-Identifier: MIT
// Soak of the capture path in one process: ROUNDS desktop captures in a row (pointer painted
// in), each put on the clipboard and read back by xclip as another program, and each saved
// under an automatic name. Prints resident memory and this client's X resources (xrestop)
// along the way; both must stay flat. Run by bench/capture-soak.sh on its own Xvfb:
//   build/bench/measure_CaptureSoakMeasure ROUNDS DIRECTORY
// bench-libs: quorvi_capture quorvi_codecs quorvi_x11clipboard
#include "capture/AutoSaveName.h"
#include "capture/RegionGrab.h"
#include "capture/x11/CursorImage.h"
#include "capture/x11/ScreenGrabber.h"
#include "codecs/BMPEncoder.h"
#include "codecs/PNGEncoder.h"
#include "codecs/PictureSave.h"
#include "x11/X11Clipboard.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// The number of X resources (windows, GCs, pixmaps, pictures, cursors, grabs, ...) xrestop
// lists for the client whose ids start at base; -1 when xrestop is missing or does not list it.
long XResources(std::uint32_t base) {
    FILE* p = popen("xrestop -b -m 1 2>/dev/null", "r");
    if (!p)
        return -1;
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%x", base);
    long total = -1;
    bool ours = false;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        const std::string s(line);
        const std::size_t colon = s.find(':');
        if (s.find("res_base") != std::string::npos) {
            ours = s.find(hex) != std::string::npos;
            if (ours)
                total = 0;
        } else if (ours && colon != std::string::npos && s.find("res_mask") == std::string::npos &&
                   s.find("bytes") == std::string::npos) {
            total += std::strtol(s.c_str() + colon + 1, nullptr, 10);
        } else if (ours && s.find("total bytes") != std::string::npos) {
            ours = false;
        }
    }
    pclose(p);
    return total;
}

// xclip reads image/png from the clipboard while this process serves it; true when it got
// every byte.
bool ReadBackWithXclip(CX11ClipboardOwner& owner, const std::string& file, std::size_t expected) {
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string command =
            "exec xclip -selection clipboard -t image/png -o > '" + file + "'";
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        owner.ServePending();
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::error_code ec;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::filesystem::file_size(file, ec) == expected;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
    const std::filesystem::path dir =
        argc > 2 ? argv[2] : std::filesystem::temp_directory_path() / "quorvi-soak";
    std::filesystem::create_directories(dir / "saved");
    auto conn = CX11Connection::Open();
    if (!conn) {
        std::fprintf(stderr, "soak: cannot open the display\n");
        return 1;
    }
    const std::uint32_t base = xcb_get_setup(conn->Get())->resource_id_base;
    CScreenGrabber grabber(*conn);
    CShmBitmap bitmap(*conn);
    CX11ClipboardOwner owner(*conn);
    // Automatic names as the output settings make them: two digits with wrap and replacement,
    // so the files on disk stay at 99.
    capture::AutoSaveParams names{(dir / "saved").string(),
                                  "Soak",
                                  2,
                                  1,
                                  2,
                                  capture::kAutoSaveReplaceExisting |
                                      capture::kAutoSaveWrapCounter};
    const capture::Rect desktop = conn->RootRect();
    std::printf("%6s %10s %12s %8s\n", "round", "RSS KiB", "X resources", "ms");
    long rssWarm = 0, resWarm = 0;
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 1; round <= rounds; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto cursor = capture::FetchCursorImage(*conn);
        if (!capture::GrabRegion(grabber, {desktop, 0, {}}, RGBQuad{192, 192, 192, 0}, bitmap)) {
            ++failures;
            continue;
        }
        if (cursor)
            capture::BlendCursor(bitmap, desktop.TopLeft(), *cursor);

        auto png = CPNGEncoder().EncodeToMemory(bitmap);
        const std::size_t pngBytes = png.size();
        std::vector<CX11ClipboardOwner::Target> targets;
        targets.push_back(
            {"image/png", [png = std::move(png)]() mutable { return std::move(png); }});
        targets.push_back(
            {"image/bmp", [&bitmap] { return CBMPEncoder().EncodeToMemory(bitmap); }});
        if (!owner.Own(std::move(targets)) ||
            !ReadBackWithXclip(owner, (dir / "read.png").string(), pngBytes))
            ++failures;

        const capture::AutoNamePlan plan = capture::PlanAutoSaveName(names);
        if (plan.status == capture::AutoNameStatus::Ready) {
            names.dwStartNo = plan.dwNextStartNo;
            codec::SavePicture(plan.strPath, bitmap, JpegOptions{});
        } else {
            ++failures;
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        if (round == 10 || round % 30 == 0 || round == rounds) {
            const long rss = ResidentKiB(), res = XResources(base);
            if (round == 10) {
                rssWarm = rss;
                resWarm = res;
            }
            std::printf("%6d %10ld %12ld %8.1f\n", round, rss, res, ms);
            std::fflush(stdout);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long rss = ResidentKiB(), res = XResources(base);
    std::printf("rounds %d in %.1f s, failures %d; from round 10 to the end: RSS %+ld KiB, X "
                "resources %+ld\n",
                rounds, seconds, failures, rss - rssWarm, res - resWarm);
    return failures == 0 ? 0 : 1;
}
