// SPDX-License-Identifier: MIT
#include "image/ColorQuantizer.h"

#include "image/ImageBitmap.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxColors = 256;
constexpr int kBins = 32 * 32 * 32; // 5 bits per channel

struct Rgb {
    int r, g, b;
};

// Reads pixel x of a 24- or 32-bpp row as 0x00RRGGBB.
std::uint32_t PixelAt(const std::uint8_t* row, int x, int bytesPerPixel) noexcept {
    const std::uint8_t* p = row + std::size_t(x) * std::size_t(bytesPerPixel);
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
}

int BinOf(std::uint32_t rgb) noexcept {
    const int b = int(rgb & 0xFF) >> 3, g = int((rgb >> 8) & 0xFF) >> 3,
              r = int((rgb >> 16) & 0xFF) >> 3;
    return (r << 10) | (g << 5) | b;
}

// Small open-addressing set of up to 256 colours; gives up when there are more.
class CExactPalette {
public:
    bool Collect(const CImageBitmap& source, int bytesPerPixel) {
        m_keys.fill(kEmpty);
        for (int y = 0; y < source.Height(); ++y) {
            const std::uint8_t* row = source.Line(y);
            std::uint32_t last = kEmpty;
            for (int x = 0; x < source.Width(); ++x) {
                const std::uint32_t c = PixelAt(row, x, bytesPerPixel);
                if (c != last && !Insert(c))
                    return false;
                last = c;
            }
        }
        return true;
    }
    int Count() const noexcept { return m_nCount; }
    std::uint32_t Color(int i) const noexcept { return m_colors[std::size_t(i)]; }
    int IndexOf(std::uint32_t c) const noexcept { return m_index[Slot(c)]; }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    static constexpr std::size_t kSlots = 1024;

    std::size_t Slot(std::uint32_t c) const noexcept {
        std::size_t s = (c * 2654435761u) >> 22;
        while (m_keys[s] != c && m_keys[s] != kEmpty)
            s = (s + 1) & (kSlots - 1);
        return s;
    }
    bool Insert(std::uint32_t c) {
        const std::size_t s = Slot(c);
        if (m_keys[s] == c)
            return true;
        if (m_nCount == kMaxColors)
            return false;
        m_keys[s] = c;
        m_index[s] = m_nCount;
        m_colors[std::size_t(m_nCount++)] = c;
        return true;
    }

    std::array<std::uint32_t, kSlots> m_keys{};
    std::array<int, kSlots> m_index{};
    std::array<std::uint32_t, kMaxColors> m_colors{};
    int m_nCount = 0;
};

struct Histogram {
    std::vector<std::uint32_t> count = std::vector<std::uint32_t>(kBins);
    std::vector<std::uint64_t> sum[3] = {std::vector<std::uint64_t>(kBins),
                                         std::vector<std::uint64_t>(kBins),
                                         std::vector<std::uint64_t>(kBins)};
};

struct Box {
    int lo[3], hi[3]; // inclusive bin coordinates r, g, b
    std::uint64_t population = 0;
};

int BinIndex(int r, int g, int b) noexcept {
    return (r << 10) | (g << 5) | b;
}

template <class Fn> void ForEachBin(const Box& box, Fn fn) {
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b)
                fn(r, g, b, BinIndex(r, g, b));
}

void ShrinkAndCount(Box& box, const Histogram& h) {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    std::uint64_t population = 0;
    ForEachBin(box, [&](int r, int g, int b, int i) {
        if (!h.count[std::size_t(i)])
            return;
        population += h.count[std::size_t(i)];
        const int c[3] = {r, g, b};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], c[k]);
            hi[k] = std::max(hi[k], c[k]);
        }
    });
    box.population = population;
    if (population)
        for (int k = 0; k < 3; ++k) {
            box.lo[k] = lo[k];
            box.hi[k] = hi[k];
        }
}

int LongestAxis(const Box& box) noexcept {
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis])
            axis = k;
    return axis;
}

// Splits box at the population median of its longest axis; false when it cannot be split.
bool Split(Box& box, Box& upper, const Histogram& h) {
    const int axis = LongestAxis(box);
    if (box.hi[axis] == box.lo[axis])
        return false;
    std::vector<std::uint64_t> slice(32, 0);
    ForEachBin(box, [&](int r, int g, int b, int i) {
        const int c[3] = {r, g, b};
        slice[std::size_t(c[axis])] += h.count[std::size_t(i)];
    });
    std::uint64_t running = 0;
    int cut = box.lo[axis];
    for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
        running += slice[std::size_t(v)];
        cut = v;
        if (running * 2 >= box.population)
            break;
    }
    upper = box;
    box.hi[axis] = cut;
    upper.lo[axis] = cut + 1;
    ShrinkAndCount(box, h);
    ShrinkAndCount(upper, h);
    return true;
}

std::vector<Box> MedianCut(const Histogram& h) {
    std::vector<Box> boxes(1, Box{{0, 0, 0}, {31, 31, 31}, 0});
    ShrinkAndCount(boxes[0], h);
    std::vector<bool> splittable(1, true);
    while (boxes.size() < std::size_t(kMaxColors)) {
        // Split where the most pixels sit in the widest range: keeps busy areas accurate.
        std::size_t best = boxes.size();
        std::uint64_t bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            const std::uint64_t extent = std::uint64_t(b.hi[LongestAxis(b)] - b.lo[LongestAxis(b)]);
            const std::uint64_t score = b.population * extent;
            if (splittable[i] && score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best == boxes.size())
            break;
        Box upper{};
        if (!Split(boxes[best], upper, h)) {
            splittable[best] = false;
            continue;
        }
        boxes.push_back(upper);
        splittable.push_back(true);
    }
    return boxes;
}

