#include "pixel/geometry/quarter_turn.h"

#include "tessivo/rotate_flip.h"

namespace tessivo {

// The public enumeration mirrors the platform one so the public headers need no platform header;
// the values are passed through unchanged.
static_assert(RotateNoneFlipNone == int32_t{platform::RotateNoneFlipNone} &&
              Rotate90FlipX == int32_t{platform::Rotate90FlipX} &&
              Rotate270FlipX == int32_t{platform::Rotate270FlipX});

platform::Status TurnInPlace(platform::Bitmap& image, int32_t type) {
  if (type < platform::RotateNoneFlipNone || type > platform::Rotate270FlipX)
    return platform::Status::InvalidParameter;
  return image.RotateFlip(static_cast<platform::RotateFlipType>(type));
}

}  // namespace tessivo
