// SPDX-License-Identifier: MIT
// PNG written in bands on several threads: the row filters libpng would choose, the same
// filtered data as libpng's own file, pixels ImageMagick reads back, and odd shapes and
// failing writes handled.
#include "CodecTestUtil.h"
#include "MagickTool.h"
#include "support/TestSupport.h"

#include "codecs/PNGEncoder.h"
#include "codecs/PngBands.h"
#include "image/TextException.h"

#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

namespace fs = std::filesystem;

// Every filter applied in full, the smallest sum of signed magnitudes winning, the first on a
// tie: the rule written out plainly.
int NaiveFilter(const std::vector<std::uint8_t>& row, const std::vector<std::uint8_t>& prev,
                std::size_t bpp, std::vector<std::uint8_t>& out) {
    std::size_t bestSum = SIZE_MAX;
    int bestType = 0;
    for (int type = 0; type < 5; ++type) {
        std::vector<std::uint8_t> f(row.size());
        std::size_t sum = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = prev[i],
                      c = i >= bpp ? prev[i - bpp] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b),
                      pc = std::abs(p - c);
            const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            const int predictor[5] = {0, a, b, (a + b) / 2, paeth};
            f[i] = std::uint8_t(row[i] - predictor[type]);
            sum += f[i] < 128 ? f[i] : 256 - f[i];
        }
        if (sum < bestSum) {
            bestSum = sum;
            bestType = type;
            out = f;
        }
    }
    return bestType;
}

// The chunks of a PNG in order (type, data), and its image data inflated.
struct PngParts {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> chunks;
    std::vector<std::uint8_t> filtered;
};

PngParts Dissect(const std::vector<std::uint8_t>& png) {
    PngParts parts;
    std::vector<std::uint8_t> idat;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length =
            (std::size_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        const std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
        std::vector<std::uint8_t> data(png.begin() + long(at) + 8,
                                       png.begin() + long(at + 8 + length));
        if (type == "IDAT")
            idat.insert(idat.end(), data.begin(), data.end());
        if (parts.chunks.empty() || type != "IDAT" || parts.chunks.back().first != "IDAT")
            parts.chunks.emplace_back(type, type == "IDAT" ? std::vector<std::uint8_t>{} : data);
        at += 12 + length;
    }
    z_stream zs{};
    EXPECT_EQ(inflateInit(&zs), Z_OK);
    zs.next_in = idat.data();
    zs.avail_in = uInt(idat.size());
    std::array<std::uint8_t, 65536> buffer{};
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = buffer.data();
        zs.avail_out = uInt(buffer.size());
        rc = inflate(&zs, Z_NO_FLUSH);
        parts.filtered.insert(parts.filtered.end(), buffer.data(), zs.next_out);
    }
    EXPECT_EQ(rc, Z_STREAM_END); // also checks the combined Adler-32
    inflateEnd(&zs);
    return parts;
}

// Something like a desktop: flat panels, a gradient, noise and thin lines, so that every row
// filter wins somewhere.
std::unique_ptr<CMemoryBitmap> DesktopLike(int width, int height, bool alpha) {
    auto b = std::make_unique<CMemoryBitmap>();
    b->Create(width, height, 32, alpha);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            RGBQuad q{200, 200, 200, 255};
            if (y < height / 4)
                q = RGBQuad{std::uint8_t(x), std::uint8_t(y * 3), std::uint8_t(x + y), 255};
            else if (y < height / 2 && x < width / 2)
                q = RGBQuad{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()),
                            255};
            else if ((x / 3 + y) % 7 == 0)
                q = RGBQuad{20, 20, 20, 255};
            if (alpha)
                q.reserved = std::uint8_t(x * 3 + y);
            b->Row<RGBQuad>(y)[x] = q;
        }
    }
    return b;
}

bool SamePixels(const CImageBitmap& a, const CImageBitmap& b, bool alpha) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const RGBQuad p = a.Row<RGBQuad>(y)[x], q = b.Row<RGBQuad>(y)[x];
            if (p.blue != q.blue || p.green != q.green || p.red != q.red ||
                (alpha && p.reserved != q.reserved))
                return false;
        }
    return true;
}

