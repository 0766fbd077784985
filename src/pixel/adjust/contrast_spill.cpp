#include "pixel/adjust/contrast_spill.h"

#include "pixel/adjust/integer_rounding.h"

namespace tessivo {
namespace {

bool InRange(int64_t v) { return v >= 0 && v <= 255; }

// Moves the part of `c` outside 0..255 half to `a` and half to `b` (each share truncated
// toward zero).
void Spill(int64_t& c, int64_t& a, int64_t& b) {
  if (c < 0) {
    a += c / 2;
    b += c / 2;
    c = 0;
  } else if (c > 255) {
    const int64_t excess = c - 255;
    a += excess / 2;
    b += excess / 2;
    c = 255;
  }
}

}  // namespace

SpilledRGB SpillIntoRange(int64_t r, int64_t g, int64_t b) {
  for (int round = 0; round < kMaxSpillRounds && !(InRange(r) && InRange(g) && InRange(b)); ++round) {
    if (r <= 0 && g <= 0 && b <= 0) {
      r = g = b = 0;
      break;
    }
    if (r > 254 && g > 254 && b > 254) {
      r = g = b = 255;
      break;
    }
    Spill(r, g, b);
    Spill(g, r, b);
    Spill(b, g, r);
  }
  return SpilledRGB{static_cast<int>(ClampToByte(r)), static_cast<int>(ClampToByte(g)),
                    static_cast<int>(ClampToByte(b))};
}

}  // namespace tessivo
