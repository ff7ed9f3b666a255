// SPDX-License-Identifier: MIT
#include "image/IntensityFilter.h"

#include "image/FilterSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct Bgr {
    std::uint8_t b, g, r;
};

// The round trip of one pixel. Everything that depends on V alone, or on V and the minimum
// alone, comes from tables filled with the same expressions; the rest is computed per pixel in
// the same order as the tables' expressions, so the result is that of the plain arithmetic.
class CIntensityKernel {
public:
    CIntensityKernel(double intensity, double offset, double exponent) {
        const double a = (intensity - 20.0) * 0.25;
        const double q = a / std::pow(255.0, exponent);
        m_bIdentity = true;
        for (int value = 0; value < 256; ++value) {
            const double adjusted = value >= offset
                                        ? value * (q * std::pow(value - offset, exponent) + 1.0)
                                        : double(value);
            m_bIdentity = m_bIdentity && adjusted == value;
            m_v[value] = adjusted / 255.0;
            m_grey[value] = img::ClampToByte(adjusted);
            m_c[value] = img::ClampToByte(m_v[value] * 255.0);
        }
        m_p.resize(256 * 256);
        for (int value = 1; value < 256; ++value)
            for (int low = 0; low < value; ++low) {
                const double s = Saturation(value, low) / 255.0;
                m_p[std::size_t(value) * 256 + std::size_t(low)] =
                    img::ClampToByte((1.0 - s) * m_v[value] * 255.0);
            }
    }

    // When no value changes (intensity 20, for one), the round trip with the slack gives back
    // every colour exactly (the tests check all of them).
    bool IsIdentity() const noexcept { return m_bIdentity; }

    Bgr Map(unsigned r, unsigned g, unsigned b) const noexcept {
        const int value = int(std::max({r, g, b}));
        const int low = int(std::min({r, g, b}));
        if (value == low) {
            const std::uint8_t grey = m_grey[value];
            return {grey, grey, grey};
        }
        const int d = value - low;
        double hue;
        if (int(r) == value)
            hue = double(int(g) - int(b)) / d;
        else if (int(g) == value)
            hue = double(int(b) - int(r)) / d + 2.0;
        else
            hue = double(int(r) - int(g)) / d + 4.0;
        hue *= 42.5;
        if (hue < 0.0)
            hue += 255.0;
        if (hue > 255.0)
            hue -= 255.0;
        const double saturation = Saturation(value, low);
        const double h = hue * 6.0 / 255.0;
        const int n = img::TruncExact(h);
        const double f = h - n;
        const double v = m_v[value];
        const double s = saturation / 255.0;
        const std::uint8_t c = m_c[value];
        const std::uint8_t p = m_p[std::size_t(value) * 256 + std::size_t(low)];
        switch (n) {
        case 0:
            return {p, img::ClampToByte(v * (1.0 - s * (1.0 - f)) * 255.0), c};
        case 1:
            return {p, c, img::ClampToByte(v * (1.0 - s * f) * 255.0)};
        case 2:
            return {img::ClampToByte(v * (1.0 - s * (1.0 - f)) * 255.0), c, p};
        case 3:
            return {c, img::ClampToByte(v * (1.0 - s * f) * 255.0), p};
        case 4:
            return {c, p, img::ClampToByte(v * (1.0 - s * (1.0 - f)) * 255.0)};
        case 5:
            return {img::ClampToByte(v * (1.0 - s * f) * 255.0), p, c};
        default: // hue stays within 0..255, so n never gets here
            return {m_grey[value], img::ClampToByte(saturation), img::ClampToByte(hue)};
        }
    }

    static double Saturation(int value, int low) noexcept {
        return double((value - low) * 255) / value;
    }

private:
    bool m_bIdentity = false;
    std::array<double, 256> m_v{};
    std::array<std::uint8_t, 256> m_grey{};
    std::array<std::uint8_t, 256> m_c{};
    std::vector<std::uint8_t> m_p;
};

template <int Step>
void MapRow(const CIntensityKernel& kernel, const std::uint8_t* IMG_RESTRICT src,
            std::uint8_t* IMG_RESTRICT dst, int width) {
    // Screens and drawings repeat colours along a row: remember the last one.
    unsigned lastKey = ~0u;
    Bgr last{};
    for (int x = 0; x < width; ++x, src += Step, dst += Step) {
        const unsigned key = unsigned(src[0]) | (unsigned(src[1]) << 8) | (unsigned(src[2]) << 16);
        if (key != lastKey) {
            last = kernel.Map(src[2], src[1], src[0]);
            lastKey = key;
        }
        dst[0] = last.b;
        dst[1] = last.g;
        dst[2] = last.r;
        if constexpr (Step == 4)
            dst[3] = src[3];
    }
}

} // namespace

void CIntensityFilter::Apply(const CImageBitmap& source, CImageBitmap& destination) {
    ReportProgress(0.01);
    const int width = source.Width();
    const int height = source.Height();
    const int depth = source.Depth();
    destination.Create(width, height, depth, source.HasAlpha());
    const img::CRowProgress progress(ProgressSink(), 0.01, 0.99, height);
    const CIntensityKernel kernel(m_dIntensity, m_dOffset, m_dExponent);
    const std::size_t rowBytes = source.PixelBytesPerLine();

    if (depth <= 8) {
        const auto from = source.PaletteSpan();
        const auto to = destination.PaletteSpan();
        for (std::size_t i = 0; i < from.size(); ++i) {
            const Bgr c = kernel.Map(from[i].red, from[i].green, from[i].blue);
            to[i] = RGBQuad{c.b, c.g, c.r, from[i].reserved};
        }
    }
    for (int y = 0; y < height; ++y) {
        if (depth <= 8 || kernel.IsIdentity())
            std::memcpy(destination.Line(y), source.Line(y), rowBytes);
        else if (depth == 32)
            MapRow<4>(kernel, source.Line(y), destination.Line(y), width);
        else
            MapRow<3>(kernel, source.Line(y), destination.Line(y), width);
        progress.Row(y);
    }
    ReportProgress(1.0);
}