RGBQuad MeanColor(const Box& box, const Histogram& h) {
    std::uint64_t s[3] = {0, 0, 0};
    ForEachBin(box, [&](int, int, int, int i) {
        for (int k = 0; k < 3; ++k)
            s[k] += h.sum[k][std::size_t(i)];
    });
    const std::uint64_t n = std::max<std::uint64_t>(box.population, 1);
    auto mean = [&](int k) { return std::uint8_t((s[k] + n / 2) / n); };
    return RGBQuad{mean(2), mean(1), mean(0), 255};
}

int Nearest(const RGBQuad* palette, int count, int r, int g, int b) noexcept {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const int dr = palette[i].red - r, dg = palette[i].green - g, db = palette[i].blue - b;
        const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Palette index for every 5-5-5 bin, computed lazily (most bins never occur).
class CBinMap {
public:
    CBinMap(const RGBQuad* palette, int count)
        : m_palette(palette), m_nCount(count), m_map(kBins, -1) {}
    int Index(int r, int g, int b) {
        int& slot = m_map[std::size_t(BinIndex(r >> 3, g >> 3, b >> 3))];
        if (slot < 0)
            slot = Nearest(m_palette, m_nCount, (r & ~7) | 4, (g & ~7) | 4, (b & ~7) | 4);
        return slot;
    }

private:
    const RGBQuad* m_palette;
    int m_nCount;
    std::vector<int> m_map;
};

void MapExact(const CImageBitmap& source, CImageBitmap& target, int bpp,
              const CExactPalette& colors) {
    RGBQuad* palette = target.Palette();
    for (int i = 0; i < colors.Count(); ++i) {
        const std::uint32_t c = colors.Color(i);
        palette[i] = RGBQuad{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 255};
    }
    for (int i = colors.Count(); i < kMaxColors; ++i)
        palette[i] = RGBQuad{0, 0, 0, 255};
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Line(y);
        std::uint8_t* out = target.Line(y);
        for (int x = 0; x < source.Width(); ++x)
            out[x] = std::uint8_t(colors.IndexOf(PixelAt(row, x, bpp)));
    }
}

void MapNearest(const CImageBitmap& source, CImageBitmap& target, int bpp, CBinMap& bins) {
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Line(y);
        std::uint8_t* out = target.Line(y);
        for (int x = 0; x < source.Width(); ++x) {
            const std::uint8_t* p = row + std::size_t(x) * std::size_t(bpp);
            out[x] = std::uint8_t(bins.Index(p[2], p[1], p[0]));
        }
    }
}

void MapDithered(const CImageBitmap& source, CImageBitmap& target, int bpp, CBinMap& bins) {
    const int w = source.Width();
    const RGBQuad* palette = target.Palette();
    // Error rows in sixteenths, one pixel of margin each side.
    std::vector<int> current(std::size_t(w + 2) * 3, 0), next(std::size_t(w + 2) * 3, 0);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Line(y);
        std::uint8_t* out = target.Line(y);
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = row + std::size_t(x) * std::size_t(bpp);
            int* e = &current[std::size_t(x + 1) * 3];
            const int r = std::clamp(p[2] + e[0] / 16, 0, 255);
            const int g = std::clamp(p[1] + e[1] / 16, 0, 255);
            const int b = std::clamp(p[0] + e[2] / 16, 0, 255);
            const int index = bins.Index(r, g, b);
            out[x] = std::uint8_t(index);
            const int err[3] = {r - palette[index].red, g - palette[index].green,
                                b - palette[index].blue};
            for (int k = 0; k < 3; ++k) {
                current[std::size_t(x + 2) * 3 + std::size_t(k)] += err[k] * 7;
                next[std::size_t(x) * 3 + std::size_t(k)] += err[k] * 3;
                next[std::size_t(x + 1) * 3 + std::size_t(k)] += err[k] * 5;
                next[std::size_t(x + 2) * 3 + std::size_t(k)] += err[k];
            }
        }
        std::swap(current, next);
    }
}

} // namespace

namespace img {

void QuantizeTo8(const CImageBitmap& source, CImageBitmap& target, int ditherMode) {
    const int bpp = source.Depth() / 8;
    auto exact = std::make_unique<CExactPalette>();
    if (exact->Collect(source, bpp))
        return MapExact(source, target, bpp, *exact);

    Histogram h;
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Line(y);
        for (int x = 0; x < source.Width(); ++x) {
            const std::uint32_t c = PixelAt(row, x, bpp);
            const auto bin = std::size_t(BinOf(c));
            ++h.count[bin];
            h.sum[0][bin] += (c >> 16) & 0xFF;
            h.sum[1][bin] += (c >> 8) & 0xFF;
            h.sum[2][bin] += c & 0xFF;
        }
    }
    const std::vector<Box> boxes = MedianCut(h);
    RGBQuad* palette = target.Palette();
    for (std::size_t i = 0; i < std::size_t(kMaxColors); ++i)
        palette[i] = i < boxes.size() ? MeanColor(boxes[i], h) : RGBQuad{0, 0, 0, 255};
    CBinMap bins(palette, int(boxes.size()));
    if (ditherMode)
        MapDithered(source, target, bpp, bins);
    else
        MapNearest(source, target, bpp, bins);
}

} // namespace img
