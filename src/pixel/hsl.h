// RGB <-> HSL in single precision. The hue is measured in sextants (red 0, yellow 1, green 2,
// cyan 3, blue 4, magenta 5 or -1) and lies in [-1, 5); it is not wrapped to be non-negative.
// Saturation and lightness lie in [0, 1].
#pragma once
#include <cstdint>

namespace tessivo {

struct HSL {
  float hue = 0;
  float saturation = 0;
  float lightness = 0;
};

struct RGBBytes {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

HSL RGBToHSL(uint8_t red, uint8_t green, uint8_t blue);

// Throws std::overflow_error when a channel, scaled to 0..255 and rounded half to even, falls
// outside a byte (lightness or saturation outside [0, 1], hue far outside [-1, 5]).
RGBBytes HSLToRGB(float hue, float saturation, float lightness);

}  // namespace tessivo
