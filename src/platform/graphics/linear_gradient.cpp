#include "platform/graphics/linear_gradient.h"

namespace tessivo::platform {

cairo_pattern_t* CreateLinearGradientPattern(const LinearGradient& lg) {
  cairo_pattern_t* pattern = cairo_pattern_create_linear(lg.from.x, lg.from.y, lg.to.x, lg.to.y);
  for (auto [at, argb] : {std::pair{0.0, lg.fromArgb}, std::pair{1.0, lg.toArgb}})
    cairo_pattern_add_color_stop_rgba(pattern, at, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                                      (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  return pattern;
}

LinearGradientBrush HorizontalGradientBrush(double left, double top, double width, double /*height*/,
                                            uint32_t fromArgb, uint32_t toArgb) {
  return LinearGradientBrush{LinearGradient{{left, top}, {left + width, top}, fromArgb, toArgb}};
}

}  // namespace tessivo::platform
