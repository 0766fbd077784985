// Exact integer quotients rounded to nearest, ties to even, for the adjustments' tables (the
// toolkit rounds every floating result that way; doing it on integers keeps huge parameters
// exact and free of overflow).
#pragma once
#include <cstdint>
#include <cstdlib>

namespace tessivo {

// n / d rounded half to even; d > 0.
inline int64_t DivRoundHalfEven(int64_t n, int64_t d) {
  int64_t q = n / d;  // truncated toward zero
  int64_t r = n % d;  // same sign as n
  const int64_t twice = 2 * (r < 0 ? -r : r);
  if (twice > d || (twice == d && (q & 1) != 0)) q += n < 0 ? -1 : 1;
  return q;
}

inline int64_t ClampToByte(int64_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Parameters arrive as 32-bit values; their products with channel values fit easily in 64
// bits (255 * 2^32 < 2^41), so every table below is computed without overflow.
inline constexpr int64_t kChannelCount = 256;

}  // namespace tessivo
