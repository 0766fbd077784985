// Linear gradients: the Cairo pattern of a LinearGradient (shared by gradient pens and brushes),
// and the brush that fills with one.
#pragma once
#include <cairo.h>

#include "platform/graphics/graphics.h"

namespace tessivo::platform {

// The blend from `from` to `to` in world coordinates, repeating beyond both ends; the caller
// destroys it.
cairo_pattern_t* CreateLinearGradientPattern(const LinearGradient& gradient);

// The horizontal gradient over a rectangle: the first colour at its left edge, the second at
// its right edge, repeating beyond them, as the platform's rectangle gradient brushes do.
LinearGradientBrush HorizontalGradientBrush(double left, double top, double width, double height, uint32_t fromArgb,
                                            uint32_t toArgb);

}  // namespace tessivo::platform
