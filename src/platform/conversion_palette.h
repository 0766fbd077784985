// Which palette converts a bitmap's pixels to and from an indexed format.
#pragma once
#include "platform/bitmap.h"

namespace tessivo::platform {

// The bitmap's own palette when the bitmap is indexed and that palette is not empty and fits
// `target` (or `target` is the bitmap's own format); else the default palette of `target`.
// Empty for a direct `target`.
Palette ConversionPalette(const Bitmap& bitmap, PixelFormat target);

// True when the rectangle is not empty and lies inside a width x height image.
bool RectInside(const Rect& r, int32_t width, int32_t height);

}  // namespace tessivo::platform
