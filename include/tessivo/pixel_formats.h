// Public enumerations of pixel formats. The values are the platform's pixel format identifiers:
// bits 0-7 a format index, bits 8-15 the bits per pixel, above them flag bits.
#pragma once
#include <cstdint>

namespace tessivo {

enum PixelFormats : int32_t {
  PixelFormatUndefined = 0,
  PixelFormat1bppIndexed = 0x00030101,    // 196865
  PixelFormat4bppIndexed = 0x00030402,    // 197634
  PixelFormat8bppIndexed = 0x00030803,    // 198659
  PixelFormat16bppGrayScale = 0x00101004, // 1052676
  PixelFormat16bppRGB555 = 0x00021005,    // 135173
  PixelFormat16bppRGB565 = 0x00021006,    // 135174
  PixelFormat16bppARGB1555 = 0x00061007,  // 397319
  PixelFormat24bppRGB = 0x00021808,       // 137224
  PixelFormat32bppRGB = 0x00022009,       // 139273
  PixelFormat32bppARGB = 0x0026200A,      // 2498570
  PixelFormat32bppPARGB = 0x000E200B,     // 925707
  PixelFormat48bppRGB = 0x0010300C,       // 1060876
  PixelFormat64bppARGB = 0x0034400D,      // 3424269
  PixelFormat64bpppARGB = 0x001C400E,     // 1851406 (premultiplied)
};

}  // namespace tessivo
