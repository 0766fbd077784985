// Decoding rows of any pixel format into an ARGB intermediate and encoding them back, the
// building blocks of PixelConverter. Two intermediates exist: 8-bit ARGB (one uint32_t per
// pixel, non-premultiplied) and 16-bit ARGB (four uint16_t per pixel in memory order blue,
// green, red, alpha, non-premultiplied).
#pragma once
#include <cstdint>
#include <cstring>

#include "platform/palette_mapper.h"
#include "platform/pixel_format.h"

namespace tessivo::platform::rows {

inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// 16-bit channel from 8 bits and back (to nearest).
inline uint16_t Widen(uint32_t v8) { return static_cast<uint16_t>(v8 * 257); }
inline uint32_t Narrow(uint32_t v16) { return (v16 + 128) / 257; }

// Palette index of pixel x in a 1, 4 or 8 bpp row (leftmost pixel in the high bits).
inline uint32_t GetIndex(int bpp, const uint8_t* row, int32_t x) {
  if (bpp == 1) return (row[x >> 3] >> (7 - (x & 7))) & 1;
  if (bpp == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
  return row[x];
}
inline void PutIndex(int bpp, uint8_t* row, int32_t x, uint32_t index) {
  if (bpp == 1) {
    const int shift = 7 - (x & 7);
    row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1u << shift)) | ((index & 1) << shift));
  } else if (bpp == 4) {
    const int shift = (x & 1) ? 0 : 4;
    row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0xFu << shift)) | ((index & 0xF) << shift));
  } else {
    row[x] = static_cast<uint8_t>(index);
  }
}

// Exact 8-bit premultiplication tables, [alpha][value].
struct AlphaTables {
  uint8_t premultiply[256][256];
  uint8_t unpremultiply[256][256];
};
const AlphaTables& Alpha();

inline uint32_t Premultiply(uint32_t argb) {
  const uint32_t a = argb >> 24;
  if (a == 255) return argb;
  const uint8_t* t = Alpha().premultiply[a];
  return (a << 24) | uint32_t{t[(argb >> 16) & 0xFF]} << 16 | uint32_t{t[(argb >> 8) & 0xFF]} << 8 |
         t[argb & 0xFF];
}
inline uint32_t Unpremultiply(uint32_t pargb) {
  const uint32_t a = pargb >> 24;
  if (a == 255) return pargb;
  const uint8_t* t = Alpha().unpremultiply[a];
  return (a << 24) | uint32_t{t[(pargb >> 16) & 0xFF]} << 16 | uint32_t{t[(pargb >> 8) & 0xFF]} << 8 |
         t[pargb & 0xFF];
}

// Rec. 601 luma with integer weights summing to 1000, so grey stays exactly grey.
inline uint32_t Luma(uint32_t r, uint32_t g, uint32_t b) { return (299 * r + 587 * g + 114 * b + 500) / 1000; }

// `palette` is a 256-entry lookup (indexed sources); `mapper` serves indexed targets.
void Decode32(PixelFormat f, const uint8_t* row, int32_t x0, int32_t n, uint32_t* out,
              const uint32_t* palette);
void Decode64(PixelFormat f, const uint8_t* row, int32_t x0, int32_t n, uint16_t* out,
              const uint32_t* palette, uint32_t* scratch32);
void Encode32(PixelFormat f, const uint32_t* in, int32_t n, uint8_t* row, int32_t x0,
              NearestPaletteMapper* mapper);
void Encode64(PixelFormat f, const uint16_t* in, int32_t n, uint8_t* row, int32_t x0,
              NearestPaletteMapper* mapper, uint32_t* scratch32);

}  // namespace tessivo::platform::rows
