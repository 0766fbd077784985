// Public enumerations of drawing: rendering options, font styles and units, fill modes and the
// bitwise operators used when combining images. Values are the platform's.
#pragma once
#include <cstdint>

#include "tessivo/interpolation_mode.h"  // the interpolation modes of image drawing

namespace tessivo {

enum SmoothingMode : int32_t {
  SmoothingModeDefault = 0,
  SmoothingModeHighSpeed = 1,
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,
  SmoothingModeAntiAlias = 4,
};

enum FontStyle : int32_t {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleBoldItalic = 3,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8,
};

enum UnitMode : int32_t {
  UnitWorld = 0,
  UnitDisplay = 1,
  UnitPixel = 2,
  UnitPoint = 3,
  UnitInch = 4,
  UnitDocument = 5,
  UnitMillimeter = 6,
};

// Alternate: a point is inside when a ray from it crosses the outline an odd number of times;
// winding: when the outline winds around it a non-zero number of times.
enum FillMode : int32_t {
  FillModeAlternate = 0,
  FillModeWinding = 1,
};

enum Operators : int32_t {
  OperatorAND = 0,
  OperatorOR = 1,
  OperatorXOR = 2,
};

}  // namespace tessivo
