#include "platform/win/blit.h"

#include <algorithm>
#include <cstring>

namespace tessivo::platform::win {

bool BlitExact(const Bitmap& image, const Rect& area, int64_t dstX, int64_t dstY, Bitmap& target) {
  const PixelFormat f = image.Format();
  if (f != target.Format() || HasAlpha(f)) return false;
  const int bpp = BitsPerPixel(f);
  if (bpp < 8) return false;  // sub-byte rows would need bit shifts
  if (IsIndexed(f) && image.GetPalette().entries != target.GetPalette().entries) return false;
  if (&image == &target) return false;  // overlapping rows: let the drawing path copy first
  // Source columns/rows that are inside the image and land inside the target.
  int64_t sx0 = std::max<int64_t>(area.x, 0), sy0 = std::max<int64_t>(area.y, 0);
  int64_t sx1 = std::min<int64_t>(int64_t{area.x} + area.width, image.Width());
  int64_t sy1 = std::min<int64_t>(int64_t{area.y} + area.height, image.Height());
  const int64_t ox = dstX - area.x, oy = dstY - area.y;  // target = source + offset
  sx0 = std::max(sx0, -ox), sy0 = std::max(sy0, -oy);
  sx1 = std::min(sx1, target.Width() - ox), sy1 = std::min(sy1, target.Height() - oy);
  if (sx0 >= sx1 || sy0 >= sy1) return true;  // nothing visible: nothing to do
  const size_t bytes = static_cast<size_t>(bpp / 8);
  const size_t run = static_cast<size_t>(sx1 - sx0) * bytes;
  for (int64_t y = sy0; y < sy1; ++y)
    std::memcpy(target.Row(static_cast<int32_t>(y + oy)) + static_cast<size_t>(sx0 + ox) * bytes,
                image.Row(static_cast<int32_t>(y)) + static_cast<size_t>(sx0) * bytes, run);
  return true;
}

}  // namespace tessivo::platform::win
