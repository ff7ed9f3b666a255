// SPDX-License-Identifier: MIT
// Format recognition by leading bytes, in the loader's fixed order.
#include "codecs/PictureFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

// Recognition looks at this many leading bytes; the PICT test alone reaches past them, to the
// version opcode that follows the 512-byte PICT file header.
constexpr std::size_t kSniffBytes = 512;

bool StartsWith(std::span<const std::uint8_t> d, std::initializer_list<std::uint8_t> prefix) {
    return d.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), d.begin());
}

std::uint32_t U32LEAt(std::span<const std::uint8_t> d, std::size_t offset) {
    return std::uint32_t(d[offset]) | (std::uint32_t(d[offset + 1]) << 8) |
           (std::uint32_t(d[offset + 2]) << 16) | (std::uint32_t(d[offset + 3]) << 24);
}

bool IsTga(std::span<const std::uint8_t> d) {
    if (d.size() < 17)
        return false;
    auto in = [](std::uint8_t v, std::initializer_list<int> set) {
        return std::find(set.begin(), set.end(), int(v)) != set.end();
    };
    return d[1] < 2 && in(d[2], {0, 1, 2, 3, 9, 10, 11}) && in(d[7], {0, 8, 15, 16, 24, 32}) &&
           in(d[16], {8, 15, 16, 24, 32});
}

bool IsPict(std::span<const std::uint8_t> whole) {
    if (whole.size() <= 540)
        return false;
    const std::uint8_t* v = whole.data() + 522;
    return (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x02 && v[3] == 0xFF) ||
           (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x01) ||
           (v[0] == 0x11 && v[1] == 0x01 && v[2] == 0x01 && v[3] == 0x00);
}

bool IsEps(std::span<const std::uint8_t> d) {
    if (d.size() < 28)
        return false;
    const bool magic =
        StartsWith(d, {0xC5, 0xD0, 0xD3, 0xC6}) || StartsWith(d, {0xC6, 0xD3, 0xD0, 0xC5});
    return magic && U32LEAt(d, 20) != 0 && U32LEAt(d, 24) != 0;
}

} // namespace

namespace codec {

PictureFormat RecognizeByName(std::string_view path) {
    std::string upper(path);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    if (upper.find(".WMF") != std::string::npos)
        return PictureFormat::Wmf;
    if (upper.find(".EMF") != std::string::npos)
        return PictureFormat::Emf;
    return PictureFormat::Unknown;
}

PictureFormat RecognizeByContent(std::span<const std::uint8_t> whole) {
    const auto d = whole.first(std::min(whole.size(), kSniffBytes));
    if (StartsWith(d, {'B', 'M'}))
        return PictureFormat::Bmp;
    if (IsTga(d))
        return PictureFormat::Tga;
    if (StartsWith(d, {0x49, 0x49, 0x2A, 0x00}) || StartsWith(d, {0x4D, 0x4D, 0x00, 0x2A}))
        return PictureFormat::Tiff;
    if (StartsWith(d, {'G', 'I', 'F', '8'}))
        return PictureFormat::Gif;
    if (IsPict(whole))
        return PictureFormat::Pict;
    if (StartsWith(d, {0xFF, 0xD8, 0xFF}))
        return PictureFormat::Jpeg;
    if (StartsWith(d, {0x89, 0x50, 0x4E, 0x47}))
        return PictureFormat::Png;
    if (IsEps(d))
        return PictureFormat::EpsTiff;
    if (d.size() >= 3 && d[0] == 0x0A && d[2] == 0x01)
        return PictureFormat::Pcx;
    if (d.size() >= 2 && d[0] == 'P' && (d[1] == '2' || d[1] == '5'))
        return PictureFormat::Pgm;
    return PictureFormat::Unknown;
}

const char* FormatName(PictureFormat format) noexcept {
    switch (format) {
    case PictureFormat::Bmp:
        return "BMP";
    case PictureFormat::Pict:
        return "PICT";
    case PictureFormat::Tga:
        return "TGA";
    case PictureFormat::Tiff:
        return "TIFF";
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Wmf:
        return "WMF";
    case PictureFormat::Emf:
        return "EMF";
    case PictureFormat::EpsTiff:
        return "EPS-TIFF";
    case PictureFormat::Pcx:
        return "PCX";
    case PictureFormat::Pgm:
        return "PGM";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Unknown:
        break;
    }
    return "unknown";
}

const char* RecognizedTrace(PictureFormat format) noexcept {
    switch (format) {
    case PictureFormat::Bmp:
        return "Windows bitmap recognized.\n";
    case PictureFormat::Pict:
        return "Mac PICT recognized.\n";
    case PictureFormat::Tga:
        return "TGA file recognized.\n";
    case PictureFormat::Tiff:
        return "TIFF file recognized.\n";
    case PictureFormat::Jpeg:
        return "JPEG file recognized.\n";
    case PictureFormat::Png:
        return "PNG file recognized.\n";
    case PictureFormat::EpsTiff:
        return "TIFF preview in EPS file recognized.\n";
    case PictureFormat::Wmf:
        return "WMF file recognized.\n";
    case PictureFormat::Emf:
        return "EMF file recognized.\n";
    case PictureFormat::Pcx:
        return "PCX file recognized.\n";
    case PictureFormat::Pgm:
        return "PGM file recognized.\n";
    case PictureFormat::Gif:
        return "GIF file recognized.\n";
    case PictureFormat::Unknown:
        break;
    }
    return "";
}

} // namespace codec
