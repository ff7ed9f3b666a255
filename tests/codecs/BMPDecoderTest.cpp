// SPDX-License-Identifier: MIT
// The BMP reader against ImageMagick on generated files, the BMP Suite, and lying files.
#include "codecs/BMPDecoder.h"
#include "PeerDecode.h"
#include "image/MemoryBitmap.h"
#include "support/TestSupport.h"

#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

// A BMP with a 40-byte header, the given colour table and pixel bytes as they are stored.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, std::uint32_t compression,
                                  const std::vector<RGBQuad>& table,
                                  const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> b(54 + table.size() * 4);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, std::uint32_t(b.size()));
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(width));
    Put32(b, 22, std::uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, std::uint32_t(bits));
    Put32(b, 30, compression);
    Put32(b, 46, std::uint32_t(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) {
        b[54 + 4 * i] = table[i].blue;
        b[55 + 4 * i] = table[i].green;
        b[56 + 4 * i] = table[i].red;
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    Put32(b, 2, std::uint32_t(b.size()));
    return b;
}

std::vector<RGBQuad> GreyTable(int n) {
    std::vector<RGBQuad> t;
    for (int i = 0; i < n; ++i)
        t.push_back(RGBQuad{std::uint8_t(i * 7), std::uint8_t(i * 3), std::uint8_t(255 - i), 0});
    return t;
}

void Decode(const std::vector<std::uint8_t>& bytes, CImageBitmap& bitmap, int depth = 0) {
    CBMPDecoder decoder;
    decoder.LoadFromMemory(bytes.data(), bytes.size(), bitmap, depth, nullptr);
}

// A naive RLE4 encoder: literal groups of up to 7 pixels, runs of equal pixels, pairs at row ends.
std::vector<std::uint8_t> EncodeRle4(const std::vector<std::vector<std::uint8_t>>& rowsBottomUp) {
    std::vector<std::uint8_t> out;
    for (const auto& row : rowsBottomUp) {
        std::size_t x = 0;
        while (x < row.size()) {
            std::size_t run = 1;
            while (x + run < row.size() && row[x + run] == row[x] && run < 255)
                ++run;
            if (run >= 3) {
                out.insert(out.end(), {std::uint8_t(run), std::uint8_t(row[x] << 4 | row[x])});
                x += run;
            } else if (row.size() - x >= 3) {
                const std::size_t n = std::min<std::size_t>(7, row.size() - x);
                out.insert(out.end(), {0, std::uint8_t(n)});
                std::size_t bytes = 0;
                for (std::size_t k = 0; k < n; k += 2, ++bytes)
                    out.push_back(std::uint8_t(row[x + k] << 4 | (k + 1 < n ? row[x + k + 1] : 0)));
                if (bytes & 1)
                    out.push_back(0);
                x += n;
            } else {
                const std::size_t n = row.size() - x; // 1 or 2 pixels, alternating nibbles
                out.insert(out.end(), {std::uint8_t(n),
                                       std::uint8_t(row[x] << 4 | (n == 2 ? row[x + 1] : 0))});
                x += n;
            }
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

struct Variant {
    const char* name;
    std::vector<std::string> options; // convert options before the BMP output
    const char* format;               // BMP3: or BMP:
    int naturalDepth;
    // Channels narrower than 8 bits: ImageMagick widens them by repeating their top bits, this
    // reader rounds v * 255 / max (as the BMP Suite's references do); one step apart at most.
    // For 4-bit channels ImageMagick only shifts (15 gives 240): the suite's rgba16-4444 checks
    // those exactly.
    int tolerance = 0;
};

class BmpPeerTest : public ::testing::TestWithParam<std::tuple<Variant, std::pair<int, int>>> {};

TEST_P(BmpPeerTest, PixelsMatchImageMagick) {
    SKIP_WITHOUT_TOOL("convert");
    const auto& [variant, size] = GetParam();
    testsupport::CTempDir dir;
    const fs::path source = dir.Path() / "src.ppm";
    const fs::path file = dir.Path() / "out.bmp";
    peer::WriteTestPicture(source, size.first, size.second, unsigned(size.first));
    std::vector<std::string> args{source.string()};
    args.insert(args.end(), variant.options.begin(), variant.options.end());
    args.push_back(std::string(variant.format) + file.string());
    ASSERT_TRUE(peer::Convert(args));
    CBMPDecoder decoder;
    peer::ExpectLikePeer(decoder, file, variant.naturalDepth,
                         {.tolerance = variant.tolerance, .compareAlpha = true});
}

const Variant kVariants[] = {
    {"pal1", {"-colors", "2", "-type", "palette", "-compress", "None"}, "BMP3:", 8},
    {"pal4", {"-colors", "12", "-type", "palette", "-compress", "None"}, "BMP3:", 8},
    {"pal8", {"-colors", "200", "-type", "palette", "-compress", "None"}, "BMP3:", 8},
    {"rle8", {"-colors", "200", "-type", "palette", "-compress", "RLE"}, "BMP3:", 8},
    {"rgb24", {"-type", "truecolor"}, "BMP3:", 32},
    {"rgb32", {"-alpha", "set", "-define", "bmp3:alpha=true"}, "BMP3:", 32},
    {"argb32masks", {"-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel"}, "BMP:", 32},
    {"rgb565", {"-define", "bmp:subtype=RGB565"}, "BMP:", 32, 1},
    {"rgb555", {"-define", "bmp:subtype=RGB555"}, "BMP:", 32, 1},
    {"argb4444",
     {"-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel", "-define",
      "bmp:subtype=ARGB4444"},
     "BMP:",
     32,
     15},
    {"argb1555",
     {"-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel", "-define",
      "bmp:subtype=ARGB1555"},
     "BMP:",
     32,
     1},
};

std::string VariantName(const ::testing::TestParamInfo<BmpPeerTest::ParamType>& info) {
    const Variant& v = std::get<0>(info.param);
    const auto size = std::get<1>(info.param);
    return std::string(v.name) + "_" + std::to_string(size.first) + "x" +
           std::to_string(size.second);
}

INSTANTIATE_TEST_SUITE_P(Generated, BmpPeerTest,
                         ::testing::Combine(::testing::ValuesIn(kVariants),
                                            ::testing::Values(std::pair{37, 23}, std::pair{1, 1},
                                                              std::pair{64, 2})),
                         VariantName);

// Files ImageMagick does not write: made from its output and read back by it as the oracle.
class BmpDerivedTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::HaveProgram("convert"))
            GTEST_SKIP() << "convert not installed";
        peer::WriteTestPicture(m_dir.Path() / "src.ppm", 37, 23, 5);
    }
    fs::path Make(const std::vector<std::string>& options, const std::string& output) {
        std::vector<std::string> args{(m_dir.Path() / "src.ppm").string()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(output + (m_dir.Path() / "made.bmp").string());
        EXPECT_TRUE(peer::Convert(args));
        return m_dir.Path() / "made.bmp";
    }
    // Rows reversed and the height negated: the same picture stored top-down.
    fs::path TopDown(const fs::path& bottomUp) {
        auto b = peer::ReadFile(bottomUp);
        const std::uint32_t offset = Get32(b, 10);
        const int width = int(Get32(b, 18)), height = int(Get32(b, 22));
        const std::size_t stride = CImageBitmap::DibRowBytes(width, b[28] | (b[29] << 8));
        std::vector<std::uint8_t> out(b.begin(), b.begin() + offset);
        for (int i = height - 1; i >= 0; --i)
            out.insert(out.end(), b.begin() + offset + std::ptrdiff_t(stride * i),
                       b.begin() + offset + std::ptrdiff_t(stride * (i + 1)));
        Put32(out, 22, std::uint32_t(-height));
        const fs::path path = m_dir.Path() / "topdown.bmp";
        peer::WriteFile(path, out);
        return path;
    }
    testsupport::CTempDir m_dir;
    CBMPDecoder m_decoder;
};

TEST_F(BmpDerivedTest, TopDownRowsReadTheRightWayUp) {
    const struct {
        std::vector<std::string> options;
        int depth;
    } cases[] = {{{"-colors", "2", "-type", "palette", "-compress", "None"}, 8},
                 {{"-colors", "12", "-type", "palette", "-compress", "None"}, 8},
                 {{"-colors", "99", "-type", "palette", "-compress", "None"}, 8},
                 {{"-type", "truecolor"}, 32}};
    for (const auto& c : cases) {
        const fs::path bottomUp = Make(c.options, "BMP3:");
        const auto reference = peer::Decode(bottomUp);
        ASSERT_TRUE(reference);
        peer::ExpectLikeReference(m_decoder, TopDown(bottomUp), c.depth, *reference);
    }
}

TEST_F(BmpDerivedTest, Rle4MatchesTheUncompressedFile) {
    const fs::path plain =
        Make({"-colors", "12", "-type", "palette", "-compress", "None"}, "BMP3:");
    const auto reference = peer::Decode(plain);
    ASSERT_TRUE(reference);
    auto b = peer::ReadFile(plain);
    ASSERT_EQ(b[28], 4);
    const std::uint32_t offset = Get32(b, 10);
    const int width = int(Get32(b, 18)), height = int(Get32(b, 22));
    const std::size_t stride = CImageBitmap::DibRowBytes(width, 4);
    std::vector<std::vector<std::uint8_t>> rows;
    for (int i = 0; i < height; ++i) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t byte = b[offset + stride * std::size_t(i) + std::size_t(x / 2)];
            row.push_back(x % 2 ? byte & 15 : byte >> 4);
        }
        rows.push_back(row);
    }
    b.resize(offset);
    const auto rle = EncodeRle4(rows);
    b.insert(b.end(), rle.begin(), rle.end());
    Put32(b, 30, 2);
    const fs::path path = m_dir.Path() / "rle4.bmp";
    peer::WriteFile(path, b);
    peer::ExpectLikeReference(m_decoder, path, 8, *reference);
}

