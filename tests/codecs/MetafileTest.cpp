// SPDX-License-Identifier: MIT
// Metafiles: chosen by name, drawn at a bounded size, refused cleanly when they are not
// metafiles, and several in a row (text through two font stacks) in one process.
#include "CodecTestUtil.h"
#include "PeerDecode.h"
#include "support/TestSupport.h"

#include "codecs/PictureDecoder.h"

#include <algorithm>
#include <cstring>

namespace {

namespace fs = std::filesystem;

void Put16(std::vector<std::uint8_t>& b, int v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, int(v & 0xFFFF));
    Put16(b, int(v >> 16));
}

// A placeable WMF of one filled rectangle (left, top, right, bottom in its own units) inside a
// picture of width x height units at unitsPerInch, outlined with a solid black pen of
// penWidth units (0: the default pen).
std::vector<std::uint8_t> RectangleWmf(int width, int height, int unitsPerInch, int l, int t, int r,
                                       int b, int penWidth = 0) {
    std::vector<std::uint8_t> f;
    Put32(f, 0x9AC6CDD7u);
    for (int v : {0, 0, 0, width, height, unitsPerInch})
        Put16(f, v);
    Put32(f, 0);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        sum ^= std::uint16_t(f[i] | (f[i + 1] << 8));
    Put16(f, sum);
    const bool pen = penWidth > 0;
    const int recordWords = 7 + 3 + (pen ? 8 + 4 : 0);
    for (int v : {1, 9, 0x300})
        Put16(f, v);
    Put32(f, std::uint32_t(9 + recordWords));
    Put16(f, pen ? 1 : 0);
    Put32(f, pen ? 8 : 7);
    Put16(f, 0);
    if (pen) {
        Put32(f, 8); // META_CREATEPENINDIRECT: style, width (x, y), colour
        Put16(f, 0x02FA);
        for (int v : {0, penWidth, 0})
            Put16(f, v);
        Put32(f, 0);
        Put32(f, 4); // META_SELECTOBJECT
        Put16(f, 0x012D);
        Put16(f, 0);
    }
    Put32(f, 7); // META_RECTANGLE: bottom, right, top, left
    Put16(f, 0x041B);
    for (int v : {b, r, t, l})
        Put16(f, v);
    Put32(f, 3); // META_EOF
    Put16(f, 0);
    return f;
}

class Metafiles : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = m_dir.Path() / name;
        codectest::WriteBytes(path, bytes);
        return path;
    }
    testsupport::CTempDir m_dir;
};

TEST_F(Metafiles, WmfIsDrawnAtSeventyTwoDotsPerInchWithAlpha) {
    // 2 x 1 inches; the rectangle covers the left half.
    const auto path = Write("rect.wmf", RectangleWmf(2000, 1000, 1000, 0, 0, 1000, 1000));
    PictureFormat format{};
    const auto image = codectest::Load(path, 0, &format);
    EXPECT_EQ(format, PictureFormat::Wmf);
    EXPECT_EQ(image->Depth(), 32);
    EXPECT_TRUE(image->HasAlpha());
    EXPECT_EQ(image->Width(), 144);
    EXPECT_EQ(image->Height(), 72);
    // Inside the rectangle: the default brush (white) within a black outline; both opaque.
    const RGBQuad inside = image->Row<RGBQuad>(36)[36];
    EXPECT_EQ(inside.reserved, 255);
}

TEST_F(Metafiles, ALyingLargestRecordSizeIsHarmless) {
    // The header claims records of 2 GB; the library sized a buffer by it. The picture must
    // come out as with the true size.
    auto bytes = RectangleWmf(100, 100, 100, 10, 10, 60, 60);
    const auto truth = codectest::Load(Write("true.wmf", bytes));
    for (const int i : {0, 1, 2, 3})
        bytes[22 + 12 + std::size_t(i)] = i == 3 ? 0x7F : 0xFF;
    const auto lying = codectest::Load(Write("lying.wmf", bytes));
    ASSERT_EQ(lying->Width(), truth->Width());
    for (int y = 0; y < truth->Height(); ++y)
        ASSERT_EQ(std::memcmp(lying->Line(y), truth->Line(y), std::size_t(truth->Width()) * 4), 0)
            << y;
}

