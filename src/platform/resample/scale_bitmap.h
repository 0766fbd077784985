// Scaling a region of a bitmap into a region of another, separably and a few rows at a time:
// each source row is filtered horizontally once, the filtered rows a destination row needs are
// kept in a small ring and combined vertically. Works between any two pixel formats; indexed
// targets map each result to the nearest entry of their palette.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/resample/resample_filter.h"
#include "platform/status.h"

namespace tessivo::platform {

struct ScaleOptions {
  ResampleFilter filter = ResampleFilter::Bilinear;
  // Composite over the target's pixels (source over) instead of replacing them.
  bool blendOver = false;
};

// `from` must be a non-empty rectangle inside `source`, `to` one inside `target`, and the two
// bitmaps distinct: InvalidParameter otherwise. Work buffers that would exceed the platform's
// limits: OutOfMemory, before anything is written. Pixels of `target` outside `to` stay as
// they are.
Status ScaleInto(const Bitmap& source, const Rect& from, Bitmap& target, const Rect& to,
                 const ScaleOptions& options);

// A new bitmap of `width` x `height` in the source's pixel format (indexed: the same palette),
// with the source's resolution, flags and raw format; like any newly drawn bitmap it has no
// property items. Width or height below 1:
// InvalidParameter; a bitmap too large for the platform: OutOfMemory.
Status ScaleBitmap(const Bitmap& source, int32_t width, int32_t height, ResampleFilter filter,
                   std::unique_ptr<Bitmap>& out);

}  // namespace tessivo::platform
