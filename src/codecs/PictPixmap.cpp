// SPDX-License-Identifier: MIT
// The bitmap opcodes of Mac PICT pictures.
#include "codecs/PictPixmap.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/PixelRows.h"
#include "image/ImageBitmap.h"
#include "image/TextException.h"

#include <algorithm>
#include <cstring>

namespace codec::pict {

namespace {

constexpr const char* kBadBpp = "Bad bits per pixel in expandBuf.";
constexpr const char* kBadPatternBpp = "Bad bits per pixel in expandBuf8.";
constexpr const char* kPatternType = "Unknown pattern type in pixPat.";
constexpr const char* kIndexTooLarge = "pixel value greater than colour table size.";
constexpr const char* kBadRecord = "Error decoding pict: Damaged bitmap record.";
constexpr const char* kBadPacking = "Error decoding pict: Damaged packed row.";

[[noreturn]] void Fail(int code, const char* text) {
    throw CTextException(code, text);
}

std::int16_t S16(CDataSource& source) {
    return std::int16_t(source.U16BE());
}

// The fields of a PixMap after its row bytes and bounds.
struct PixMapFields {
    int packType = 0;
    int pixelSize = 1;
    int componentCount = 1;
};

PixMapFields ReadPixMapFields(CDataSource& source) {
    PixMapFields f;
    source.Skip(2); // version
    f.packType = source.U16BE();
    source.Skip(4 + 8 + 2); // pack size, resolutions, pixel type
    f.pixelSize = source.U16BE();
    f.componentCount = source.U16BE();
    source.Skip(2 + 4 + 4 + 4); // component size, plane bytes, table handle, reserved
    return f;
}

// A 16-bit colour channel to the nearest 8-bit value (taking the high byte alone darkens
// colours such as 0x2CBC, which lies nearer to 0x2D2D than to 0x2C2C).
std::uint8_t Narrow(const std::uint8_t* be16) {
    const unsigned v = (unsigned(be16[0]) << 8) | be16[1];
    return std::uint8_t((v * 255u + 32767u) / 65535u);
}

// Returns how many entries the pixels may use.
unsigned ReadColorTable(CDataSource& source, std::array<RGBQuad, 256>& palette) {
    source.Skip(4); // seed
    const bool byPosition = (source.U16BE() & 0x8000) != 0;
    const unsigned count = (source.U16BE() + 1u) & 0xFFFF;
    const std::uint8_t* table = source.Read(std::size_t(count) * 8);
    unsigned used = 0;
    for (unsigned i = 0; i < count; ++i, table += 8) {
        const unsigned index = byPosition ? i : ((table[0] << 8) | table[1]);
        if (index > 255)
            continue;
        palette[index] = RGBQuad{Narrow(table + 6), Narrow(table + 4), Narrow(table + 2), 255};
        used = std::max(used, index + 1);
    }
    return used;
}

// PackBits: n < 128 copies n + 1 units, n > 128 repeats the next unit 257 - n times, 128 does
// nothing. A row that decodes short is filled with zeros; one that decodes long is damaged.
void UnpackBits(const std::uint8_t* in, std::size_t inBytes, std::uint8_t* out,
                std::size_t outBytes, std::size_t unit) {
    std::size_t i = 0, o = 0;
    while (i < inBytes) {
        const unsigned n = in[i++];
        if (n == 128)
            continue;
        const std::size_t units = n < 128 ? n + 1 : 257 - n;
        const std::size_t bytes = units * unit;
        if (o + bytes > outBytes || (n < 128 ? i + bytes : i + unit) > inBytes)
            Fail(7, kBadPacking);
        if (n < 128) {
            std::memcpy(out + o, in + i, bytes);
            i += bytes;
        } else {
            for (std::size_t k = 0; k < units; ++k)
                std::memcpy(out + o + k * unit, in + i, unit);
            i += unit;
        }
        o += bytes;
    }
    std::memset(out + o, 0, outBytes - o);
}

// Rows of rowBytes each: packed (with a byte count before each row) unless the rows are short.
// Packed rows decode to outBytes (rowBytes unless planes make them longer); the row bytes
// decide whether rows are packed at all and how wide their byte counts are.
class CRowReader {
public:
    CRowReader(CDataSource& source, std::size_t rowBytes, std::size_t outBytes, std::size_t height,
               bool packed, std::size_t unit)
        : m_source(source), m_nRowBytes(rowBytes), m_nOutBytes(outBytes),
          m_bPacked(packed && rowBytes >= 8), m_nUnit(unit) {
        // The least data the rows could take, checked before anything is allocated for them: a
        // packed row may be no more than its byte count (rows that decode short are padded).
        const std::size_t countBytes = rowBytes > 250 ? 2 : 1;
        const std::size_t perRow = m_bPacked ? countBytes : rowBytes;
        codec::RequireRemaining(source, codec::CheckedMul(perRow, height));
        m_row.resize(outBytes);
    }

