// Cropping an image to a rectangle: a new bitmap in the image's own pixel format (an indexed
// image keeps its palette and bit depth) with its resolution and property items.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// The rectangle must be non-empty and lie inside the image, checked without 32-bit wrap-around:
// InvalidParameter otherwise, `out` untouched.
platform::Status CropCopy(const platform::Bitmap& image, int32_t left, int32_t top, int32_t width,
                          int32_t height, std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
