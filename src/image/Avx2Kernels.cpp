// SPDX-License-Identifier: MIT
#include "image/Avx2Kernels.h"

#include <cmath>
#include <cstring>

#if defined(IMG_HAVE_AVX2_KERNELS)
#include <immintrin.h>
#endif

namespace img::avx2 {

bool Available() noexcept {
#if defined(IMG_HAVE_AVX2_KERNELS)
    static const bool s_bAvailable = __builtin_cpu_supports("avx2");
    return s_bAvailable;
#else
    return false;
#endif
}

#if defined(IMG_HAVE_AVX2_KERNELS)

namespace {

// Eight bytes to eight floats, offset + factor * v, truncated to int32.
__attribute__((target("avx2"))) inline __m256i Linear8(__m128i bytes8, __m256 offset,
                                                       __m256 factor) {
    const __m256 v = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes8));
    return _mm256_cvttps_epi32(_mm256_add_ps(offset, _mm256_mul_ps(factor, v)));
}

} // namespace

__attribute__((target("avx2"))) void LinearBytes(const std::uint8_t* IMG_RESTRICT src,
                                                 std::uint8_t* IMG_RESTRICT dst, std::size_t count,
                                                 float offset, float factor) noexcept {
    const __m256 vOffset = _mm256_set1_ps(offset);
    const __m256 vFactor = _mm256_set1_ps(factor);
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m128i lo = _mm256_castsi256_si128(in);
        const __m128i hi = _mm256_extracti128_si256(in, 1);
        const __m256i a = Linear8(lo, vOffset, vFactor);
        const __m256i b = Linear8(_mm_srli_si128(lo, 8), vOffset, vFactor);
        const __m256i c = Linear8(hi, vOffset, vFactor);
        const __m256i d = Linear8(_mm_srli_si128(hi, 8), vOffset, vFactor);
        // Saturating packs clamp to 0..255; they interleave 128-bit lanes, which the final
        // permutation puts back in order.
        const __m256i ab = _mm256_packs_epi32(a, b);
        const __m256i cd = _mm256_packs_epi32(c, d);
        const __m256i bytes = _mm256_packus_epi16(ab, cd);
        const __m256i ordered =
            _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), ordered);
    }
    for (; i < count; ++i) {
        const float v = offset + factor * static_cast<float>(src[i]);
        dst[i] = v >= 255.0f ? 255 : v <= 0.0f ? 0 : static_cast<std::uint8_t>(static_cast<int>(v));
    }
}

__attribute__((target("avx2"))) void RotationOffsets(double c, double s, double sY, double cY,
                                                     int x0, int count, int pitch, int pixelBytes,
                                                     std::int32_t* IMG_RESTRICT offsets) noexcept {
    const __m256d vC = _mm256_set1_pd(c);
    const __m256d vS = _mm256_set1_pd(s);
    const __m256d vSY = _mm256_set1_pd(sY);
    const __m256d vCY = _mm256_set1_pd(cY);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256i vPitch = _mm256_set1_epi32(pitch);
    const __m256i vPixelBytes = _mm256_set1_epi32(pixelBytes);
    __m256d x = _mm256_setr_pd(x0, x0 + 1, x0 + 2, x0 + 3);
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256d x1 = _mm256_add_pd(x, four);
        // The formula's operations in its order; truncation is its floor here because every
        // sample of the run is inside the source, so no value is negative.
        const __m128i sxLo =
            _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(vC, x), vSY), half));
        const __m128i sxHi =
            _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(vC, x1), vSY), half));
        const __m128i syLo =
            _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_sub_pd(vCY, _mm256_mul_pd(vS, x)), half));
        const __m128i syHi =
            _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_sub_pd(vCY, _mm256_mul_pd(vS, x1)), half));
        const __m256i sx = _mm256_set_m128i(sxHi, sxLo);
        const __m256i sy = _mm256_set_m128i(syHi, syLo);
        const __m256i columns =
            pixelBytes == 4 ? _mm256_slli_epi32(sx, 2) : _mm256_mullo_epi32(sx, vPixelBytes);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(offsets + k),
                            _mm256_add_epi32(_mm256_mullo_epi32(sy, vPitch), columns));
        x = _mm256_add_pd(x1, four);
    }
    for (; k < count; ++k) {
        const double X = x0 + k;
        const int sx = int(c * X + sY + 0.5);
        const int sy = int(cY - s * X + 0.5);
        offsets[k] = sy * pitch + sx * pixelBytes;
    }
}

__attribute__((target("avx2"))) void GatherPixels32(const std::uint8_t* base,
                                                    const std::int32_t* IMG_RESTRICT offsets,
                                                    int count,
                                                    std::uint32_t* IMG_RESTRICT dst) noexcept {
    const int* pixels = reinterpret_cast<const int*>(base);
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + k));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k),
                            _mm256_i32gather_epi32(pixels, o, 1));
    }
    for (; k < count; ++k)
        std::memcpy(dst + k, base + offsets[k], 4);
}