TEST_F(BmpDerivedTest, SixteenBitsWithoutMasksAre555) {
    auto b = peer::ReadFile(Make({"-define", "bmp:subtype=RGB555"}, "BMP:"));
    Put32(b, 30, 0); // no compression: the masks in the long header no longer count
    const fs::path path = m_dir.Path() / "rgb16.bmp";
    peer::WriteFile(path, b);
    peer::ExpectLikePeer(m_decoder, path, 32, {.tolerance = 1});
}

TEST(BmpDecoder, RleEndsOfRowAndBitmapLeaveIndexZero) {
    // 4 x 3, RLE8: bottom row 2 pixels then end of row, middle row full, then end of bitmap.
    const std::vector<std::uint8_t> data = {2, 5, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1};
    CMemoryBitmap bitmap;
    Decode(MakeBmp(4, 3, 8, 1, GreyTable(6), data), bitmap);
    const std::vector<std::uint8_t> want[3] = {{0, 0, 0, 0}, {1, 2, 3, 4}, {5, 5, 0, 0}};
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(std::vector<std::uint8_t>(bitmap.Line(y), bitmap.Line(y) + 4), want[y])
            << "row " << y;
}

TEST(BmpDecoder, RunsIntoTheRowPaddingAreDropped) {
    CMemoryBitmap bitmap;
    Decode(MakeBmp(3, 2, 8, 1, GreyTable(4), {4, 1, 0, 0, 3, 2, 1, 3, 0, 1}), bitmap);
    EXPECT_EQ(std::vector<std::uint8_t>(bitmap.Line(1), bitmap.Line(1) + 3),
              (std::vector<std::uint8_t>{1, 1, 1}));
    EXPECT_EQ(std::vector<std::uint8_t>(bitmap.Line(0), bitmap.Line(0) + 3),
              (std::vector<std::uint8_t>{2, 2, 2}));
    Decode(MakeBmp(3, 1, 4, 2, GreyTable(4), {8, 0x12, 0, 1}), bitmap);
    EXPECT_EQ(std::vector<std::uint8_t>(bitmap.Line(0), bitmap.Line(0) + 3),
              (std::vector<std::uint8_t>{1, 2, 1}));
}