TEST_F(Metafiles, HugePicturesAreDrawnAtABoundedSize) {
    // 320 x 160 inches would be 23040 x 11520 pixels.
    const auto path = Write("huge.wmf", RectangleWmf(32000, 16000, 100, 100, 100, 16000, 8000));
    const auto image = codectest::Load(path);
    EXPECT_EQ(image->Width(), 4096);
    EXPECT_EQ(image->Height(), 2048);
}

TEST_F(Metafiles, WidePensAreDrawnAndPicturesOfGiantPensRefused) {
    // 1 x 1 inch, a 20-unit pen (about 14 pixels) round (20,20)-(80,80): the outline is thick.
    const auto thick =
        codectest::Load(Write("thick.wmf", RectangleWmf(100, 100, 100, 20, 20, 80, 80, 20)));
    const auto thin =
        codectest::Load(Write("thin.wmf", RectangleWmf(100, 100, 100, 20, 20, 80, 80)));
    const auto blackInRow = [](const CImageBitmap& image, int y) {
        const RGBQuad* row = image.Row<RGBQuad>(y);
        return std::count(row, row + image.Width(), RGBQuad{0, 0, 0, 255});
    };
    EXPECT_GE(blackInRow(*thick, thick->Height() / 2), 2 * 12);
    EXPECT_LE(blackInRow(*thin, thin->Height() / 2), 2 * 2);
    // A pen nearly as wide as a 4096-pixel picture would stamp a 3800-pixel square at every
    // point of the outline: minutes of drawing. The load fails at once instead.
    const auto giant =
        Write("giant.wmf", RectangleWmf(32000, 16000, 100, 100, 100, 16000, 8000, 30000));
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromFile(giant.string(), bitmap, 0, nullptr), 7,
                          "Windows Metafile functions failed to load this image.");
}

TEST_F(Metafiles, NamesDecideAndContentMustFollow) {
    // Not a metafile at all, though named like one.
    const auto junk = Write("junk.emf", std::vector<std::uint8_t>(200, 'x'));
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    EXPECT_TEXT_EXCEPTION(decoder.LoadFromFile(junk.string(), bitmap, 0, nullptr), 1,
                          "No header information in metafile");
    // A WMF under a name with ".wmf" in the middle is still a metafile.
    const auto odd = Write("a.wmf.png", RectangleWmf(100, 100, 100, 0, 0, 50, 50));
    EXPECT_EQ(decoder.LoadFromFile(odd.string(), bitmap, 0, nullptr), PictureFormat::Wmf);
    EXPECT_EQ(bitmap.Width(), 72);
    // Cut short: the library's failure is reported, not a crash.
    auto cut = RectangleWmf(100, 100, 100, 0, 0, 50, 50);
    cut.resize(30);
    const auto shortFile = Write("short.wmf", cut);
    EXPECT_THROW(decoder.LoadFromFile(shortFile.string(), bitmap, 0, nullptr), CTextException);
    EXPECT_EQ(bitmap.Width(), 72);
}

TEST_F(Metafiles, SeveralEmfFilesWithTextInOneProcess) {
    SKIP_WITHOUT_CORPORA();
    const fs::path emf = testsupport::CorporaDir() / "emf";
    // Text in both: the converter's font lookup and the renderer's text layout take turns.
    for (const char* name : {"test-013.emf", "test-183.emf", "test-013.emf"}) {
        const auto image = codectest::Load(emf / name);
        EXPECT_GT(image->Width(), 100) << name;
    }
}

TEST_F(Metafiles, FuzzSeedsDrawTheirShapes) {
    // The seeds are 40 x 30 pictures at 72 dpi; those with shapes fill (5,5)-(30,20) with a
    // red brush inside a blue pen.
    std::size_t seen = 0;
    for (const char* folder : {"fuzz-seeds/wmf", "fuzz-seeds/emf"}) {
        for (const auto& seed : peer::TestDataFiles(folder)) {
            SCOPED_TRACE(seed.filename().string());
            const auto image = codectest::Load(seed);
            ASSERT_EQ(image->Width(), 40);
            ASSERT_EQ(image->Height(), 30);
            EXPECT_TRUE(image->HasAlpha());
            if (seed.stem() == "shapes" || seed.stem() == "noplaceable") {
                EXPECT_EQ(image->Row<RGBQuad>(12)[10], (RGBQuad{0, 0, 255, 255}));
            }
            ++seen;
        }
    }
    EXPECT_EQ(seen, 4u);
}

} // namespace
