#include "barcode/barcode_painter.h"

#include <algorithm>

namespace tessivo::barcode {

platform::Status PaintModules(platform::Graphics& g, std::string_view modules, const SymbolPlacement& at,
                              int32_t surfaceWidth, int32_t surfaceHeight) {
  const int64_t m = at.moduleWidth;
  int64_t x = at.left;
  int64_t height = at.barHeight;
  // Rows of the image the bars can meet; the bars' tops are all at `top`.
  const int64_t y0 = std::max<int64_t>(at.top, -1);
  platform::GraphicsPath path(platform::FillMode::Winding);
  for (size_t i = 0; i < modules.size() && x <= surfaceWidth;) {
    const char c = modules[i];
    if (c == '0') {
      x += m;
      ++i;
    } else if (c == '-' || c == '+') {
      height += c == '-' ? -at.heightStep : at.heightStep;
      ++i;
    } else if (c == '1') {
      size_t k = 0;
      while (i + k < modules.size() && modules[i + k] == '1') ++k;
      const int64_t right = x + static_cast<int64_t>(k) * m;
      const int64_t bottom = at.top + height;
      if (height > 0 && right > 0 && bottom > 0 && at.top < surfaceHeight) {
        const int64_t x0 = std::max<int64_t>(x, -1), x1 = std::min<int64_t>(right, int64_t{surfaceWidth} + 1);
        const int64_t y1 = std::min<int64_t>(bottom, int64_t{surfaceHeight} + 1);
        path.AddRectangle(static_cast<double>(x0), static_cast<double>(y0), static_cast<double>(x1 - x0),
                          static_cast<double>(y1 - y0));
      }
      x = right;
      i += k;
    } else {
      ++i;  // no other letters occur in module strings
    }
  }
  g.SetSmoothingMode(platform::SmoothingMode::None);
  return g.FillPath(platform::SolidBrush{at.argb}, path);
}

}  // namespace tessivo::barcode
