// SPDX-License-Identifier: MIT
// The PGM reader against ImageMagick on files of ImageMagick and netpbm, the public PGM
// samples, and lying files.
#include "codecs/PGMDecoder.h"
#include "PeerDecode.h"
#include "image/MemoryBitmap.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

void Decode(const std::string& text, CImageBitmap& bitmap, int depth = 0) {
    CPGMDecoder decoder;
    decoder.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), bitmap,
                           depth, nullptr);
}

std::vector<int> Row(const CImageBitmap& bitmap, int y) {
    std::vector<int> grey;
    for (int x = 0; x < bitmap.Width(); ++x)
        grey.push_back(peer::PixelOf(bitmap, x, y).green);
    return grey;
}

struct Variant {
    const char* name;
    const char* script; // $1 source picture, $2 output file
    int tolerance;      // ImageMagick rounds s * 255 / maximum, the reader divides
};

class PgmPeerTest : public ::testing::TestWithParam<std::tuple<Variant, std::pair<int, int>>> {};

TEST_P(PgmPeerTest, PixelsMatchImageMagick) {
    SKIP_WITHOUT_TOOL("convert");
    SKIP_WITHOUT_TOOL("pamdepth");
    const auto& [variant, size] = GetParam();
    testsupport::CTempDir dir;
    const fs::path source = dir.Path() / "src.ppm";
    const fs::path file = dir.Path() / "out.pgm";
    peer::WriteTestPicture(source, size.first, size.second, 4);
    ASSERT_TRUE(testsupport::RunProgram({"sh", "-c", std::string(variant.script) + " 2>/dev/null",
                                         "sh", source.string(), file.string()}));
    CPGMDecoder decoder;
    peer::ExpectLikePeer(decoder, file, 8, {.tolerance = variant.tolerance});
}

const Variant kVariants[] = {
    {"p5", "convert \"$1\" -colorspace gray -depth 8 \"pgm:$2\"", 0},
    {"p2", "convert \"$1\" -colorspace gray -depth 8 -compress none \"pgm:$2\"", 0},
    {"p5_16bit", "convert \"$1\" -colorspace gray -depth 16 \"pgm:$2\"", 1},
    {"p2_16bit", "convert \"$1\" -colorspace gray -depth 16 -compress none \"pgm:$2\"", 1},
    {"p5_max15", "convert \"$1\" -colorspace gray pgm:- | pamdepth 15 > \"$2\"", 0},
    {"p2_max100", "convert \"$1\" -colorspace gray pgm:- | pamdepth 100 | pnmtoplainpnm > \"$2\"",
     1},
    {"p5_max1000", "convert \"$1\" -colorspace gray pgm:- | pamdepth 1000 > \"$2\"", 1},
};

std::string VariantName(const ::testing::TestParamInfo<PgmPeerTest::ParamType>& info) {
    const auto size = std::get<1>(info.param);
    return std::string(std::get<0>(info.param).name) + "_" + std::to_string(size.first) + "x" +
           std::to_string(size.second);
}

INSTANTIATE_TEST_SUITE_P(Generated, PgmPeerTest,
                         ::testing::Combine(::testing::ValuesIn(kVariants),
                                            ::testing::Values(std::pair{37, 23}, std::pair{1, 1},
                                                              std::pair{300, 2})),
                         VariantName);

TEST(PgmDecoder, CommentsBlanksAndTheMaximumValue) {
    CMemoryBitmap bitmap;
    Decode("P2\n# made by hand\n3\t2 # size\n#\r15\r\n0 7 15\n\n1 2\n3", bitmap);
    ASSERT_EQ(bitmap.Depth(), 8);
    EXPECT_EQ(Row(bitmap, 0), (std::vector<int>{0, 119, 255}));
    EXPECT_EQ(Row(bitmap, 1), (std::vector<int>{17, 34, 51}));
    EXPECT_EQ(bitmap.Palette()[200], (RGBQuad{200, 200, 200, 255}));
    // Outside 1..65535 the maximum is taken as 255.
    Decode("P5 2 1 0\n\x10\xF0", bitmap);
    EXPECT_EQ(Row(bitmap, 0), (std::vector<int>{16, 240}));
    Decode("P2 2 1 70000 16 240", bitmap, 32);
    ASSERT_EQ(bitmap.Depth(), 32);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[1], (RGBQuad{240, 240, 240, 255}));
    // Above 255, binary samples take two bytes, most significant first.
    Decode(std::string("P5 2 1 1000\n\x03\xE8\x01\xF4", 16), bitmap);
    EXPECT_EQ(Row(bitmap, 0), (std::vector<int>{255, 127}));
}

