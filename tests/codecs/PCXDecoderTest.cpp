// SPDX-License-Identifier: MIT
// The PCX reader against netpbm's pcxtoppm on files of ppmtopcx and ImageMagick, the public
// PCX samples, and lying files.
#include "codecs/PCXDecoder.h"
#include "PeerDecode.h"
#include "image/MemoryBitmap.h"
#include "support/TestSupport.h"

#include <map>

namespace fs = std::filesystem;

namespace {

// A 128-byte header (16-colour palette: entry i = (i, 2i, 3i)) and the bytes after it.
std::vector<std::uint8_t> MakePcx(int width, int height, int bits, int planes, int bytesPerLine,
                                  const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = std::uint8_t(bits);
    b[8] = std::uint8_t(width - 1);
    b[9] = std::uint8_t((width - 1) >> 8);
    b[10] = std::uint8_t(height - 1);
    b[11] = std::uint8_t((height - 1) >> 8);
    for (int i = 0; i < 16; ++i) {
        b[16 + 3 * std::size_t(i)] = std::uint8_t(i);
        b[17 + 3 * std::size_t(i)] = std::uint8_t(2 * i);
        b[18 + 3 * std::size_t(i)] = std::uint8_t(3 * i);
    }
    b[65] = std::uint8_t(planes);
    b[66] = std::uint8_t(bytesPerLine);
    b[67] = std::uint8_t(bytesPerLine >> 8);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

void Decode(const std::vector<std::uint8_t>& bytes, CImageBitmap& bitmap, int depth = 0) {
    CPCXDecoder decoder;
    decoder.LoadFromMemory(bytes.data(), bytes.size(), bitmap, depth, nullptr);
}

// netpbm's pcxtoppm as the independent reader (ImageMagick inverts one-bit files). One plane of
// one bit is black and white here whatever the header palette holds, so pcxtoppm reads a copy
// whose header palette says so.
void ExpectLikePcxToPpm(const fs::path& path) {
    auto bytes = peer::ReadFile(path);
    const fs::path copy = fs::path(path).replace_extension(".ref.pcx");
    if (bytes.size() >= 128 && bytes[3] == 1 && bytes[65] == 1) {
        const std::uint8_t blackWhite[6] = {0, 0, 0, 255, 255, 255};
        std::copy(std::begin(blackWhite), std::end(blackWhite), bytes.begin() + 16);
    }
    peer::WriteFile(copy, bytes);
    auto reference = peer::DecodeVia("pcxtoppm \"$1\"", copy);
    fs::remove(copy);
    if (!reference && (bytes[3] == 8 || bytes[65] > 1))
        reference = peer::Decode(path); // pcxtoppm rejects some files ImageMagick reads right
    ASSERT_TRUE(reference) << "no reference reading of " << path;
    CPCXDecoder decoder;
    peer::ExpectLikeReference(decoder, path, 32, *reference);
}

struct Variant {
    const char* name;
    const char* script; // $1 source picture, $2 output file
};

class PcxPeerTest : public ::testing::TestWithParam<std::tuple<Variant, std::pair<int, int>>> {};

TEST_P(PcxPeerTest, PixelsMatchImageMagick) {
    SKIP_WITHOUT_TOOL("convert");
    SKIP_WITHOUT_TOOL("ppmtopcx");
    SKIP_WITHOUT_TOOL("pcxtoppm");
    const auto& [variant, size] = GetParam();
    testsupport::CTempDir dir;
    const fs::path source = dir.Path() / "src.ppm";
    const fs::path file = dir.Path() / "out.pcx";
    peer::WriteTestPicture(source, size.first, size.second, 3);
    ASSERT_TRUE(testsupport::RunProgram({"sh", "-c", std::string(variant.script) + " 2>/dev/null",
                                         "sh", source.string(), file.string()}))
        << variant.script;
    ExpectLikePcxToPpm(file);
}

const Variant kVariants[] = {
    {"mono", "convert \"$1\" -threshold 50% pbm:- | ppmtopcx > \"$2\""},
    {"planes2", "convert \"$1\" -colors 4 ppm:- | ppmtopcx > \"$2\""},
    {"planes4", "convert \"$1\" -colors 16 ppm:- | ppmtopcx > \"$2\""},
    {"packed2", "convert \"$1\" -colors 4 ppm:- | ppmtopcx -packed > \"$2\""},
    {"packed4", "convert \"$1\" -colors 16 ppm:- | ppmtopcx -packed > \"$2\""},
    {"vga8", "convert \"$1\" -colors 200 ppm:- | ppmtopcx -8bit > \"$2\""},
    {"rgb24", "ppmtopcx -24bit \"$1\" > \"$2\""},
    {"offset", "convert \"$1\" -colors 100 ppm:- | ppmtopcx -xpos=300 -ypos=7 > \"$2\""},
    {"magick8", "convert \"$1\" -colors 50 -type palette \"PCX:$2\""},
    {"magick24", "convert \"$1\" \"PCX:$2\""},
};

std::string VariantName(const ::testing::TestParamInfo<PcxPeerTest::ParamType>& info) {
    const auto size = std::get<1>(info.param);
    return std::string(std::get<0>(info.param).name) + "_" + std::to_string(size.first) + "x" +
           std::to_string(size.second);
}

INSTANTIATE_TEST_SUITE_P(Generated, PcxPeerTest,
                         ::testing::Combine(::testing::ValuesIn(kVariants),
                                            ::testing::Values(std::pair{37, 23}, std::pair{1, 1},
                                                              std::pair{300, 2})),
                         VariantName);

TEST(PcxDecoder, RunsCrossLinesAndTheResultIsAlways32Bpp) {
    // 4 x 2 at 4 bits, 2 bytes per line: a run of 3 bytes 0x12 crosses into the second line.
    CMemoryBitmap bitmap;
    Decode(MakePcx(4, 2, 4, 1, 2, {0xC3, 0x12, 0x34}), bitmap);
    ASSERT_EQ(bitmap.Depth(), 32);
    const RGBQuad one{3, 2, 1, 255}, two{6, 4, 2, 255}, three{9, 6, 3, 255}, four{12, 8, 4, 255};
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[0], one);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[3], two);
    EXPECT_EQ(bitmap.Row<RGBQuad>(1)[1], two);
    EXPECT_EQ(bitmap.Row<RGBQuad>(1)[2], three);
    EXPECT_EQ(bitmap.Row<RGBQuad>(1)[3], four);
    // One plane of one bit: black and white whatever the header palette says.
    Decode(MakePcx(2, 1, 1, 1, 1, {0x40}), bitmap);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[0], (RGBQuad{0, 0, 0, 255}));
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[1], (RGBQuad{255, 255, 255, 255}));
    // Zero-length runs are skipped.
    Decode(MakePcx(2, 1, 8, 3, 2, {0xC0, 9, 1, 2, 0xC0, 7, 3, 4, 5, 6}), bitmap);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[1], (RGBQuad{6, 4, 2, 255}));
}

