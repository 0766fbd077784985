// Rotation by any angle (degrees, clockwise as seen on screen) onto a new canvas in the image's
// own pixel format (an indexed image keeps its palette; the background takes the nearest
// palette entry). Whole quarter turns copy pixels exactly.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

enum class RotationCanvas {
  Fit,              // large enough for the whole rotated image, the image centred on it
  KeepSizeCentred,  // the image's own size, rotated about its centre
  KeepSizeCorner,   // the image's own size, rotated about its top-left corner
};

// The background fills every canvas pixel the image does not cover. A NaN or infinite angle:
// InvalidParameter; a canvas the platform cannot hold: OutOfMemory. `out` is untouched on
// failure.
platform::Status RotateCopy(const platform::Bitmap& image, float angle, uint32_t backgroundArgb,
                            RotationCanvas canvas, std::unique_ptr<platform::Bitmap>& out);

// The canvas of a Fit rotation: ceil(|sin a| * H + |cos a| * W) by ceil(|sin a| * W + |cos a| * H),
// exact for quarter turns. False when a side does not fit 32 bits or the angle is not finite.
bool FitCanvasSize(int32_t width, int32_t height, float angle, int32_t& canvasWidth, int32_t& canvasHeight);

}  // namespace tessivo
