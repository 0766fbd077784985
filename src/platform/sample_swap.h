// Reversing the sample order of 3-byte pixels (RGB <-> BGR), the step between a device's or a
// file's colour rows and the bitmaps' own. Header-only, so that plug-ins use it without
// linking the toolkit. A row goes 16 bytes at a time with SSSE3 where the processor has it;
// the per-pixel loop was the larger part of scanning a page into a file.
#pragma once
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TESSIVO_SAMPLE_SWAP_SSSE3 1
#endif

namespace tessivo::platform {

namespace sample_swap_detail {

inline void SwapScalar(const uint8_t* src, uint8_t* dst, int64_t from, int64_t pixels) {
  for (int64_t x = from; x < pixels; ++x) {
    const uint8_t first = src[3 * x];
    dst[3 * x + 1] = src[3 * x + 1];
    dst[3 * x] = src[3 * x + 2];
    dst[3 * x + 2] = first;
  }
}

#ifdef TESSIVO_SAMPLE_SWAP_SSSE3
// Five pixels per step: 16 bytes are read and written, the 16th unchanged (the next step
// rewrites it), so a step needs a sixth pixel after its five.
__attribute__((target("ssse3"))) inline int64_t SwapSsse3(const uint8_t* src, uint8_t* dst,
                                                          int64_t pixels) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  int64_t x = 0;
  for (; x + 6 <= pixels; x += 5) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * x), _mm_shuffle_epi8(v, order));
  }
  return x;
}
#endif

}  // namespace sample_swap_detail

// `pixels` pixels of 3 bytes from `src` to `dst` with the first and third byte of each
// exchanged. `src` and `dst` do not overlap.
inline void SwapOuterSamples24(const uint8_t* src, uint8_t* dst, int64_t pixels) {
  int64_t done = 0;
#ifdef TESSIVO_SAMPLE_SWAP_SSSE3
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3) done = sample_swap_detail::SwapSsse3(src, dst, pixels);
#endif
  sample_swap_detail::SwapScalar(src, dst, done, pixels);
}

}  // namespace tessivo::platform
