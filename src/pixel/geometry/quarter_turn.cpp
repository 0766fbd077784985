#include "pixel/geometry/quarter_turn.h"

namespace tessivo {

platform::Status TurnInPlace(platform::Bitmap& image, int32_t type) {
  if (type < platform::RotateNoneFlipNone || type > platform::Rotate270FlipX)
    return platform::Status::InvalidParameter;
  return image.RotateFlip(static_cast<platform::RotateFlipType>(type));
}

}  // namespace tessivo
