// SPDX-License-Identifier: MIT
// Test helpers for the readers: ImageMagick as the independent decoder.
#include "PeerDecode.h"

#include "codecs/ImageDecoder.h"
#include "image/DibBitmap.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace peer {

namespace {} // namespace

namespace {

std::optional<Image> ParsePam(const std::optional<std::string>& pam) {
    if (!pam)
        return std::nullopt;
    std::istringstream header(*pam);
    std::string line, key;
    int width = 0, height = 0, depth = 0, maxval = 0;
    while (std::getline(header, line) && line != "ENDHDR") {
        std::istringstream fields(line);
        fields >> key;
        if (key == "WIDTH")
            fields >> width;
        else if (key == "HEIGHT")
            fields >> height;
        else if (key == "DEPTH")
            fields >> depth;
        else if (key == "MAXVAL")
            fields >> maxval;
    }
    const std::size_t start = std::size_t(header.tellg());
    if (width <= 0 || height <= 0 || depth < 1 || depth > 4 || maxval != 255 ||
        pam->size() < start + std::size_t(width) * height * depth)
        return std::nullopt;
    Image image{width, height, depth == 2 || depth == 4, {}};
    image.rgba.resize(std::size_t(width) * height * 4);
    const auto* src = reinterpret_cast<const std::uint8_t*>(pam->data() + start);
    for (std::size_t i = 0; i < std::size_t(width) * height; ++i, src += depth) {
        std::uint8_t* dst = &image.rgba[i * 4];
        const bool grey = depth <= 2;
        dst[0] = src[0];
        dst[1] = grey ? src[0] : src[1];
        dst[2] = grey ? src[0] : src[2];
        dst[3] = depth == 2 ? src[1] : depth == 4 ? src[3] : 255;
    }
    return image;
}

} // namespace

std::optional<Image> Decode(const std::filesystem::path& path) {
    // PAM keeps the channel count, so grey and alpha survive; 8 bits per sample.
    // -auto-orient: ImageMagick keeps rows as stored and records the orientation (TGA).
    return ParsePam(testsupport::RunProgram(
        {"convert", path.string() + "[0]", "-auto-orient", "-depth", "8", "pam:-"}));
}

std::optional<Image> DecodeVia(const std::string& command, const std::filesystem::path& path) {
    return ParsePam(testsupport::RunProgram(
        {"bash", "-c", "set -o pipefail; " + command + " 2>/dev/null | convert - -depth 8 pam:-",
         "sh", path.string()}));
}

bool Convert(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"convert"};
    argv.insert(argv.end(), args.begin(), args.end());
    const bool ok = testsupport::RunProgram(argv).has_value();
    EXPECT_TRUE(ok) << "convert failed: " << testing::PrintToString(args);
    return ok;
}

void WriteTestPicture(const std::filesystem::path& path, int width, int height, unsigned seed) {
    std::ostringstream out;
    out << "P6\n" << width << " " << height << "\n255\n";
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            // Smooth gradients with some noise, so that palettes and runs both get exercised.
            const int noise = int(state >> 29);
            out.put(char((x * 255 / std::max(1, width - 1) + noise) & 255));
            out.put(char((y * 255 / std::max(1, height - 1)) & 255));
            out.put(char(((x + y) * 4 + (state >> 30)) & 255));
        }
    std::ofstream(path, std::ios::binary) << out.str();
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

RGBQuad PixelOf(const CImageBitmap& bitmap, int x, int y) {
    switch (bitmap.Depth()) {
    case 32:
        return bitmap.Row<RGBQuad>(y)[x];
    case 8:
        return bitmap.Palette()[bitmap.Line(y)[x]];
    case 1:
        return bitmap.Palette()[(bitmap.Line(y)[x / 8] >> (7 - x % 8)) & 1];
    default:
        ADD_FAILURE() << "unexpected depth " << bitmap.Depth();
        return {};
    }
}

std::string Compare(const CImageBitmap& bitmap, const Image& reference, CompareOptions options) {
    std::ostringstream report;
    if (bitmap.Width() != reference.width || bitmap.Height() != reference.height) {
        report << "size " << bitmap.Width() << "x" << bitmap.Height() << ", reference "
               << reference.width << "x" << reference.height;
        return report.str();
    }
    int mismatches = 0;
    for (int y = 0; y < reference.height; ++y)
        for (int x = 0; x < reference.width; ++x) {
            const RGBQuad got = PixelOf(bitmap, x, y);
            const std::uint8_t* want = reference.At(x, y);
            if (options.skipTransparent && want[3] == 0)
                continue;
            const int d[4] = {got.red - want[0], got.green - want[1], got.blue - want[2],
                              options.compareAlpha ? got.reserved - want[3] : 0};
            bool same = true;
            for (int c = 0; c < 4; ++c)
                same = same && std::abs(d[c]) <= options.tolerance;
            if (!same && ++mismatches <= 5)
                report << "(" << x << "," << y << ") got " << int(got.red) << "," << int(got.green)
                       << "," << int(got.blue) << "," << int(got.reserved) << " want "
                       << int(want[0]) << "," << int(want[1]) << "," << int(want[2]) << ","
                       << int(want[3]) << "; ";
        }
    if (mismatches)
        report << mismatches << " pixels differ";
    return report.str();
}

std::vector<std::filesystem::path> TestDataFiles(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path dir = std::filesystem::path(QUORVI_TEST_DATA_DIR) / folder;
    if (std::filesystem::is_directory(dir))
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectLikePeer(CImageDecoder& decoder, const std::filesystem::path& path, int naturalDepth,
                    CompareOptions options) {
    const auto reference = Decode(path);
    ASSERT_TRUE(reference) << "ImageMagick cannot read " << path;
    ExpectLikeReference(decoder, path, naturalDepth, *reference, options);
}

void ExpectLikeReference(CImageDecoder& decoder, const std::filesystem::path& path,
                         int naturalDepth, const Image& reference, CompareOptions options) {
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    for (const int depth : {0, 32}) {
        CMemoryBitmap topDown;
        CDibBitmap bottomUp;
        for (CImageBitmap* bitmap :
             {static_cast<CImageBitmap*>(&topDown), static_cast<CImageBitmap*>(&bottomUp)}) {
            try {
                decoder.LoadFromMemory(bytes.data(), bytes.size(), *bitmap, depth, nullptr);
            } catch (const CTextException& e) {
                ADD_FAILURE() << path.filename() << " depth " << depth << ": " << e.Code() << " "
                              << e.Text();
                return;
            }
            EXPECT_EQ(bitmap->Depth(), depth ? depth : naturalDepth) << path.filename();
            const std::string diff = Compare(*bitmap, reference, options);
            EXPECT_TRUE(diff.empty()) << path.filename() << " depth " << depth << ": " << diff;
        }
    }
}

} // namespace peer