    const std::uint8_t* Next() {
        if (!m_bPacked)
            return m_source.Read(m_nRowBytes);
        const std::size_t count = m_nRowBytes > 250 ? m_source.U16BE() : m_source.U8();
        UnpackBits(m_source.Read(count), count, m_row.data(), m_nOutBytes, m_nUnit);
        return m_row.data();
    }

private:
    CDataSource& m_source;
    std::size_t m_nRowBytes;
    std::size_t m_nOutBytes;
    bool m_bPacked;
    std::size_t m_nUnit;
    std::vector<std::uint8_t> m_row;
};

void CheckBounds(const Rect& bounds, int bitsPerPixel, std::size_t rowBytes, std::size_t limit) {
    if (bounds.Width() <= 0 || bounds.Height() <= 0)
        Fail(7, kBadRecord);
    codec::CheckImageSize(bounds.Width(), bounds.Height(), bitsPerPixel <= 8 ? 8 : 32, limit);
    if (rowBytes < CImageBitmap::PackedRowBytes(bounds.Width(), bitsPerPixel))
        Fail(7, kBadRecord);
}

void ReadIndexedPixels(CDataSource& source, Pixmap& map, std::size_t rowBytes, bool packed,
                       unsigned entries) {
    const int width = map.bounds.Width(), height = map.bounds.Height();
    map.indexes.resize(std::size_t(width) * std::size_t(height));
    CRowReader rows(source, rowBytes, rowBytes, std::size_t(height), packed, 1);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = map.indexes.data() + std::size_t(y) * std::size_t(width);
        codec::UnpackIndexes(rows.Next(), map.bitsPerPixel, width, out);
        if (codec::MaxIndex(out, width) >= entries)
            Fail(7, kIndexTooLarge);
    }
}

// 16 bits: x rrrrr ggggg bbbbb, most significant byte first, each channel widened by repeating
// its top bits. 32 bits: planes of red, green, blue (after alpha when there are four), or
// unpacked 4-byte pixels (x, red, green, blue) or 3-byte ones.
void ReadDirectPixels(CDataSource& source, Pixmap& map, std::size_t rowBytes,
                      const PixMapFields& f) {
    const int width = map.bounds.Width(), height = map.bounds.Height();
    map.colors.resize(std::size_t(width) * std::size_t(height));
    const bool sixteen = map.bitsPerPixel == 16;
    const bool planes = !sixteen && (f.packType == 0 || f.packType == 4) && rowBytes >= 8;
    const int components = f.componentCount == 4 ? 4 : 3;
    const std::size_t bytesPerPixel = sixteen           ? 2
                                      : planes          ? std::size_t(components)
                                      : f.packType == 2 ? 3
                                                        : 4;
    const std::size_t needed = std::size_t(width) * bytesPerPixel;
    if (!planes && needed > rowBytes)
        Fail(7, kBadRecord);
    const bool packed = sixteen ? f.packType != 1 : planes;
    CRowReader rows(source, rowBytes, std::max(rowBytes, needed), std::size_t(height), packed,
                    sixteen ? 2 : 1);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* IMG_RESTRICT in = rows.Next();
        RGBQuad* IMG_RESTRICT out = map.colors.data() + std::size_t(y) * std::size_t(width);
        if (sixteen) {
            for (int x = 0; x < width; ++x) {
                const unsigned w = (in[2 * x] << 8) | in[2 * x + 1];
                const auto widen = [](unsigned v) { return std::uint8_t((v << 3) | (v >> 2)); };
                out[x] = RGBQuad{widen(w & 31), widen((w >> 5) & 31), widen((w >> 10) & 31), 255};
            }
        } else if (planes) {
            const std::uint8_t* red = in + std::size_t(components - 3) * std::size_t(width);
            for (int x = 0; x < width; ++x)
                out[x] = RGBQuad{red[2 * width + x], red[width + x], red[x], 255};
        } else if (bytesPerPixel == 3) {
            codec::RgbToBgra(in, width, out);
        } else {
            for (int x = 0; x < width; ++x)
                out[x] = RGBQuad{in[4 * x + 3], in[4 * x + 2], in[4 * x + 1], 255};
        }
    }
}

} // namespace

