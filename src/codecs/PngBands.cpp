// SPDX-License-Identifier: MIT
// PNG writing in bands on several threads.
#include "codecs/PngBands.h"

#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/Pixel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include <zlib.h>

namespace {

constexpr std::size_t kWindow = 32768;        // deflate's history: what a band is primed with
constexpr std::size_t kChunkBytes = 1u << 20; // IDAT chunk size
constexpr int kLevel = 6;                     // zlib's default level, as libpng uses it
constexpr const char* kWriteFailedText = "Error writting file";

inline unsigned Magnitude(std::uint8_t v) noexcept {
    return v < 128 ? v : 256u - v;
}

inline std::uint8_t Paeth(int a, int b, int c) noexcept {
    const int p = b - c;
    const int q = a - c;
    const int pa = p < 0 ? -p : p;
    const int pb = q < 0 ? -q : q;
    const int pc = (p + q) < 0 ? -(p + q) : p + q;
    if (pa <= pb && pa <= pc)
        return std::uint8_t(a);
    return std::uint8_t(pb <= pc ? b : c);
}

template <int Type> inline std::uint8_t Filtered(int x, int a, int b, int c) noexcept {
    if constexpr (Type == 0)
        return std::uint8_t(x);
    else if constexpr (Type == 1)
        return std::uint8_t(x - a);
    else if constexpr (Type == 2)
        return std::uint8_t(x - b);
    else if constexpr (Type == 3)
        return std::uint8_t(x - ((a + b) >> 1));
    else
        return std::uint8_t(x - Paeth(a, b, c));
}

// One filter applied to the row into out; the sum of magnitudes, or stops early (returning
// a value at least limit) once the sum reaches limit: that filter can no longer win.
template <int Type>
std::size_t ApplyFilter(const std::uint8_t* IMG_RESTRICT x, const std::uint8_t* IMG_RESTRICT up,
                        std::size_t bytes, std::size_t bpp, std::uint8_t* IMG_RESTRICT out,
                        std::size_t limit) noexcept {
    std::size_t sum = 0;
    const std::size_t head = std::min(bpp, bytes);
    for (std::size_t i = 0; i < head; ++i) { // no pixel to the left
        out[i] = Filtered<Type>(x[i], 0, up[i], 0);
        sum += Magnitude(out[i]);
    }
    // Checked every 64 bytes: the test costs more than it saves when made per byte.
    constexpr std::size_t kStep = 64;
    for (std::size_t start = head; start < bytes; start += kStep) {
        const std::size_t end = std::min(bytes, start + kStep);
        for (std::size_t i = start; i < end; ++i) {
            const std::uint8_t v = Filtered<Type>(x[i], x[i - bpp], up[i], up[i - bpp]);
            out[i] = v;
            sum += Magnitude(v);
        }
        if (sum >= limit)
            return sum;
    }
    return sum;
}

// Converts a 32-bpp row (blue, green, red, fourth byte) to RGB or RGBA.
void ToPngOrder(const std::uint8_t* IMG_RESTRICT src, int width, bool alpha,
                std::uint8_t* IMG_RESTRICT dst) noexcept {
    if (alpha) {
        for (int x = 0; x < width; ++x, src += 4, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = src[3];
        }
    } else {
        for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
}

// Filters rows [first, last) of the bitmap one at a time, handing each (filter byte first) to
// sink.
class CRowFilter {
public:
    CRowFilter(const CImageBitmap& bitmap, bool alpha)
        : m_bitmap(bitmap), m_alpha(alpha), m_pixelBytes(alpha ? 4 : 3),
          m_rowBytes(std::size_t(bitmap.Width()) * m_pixelBytes), m_current(m_rowBytes),
          m_previous(m_rowBytes), m_filtered(m_rowBytes + 1), m_scratch(m_rowBytes + 1) {}

    std::size_t RowBytes() const noexcept { return m_rowBytes + 1; }

    template <typename Sink> void Run(int first, int last, Sink&& sink) {
        if (first > 0)
            ToPngOrder(m_bitmap.Line(first - 1), m_bitmap.Width(), m_alpha, m_previous.data());
        else
            std::fill(m_previous.begin(), m_previous.end(), std::uint8_t(0));
        for (int y = first; y < last; ++y) {
            ToPngOrder(m_bitmap.Line(y), m_bitmap.Width(), m_alpha, m_current.data());
            m_filtered[0] = std::uint8_t(
                codec::FilterPngRow(m_current.data(), m_previous.data(), m_rowBytes, m_pixelBytes,
                                    m_filtered.data() + 1, m_scratch.data()));
            sink(m_filtered.data(), m_filtered.size());
            std::swap(m_current, m_previous);
        }
    }

private:
    const CImageBitmap& m_bitmap;
    bool m_alpha;
    std::size_t m_pixelBytes;
    std::size_t m_rowBytes;
    std::vector<std::uint8_t> m_current, m_previous, m_filtered, m_scratch;
};

struct Band {
    int first = 0;
    int last = 0;
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t rawBytes = 0;
    bool ok = false;
};

bool Deflate(z_stream& zs, const std::uint8_t* data, std::size_t size, int flush,
             std::vector<std::uint8_t>& out) {
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = uInt(size);
    do {
        if (out.size() - zs.total_out < 64 * 1024)
            out.resize(out.size() + std::max<std::size_t>(out.size() / 2, 256 * 1024));
        zs.next_out = out.data() + zs.total_out;
        zs.avail_out = uInt(std::min<std::size_t>(out.size() - zs.total_out, 1u << 30));
        const int rc = deflate(&zs, flush);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            return false;
    } while (zs.avail_in > 0 || zs.avail_out == 0);
    return true;
}

// Filters and deflates one band as a piece of a raw deflate stream: primed with the last 32 KiB
// the band above produces, ended on a byte boundary (or as the stream's last block).
void DeflateBand(const CImageBitmap& bitmap, bool alpha, bool lastBand, Band& band) noexcept {
    try {
        CRowFilter filter(bitmap, alpha);
        z_stream zs{};
        if (deflateInit2(&zs, kLevel, Z_DEFLATED, -15, 8, Z_FILTERED) != Z_OK)
            return;
        bool ok = true;
        if (band.first > 0) {
            const int rows = int(std::min<std::size_t>(
                std::size_t(band.first), (kWindow + filter.RowBytes() - 1) / filter.RowBytes()));
            std::vector<std::uint8_t> history;
            history.reserve(std::size_t(rows) * filter.RowBytes());
            filter.Run(band.first - rows, band.first, [&](const std::uint8_t* row, std::size_t n) {
                history.insert(history.end(), row, row + n);
            });
            const std::size_t keep = std::min(history.size(), kWindow);
            ok = deflateSetDictionary(&zs, history.data() + history.size() - keep, uInt(keep)) ==
                 Z_OK;
        }
        band.deflated.resize(std::size_t(band.last - band.first) * filter.RowBytes() / 4 + 1024);
        uLong adler = adler32(0, nullptr, 0);
        filter.Run(band.first, band.last, [&](const std::uint8_t* row, std::size_t n) {
            adler = adler32(adler, row, uInt(n));
            band.rawBytes += n;
            ok = ok && Deflate(zs, row, n, Z_NO_FLUSH, band.deflated);
        });
        ok = ok && Deflate(zs, nullptr, 0, lastBand ? Z_FINISH : Z_SYNC_FLUSH, band.deflated);
        band.deflated.resize(zs.total_out);
        band.adler = adler;
        deflateEnd(&zs);
        band.ok = ok;
    } catch (...) {
        band.ok = false;
    }
}

void PutBigEndian(std::uint8_t* p, std::uint32_t v) noexcept {
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

class CChunkWriter {
public:
    explicit CChunkWriter(const std::function<bool(const std::uint8_t*, std::size_t)>& append)
        : m_append(append) {}

    void Raw(const std::uint8_t* data, std::size_t size) {
        if (!m_append(data, size))
            codec::ThrowLibraryError(kWriteFailedText);
    }

    void Chunk(const char (&type)[5], const std::uint8_t* data, std::size_t size) {
        std::uint8_t head[8];
        PutBigEndian(head, std::uint32_t(size));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (size > 0) // zlib restarts the sum for a null buffer
            crc = crc32(crc, data, uInt(size));
        std::uint8_t tail[4];
        PutBigEndian(tail, std::uint32_t(crc));
        Raw(head, 8);
        if (size > 0)
            Raw(data, size);
        Raw(tail, 4);
    }

    // Image data, gathered into chunks of kChunkBytes.
    void Idat(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const std::size_t n = std::min(size, kChunkBytes - m_idat.size());
            m_idat.insert(m_idat.end(), data, data + n);
            data += n;
            size -= n;
            if (m_idat.size() == kChunkBytes)
                FlushIdat();
        }
    }

    void FlushIdat() {
        if (!m_idat.empty())
            Chunk("IDAT", m_idat.data(), m_idat.size());
        m_idat.clear();
    }

private:
    const std::function<bool(const std::uint8_t*, std::size_t)>& m_append;
    std::vector<std::uint8_t> m_idat;
};

void WriteHeaderChunks(CChunkWriter& w, const CImageBitmap& bitmap, bool alpha) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    w.Raw(kSignature, sizeof kSignature);
    std::uint8_t ihdr[13] = {};
    PutBigEndian(ihdr, std::uint32_t(bitmap.Width()));
    PutBigEndian(ihdr + 4, std::uint32_t(bitmap.Height()));
    ihdr[8] = 8;             // bit depth
    ihdr[9] = alpha ? 6 : 2; // RGBA or RGB; compression, filter and interlace methods 0
    w.Chunk("IHDR", ihdr, sizeof ihdr);
    const std::uint8_t sbit[4] = {8, 8, 8, 8};
    w.Chunk("sBIT", sbit, alpha ? 4 : 3);
}

} // namespace