TEST(BmpDecoder, ColourTableRules) {
    // Two entries for an 8-bit file: the palette holds them with the fourth byte 255; the
    // rest is black.
    CMemoryBitmap bitmap;
    Decode(MakeBmp(2, 1, 8, 0, GreyTable(2), {1, 0, 0, 0}), bitmap);
    ASSERT_EQ(bitmap.Depth(), 8);
    EXPECT_EQ(bitmap.Palette()[1], (RGBQuad{7, 3, 254, 255}));
    EXPECT_EQ(bitmap.Palette()[2], (RGBQuad{0, 0, 0, 255}));
    EXPECT_EQ(bitmap.Line(0)[0], 1);
    // More entries than 2^bits (1 bit, 3 entries): the third is skipped, pixels still found.
    Decode(MakeBmp(3, 1, 1, 0, GreyTable(3), {0x40, 0, 0, 0}), bitmap);
    EXPECT_EQ(peer::PixelOf(bitmap, 1, 0), (RGBQuad{7, 3, 254, 255}));
    // Requested 32 bpp: each index replaced by its colour.
    Decode(MakeBmp(2, 1, 8, 0, GreyTable(2), {1, 0, 0, 0}), bitmap, 32);
    ASSERT_EQ(bitmap.Depth(), 32);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[0], (RGBQuad{7, 3, 254, 255}));
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[1], (RGBQuad{0, 0, 255, 255}));
}

