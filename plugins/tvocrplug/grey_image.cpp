#include "grey_image.h"

#include <algorithm>

namespace tvocrplug {

bool IsUsableImage(const TvocrImage* image) {
  if (image == nullptr || image->pixels == nullptr || image->width <= 0 || image->height <= 0) return false;
  if (image->channels != 1 && image->channels != 3 && image->channels != 4) return false;
  return image->stride >= int64_t{image->width} * image->channels;
}

PixelRect ClipToImage(const TvocrImage& image, int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == 0 && top == 0 && width == 0 && height == 0) return {0, 0, image.width, image.height};
  const int64_t x0 = std::max<int64_t>(left, 0), y0 = std::max<int64_t>(top, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{left} + std::max(width, 0), image.width);
  const int64_t y1 = std::min<int64_t>(int64_t{top} + std::max(height, 0), image.height);
  if (x1 <= x0 || y1 <= y0) return {};
  return {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
          static_cast<int32_t>(y1 - y0)};
}

std::vector<uint8_t> GreyRows(const TvocrImage& image, const PixelRect& rect) {
  std::vector<uint8_t> grey(static_cast<size_t>(rect.width) * rect.height);
  const int channels = image.channels;
  for (int32_t y = 0; y < rect.height; ++y) {
    const uint8_t* source = image.pixels + static_cast<int64_t>(rect.top + y) * image.stride +
                            static_cast<int64_t>(rect.left) * channels;
    uint8_t* target = grey.data() + static_cast<size_t>(y) * rect.width;
    if (channels == 1) {
      std::copy(source, source + rect.width, target);
      continue;
    }
    for (int32_t x = 0; x < rect.width; ++x, source += channels) {
      // Rec. 601 luma in 8-bit fixed point from blue, green, red.
      const uint32_t luma = (29u * source[0] + 150u * source[1] + 77u * source[2]) >> 8;
      if (channels == 4) {
        const uint32_t alpha = source[3];
        target[x] = static_cast<uint8_t>((luma * alpha + 255u * (255u - alpha) + 127u) / 255u);
      } else {
        target[x] = static_cast<uint8_t>(luma);
      }
    }
  }
  return grey;
}

int32_t SourceResolution(const TvocrImage& image) {
  const int32_t dpi = image.dpiY > 0 ? image.dpiY : image.dpiX;
  return dpi > 0 ? dpi : 300;
}

}  // namespace tvocrplug
