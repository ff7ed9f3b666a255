// SPDX-License-Identifier: MIT
// PNG reading against ImageMagick for every colour type and bit depth, with and without
// transparency, plain and interlaced.
#include "CodecTestUtil.h"
#include "MagickTool.h"
#include "support/TestSupport.h"

#include "codecs/PictureDecoder.h"

namespace {

struct PngCase {
    std::string name;
    std::vector<std::string> args; // convert arguments between the source and the output
    const char* source;            // "rgb" or "rgba"
    int depth;                     // bits per pixel expected at depth 0
    bool alpha;
};

std::vector<PngCase> Cases() {
    std::vector<PngCase> cases;
    auto typed = [](int type, int bits) {
        return std::vector<std::string>{"-depth",  std::to_string(bits),
                                        "-define", "png:color-type=" + std::to_string(type),
                                        "-define", "png:bit-depth=" + std::to_string(bits)};
    };
    for (int bits : {1, 2, 4, 8, 16}) {
        auto args = typed(0, bits);
        args.insert(args.begin(), {"-colorspace", "gray"});
        cases.push_back({"grey" + std::to_string(bits), args, "rgb", 8, false});
    }
    for (int bits : {1, 2, 4, 8})
        cases.push_back({"PNG8:palette" + std::to_string(bits),
                         {"+dither", "-colors", std::to_string(1 << bits), "-define",
                          "png:bit-depth=" + std::to_string(bits)},
                         "rgb",
                         8,
                         false});
    for (int bits : {8, 16}) {
        const std::string b = std::to_string(bits);
        cases.push_back({"rgb" + b, typed(2, bits), "rgb", 32, false});
        cases.push_back({"rgba" + b, typed(6, bits), "rgba", 32, true});
        auto ga = typed(4, bits);
        ga.insert(ga.begin(), {"-colorspace", "gray"});
        cases.push_back({"greyalpha" + b, ga, "rgba", 32, true});
    }
    // tRNS: one colour made transparent (the top-left pixel's, whatever it is after reduction).
    cases.push_back({"PNG8:palette-trns",
                     {"+dither", "-colors", "15", "-fill", "none", "-draw", "color 0,0 replace"},
                     "rgb",
                     8,
                     true});
    cases.push_back({"grey8-trns",
                     {"-colorspace", "gray", "-depth", "8", "-fill", "none", "-draw",
                      "color 0,0 replace", "-define", "png:color-type=0"},
                     "rgb",
                     8,
                     true});
    cases.push_back({"grey16-trns",
                     {"-colorspace", "gray", "-depth", "16", "-fill", "none", "-draw",
                      "color 0,0 replace", "-define", "png:color-type=0"},
                     "rgb",
                     32,
                     true});
    cases.push_back({"rgb8-trns",
                     {"-depth", "8", "-fill", "none", "-draw", "color 0,0 replace", "-define",
                      "png:color-type=2"},
                     "rgb",
                     32,
                     true});
    cases.push_back({"interlaced-rgb",
                     {"-interlace", "PNG", "-depth", "8", "-define", "png:color-type=2"},
                     "rgb",
                     32,
                     false});
    cases.push_back({"interlaced-grey2",
                     {"-interlace", "PNG", "-colorspace", "gray", "-depth", "2", "-define",
                      "png:color-type=0", "-define", "png:bit-depth=2"},
                     "rgb",
                     8,
                     false});
    return cases;
}

class PngDecode : public ::testing::TestWithParam<PngCase> {
protected:
    static void SetUpTestSuite() {
        if (!magick::Available())
            return;
        s_dir = std::make_unique<testsupport::CTempDir>();
        const auto dir = s_dir->Path();
        magick::Convert({"-size", "29x13", "plasma:", "-depth", "16", (dir / "rgb.png").string()});
        magick::Convert({(dir / "rgb.png").string(), "-alpha", "set", "-channel", "A", "-fx",
                         "(i+j)/(w+h)", "+channel", (dir / "rgba.png").string()});
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static inline std::unique_ptr<testsupport::CTempDir> s_dir;
};

TEST_P(PngDecode, MatchesImageMagickAtNaturalAndTrueColourDepth) {
    SKIP_WITHOUT_MAGICK();
    const PngCase& c = GetParam();
    const std::string prefix = c.name.rfind("PNG8:", 0) == 0 ? "PNG8:" : "";
    const auto file = s_dir->Path() / (c.name.substr(prefix.size()) + ".png");
    std::vector<std::string> args{(s_dir->Path() / (std::string(c.source) + ".png")).string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(prefix + file.string());
    ASSERT_TRUE(magick::Convert(args));

    PictureFormat format{};
    const auto natural = codectest::Load(file, 0, &format);
    EXPECT_EQ(format, PictureFormat::Png);
    EXPECT_EQ(natural->Depth(), c.depth);
    EXPECT_EQ(natural->HasAlpha(), c.alpha);
    const auto reference = magick::Decode(file, 16);
    ASSERT_TRUE(reference);
    EXPECT_EQ(magick::Compare(*natural, *reference, 0, true), "");

    const auto wide = codectest::Load(file, 32);
    EXPECT_EQ(wide->Depth(), 32);
    EXPECT_EQ(wide->HasAlpha(), c.alpha);
    EXPECT_EQ(magick::Compare(*wide, *reference, 0, true), "");
}

INSTANTIATE_TEST_SUITE_P(AllColourTypes, PngDecode, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

TEST(PngDecode, TruncatedFileFailsCleanlyAndKeepsTheOldImage) {
    SKIP_WITHOUT_MAGICK();
    testsupport::CTempDir dir;
    const auto file = dir.Path() / "cut.png";
    ASSERT_TRUE(magick::Convert({"-size", "64x64", "plasma:", file.string()}));
    auto bytes = codectest::ReadBytes(file);
    bytes.resize(bytes.size() / 2);
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    bitmap.Create(3, 2, 32);
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromMemory(bytes.data(), bytes.size(), bitmap, 0, nullptr),
                          11, "End of file reached while decoding.\n");
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
}

TEST(PngDecode, HugeDimensionsAreRefusedBeforeAllocation) {
    // A valid signature and IHDR claiming 30000 x 30000 RGBA, then nothing.
    std::vector<std::uint8_t> png = {0x89, 'P', 'N',  'G',  0x0D, 0x0A, 0x1A, 0x0A, 0,    0,
                                     0,    13,  'I',  'H',  'D',  'R',  0,    0,    0x75, 0x30,
                                     0,    0,   0x75, 0x30, 8,    6,    0,    0,    0};
    // CRC of the IHDR chunk (type and data), computed with the standard polynomial.
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 12; i < png.size(); ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(std::uint8_t(crc >> shift));
    // The header of the first data chunk ends what the library reads before the size check.
    png.insert(png.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T'});
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    EXPECT_TEXT_EXCEPTION(
        decoder.LoadFromMemory(png.data(), png.size(), bitmap, 0, nullptr), 10,
        "The picture is 30000x30000 pixels, larger than the limit of 1 GiB at 32 bits per pixel.");
}

} // namespace