TEST(BmpDecoder, FormatMessages) {
    CMemoryBitmap bitmap;
    auto good = MakeBmp(4, 2, 8, 0, GreyTable(4), std::vector<std::uint8_t>(8, 1));
    auto b = good;
    b[1] = 'X';
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 1, "Bitmap decoder: This isn't a bitmap.");
    b = good;
    Put32(b, 14, 12);
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 2, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
    for (int bits : {0, 2, 15, 64}) {
        b = good;
        Put16(b, 28, std::uint32_t(bits));
        EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 2, "Decoding bmp: Illegal bpp value.");
    }
    for (std::uint32_t compression :
         {2u, 3u, 4u, 5u}) { // RLE4 on 8 bits, masks on 8 bits, JPEG, PNG
        b = good;
        Put32(b, 30, compression);
        EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 2,
                              "Bitmap decoder: Compression type not handled.");
    }
    b.assign(good.begin(), good.end() - 1);
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 11, "End of file reached while decoding.\n");
    b.assign(good.begin(), good.begin() + 30);
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 11, "End of file reached while decoding.\n");
}

TEST(BmpDecoder, LyingSizesFailBeforeAllocating) {
    CMemoryBitmap bitmap;
    const auto good = MakeBmp(4, 2, 24, 0, {}, std::vector<std::uint8_t>(24, 1));
    const struct {
        std::int32_t width, height;
        int code;
        const char* text;
    } cases[] = {
        {0, 2, 7, "Bitmap decoder: Illegal width or height."},
        {-4, 2, 7, "Bitmap decoder: Illegal width or height."},
        {4, 0, 7, "Bitmap decoder: Illegal width or height."},
        {40000, 2, 10,
         "The picture is 40000x2 pixels, larger than the limit of 32768 pixels a side."},
        {30000, 30000, 10,
         "The picture is 30000x30000 pixels, larger than the limit of 1 GiB at 32 bits per pixel."},
        {4, INT32_MIN, 10,
         "The picture is 4x2147483648 pixels, larger than the limit of 32768 pixels a side."},
        {2000, 2000, 11, "End of file reached while decoding.\n"}, // 12 MB claimed, 24 bytes there
    };
    for (const auto& c : cases) {
        auto b = good;
        Put32(b, 18, std::uint32_t(c.width));
        Put32(b, 22, std::uint32_t(c.height));
        EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), c.code, c.text);
        EXPECT_EQ(bitmap.Width(), 16) << "nothing allocated for " << c.width << "x" << c.height;
    }
    auto b = good;
    Put32(b, 10, 0x7FFFFFF0); // pixels past the end
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 11, "End of file reached while decoding.\n");
}

