// SPDX-License-Identifier: MIT
#include "image/RotateKernels.h"

#include "image/Avx2Kernels.h"

#include "image/FilterSupport.h"
#include "image/ImageBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
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
void SampleRun(const RotationMap& map, int i, int k0, int count, int* IMG_RESTRICT sx, int* IMG_RESTRICT sy) noexcept {
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

// Destination tiles of kBand rows by kRun columns keep the source rows one tile reads few
// enough for the caches and the address translation buffers.
constexpr int kBand = 16;
constexpr int kRun = 128;
constexpr int kQuarterRun = 64;

template <class Px>
void RotateRows(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map, Px background,
                const CRowProgress& progress) {
    const RowsOf rows(source);
    const unsigned width = unsigned(source.Width());
    const unsigned height = unsigned(source.Height());
    const int destWidth = destination.Width();
    const int destHeight = destination.Height();
    int sx[kRun];
    int sy[kRun];
    for (int i0 = 0; i0 < destHeight; i0 += kBand) {
        const int band = std::min(kBand, destHeight - i0);
        for (int k0 = 0; k0 < destWidth; k0 += kRun) {
            const int count = std::min(kRun, destWidth - k0);
            for (int i = i0; i < i0 + band; ++i) {
                Px* dst = destination.Row<Px>(i) + k0;
#if defined(IMG_HAVE_AVX2_KERNELS)
                if constexpr (sizeof(Px) == 4) {
                    if (avx2::Available()) {
                        const int Y = map.minY + i;
                        avx2::RotateRun32(rows.base, rows.pitch, int(width), int(height), map.c, map.s, map.s * Y,
                                          map.c * Y, map.minX + k0, count, background, dst);
                        continue;
                    }
                }
#endif
                SampleRun(map, i, k0, count, sx, sy);
                for (int k = 0; k < count; ++k) {
                    if (unsigned(sx[k]) < width && unsigned(sy[k]) < height)
                        std::memcpy(&dst[k], rows.Row(sy[k]) + std::size_t(sx[k]) * sizeof(Px), sizeof(Px));
                    else
                        dst[k] = background;
                }
            }
        }
        for (int i = i0; i < i0 + band; ++i)
            progress.Row(i);
    }
}

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
                SetPackedIndex(dst, k0 + k, depth, inside ? GetPackedIndex(source.Line(sy[k]), sx[k], depth) : background);
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
    auto sourceAt = [&](int sx, int sy) { return reinterpret_cast<const std::uint32_t*>(rows.Row(sy)) + sx; };
    auto copyPixel = [&](int k, int i) {
        destination.Row<std::uint32_t>(i)[k] = *sourceAt(q.sx0 + q.bx * i, q.sy0 + q.ay * k);
    };
    const int fullHeight = destHeight / 8 * 8;
    const int fullWidth = destWidth / 8 * 8;
    for (int i0 = 0; i0 < destHeight; i0 += kSideways) {
        const int i1 = std::min(destHeight, i0 + kSideways);
        for (int k0 = 0; k0 < destWidth; k0 += kSideways) {
            const int k1 = std::min(destWidth, k0 + kSideways);
            for (int i = i0; i < std::min(i1, fullHeight); i += 8) {
                for (int k = k0; k < std::min(k1, fullWidth); k += 8) {
                    const std::uint32_t* src[8];
                    std::uint32_t* dst[8];
                    for (int r = 0; r < 8; ++r) {
                        src[r] = sourceAt(q.sx0 + q.bx * i, q.sy0 + q.ay * (k + r));
                        dst[r] = destination.Row<std::uint32_t>(i + r) + k;
                    }
                    avx2::Transpose8x8(src, q.bx < 0, dst);
                }
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
    case 32: return RotateRows<std::uint32_t>(source, destination, map, background, progress);
    case 24: {
        const Px24 px{{std::uint8_t(background), std::uint8_t(background >> 8), std::uint8_t(background >> 16)}};
        return RotateRows<Px24>(source, destination, map, px, progress);
    }
    case 8: return RotateRows<std::uint8_t>(source, destination, map, std::uint8_t(background), progress);
    default: return RotateRowsPacked(source, destination, map, background, progress);
    }
}

bool RotateQuarterTurns(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map,
                        const CRowProgress& progress) {
    const double rc = std::round(map.c);
    const double rs = std::round(map.s);
    if (std::abs(rc) + std::abs(rs) != 1.0)
        return false;
    // The double formula stays within 0.5 of rc * X + rs * Y (and rc * Y - rs * X) while the
    // cosine and sine errors times the largest coordinates do; keep well inside that.
    const int maxX = destination.Width() - 1 + map.minX;
    const int maxY = destination.Height() - 1 + map.minY;
    const double reach = std::max(std::abs(map.minX), std::abs(maxX)) + std::max(std::abs(map.minY), std::abs(maxY)) + 1.0;
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
    case 32: CopyQuarter<std::uint32_t>(source, destination, q, progress); break;
    case 24: CopyQuarter<Px24>(source, destination, q, progress); break;
    case 8: CopyQuarter<std::uint8_t>(source, destination, q, progress); break;
    default: CopyQuarterPacked(source, destination, q, progress); break;
    }
    return true;
}

} // namespace img
