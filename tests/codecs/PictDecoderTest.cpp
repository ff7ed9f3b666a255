// SPDX-License-Identifier: MIT
// The PICT reader against ImageMagick on files of ImageMagick and netpbm, hand-made pictures of
// both versions, the public PICT samples, and lying files.
#include "codecs/PictDecoder.h"
#include "PeerDecode.h"
#include "codecs/PictureDecoder.h"
#include "image/MemoryBitmap.h"
#include "support/TestSupport.h"

#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

// Builds a picture: the 512-byte file header, size, frame, version, then opcodes.
class CPictBuilder {
public:
    CPictBuilder(int version, int width, int height) : m_version(version) {
        m_bytes.assign(512, 0);
        Word(0);
        Rect(0, 0, height, width);
        if (version == 1) {
            Bytes({0x11, 0x01});
        } else {
            Bytes({0x00, 0x11, 0x02, 0xFF});
            Op(0x0C00);
            m_bytes.resize(m_bytes.size() + 24, 0);
        }
    }
    CPictBuilder& Op(int op) {
        if (m_version == 1)
            return Byte(op);
        if (m_bytes.size() & 1)
            Byte(0);
        return Word(op);
    }
    CPictBuilder& Byte(int v) {
        m_bytes.push_back(std::uint8_t(v));
        return *this;
    }
    CPictBuilder& Word(int v) { return Byte(v >> 8).Byte(v); }
    CPictBuilder& Long(std::uint32_t v) { return Word(int(v >> 16)).Word(int(v & 0xFFFF)); }
    CPictBuilder& Rect(int top, int left, int bottom, int right) {
        return Word(top).Word(left).Word(bottom).Word(right);
    }
    CPictBuilder& Bytes(std::initializer_list<int> values) {
        for (int v : values)
            Byte(v);
        return *this;
    }
    // A PixMap record after row bytes and bounds (36 bytes).
    CPictBuilder& PixMapFields(int packType, int pixelSize, int components) {
        Word(0)
            .Word(packType)
            .Long(0)
            .Long(0x00480000)
            .Long(0x00480000)
            .Word(pixelSize > 8 ? 16 : 0);
        return Word(pixelSize)
            .Word(components)
            .Word(pixelSize > 8 ? 8 : pixelSize)
            .Long(0)
            .Long(0)
            .Long(0);
    }
    std::vector<std::uint8_t> End() {
        Op(0xFF);
        if (m_version == 2)
            Byte(0xFF);
        return m_bytes;
    }

private:
    int m_version;
    std::vector<std::uint8_t> m_bytes;
};

void Decode(const std::vector<std::uint8_t>& bytes, CImageBitmap& bitmap, int depth = 0) {
    CPictDecoder decoder;
    decoder.LoadFromMemory(bytes.data(), bytes.size(), bitmap, depth, nullptr);
}

// The vector opcodes of both versions, each with data to skip.
void AddVectorOpcodes(CPictBuilder& b, int version) {
    b.Op(0x01).Word(10).Rect(0, 0, 4, 4);                                 // clip region
    b.Op(0x20).Rect(0, 0, 3, 3);                                          // line
    b.Op(0x31).Rect(1, 1, 2, 2);                                          // paint rect
    b.Op(0x3A);                                                           // same rect
    b.Op(0x61).Rect(0, 0, 3, 3).Word(0).Word(90);                         // arc
    b.Op(0x71).Word(18).Rect(0, 0, 3, 3).Word(0).Word(0).Word(2).Word(2); // polygon
    b.Op(0x81).Word(10).Rect(0, 0, 3, 3);                                 // region
    b.Op(0x28).Word(1).Word(1).Byte(3).Bytes({'a', 'b', 'c'});            // long text
    b.Op(0x2B).Byte(1).Byte(1).Byte(1).Byte('d');                         // text with both offsets
    b.Op(0xA0).Word(100);                                                 // short comment
    b.Op(0xA1).Word(100).Word(3).Bytes({1, 2, 3});                        // long comment
    b.Op(0x09).Bytes({1, 2, 3, 4, 5, 6, 7, 8});                           // pen pattern
    if (version == 2) {
        b.Op(0x1A).Word(0xFFFF).Word(0).Word(0); // foreground colour
        b.Op(0x12).Word(2).Bytes({0, 0, 0, 0, 0, 0, 0, 0}).Word(1).Word(2).Word(3); // dither
                                                                                    // pattern
        b.Op(0x2C).Word(5).Bytes({0, 0, 2, 'a', 'b'});                              // font name
        b.Op(0x00A5).Word(2).Word(7);          // reserved, word length
        b.Op(0x00D0).Long(3).Bytes({1, 2, 3}); // reserved, long length
        b.Op(0x8000);                          // reserved, no data
        b.Op(0x0200).Long(0);                  // reserved, 4 bytes
    }
}

