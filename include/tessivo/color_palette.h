// Public enumeration of palette kinds: the flags of an indexed image's palette.
#pragma once
#include <cstdint>

namespace tessivo {

enum ColorPaletteType : int32_t {
  ColorPaletteTypeUndefined = 0,
  ColorPaletteTypeHasAlpha = 1,
  ColorPaletteTypeGrayScale = 2,
  ColorPaletteTypeHalfTone = 4,
};

}  // namespace tessivo
