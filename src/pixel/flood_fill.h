// Surface flood fill: the 4-connected area of the start pixel's colour takes a new colour.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

// Works on the whole image as 32-bit pixels and compares red, green and blue only; the area
// gets the red, green and blue of `argb` and every pixel of the image comes out opaque. A start
// point outside the image is Win32Error, as the system's flood fill reports it.
TessivoStatus FloodFillImage(platform::Bitmap& image, int32_t xStart, int32_t yStart, int32_t argb);

}  // namespace tessivo
