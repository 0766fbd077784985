// Framing an image: a new bitmap of the same pixel format (palette, flags and raw format
// copied), larger by the given widths on each side, the old pixels copied unchanged at the
// offset and the frame filled with one colour (indexed: the nearest palette entry).
#pragma once
#include <cstdint>
#include <memory>

#include "pixel/geometry/border_detector.h"
#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// A negative side: InvalidParameter. A result wider or higher than 32 bits can count, or with
// more pixel bytes than a bitmap holds: OutOfMemory, before anything is allocated. `out` is set
// only on success.
platform::Status AddFrame(const platform::Bitmap& image, const BorderFrame& sides, uint32_t argb,
                          std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
