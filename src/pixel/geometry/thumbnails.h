// High-quality thumbnails: a 32-bit ARGB canvas of the requested size filled with a background
// colour, the image scaled into it centred with a prefiltered bicubic, keeping its aspect ratio.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// Width or height below 1: InvalidParameter; a canvas the platform cannot hold: OutOfMemory.
// The image covers round(W * f) by round(H * f) pixels (at least 1), f = min(width / W,
// height / H), placed at ((width - w) / 2, (height - h) / 2) and composited over the background.
platform::Status ThumbnailHQ(const platform::Bitmap& image, int32_t width, int32_t height,
                             uint32_t backgroundArgb, std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