Rect ReadRect(CDataSource& source) {
    Rect r;
    r.top = S16(source);
    r.left = S16(source);
    r.bottom = S16(source);
    r.right = S16(source);
    return r;
}

void SkipSizedRecord(CDataSource& source) {
    const std::uint16_t size = source.U16BE();
    if (size < 2)
        Fail(7, kBadRecord);
    source.Skip(size - 2u);
}

Pixmap ReadBitsRecord(CDataSource& source, int opcode, std::size_t pixelByteLimit) {
    const bool direct = opcode == 0x9A || opcode == 0x9B;
    const bool withRegion = (opcode & 1) != 0;
    if (direct)
        source.Skip(4); // base address
    const std::uint16_t rowWord = source.U16BE();
    const std::size_t rowBytes = rowWord & 0x3FFF;
    Pixmap map;
    map.palette.fill(RGBQuad{0, 0, 0, 255});
    map.bounds = ReadRect(source);
    PixMapFields fields;
    unsigned entries = 2;
    const bool pixMap = direct || (rowWord & 0x8000) != 0;
    if (pixMap) {
        fields = ReadPixMapFields(source);
        map.bitsPerPixel = fields.pixelSize;
        if (!direct)
            entries = ReadColorTable(source, map.palette);
    } else {
        map.palette[0] = RGBQuad{255, 255, 255, 255}; // QuickDraw bitmaps: 1 is black
        map.palette[1] = RGBQuad{0, 0, 0, 255};
    }
    const int bpp = map.bitsPerPixel;
    const bool bppOk =
        direct ? bpp == 16 || bpp == 32 : bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8;
    if (!bppOk)
        Fail(7, kBadBpp);
    map.indexed = !direct;
    map.source = ReadRect(source);
    map.destination = ReadRect(source);
    source.Skip(2); // transfer mode
    if (withRegion)
        SkipSizedRecord(source);
    CheckBounds(map.bounds, bpp, rowBytes, pixelByteLimit);
    if (direct)
        ReadDirectPixels(source, map, rowBytes, fields);
    else
        ReadIndexedPixels(source, map, rowBytes, opcode >= 0x98, entries);
    return map;
}

void SkipPixPat(CDataSource& source) {
    const std::uint16_t type = source.U16BE();
    source.Skip(8); // the black-and-white pattern
    if (type == 2) {
        source.Skip(6); // dither pattern: one RGB colour
        return;
    }
    if (type != 1)
        Fail(7, kPatternType);
    const std::size_t rowBytes = source.U16BE() & 0x3FFF;
    const Rect bounds = ReadRect(source);
    const PixMapFields fields = ReadPixMapFields(source);
    const int bpp = fields.pixelSize;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8)
        Fail(7, kBadPatternBpp);
    std::array<RGBQuad, 256> palette;
    ReadColorTable(source, palette);
    if (bounds.Height() < 0 || bounds.Width() < 0 ||
        rowBytes < CImageBitmap::PackedRowBytes(bounds.Width(), bpp))
        Fail(7, kBadRecord);
    CRowReader rows(source, rowBytes, rowBytes, std::size_t(bounds.Height()), true, 1);
    for (int y = 0; y < bounds.Height(); ++y)
        rows.Next();
}

} // namespace codec::pict
