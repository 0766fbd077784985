// Resizing an image: a new bitmap of the requested size in the image's own pixel format (an
// indexed image keeps its palette and bit depth), drawn with one of the interpolation modes,
// and the size rules of the ratio-keeping and percentage forms.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

// Width or height below 1, or a mode outside the eight interpolation modes: InvalidParameter;
// a size whose pixels the platform cannot hold: OutOfMemory. `out` is untouched on failure.
platform::Status ResizeCopy(const platform::Bitmap& image, int32_t width, int32_t height, int32_t mode,
                            std::unique_ptr<platform::Bitmap>& out);

// The width that keeps the aspect ratio at `newHeight`: round(newHeight * (W / H)), W / H in
// double precision, ties to even. A new height below 1: InvalidParameter; a width beyond 32
// bits: OutOfMemory. A width that rounds to 0 becomes 1, so a very wide request never fails
// for a thin image.
platform::Status WidthKeepingRatio(int32_t width, int32_t height, int32_t newHeight, int32_t& newWidth);
// Likewise the height for `newWidth`: round(newWidth / (W / H)).
platform::Status HeightKeepingRatio(int32_t width, int32_t height, int32_t newWidth, int32_t& newHeight);
// int(W * percent / 100) by int(H * percent / 100), in 64 bits, each at least 1. A percentage
// below 1: InvalidParameter; a side beyond 32 bits: OutOfMemory.
platform::Status ScaledSize(int32_t width, int32_t height, int32_t percent, int32_t& newWidth,
                            int32_t& newHeight);

}  // namespace tessivo