TEST(PcxDecoder, PlanesMakePaletteIndexes) {
    // 3 planes of one bit, 1 byte per plane line: pixel x takes bit i from plane i.
    CMemoryBitmap bitmap;
    Decode(MakePcx(4, 1, 1, 3, 1, {0b10100000, 0b01100000, 0b00010000}), bitmap);
    const int expected[4] = {1, 2, 3, 4};
    for (int x = 0; x < 4; ++x) {
        const auto i = std::uint8_t(expected[x]);
        EXPECT_EQ(bitmap.Row<RGBQuad>(0)[x],
                  (RGBQuad{std::uint8_t(3 * i), std::uint8_t(2 * i), i, 255}))
            << x;
    }
}

TEST(PcxDecoder, VgaPaletteFollowsTheMarker) {
    std::vector<std::uint8_t> data = {0xC2, 7, 12};
    for (int i = 0; i < 256; ++i)
        data.insert(data.end(), {std::uint8_t(i), std::uint8_t(255 - i), 5});
    CMemoryBitmap bitmap;
    Decode(MakePcx(2, 1, 8, 1, 2, data), bitmap);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[1], (RGBQuad{5, 248, 7, 255}));
    data[2] = 11;
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(2, 1, 8, 1, 2, data), bitmap), 7,
                          "bad color map signature.");
    data.resize(100);
    data[2] = 12;
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(2, 1, 8, 1, 2, data), bitmap), 11,
                          "End of file reached while decoding.\n");
}