__attribute__((target("avx2"))) void RoundSumsToBytes(const double* IMG_RESTRICT sums,
                                                      std::uint8_t* IMG_RESTRICT dst,
                                                      std::size_t count, double slack) noexcept {
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d vSlack = _mm256_set1_pd(slack);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d top = _mm256_set1_pd(255.0);
    auto four = [&](const double* p) __attribute__((target("avx2"))) {
        __m256d v = _mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(p), half), vSlack);
        v = _mm256_min_pd(_mm256_max_pd(v, zero), top);
        return _mm256_cvttpd_epi32(v);
    };
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i a = four(sums + i), b = four(sums + i + 4), c = four(sums + i + 8),
                      d = four(sums + i + 12);
        const __m128i ab = _mm_packs_epi32(a, b);
        const __m128i cd = _mm_packs_epi32(c, d);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(ab, cd));
    }
    for (; i < count; ++i) {
        double v = sums[i] + 0.5 + slack;
        v = v < 0.0 ? 0.0 : v > 255.0 ? 255.0 : v;
        dst[i] = static_cast<std::uint8_t>(static_cast<int>(v));
    }
}

__attribute__((target("avx2"))) void TurnBlocks32(const std::uint8_t* srcBase,
                                                  std::ptrdiff_t srcPitch, int sx0, int sy0, int bx,
                                                  int ay, std::uint8_t* dstBase,
                                                  std::ptrdiff_t dstPitch, int k0, int k1, int i0,
                                                  int i1) noexcept {
    const std::ptrdiff_t srcStep = ay * srcPitch;
    for (int i = i0; i < i1; i += 8) {
        // Eight source pixels left to right; turning leftwards (bx < 0) the leftmost of them
        // belongs to the block's last destination row.
        const int column = bx > 0 ? sx0 + i : sx0 - i - 7;
        std::uint32_t* dst[8];
        for (int j = 0; j < 8; ++j)
            dst[j] =
                reinterpret_cast<std::uint32_t*>(dstBase + (i + (bx > 0 ? j : 7 - j)) * dstPitch);
        for (int k = k0; k < k1; k += 8) {
            const std::uint8_t* src =
                srcBase + (sy0 + ay * k) * srcPitch + std::ptrdiff_t(column) * 4;
            __m256i r[8];
            for (int e = 0; e < 8; ++e)
                r[e] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + e * srcStep));
            __m256i t[8], u[8];
            for (int e = 0; e < 8; e += 2) {
                t[e] = _mm256_unpacklo_epi32(r[e], r[e + 1]);
                t[e + 1] = _mm256_unpackhi_epi32(r[e], r[e + 1]);
            }
            for (int e = 0; e < 8; e += 4) {
                u[e] = _mm256_unpacklo_epi64(t[e], t[e + 2]);
                u[e + 1] = _mm256_unpackhi_epi64(t[e], t[e + 2]);
                u[e + 2] = _mm256_unpacklo_epi64(t[e + 1], t[e + 3]);
                u[e + 3] = _mm256_unpackhi_epi64(t[e + 1], t[e + 3]);
            }
            // u[j] holds column j of the rows in its low lanes (rows 0..3) and column j + 4 in its
            // high lanes; joining halves gives the transposed rows.
            for (int j = 0; j < 4; ++j) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst[j] + k),
                                    _mm256_permute2x128_si256(u[j], u[j + 4], 0x20));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst[j + 4] + k),
                                    _mm256_permute2x128_si256(u[j], u[j + 4], 0x31));
            }
        }
    }
}

namespace {

// Twelve bytes (four triples) at the front of v, spread to four pixels with room for alpha.
const __m128i kSpreadTriples = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
// Four pixels' blue, green, red packed into the first twelve bytes.
const __m128i kPackTriples = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);

} // namespace

__attribute__((target("avx2"))) void BgrToBgra(const std::uint8_t* IMG_RESTRICT src,
                                               std::size_t count,
                                               std::uint8_t* IMG_RESTRICT dst) noexcept {
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    std::size_t i = 0;
    // Sixteen pixels: 48 bytes in, 64 out.
    for (; i + 16 <= count; i += 16, src += 48, dst += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        const __m128i quads[4] = {a, _mm_alignr_epi8(b, a, 12), _mm_alignr_epi8(c, b, 8),
                                  _mm_srli_si128(c, 4)};
        for (int q = 0; q < 4; ++q)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16 * q),
                             _mm_or_si128(_mm_shuffle_epi8(quads[q], kSpreadTriples), alpha));
    }
    for (; i < count; ++i, src += 3, dst += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 255;
    }
}

__attribute__((target("avx2"))) void BgraToBgr(const std::uint8_t* IMG_RESTRICT src,
                                               std::size_t count,
                                               std::uint8_t* IMG_RESTRICT dst) noexcept {
    std::size_t i = 0;
    // Sixteen pixels: 64 bytes in, 48 out.
    for (; i + 16 <= count; i += 16, src += 64, dst += 48) {
        __m128i t[4];
        for (int q = 0; q < 4; ++q)
            t[q] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16 * q)),
                                    kPackTriples);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                         _mm_or_si128(t[0], _mm_slli_si128(t[1], 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16),
                         _mm_or_si128(_mm_srli_si128(t[1], 4), _mm_slli_si128(t[2], 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 32),
                         _mm_or_si128(_mm_srli_si128(t[2], 8), _mm_slli_si128(t[3], 4)));
    }
    for (; i < count; ++i, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

#endif

} // namespace img::avx2
