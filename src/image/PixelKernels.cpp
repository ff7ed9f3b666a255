// SPDX-License-Identifier: MIT
#include "image/PixelKernels.h"

#include "image/Avx2Kernels.h"
#include "image/ImageBitmap.h"

#include <algorithm>

// The loops are written for the auto-vectoriser; the AVX2 clones are picked at load time on
// machines that have it.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_ADDRESS__)
#define IMG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define IMG_VECTOR_CLONES
#endif

namespace img {

void FillPixelBytes(CImageBitmap& bitmap, std::uint8_t value) noexcept {
    const std::size_t cbPixels = bitmap.PixelBytesPerLine();
    for (int y = 0; y < bitmap.Height(); ++y)
        std::fill_n(bitmap.Line(y), cbPixels, value);
}

void LutBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
              std::size_t count, const ByteLut& lut) noexcept {
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        dst[i] = lut[src[i]];
        dst[i + 1] = lut[src[i + 1]];
        dst[i + 2] = lut[src[i + 2]];
        dst[i + 3] = lut[src[i + 3]];
    }
    for (; i < count; ++i)
        dst[i] = lut[src[i]];
}

void LinearBytes(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
                 std::size_t count, float offset, float factor) noexcept {
#if defined(IMG_HAVE_AVX2_KERNELS)
    if (avx2::Available())
        return avx2::LinearBytes(src, dst, count, offset, factor);
#endif
    for (std::size_t i = 0; i < count; ++i) {
        float v = offset + factor * static_cast<float>(src[i]);
        v = std::min(std::max(v, 0.0f), 255.0f);
        dst[i] = static_cast<std::uint8_t>(static_cast<int>(v));
    }
}

IMG_VECTOR_CLONES
void KeepFourthByte(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                    int count) noexcept {
    for (int x = 0; x < count; ++x)
        dst[x] = (dst[x] & 0x00FFFFFFu) | (src[x] & 0xFF000000u);
}

IMG_VECTOR_CLONES
void GreyRow32(const std::uint32_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
               int count) noexcept {
    for (int x = 0; x < count; ++x) {
        const std::uint32_t p = src[x];
        dst[x] = GreyOf((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
}

void GreyRow24(const std::uint8_t* IMG_RESTRICT src, std::uint8_t* IMG_RESTRICT dst,
               int count) noexcept {
    for (int x = 0; x < count; ++x, src += 3)
        dst[x] = GreyOf(src[2], src[1], src[0]);
}

IMG_VECTOR_CLONES
void InvertRow32(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                 int count) noexcept {
    for (int x = 0; x < count; ++x)
        dst[x] = src[x] ^ 0x00FFFFFFu;
}

IMG_VECTOR_CLONES
void InvertRowInPlace32(std::uint32_t* row, int count) noexcept {
    for (int x = 0; x < count; ++x)
        row[x] ^= 0x00FFFFFFu;
}

IMG_VECTOR_CLONES
void MirrorRow32(const std::uint32_t* IMG_RESTRICT src, std::uint32_t* IMG_RESTRICT dst,
                 int count) noexcept {
    const std::uint32_t* end = src + count - 1;
    for (int x = 0; x < count; ++x)
        dst[x] = end[-x];
}

IMG_VECTOR_CLONES
void MirrorRowInPlace32(std::uint32_t* row, int count) noexcept {
    std::reverse(row, row + count);
}

} // namespace img
