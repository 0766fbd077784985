#include "pixel/flood_fill.h"

#include <utility>
#include <vector>

#include "pixel/filter_job.h"

namespace tessivo {
namespace {

TessivoStatus Transfer(platform::Bitmap& image, uint32_t mode, std::vector<uint32_t>& pixels) {
  const platform::Rect whole{0, 0, image.Width(), image.Height()};
  platform::BitmapData data;
  data.width = static_cast<uint32_t>(whole.width);
  data.height = static_cast<uint32_t>(whole.height);
  data.stride = whole.width * 4;
  data.pixelFormat = platform::kPixelFormat32bppARGB;
  data.scan0 = pixels.data();
  platform::Status s = image.LockBits(&whole, mode | platform::ImageLockModeUserInputBuf,
                                      platform::kPixelFormat32bppARGB, data);
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
  return static_cast<TessivoStatus>(image.UnlockBits(data));
}

// Span fill: each popped seed fills its whole run on the row and seeds the rows above and below.
void FillArea(std::vector<uint32_t>& pixels, int32_t W, int32_t H, int32_t x0, int32_t y0, uint32_t fillRGB) {
  const uint32_t target = pixels[static_cast<size_t>(y0) * W + x0] & kRGBMask;
  if (target == fillRGB) return;  // the area already has the colour
  auto matches = [&](int32_t x, int32_t y) {
    return (pixels[static_cast<size_t>(y) * W + x] & kRGBMask) == target;
  };
  std::vector<std::pair<int32_t, int32_t>> seeds{{x0, y0}};
  while (!seeds.empty()) {
    auto [x, y] = seeds.back();
    seeds.pop_back();
    if (!matches(x, y)) continue;
    int32_t left = x, right = x;
    while (left > 0 && matches(left - 1, y)) --left;
    while (right < W - 1 && matches(right + 1, y)) ++right;
    for (int32_t i = left; i <= right; ++i) {
      uint32_t& p = pixels[static_cast<size_t>(y) * W + i];
      p = (p & 0xFF000000u) | fillRGB;
    }
    for (int32_t ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= H) continue;
      bool inRun = false;
      for (int32_t i = left; i <= right; ++i) {
        const bool m = matches(i, ny);
        if (m && !inRun) seeds.emplace_back(i, ny);
        inRun = m;
      }
    }
  }
}

}  // namespace

TessivoStatus FloodFillImage(platform::Bitmap& image, int32_t xStart, int32_t yStart, int32_t argb) {
  const int32_t W = image.Width(), H = image.Height();
  if (xStart < 0 || yStart < 0 || xStart >= W || yStart >= H) return Win32Error;
  std::vector<uint32_t> pixels(static_cast<size_t>(W) * static_cast<size_t>(H));
  TessivoStatus s = Transfer(image, platform::ImageLockModeRead, pixels);
  if (s != OK) return s;
  FillArea(pixels, W, H, xStart, yStart, static_cast<uint32_t>(argb) & kRGBMask);
  for (uint32_t& p : pixels) p |= 0xFF000000u;  // the device context holds no alpha
  return Transfer(image, platform::ImageLockModeWrite, pixels);
}

}  // namespace tessivo
