// Public enumeration of the interpolation modes used when an image is redrawn at another size
// or angle.
#pragma once
#include <cstdint>

namespace tessivo {

enum InterpolationMode : int32_t {
  InterpolationModeDefault = 0,
  InterpolationModeLowQuality = 1,
  InterpolationModeHighQuality = 2,
  InterpolationModeBilinear = 3,
  InterpolationModeBicubic = 4,
  InterpolationModeNearestNeighbor = 5,
  InterpolationModeHighQualityBilinear = 6,
  InterpolationModeHighQualityBicubic = 7,
};

}  // namespace tessivo
