// Rows of any pixel format as floating-point working pixels and back. A working pixel is four
// floats in the order blue, green, red, alpha, premultiplied by alpha, on a scale of 255 (or
// 65535 when either side has 16-bit channels, so 48/64-bit images keep their precision).
// Indexed targets take the nearest palette entry of each result colour.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "platform/pixel_convert.h"
#include "platform/pixel_format.h"

namespace tessivo::platform {

// True when resampling from `from` to `to` should run on 16-bit channels.
bool NeedsWideWorkingRows(PixelFormat from, PixelFormat to);

class WorkingRowDecoder {
 public:
  WorkingRowDecoder(PixelFormat format, std::span<const uint32_t> palette, bool wide);
  // Pixels x0 .. x0 + n - 1 of `row` into 4 * n floats.
  void Decode(const uint8_t* row, int32_t x0, int32_t n, float* out);
  // One ARGB colour as a working pixel.
  void DecodeColor(uint32_t argb, float out[4]) const;
  // True when every pixel is opaque (no premultiplication needed).
  bool Opaque() const { return opaque_; }
  float Max() const { return max_; }

 private:
  PixelConverter converter_;
  bool wide_;
  bool opaque_;
  float max_;
  std::vector<uint8_t> scratch_;       // 8-bit intermediate
  std::vector<uint16_t> wideScratch_;  // 16-bit intermediate
};

class WorkingRowEncoder {
 public:
  WorkingRowEncoder(PixelFormat format, std::span<const uint32_t> palette, bool wide);
  // 4 * n floats into pixels x0 .. x0 + n - 1 of `row`; other pixels of the row stay as they are.
  void Encode(const float* in, int32_t n, uint8_t* row, int32_t x0);

 private:
  PixelConverter converter_;
  bool wide_;
  float max_;
  std::vector<uint8_t> scratch_;       // 8-bit intermediate
  std::vector<uint16_t> wideScratch_;  // 16-bit intermediate
};

}  // namespace tessivo::platform
