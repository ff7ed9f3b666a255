// SPDX-License-Identifier: MIT
// Reader of Truevision TGA files.
#include "codecs/TGADecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/PixelRows.h"
#include "image/TextException.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kUnknownType = "Unknown TGA image type.";
constexpr const char* kIllegalSize = "TGA decoder: Illegal width or height.";
constexpr const char* kPixelSize = "TGA decoder: Pixel size not handled.";
constexpr const char* kColorMap = "TGA decoder: Colour map not handled.";
constexpr const char* kBadIndex = "TGA decoder: Palette index out of range.";
constexpr const char* kRunPastImage = "TGA decoder: Run passes the end of the image.";

[[noreturn]] void Fail(int code, const char* text) {
    throw CTextException(code, text);
}

enum class Kind { Mapped, TrueColor, Grey };

struct TgaHeader {
    int idLength = 0;
    int mapType = 0;
    int imageType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    int width = 0;
    int height = 0;
    int pixelBits = 0;
    int descriptor = 0;

    Kind kind() const {
        return imageType % 8 == 1   ? Kind::Mapped
               : imageType % 8 == 2 ? Kind::TrueColor
                                    : Kind::Grey;
    }
    bool compressed() const { return imageType >= 9; }
    int pixelBytes() const { return (pixelBits + 7) / 8; }
    // Attribute (alpha) bits per pixel, as the descriptor counts them.
    bool hasAlpha() const {
        return (descriptor & 0x0F) != 0 && (pixelBits == 16 || pixelBits == 32);
    }
    bool topDown() const { return (descriptor & 0x20) != 0; }
    bool rightToLeft() const { return (descriptor & 0x10) != 0; }
};

TgaHeader ReadHeader(CDataSource& source) {
    const std::uint8_t* h = source.Read(18);
    auto word = [h](int at) { return h[at] | (h[at + 1] << 8); };
    TgaHeader header;
    header.idLength = h[0];
    header.mapType = h[1];
    header.imageType = h[2];
    header.mapFirst = word(3);
    header.mapLength = word(5);
    header.mapEntryBits = h[7];
    header.width = word(12);
    header.height = word(14);
    header.pixelBits = h[16];
    header.descriptor = h[17];
    return header;
}

void CheckHeader(const TgaHeader& h) {
    const int t = h.imageType;
    if (t != 1 && t != 2 && t != 3 && t != 9 && t != 10 && t != 11)
        Fail(2, kUnknownType);
    if (h.mapType > 1)
        Fail(2, kColorMap);
    const int bits = h.pixelBits;
    const bool sizeOk = h.kind() == Kind::Mapped ? bits == 8
                        : h.kind() == Kind::Grey
                            ? bits == 8 || bits == 16
                            : bits == 15 || bits == 16 || bits == 24 || bits == 32;
    if (!sizeOk)
        Fail(2, kPixelSize);
    if (h.kind() == Kind::Mapped && h.mapType == 1) {
        const int e = h.mapEntryBits;
        if (e != 15 && e != 16 && e != 24 && e != 32)
            Fail(2, kColorMap);
    }
    if (h.width == 0 || h.height == 0)
        Fail(7, kIllegalSize);
}

// 15 and 16-bit words: 5 bits each of red, green, blue, widened by a shift; bit 15 is the
// attribute (alpha) bit.
inline RGBQuad FromWord(unsigned w, bool alpha) {
    return RGBQuad{std::uint8_t((w & 0x1F) << 3), std::uint8_t(((w >> 5) & 0x1F) << 3),
                   std::uint8_t(((w >> 10) & 0x1F) << 3),
                   std::uint8_t(!alpha || (w & 0x8000) ? 255 : 0)};
}

struct Palette {
    std::array<RGBQuad, 256> entries{};
    int low = 0; // indexes low..high-1 are in the map
    int high = 0;
};

Palette ReadColorMap(CDataSource& source, const TgaHeader& h) {
    Palette palette;
    palette.entries.fill(RGBQuad{0, 0, 0, 255});
    if (h.kind() == Kind::Grey) {
        CImageBitmap::InstallDefaultPalette(palette.entries);
        palette.high = 256;
    }
    if (h.mapType != 1)
        return palette;
    const std::size_t entryBytes = std::size_t(h.mapEntryBits + 7) / 8;
    const std::uint8_t* map = source.Read(std::size_t(h.mapLength) * entryBytes);
    if (h.kind() != Kind::Mapped)
        return palette; // a map beside true-colour or grey pixels is not used
    palette.low = std::min(h.mapFirst, 256);
    palette.high = std::min(h.mapFirst + h.mapLength, 256);
    for (int i = palette.low; i < palette.high; ++i, map += entryBytes) {
        RGBQuad& e = palette.entries[std::size_t(i)];
        if (entryBytes == 2)
            e = FromWord(map[0] | (map[1] << 8), false);
        else
            e = RGBQuad{map[0], map[1], map[2], entryBytes == 4 ? map[3] : std::uint8_t(255)};
    }
    return palette;
}

// Converts rows of file pixels into the bitmap, in the file's row and column order.
class CRowConverter {
public:
    CRowConverter(CImageBitmap& bitmap, const TgaHeader& header, const Palette& palette)
        : m_bitmap(bitmap), m_header(header), m_palette(palette) {}

