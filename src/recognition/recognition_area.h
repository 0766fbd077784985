// The rectangle a recognition plug-in reads: a region of interest of all zeros is the whole
// image; any other is clipped to the image, and one that misses it is empty.
#pragma once
#include <algorithm>
#include <cstdint>

#include "pixel/filter_engine.h"
#include "platform/bitmap.h"

namespace tessivo::recognition {

inline platform::Rect RecognitionRect(const ZoneRect& area, int32_t width, int32_t height) {
  if (area.left == 0 && area.top == 0 && area.width == 0 && area.height == 0) return {0, 0, width, height};
  const int64_t left = std::max<int64_t>(area.left, 0), top = std::max<int64_t>(area.top, 0);
  const int64_t right = std::min<int64_t>(int64_t{area.left} + std::max(area.width, 0), width);
  const int64_t bottom = std::min<int64_t>(int64_t{area.top} + std::max(area.height, 0), height);
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

}  // namespace tessivo::recognition