TEST(PictDecoder, Version1BitsRectAfterVectorOpcodes) {
    for (const int version : {1, 2}) {
        CPictBuilder b(version, 10, 2);
        AddVectorOpcodes(b, version);
        // A QuickDraw bitmap 10 x 2: rows of 2 bytes, 1 is black.
        b.Op(0x90).Word(2).Rect(0, 0, 2, 10).Rect(0, 0, 2, 10).Rect(0, 0, 2, 10).Word(0);
        b.Bytes({0b10100000, 0b01000000, 0b01010101, 0b11000000});
        CMemoryBitmap bitmap;
        Decode(b.End(), bitmap);
        ASSERT_EQ(bitmap.Depth(), 8);
        const char* expected[2] = {"#.#......#", ".#.#.#.###"};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(peer::PixelOf(bitmap, x, y).red, expected[y][x] == '#' ? 0 : 255)
                    << version << " " << x << "," << y;
    }
}

TEST(PictDecoder, BandsAreDrawnIntoTheFrame) {
    // Two 4 x 1 PackBitsRgn bands (rows shorter than 8 bytes are not packed) placed into a
    // 4 x 3 frame; the row nothing covers stays white.
    CPictBuilder b(2, 4, 3);
    for (int band = 0; band < 2; ++band) {
        b.Op(0x99).Word(0x8000 | 4).Rect(0, 0, 1, 4).PixMapFields(0, 8, 1);
        b.Long(0)
            .Word(0x8000)
            .Word(1)
            .Bytes({0, 0, 0xFF, 0xFF, 0, 0, 0, 0})
            .Bytes({0, 0, 0, 0, 0, 0, 0xFF, 0xFF});
        b.Rect(0, 0, 1, 4).Rect(band * 2, 0, band * 2 + 1, 4).Word(0);
        b.Word(10).Rect(0, 0, 1, 4); // mask region
        b.Bytes({0, 1, 1, 0});
    }
    CMemoryBitmap bitmap;
    Decode(b.End(), bitmap, 0);
    ASSERT_EQ(bitmap.Depth(), 32);
    ASSERT_EQ(bitmap.Width(), 4);
    ASSERT_EQ(bitmap.Height(), 3);
    const RGBQuad red{0, 0, 255, 255}, blue{255, 0, 0, 255}, white{255, 255, 255, 255};
    const RGBQuad expected[3][4] = {
        {red, blue, blue, red}, {white, white, white, white}, {red, blue, blue, red}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap.Row<RGBQuad>(y)[x], expected[y][x]) << x << "," << y;
}