std::vector<std::uint8_t> Encode(const CImageBitmap& bitmap, unsigned threads,
                                 const fs::path& path) {
    CPNGEncoder encoder;
    encoder.SetThreadCount(threads);
    encoder.SaveToFile(path.string(), bitmap);
    return codectest::ReadBytes(path);
}

TEST(PngBands, FilterChoiceIsTheSmallestSumAndTheFirstOnATie) {
    std::mt19937 random(3);
    for (const std::size_t bpp : {3u, 4u}) {
        for (std::size_t pixels = 1; pixels <= 90; pixels += 7) {
            for (int trial = 0; trial < 20; ++trial) {
                const std::size_t bytes = pixels * bpp;
                std::vector<std::uint8_t> row(bytes), prev(bytes);
                // Smooth rows (small steps) as well as noise; some rows repeat the one above.
                const int spread = trial % 4 == 0 ? 256 : 1 + trial;
                int level = int(random() % 256);
                for (std::size_t i = 0; i < bytes; ++i) {
                    level = (level + int(random() % unsigned(spread))) & 255;
                    row[i] = std::uint8_t(level);
                    prev[i] = std::uint8_t(level + int(random() % 5));
                }
                if (trial == 1)
                    prev = row;
                if (trial == 2)
                    std::fill(row.begin(), row.end(), std::uint8_t(0));
                std::vector<std::uint8_t> expected, out(bytes), scratch(bytes);
                const int type = NaiveFilter(row, prev, bpp, expected);
                ASSERT_EQ(codec::FilterPngRow(row.data(), prev.data(), bytes, bpp, out.data(),
                                              scratch.data()),
                          type)
                    << "bpp " << bpp << ", " << pixels << " pixels, trial " << trial;
                ASSERT_EQ(out, expected);
            }
        }
    }
}

TEST(PngBands, SameDataAsLibpngAndThePixelsImageMagickReads) {
    testsupport::CTempDir dir;
    for (const bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "RGBA" : "RGB");
        const auto bitmap = DesktopLike(613, 450, alpha);
        ASSERT_TRUE(codec::CanWritePngInBands(*bitmap, 2));
        const PngParts library = Dissect(Encode(*bitmap, 1, dir.Path() / "library.png"));
        for (const unsigned threads : {2u, 3u, 8u}) {
            SCOPED_TRACE(threads);
            const fs::path path = dir.Path() / ("bands" + std::to_string(threads) + ".png");
            const PngParts bands = Dissect(Encode(*bitmap, threads, path));
            EXPECT_EQ(bands.chunks,
                      library.chunks); // IHDR, sBIT, IDAT..., IEND with the same fields
            EXPECT_TRUE(bands.filtered == library.filtered);
            if (magick::Available()) {
                const auto peer = magick::Decode(path);
                ASSERT_TRUE(peer);
                EXPECT_EQ(magick::Compare(*bitmap, *peer, 0, alpha), "");
            }
            EXPECT_TRUE(SamePixels(*bitmap, *codectest::Load(path, 32), alpha));
        }
    }
}

TEST(PngBands, MoreBandsThanRowsAndFailingWrites) {
    testsupport::CTempDir dir;
    const auto tiny = codectest::Pattern32(5, 3, true);
    std::vector<std::uint8_t> file;
    codec::WritePngInBands(*tiny, 8, [&](const std::uint8_t* p, std::size_t n) {
        file.insert(file.end(), p, p + n);
        return true;
    });
    codectest::WriteBytes(dir.Path() / "tiny.png", file);
    EXPECT_TRUE(SamePixels(*tiny, *codectest::Load(dir.Path() / "tiny.png", 32), true));

    // The destination refuses bytes at the header, inside the data and at the end chunk.
    const auto big = DesktopLike(600, 500, false);
    std::size_t total = 0;
    codec::WritePngInBands(*big, 2, [&](const std::uint8_t*, std::size_t n) {
        total += n;
        return true;
    });
    for (const std::size_t limit : {std::size_t(10), total / 2, total - 5}) {
        std::size_t written = 0;
        EXPECT_TEXT_EXCEPTION(codec::WritePngInBands(*big, 2,
                                                     [&](const std::uint8_t*, std::size_t n) {
                                                         written += n;
                                                         return written <= limit;
                                                     }),
                              6, "Error writting file");
    }
}

} // namespace
