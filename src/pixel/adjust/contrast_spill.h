// The contrast adjustment does not clip a channel that leaves 0..255: the excess (or deficit)
// spills half into each of the two other channels, round after round, so that a saturated
// channel lightens or darkens the others.
#pragma once
#include <cstdint>

namespace tessivo {

struct SpilledRGB {
  int red = 0, green = 0, blue = 0;
};

inline constexpr int kMaxSpillRounds = 128;

namespace spill_detail {

inline bool InRange(int64_t v) { return static_cast<uint64_t>(v) <= 255; }

// Moves the part of `c` outside 0..255 half to `a` and half to `b` (each share truncated toward
// zero) and leaves `c` at the bound it crossed. Written without branches: a quarter of a
// photograph's pixels may spill under a strong contrast, in no predictable order.
inline void Spill(int64_t& c, int64_t& a, int64_t& b) {
  // max(c - 255, 0) + min(c, 0) by masks of the sign bit (a conditional here compiles to jumps).
  const int64_t above = c - 255;
  const int64_t outside = (above & ~(above >> 63)) + (c & (c >> 63));
  const int64_t share = outside / 2;
  a += share;
  b += share;
  c -= outside;
}

inline int ToByte(int64_t v) { return static_cast<int>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace spill_detail

// Brings (red, green, blue), any 64-bit values, into 0..255. Each round:
//   - all three at most 0: black; all three above 254: white;
//   - red below 0 gives half its deficit (truncated) to green and blue and becomes 0, above
//     255 half its excess, and becomes 255; then green (to red and blue), then blue (to green
//     and red).
// The excess at least halves each round, so the rounds are few; a bound keeps any input from
// looping, and whatever is left over after it is clipped.
// Inlined, and its tests combined with & rather than &&: the contrast calls it for every pixel
// that leaves the range, and which channel left it is anyone's guess for the branch predictor.
[[gnu::always_inline]] inline SpilledRGB SpillIntoRange(int64_t r, int64_t g, int64_t b) {
  using namespace spill_detail;
  for (int round = 0; round < kMaxSpillRounds && !(InRange(r) & InRange(g) & InRange(b)); ++round) {
    if ((r <= 0) & (g <= 0) & (b <= 0)) {
      r = g = b = 0;
      break;
    }
    if ((r > 254) & (g > 254) & (b > 254)) {
      r = g = b = 255;
      break;
    }
    Spill(r, g, b);
    Spill(g, r, b);
    Spill(b, g, r);
  }
  return SpilledRGB{ToByte(r), ToByte(g), ToByte(b)};
}

}  // namespace tessivo