TEST(BmpDecoder, DamagedDataMessages) {
    CMemoryBitmap bitmap;
    const auto table = GreyTable(4);
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(4, 1, 8, 1, table, {0, 2, 1, 1, 0, 1}), bitmap), 6,
                          "Encountered delta escape.");
    // Runs may fill the row's padding (4 bytes: 4 pixels at 8 bits, 8 at 4 bits), no further.
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(3, 1, 8, 1, table, {5, 1, 0, 1}), bitmap), 7,
                          "Bitmap decoder: Run passes the end of the row.");
    EXPECT_TEXT_EXCEPTION(
        Decode(MakeBmp(3, 1, 4, 2, table, {0, 9, 0x12, 0x30, 0, 0, 0, 0, 0, 1}), bitmap), 7,
        "Bitmap decoder: Run passes the end of the row.");
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(4, 1, 8, 1, table, {4, 1, 0, 0, 1, 1, 0, 1}), bitmap), 7,
                          "Bitmap decoder: Run passes the end of the image.");
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(4, 1, 8, 1, table, {4, 1, 0, 0}), bitmap), 11,
                          "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(4, 1, 8, 0, table, {0, 1, 4, 3}), bitmap), 7,
                          "Bitmap decoder: Palette index out of range.");
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(4, 1, 8, 1, table, {2, 9, 0, 1}), bitmap, 32), 7,
                          "Bitmap decoder: Palette index out of range.");
    EXPECT_TEXT_EXCEPTION(Decode(MakeBmp(4, -1, 8, 1, table, {4, 1, 0, 1}), bitmap), 7,
                          "Bitmap decoder: Top-down bitmaps can't be compressed.");
    // Masks that overlap, are not one run of bits, or pass 16 bits for a 16-bit file.
    for (const auto& masks : {std::vector<std::uint32_t>{0xF800, 0x0FE0, 0x1F},
                              {0xF000, 0x0A00, 0xFF},
                              {0x1F0000, 0x7E0, 0x1F}}) {
        auto b = MakeBmp(1, 1, 16, 3, {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        for (int i = 0; i < 3; ++i)
            Put32(b, 54 + 4 * std::size_t(i), masks[std::size_t(i)]);
        EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 7, "Bitmap decoder: Illegal colour masks.");
    }
}

TEST(BmpDecoder, FuzzSeedsAreValidFiles) {
    const auto seeds = peer::TestDataFiles("fuzz-seeds/bmp");
    ASSERT_GE(seeds.size(), 10u);
    for (const auto& seed : seeds) {
        CMemoryBitmap bitmap;
        EXPECT_NO_THROW(Decode(peer::ReadFile(seed), bitmap)) << seed;
    }
}

// ---- BMP Suite -------------------------------------------------------------------------------

// Suite files showing the same picture as a reference of another name.
const std::map<std::string, std::string> kSameAs = {
    {"pal1wb", "pal1"},
    {"pal4rle", "pal4"},
    {"pal8-0", "pal8"},
    {"pal8rle", "pal8"},
    {"pal8topdown", "pal8"},
    {"pal8v5", "pal8"},
    {"rgb16-565pal", "rgb16-565"},
    {"rgb24pal", "rgb24"},
    {"rgb32", "rgb24"},
    {"rgb32bf", "rgb24"},
    {"pal8oversizepal", "pal8"},
    {"pal8offs", "pal8"},
    {"pal8os2v2", "pal8"},
    {"rgb24largepal", "rgb24"},
    {"rgb24lprof", "rgb24"},
    {"rgb24prof", "rgb24"},
    {"rgb32h52", "rgb24"},
    {"rgb32-xbgr", "rgb24"},
    {"rgb32fakealpha", "rgb24"},
    {"rgba32abf", "rgba32"},
    {"rgba32h56", "rgba32"},
    {"rgba32-2", "rgba32"},
    // Bad files whose fault lies in a field the reader does not need: the picture of pal1/pal8.
    {"badbitssize", "pal1"},
    {"baddens1", "pal1"},
    {"baddens2", "pal1"},
    {"badfilesize", "pal1"},
    {"badheadersize", "pal1"},
    {"badplanes", "pal1"},
    {"badpalettesize", "pal8"},
};