TEST(PgmDecoder, Messages) {
    CMemoryBitmap bitmap;
    for (const char* text : {"P3 1 1 255 1 1 1", "P6", "p5 1 1 255 x", "GIF89a"})
        EXPECT_TEXT_EXCEPTION(Decode(text, bitmap), 2,
                              "PGM decoder: Is not the correct identifier P5 or P2.");
    for (const char* text : {"P2 x 1 255 1", "P2 1 1 255 -1", "P2 2 1 255 1.5 2", "P5 1 1 # 255"})
        EXPECT_TEXT_EXCEPTION(Decode(text, bitmap), text[1] == '5' ? 11 : 7,
                              text[1] == '5' ? "End of file reached while decoding.\n"
                                             : "PGM decoder: Expected a number.");
    EXPECT_TEXT_EXCEPTION(Decode("P2 0 1 255 1", bitmap), 7,
                          "PGM decoder: Illegal width or height.");
    EXPECT_TEXT_EXCEPTION(Decode("P2 2 1 15 3 16", bitmap), 7,
                          "PGM decoder: Sample value greater than the maximum value.");
    EXPECT_TEXT_EXCEPTION(Decode("P5 2 1 15\n\x03\x10", bitmap), 7,
                          "PGM decoder: Sample value greater than the maximum value.");
    CMemoryBitmap untouched;
    EXPECT_TEXT_EXCEPTION(
        Decode("P5 40000 2 255\n", untouched), 10,
        "The picture is 40000x2 pixels, larger than the limit of 32768 pixels a side.");
    EXPECT_TEXT_EXCEPTION(
        Decode("P5 99999999999999999999 2 255\n", untouched), 10,
        "The picture is 4294967295x2 pixels, larger than the limit of 32768 pixels a side.");
    EXPECT_TEXT_EXCEPTION(Decode("P5 30000 30000 255\nabc", untouched), 11,
                          "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode("P2 3000 3000 255\n1 2 3", untouched), 11,
                          "End of file reached while decoding.\n");
    EXPECT_EQ(untouched.Width(), 16); // nothing allocated for the claims above
    EXPECT_TEXT_EXCEPTION(Decode("P2 2 2 255\n1 2 3", bitmap), 11,
                          "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode("P5 2 2 255\n123", bitmap), 11,
                          "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode("P", bitmap), 11, "End of file reached while decoding.\n");
}

TEST(PgmDecoder, FuzzSeedsAreValidFiles) {
    const auto seeds = peer::TestDataFiles("fuzz-seeds/pgm");
    ASSERT_GE(seeds.size(), 5u);
    for (const auto& seed : seeds) {
        CMemoryBitmap bitmap;
        const auto bytes = peer::ReadFile(seed);
        EXPECT_NO_THROW(Decode(std::string(bytes.begin(), bytes.end()), bitmap)) << seed;
    }
}

TEST(PgmSamples, DecodeLikeImageMagickOrFailCleanly) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_TOOL("convert");
    int decoded = 0;
    for (const auto& entry : fs::recursive_directory_iterator(testsupport::CorporaDir() / "pgm")) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().string());
        const auto bytes = peer::ReadFile(entry.path());
        if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '2' && bytes[1] != '5')) {
            CMemoryBitmap bitmap;
            EXPECT_TEXT_EXCEPTION(Decode(std::string(bytes.begin(), bytes.end()), bitmap), 2,
                                  "PGM decoder: Is not the correct identifier P5 or P2.");
            continue;
        }
        CPGMDecoder decoder;
        peer::ExpectLikePeer(decoder, entry.path(), 8, {.tolerance = 1});
        ++decoded;
    }
    EXPECT_GE(decoded, 12);
}

} // namespace
