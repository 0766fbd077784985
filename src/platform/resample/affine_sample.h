// Drawing a bitmap through an affine transform (rotation and the like) onto a target of any
// pixel format. Each target pixel centre is mapped back into the source and sampled there;
// samples that fall outside the source take the background colour, so edges blend smoothly
// into it. Indexed targets map each result to the nearest entry of their palette, so an
// indexed background never becomes an index outside the palette.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/resample/resample_filter.h"
#include "platform/status.h"

namespace tessivo::platform {

// Source position (in pixel units, origin at the source's top-left corner) of target position
// (x, y): sx = xx * x + xy * y + x0, sy = yx * x + yy * y + y0.
struct AffineMap {
  double xx = 1, xy = 0, x0 = 0;
  double yx = 0, yy = 1, y0 = 0;
};

// Every pixel of `target` is written; with `blendOver` the samples are composited over the
// target's pixels (source over), so a transparent background leaves them as they were. Nearest picks the source pixel whose cell holds the
// position; Bilinear and the bicubic filters interpolate (a prefiltered bicubic samples as
// Bicubic). Non-finite map coefficients or the two bitmaps being one: InvalidParameter; a
// source too large to hold decoded: OutOfMemory.
Status SampleAffine(const Bitmap& source, Bitmap& target, const AffineMap& map, ResampleFilter filter,
                    uint32_t backgroundArgb, bool blendOver = false);

}  // namespace tessivo::platform
