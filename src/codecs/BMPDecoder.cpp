// SPDX-License-Identifier: MIT
// Reader of Windows bitmaps.
#include "codecs/BMPDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/PixelRows.h"
#include "image/TextException.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kNotABitmap = "Bitmap decoder: This isn't a bitmap.";
constexpr const char* kWrongHeaderSize = "Bitmap decoder: BITMAPINFOHEADER has wrong size.";
constexpr const char* kIllegalBpp = "Decoding bmp: Illegal bpp value.";
constexpr const char* kDeltaEscape = "Encountered delta escape.";
constexpr const char* kIllegalSize = "Bitmap decoder: Illegal width or height.";
constexpr const char* kCompression = "Bitmap decoder: Compression type not handled.";
constexpr const char* kCompressedTopDown = "Bitmap decoder: Top-down bitmaps can't be compressed.";
constexpr const char* kIllegalMasks = "Bitmap decoder: Illegal colour masks.";
constexpr const char* kBadIndex = "Bitmap decoder: Palette index out of range.";
constexpr const char* kRunPastRow = "Bitmap decoder: Run passes the end of the row.";
constexpr const char* kRunPastImage = "Bitmap decoder: Run passes the end of the image.";

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kAlphaBitFields = 6
};

[[noreturn]] void Fail(int code, const char* text) {
    throw CTextException(code, text);
}

struct BmpInfo {
    std::size_t start = 0; // where the file header began in the source
    std::uint32_t pixelOffset = 0;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive; topDown says the row order
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    bool hasMasks = false;
};

BmpInfo ReadHeaders(CDataSource& source) {
    BmpInfo info;
    info.start = source.Position();
    const std::uint8_t* magic = source.Read(2);
    if (magic[0] != 'B' || magic[1] != 'M')
        Fail(1, kNotABitmap);
    source.Skip(8); // file size and two reserved words: nothing depends on them
    info.pixelOffset = source.U32LE();
    info.headerSize = source.U32LE();
    if (info.headerSize < 40)
        Fail(2, kWrongHeaderSize);
    info.width = std::int32_t(source.U32LE());
    const std::int32_t height = std::int32_t(source.U32LE());
    info.topDown = height < 0;
    info.height = info.topDown ? -std::int64_t(height) : height;
    source.Skip(2); // planes
    info.bits = source.U16LE();
    info.compression = source.U32LE();
    source.Skip(12); // image size and resolutions
    info.colorsUsed = source.U32LE();
    source.Skip(4); // colours important
    info.hasMasks = info.compression == kBitFields || info.compression == kAlphaBitFields;
    if (info.hasMasks) {
        // Masks follow a 40-byte header and sit at the same place inside longer ones; a fourth
        // (alpha) mask exists from the 56-byte header on, or with the alpha variant.
        const bool alpha = info.compression == kAlphaBitFields || info.headerSize >= 56;
        for (int i = 0; i < (alpha ? 4 : 3); ++i)
            info.masks[std::size_t(i)] = source.U32LE();
    }
    return info;
}

void CheckFormat(const BmpInfo& info) {
    const int bits = info.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail(2, kIllegalBpp);
    const std::uint32_t c = info.compression;
    const bool handled = c == kRgb || (bits == 4 && c == kRle4) || (bits == 8 && c == kRle8) ||
                         ((bits == 16 || bits == 32) && info.hasMasks);
    if (!handled)
        Fail(2, kCompression);
    if (info.width < 1 || info.height < 1)
        Fail(7, kIllegalSize);
    if (info.topDown && (c == kRle4 || c == kRle8))
        Fail(7, kCompressedTopDown);
}

// One colour channel of a masked 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::uint8_t missing = 0; // value when the mask is empty
    std::vector<std::uint8_t> scale;

    void Init(std::uint32_t m, std::uint8_t absent) {
        mask = m;
        missing = absent;
        if (!m)
            return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
        if ((m >> shift) != (bits == 32 ? ~0u : (1u << bits) - 1))
            Fail(7, kIllegalMasks); // not one run of bits
        const int tableBits = std::min(bits, 16);
        const std::uint32_t maxValue = (1u << tableBits) - 1;
        scale.resize(std::size_t(maxValue) + 1);
        for (std::uint32_t v = 0; v <= maxValue; ++v)
            scale[v] = std::uint8_t((v * 255 + maxValue / 2) / maxValue);
    }
    std::uint8_t operator()(std::uint32_t pixel) const noexcept {
        if (!mask)
            return missing;
        std::uint32_t v = (pixel & mask) >> shift;
        if (bits > 16)
            v >>= bits - 16;
        return scale[v];
    }
};

