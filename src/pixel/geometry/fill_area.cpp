#include "pixel/geometry/fill_area.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace tessivo {

platform::Status FillArea(platform::Bitmap& image, const platform::Rect& area, uint32_t argb) {
  if (area.width == 0 || area.height == 0) return platform::Status::Ok;
  // Written through a 32-bit ARGB lock of the rectangle alone: the platform encodes the colour
  // into the image's format on unlock (nearest entry of the image's own palette when indexed),
  // so sub-byte formats and odd offsets need no special case here.
  platform::Rect r = area;
  if (r.x < 0 || r.y < 0 || r.width < 0 || r.height < 0 ||
      int64_t{r.x} + r.width > image.Width() || int64_t{r.y} + r.height > image.Height())
    return platform::Status::InvalidParameter;
  // One row of ARGB must fit a lock stride; bands of rows keep the buffer small on big images.
  if (int64_t{r.width} * 4 > INT32_MAX) return platform::Status::OutOfMemory;
  const int32_t bandRows = std::max<int32_t>(1, std::min<int32_t>(r.height, (1 << 20) / r.width));
  std::vector<uint32_t> pixels(static_cast<size_t>(r.width) * static_cast<size_t>(bandRows), argb);
  for (int32_t y = area.y; y < area.y + area.height; y += bandRows) {
    r.y = y;
    r.height = std::min(bandRows, area.y + area.height - y);
    platform::BitmapData data;
    data.scan0 = pixels.data();
    data.stride = r.width * 4;
    const platform::Status s = image.LockBits(
        &r, platform::ImageLockModeWrite | platform::ImageLockModeUserInputBuf, platform::kPixelFormat32bppARGB, data);
    if (s != platform::Status::Ok) return s;
    const platform::Status u = image.UnlockBits(data);
    if (u != platform::Status::Ok) return u;
  }
  return platform::Status::Ok;
}

}  // namespace tessivo