TEST(PictDecoder, BandsOfOneColourTableStayIndexed) {
    // The same bands with white in their table: the picture keeps 8 bpp, the paper is white.
    CPictBuilder b(2, 4, 3);
    for (int band = 0; band < 2; ++band) {
        b.Op(0x98).Word(0x8000 | 4).Rect(0, 0, 1, 4).PixMapFields(0, 8, 1);
        b.Long(0)
            .Word(0x8000)
            .Word(1)
            .Bytes({0, 0, 0xFF, 0xFF, 0, 0, 0, 0})
            .Bytes({0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        b.Rect(0, 0, 1, 4).Rect(band * 2, 0, band * 2 + 1, 4).Word(0);
        b.Bytes({0, 1, 1, 0});
    }
    const auto bytes = b.End();
    CMemoryBitmap bitmap;
    Decode(bytes, bitmap, 0);
    ASSERT_EQ(bitmap.Depth(), 8);
    const int expected[3][4] = {{0, 1, 1, 0}, {1, 1, 1, 1}, {0, 1, 1, 0}}; // 0 red, 1 white
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(peer::PixelOf(bitmap, x, y),
                      expected[y][x] ? (RGBQuad{255, 255, 255, 255}) : (RGBQuad{0, 0, 255, 255}))
                << x << "," << y;
    Decode(bytes, bitmap, 32);
    EXPECT_EQ(bitmap.Depth(), 32);
    EXPECT_EQ(bitmap.Row<RGBQuad>(1)[0], (RGBQuad{255, 255, 255, 255}));
}

TEST(PictDecoder, DirectBitsSixteenBitsPackedByWords) {
    // 10 x 1 DirectBitsRect at 16 bits, packing type 3: a run of 9 pure-red words, then one
    // literal white word. Five-bit channels widen by repeating their top bits.
    CPictBuilder b(2, 10, 1);
    b.Op(0x9A).Long(0xFF).Word(0x8000 | 20).Rect(0, 0, 1, 10).PixMapFields(3, 16, 3);
    b.Rect(0, 0, 1, 10).Rect(0, 0, 1, 10).Word(0);
    b.Byte(6).Bytes({256 - 8, 0x7C, 0x00, 0, 0x7F, 0xFF});
    CMemoryBitmap bitmap;
    Decode(b.End(), bitmap);
    ASSERT_EQ(bitmap.Depth(), 32);
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[8], (RGBQuad{0, 0, 255, 255}));
    EXPECT_EQ(bitmap.Row<RGBQuad>(0)[9], (RGBQuad{255, 255, 255, 255}));
}

TEST(PictDecoder, Messages) {
    CMemoryBitmap bitmap;
    EXPECT_TEXT_EXCEPTION(Decode(std::vector<std::uint8_t>(600, 0), bitmap), 1,
                          "Error decoding pict: Version number missing.");
    auto bytes = CPictBuilder(1, 4, 4).End();
    bytes[523] = 0x07;
    EXPECT_TEXT_EXCEPTION(Decode(bytes, bitmap), 2, "Illegal version number.");
    for (const int version : {1, 2}) {
        CPictBuilder b(version, 4, 4);
        AddVectorOpcodes(b, version);
        EXPECT_TEXT_EXCEPTION(Decode(b.End(), bitmap), 6, "PICT contained only vector data!\n");
    }
    CPictBuilder quickTime(2, 4, 4);
    quickTime.Op(0x8200).Long(4).Bytes({1, 2, 3, 4});
    EXPECT_TEXT_EXCEPTION(Decode(quickTime.End(), bitmap), 6,
                          "Library not compiled for PICT/JPEG.");
    CPictBuilder pattern(2, 4, 4);
    pattern.Op(0x12).Word(3).Bytes({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TEXT_EXCEPTION(Decode(pattern.End(), bitmap), 7, "Unknown pattern type in pixPat.");
    CPictBuilder patternBpp(2, 4, 4);
    patternBpp.Op(0x12)
        .Word(1)
        .Bytes({0, 0, 0, 0, 0, 0, 0, 0})
        .Word(0x8000 | 2)
        .Rect(0, 0, 8, 8)
        .PixMapFields(0, 3, 1);
    EXPECT_TEXT_EXCEPTION(Decode(patternBpp.End(), bitmap), 7, "Bad bits per pixel in expandBuf8.");

    // An 8-bit PackBitsRect with a two-entry colour table; pixels as given.
    auto packBits = [](int pixelSize, std::initializer_list<int> pixels, int rows = 1) {
        CPictBuilder b(2, 4, rows);
        b.Op(0x98).Word(0x8000 | 4).Rect(0, 0, rows, 4).PixMapFields(0, pixelSize, 1);
        b.Long(0)
            .Word(0)
            .Word(1)
            .Bytes({0, 0, 0xFF, 0xFF, 0, 0, 0, 0})
            .Bytes({0, 1, 0, 0, 0, 0, 0xFF, 0xFF});
        b.Rect(0, 0, rows, 4).Rect(0, 0, rows, 4).Word(0).Bytes(pixels);
        return b.End();
    };
    EXPECT_NO_THROW(Decode(packBits(8, {0, 1, 1, 0}), bitmap));
    EXPECT_TEXT_EXCEPTION(Decode(packBits(3, {0, 1, 1, 0}), bitmap), 7,
                          "Bad bits per pixel in expandBuf.");
    EXPECT_TEXT_EXCEPTION(Decode(packBits(8, {0, 1, 2, 0}), bitmap), 7,
                          "pixel value greater than colour table size.");
    bytes = packBits(8, {0, 1, 1, 0});
    bytes.resize(bytes.size() - 5);
    EXPECT_TEXT_EXCEPTION(Decode(bytes, bitmap), 11, "End of file reached while decoding.\n");
    EXPECT_TEXT_EXCEPTION(Decode(packBits(8, {0, 1, 1, 0}, 30000), bitmap), 11,
                          "End of file reached while decoding.\n");
    bytes = packBits(8, {0, 1, 1, 0});
    bytes[512 + 2 + 8 + 4 + 2 + 24 + 2 + 2 + 4] = 0x80; // bounds: bottom -32767
    EXPECT_TEXT_EXCEPTION(Decode(bytes, bitmap), 7, "Error decoding pict: Damaged bitmap record.");
}

TEST(PictDecoder, StretchingTinyBitmapsOverTheFrameIsBounded) {
    // 1 x 1 bitmaps of 2 bytes each, every one stretched over a 1024 x 1024 frame: 64 of them
    // are drawn (a real picture draws far less), the 65th is refused.
    for (const int count : {64, 65}) {
        CPictBuilder b(2, 1024, 1024);
        for (int i = 0; i < count; ++i)
            b.Op(0x90)
                .Word(2)
                .Rect(0, 0, 1, 1)
                .Rect(0, 0, 1, 1)
                .Rect(0, 0, 1024, 1024)
                .Word(0)
                .Bytes({i & 1 ? 0x80 : 0, 0});
        CMemoryBitmap bitmap;
        if (count == 64) {
            Decode(b.End(), bitmap);
            EXPECT_EQ(peer::PixelOf(bitmap, 1023, 1023).red, 0); // the last one: black
        } else {
            EXPECT_TEXT_EXCEPTION(Decode(b.End(), bitmap), 7,
                                  "Error decoding pict: Too many bitmaps drawn over each other.");
        }
    }
}

TEST(PictDecoder, PackedRowsThatOverflowAreDamaged) {
    // 8 x 1 at 8 bits (row bytes 8: packed): 9 literal bytes do not fit.
    CPictBuilder b(2, 8, 1);
    b.Op(0x98).Word(0x8000 | 8).Rect(0, 0, 1, 8).PixMapFields(0, 8, 1);
    b.Long(0).Word(0x8000).Word(0).Bytes({0, 0, 0, 0, 0, 0, 0, 0});
    b.Rect(0, 0, 1, 8).Rect(0, 0, 1, 8).Word(0);
    b.Byte(10).Bytes({8, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    CMemoryBitmap bitmap;
    EXPECT_TEXT_EXCEPTION(Decode(b.End(), bitmap), 7, "Error decoding pict: Damaged packed row.");
}

struct Variant {
    const char* name;
    const char* script; // $1 source picture, $2 output file
    int naturalDepth;
};

// Rows shorter than 8 bytes are stored unpacked; ImageMagick packs them all the same (and reads
// them back so), and ppmtopict refuses them, so the peer files are at least 8 pixels wide.
class PictPeerTest : public ::testing::TestWithParam<std::tuple<Variant, std::pair<int, int>>> {};

TEST_P(PictPeerTest, PixelsMatchImageMagick) {
    SKIP_WITHOUT_TOOL("convert");
    SKIP_WITHOUT_TOOL("ppmtopict");
    const auto& [variant, size] = GetParam();
    testsupport::CTempDir dir;
    const fs::path source = dir.Path() / "src.ppm";
    const fs::path file = dir.Path() / "out.pict";
    peer::WriteTestPicture(source, size.first, size.second, 6);
    ASSERT_TRUE(testsupport::RunProgram({"sh", "-c", std::string(variant.script) + " 2>/dev/null",
                                         "sh", source.string(), file.string()}));
    CPictDecoder decoder;
    // ImageMagick narrows its own 16-bit colour table entries one step off, now and then.
    peer::ExpectLikePeer(decoder, file, variant.naturalDepth,
                         {.tolerance = variant.naturalDepth == 8 ? 1 : 0});
}

const Variant kVariants[] = {
    {"direct32", "convert \"$1\" \"PICT:$2\"", 32},
    {"palette8", "convert \"$1\" -colors 50 -type palette \"PICT:$2\"", 8},
    {"netpbm8", "convert \"$1\" -colors 200 ppm:- | ppmtopict > \"$2\"", 8},
};

std::string VariantName(const ::testing::TestParamInfo<PictPeerTest::ParamType>& info) {
    const auto size = std::get<1>(info.param);
    return std::string(std::get<0>(info.param).name) + "_" + std::to_string(size.first) + "x" +
           std::to_string(size.second);
}

INSTANTIATE_TEST_SUITE_P(Generated, PictPeerTest,
                         ::testing::Combine(::testing::ValuesIn(kVariants),
                                            ::testing::Values(std::pair{37, 23}, std::pair{8, 1},
                                                              std::pair{9, 3}, std::pair{300, 2})),
                         VariantName);

TEST(PictDecoder, FuzzSeedsAreValidFiles) {
    const auto seeds = peer::TestDataFiles("fuzz-seeds/pict");
    ASSERT_GE(seeds.size(), 4u);
    for (const auto& seed : seeds) {
        CMemoryBitmap bitmap;
        EXPECT_NO_THROW(Decode(peer::ReadFile(seed), bitmap)) << seed;
    }
}

// ---- public samples -------------------------------------------------------------------------

// ImageMagick's reading cropped to width x height from the top left (it sizes some pictures by
// their clip region, or by a bitmap one column wider than the picture, where this reader keeps
// the picture frame).
peer::Image Crop(const peer::Image& image, int width, int height) {
    peer::Image out{width, height, image.hasAlpha, {}};
    for (int y = 0; y < height; ++y)
        out.rgba.insert(out.rgba.end(), image.At(0, y), image.At(0, y) + std::size_t(width) * 4);
    return out;
}

TEST(PictSamples, EveryFileDecodesOrFailsCleanly) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_TOOL("convert");
    const fs::path root = testsupport::CorporaDir() / "pict";
    const std::set<std::string> vectorOnly = {"4.pict",     "5.pict",   "6.pict",
                                              "7.pict",     "8.pict",   "EDUC0052.pict",
                                              "carte.pict", "cow.pict", "oom.pict"};
    const std::set<std::string> quickTime = {"P30946BDC.pict", "foo.pict",     "qt_bmp.pict",
                                             "qt_jpeg.pict",   "qt_mire.pict", "qt_png.pict",
                                             "qt_tiff.pict",   "u2.pict"};
    // Decoded the same as ImageMagick, over the top-left part where it draws a larger picture.
    const std::set<std::string> likePeer = {
        "1.pict",      "2.pict",     "9.pict",    "16bit.pict",  "32bit.pict", "BLK.PCT",
        "BLU.PCT",     "GRN.PCT",    "RED.PCT",   "WHT.PCT",     "YEL.PCT",    "FLAG_B24.PCT",
        "MARBLES.PCT", "TRU256.PCT", "VENUS.PCT", "mire16.pict", "test.pct"};
    // ImageMagick fails on these or draws them black (checked by eye); their frame sizes.
    const std::map<std::string, std::pair<int, int>> frameOnly = {
        {"CatDV==2.0=1=.pict", {375, 165}}, {"FC10.PCT", {2265, 2593}},
        {"J19.pict", {640, 480}},           {"Picture14.pict", {404, 136}},
        {"demo.pict", {435, 264}},          {"food.pct", {146, 194}},
        {"mire32.pict", {64, 64}},          {"P564B1400.pict", {1745, 1022}}};
    std::size_t seen = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++seen;
        const auto bytes = peer::ReadFile(entry.path());
        CPictureDecoder loader;
        CMemoryBitmap bitmap;
        if (entry.path().parent_path().filename() == "mac") { // MacPaint, not PICT
            EXPECT_TEXT_EXCEPTION(
                loader.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 0, nullptr), 8,
                "Unknown file type.");
        } else if (vectorOnly.count(name)) {
            EXPECT_TEXT_EXCEPTION(
                loader.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 0, nullptr), 6,
                "PICT contained only vector data!\n");
        } else if (quickTime.count(name)) {
            EXPECT_TEXT_EXCEPTION(
                loader.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 0, nullptr), 6,
                "Library not compiled for PICT/JPEG.");
        } else if (likePeer.count(name)) {
            ASSERT_EQ(loader.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 0, nullptr),
                      PictureFormat::Pict);
            const auto reference = peer::Decode(entry.path());
            ASSERT_TRUE(reference);
            CPictDecoder decoder;
            // 16-bit pixels: ImageMagick widens 5-bit channels by a shift alone (31 becomes 248),
            // this reader by repeating the top bits (31 becomes 255).
            peer::ExpectLikeReference(decoder, entry.path(), bitmap.Depth(),
                                      Crop(*reference, bitmap.Width(), bitmap.Height()),
                                      {.tolerance = name.find("16") != std::string::npos ? 7 : 0});
        } else {
            const auto size = frameOnly.find(name);
            ASSERT_NE(size, frameOnly.end()) << "a sample this test does not know";
            loader.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 0, nullptr);
            EXPECT_EQ(bitmap.Width(), size->second.first);
            EXPECT_EQ(bitmap.Height(), size->second.second);
        }
    }
    EXPECT_EQ(seen, vectorOnly.size() + quickTime.size() + likePeer.size() + frameOnly.size() + 2);
}

} // namespace
