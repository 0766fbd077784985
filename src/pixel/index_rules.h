// The toolkit's own rules for turning 32-bit pixels (bytes blue, green, red, alpha) into palette
// indices, and the fixed palettes that go with them. Each rule reads `height` rows of `stride`
// bytes and writes packed indices into rows of `indexStride` bytes; they know nothing of bitmaps.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace tessivo {

struct PixelRows {
  const uint8_t* bgra;
  int32_t width;
  int32_t height;
  int32_t stride;
};

struct IndexRows {
  uint8_t* indices;
  int32_t stride;
};

// 1 bpp, first pixel of each group of eight in the most significant bit.
// White (1) when blue, green and red are all at least 126.
void ThresholdTo1Bpp(const PixelRows& in, const IndexRows& out);
// White (1) only for the exact value 0xFFFFFFFF (opaque pure white).
void OpaqueWhiteTo1Bpp(const PixelRows& in, const IndexRows& out);

// 8 bpp grey indices: (red + green + blue) / 3 rounded to nearest.
void AverageToGray(const PixelRows& in, const IndexRows& out);
// 8 bpp grey indices: (222·red + 707·green + 71·blue) / 1000 rounded to nearest, ties to even.
void WeightedToGray(const PixelRows& in, const IndexRows& out);
// 8 bpp grey indices: the blue byte.
void BlueToGray(const PixelRows& in, const IndexRows& out);
// 256 opaque greys, flags 2.
platform::Palette GrayPalette();

// 8 bpp indices into the 6×6×6 colour cube: 36·q(blue) + 6·q(green) + q(red), q(v) = v/51
// rounded to nearest.
void CubeIndex216(const PixelRows& in, const IndexRows& out);
// 216 opaque entries, flags 4; entry r + 6g + 36b = (51r, 51g, 51b).
platform::Palette CubePalette216();

// 4 bpp (first pixel in the high nibble): the entry with the least sum of squared red, green and
// blue differences, the first one on ties. `palette` holds 1 to 16 ARGB colours.
void NearestTo4Bpp(const PixelRows& in, const IndexRows& out, const std::vector<uint32_t>& palette);
// The fixed 16-colour palette, flags 4.
platform::Palette Fixed16Palette();

// Row bytes of `width` pixels at `bitsPerPixel`, padded to a multiple of 4.
int32_t PaddedStride(int32_t width, int32_t bitsPerPixel);

}  // namespace tessivo
