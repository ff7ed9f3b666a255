// SPDX-License-Identifier: MIT
// Reader of portable greymaps.
#include "codecs/PGMDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/PixelRows.h"
#include "image/TextException.h"

#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr const char* kIdentifier = "PGM decoder: Is not the correct identifier P5 or P2.";
constexpr const char* kExpectedNumber = "PGM decoder: Expected a number.";
constexpr const char* kIllegalSize = "PGM decoder: Illegal width or height.";
constexpr const char* kSampleTooLarge = "PGM decoder: Sample value greater than the maximum value.";

[[noreturn]] void Fail(int code, const char* text) {
    throw CTextException(code, text);
}

constexpr bool IsBlank(std::uint8_t c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Decimal numbers separated by blanks and line ends, with "#" comments to the end of a line.
// Works on a view of the rest of the data and tells the source what it used at Commit().
class CNumberScanner {
public:
    explicit CNumberScanner(CDataSource& source)
        : m_source(source), m_view(source.Peek(std::numeric_limits<std::size_t>::max())) {}

    // Values past 2^32 - 1 stay there: no size or sample can use them.
    std::uint32_t Next() {
        SkipBlanksAndComments();
        if (m_at >= m_view.size())
            throw CTextException(codec::kEndOfData, codec::kEndOfDataText);
        if (m_view[m_at] < '0' || m_view[m_at] > '9')
            Fail(7, kExpectedNumber);
        std::uint64_t value = 0;
        while (m_at < m_view.size() && m_view[m_at] >= '0' && m_view[m_at] <= '9') {
            value = std::min<std::uint64_t>(value * 10 + (m_view[m_at] - '0'), 0xFFFFFFFFu);
            ++m_at;
        }
        return std::uint32_t(value);
    }

    void Commit() {
        m_source.Skip(m_at);
        m_view = m_view.subspan(m_at);
        m_at = 0;
    }

private:
    void SkipBlanksAndComments() {
        while (m_at < m_view.size()) {
            const std::uint8_t c = m_view[m_at];
            if (IsBlank(c)) {
                ++m_at;
            } else if (c == '#') {
                while (m_at < m_view.size() && m_view[m_at] != '\n' && m_view[m_at] != '\r')
                    ++m_at;
            } else {
                return;
            }
        }
    }

    CDataSource& m_source;
    std::span<const std::uint8_t> m_view;
    std::size_t m_at = 0;
};

// Sample s becomes s * 255 / maximum (integer division); samples past the maximum are damage.
class CSampleTable {
public:
    explicit CSampleTable(std::uint32_t maxValue) : m_scaled(std::size_t(maxValue) + 1) {
        for (std::uint32_t s = 0; s <= maxValue; ++s)
            m_scaled[s] = std::uint8_t(s * 255 / maxValue);
    }
    std::uint8_t operator()(std::uint32_t sample) const {
        if (sample >= m_scaled.size())
            Fail(7, kSampleTooLarge);
        return m_scaled[sample];
    }
    std::uint32_t MaxValue() const noexcept { return std::uint32_t(m_scaled.size() - 1); }
    const std::uint8_t* Data() const noexcept { return m_scaled.data(); }

private:
    std::vector<std::uint8_t> m_scaled;
};

void StoreGreyRow(CImageBitmap& bitmap, int y, const std::uint8_t* grey) {
    if (bitmap.Depth() == 8) {
        std::memcpy(bitmap.Line(y), grey, std::size_t(bitmap.Width()));
        return;
    }
    RGBQuad* IMG_RESTRICT out = bitmap.Row<RGBQuad>(y);
    for (int x = 0; x < bitmap.Width(); ++x)
        out[x] = RGBQuad{grey[x], grey[x], grey[x], 255};
}

void ScaleBytes(const std::uint8_t* IMG_RESTRICT src, int width, const CSampleTable& table,
                std::uint8_t* IMG_RESTRICT grey) {
    if (table.MaxValue() == 255) {
        std::memcpy(grey, src, std::size_t(width));
        return;
    }
    if (codec::MaxIndex(src, width) > table.MaxValue())
        Fail(7, kSampleTooLarge);
    const std::uint8_t* IMG_RESTRICT scaled = table.Data();
    for (int x = 0; x < width; ++x)
        grey[x] = scaled[src[x]];
}

void ScaleWords(const std::uint8_t* IMG_RESTRICT src, int width, const CSampleTable& table,
                std::uint8_t* IMG_RESTRICT grey) {
    for (int x = 0; x < width; ++x, src += 2)
        grey[x] = table(std::uint32_t(src[0]) << 8 | src[1]);
}

} // namespace

void CPGMDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    const std::uint8_t* magic = source.Read(2);
    if (magic[0] != 'P' || (magic[1] != '2' && magic[1] != '5'))
        Fail(2, kIdentifier);
    const bool binary = magic[1] == '5';
    CNumberScanner scanner(source);
    const std::uint32_t width = scanner.Next();
    const std::uint32_t height = scanner.Next();
    std::uint32_t maxValue = scanner.Next();
    if (width == 0 || height == 0)
        Fail(7, kIllegalSize);
    const int resultDepth = codec::ResultDepth(depth, 8);
    codec::CheckImageSize(width, height, resultDepth, PixelByteLimit());
    // Out of range: taken as 255. Up to 65535 the samples take two bytes each.
    if (maxValue == 0 || maxValue > 65535)
        maxValue = 255;
    const CSampleTable table(maxValue);
    const bool wide = maxValue > 255;
    scanner.Commit();

    std::vector<std::uint8_t> grey(width);
    if (binary) {
        source.Skip(1); // the single blank after the maximum value
        const std::size_t rowBytes = std::size_t(width) * (wide ? 2 : 1);
        codec::RequireRemaining(source, codec::CheckedMul(rowBytes, height));
        bitmap.Create(int(width), int(height), resultDepth);
        for (int y = 0; y < int(height); ++y) {
            const std::uint8_t* row = source.Read(rowBytes);
            if (wide)
                ScaleWords(row, int(width), table, grey.data());
            else
                ScaleBytes(row, int(width), table, grey.data());
            StoreGreyRow(bitmap, y, grey.data());
        }
        return;
    }
    // Every decimal sample takes at least two bytes (a digit and a blank), the last one.
    codec::RequireRemaining(source, codec::CheckedMul(std::size_t(width) * 2, height) - 1);
    bitmap.Create(int(width), int(height), resultDepth);
    for (int y = 0; y < int(height); ++y) {
        for (std::uint32_t x = 0; x < width; ++x)
            grey[x] = table(scanner.Next());
        scanner.Commit();
        StoreGreyRow(bitmap, y, grey.data());
    }
}
