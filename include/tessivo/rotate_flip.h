// Public enumeration of the quarter-turn rotations and flips: a clockwise rotation by 0, 90,
// 180 or 270 degrees, optionally followed by a horizontal flip.
#pragma once
#include <cstdint>

namespace tessivo {

enum RotateFlipType : int32_t {
  RotateNoneFlipNone = 0,
  Rotate90FlipNone = 1,
  Rotate180FlipNone = 2,
  Rotate270FlipNone = 3,
  RotateNoneFlipX = 4,
  Rotate90FlipX = 5,
  Rotate180FlipX = 6,
  Rotate270FlipX = 7,
};

}  // namespace tessivo
