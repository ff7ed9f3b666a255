// SPDX-License-Identifier: MIT
// The writers: round trips read back by ImageMagick, the header fields and layouts each format
// must have, the extension rule and the JPEG options.
#include "CodecTestUtil.h"
#include "MagickTool.h"
#include "support/TestSupport.h"

#include "codecs/BMPEncoder.h"
#include "codecs/GIFEncoder.h"
#include "codecs/JPEGEncoder.h"
#include "codecs/PNGEncoder.h"
#include "codecs/PictureSave.h"
#include "codecs/TIFFEncoder.h"

#include <cstring>
#include <map>

namespace {

using codectest::Pattern32;
using codectest::Pattern8;
namespace fs = std::filesystem;

std::uint32_t U32LE(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

// PNG chunks by type (first occurrence), read naively from the file.
std::map<std::string, std::vector<std::uint8_t>> PngChunks(const std::vector<std::uint8_t>& png) {
    std::map<std::string, std::vector<std::uint8_t>> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length =
            (std::size_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        const std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
        chunks.emplace(type, std::vector<std::uint8_t>(png.begin() + long(at) + 8,
                                                       png.begin() + long(at + 8 + length)));
        at += 12 + length;
    }
    return chunks;
}

// Tag values (SHORT arrays widened) of the first IFD of a little-endian TIFF, read naively.
std::map<int, std::vector<std::uint32_t>> TiffTags(const std::vector<std::uint8_t>& t) {
    std::map<int, std::vector<std::uint32_t>> tags;
    EXPECT_EQ(t[0], 'I');
    const std::uint32_t ifd = U32LE(t, 4);
    const int count = t[ifd] | (t[ifd + 1] << 8);
    for (int i = 0; i < count; ++i) {
        const std::size_t e = ifd + 2 + std::size_t(i) * 12;
        const int tag = t[e] | (t[e + 1] << 8), type = t[e + 2] | (t[e + 3] << 8);
        const std::uint32_t n = U32LE(t, e + 4);
        const std::size_t size = type == 3 ? 2 : 4;
        const std::size_t at = n * size <= 4 ? e + 8 : U32LE(t, e + 8);
        auto& values = tags[tag];
        for (std::uint32_t k = 0; k < n; ++k)
            values.push_back(size == 2 ? std::uint32_t(t[at + k * 2] | (t[at + k * 2 + 1] << 8))
                                       : U32LE(t, at + k * 4));
    }
    return tags;
}

class EncoderTest : public ::testing::Test {
protected:
    fs::path File(const std::string& name) const { return m_dir.Path() / name; }
    std::vector<std::uint8_t> Save(const std::string& name, const CImageBitmap& bitmap,
                                   JpegOptions options = {}) {
        codec::SavePicture(File(name).string(), bitmap, options);
        return codectest::ReadBytes(File(name));
    }
    testsupport::CTempDir m_dir;
};

TEST_F(EncoderTest, LosslessWritersRoundTripThroughImageMagick) {
    SKIP_WITHOUT_MAGICK();
    const auto rgb = Pattern32(37, 11);
    const auto pal = Pattern8(37, 11);
    for (const char* name : {"a.bmp", "a.png", "a.tif"}) {
        for (const CImageBitmap* image : {static_cast<const CImageBitmap*>(rgb.get()),
                                          static_cast<const CImageBitmap*>(pal.get())}) {
            Save(name, *image);
            const auto reference = magick::Decode(File(name));
            ASSERT_TRUE(reference) << name;
            EXPECT_EQ(magick::Compare(*image, *reference, 0, false), "")
                << name << " at " << image->Depth();
            // And our own reader gives the same pixels back.
            EXPECT_EQ(magick::Compare(*codectest::Load(File(name)), *reference, 0, false), "")
                << name;
        }
    }
}

TEST_F(EncoderTest, TwentyFourAndFourBitImagesAreWrittenWhole) {
    SKIP_WITHOUT_MAGICK();
    // Some filters produce 24 bpp; 4 bpp comes from packed DIBs. Neither may give an empty file.
    CMemoryBitmap rgb24;
    rgb24.CreateCopy(*Pattern32(13, 6), 24);
    CMemoryBitmap pal4;
    pal4.Create(13, 6, 4);
    for (int i = 0; i < 16; ++i)
        pal4.Palette()[i] =
            RGBQuad{std::uint8_t(i * 16), std::uint8_t(255 - i * 9), std::uint8_t(i * 5), 255};
    for (int y = 0; y < 6; ++y)
        for (std::size_t b = 0; b < pal4.PixelBytesPerLine(); ++b)
            pal4.Line(y)[b] = std::uint8_t(b * 37 + y * 11);
    for (const char* name : {"d.bmp", "d.tif", "d.png", "d.jpg", "d.gif"}) {
        for (const CImageBitmap* image :
             {static_cast<const CImageBitmap*>(&rgb24), static_cast<const CImageBitmap*>(&pal4)}) {
            Save(name, *image);
            const auto reference = magick::Decode(File(name));
            ASSERT_TRUE(reference) << name;
            const bool lossy = std::string(name) == "d.jpg" || std::string(name) == "d.gif";
            if (!lossy) {
                EXPECT_EQ(magick::Compare(*image, *reference, 0, false), "")
                    << name << " " << image->Depth();
                continue;
            }
            // JPEG and GIF lose detail of this busy pattern; the file must be what the same
            // writer makes of the 32-bpp copy (whose round trip the tests above check).
            EXPECT_EQ(reference->width, image->Width());
            CMemoryBitmap copy;
            copy.CreateCopy(*image, 32);
            EXPECT_EQ(Save(std::string("c32") + name, copy), codectest::ReadBytes(File(name)))
                << name << " " << image->Depth();
        }
    }
}

TEST_F(EncoderTest, PngKeepsAlphaAndWritesTheColourTypeOfTheDepthRules) {
    SKIP_WITHOUT_MAGICK();
    const auto rgba = Pattern32(9, 5, true);
    auto chunks = PngChunks(Save("alpha.png", *rgba));
    EXPECT_EQ(chunks["IHDR"][8], 8); // bit depth
    EXPECT_EQ(chunks["IHDR"][9], 6); // RGBA
    EXPECT_EQ(chunks["sBIT"], (std::vector<std::uint8_t>{8, 8, 8, 8}));
    EXPECT_EQ(magick::Compare(*rgba, *magick::Decode(File("alpha.png")), 0, true), "");
    const auto loaded = codectest::Load(File("alpha.png"));
    EXPECT_TRUE(loaded->HasAlpha());
    EXPECT_EQ(magick::Compare(*loaded, *magick::Decode(File("alpha.png")), 0, true), "");

    chunks = PngChunks(Save("rgb.png", *Pattern32(9, 5)));
    EXPECT_EQ(chunks["IHDR"][9], 2); // RGB: the filler byte stripped
    EXPECT_EQ(chunks["sBIT"], (std::vector<std::uint8_t>{8, 8, 8}));

    // An 8-bpp image goes through a 32-bpp copy: RGB, no palette.
    const auto pal = Pattern8(9, 5);
    chunks = PngChunks(Save("pal.png", *pal));
    EXPECT_EQ(chunks["IHDR"][9], 2);
    EXPECT_EQ(chunks.count("PLTE"), 0u);
    EXPECT_EQ(magick::Compare(*pal, *magick::Decode(File("pal.png")), 0, false), "");
}

TEST_F(EncoderTest, PngWriterGivenLowDepthsKeepsThePalette) {
    SKIP_WITHOUT_MAGICK();
    const auto pal = Pattern8(9, 5);
    CPNGEncoder png;
    png.SaveToFile(File("p8.png").string(), *pal);
    auto chunks = PngChunks(codectest::ReadBytes(File("p8.png")));
    EXPECT_EQ(chunks["IHDR"][9], 3);
    EXPECT_EQ(chunks["PLTE"].size(), 256u * 3);
    EXPECT_EQ(magick::Compare(*pal, *magick::Decode(File("p8.png")), 0, false), "");

    // 1 bpp: grey when black then white, a palette for any other pair (else colours would be lost).
    CMemoryBitmap mono;
    mono.Create(10, 3, 1);
    for (int y = 0; y < 3; ++y)
        std::memset(mono.Line(y), y == 1 ? 0xA5 : 0x0F, mono.PixelBytesPerLine());
    png.SaveToFile(File("bw.png").string(), mono);
    EXPECT_EQ(PngChunks(codectest::ReadBytes(File("bw.png")))["IHDR"][9], 0);
    EXPECT_EQ(magick::Compare(mono, *magick::Decode(File("bw.png")), 0, false), "");
    mono.Palette()[0] = RGBQuad{255, 255, 255, 255};
    mono.Palette()[1] = RGBQuad{0, 0, 255, 255};
    png.SaveToFile(File("wr.png").string(), mono);
    EXPECT_EQ(PngChunks(codectest::ReadBytes(File("wr.png")))["IHDR"][9], 3);
    EXPECT_EQ(magick::Compare(mono, *magick::Decode(File("wr.png")), 0, false), "");
}

TEST_F(EncoderTest, BmpRowsArePaddedToFourBytes) {
    const auto image = Pattern32(5, 3);
    const auto bmp = Save("w5.bmp", *image);
    ASSERT_EQ(bmp.size(), 54u + 16u * 3u); // 15 pixel bytes and 1 padding byte per row
    EXPECT_EQ(U32LE(bmp, 2), bmp.size());
    EXPECT_EQ(U32LE(bmp, 10), 54u);
    EXPECT_EQ(bmp[28], 24);
    for (int row = 0; row < 3; ++row) {
        const std::uint8_t* fileRow = bmp.data() + 54 + row * 16; // bottom-up
        const RGBQuad* px = image->Row<RGBQuad>(2 - row);
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(fileRow[x * 3], px[x].blue);
            EXPECT_EQ(fileRow[x * 3 + 1], px[x].green);
            EXPECT_EQ(fileRow[x * 3 + 2], px[x].red);
        }
        EXPECT_EQ(fileRow[15], 0);
    }
    // 8 bpp keeps its palette: 256 entries in front of the pixels.
    const auto pal = Save("p.bmp", *Pattern8(5, 3));
    EXPECT_EQ(pal[28], 8);
    EXPECT_EQ(U32LE(pal, 10), 54u + 1024u);
}

TEST_F(EncoderTest, TiffPhotometricAndScaledColourMap) {
    CMemoryBitmap mono;
    mono.Create(12, 2, 1); // default palette: black then white
    std::memset(mono.Line(0), 0xF0, 2);
    std::memset(mono.Line(1), 0x0F, 2);
    auto tags = TiffTags(Save("bw.tif", mono));
    EXPECT_EQ(tags[262], std::vector<std::uint32_t>{1}); // min-is-black
    EXPECT_EQ(tags[258], std::vector<std::uint32_t>{1});
    mono.Palette()[0] = RGBQuad{255, 255, 255, 255};
    mono.Palette()[1] = RGBQuad{0, 0, 0, 255};
    EXPECT_EQ(TiffTags(Save("wb.tif", mono))[262], std::vector<std::uint32_t>{0}); // min-is-white
    // Both read back with the colours of the bitmap.
    EXPECT_EQ(
        codectest::Load(File("bw.tif"))->Palette()[codectest::Load(File("bw.tif"))->Line(0)[0]],
        (RGBQuad{255, 255, 255, 255}));
    EXPECT_EQ(
        codectest::Load(File("wb.tif"))->Palette()[codectest::Load(File("wb.tif"))->Line(0)[0]],
        (RGBQuad{0, 0, 0, 255}));

    const auto pal = Pattern8(7, 3);
    tags = TiffTags(Save("p.tif", *pal));
    EXPECT_EQ(tags[262], std::vector<std::uint32_t>{3});
    ASSERT_EQ(tags[320].size(), 3u * 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(tags[320][i], pal->Palette()[i].red * 257u);
        EXPECT_EQ(tags[320][256 + i], pal->Palette()[i].green * 257u);
        EXPECT_EQ(tags[320][512 + i], pal->Palette()[i].blue * 257u);
    }
    tags = TiffTags(Save("rgb.tif", *Pattern32(7, 3)));
    EXPECT_EQ(tags[262], std::vector<std::uint32_t>{2});
    EXPECT_EQ(tags[277], std::vector<std::uint32_t>{3});
    EXPECT_EQ(tags[258], (std::vector<std::uint32_t>{8, 8, 8}));
}

TEST_F(EncoderTest, JpegIsCloseAndHonoursItsOptions) {
    SKIP_WITHOUT_MAGICK();
    // A smooth picture, so that JPEG's error is small everywhere.
    CMemoryBitmap image;
    image.Create(64, 48, 32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.Row<RGBQuad>(y)[x] =
                RGBQuad{std::uint8_t(x * 4), std::uint8_t(y * 5), std::uint8_t(128 + x - y), 255};
    const auto q95 = Save("q95.jpg", image);
    EXPECT_EQ(magick::Compare(image, *magick::Decode(File("q95.jpg")), 6, false), "");
    EXPECT_EQ(magick::Compare(*codectest::Load(File("q95.jpg")), *magick::Decode(File("q95.jpg")),
                              0, false),
              "");

    JpegOptions low;
    low.nQuality = 5;
    const auto q5 = Save("q5.jpg", image, low);
    EXPECT_LT(q5.size(), q95.size());
    // Baseline tables forced: every quantisation table has 8-bit precision.
    for (std::size_t i = 0; i + 4 < q5.size(); ++i) {
        if (q5[i] == 0xFF && q5[i + 1] == 0xDB) {
            EXPECT_EQ(q5[i + 4] >> 4, 0) << "16-bit table at " << i;
        }
    }

    JpegOptions dpi;
    dpi.nDensityX = 300;
    dpi.nDensityY = 150;
    const auto withDpi = Save("dpi.jpg", image, dpi);
    ASSERT_EQ(std::string(withDpi.begin() + 6, withDpi.begin() + 11), std::string("JFIF\0", 5));
    EXPECT_EQ(withDpi[13], 1); // dots per inch
    EXPECT_EQ((withDpi[14] << 8) | withDpi[15], 300);
    EXPECT_EQ((withDpi[16] << 8) | withDpi[17], 150);

    JpegOptions optimize;
    optimize.bOptimize = true;
    EXPECT_LT(Save("opt.jpg", image, optimize).size(), q95.size());
    JpegOptions smooth;
    smooth.nSmoothing = 80;
    EXPECT_NE(Save("smooth.jpg", image, smooth), q95);
}

TEST_F(EncoderTest, GifHoldsAtMost256ColoursCloseToTheOriginal) {
    SKIP_WITHOUT_MAGICK();
    const auto pal = Pattern8(23, 9);
    Save("p.gif", *pal);
    // giflib's quantiser works on 5 bits per channel.
    EXPECT_EQ(magick::Compare(*pal, *magick::Decode(File("p.gif")), 8, false), "");
    const auto loaded = codectest::Load(File("p.gif"));
    EXPECT_EQ(loaded->Depth(), 8);
    EXPECT_EQ(magick::Compare(*loaded, *magick::Decode(File("p.gif")), 0, false), "");
}

TEST_F(EncoderTest, WriterIsChosenByTheLowerCasedExtension) {
    EXPECT_EQ(codec::SaveExtension("/a/picture.JPG"), "jpg");
    EXPECT_EQ(codec::SaveExtension(".png"), "");
    EXPECT_EQ(codec::SaveExtension("noext"), "");
    EXPECT_NE(dynamic_cast<CJPEGEncoder*>(codec::CreateEncoderForPath("picture.JPG").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<CTIFFEncoder*>(codec::CreateEncoderForPath("x.Tif").get()), nullptr);
    EXPECT_NE(dynamic_cast<CGIFEncoder*>(codec::CreateEncoderForPath("x.gif").get()), nullptr);
    for (const char* other : {"x.webp", "x.eps", "x", "x.png.txt"})
        EXPECT_EQ(codec::CreateEncoderForPath(other), nullptr) << other;

    const auto image = Pattern32(4, 4);
    Save("picture.JPG", *image);
    EXPECT_EQ(codectest::ReadBytes(File("picture.JPG"))[0], 0xFF);
    try {
        codec::SavePicture(File("x.webp").string(), *image, {});
        ADD_FAILURE() << "saved with an unknown extension";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 8);
        EXPECT_NE(e.Text().find(".bmp, .jpg, .png, .tif or .gif"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(File("x.webp")));
}

} // namespace