std::optional<peer::Image> SuiteReference(const fs::path& suite, const std::string& stem) {
    const auto alias = kSameAs.find(stem);
    const fs::path png =
        suite / "html" / ((alias != kSameAs.end() ? alias->second : stem) + ".png");
    return fs::exists(png) ? peer::Decode(png) : std::nullopt;
}

// Decodes every file of one suite folder; returns stem -> error text (empty when decoded), and
// checks decoded pictures against their reference where the suite has one.
std::map<std::string, std::string> RunSuiteFolder(const fs::path& suite, const std::string& folder,
                                                  int tolerance) {
    std::map<std::string, std::string> outcome;
    for (const auto& entry : fs::directory_iterator(suite / folder)) {
        const std::string stem = entry.path().stem().string();
        const auto bytes = peer::ReadFile(entry.path());
        CMemoryBitmap bitmap;
        CBMPDecoder decoder;
        try {
            decoder.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 32, nullptr);
        } catch (const CTextException& e) {
            outcome[stem] = e.Text();
            continue;
        }
        outcome[stem] = "";
        if (const auto reference = SuiteReference(suite, stem)) {
            const std::string diff = peer::Compare(
                bitmap, *reference, {.tolerance = tolerance, .skipTransparent = true});
            EXPECT_TRUE(diff.empty()) << folder << "/" << stem << ": " << diff;
        }
    }
    return outcome;
}

TEST(BmpSuite, GoodFilesMatchTheirReferences) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_TOOL("convert");
    const auto outcome = RunSuiteFolder(testsupport::CorporaDir() / "bmpsuite", "g", 0);
    ASSERT_FALSE(outcome.empty());
    for (const auto& [stem, error] : outcome) {
        if (stem == "pal8os2") // OS/2 headers are a variant this reader does not handle
            EXPECT_EQ(error, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
        else
            EXPECT_EQ(error, "") << stem;
    }
}

TEST(BmpSuite, QuestionableFilesDecodeRightOrFailCleanly) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_TOOL("convert");
    // Channels of masks wider than 16 bits are cut to their top 16 bits: a step of rounding apart.
    const auto outcome = RunSuiteFolder(testsupport::CorporaDir() / "bmpsuite", "q", 1);
    const std::set<std::string> decoded = {
        "pal1p1",        "pal8offs",       "pal8os2v2", "pal8oversizepal", "rgb16-231",
        "rgb24largepal", "rgb24lprof",     "rgb24prof", "rgb24prof2",      "rgb32-111110",
        "rgb32-xbgr",    "rgb32fakealpha", "rgb32h52",  "rgba16-4444",     "rgba32-2",
        "rgba32-61754",  "rgba32abf",      "rgba32h56"};
    for (const auto& [stem, error] : outcome)
        EXPECT_EQ(error.empty(), decoded.count(stem) == 1) << stem << ": " << error;
}

TEST(BmpSuite, BadFilesFailCleanlyOrShowTheirPicture) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_TOOL("convert");
    const auto outcome = RunSuiteFolder(testsupport::CorporaDir() / "bmpsuite", "b", 0);
    const std::map<std::string, std::string> failing = {
        {"badbitcount", "Decoding bmp: Illegal bpp value."},
        {"badrle", "Bitmap decoder: Run passes the end of the row."},
        {"badwidth", "Bitmap decoder: Illegal width or height."},
        {"pal8badindex", "Bitmap decoder: Palette index out of range."},
        {"reallybig",
         "The picture is 3000000x2000000 pixels, larger than the limit of 32768 pixels a side."},
        {"rletopdown", "Bitmap decoder: Top-down bitmaps can't be compressed."},
        {"shortfile", "End of file reached while decoding.\n"},
    };
    for (const auto& [stem, error] : outcome) {
        const auto expected = failing.find(stem);
        EXPECT_EQ(error, expected != failing.end() ? expected->second : "") << stem;
    }
}

} // namespace