namespace codec {

int FilterPngRow(const std::uint8_t* row, const std::uint8_t* prev, std::size_t bytes,
                 std::size_t pixelBytes, std::uint8_t* out, std::uint8_t* scratch) noexcept {
    // The best so far sits in out; a better candidate is made in scratch and swapped over.
    std::uint8_t* best = out;
    std::uint8_t* trial = scratch;
    std::size_t bestSum = ApplyFilter<0>(row, prev, bytes, pixelBytes, best, SIZE_MAX);
    int bestType = 0;
    auto consider = [&](int type, std::size_t sum) {
        if (sum < bestSum) {
            bestSum = sum;
            bestType = type;
            std::swap(best, trial);
        }
    };
    consider(1, ApplyFilter<1>(row, prev, bytes, pixelBytes, trial, bestSum));
    consider(2, ApplyFilter<2>(row, prev, bytes, pixelBytes, trial, bestSum));
    consider(3, ApplyFilter<3>(row, prev, bytes, pixelBytes, trial, bestSum));
    consider(4, ApplyFilter<4>(row, prev, bytes, pixelBytes, trial, bestSum));
    if (best != out)
        std::memcpy(out, best, bytes);
    return bestType;
}

bool CanWritePngInBands(const CImageBitmap& bitmap, unsigned threads) {
    return threads > 1 && bitmap.Depth() == 32 && bitmap.Height() >= 64 &&
           std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()) >= kPngBandsMinPixels;
}

