#include "pixel/geometry/resize_image.h"

#include <cmath>
#include <utility>

#include "platform/resample/resample_filter.h"
#include "platform/resample/scale_bitmap.h"

namespace tessivo {

namespace {

platform::Status SideFrom(double side, int32_t& out) {
  side = std::nearbyint(side);  // the default rounding mode: to nearest, ties to even
  if (!(side <= static_cast<double>(INT32_MAX))) return platform::Status::OutOfMemory;
  out = side < 1.0 ? 1 : static_cast<int32_t>(side);
  return platform::Status::Ok;
}

}  // namespace

platform::Status ResizeCopy(const platform::Bitmap& image, int32_t width, int32_t height, int32_t mode,
                            std::unique_ptr<platform::Bitmap>& out) {
  platform::ResampleFilter filter;
  if (width < 1 || height < 1 || !platform::FilterForInterpolationMode(mode, filter))
    return platform::Status::InvalidParameter;
  return platform::ScaleBitmap(image, width, height, filter, out);
}

platform::Status WidthKeepingRatio(int32_t width, int32_t height, int32_t newHeight, int32_t& newWidth) {
  if (newHeight < 1 || width < 1 || height < 1) return platform::Status::InvalidParameter;
  const double aspect = static_cast<double>(width) / static_cast<double>(height);
  return SideFrom(newHeight * aspect, newWidth);
}

platform::Status HeightKeepingRatio(int32_t width, int32_t height, int32_t newWidth, int32_t& newHeight) {
  if (newWidth < 1 || width < 1 || height < 1) return platform::Status::InvalidParameter;
  const double aspect = static_cast<double>(width) / static_cast<double>(height);
  return SideFrom(newWidth / aspect, newHeight);
}

platform::Status ScaledSize(int32_t width, int32_t height, int32_t percent, int32_t& newWidth,
                            int32_t& newHeight) {
  if (percent < 1 || width < 1 || height < 1) return platform::Status::InvalidParameter;
  const int64_t w = int64_t{width} * percent / 100, h = int64_t{height} * percent / 100;
  if (w > INT32_MAX || h > INT32_MAX) return platform::Status::OutOfMemory;
  newWidth = w < 1 ? 1 : static_cast<int32_t>(w);
  newHeight = h < 1 ? 1 : static_cast<int32_t>(h);
  return platform::Status::Ok;
}

}  // namespace tessivo
