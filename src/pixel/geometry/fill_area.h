// Filling a rectangle of an image with one colour, in the image's own pixel format: indexed
// images get the palette entry nearest to the colour, deep formats the colour widened to 16 bits
// per channel. Pixels outside the rectangle are not touched.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// An empty rectangle is a no-op; one reaching outside the image is InvalidParameter.
platform::Status FillArea(platform::Bitmap& image, const platform::Rect& area, uint32_t argb);

}  // namespace tessivo
