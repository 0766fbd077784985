#include "platform/win/scale_blit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessivo::platform::win {
namespace {

// For each target pixel along one axis: the first source pixel and the weight (0..256) of the
// next one, sampling at the pixel's centre and clamping at the image's edges.
struct Tap {
  int32_t index;
  int32_t next;
  uint32_t weight;
};

std::vector<Tap> Taps(int64_t first, int64_t count, int64_t dstSize, int32_t srcSize) {
  std::vector<Tap> taps(static_cast<size_t>(count));
  const double step = static_cast<double>(srcSize) / static_cast<double>(dstSize);
  for (int64_t i = 0; i < count; ++i) {
    double u = (static_cast<double>(first + i) + 0.5) * step - 0.5;
    u = std::clamp(u, 0.0, static_cast<double>(srcSize - 1));
    const auto base = static_cast<int32_t>(std::floor(u));
    const auto weight = static_cast<uint32_t>(std::lround((u - base) * 256));
    taps[static_cast<size_t>(i)] = {base, std::min(base + 1, srcSize - 1), weight};
  }
  return taps;
}

}  // namespace

bool ScaleBilinearExact(const Bitmap& image, int64_t dstX, int64_t dstY, int64_t dstWidth, int64_t dstHeight,
                        Bitmap& target) {
  const PixelFormat f = image.Format();
  if (target.Format() != kPixelFormat32bppRGB || (f != kPixelFormat24bppRGB && f != kPixelFormat32bppRGB) ||
      &image == &target || dstWidth < 1 || dstHeight < 1 || image.Width() < 1 || image.Height() < 1)
    return false;
  // Target columns and rows that the rectangle covers.
  const int64_t x0 = std::max<int64_t>(dstX, 0), y0 = std::max<int64_t>(dstY, 0);
  const int64_t x1 = std::min<int64_t>(dstX + dstWidth, target.Width());
  const int64_t y1 = std::min<int64_t>(dstY + dstHeight, target.Height());
  if (x0 >= x1 || y0 >= y1) return true;
  const std::vector<Tap> columns = Taps(x0 - dstX, x1 - x0, dstWidth, image.Width());
  const std::vector<Tap> rows = Taps(y0 - dstY, y1 - y0, dstHeight, image.Height());
  const size_t bytes = f == kPixelFormat24bppRGB ? 3 : 4;
  for (int64_t y = y0; y < y1; ++y) {
    const Tap& r = rows[static_cast<size_t>(y - y0)];
    const uint8_t* top = image.Row(r.index);
    const uint8_t* bottom = image.Row(r.next);
    const uint32_t wy = r.weight, vy = 256 - wy;
    uint8_t* out = target.Row(static_cast<int32_t>(y)) + static_cast<size_t>(x0) * 4;
    for (const Tap& c : columns) {
      const uint8_t* a = top + static_cast<size_t>(c.index) * bytes;
      const uint8_t* b = top + static_cast<size_t>(c.next) * bytes;
      const uint8_t* p = bottom + static_cast<size_t>(c.index) * bytes;
      const uint8_t* q = bottom + static_cast<size_t>(c.next) * bytes;
      const uint32_t wx = c.weight, vx = 256 - wx;
      for (int k = 0; k < 3; ++k) {
        const uint32_t upper = a[k] * vx + b[k] * wx, lower = p[k] * vx + q[k] * wx;
        out[k] = static_cast<uint8_t>((upper * vy + lower * wy + 32768) >> 16);
      }
      out[3] = 0xFF;
      out += 4;
    }
  }
  return true;
}

}  // namespace tessivo::platform::win
