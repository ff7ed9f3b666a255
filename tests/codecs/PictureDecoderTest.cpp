// SPDX-License-Identifier: MIT
// The loader: the recognition order, metafiles by name, the EPS preview, the error codes and
// the caller's bitmap surviving failures.
#include "CodecTestUtil.h"
#include "support/TestSupport.h"

#include "codecs/PNGEncoder.h"
#include "codecs/PictureDecoder.h"
#include "codecs/TIFFEncoder.h"
#include "image/ProgressSink.h"

#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::initializer_list<std::uint8_t> lead, std::size_t size = 600) {
    Bytes b(size, 0xEE);
    std::copy(lead.begin(), lead.end(), b.begin());
    return b;
}

void Put(Bytes& b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), b.begin() + long(at));
}

PictureFormat Sniff(const Bytes& b) {
    return codec::RecognizeByContent(b);
}

TEST(Recognition, EachSignatureAlone) {
    EXPECT_EQ(Sniff(Header({'B', 'M'})), PictureFormat::Bmp);
    EXPECT_EQ(Sniff(Header({0x49, 0x49, 0x2A, 0x00})), PictureFormat::Tiff);
    EXPECT_EQ(Sniff(Header({0x4D, 0x4D, 0x00, 0x2A})), PictureFormat::Tiff);
    EXPECT_EQ(Sniff(Header({'G', 'I', 'F', '8'})), PictureFormat::Gif);
    EXPECT_EQ(Sniff(Header({0xFF, 0xD8, 0xFF})), PictureFormat::Jpeg);
    EXPECT_EQ(Sniff(Header({0x89, 0x50, 0x4E, 0x47})), PictureFormat::Png);
    EXPECT_EQ(Sniff(Header({0x0A, 0x05, 0x01})), PictureFormat::Pcx);
    EXPECT_EQ(Sniff(Header({'P', '2'})), PictureFormat::Pgm);
    EXPECT_EQ(Sniff(Header({'P', '5'})), PictureFormat::Pgm);
    EXPECT_EQ(Sniff(Header({'P', '6'})), PictureFormat::Unknown);
    Bytes tga(18, 0);
    Put(tga, 2, {2});
    Put(tga, 16, {24});
    EXPECT_EQ(Sniff(tga), PictureFormat::Tga);
    for (auto version : {std::initializer_list<std::uint8_t>{0x00, 0x11, 0x02, 0xFF},
                         std::initializer_list<std::uint8_t>{0x00, 0x11, 0x01, 0x99},
                         std::initializer_list<std::uint8_t>{0x11, 0x01, 0x01, 0x00}}) {
        Bytes pict(541, 0xEE);
        Put(pict, 522, version);
        EXPECT_EQ(Sniff(pict), PictureFormat::Pict);
        pict.resize(540); // the file must be longer than 540 bytes
        EXPECT_EQ(Sniff(pict), PictureFormat::Unknown);
    }
    Bytes eps = Header({0xC5, 0xD0, 0xD3, 0xC6});
    Put(eps, 20, {30, 0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(Sniff(eps), PictureFormat::EpsTiff);
    Put(eps, 24, {0, 0, 0, 0}); // no preview length: not a preview
    EXPECT_EQ(Sniff(eps), PictureFormat::Unknown);
    EXPECT_EQ(Sniff({}), PictureFormat::Unknown);
    EXPECT_EQ(Sniff({'B'}), PictureFormat::Unknown);
}

TEST(Recognition, TheFirstMatchInTheFixedOrderWins) {
    // Bytes that pass both the TGA test and the PCX test are TGA.
    Bytes both(20, 0);
    Put(both, 0, {0x0A, 0x00, 0x01});
    Put(both, 16, {8});
    EXPECT_EQ(Sniff(both), PictureFormat::Tga);
    // TIFF and GIF come before PICT; PICT before JPEG.
    const std::vector<std::pair<Bytes, PictureFormat>> cases{
        {{0x49, 0x49, 0x2A, 0x00}, PictureFormat::Tiff},
        {{'G', 'I', 'F', '8'}, PictureFormat::Gif},
        {{0xFF, 0xD8, 0xFF}, PictureFormat::Pict}};
    for (const auto& [lead, expected] : cases) {
        Bytes b(600, 0xEE);
        std::copy(lead.begin(), lead.end(), b.begin());
        Put(b, 522, {0x00, 0x11, 0x02, 0xFF});
        EXPECT_EQ(Sniff(b), expected);
    }
}

TEST(Recognition, MetafilesGoByNameAnywhereInThePath) {
    EXPECT_EQ(codec::RecognizeByName("a.wmf.png"), PictureFormat::Wmf);
    EXPECT_EQ(codec::RecognizeByName("/x/Drawing.Wmf"), PictureFormat::Wmf);
    EXPECT_EQ(codec::RecognizeByName("/x/pic.EMF"), PictureFormat::Emf);
    EXPECT_EQ(codec::RecognizeByName("b.emf.wmf"),
              PictureFormat::Wmf); // ".WMF" is looked for first
    EXPECT_EQ(codec::RecognizeByName("wmf.png"), PictureFormat::Unknown);

    // A PNG named like a metafile is handed to the metafile reader, not decoded as PNG.
    testsupport::CTempDir dir;
    const auto path = dir.Path() / "a.wmf.png";
    CPNGEncoder().SaveToFile(path.string(), *codectest::Pattern32(4, 4));
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    EXPECT_THROW(decoder.LoadFromFile(path.string(), bitmap, 0, nullptr), CTextException);
}

TEST(PictureDecoder, ErrorCodesForUnknownAndMissingReaders) {
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    const Bytes junk = Header({'J', 'U', 'N', 'K'});
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromMemory(junk.data(), junk.size(), bitmap, 0, nullptr), 8,
                          "Unknown file type.");
    const Bytes png = CPNGEncoder().EncodeToMemory(*codectest::Pattern32(3, 3));
    decoder.SetDecoder(DecoderSlot::Png, nullptr);
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromMemory(png.data(), png.size(), bitmap, 0, nullptr), 6,
                          "Library not compiled for this file type.");
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromFile("/nonexistent/x.png", bitmap, 0, nullptr), ENOENT,
                          "Opening /nonexistent/x.png failed: No such file or directory");
}