struct MaskSet {
    Channel red, green, blue, alpha;
};

MaskSet BuildMasks(const BmpInfo& info) {
    std::array<std::uint32_t, 4> m = info.masks;
    if (!info.hasMasks)
        m = {0x7C00, 0x03E0, 0x001F, 0}; // 16 bits without masks: 5-5-5
    const std::uint32_t all = m[0] | m[1] | m[2] | m[3];
    const bool overlap =
        (m[0] & m[1]) || (m[0] & m[2]) || (m[1] & m[2]) || (m[3] & (m[0] | m[1] | m[2]));
    if (overlap || (info.bits == 16 && all > 0xFFFF))
        Fail(7, kIllegalMasks);
    MaskSet set;
    set.red.Init(m[0], 0);
    set.green.Init(m[1], 0);
    set.blue.Init(m[2], 0);
    set.alpha.Init(m[3], 255);
    return set;
}

template <int Bytes>
void MaskedRow(const std::uint8_t* IMG_RESTRICT src, int width, const MaskSet& masks,
               RGBQuad* IMG_RESTRICT dst) {
    for (int x = 0; x < width; ++x, src += Bytes) {
        std::uint32_t pixel = std::uint32_t(src[0]) | (std::uint32_t(src[1]) << 8);
        if constexpr (Bytes == 4)
            pixel |= (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[3]) << 24);
        dst[x] =
            RGBQuad{masks.blue(pixel), masks.green(pixel), masks.red(pixel), masks.alpha(pixel)};
    }
}

struct Palette {
    std::array<RGBQuad, 256> entries{};
    unsigned count = 0; // entries the pixels may use
};

// Entries past 2^bits cannot be referenced; they are only skipped, and only when no stored
// offset says where the pixels are.
Palette ReadColorTable(CDataSource& source, const BmpInfo& info, bool skipUnusable) {
    Palette palette;
    palette.entries.fill(RGBQuad{0, 0, 0, 255});
    std::size_t stored = info.colorsUsed;
    if (stored == 0 && info.bits <= 8)
        stored = std::size_t(1) << info.bits;
    const std::size_t usable = info.bits <= 8 ? std::min(stored, std::size_t(1) << info.bits) : 0;
    const std::uint8_t* table = source.Read(usable * 4);
    palette.count = unsigned(usable);
    for (std::size_t i = 0; i < usable; ++i)
        palette.entries[i] = RGBQuad{table[4 * i], table[4 * i + 1], table[4 * i + 2], 255};
    if (skipUnusable)
        source.Skip(codec::CheckedMul(stored - usable, 4));
    return palette;
}

class CRowWriter {
public:
    CRowWriter(CImageBitmap& bitmap, const BmpInfo& info, const Palette& palette)
        : m_bitmap(bitmap), m_info(info), m_palette(palette), m_indexes(std::size_t(info.width)) {
        if (info.bits == 16 || (info.bits == 32 && info.hasMasks))
            m_masks = BuildMasks(info);
    }

    // File row i (the i-th row stored) to its bitmap row.
    void Put(std::int64_t i, const std::uint8_t* src) {
        const int y = int(m_info.topDown ? i : m_info.height - 1 - i);
        const int width = m_bitmap.Width();
        RGBQuad* out = m_bitmap.Depth() == 32 ? m_bitmap.Row<RGBQuad>(y) : nullptr;
        switch (m_info.bits) {
        case 8:
            PutIndexes(y, src);
            break;
        case 1:
        case 4:
            codec::UnpackIndexes(src, m_info.bits, width, m_indexes.data());
            PutIndexes(y, m_indexes.data());
            break;
        case 16:
            MaskedRow<2>(src, width, m_masks, out);
            break;
        case 24:
            codec::BgrToBgra(src, width, out);
            break;
        default:
            if (m_info.hasMasks)
                MaskedRow<4>(src, width, m_masks, out);
            else
                std::memcpy(out, src, std::size_t(width) * 4);
            break;
        }
    }

    void PutIndexes(int y, const std::uint8_t* indexes) {
        if (!codec::StoreIndexRow(m_bitmap, y, indexes, m_palette.entries.data(), m_palette.count))
            Fail(7, kBadIndex);
    }

private:
    CImageBitmap& m_bitmap;
    const BmpInfo& m_info;
    const Palette& m_palette;
    MaskSet m_masks;
    std::vector<std::uint8_t> m_indexes;
};