void WritePngInBands(const CImageBitmap& bitmap, unsigned threads,
                     const std::function<bool(const std::uint8_t*, std::size_t)>& append) {
    const bool alpha = bitmap.HasAlpha();
    const int count = int(std::clamp<unsigned>(threads, 1, 8));
    std::vector<Band> bands;
    bands.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        bands[std::size_t(i)].first = int(std::int64_t(bitmap.Height()) * i / count);
        bands[std::size_t(i)].last = int(std::int64_t(bitmap.Height()) * (i + 1) / count);
    }
    {
        std::vector<std::jthread> workers;
        for (int i = 1; i < count; ++i)
            workers.emplace_back(
                [&, i] { DeflateBand(bitmap, alpha, i + 1 == count, bands[std::size_t(i)]); });
        DeflateBand(bitmap, alpha, count == 1, bands[0]);
    }
    for (const Band& band : bands)
        if (!band.ok)
            ThrowLibraryError("Out of memory while compressing the image.");

    CChunkWriter w(append);
    WriteHeaderChunks(w, bitmap, alpha);
    const std::uint8_t zlibHeader[2] = {0x78, 0x9C}; // 32 KiB window, default level, no dictionary
    w.Idat(zlibHeader, 2);
    uLong adler = bands[0].adler;
    w.Idat(bands[0].deflated.data(), bands[0].deflated.size());
    for (std::size_t i = 1; i < bands.size(); ++i) {
        adler = adler32_combine(adler, bands[i].adler, z_off_t(bands[i].rawBytes));
        w.Idat(bands[i].deflated.data(), bands[i].deflated.size());
    }
    std::uint8_t check[4];
    PutBigEndian(check, std::uint32_t(adler));
    w.Idat(check, 4);
    w.FlushIdat();
    w.Chunk("IEND", nullptr, 0);
}

} // namespace codec
