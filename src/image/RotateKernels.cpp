// SPDX-License-Identifier: MIT
#include "image/RotateKernels.h"

#include "image/FilterSupport.h"
#include "image/ImageBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace img {
namespace {

int SourceX(const RotationMap& map, int X, int Y) noexcept { return RoundHalfUp(map.c * X + map.s * Y); }
int SourceY(const RotationMap& map, int X, int Y) noexcept { return RoundHalfUp(map.c * Y - map.s * X); }

// Rows are equally spaced in every bitmap class; pitch may be negative (bottom-up memory).
struct RowsOf {
    explicit RowsOf(const CImageBitmap& b) noexcept
        : base(b.Line(0)), pitch(b.Height() > 1 ? b.Line(1) - b.Line(0) : 0) {}
    const std::uint8_t* Row(int y) const noexcept { return base + std::ptrdiff_t(y) * pitch; }
    const std::uint8_t* base;
    std::ptrdiff_t pitch;
};

// The sample coordinates along one destination row, in 32.32 fixed point and stepped by
// additions. Fixed point is off the double arithmetic by less than 6e-6 for any coordinate
// of a bitmap within the size limits, so its floor is the double formula's whenever the
// fraction is further than 2^-16 from a whole number; the rare samples that are not are
// computed by the formula itself.
class CFixedSampler {
public:
    static constexpr int kShift = 32;
    static constexpr std::int64_t kHalf = std::int64_t(1) << (kShift - 1);
    static constexpr std::int64_t kMask = (std::int64_t(1) << kShift) - 1;
    static constexpr std::int64_t kMargin = std::int64_t(1) << (kShift - 16);

    explicit CFixedSampler(const RotationMap& map) noexcept
        : m_c(Fixed(map.c)), m_s(Fixed(map.s)), m_map(map) {}

    // Sample coordinates of destination pixels (k, i) for k from k0 on, written to sx and sy.
    void Row(int i, int k0, int count, int* IMG_RESTRICT sx, int* IMG_RESTRICT sy) const noexcept {
        const int Y = m_map.minY + i;
        const int X0 = m_map.minX + k0;
        std::int64_t a = m_c * X0 + Fixed(m_map.s * Y) + kHalf;
        std::int64_t b = Fixed(m_map.c * Y) - m_s * X0 + kHalf;
        for (int k = 0; k < count; ++k, a += m_c, b -= m_s) {
            sx[k] = int(a >> kShift);
            sy[k] = int(b >> kShift);
            if (Near(a) || Near(b)) [[unlikely]] {
                sx[k] = SourceX(m_map, X0 + k, Y);
                sy[k] = SourceY(m_map, X0 + k, Y);
            }
        }
    }

private:
    static std::int64_t Fixed(double v) noexcept { return std::llround(std::ldexp(v, kShift)); }
    static bool Near(std::int64_t v) noexcept { return ((v + kMargin) & kMask) < 2 * kMargin; }

    std::int64_t m_c;
    std::int64_t m_s;
    RotationMap m_map;
};

template <class Px>
void RotateRows(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map, Px background,
                const CRowProgress& progress) {
    const RowsOf rows(source);
    const unsigned width = unsigned(source.Width());
    const unsigned height = unsigned(source.Height());
    const int destWidth = destination.Width();
    const CFixedSampler sampler(map);
    constexpr int kBlock = 512;
    int sx[kBlock];
    int sy[kBlock];
    for (int i = 0; i < destination.Height(); ++i) {
        Px* dst = destination.Row<Px>(i);
        for (int k0 = 0; k0 < destWidth; k0 += kBlock) {
            const int count = std::min(kBlock, destWidth - k0);
            sampler.Row(i, k0, count, sx, sy);
            for (int k = 0; k < count; ++k) {
                if (unsigned(sx[k]) < width && unsigned(sy[k]) < height)
                    std::memcpy(&dst[k0 + k], rows.Row(sy[k]) + std::size_t(sx[k]) * sizeof(Px), sizeof(Px));
                else
                    dst[k0 + k] = background;
            }
        }
        progress.Row(i);
    }
}

void RotateRowsPacked(const CImageBitmap& source, CImageBitmap& destination, const RotationMap& map,
                      unsigned background, const CRowProgress& progress) {
    const int depth = source.Depth();
    const unsigned width = unsigned(source.Width());
    const unsigned height = unsigned(source.Height());
    const int destWidth = destination.Width();
    const CFixedSampler sampler(map);
    constexpr int kBlock = 512;
    int sx[kBlock];
    int sy[kBlock];
    for (int i = 0; i < destination.Height(); ++i) {
        std::uint8_t* dst = destination.Line(i);
        for (int k0 = 0; k0 < destWidth; k0 += kBlock) {
            const int count = std::min(kBlock, destWidth - k0);
            sampler.Row(i, k0, count, sx, sy);
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
    constexpr int kBand = 64 / int(sizeof(Px)) < 16 ? 16 : 64 / int(sizeof(Px));
    Px* dstRows[kBand];
    for (int i0 = 0; i0 < destHeight; i0 += kBand) {
        const int band = std::min(kBand, destHeight - i0);
        for (int j = 0; j < band; ++j)
            dstRows[j] = destination.Row<Px>(i0 + j);
        const int sx = q.sx0 + q.bx * i0;
        for (int k = 0; k < destWidth; ++k) {
            const Px* src = sourceAt(sx, q.sy0 + q.ay * k);
            if (q.bx == 1) {
                for (int j = 0; j < band; ++j)
                    dstRows[j][k] = src[j];
            } else {
                for (int j = 0; j < band; ++j)
                    dstRows[j][k] = src[-j];
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
