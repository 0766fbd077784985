#include "pixel/transparency_keys.h"

#include <algorithm>
#include <cstdlib>

namespace tessivo {
namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFFu;

int Channel(uint32_t v, int shift) { return static_cast<int>((v >> shift) & 0xFF); }

int Distance(uint32_t a, uint32_t b) {
  return std::abs(Channel(a, 16) - Channel(b, 16)) + std::abs(Channel(a, 8) - Channel(b, 8)) +
         std::abs(Channel(a, 0) - Channel(b, 0));
}

}  // namespace

void KeyTransparentColour(std::span<uint32_t> argbPixels, uint32_t colourArgb, double k) {
  for (uint32_t& v : argbPixels) {
    const bool match = k == 0 ? ((v ^ colourArgb) & kRgbMask) == 0 : Distance(v, colourArgb) <= k;
    if (match) v &= kRgbMask;
  }
}

void ScaleAlpha(std::span<uint32_t> argbPixels, int32_t transparency) {
  const uint32_t t = static_cast<uint32_t>(std::clamp(transparency, 0, 255));
  if (t == 255) return;
  for (uint32_t& v : argbPixels) {
    // alpha · t is never an odd multiple of 127.5, so adding 127 rounds to nearest.
    const uint32_t alpha = ((v >> 24) * t + 127) / 255;
    v = (v & kRgbMask) | alpha << 24;
  }
}

}  // namespace tessivo
