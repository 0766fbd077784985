#include "pixel/geometry/thumbnails.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/pixel_rows.h"
#include "platform/resample/scale_bitmap.h"

namespace tessivo {

platform::Status ThumbnailHQ(const platform::Bitmap& image, int32_t width, int32_t height,
                             uint32_t backgroundArgb, std::unique_ptr<platform::Bitmap>& out) {
  if (width < 1 || height < 1) return platform::Status::InvalidParameter;
  std::unique_ptr<platform::Bitmap> canvas;
  platform::Status s = platform::Bitmap::Create(width, height, platform::kPixelFormat32bppARGB, canvas);
  if (s != platform::Status::Ok) return s;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = canvas->Row(y);
    for (int32_t x = 0; x < width; ++x) platform::rows::Store32(row + 4 * static_cast<size_t>(x), backgroundArgb);
  }
  const double f = std::min(static_cast<double>(width) / image.Width(), static_cast<double>(height) / image.Height());
  const int32_t w = std::clamp(static_cast<int32_t>(std::nearbyint(image.Width() * f)), 1, width);
  const int32_t h = std::clamp(static_cast<int32_t>(std::nearbyint(image.Height() * f)), 1, height);
  const platform::Rect to{(width - w) / 2, (height - h) / 2, w, h};
  s = platform::ScaleInto(image, platform::Rect{0, 0, image.Width(), image.Height()}, *canvas, to,
                          platform::ScaleOptions{platform::ResampleFilter::PrefilteredBicubic, true});
  if (s != platform::Status::Ok) return s;
  out = std::move(canvas);
  return platform::Status::Ok;
}

}  // namespace tessivo
