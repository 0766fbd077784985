#include "platform/pixel_format.h"

#include <cstdint>

namespace tessivo::platform {

bool IsValidPixelFormat(PixelFormat f) {
  for (PixelFormat known : kAllPixelFormats) {
    if (known == f) return true;
  }
  return false;
}

int32_t StrideFor(PixelFormat f, int32_t width) {
  if (width < 0) return -1;
  const int64_t bits = static_cast<int64_t>(width) * BitsPerPixel(f);
  const int64_t bytes = ((bits + 31) / 32) * 4;
  if (bytes > INT32_MAX) return -1;
  return static_cast<int32_t>(bytes);
}

int PaletteCapacity(PixelFormat f) {
  if (!IsIndexed(f)) return 0;
  return 1 << BitsPerPixel(f);
}

}  // namespace tessivo::platform
