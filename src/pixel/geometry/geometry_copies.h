// Geometry routines that build a new bitmap from an image without touching it: a quarter-turn
// rotation or flip, and a rectangular crop. Both keep the pixel format (an indexed image keeps
// its palette and bit depth), the resolution and the property items.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// `type` outside the eight rotate-flip values: InvalidParameter, `out` untouched.
platform::Status RotateFlipCopy(const platform::Bitmap& image, int32_t type,
                                std::unique_ptr<platform::Bitmap>& out);

// The rectangle must be non-empty and lie inside the image (no part of it may wrap around
// 32 bits): InvalidParameter otherwise, `out` untouched.
platform::Status CropCopy(const platform::Bitmap& image, int32_t left, int32_t top, int32_t width,
                          int32_t height, std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
