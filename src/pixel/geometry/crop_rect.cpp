#include "pixel/geometry/crop_rect.h"

#include <utility>

namespace tessivo {

platform::Status CropCopy(const platform::Bitmap& image, int32_t left, int32_t top, int32_t width,
                          int32_t height, std::unique_ptr<platform::Bitmap>& out) {
  // The platform checks the rectangle in 64 bits: negative origins, empty or negative sizes
  // and rectangles reaching past the image are all refused there.
  const platform::Rect area{left, top, width, height};
  std::unique_ptr<platform::Bitmap> copy;
  const platform::Status s = image.CloneArea(area, image.Format(), copy);
  if (s != platform::Status::Ok) return s;
  copy->SetFlags(image.Flags());
  copy->SetRawFormat(image.GetRawFormat());
  out = std::move(copy);
  return platform::Status::Ok;
}

}  // namespace tessivo
