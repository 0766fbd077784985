// Row copies between bitmaps of one pixel format, for 1:1 display: when the source has no
// alpha channel and, for indexed formats, both share one palette, copying whole rows gives
// exactly what drawing the image at its own size on whole pixels gives, at memcpy speed.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"

namespace tessivo::platform::win {

// Copies `area` of `image` to (dstX, dstY) of `target`, clipped to both bitmaps. Returns
// false (and copies nothing) when the formats differ, the image has an alpha channel, or the
// palettes differ; the caller then draws through a Graphics.
bool BlitExact(const Bitmap& image, const Rect& area, int64_t dstX, int64_t dstY, Bitmap& target);

}  // namespace tessivo::platform::win
