// SPDX-License-Identifier: MIT
// Every file of the public PNG, GIF, TIFF, WMF and EMF suites through the loader: good files
// decode to the right size (and pixels, where a reference decoding exists), bad ones end in a
// clean CTextException.
#include "CodecTestUtil.h"
#include "MagickTool.h"
#include "support/TestSupport.h"

#include "codecs/PictureDecoder.h"

#include <algorithm>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& dir, std::initializer_list<const char*> extensions) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir, ec)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && std::any_of(extensions.begin(), extensions.end(),
                                                   [&](const char* e) { return ext == e; }))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Loads path; returns null (and records the message) when the loader refused it cleanly.
std::unique_ptr<CMemoryBitmap> TryLoad(const fs::path& path, int depth,
                                       std::string* error = nullptr) {
    try {
        return codectest::Load(path, depth);
    } catch (const CTextException& e) {
        if (error)
            *error = e.Text();
        return nullptr;
    }
}

// Share of pixels whose red, green and blue are within tolerance of the reference (after
// flattening our transparency onto white, as the references are drawn).
double ShareClose(const CImageBitmap& bitmap, const magick::RawImage& reference, int tolerance) {
    if (bitmap.Width() != reference.width || bitmap.Height() != reference.height)
        return 0;
    std::size_t close = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const RGBQuad p = bitmap.Row<RGBQuad>(y)[x];
            const std::size_t i =
                (std::size_t(y) * std::size_t(bitmap.Width()) + std::size_t(x)) * 4;
            const int got[3] = {p.red, p.green, p.blue};
            bool same = true;
            for (int c = 0; c < 3; ++c) {
                const int flat = (got[c] * p.reserved + 255 * (255 - p.reserved) + 127) / 255;
                same =
                    same && std::abs(flat - int(reference.rgba[i + std::size_t(c)])) <= tolerance;
            }
            close += same;
        }
    return double(close) / (double(bitmap.Width()) * bitmap.Height());
}

// The PNG without its colour-space chunks: ImageMagick would convert the pixels by them, while
// the editor shows pixels as stored.
fs::path WithoutColourSpace(const fs::path& png, const fs::path& dir) {
    const auto in = codectest::ReadBytes(png);
    std::vector<std::uint8_t> out(in.begin(), in.begin() + 8);
    for (std::size_t at = 8; at + 12 <= in.size();) {
        const std::size_t length =
            (std::size_t(in[at]) << 24) | (in[at + 1] << 16) | (in[at + 2] << 8) | in[at + 3];
        const std::string type(in.begin() + long(at) + 4, in.begin() + long(at) + 8);
        const std::size_t end = std::min(in.size(), at + 12 + length);
        if (type != "gAMA" && type != "cHRM" && type != "sRGB" && type != "iCCP")
            out.insert(out.end(), in.begin() + long(at), in.begin() + long(end));
        at = end;
    }
    const fs::path stripped = dir / png.filename();
    codectest::WriteBytes(stripped, out);
    return stripped;
}

TEST(Corpora, PngSuite) {
    SKIP_WITHOUT_CORPORA();
    SKIP_WITHOUT_MAGICK();
    const auto files = FilesIn(testsupport::CorporaDir() / "pngsuite", {".png"});
    ASSERT_GT(files.size(), 150u);
    testsupport::CTempDir dir;
    for (const auto& file : files) {
        const bool bad = file.filename().string()[0] == 'x';
        std::string error;
        const auto image = TryLoad(file, 32, &error);
        if (bad) {
            EXPECT_EQ(image, nullptr) << file << " is damaged but decoded";
            continue;
        }
        ASSERT_NE(image, nullptr) << file << ": " << error;
        const auto reference = magick::Decode(WithoutColourSpace(file, dir.Path()), 16);
        ASSERT_TRUE(reference) << file;
        EXPECT_EQ(magick::Compare(*image, *reference, 0, true), "") << file;
    }
}

TEST(Corpora, GifSuites) {
    SKIP_WITHOUT_CORPORA();
    const fs::path root = testsupport::CorporaDir() / "gif";
    const auto files = FilesIn(root, {".gif"});
    ASSERT_GT(files.size(), 30u);
    for (const auto& file : files) {
        const auto image = TryLoad(file, 32);
        if (!image)
            continue; // a clean refusal is all a damaged file owes us
        EXPECT_GT(image->Width(), 0);
        // The peterdn suite has the first frame composed on its screen as a reference.
        const fs::path frame = root / "peterdn/gifs/frames" / (file.stem().string() + "-0.png");
        const fs::path still = root / "peterdn/gifs/frames" / (file.stem().string() + ".png");
        const fs::path ref = fs::exists(frame) ? frame : still;
        if (!fs::exists(ref) || !magick::Available())
            continue;
        const auto reference = magick::Decode(ref);
        ASSERT_TRUE(reference) << ref;
        EXPECT_EQ(magick::Compare(*image, *reference, 0, true), "") << file;
    }
}