    void Put(int fileRow, const std::uint8_t* src) {
        const int y = m_header.topDown() ? fileRow : m_header.height - 1 - fileRow;
        const int width = m_header.width;
        if (m_header.pixelBits == 8) {
            if (m_header.kind() == Kind::Mapped)
                CheckIndexes(src);
            if (m_bitmap.Depth() == 8)
                std::memcpy(m_bitmap.Line(y), src, std::size_t(width));
            else
                codec::ExpandIndexes(src, width, m_palette.entries.data(),
                                     m_bitmap.Row<RGBQuad>(y));
        } else {
            ConvertTrueColor(src, m_bitmap.Row<RGBQuad>(y));
        }
        if (m_header.rightToLeft()) {
            if (m_bitmap.Depth() == 8)
                std::reverse(m_bitmap.Line(y), m_bitmap.Line(y) + width);
            else
                std::reverse(m_bitmap.Row<RGBQuad>(y), m_bitmap.Row<RGBQuad>(y) + width);
        }
    }

private:
    void CheckIndexes(const std::uint8_t* src) const {
        const auto [low, high] = std::minmax_element(src, src + m_header.width);
        if (*low < m_palette.low || *high >= m_palette.high)
            Fail(7, kBadIndex);
    }

    void ConvertTrueColor(const std::uint8_t* IMG_RESTRICT src, RGBQuad* IMG_RESTRICT dst) const {
        const int width = m_header.width;
        const bool alpha = m_header.hasAlpha();
        if (m_header.kind() == Kind::Grey) { // 16 bits: grey, then alpha
            for (int x = 0; x < width; ++x, src += 2)
                dst[x] = RGBQuad{src[0], src[0], src[0], alpha ? src[1] : std::uint8_t(255)};
            return;
        }
        switch (m_header.pixelBits) {
        case 15:
        case 16:
            for (int x = 0; x < width; ++x, src += 2)
                dst[x] = FromWord(src[0] | (src[1] << 8), alpha);
            break;
        case 24:
            codec::BgrToBgra(src, width, dst);
            break;
        default:
            if (alpha) {
                std::memcpy(dst, src, std::size_t(width) * 4);
            } else {
                for (int x = 0; x < width; ++x, src += 4)
                    dst[x] = RGBQuad{src[0], src[1], src[2], 255};
            }
            break;
        }
    }

    CImageBitmap& m_bitmap;
    const TgaHeader& m_header;
    const Palette& m_palette;
};

template <std::size_t Bytes>
void FillPixels(std::uint8_t* IMG_RESTRICT dst, const std::uint8_t* IMG_RESTRICT value,
                std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, dst += Bytes)
        std::memcpy(dst, value, Bytes);
}

void FillPixels(std::uint8_t* dst, const std::uint8_t* value, std::size_t count,
                std::size_t bytes) {
    switch (bytes) {
    case 1:
        std::memset(dst, *value, count);
        break;
    case 2:
        FillPixels<2>(dst, value, count);
        break;
    case 3:
        FillPixels<3>(dst, value, count);
        break;
    default:
        FillPixels<4>(dst, value, count);
        break;
    }
}

// Packets may run on from one row into the next; a packet past the last row fails.
void DecodeRunLength(CDataSource& source, const TgaHeader& h, CRowConverter& converter) {
    const std::size_t pixelBytes = std::size_t(h.pixelBytes());
    const std::size_t rowPixels = std::size_t(h.width);
    std::vector<std::uint8_t> row(rowPixels * pixelBytes);
    std::size_t filled = 0; // pixels of the current row
    int fileRow = 0;
    while (fileRow < h.height) {
        const std::uint8_t packet = source.U8();
        const bool repeat = (packet & 0x80) != 0;
        std::size_t left = repeat ? std::size_t(packet) - 127 : std::size_t(packet) + 1;
        const std::uint8_t* value = source.Read(repeat ? pixelBytes : left * pixelBytes);
        while (left) {
            if (fileRow >= h.height)
                Fail(7, kRunPastImage);
            const std::size_t n = std::min(left, rowPixels - filled);
            std::uint8_t* dst = row.data() + filled * pixelBytes;
            if (repeat) {
                FillPixels(dst, value, n, pixelBytes);
            } else {
                std::memcpy(dst, value, n * pixelBytes);
                value += n * pixelBytes;
            }
            filled += n;
            left -= n;
            if (filled == rowPixels) {
                converter.Put(fileRow++, row.data());
                filled = 0;
            }
        }
    }
}

} // namespace

void CTGADecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    const TgaHeader header = ReadHeader(source);
    CheckHeader(header);
    const int resultDepth = codec::ResultDepth(depth, header.pixelBits);
    codec::CheckImageSize(header.width, header.height, resultDepth, PixelByteLimit());
    source.Skip(std::size_t(header.idLength));
    const Palette palette = ReadColorMap(source, header);

    const std::size_t pixels = std::size_t(header.width) * std::size_t(header.height);
    const std::size_t pixelBytes = std::size_t(header.pixelBytes());
    // The least data that could hold the image: every pixel stored, or packets of 128 repeats.
    codec::RequireRemaining(source, header.compressed() ? pixels / 128 * (1 + pixelBytes)
                                                        : pixels * pixelBytes);

    bitmap.Create(header.width, header.height, resultDepth, header.hasAlpha());
    if (resultDepth == 8)
        std::copy(palette.entries.begin(), palette.entries.end(), bitmap.Palette());
    CRowConverter converter(bitmap, header, palette);
    if (header.compressed()) {
        DecodeRunLength(source, header, converter);
    } else {
        for (int fileRow = 0; fileRow < header.height; ++fileRow)
            converter.Put(fileRow, source.Read(std::size_t(header.width) * pixelBytes));
    }
}
