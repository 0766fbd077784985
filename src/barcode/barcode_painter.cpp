#include "barcode/barcode_painter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tessivo::barcode {
namespace {

// Calls `bar(left, right, top, bottom)` for every run of bar modules, in image pixels, right and
// bottom exclusive, not yet cut to the image; stops once the pen has passed `surfaceWidth`.
template <typename Bar>
void ForEachBar(std::string_view modules, const SymbolPlacement& at, int32_t surfaceWidth, Bar&& bar) {
  const int64_t m = at.moduleWidth;
  int64_t x = at.left;
  int64_t height = at.barHeight;
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
      if (height > 0) bar(x, right, at.top, at.top + height);
      x = right;
      i += k;
    } else {
      ++i;  // no other letters occur in module strings
    }
  }
}

// The bytes of an opaque colour in the formats written in place; 0 bytes for the others.
int PixelBytes(platform::PixelFormat format) {
  if (format == platform::kPixelFormat24bppRGB) return 3;
  if (format == platform::kPixelFormat32bppARGB || format == platform::kPixelFormat32bppPARGB) return 4;
  return 0;
}

// Fills n bytes (at least one pixel) at `to` from `run`, which holds at least n + 8 bytes of the
// repeated colour starting at a pixel: fixed-size copies, overlapping where n is not a multiple.
void FillBytes(uint8_t* to, const uint8_t* run, size_t n) {
  if (n >= 8) {
    for (size_t i = 0; i + 8 <= n; i += 8) std::memcpy(to + i, run + i, 8);
    std::memcpy(to + n - 8, run + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, run, 4);
    std::memcpy(to + n - 4, run + n - 4, 4);
  } else {
    std::memcpy(to, run, 2);
    std::memcpy(to + n - 2, run + n - 2, 2);
  }
}

}  // namespace

platform::Status PaintModules(platform::Graphics& g, std::string_view modules, const SymbolPlacement& at,
                              int32_t surfaceWidth, int32_t surfaceHeight) {
  // Rows of the image the bars can meet; the bars' tops are all at `top`.
  const int64_t y0 = std::max<int64_t>(at.top, -1);
  platform::GraphicsPath path(platform::FillMode::Winding);
  ForEachBar(modules, at, surfaceWidth, [&](int64_t left, int64_t right, int64_t, int64_t bottom) {
    if (right <= 0 || bottom <= 0 || at.top >= surfaceHeight) return;
    const int64_t x0 = std::max<int64_t>(left, -1), x1 = std::min<int64_t>(right, int64_t{surfaceWidth} + 1);
    const int64_t y1 = std::min<int64_t>(bottom, int64_t{surfaceHeight} + 1);
    path.AddRectangle(static_cast<double>(x0), static_cast<double>(y0), static_cast<double>(x1 - x0),
                      static_cast<double>(y1 - y0));
  });
  g.SetSmoothingMode(platform::SmoothingMode::None);
  return g.FillPath(platform::SolidBrush{at.argb}, path);
}

bool PaintModulesInPlace(platform::Bitmap& image, std::string_view modules, const SymbolPlacement& at) {
  const int bytes = PixelBytes(image.Format());
  if (bytes == 0 || (at.argb >> 24) != 0xFF || image.Scan0() == nullptr) return false;
  const int64_t width = image.Width(), height = image.Height();
  struct Bar {
    int64_t x0, x1, bottom;
  };
  std::vector<Bar> bars;
  bars.reserve(modules.size() / 2 + 1);
  int64_t top = height, bottom = 0, left = width, right = 0, widest = 0;
  ForEachBar(modules, at, image.Width(), [&](int64_t l, int64_t r, int64_t t, int64_t b) {
    const int64_t x0 = std::max<int64_t>(l, 0), x1 = std::min(r, width);
    const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min(b, height);
    if (x0 >= x1 || y0 >= y1) return;
    bars.push_back({x0, x1, y1});
    top = std::min(top, y0), bottom = std::max(bottom, y1);
    left = std::min(left, x0), right = std::max(right, x1);
    widest = std::max(widest, x1 - x0);
  });
  if (bars.empty()) return true;

  // The colour repeated over the widest bar: a bar is then a few word-sized copies from it.
  std::vector<uint8_t> colourRun(static_cast<size_t>(widest * bytes) + 8);
  for (size_t i = 0; i < colourRun.size(); ++i)
    colourRun[i] = i % static_cast<size_t>(bytes) == 3 ? 0xFF : static_cast<uint8_t>(at.argb >> (8 * (i % bytes)));

  // Every bar starts on the same row. Rows whose pixels under the symbol equal the first row's
  // (a plain background) get the finished first row copied in one go; others are drawn bar by
  // bar. The finished row is remade whenever a bar ends (EAN-13 guard bars reach lower). The
  // first row itself is written last, so that it serves as the background until then.
  const size_t spanBytes = static_cast<size_t>((right - left) * bytes);
  const auto span = [&](int64_t y) { return image.Row(static_cast<int32_t>(y)) + left * bytes; };
  const uint8_t* background = span(top);
  std::vector<uint8_t> finished(spanBytes);
  int64_t finishedFor = -1;  // the number of bars still reaching the row `finished` was made for
  const auto paint = [&](uint8_t* row, int64_t y) {
    int64_t active = 0;
    for (const Bar& bar : bars) {
      if (bar.bottom <= y) continue;
      ++active;
      FillBytes(row + (bar.x0 - left) * bytes, colourRun.data(), static_cast<size_t>((bar.x1 - bar.x0) * bytes));
    }
    return active;
  };
  // Bar ends in rising order: the bars reaching row y are those past the first `ended` ends.
  std::vector<int64_t> ends;
  ends.reserve(bars.size());
  for (const Bar& bar : bars) ends.push_back(bar.bottom);
  if (!std::is_sorted(ends.begin(), ends.end())) std::sort(ends.begin(), ends.end());
  const auto drawRow = [&](int64_t y) {
    const size_t ended =
        static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), y) - ends.begin());
    uint8_t* row = span(y);
    if (y == top || std::memcmp(background, row, spanBytes) == 0) {
      const auto active = static_cast<int64_t>(ends.size() - ended);
      if (active != finishedFor) {
        std::memcpy(finished.data(), background, spanBytes);
        finishedFor = paint(finished.data(), y);
      }
      std::memcpy(row, finished.data(), spanBytes);
    } else {
      paint(row, y);
    }
  };
  for (int64_t y = top + 1; y < bottom; ++y) drawRow(y);
  drawRow(top);
  return true;
}

}  // namespace tessivo::barcode
