// SPDX-License-Identifier: MIT
// Reader of ZSoft PCX files.
#include "codecs/PCXDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/PixelRows.h"
#include "image/TextException.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kNotPcx = "Error decoding pcx: Not a PCX file.";
constexpr const char* kEncoding = "File has unknown encoding scheme.";
constexpr const char* kTooManyPlanes = "Can't handle image with more than 4 planes.";
constexpr const char* kLayout = "Can't handle bits per pixel image with planes.";
constexpr const char* kRunPastEnd = "repeat count spans end of image.";
constexpr const char* kPaletteMarker = "bad color map signature.";
constexpr const char* kPackedPlanes = "Can't handle packed pixels with more than 1 plane.";
constexpr const char* kIllegalSize = "Error decoding pcx: Illegal image size.";
constexpr const char* kShortLines = "Error decoding pcx: Bytes per line too small.";

[[noreturn]] void Fail(int code, const char* text) {
    throw CTextException(code, text);
}

struct PcxHeader {
    int bits = 0; // per pixel and plane
    int planes = 0;
    int width = 0;
    int height = 0;
    std::size_t bytesPerLine = 0; // per plane
    std::array<RGBQuad, 256> palette{};
};

PcxHeader ReadHeader(CDataSource& source) {
    const std::uint8_t* h = source.Read(128);
    if (h[0] != 10)
        Fail(1, kNotPcx);
    if (h[2] != 1)
        Fail(1, kEncoding);
    auto word = [h](int at) { return h[at] | (h[at + 1] << 8); };
    PcxHeader header;
    header.bits = h[3];
    header.planes = h[65];
    header.width = word(8) - word(4) + 1;
    header.height = word(10) - word(6) + 1;
    header.bytesPerLine = std::size_t(word(66));
    header.palette.fill(RGBQuad{0, 0, 0, 255});
    for (int i = 0; i < 16; ++i)
        header.palette[std::size_t(i)] =
            RGBQuad{h[16 + 3 * i + 2], h[16 + 3 * i + 1], h[16 + 3 * i], 255};
    return header;
}

void CheckLayout(const PcxHeader& h) {
    if (h.bits == 1 && h.planes > 4)
        Fail(2, kTooManyPlanes);
    const bool accepted =
        (h.bits == 1 && h.planes >= 1) ||
        ((h.bits == 2 || h.bits == 4 || h.bits == 8) && (h.planes == 1 || h.planes == 3));
    if (!accepted)
        Fail(2, kLayout);
    if (h.planes > 1 && h.bits != 1 && h.bits != 8)
        Fail(7, kPackedPlanes);
    if (h.width < 1 || h.height < 1)
        Fail(7, kIllegalSize);
    if (h.bytesPerLine < CImageBitmap::PackedRowBytes(h.width, h.bits))
        Fail(7, kShortLines);
}

// The run-length stream of the whole image, a line (all planes) at a time; a run may go on
// into the next line but not past the last.
class CRunDecoder {
public:
    CRunDecoder(CDataSource& source, std::size_t totalBytes)
        : m_source(source), m_nLeft(totalBytes) {}

    void Line(std::uint8_t* out, std::size_t bytes) {
        std::size_t done = TakeCarry(out, bytes);
        while (done < bytes) {
            // Each output byte costs at most two input bytes, so one window usually serves the
            // whole line; runs of zero bytes can make another one necessary.
            const std::span<const std::uint8_t> in = m_source.Peek(2 * (bytes - done) + 1);
            if (in.size() < 1 || (in[0] >= 0xC0 && in.size() < 2))
                throw CTextException(codec::kEndOfData, codec::kEndOfDataText);
            std::size_t at = 0;
            while (done < bytes && at < in.size()) {
                const std::uint8_t b = in[at];
                if (b < 0xC0) {
                    out[done++] = b;
                    ++at;
                    continue;
                }
                if (at + 1 >= in.size())
                    break;
                const std::size_t count = b & 0x3F;
                const std::uint8_t value = in[at + 1];
                at += 2;
                const std::size_t here = std::min(count, bytes - done);
                std::memset(out + done, value, here);
                done += here;
                m_nCarry = count - here;
                m_carryValue = value;
            }
            m_source.Skip(at);
        }
        m_nLeft -= bytes;
        if (m_nCarry > m_nLeft)
            Fail(7, kRunPastEnd);
    }

private:
    std::size_t TakeCarry(std::uint8_t* out, std::size_t bytes) {
        const std::size_t n = std::min(m_nCarry, bytes);
        std::memset(out, m_carryValue, n);
        m_nCarry -= n;
        return n;
    }

