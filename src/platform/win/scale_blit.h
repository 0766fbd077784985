// Bilinear scaling of a whole opaque image into a rectangle of a 32bppRGB surface, for the
// common display case (a photograph shown at window size). It samples exactly as drawing with
// bilinear interpolation does — each target pixel at its centre, clamped at the image's edges —
// without the general drawing path's intermediate surfaces.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"

namespace tessivo::platform::win {

// Draws all of `image` into the rectangle (dstX, dstY, dstWidth, dstHeight) of `target`, clipped
// to the target. Returns false (drawing nothing) unless the target is 32bppRGB, the image is
// 24bppRGB or 32bppRGB and not the target itself, and the rectangle has a positive size.
bool ScaleBilinearExact(const Bitmap& image, int64_t dstX, int64_t dstY, int64_t dstWidth, int64_t dstHeight,
                        Bitmap& target);

}  // namespace tessivo::platform::win