TEST(PictureDecoder, EpsPreviewIsReadAtItsStoredOffsetWithinBounds) {
    const auto image = codectest::Pattern32(6, 5);
    const Bytes tiff = CTIFFEncoder().EncodeToMemory(*image);
    Bytes eps(40, 0);
    Put(eps, 0, {0xC5, 0xD0, 0xD3, 0xC6});
    const std::uint32_t offset = 40, length = std::uint32_t(tiff.size());
    std::memcpy(eps.data() + 20, &offset, 4);
    std::memcpy(eps.data() + 24, &length, 4);
    eps.insert(eps.end(), tiff.begin(), tiff.end());
    eps.insert(eps.end(), {'%', '!', 'P', 'S'});

    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    EXPECT_EQ(decoder.LoadFromMemory(eps.data(), eps.size(), bitmap, 0, nullptr),
              PictureFormat::EpsTiff);
    ASSERT_EQ(bitmap.Width(), 6);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const RGBQuad a = bitmap.Row<RGBQuad>(y)[x], b = image->Row<RGBQuad>(y)[x];
            EXPECT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue) << x << "," << y;
        }

    const std::uint32_t tooLong = length + 5, pastEnd = std::uint32_t(eps.size());
    std::memcpy(eps.data() + 24, &tooLong, 4);
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromMemory(eps.data(), eps.size(), bitmap, 0, nullptr), 7,
                          "The TIFF preview lies outside the EPS file.");
    std::memcpy(eps.data() + 24, &length, 4);
    std::memcpy(eps.data() + 20, &pastEnd, 4);
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromMemory(eps.data(), eps.size(), bitmap, 0, nullptr), 7,
                          "The TIFF preview lies outside the EPS file.");
    EXPECT_EQ(bitmap.Width(), 6); // the last good image survives the failures
}

struct RecordingSink : CProgressSink {
    std::vector<double> reports;
    void SetProgress(double f) override { reports.push_back(f); }
};

TEST(PictureDecoder, ReportsProgressBetweenZeroAndOne) {
    const Bytes png = CPNGEncoder().EncodeToMemory(*codectest::Pattern32(40, 300));
    RecordingSink sink;
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    decoder.LoadFromMemory(png.data(), png.size(), bitmap, 0, &sink);
    ASSERT_GT(sink.reports.size(), 5u);
    for (std::size_t i = 0; i < sink.reports.size(); ++i) {
        EXPECT_GE(sink.reports[i], 0.0);
        EXPECT_LE(sink.reports[i], 1.0);
        if (i > 0) {
            EXPECT_GE(sink.reports[i], sink.reports[i - 1]);
        }
    }
}

} // namespace
