// SPDX-License-Identifier: MIT
// ImageMagick runner for the codec tests.
#include "MagickTool.h"

#include "image/ImageBitmap.h"
#include "image/MemoryBitmap.h"
#include "support/Programs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace magick {

bool Available() {
    static const bool available = testsupport::RunProgram({"convert", "-version"}).has_value();
    return available;
}

bool Convert(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"convert"};
    argv.insert(argv.end(), args.begin(), args.end());
    const bool ok = testsupport::RunProgram(argv).has_value();
    if (!ok) {
        std::string line;
        for (const auto& a : argv)
            line += a + " ";
        ADD_FAILURE() << "ImageMagick failed: " << line;
    }
    return ok;
}

std::optional<RawImage> Decode(const std::filesystem::path& path, int channelBits) {
    const std::string first = path.string() + "[0]";
    const auto size = testsupport::RunProgram({"identify", "-format", "%w %h", first});
    if (!size)
        return std::nullopt;
    RawImage image;
    image.channelBits = channelBits;
    std::istringstream(*size) >> image.width >> image.height;
    const auto bytes = testsupport::RunProgram(
        {"convert", first, "-depth", std::to_string(channelBits), "-endian", "MSB", "rgba:-"});
    const std::size_t samples = std::size_t(image.width) * std::size_t(image.height) * 4;
    const std::size_t sampleBytes = channelBits == 16 ? 2 : 1;
    if (!bytes || bytes->size() != samples * sampleBytes)
        return std::nullopt;
    image.rgba.resize(samples);
    for (std::size_t i = 0; i < samples; ++i) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes->data()) + i * sampleBytes;
        image.rgba[i] = sampleBytes == 2 ? std::uint16_t((p[0] << 8) | p[1]) : p[0];
    }
    return image;
}

std::string Compare(const CImageBitmap& bitmap, const RawImage& reference, int tolerance,
                    bool checkAlpha, bool premultiplied) {
    if (bitmap.Width() != reference.width || bitmap.Height() != reference.height) {
        std::ostringstream s;
        s << "size " << bitmap.Width() << "x" << bitmap.Height() << " but reference is "
          << reference.width << "x" << reference.height;
        return s.str();
    }
    CMemoryBitmap expanded;
    expanded.CreateCopy(bitmap, 32);
    std::size_t mismatches = 0;
    std::ostringstream first;
    for (int y = 0; y < expanded.Height(); ++y) {
        const RGBQuad* row = expanded.Row<RGBQuad>(y);
        for (int x = 0; x < expanded.Width(); ++x) {
            const std::size_t i =
                (std::size_t(y) * std::size_t(expanded.Width()) + std::size_t(x)) * 4;
            int ref[4];
            for (int c = 0; c < 4; ++c) {
                const unsigned v = reference.rgba[i + std::size_t(c)];
                // Correct rounding of a 16-bit sample to 8 bits.
                ref[c] = reference.channelBits == 16 ? int((v * 255u + 32767u) / 65535u) : int(v);
            }
            const int got[4] = {row[x].red, row[x].green, row[x].blue, row[x].reserved};
            // Colour under full transparency carries no information.
            bool same = checkAlpha && got[3] == 0 && ref[3] == 0;
            if (!same) {
                same = true;
                const int slack = premultiplied ? (ref[3] > 0 ? 255 / ref[3] : 255) : 0;
                for (int c = 0; c < (checkAlpha ? 4 : 3); ++c)
                    same = same && std::abs(got[c] - ref[c]) <= tolerance + (c < 3 ? slack : 0);
            }
            if (!same && mismatches++ == 0)
                first << "first difference at (" << x << "," << y << "): got " << got[0] << ","
                      << got[1] << "," << got[2] << "," << got[3] << " expected " << ref[0] << ","
                      << ref[1] << "," << ref[2] << "," << ref[3];
        }
    }
    if (mismatches == 0)
        return {};
    return first.str() + " (" + std::to_string(mismatches) + " pixels differ)";
}

} // namespace magick
