// SPDX-License-Identifier: MIT
#include "image/RotateKernels.h"

#include "image/Avx2Kernels.h"

#include "image/FilterSupport.h"
#include "image/ImageBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_ADDRESS__)
#define IMG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define IMG_VECTOR_CLONES
#endif

namespace img {
namespace {

// Rows are equally spaced in every bitmap class; pitch may be negative (bottom-up memory).
struct RowsOf {
    explicit RowsOf(const CImageBitmap& b) noexcept
        : base(b.Line(0)), pitch(b.Height() > 1 ? b.Line(1) - b.Line(0) : 0) {}
    const std::uint8_t* Row(int y) const noexcept { return base + std::ptrdiff_t(y) * pitch; }
    const std::uint8_t* base;
    std::ptrdiff_t pitch;
};

// Sample coordinates of destination pixels (k0 + k, i) for k < count: the formula itself, in a
// loop the compiler vectorises.
IMG_VECTOR_CLONES
void SampleRun(const RotationMap& map, int i, int k0, int count, int* IMG_RESTRICT sx,
               int* IMG_RESTRICT sy) noexcept {
    const int Y = map.minY + i;
    const double sY = map.s * Y;
    const double cY = map.c * Y;
    const int X0 = map.minX + k0;
    for (int k = 0; k < count; ++k) {
        const double X = X0 + k;
        sx[k] = static_cast<int>(std::floor(map.c * X + sY + 0.5));
        sy[k] = static_cast<int>(std::floor(cY - map.s * X + 0.5));
    }
}

// The formula's sample coordinates of one pixel.
inline int SampleX(const RotationMap& map, double X, double sY) noexcept {
    return static_cast<int>(std::floor(map.c * X + sY + 0.5));
}
inline int SampleY(const RotationMap& map, double X, double cY) noexcept {
    return static_cast<int>(std::floor(cY - map.s * X + 0.5));
}

// First k in [lo, hi) for which pred holds, hi when none; pred must be false and then true along
// k. The search starts next to guess and widens its steps, so a good guess costs two or three
// evaluations.
template <class Pred> int FirstTrue(int lo, int hi, double guess, Pred pred) {
    int g = !(guess > lo) ? lo : !(guess < hi) ? hi : static_cast<int>(guess);
    int a; // pred false at a, or a == lo - 1
    int b; // pred true at b, or b == hi
    if (g >= hi || pred(g)) {
        b = g;
        a = g - 1;
        for (int step = 1; a >= lo && pred(a); step *= 2) {
            b = a;
            a = std::max(lo - 1, a - step);
        }
    } else {
        a = g;
        b = g + 1;
        for (int step = 1; b < hi && !pred(b); step *= 2) {
            a = b;
            b = std::min(hi, b + step);
        }
    }
    while (b - a > 1) {
        const int m = a + (b - a) / 2;
        (pred(m) ? b : a) = m;
    }
    return b;
}

struct Span {
    int begin = 0;
    int end = 0;
};

// The destination pixels of row i whose samples fall inside the source. Along a row each sample
// coordinate is monotone in k (every step of the formula rounds a monotone function), so they
// form one run; its ends are found with the formula itself, so they are exact.
Span InsideSpan(const RotationMap& map, int i, int destWidth, int width, int height) {
    const double Y = map.minY + i;
    const double sY = map.s * Y;
    const double cY = map.c * Y;
    auto X = [&](int k) { return double(map.minX + k); };
    // Where the exact line c * X + sY + 0.5 (or cY - s * X + 0.5) reaches a limit t, as k.
    auto guessX = [&](double t) { return (t - 0.5 - sY) / map.c - map.minX; };
    auto guessY = [&](double t) { return (cY + 0.5 - t) / map.s - map.minX; };
    Span x, y;
    if (map.c >= 0) { // sx grows along the row
        x.begin =
            FirstTrue(0, destWidth, guessX(0), [&](int k) { return SampleX(map, X(k), sY) >= 0; });
        x.end = FirstTrue(x.begin, destWidth, guessX(width),
                          [&](int k) { return SampleX(map, X(k), sY) >= width; });
    } else {
        x.begin = FirstTrue(0, destWidth, guessX(width),
                            [&](int k) { return SampleX(map, X(k), sY) < width; });
        x.end = FirstTrue(x.begin, destWidth, guessX(0),
                          [&](int k) { return SampleX(map, X(k), sY) < 0; });
    }
    if (map.s <= 0) { // sy grows along the row
        y.begin =
            FirstTrue(0, destWidth, guessY(0), [&](int k) { return SampleY(map, X(k), cY) >= 0; });
        y.end = FirstTrue(y.begin, destWidth, guessY(height),
                          [&](int k) { return SampleY(map, X(k), cY) >= height; });
    } else {
        y.begin = FirstTrue(0, destWidth, guessY(height),
                            [&](int k) { return SampleY(map, X(k), cY) < height; });
        y.end = FirstTrue(y.begin, destWidth, guessY(0),
                          [&](int k) { return SampleY(map, X(k), cY) < 0; });
    }
    const Span inside{std::max(x.begin, y.begin), std::min(x.end, y.end)};
    return inside.begin < inside.end ? inside : Span{};
}

void RotationOffsets(const RotationMap& map, int i, int k0, int count, int pitch, int pixelBytes,
                     std::int32_t* IMG_RESTRICT offsets) noexcept {
    const int Y = map.minY + i;
#if defined(IMG_HAVE_AVX2_KERNELS)
    if (avx2::Available())
        return avx2::RotationOffsets(map.c, map.s, map.s * Y, map.c * Y, map.minX + k0, count,
                                     pitch, pixelBytes, offsets);
#endif
    const double sY = map.s * Y;
    const double cY = map.c * Y;
    for (int k = 0; k < count; ++k) {
        const double X = map.minX + k0 + k;
        offsets[k] = SampleY(map, X, cY) * pitch + SampleX(map, X, sY) * pixelBytes;
    }
}

template <class Px>
void CopyByOffsets(const std::uint8_t* base, const std::int32_t* IMG_RESTRICT offsets, int count,
                   Px* IMG_RESTRICT dst) noexcept {
#if defined(IMG_HAVE_AVX2_KERNELS)
    if constexpr (sizeof(Px) == 4) {
        if (avx2::Available())
            return avx2::GatherPixels32(base, offsets, count,
                                        reinterpret_cast<std::uint32_t*>(dst));
    }
#endif
    for (int k = 0; k < count; ++k)
        std::memcpy(&dst[k], base + offsets[k], sizeof(Px));
}

// Destination tiles of kTileRows by kTileColumns keep the source lines a tile reads in the
// caches. The source offsets of a row are computed kAhead rows before it is copied, and its
// source lines are prefetched then: along a turned row nearly every pixel or second pixel
// lies in another source line, and waiting for each in turn costs more than everything else.
constexpr int kTileRows = 128;
constexpr int kTileColumns = 128;
constexpr int kAhead = 8;

template <class Px>
void RotateRows(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map,
                Px background, const CRowProgress& progress) {
    const RowsOf rows(source);
    const int width = source.Width();
    const int height = source.Height();
    const int destWidth = destination.Width();
    const int destHeight = destination.Height();
    // Offsets from the top row fit 32 bits: a bitmap holds at most kMaxPixelBytes.
    static_assert(CImageBitmap::kMaxPixelBytes <= std::size_t(1) << 31);
    const int pitch = int(rows.pitch);

    std::vector<Span> spans(static_cast<std::size_t>(destHeight));
    for (int i = 0; i < destHeight; ++i) {
        spans[i] = InsideSpan(map, i, destWidth, width, height);
        Px* dst = destination.Row<Px>(i);
        std::fill(dst, dst + spans[i].begin, background);
        std::fill(dst + spans[i].end, dst + destWidth, background);
    }

    std::int32_t offsets[kAhead][kTileColumns];
    for (int i0 = 0; i0 < destHeight; i0 += kTileRows) {
        const int i1 = std::min(destHeight, i0 + kTileRows);
        for (int k0 = 0; k0 < destWidth; k0 += kTileColumns) {
            const int k1 = std::min(destWidth, k0 + kTileColumns);
            auto segment = [&](int i) {
                return Span{std::max(k0, spans[i].begin), std::min(k1, spans[i].end)};
            };
            auto prepare = [&](int i) {
                const Span run = segment(i);
                if (run.begin >= run.end)
                    return;
                std::int32_t* o = offsets[i % kAhead];
                RotationOffsets(map, i, run.begin, run.end - run.begin, pitch, int(sizeof(Px)), o);
                for (int k = 0; k < run.end - run.begin; k += 2)
                    __builtin_prefetch(rows.base + o[k]);
            };
            for (int i = i0; i < std::min(i1, i0 + kAhead); ++i)
                prepare(i);
            for (int i = i0; i < i1; ++i) {
                const Span run = segment(i);
                if (run.begin < run.end)
                    CopyByOffsets(rows.base, offsets[i % kAhead], run.end - run.begin,
                                  destination.Row<Px>(i) + run.begin);
                if (i + kAhead < i1)
                    prepare(i + kAhead);
            }
        }
        for (int i = i0; i < i1; ++i)
            progress.Row(i);
    }
}

constexpr int kRun = 128;
constexpr int kQuarterRun = 64;

void RotateRowsPacked(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map,
                      unsigned background, const CRowProgress& progress) {
    const int depth = source.Depth();
    const unsigned width = unsigned(source.Width());
    const unsigned height = unsigned(source.Height());
    const int destWidth = destination.Width();
    int sx[kRun];
    int sy[kRun];
    for (int i = 0; i < destination.Height(); ++i) {
        std::uint8_t* dst = destination.Line(i);
        for (int k0 = 0; k0 < destWidth; k0 += kRun) {
            const int count = std::min(kRun, destWidth - k0);
            SampleRun(map, i, k0, count, sx, sy);
            for (int k = 0; k < count; ++k) {
                const bool inside = unsigned(sx[k]) < width && unsigned(sy[k]) < height;
                SetPackedIndex(dst, k0 + k, depth,
                               inside ? GetPackedIndex(source.Line(sy[k]), sx[k], depth)
                                      : background);
            }
        }
        progress.Row(i);
    }
}

// Quarter turns: destination (k, i) is source (sx0 + ax * k + bx * i, sy0 + ay * k + by * i)
// with one of the steps of each pair zero and the other +-1.
struct QuarterSteps {
    int sx0, sy0, ax, bx, ay, by;
};

#if defined(IMG_HAVE_AVX2_KERNELS)
// The sideways quarter turns of 32-bit images in 8 x 8 blocks, tiles of kSideways square.
void TurnSideways32(const CImageBitmap& source, CImageBitmap& destination, const QuarterSteps& q,
                    const CRowProgress& progress) {
    constexpr int kSideways = 64;
    const RowsOf rows(source);
    const int destWidth = destination.Width();
    const int destHeight = destination.Height();
    const RowsOf destRows(destination);
    auto sourceAt = [&](int sx, int sy) {
        return reinterpret_cast<const std::uint32_t*>(rows.Row(sy)) + sx;
    };
    auto copyPixel = [&](int k, int i) {
        destination.Row<std::uint32_t>(i)[k] = *sourceAt(q.sx0 + q.bx * i, q.sy0 + q.ay * k);
    };
    const int fullHeight = destHeight / 8 * 8;
    const int fullWidth = destWidth / 8 * 8;
    for (int i0 = 0; i0 < destHeight; i0 += kSideways) {
        const int i1 = std::min(destHeight, i0 + kSideways);
        for (int k0 = 0; k0 < destWidth; k0 += kSideways) {
            const int k1 = std::min(destWidth, k0 + kSideways);
            avx2::TurnBlocks32(rows.base, rows.pitch, q.sx0, q.sy0, q.bx, q.ay, destination.Line(0),
                               destRows.pitch, k0, std::min(k1, fullWidth), i0,
                               std::min(i1, fullHeight));
            for (int i = i0; i < std::min(i1, fullHeight); i += 8) {
                for (int k = std::max(k0, fullWidth); k < k1; ++k)
                    for (int r = 0; r < 8; ++r)
                        copyPixel(k, i + r);
            }
            for (int i = std::max(i0, fullHeight); i < i1; ++i)
                for (int k = k0; k < k1; ++k)
                    copyPixel(k, i);
        }
        for (int i = i0; i < i1; ++i)
            progress.Row(i);
    }
}
#endif

template <class Px>
void CopyQuarter(const CImageBitmap& source, CImageBitmap& destination, const QuarterSteps& q,
                 const CRowProgress& progress) {
    const RowsOf rows(source);
    const int destWidth = destination.Width();
    const int destHeight = destination.Height();
    auto sourceAt = [&](int sx, int sy) { return reinterpret_cast<const Px*>(rows.Row(sy)) + sx; };
    if (q.ay == 0) { // rows stay rows: a copy or a mirror per row
        for (int i = 0; i < destHeight; ++i) {
            const Px* src = sourceAt(q.sx0 + q.bx * i, q.sy0 + q.by * i);
            Px* dst = destination.Row<Px>(i);
            if (q.ax == 1) {
                std::memcpy(dst, src, std::size_t(destWidth) * sizeof(Px));
            } else {
                for (int k = 0; k < destWidth; ++k)
                    dst[k] = src[-k];
            }
            progress.Row(i);
        }
        return;
    }
    // Rows become columns. A band of destination rows reads a run of adjacent source pixels
    // per source row, so every source cache line is read once.
#if defined(IMG_HAVE_AVX2_KERNELS)
    if constexpr (sizeof(Px) == 4) {
        if (avx2::Available())
            return TurnSideways32(source, destination, q, progress);
    }
#endif
    constexpr int kBand = 64 / int(sizeof(Px)) < 16 ? 16 : 64 / int(sizeof(Px));
    Px* dstRows[kBand];
    for (int i0 = 0; i0 < destHeight; i0 += kBand) {
        const int band = std::min(kBand, destHeight - i0);
        for (int j = 0; j < band; ++j)
            dstRows[j] = destination.Row<Px>(i0 + j);
        const int sx = q.sx0 + q.bx * i0;
        for (int k0 = 0; k0 < destWidth; k0 += kQuarterRun) {
            const int k1 = std::min(destWidth, k0 + kQuarterRun);
            for (int k = k0; k < k1; ++k) {
                const Px* src = sourceAt(sx, q.sy0 + q.ay * k);
                if (q.bx == 1) {
                    for (int j = 0; j < band; ++j)
                        dstRows[j][k] = src[j];
                } else {
                    for (int j = 0; j < band; ++j)
                        dstRows[j][k] = src[-j];
                }
            }
        }
        for (int j = 0; j < band; ++j)
            progress.Row(i0 + j);
    }
}

void CopyQuarterPacked(const CImageBitmap& source, CImageBitmap& destination, const QuarterSteps& q,
                       const CRowProgress& progress) {
    const int depth = source.Depth();
    for (int i = 0; i < destination.Height(); ++i) {
        std::uint8_t* dst = destination.Line(i);
        for (int k = 0; k < destination.Width(); ++k) {
            const int sx = q.sx0 + q.ax * k + q.bx * i;
            const int sy = q.sy0 + q.ay * k + q.by * i;
            SetPackedIndex(dst, k, depth, GetPackedIndex(source.Line(sy), sx, depth));
        }
        progress.Row(i);
    }
}

} // namespace

void RotateAnyAngle(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map,
                    std::uint32_t background, const CRowProgress& progress) {
    switch (source.Depth()) {
    case 32:
        return RotateRows<std::uint32_t>(source, destination, map, background, progress);
    case 24: {
        const Px24 px{{std::uint8_t(background), std::uint8_t(background >> 8),
                       std::uint8_t(background >> 16)}};
        return RotateRows<Px24>(source, destination, map, px, progress);
    }
    case 8:
        return RotateRows<std::uint8_t>(source, destination, map, std::uint8_t(background),
                                        progress);
    default:
        return RotateRowsPacked(source, destination, map, background, progress);
    }
}

bool RotateQuarterTurns(const CImageBitmap& source, CImageBitmap& destination,
                        const RotationMap& map, const CRowProgress& progress) {
    const double rc = std::round(map.c);
    const double rs = std::round(map.s);
    if (std::abs(rc) + std::abs(rs) != 1.0)
        return false;
    // The double formula stays within 0.5 of rc * X + rs * Y (and rc * Y - rs * X) while the
    // cosine and sine errors times the largest coordinates do; keep well inside that.
    const int maxX = destination.Width() - 1 + map.minX;
    const int maxY = destination.Height() - 1 + map.minY;
    const double reach = std::max(std::abs(map.minX), std::abs(maxX)) +
                         std::max(std::abs(map.minY), std::abs(maxY)) + 1.0;
    if (std::max(std::abs(map.c - rc), std::abs(map.s - rs)) * reach >= 0.25)
        return false;
    const int c = int(rc);
    const int s = int(rs);
    const QuarterSteps q{c * map.minX + s * map.minY, c * map.minY - s * map.minX, c, s, -s, c};
    // The destination is the turned source's bounding box, so its corners sample the source's
    // corners; check them all the same.
    for (int k : {0, destination.Width() - 1})
        for (int i : {0, destination.Height() - 1}) {
            const int sx = q.sx0 + q.ax * k + q.bx * i;
            const int sy = q.sy0 + q.ay * k + q.by * i;
            if (sx < 0 || sx >= source.Width() || sy < 0 || sy >= source.Height())
                return false;
        }
    switch (source.Depth()) {
    case 32:
        CopyQuarter<std::uint32_t>(source, destination, q, progress);
        break;
    case 24:
        CopyQuarter<Px24>(source, destination, q, progress);
        break;
    case 8:
        CopyQuarter<std::uint8_t>(source, destination, q, progress);
        break;
    default:
        CopyQuarterPacked(source, destination, q, progress);
        break;
    }
    return true;
}

} // namespace img
