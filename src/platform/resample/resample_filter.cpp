#include "platform/resample/resample_filter.h"

#include <algorithm>
#include <cmath>

namespace tessivo::platform {

bool FilterForInterpolationMode(int32_t mode, ResampleFilter& filter) {
  switch (mode) {
    case kInterpolationNearestNeighbor: filter = ResampleFilter::Nearest; return true;
    case kInterpolationDefault:
    case kInterpolationLowQuality:
    case kInterpolationBilinear: filter = ResampleFilter::Bilinear; return true;
    case kInterpolationBicubic: filter = ResampleFilter::Bicubic; return true;
    case kInterpolationHighQuality:
    case kInterpolationHighQualityBilinear:
    case kInterpolationHighQualityBicubic: filter = ResampleFilter::PrefilteredBicubic; return true;
    default: return false;
  }
}

double CubicKernel(double x) {
  constexpr double a = -0.5;
  x = std::fabs(x);
  if (x < 1.0) return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
  if (x < 2.0) return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
  return 0.0;
}

namespace {

struct Kernel {
  double radius;  // in source pixels
  double squeeze; // kernel argument per source pixel
  double (*weight)(double);
};

double Triangle(double x) { return std::max(0.0, 1.0 - std::fabs(x)); }

Kernel KernelFor(ResampleFilter filter, double scale) {
  switch (filter) {
    case ResampleFilter::Bilinear: return {1.0, 1.0, Triangle};
    case ResampleFilter::Bicubic: return {2.0, 1.0, CubicKernel};
    case ResampleFilter::PrefilteredBicubic: {
      // Shrinking widens the kernel so every source pixel contributes (no aliasing).
      const double widen = std::max(1.0, scale);
      return {2.0 * widen, 1.0 / widen, CubicKernel};
    }
    default: return {0.5, 1.0, Triangle};
  }
}

}  // namespace

int64_t AxisTapCount(int32_t sourceLength, int32_t targetLength, ResampleFilter filter) {
  if (filter == ResampleFilter::Nearest) return 1;
  const double scale = static_cast<double>(sourceLength) / targetLength;
  const Kernel k = KernelFor(filter, scale);
  const double taps = std::floor(2.0 * k.radius) + 2.0;
  return static_cast<int64_t>(std::min<double>(taps, static_cast<double>(sourceLength)));
}

AxisTaps BuildAxisTaps(int32_t sourceLength, int32_t targetLength, ResampleFilter filter) {
  AxisTaps t;
  const size_t n = static_cast<size_t>(targetLength);
  t.first.resize(n);
  t.count.resize(n);
  const double scale = static_cast<double>(sourceLength) / targetLength;
  const int32_t last = sourceLength - 1;
  if (filter == ResampleFilter::Nearest) {
    t.stride = 1;
    t.weights.assign(n, 1.0f);
    for (size_t i = 0; i < n; ++i) {
      const double at = std::floor((static_cast<double>(i) + 0.5) * scale);
      t.first[i] = static_cast<int32_t>(std::clamp(at, 0.0, static_cast<double>(last)));
      t.count[i] = 1;
    }
    t.lowest = t.first.front();
    t.highest = t.first.back();
    return t;
  }
  const Kernel k = KernelFor(filter, scale);
  t.stride = static_cast<int32_t>(AxisTapCount(sourceLength, targetLength, filter));
  t.weights.assign(n * static_cast<size_t>(t.stride), 0.0f);
  std::vector<double> w;
  t.lowest = last;
  t.highest = 0;
  for (size_t i = 0; i < n; ++i) {
    const double centre = (static_cast<double>(i) + 0.5) * scale - 0.5;
    const int64_t from = static_cast<int64_t>(std::floor(centre - k.radius)) + 1;
    const int64_t to = static_cast<int64_t>(std::floor(centre + k.radius));
    // Clamped taps fold into the edge pixel, so the range stays contiguous.
    const int32_t lo = static_cast<int32_t>(std::clamp<int64_t>(from, 0, last));
    const int32_t hi = static_cast<int32_t>(std::clamp<int64_t>(to, 0, last));
    w.assign(static_cast<size_t>(hi - lo + 1), 0.0);
    double sum = 0.0;
    for (int64_t s = from; s <= to; ++s) {
      const double v = k.weight((static_cast<double>(s) - centre) * k.squeeze);
      w[static_cast<size_t>(std::clamp<int64_t>(s, lo, hi) - lo)] += v;
      sum += v;
    }
    // Drop zero-weight taps at both ends (the kernel's own zeros at whole-pixel positions).
    size_t a = 0, b = w.size();
    while (b - a > 1 && w[a] == 0.0) ++a;
    while (b - a > 1 && w[b - 1] == 0.0) --b;
    if (sum == 0.0) sum = 1.0;
    t.first[i] = lo + static_cast<int32_t>(a);
    t.count[i] = static_cast<int32_t>(b - a);
    float* out = &t.weights[i * static_cast<size_t>(t.stride)];
    for (size_t j = a; j < b; ++j) out[j - a] = static_cast<float>(w[j] / sum);
    t.lowest = std::min(t.lowest, t.first[i]);
    t.highest = std::max(t.highest, t.first[i] + t.count[i] - 1);
  }
  return t;
}

}  // namespace tessivo::platform
