// SPDX-License-Identifier: MIT
// Test helpers for the readers: an independent decoder (ImageMagick) to compare pixels with,
// file generation through ImageMagick and netpbm, and pixel comparison with a bitmap.
#pragma once

#include "image/ImageBitmap.h"
#include "support/Programs.h"

class CImageDecoder;

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace peer {

// A decoded image as straight red, green, blue, alpha bytes, rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* At(int x, int y) const {
        return rgba.data() + (std::size_t(y) * width + x) * 4;
    }
};

// ImageMagick's reading of path (first frame), or nothing when it cannot read it.
std::optional<Image> Decode(const std::filesystem::path& path);

// The reading of path by another decoder: shell command (path is "$1") writing a netpbm
// image to its standard output, for example "pcxtoppm \"$1\"".
std::optional<Image> DecodeVia(const std::string& command, const std::filesystem::path& path);

// ImageMagick's convert with the given arguments; fails the current test when it fails.
bool Convert(const std::vector<std::string>& args);

// A deterministic colourful test picture written as a binary PPM (P6) at path.
void WriteTestPicture(const std::filesystem::path& path, int width, int height, unsigned seed = 1);

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The bitmap's pixel (x, y) as red, green, blue, fourth byte (through the palette at 8 bpp).
RGBQuad PixelOf(const CImageBitmap& bitmap, int x, int y);

struct CompareOptions {
    int tolerance = 0;            // per channel
    bool compareAlpha = false;    // else only red, green, blue
    bool skipTransparent = false; // pixels whose reference alpha is 0 carry no colour
};

// Empty when the bitmap matches the reference; otherwise a description of the first
// differences, for the test's failure message.
std::string Compare(const CImageBitmap& bitmap, const Image& reference,
                    CompareOptions options = {});

// Decodes path at depth 0 (expecting naturalDepth) and at depth 32, into a top-down and a
// bottom-up bitmap, and compares every pixel with reference (ImageMagick's reading of the file
// when none is given).
void ExpectLikePeer(CImageDecoder& decoder, const std::filesystem::path& path, int naturalDepth,
                    CompareOptions options = {});
void ExpectLikeReference(CImageDecoder& decoder, const std::filesystem::path& path,
                         int naturalDepth, const Image& reference, CompareOptions options = {});

// Every file of tests/data/<folder>/ (seeds of the fuzz harnesses, past crashers).
std::vector<std::filesystem::path> TestDataFiles(const std::string& folder);

} // namespace peer

// Skips the current test, saying why, when an external tool is missing.
#define SKIP_WITHOUT_TOOL(name)                                                                    \
    do {                                                                                           \
        if (!testsupport::HaveProgram(name))                                                       \
            GTEST_SKIP() << name << " not installed";                                              \
    } while (0)