TEST(Corpora, LibtiffImages) {
    SKIP_WITHOUT_CORPORA();
    const fs::path dir = testsupport::CorporaDir() / "tiff/libtiff";
    const auto files = FilesIn(dir, {".tif", ".tiff"});
    ASSERT_GT(files.size(), 20u);
    for (const auto& file : files) {
        const auto image = TryLoad(file, 0);
        if (image && magick::Available()) {
            const auto reference = magick::Decode(file);
            if (reference) {
                EXPECT_EQ(image->Width(), reference->width) << file;
                EXPECT_EQ(image->Height(), reference->height) << file;
            }
        }
    }
    // The suite's own netpbm decodings of its basic images.
    if (!magick::Available())
        return;
    for (auto [tiff, pnm] : {std::pair{"rgb-3c-8b.tiff", "rgb-3c-8b.ppm"},
                             std::pair{"rgb-3c-16b.tiff", "rgb-3c-16b.ppm"},
                             std::pair{"minisblack-1c-8b.tiff", "minisblack-1c-8b.pgm"},
                             std::pair{"miniswhite-1c-1b.tiff", "miniswhite-1c-1b.pbm"}}) {
        const auto image = TryLoad(dir / tiff, 0);
        ASSERT_NE(image, nullptr) << tiff;
        const auto reference = magick::Decode(dir / pnm, 16);
        ASSERT_TRUE(reference) << pnm;
        EXPECT_EQ(magick::Compare(*image, *reference, 0, false), "") << tiff;
    }
    for (const char* palette : {"palette-1c-1b.tiff", "palette-1c-4b.tiff", "palette-1c-8b.tiff"}) {
        const auto image = TryLoad(dir / palette, 0);
        ASSERT_NE(image, nullptr) << palette;
        EXPECT_EQ(image->Depth(), 8);
        EXPECT_EQ(magick::Compare(*image, *magick::Decode(dir / palette, 16), 0, false), "")
            << palette;
    }
}

TEST(Corpora, Metafiles) {
    SKIP_WITHOUT_CORPORA();
    const fs::path root = testsupport::CorporaDir();
    auto files = FilesIn(root / "wmf", {".wmf", ".emf"});
    const auto emf = FilesIn(root / "emf", {".emf"});
    files.insert(files.end(), emf.begin(), emf.end());
    ASSERT_GT(files.size(), 60u);
    int decoded = 0;
    for (const auto& file : files) {
        std::string error;
        const auto image = TryLoad(file, 0, &error);
        const bool corrupted = file.string().find("corrupted") != std::string::npos;
        if (!image) {
            EXPECT_TRUE(corrupted) << file << ": " << error;
            continue;
        }
        ++decoded;
        EXPECT_EQ(image->Depth(), 32) << file;
        EXPECT_TRUE(image->HasAlpha()) << file;
        EXPECT_LE(std::max(image->Width(), image->Height()), 4096) << file;
    }
    EXPECT_GT(decoded, 50);
    if (!magick::Available())
        return;
    // Pillow's renderings of the same drawing, scaled to our size for the EMF (drawn at its
    // recording resolution there); edges are anti-aliased differently, interiors must agree.
    for (const char* name : {"drawing.wmf", "drawing.emf"}) {
        const auto image = TryLoad(root / "wmf/pillow" / name, 0);
        ASSERT_NE(image, nullptr) << name;
        const std::string stem =
            fs::path(name).stem().string() + "_" + fs::path(name).extension().string().substr(1);
        testsupport::CTempDir dir;
        const auto scaled = dir.Path() / "ref.png";
        ASSERT_TRUE(magick::Convert(
            {(root / "wmf/pillow" / (stem + "_ref.png")).string(), "-resize",
             std::to_string(image->Width()) + "x" + std::to_string(image->Height()) + "!",
             scaled.string()}));
        const auto reference = magick::Decode(scaled);
        ASSERT_TRUE(reference);
        EXPECT_GT(ShareClose(*image, *reference, 48), 0.95) << name;
    }
}

} // namespace
