// Conversions from floating values to integers as the toolkit performs them everywhere:
// round to nearest, ties to even (2.5 -> 2, 3.5 -> 4).
#pragma once
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace tessivo {

// Rounds half to even. The default floating-point environment rounds to nearest-even, which
// std::nearbyint follows; nothing in the toolkit changes that mode.
inline double RoundHalfEven(double v) { return std::nearbyint(v); }

// Rounded to a 32-bit integer; a value that does not fit (or NaN) is an overflow, as the
// automation conversion reports it.
inline int32_t RoundToInt32(double v) {
  double r = std::nearbyint(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw std::overflow_error("value out of range");
  return static_cast<int32_t>(r);
}

// Rounded to a byte; outside 0..255 after rounding is an overflow.
inline uint8_t RoundToByte(double v) {
  double r = std::nearbyint(v);
  if (!(r >= 0.0 && r <= 255.0)) throw std::overflow_error("byte value out of range");
  return static_cast<uint8_t>(r);
}

// Rounded and clamped to 0..255 (for pixel channels, where results saturate).
inline uint8_t RoundClampByte(double v) {
  double r = std::nearbyint(v);
  if (!(r > 0.0)) return 0;  // also NaN
  if (r > 255.0) return 255;
  return static_cast<uint8_t>(r);
}

inline int32_t ClampByte(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

}  // namespace tessivo
