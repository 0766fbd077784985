// A brush that paints with a bitmap repeated over the plane: texture pixel (i, j) lies where
// world pixel (i, j) does, and its copies every texture width and height, so a texture drawn
// under the identity transform keeps its pixels exactly. Interpolation by the platform's
// modes: 5 nearest, every other mode bilinear (a texture is never resized). A texture wider or
// taller than 32767 pixels cannot be painted (InvalidParameter), nor can a missing one.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/resample/resample_filter.h"

namespace tessivo::platform {

struct TextureBrush {
  const Bitmap* image = nullptr;
  int32_t interpolation = kInterpolationBilinear;
};

}  // namespace tessivo::platform
