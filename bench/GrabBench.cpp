// SPDX-License-Identifier: MIT
// Root grabs on a 3840x2160 X server: the raw MIT-SHM request (the floor), the grab into a
// shared-memory bitmap the server fills in place, into an ordinary bitmap through shared memory
// and through plain GetImage, and a memcpy of the same bytes.
// Runs on $QUORVI_BENCH_DISPLAY when set (its root size is used), otherwise starts its own Xvfb
// at 3840x2160: `build/bench/bench_GrabBench`.
// bench-libs: quorvi_capture quorvi_testsupport
#include "capture/x11/ScreenGrabber.h"
#include "image/MemoryBitmap.h"
#include "support/XServer.h"

#include <benchmark/benchmark.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Display {
    std::unique_ptr<testsupport::CXServer> server;
    std::unique_ptr<CX11Connection> conn;
};

Display& TheDisplay() {
    static Display d = [] {
        Display display;
        const char* name = std::getenv("QUORVI_BENCH_DISPLAY");
        std::string displayName = name ? name : "";
        if (displayName.empty()) {
            testsupport::CXServer::Options options;
            options.cx = 3840;
            options.cy = 2160;
            options.bWindowManager = false;
            display.server = std::make_unique<testsupport::CXServer>(options);
            displayName = display.server->DisplayName();
        }
        display.conn = CX11Connection::Open(displayName.c_str());
        return display;
    }();
    return d;
}

capture::Rect Area(const benchmark::State& state) {
    return capture::Rect::FromSize(0, 0, int(state.range(0)), int(state.range(1)));
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0) * state.range(1) * 4);
}

// xcb_shm_get_image into a segment kept attached, no conversion: what no grab can beat.
void BM_ShmGetImageRaw(benchmark::State& state) {
    CX11Connection& conn = *TheDisplay().conn;
    xcb_connection_t* c = conn.Get();
    const capture::Rect rc = Area(state);
    const std::size_t cb = std::size_t(rc.Width()) * rc.Height() * 4;
    const int id = shmget(IPC_PRIVATE, cb, IPC_CREAT | 0600);
    void* addr = shmat(id, nullptr, 0);
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    free(xcb_request_check(c, xcb_shm_attach_checked(c, seg, std::uint32_t(id), 0)));
    shmctl(id, IPC_RMID, nullptr);
    for (auto _ : state) {
        auto* r = xcb_shm_get_image_reply(
            c,
            xcb_shm_get_image(c, conn.Root(), 0, 0, std::uint16_t(rc.Width()),
                              std::uint16_t(rc.Height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0),
            nullptr);
        if (!r)
            state.SkipWithError("shm get image failed");
        free(r);
        benchmark::DoNotOptimize(addr);
    }
    xcb_shm_detach(c, seg);
    xcb_flush(c);
    shmdt(addr);
    SetBytes(state);
}

void BM_Grab(benchmark::State& state, bool shm, bool freshBitmap) {
    CScreenGrabber grabber(*TheDisplay().conn);
    grabber.SetShmEnabled(shm);
    const capture::Rect rc = Area(state);
    auto bitmap = std::make_unique<CMemoryBitmap>();
    for (auto _ : state) {
        if (freshBitmap)
            bitmap = std::make_unique<CMemoryBitmap>();
        if (!grabber.Grab(rc, *bitmap))
            state.SkipWithError("grab failed");
        benchmark::DoNotOptimize(bitmap->Bits());
    }
    SetBytes(state);
}

// The bitmap's pixels are the shared segment: the server writes them, only the fourth bytes
// are checked (and cleared where set).
void BM_GrabInPlace(benchmark::State& state) {
    CX11Connection& conn = *TheDisplay().conn;
    CScreenGrabber grabber(conn);
    CShmBitmap bitmap(conn);
    const capture::Rect rc = Area(state);
    for (auto _ : state) {
        if (!grabber.Grab(rc, bitmap))
            state.SkipWithError("grab failed");
        benchmark::DoNotOptimize(bitmap.Bits());
    }
    if (!bitmap.Segment())
        state.SkipWithError("no shared memory");
    SetBytes(state);
}

void BM_Memcpy(benchmark::State& state) {
    const std::size_t cb = std::size_t(state.range(0)) * std::size_t(state.range(1)) * 4;
    std::vector<std::uint8_t> src(cb, 1), dst(cb);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), cb);
        benchmark::DoNotOptimize(dst.data());
    }
    SetBytes(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({3840, 2160})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(BM_ShmGetImageRaw)->Apply(Sizes);
BENCHMARK(BM_GrabInPlace)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Grab, shm_reused_bitmap, true, false)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Grab, shm_new_bitmap, true, true)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Grab, plain_reused_bitmap, false, false)->Apply(Sizes);
BENCHMARK(BM_Memcpy)->Apply(Sizes);
