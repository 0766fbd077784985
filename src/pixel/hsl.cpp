#include "pixel/hsl.h"

#include <algorithm>

#include "pixel/rounding.h"

namespace tessivo {

HSL RGBToHSL(uint8_t red, uint8_t green, uint8_t blue) {
  const float r = static_cast<float>(red / 255.0);
  const float g = static_cast<float>(green / 255.0);
  const float b = static_cast<float>(blue / 255.0);
  const float mx = std::max({r, g, b});
  const float mn = std::min({r, g, b});
  HSL out;
  out.lightness = (mx + mn) / 2.0f;
  if (mx == mn) return out;
  const float spread = mx - mn;
  out.saturation = out.lightness <= 0.5f ? spread / (mx + mn) : spread / (2.0f - mx - mn);
  // The order of the tests decides the hue of ties (red before green before blue).
  if (r == mx)
    out.hue = (g - b) / spread;
  else if (g == mx)
    out.hue = 2.0f + (b - r) / spread;
  else
    out.hue = 4.0f + (r - g) / spread;
  return out;
}

RGBBytes HSLToRGB(float hue, float saturation, float lightness) {
  float red, green, blue;
  if (saturation == 0) {
    red = green = blue = lightness;
  } else {
    const float m1 = lightness <= 0.5f ? lightness * (1.0f - saturation)
                                       : lightness - (1.0f - lightness) * saturation;
    const float m2 = 2.0f * lightness - m1;
    const float d = m2 - m1;
    if (hue < 0) {
      red = m2; green = m1; blue = m1 - d * hue;
    } else if (hue < 1) {
      red = m2; green = m1 + d * hue; blue = m1;
    } else if (hue < 2) {
      red = m1 - d * (hue - 2); green = m2; blue = m1;
    } else if (hue < 3) {
      red = m1; green = m2; blue = m1 + d * (hue - 2);
    } else if (hue < 4) {
      red = m1; green = m1 - d * (hue - 4); blue = m2;
    } else {
      red = m1 + d * (hue - 4); green = m1; blue = m2;
    }
  }
  RGBBytes out;
  out.red = RoundToByte(red * 255.0f);
  out.green = RoundToByte(green * 255.0f);
  out.blue = RoundToByte(blue * 255.0f);
  return out;
}

}  // namespace tessivo
