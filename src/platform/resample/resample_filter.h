// Resampling filters and the per-axis tap tables that scaling is built from.
//
// Positions follow pixel centres: destination pixel i of an axis scaled from `sourceLength`
// to `targetLength` samples the source at (i + 0.5) * sourceLength / targetLength - 0.5.
// Taps that fall outside the source are clamped to its first or last pixel, so the edges keep
// their colour instead of fading.
#pragma once
#include <cstdint>
#include <vector>

namespace tessivo::platform {

enum class ResampleFilter {
  Nearest,             // the pixel whose cell holds the sample position
  Bilinear,            // triangle kernel over the two nearest pixels
  Bicubic,             // cubic convolution (a = -0.5) over the four nearest pixels
  PrefilteredBicubic,  // the cubic kernel widened by the reduction factor when shrinking
};

// The platform's interpolation modes (values as in the public enumeration).
enum InterpolationModeValue : int32_t {
  kInterpolationDefault = 0,
  kInterpolationLowQuality = 1,
  kInterpolationHighQuality = 2,
  kInterpolationBilinear = 3,
  kInterpolationBicubic = 4,
  kInterpolationNearestNeighbor = 5,
  kInterpolationHighQualityBilinear = 6,
  kInterpolationHighQualityBicubic = 7,
};

// False for a value outside 0..7.
bool FilterForInterpolationMode(int32_t mode, ResampleFilter& filter);

// Cubic convolution kernel with a = -0.5 (interpolating, support [-2, 2]).
double CubicKernel(double x);

// Destination pixel i reads `count[i]` consecutive source pixels from `first[i]`, weighted by
// weights[i * stride .. i * stride + count[i]); the weights of one pixel sum to 1.
struct AxisTaps {
  std::vector<int32_t> first;
  std::vector<int32_t> count;
  std::vector<float> weights;
  int32_t stride = 0;  // the largest count
  int32_t lowest = 0;  // the smallest and largest source index any pixel reads
  int32_t highest = 0;
};

// Source indices run from 0 to sourceLength - 1; both lengths are at least 1.
AxisTaps BuildAxisTaps(int32_t sourceLength, int32_t targetLength, ResampleFilter filter);

// Largest number of taps BuildAxisTaps makes for the lengths, without building the table (to
// size the work before allocating).
int64_t AxisTapCount(int32_t sourceLength, int32_t targetLength, ResampleFilter filter);

}  // namespace tessivo::platform
