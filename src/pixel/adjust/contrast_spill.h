// The contrast adjustment does not clip a channel that leaves 0..255: the excess (or deficit)
// spills half into each of the two other channels, round after round, so that a saturated
// channel lightens or darkens the others.
#pragma once
#include <cstdint>

namespace tessivo {

struct SpilledRGB {
  int red = 0, green = 0, blue = 0;
};

// Brings (red, green, blue), any 64-bit values, into 0..255. Each round:
//   - all three at most 0: black; all three above 254: white;
//   - red below 0 gives half its deficit (truncated) to green and blue and becomes 0, above
//     255 half its excess, and becomes 255; then green (to red and blue), then blue (to green
//     and red).
// The excess at least halves each round, so the rounds are few; a bound keeps any input from
// looping, and whatever is left over after it is clipped.
SpilledRGB SpillIntoRange(int64_t red, int64_t green, int64_t blue);

inline constexpr int kMaxSpillRounds = 128;

}  // namespace tessivo