void DecodeUncompressed(CDataSource& source, const BmpInfo& info, CRowWriter& writer) {
    for (std::int64_t i = 0; i < info.height; ++i)
        writer.Put(i, source.Read(CImageBitmap::DibRowBytes(int(info.width), info.bits)));
}

// Run-length data, one byte pair at a time; rows run bottom-up and pixels a row or the image
// never reach are index 0. Runs may fill a row's padding (ImageMagick writes them so); those
// pixels are dropped, and a run past the padding fails.
class CRleReader {
public:
    CRleReader(CDataSource& source, const BmpInfo& info, CRowWriter& writer)
        : m_source(source), m_info(info), m_writer(writer),
          m_nPaddedWidth(int(CImageBitmap::DibRowBytes(int(info.width), info.bits) * 8 /
                             std::size_t(info.bits))),
          m_row(std::size_t(m_nPaddedWidth), 0) {}

    void Run() {
        for (;;) {
            const std::uint8_t* pair = m_source.Read(2);
            if (pair[0] > 0) {
                Repeat(pair[0], pair[1]);
            } else if (pair[1] == 0) {
                EndRow();
            } else if (pair[1] == 1) {
                while (m_nRow < m_info.height)
                    EndRow();
                return;
            } else if (pair[1] == 2) {
                Fail(6, kDeltaEscape);
            } else {
                Literal(pair[1]);
            }
        }
    }

private:
    std::uint8_t* Reserve(int count) {
        if (m_nRow >= m_info.height)
            Fail(7, kRunPastImage);
        if (count > m_nPaddedWidth - m_x)
            Fail(7, kRunPastRow);
        std::uint8_t* at = m_row.data() + m_x;
        m_x += count;
        return at;
    }

    void Repeat(int count, std::uint8_t value) {
        std::uint8_t* out = Reserve(count);
        if (m_info.bits == 8) {
            std::memset(out, value, std::size_t(count));
            return;
        }
        const std::uint8_t pair[2] = {std::uint8_t(value >> 4), std::uint8_t(value & 15)};
        for (int k = 0; k < count; ++k)
            out[k] = pair[k & 1];
    }

    void Literal(int count) {
        const std::size_t bytes =
            m_info.bits == 8 ? std::size_t(count) : std::size_t(count + 1) / 2;
        std::uint8_t* out = Reserve(count);
        const std::uint8_t* data = m_source.Read(bytes + (bytes & 1)); // padded to a word
        codec::UnpackIndexes(data, m_info.bits, count, out);
    }

    void EndRow() {
        if (m_nRow < m_info.height)
            m_writer.PutIndexes(int(m_info.height - 1 - m_nRow), m_row.data());
        ++m_nRow;
        m_x = 0;
        std::fill(m_row.begin(), m_row.end(), std::uint8_t(0));
    }

    CDataSource& m_source;
    const BmpInfo& m_info;
    CRowWriter& m_writer;
    const int m_nPaddedWidth;
    std::vector<std::uint8_t> m_row;
    std::int64_t m_nRow = 0;
    int m_x = 0;
};

} // namespace

void CBMPDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    const BmpInfo info = ReadHeaders(source);
    CheckFormat(info);
    const int resultDepth = codec::ResultDepth(depth, info.bits);
    codec::CheckImageSize(info.width, info.height, resultDepth, PixelByteLimit());

    const std::size_t headerEnd =
        std::max<std::size_t>(14 + std::size_t(info.headerSize), source.Position() - info.start);
    source.Seek(codec::CheckedAdd(info.start, headerEnd));
    // The stored offset of the pixels is authoritative unless it points into the headers
    // (some writers leave it 0); then the pixels follow the colour table.
    const bool offsetValid = info.pixelOffset >= headerEnd;
    const Palette palette = ReadColorTable(source, info, !offsetValid);
    if (offsetValid)
        source.Seek(codec::CheckedAdd(info.start, info.pixelOffset));

    const bool compressed = info.compression == kRle4 || info.compression == kRle8;
    if (!compressed)
        codec::RequireRemaining(
            source, codec::CheckedMul(CImageBitmap::DibRowBytes(int(info.width), info.bits),
                                      std::size_t(info.height)));
    bitmap.Create(int(info.width), int(info.height), resultDepth);
    if (resultDepth == 8)
        std::copy(palette.entries.begin(), palette.entries.end(), bitmap.Palette());

    CRowWriter writer(bitmap, info, palette);
    if (compressed) {
        CRleReader(source, info, writer).Run();
    } else {
        DecodeUncompressed(source, info, writer);
    }
}
