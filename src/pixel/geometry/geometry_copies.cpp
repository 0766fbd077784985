#include "pixel/geometry/geometry_copies.h"

#include <utility>

namespace tessivo {

platform::Status RotateFlipCopy(const platform::Bitmap& image, int32_t type,
                                std::unique_ptr<platform::Bitmap>& out) {
  if (type < platform::RotateNoneFlipNone || type > platform::Rotate270FlipX)
    return platform::Status::InvalidParameter;
  // The turn runs on a copy so that a failure (memory) leaves the image as it was.
  std::unique_ptr<platform::Bitmap> copy;
  platform::Status s = image.Clone(copy);
  if (s != platform::Status::Ok) return s;
  s = copy->RotateFlip(static_cast<platform::RotateFlipType>(type));
  if (s != platform::Status::Ok) return s;
  out = std::move(copy);
  return platform::Status::Ok;
}

platform::Status CropCopy(const platform::Bitmap& image, int32_t left, int32_t top, int32_t width,
                          int32_t height, std::unique_ptr<platform::Bitmap>& out) {
  // The platform checks the rectangle in 64 bits: negative origins, empty sizes and
  // rectangles reaching past the image are all refused there.
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
