// SPDX-License-Identifier: MIT
// Helpers shared by the codec tests.
#include "CodecTestUtil.h"

#include "codecs/PictureDecoder.h"

#include <fstream>
#include <iterator>

namespace codectest {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::unique_ptr<CMemoryBitmap> Load(const std::filesystem::path& path, int depth,
                                    PictureFormat* format) {
    CPictureDecoder decoder;
    auto bitmap = std::make_unique<CMemoryBitmap>();
    const PictureFormat found = decoder.LoadFromFile(path.string(), *bitmap, depth, nullptr);
    if (format)
        *format = found;
    return bitmap;
}

std::unique_ptr<CMemoryBitmap> Pattern32(int width, int height, bool alpha) {
    auto b = std::make_unique<CMemoryBitmap>();
    b->Create(width, height, 32, alpha);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b->Row<RGBQuad>(y)[x] = RGBQuad{
                std::uint8_t(x * 37 + y * 11), std::uint8_t(x * 5 + y * 53),
                std::uint8_t((x ^ y) * 29 + 7), std::uint8_t(alpha ? (x * 17 + y * 71) : 255)};
    return b;
}

std::unique_ptr<CMemoryBitmap> Pattern8(int width, int height) {
    auto b = std::make_unique<CMemoryBitmap>();
    b->Create(width, height, 8);
    for (int i = 0; i < 256; ++i)
        b->Palette()[i] =
            RGBQuad{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 13 + 5), 255};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b->Line(y)[x] = std::uint8_t(x * 31 + y * 17);
    return b;
}

} // namespace codectest
