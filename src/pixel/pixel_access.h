// Rectangles of pixels copied between an image and caller-owned arrays, through the platform's
// pixel lock with a caller buffer: the platform converts between the image's own format and
// the array's (32 bpp ARGB, 24 bpp RGB or 8 bpp indexed).
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "tessivo/safe_array.h"
#include "tessivo/status.h"

namespace tessivo {

// How an array holds the pixels of a W x H rectangle.
enum class PixelArrayLayout {
  Pixels1D,      // int32 ARGB, (0 To W*H - 1), row by row
  Pixels2D,      // int32 ARGB, (0 To W - 1, 0 To H - 1), indexed (x, y)
  ChannelsXY,    // bytes, (0 To 3, 0 To W - 1, 0 To H - 1): blue, green, red, alpha
  BytesARGB,     // bytes, (0 To 4*W*H - 1): blue, green, red, alpha per pixel
  BytesRGB,      // bytes, (0 To 3*W*H - 1): blue, green, red per pixel, rows not padded
  Indices8bpp,   // bytes, (0 To W*H - 1): one palette index per pixel
};

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Copy out. The array is reallocated to the layout's shape unless its upper bounds already
// exceed the needed ones (so an array of exactly the needed size is reallocated too); a kept
// array is filled from its first element. A rectangle the image does not contain leaves the
// array alone and gives InvalidParameter.
TessivoStatus CopyPixelsOut(platform::Bitmap& image, SafeArray<int32_t>& array, PixelArrayLayout layout,
                            const PixelRect& rect);
TessivoStatus CopyPixelsOut(platform::Bitmap& image, SafeArray<uint8_t>& array, PixelArrayLayout layout,
                            const PixelRect& rect);

// Copy in: the array (any shape of 1 to 3 dimensions) is read from its first element in memory
// order. An array with fewer elements than the rectangle needs is InvalidParameter.
TessivoStatus CopyPixelsIn(platform::Bitmap& image, const SafeArray<int32_t>& array, const PixelRect& rect);
TessivoStatus CopyPixelsIn(platform::Bitmap& image, const SafeArray<uint8_t>& array, PixelArrayLayout layout,
                           const PixelRect& rect);

// Stride and first-row address of the image in its own pixel format; the status of the lock
// that confirms them.
TessivoStatus ImageRowLayout(platform::Bitmap& image, int32_t& stride, intptr_t& firstRow);

}  // namespace tessivo
