#include "render/TexelSpans.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FACETO_GATHER 1
#endif

namespace faceto::texel_spans {

#ifdef FACETO_GATHER

namespace {

bool canGather() {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    return avx2;
}

// Eight lanes a pixel apart: first + k x step for k = 0..7, in wrapping 32-bit arithmetic (each value a
// pixel reads is in range, so it comes out as stepping one by one reaches it).
__attribute__((target("avx2"))) __m256i lanes(int32_t first, int32_t step) {
    const __m256i k = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    return _mm256_add_epi32(_mm256_set1_epi32(first), _mm256_mullo_epi32(k, _mm256_set1_epi32(step)));
}

// The low bytes of eight gathered words, stored as eight pixels.
__attribute__((target("avx2"))) void storeLowBytes(uint8_t* out, __m256i words) {
    const __m256i bytes = _mm256_and_si256(words, _mm256_set1_epi32(0xFF));
    const __m128i halves =
        _mm_packus_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(halves, halves));
}

__attribute__((target("avx2"))) __m256i texelIndices(__m256i u, __m256i v, __m256i stride, int bits) {
    const __m128i shift = _mm_cvtsi32_si128(bits);
    return _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sra_epi32(v, shift), stride),
                            _mm256_sra_epi32(u, shift));
}

__attribute__((target("avx2"))) int32_t texturedAvx2(const Span& s, const uint8_t* texels, int32_t stride,
                                                     int bits) {
    __m256i u = lanes(s.u, s.stepU);
    __m256i v = lanes(s.v, s.stepV);
    const __m256i stepU = _mm256_set1_epi32(int32_t(uint32_t(s.stepU) * 8u));
    const __m256i stepV = _mm256_set1_epi32(int32_t(uint32_t(s.stepV) * 8u));
    const __m256i strides = _mm256_set1_epi32(stride);
    const auto* base = reinterpret_cast<const int*>(texels);
    int32_t x = 0;
    for (; x + 8 <= s.count; x += 8) {
        storeLowBytes(s.row + x, _mm256_i32gather_epi32(base, texelIndices(u, v, strides, bits), 1));
        u = _mm256_add_epi32(u, stepU);
        v = _mm256_add_epi32(v, stepV);
    }
    return x;
}

__attribute__((target("avx2"))) int32_t texturedShadedAvx2(const Span& s, int32_t light, int32_t stepLight,
                                                           const uint8_t* texels, int32_t stride,
                                                           const uint8_t* colormap, int bits) {
    __m256i u = lanes(s.u, s.stepU);
    __m256i v = lanes(s.v, s.stepV);
    __m256i l = lanes(light, stepLight);
    const __m256i stepU = _mm256_set1_epi32(int32_t(uint32_t(s.stepU) * 8u));
    const __m256i stepV = _mm256_set1_epi32(int32_t(uint32_t(s.stepV) * 8u));
    const __m256i stepL = _mm256_set1_epi32(int32_t(uint32_t(stepLight) * 8u));
    const __m256i strides = _mm256_set1_epi32(stride);
    const __m256i low = _mm256_set1_epi32(0xFF);
    const __m128i shift = _mm_cvtsi32_si128(bits);
    const auto* texelBase = reinterpret_cast<const int*>(texels);
    const auto* mapBase = reinterpret_cast<const int*>(colormap);
    int32_t x = 0;
    for (; x + 8 <= s.count; x += 8) {
        const __m256i texel =
            _mm256_and_si256(_mm256_i32gather_epi32(texelBase, texelIndices(u, v, strides, bits), 1), low);
        const __m256i entry = _mm256_add_epi32(_mm256_slli_epi32(_mm256_sra_epi32(l, shift), 8), texel);
        storeLowBytes(s.row + x, _mm256_i32gather_epi32(mapBase, entry, 1));
        u = _mm256_add_epi32(u, stepU);
        v = _mm256_add_epi32(v, stepV);
        l = _mm256_add_epi32(l, stepL);
    }
    return x;
}

} // namespace

int32_t textured(const Span& span, const uint8_t* texels, int32_t stride, int fractionBits) {
    return canGather() ? texturedAvx2(span, texels, stride, fractionBits) : 0;
}

int32_t texturedShaded(const Span& span, int32_t light, int32_t stepLight, const uint8_t* texels,
                       int32_t stride, const uint8_t* colormap, int fractionBits) {
    return canGather() ? texturedShadedAvx2(span, light, stepLight, texels, stride, colormap, fractionBits)
                       : 0;
}

#else

int32_t textured(const Span&, const uint8_t*, int32_t, int) {
    return 0;
}

int32_t texturedShaded(const Span&, int32_t, int32_t, const uint8_t*, int32_t, const uint8_t*, int) {
    return 0;
}

#endif

} // namespace faceto::texel_spans