TEST(PcxDecoder, Messages) {
    CMemoryBitmap bitmap;
    auto b = MakePcx(2, 1, 8, 3, 2, {1, 2, 3, 4, 5, 6});
    b[0] = 11;
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 1, "Error decoding pcx: Not a PCX file.");
    b[0] = 10;
    b[2] = 0;
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 1, "File has unknown encoding scheme.");
    const std::vector<std::uint8_t> none(64, 1);
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(2, 1, 1, 5, 1, none), bitmap), 2,
                          "Can't handle image with more than 4 planes.");
    for (const auto& [bits, planes] :
         {std::pair{1, 0}, std::pair{8, 2}, std::pair{8, 4}, std::pair{24, 1}, std::pair{3, 1}})
        EXPECT_TEXT_EXCEPTION(Decode(MakePcx(2, 1, bits, planes, 8, none), bitmap), 2,
                              "Can't handle bits per pixel image with planes.");
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(2, 1, 4, 3, 1, none), bitmap), 7,
                          "Can't handle packed pixels with more than 1 plane.");
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(4, 2, 8, 1, 4, {0xC5, 1, 0xC4, 2}), bitmap), 7,
                          "repeat count spans end of image.");
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(9, 1, 8, 1, 8, none), bitmap), 7,
                          "Error decoding pcx: Bytes per line too small.");
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(17, 1, 1, 1, 2, none), bitmap), 7,
                          "Error decoding pcx: Bytes per line too small.");
    b = MakePcx(2, 1, 8, 3, 2, none);
    b[4] = 5; // xmin past xmax
    EXPECT_TEXT_EXCEPTION(Decode(b, bitmap), 7, "Error decoding pcx: Illegal image size.");
    EXPECT_TEXT_EXCEPTION(
        Decode(MakePcx(20000, 20000, 8, 3, 20000, none), bitmap), 10,
        "The picture is 20000x20000 pixels, larger than the limit of 1 GiB at 32 bits per pixel.");
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(2000, 2000, 8, 3, 2000, none), bitmap), 11,
                          "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode(MakePcx(4, 2, 8, 3, 4, {0xC9, 1, 0xC9}), bitmap), 11,
                          "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode(std::vector<std::uint8_t>(100, 10), bitmap), 11,
                          "End of file reached while decoding.\n");
}

TEST(PcxDecoder, FuzzSeedsAreValidFiles) {
    const auto seeds = peer::TestDataFiles("fuzz-seeds/pcx");
    ASSERT_GE(seeds.size(), 8u);
    for (const auto& seed : seeds) {
        CMemoryBitmap bitmap;
        EXPECT_NO_THROW(Decode(peer::ReadFile(seed), bitmap)) << seed;
    }
}

TEST(PcxSamples, DecodeLikeNetpbmOrFailCleanly) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_TOOL("convert");
    SKIP_WITHOUT_TOOL("pcxtoppm");
    // Layouts this reader leaves out, and damaged files.
    const std::map<std::string, std::string> failing = {
        {"1plane1bppUncompressed.pcx", "File has unknown encoding scheme."},
        {"1plane8bppUncompressed.pcx", "File has unknown encoding scheme."},
        {"3plane8bppUncompressed.pcx", "File has unknown encoding scheme."},
        {"1plane24bppCompressed.pcx", "Can't handle bits per pixel image with planes."},
        {"1plane32bppCompressed.pcx", "Can't handle bits per pixel image with planes."},
        {"01r_00.pcx", "Error decoding pcx: Bytes per line too small."},
        {"ossfuzz-4836216264589312.pcx", "File has unknown encoding scheme."},
        {"GMARBLES.PCX", "End of file reached while decoding.\n"}, // netpbm and ImageMagick agree
    };
    int decoded = 0;
    for (const auto& entry : fs::recursive_directory_iterator(testsupport::CorporaDir() / "pcx")) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext != ".pcx")
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto expected = failing.find(name);
        if (expected != failing.end()) {
            CMemoryBitmap bitmap;
            const auto bytes = peer::ReadFile(entry.path());
            try {
                Decode(bytes, bitmap);
                ADD_FAILURE() << "decoded";
            } catch (const CTextException& e) {
                EXPECT_EQ(e.Text(), expected->second);
            }
            continue;
        }
        const auto header = peer::ReadFile(entry.path());
        if (header[3] == 1 && header[65] == 3) {
            // pcxtoppm and ImageMagick take three one-bit planes as red, green and blue; here
            // they make a palette index like two or four planes (see PlanesMakePaletteIndexes).
            CMemoryBitmap bitmap;
            EXPECT_NO_THROW(Decode(header, bitmap));
            continue;
        }
        ExpectLikePcxToPpm(entry.path());
        ++decoded;
    }
    EXPECT_GE(decoded, 20);
}

} // namespace
