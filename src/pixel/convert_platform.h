// Pixel format conversions done by the platform: the whole bitmap is read through a lock in the
// target format straight into the pixels of a new bitmap of that format.
#pragma once
#include <memory>

#include "platform/bitmap.h"

namespace tessivo {

// A copy of `source` in `target`. Indexed targets take the palette the lock maps to (the
// source's own when it is indexed and fits, else the target's default palette). Resolution and
// property items are not copied: callers carry them over.
platform::Status ConvertWithPlatform(platform::Bitmap& source, platform::PixelFormat target,
                                     std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
