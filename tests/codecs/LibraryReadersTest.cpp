// SPDX-License-Identifier: MIT
// JPEG, TIFF and GIF reading against ImageMagick on files it writes at test time: every layout
// the readers handle, the depth rules, transparency and damaged files.
#include "CodecTestUtil.h"
#include "MagickTool.h"
#include "support/TestSupport.h"

#include "codecs/PictureDecoder.h"

namespace {

namespace fs = std::filesystem;

struct ReaderCase {
    std::string file;              // output name; its extension picks ImageMagick's writer
    std::vector<std::string> args; // between the source and the output
    const char* source;            // "rgb" or "rgba"
    int depth;                     // expected at depth 0
    bool alpha;
    int tolerance;
    bool premultiplied = false; // read through libtiff's premultiplying RGBA interface
};

std::vector<ReaderCase> Cases() {
    return {
        {"baseline444.jpg", {"-sampling-factor", "1x1", "-quality", "90"}, "rgb", 32, false, 0},
        {"yuv420.jpg", {"-sampling-factor", "2x2", "-quality", "90"}, "rgb", 32, false, 0},
        {"progressive.jpg", {"-interlace", "JPEG", "-quality", "85"}, "rgb", 32, false, 0},
        {"grey.jpg", {"-colorspace", "gray", "-quality", "90"}, "rgb", 8, false, 0},
        {"bilevel-white.tif",
         {"-type", "bilevel", "-depth", "1", "-define", "quantum:polarity=min-is-white"},
         "rgb",
         8,
         false,
         0},
        {"bilevel-black.tif",
         {"-type", "bilevel", "-depth", "1", "-define", "quantum:polarity=min-is-black"},
         "rgb",
         8,
         false,
         0},
        {"g4.tif", {"-type", "bilevel", "-compress", "Group4"}, "rgb", 8, false, 0},
        {"palette2.tif",
         {"+dither", "-colors", "4", "-type", "palette", "-depth", "2"},
         "rgb",
         8,
         false,
         0},
        {"palette4.tif",
         {"+dither", "-colors", "16", "-type", "palette", "-depth", "4"},
         "rgb",
         8,
         false,
         0},
        {"palette8-lzw.tif",
         {"+dither", "-colors", "200", "-type", "palette", "-compress", "LZW"},
         "rgb",
         8,
         false,
         0},
        {"grey8.tif", {"-colorspace", "gray", "-depth", "8"}, "rgb", 32, false, 0},
        // libtiff's grey ramp for 16-bit samples rounds differently from the RGB path.
        {"grey16.tif", {"-colorspace", "gray", "-depth", "16"}, "rgb", 32, false, 1},
        {"rgb8-zip.tif", {"-depth", "8", "-compress", "Zip"}, "rgb", 32, false, 0},
        {"rgb16.tif", {"-depth", "16"}, "rgb", 32, false, 0},
        {"rgb-planar.tif", {"-depth", "8", "-interlace", "plane"}, "rgb", 32, false, 0},
        {"rgb-tiled.tif",
         {"-depth", "8", "-define", "tiff:tile-geometry=16x16"},
         "rgb",
         32,
         false,
         0},
        {"rgb-msb.tif", {"-depth", "8", "-endian", "MSB", "-compress", "LZW"}, "rgb", 32, false, 0},
        {"rgba.tif", {"-depth", "8"}, "rgba", 32, true, 0},
        {"greyalpha.tif", {"-colorspace", "gray", "-depth", "8"}, "rgba", 32, true, 0},
        // libtiff hands out premultiplied colour for these; straightening it again costs
        // precision where alpha is small, so only nearly opaque pixels are compared closely.
        {"rgba16.tif", {"-depth", "16"}, "rgba", 32, true, 1, true},
        {"rgba-tiled.tif",
         {"-depth", "8", "-define", "tiff:tile-geometry=16x16"},
         "rgba",
         32,
         true,
         1,
         true},
        {"plain.gif", {"+dither", "-colors", "64"}, "rgb", 8, false, 0},
        {"interlaced.gif", {"+dither", "-colors", "64", "-interlace", "GIF"}, "rgb", 8, false, 0},
        {"transparent.gif",
         {"+dither", "-colors", "31", "-fill", "none", "-draw", "color 0,0 replace"},
         "rgb",
         8,
         true,
         0},
    };
}

class LibraryReaders : public ::testing::TestWithParam<ReaderCase> {
protected:
    static void SetUpTestSuite() {
        if (!magick::Available())
            return;
        s_dir = std::make_unique<testsupport::CTempDir>();
        const auto dir = s_dir->Path();
        magick::Convert({"-size", "45x21", "plasma:", "-depth", "16", (dir / "rgb.png").string()});
        magick::Convert({(dir / "rgb.png").string(), "-alpha", "set", "-channel", "A", "-fx",
                         "(i*j)/(w*h)", "+channel", (dir / "rgba.png").string()});
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static inline std::unique_ptr<testsupport::CTempDir> s_dir;
};

TEST_P(LibraryReaders, MatchImageMagickAtBothDepths) {
    SKIP_WITHOUT_MAGICK();
    const ReaderCase& c = GetParam();
    const fs::path file = s_dir->Path() / c.file;
    std::vector<std::string> args{(s_dir->Path() / (std::string(c.source) + ".png")).string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(file.string());
    ASSERT_TRUE(magick::Convert(args));
    const auto reference = magick::Decode(file, 16);
    ASSERT_TRUE(reference);

    const auto natural = codectest::Load(file, 0);
    EXPECT_EQ(natural->Depth(), c.depth);
    EXPECT_EQ(natural->HasAlpha(), c.alpha);
    EXPECT_EQ(magick::Compare(*natural, *reference, c.tolerance, true, c.premultiplied), "");
    const auto wide = codectest::Load(file, 32);
    EXPECT_EQ(wide->Depth(), 32);
    EXPECT_EQ(wide->HasAlpha(), c.alpha);
    EXPECT_EQ(magick::Compare(*wide, *reference, c.tolerance, true, c.premultiplied), "");
}

INSTANTIATE_TEST_SUITE_P(Layouts, LibraryReaders, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string n = info.param.file;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

class ReaderEdges : public ::testing::Test {
protected:
    fs::path File(const std::string& name) const { return m_dir.Path() / name; }
    testsupport::CTempDir m_dir;
};

TEST_F(ReaderEdges, CmykJpegBecomesItsRgbColours) {
    SKIP_WITHOUT_MAGICK();
    // Flat colour patches survive JPEG almost exactly, so the colour conversion shows.
    ASSERT_TRUE(magick::Convert({"-size", "16x16", "xc:#D02010", "-size", "16x16", "xc:#20B0F0",
                                 "+append", File("rgb.png").string()}));
    ASSERT_TRUE(magick::Convert({File("rgb.png").string(), "-colorspace", "CMYK", "-quality", "100",
                                 File("cmyk.jpg").string()}));
    const auto image = codectest::Load(File("cmyk.jpg"));
    EXPECT_EQ(image->Depth(), 32);
    EXPECT_EQ(magick::Compare(*image, *magick::Decode(File("rgb.png")), 6, false), "");
}

TEST_F(ReaderEdges, GifFrameIsPlacedOnItsLogicalScreen) {
    SKIP_WITHOUT_MAGICK();
    ASSERT_TRUE(magick::Convert(
        {"-size", "5x3", "xc:red", "-page", "12x8+4+2", File("offset.gif").string()}));
    const auto image = codectest::Load(File("offset.gif"));
    ASSERT_EQ(image->Width(), 12);
    ASSERT_EQ(image->Height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const RGBQuad p = image->Palette()[image->Line(y)[x]];
            const bool inFrame = x >= 4 && x < 9 && y >= 2 && y < 5;
            if (inFrame) {
                EXPECT_EQ(p, (RGBQuad{0, 0, 255, 255})) << x << "," << y;
            }
        }
}

TEST_F(ReaderEdges, DamagedFilesEndInCleanErrors) {
    SKIP_WITHOUT_MAGICK();
    for (const char* name : {"cut.jpg", "cut.tif", "cut.gif"}) {
        ASSERT_TRUE(magick::Convert(
            {"-size", "200x100", "plasma:", "-compress", "LZW", File(name).string()}));
        auto bytes = codectest::ReadBytes(File(name));
        for (std::size_t keep : {std::size_t(3), std::size_t(20), bytes.size() / 3}) {
            std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + long(keep));
            CPictureDecoder decoder;
            CMemoryBitmap bitmap;
            try {
                decoder.LoadFromMemory(cut.data(), cut.size(), bitmap, 0, nullptr);
                // libjpeg fills a cut-off scan with grey and warns; the size must still be right.
                EXPECT_EQ(std::string(name), "cut.jpg") << keep;
                EXPECT_EQ(bitmap.Width(), 200);
            } catch (const CTextException& e) {
                EXPECT_FALSE(e.Text().empty()) << name << " " << keep;
            }
        }
    }
}

TEST_F(ReaderEdges, LyingSizesFailBeforeAllocation) {
    SKIP_WITHOUT_MAGICK();
    ASSERT_TRUE(magick::Convert({"-size", "300x200", "xc:gray", File("big.jpg").string()}));
    ASSERT_TRUE(magick::Convert({"-size", "300x200", "xc:gray", File("big.tif").string()}));
    ASSERT_TRUE(magick::Convert({"-size", "300x200", "xc:gray", File("big.gif").string()}));
    for (const auto& [name, depth] : {std::pair{"big.jpg", 8}, {"big.tif", 32}, {"big.gif", 8}}) {
        CPictureDecoder decoder;
        decoder.SetPixelByteLimit(100 * 100 * 4);
        CMemoryBitmap bitmap;
        EXPECT_TEXT_EXCEPTION(decoder.LoadFromFile(File(name).string(), bitmap, 0, nullptr), 10,
                              "The picture is 300x200 pixels, larger than the limit of 40000 bytes "
                              "at " +
                                  std::to_string(depth) + " bits per pixel.");
    }
}

} // namespace