    CDataSource& m_source;
    std::size_t m_nLeft;      // bytes of the image still to come
    std::size_t m_nCarry = 0; // bytes of a run that belong to the next line
    std::uint8_t m_carryValue = 0;
};

void ReadVgaPalette(CDataSource& source, PcxHeader& h) {
    if (source.U8() != 12)
        Fail(7, kPaletteMarker);
    const std::uint8_t* p = source.Read(768);
    for (int i = 0; i < 256; ++i)
        h.palette[std::size_t(i)] = RGBQuad{p[3 * i + 2], p[3 * i + 1], p[3 * i], 255};
}

// Plane i of a 1-bit line gives bit i of each pixel's palette index.
void CombinePlanes(const std::uint8_t* line, std::size_t bytesPerLine, int planes, int width,
                   std::uint8_t* IMG_RESTRICT indexes) {
    std::memset(indexes, 0, std::size_t(width));
    for (int p = 0; p < planes; ++p) {
        const std::uint8_t* plane = line + std::size_t(p) * bytesPerLine;
        for (int x = 0; x < width; ++x)
            indexes[x] |= std::uint8_t(((plane[x >> 3] >> (7 - (x & 7))) & 1) << p);
    }
}

void RgbPlanesToRow(const std::uint8_t* line, std::size_t bytesPerLine, int width,
                    RGBQuad* IMG_RESTRICT dst) {
    const std::uint8_t* IMG_RESTRICT red = line;
    const std::uint8_t* IMG_RESTRICT green = line + bytesPerLine;
    const std::uint8_t* IMG_RESTRICT blue = line + 2 * bytesPerLine;
    for (int x = 0; x < width; ++x)
        dst[x] = RGBQuad{blue[x], green[x], red[x], 255};
}

} // namespace

void CPCXDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int /*depth: always 32*/) {
    PcxHeader h = ReadHeader(source);
    CheckLayout(h);
    codec::CheckImageSize(h.width, h.height, 32, PixelByteLimit());
    const std::size_t lineBytes = codec::CheckedMul(h.bytesPerLine, std::size_t(h.planes));
    const std::size_t totalBytes = codec::CheckedMul(lineBytes, std::size_t(h.height));
    codec::RequireRemaining(source, totalBytes / 63 * 2); // runs of 63 bytes at best

    if (h.bits == 1 && h.planes == 1) {
        h.palette[0] = RGBQuad{0, 0, 0, 255};
        h.palette[1] = RGBQuad{255, 255, 255, 255};
    }
    bitmap.Create(h.width, h.height, 32);
    std::vector<std::uint8_t> line(lineBytes);
    std::vector<std::uint8_t> indexes(std::size_t(h.width));
    CRunDecoder runs(source, totalBytes);
    const bool rgb = h.bits == 8 && h.planes == 3;
    // With a 256-colour palette behind the pixels, rows wait as indexes until it is read.
    const bool vga = h.bits == 8 && h.planes == 1;
    for (int y = 0; y < h.height; ++y) {
        runs.Line(line.data(), lineBytes);
        RGBQuad* row = bitmap.Row<RGBQuad>(y);
        if (rgb) {
            RgbPlanesToRow(line.data(), h.bytesPerLine, h.width, row);
            continue;
        }
        if (h.planes > 1)
            CombinePlanes(line.data(), h.bytesPerLine, h.planes, h.width, indexes.data());
        else
            codec::UnpackIndexes(line.data(), h.bits, h.width, indexes.data());
        if (vga)
            std::memcpy(row, indexes.data(), indexes.size()); // the row holds width * 4 bytes
        else
            codec::ExpandIndexes(indexes.data(), h.width, h.palette.data(), row);
    }
    if (vga) {
        ReadVgaPalette(source, h);
        for (int y = 0; y < h.height; ++y) {
            RGBQuad* row = bitmap.Row<RGBQuad>(y);
            std::memcpy(indexes.data(), row, indexes.size());
            codec::ExpandIndexes(indexes.data(), h.width, h.palette.data(), row);
        }
    }
}
