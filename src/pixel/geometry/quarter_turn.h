// Quarter-turn rotations and flips of an image in place, in its own pixel format (an indexed
// image keeps its palette and bit depth; resolution and property items stay with the image).
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// `type` outside the eight rotate-flip values: InvalidParameter. The new pixels are built
// before the old ones are let go, so any failure leaves the image as it was.
platform::Status TurnInPlace(platform::Bitmap& image, int32_t type);

}  // namespace tessivo
