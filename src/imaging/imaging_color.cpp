// cImaging: colour value conversions. None touches an image or the last status.
#include <algorithm>
#include <stdexcept>

#include "pixel/color_values.h"
#include "pixel/hsl.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

uint8_t LowByte(int32_t v) { return static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFF); }

}  // namespace

void cImaging::ColorRGBtoCMY(int32_t nRedValue, int32_t nGreenValue, int32_t nBlueValue, int32_t& nCyan,
                             int32_t& nMagenta, int32_t& nYellow) {
  cCMY cmy;
  cmy.SetR(LowByte(nRedValue));
  cmy.SetG(LowByte(nGreenValue));
  cmy.Setb(LowByte(nBlueValue));
  nCyan = cmy.C();
  nMagenta = cmy.M();
  nYellow = cmy.Y();
}

void cImaging::ColorRGBtoCMYK(int32_t nRed, int32_t nGreen, int32_t nBlue, int32_t& nCyan, int32_t& nMagenta,
                              int32_t& nYellow, int32_t& nBlack) {
  cCMYK cmyk;
  cmyk.SetR(LowByte(nRed));
  cmyk.SetG(LowByte(nGreen));
  cmyk.Setb(LowByte(nBlue));
  nCyan = cmyk.C();
  nMagenta = cmyk.M();
  nYellow = cmyk.Y();
  nBlack = cmyk.K();
}

void cImaging::ColorCMYKtoRGB(int32_t nCyan, int32_t nMagenta, int32_t nYellow, int32_t nBlack, int32_t& nRed,
                              int32_t& nGreen, int32_t& nBlue) {
  cCMYK cmyk;
  cmyk.FromCMYK(LowByte(nCyan), LowByte(nMagenta), LowByte(nYellow), LowByte(nBlack));
  nRed = cmyk.R();
  nGreen = cmyk.G();
  nBlue = cmyk.b();
}

void cImaging::ColorCMYtoRGB(int32_t nCyan, int32_t nMagenta, int32_t nYellow, int32_t& nRed, int32_t& nGreen,
                             int32_t& nBlue) {
  cCMY cmy;
  cmy.FromCMY(LowByte(nCyan), LowByte(nMagenta), LowByte(nYellow));
  nRed = cmy.R();
  nGreen = cmy.G();
  nBlue = cmy.b();
}

void cImaging::ColorRGBtoHSL(uint8_t nRed, uint8_t nGreen, uint8_t nBlue, float& nHue, float& nSaturation,
                             float& nLightness) {
  const HSL hsl = RGBToHSL(nRed, nGreen, nBlue);
  nHue = hsl.hue;
  nSaturation = hsl.saturation;
  nLightness = hsl.lightness;
}

void cImaging::ColorRGBtoHSLl(int32_t nRed, int32_t nGreen, int32_t nBlue, float& nHue, float& nSaturation,
                              float& nLightness) {
  ColorRGBtoHSL(LowByte(nRed), LowByte(nGreen), LowByte(nBlue), nHue, nSaturation, nLightness);
}

void cImaging::ColorHSLtoRGB(float nHue, float nSaturation, float nLightness, uint8_t& nRed, uint8_t& nGreen,
                             uint8_t& nBlue) {
  const RGBBytes rgb = HSLToRGB(nHue, nSaturation, nLightness);  // may throw std::overflow_error
  nRed = rgb.red;
  nGreen = rgb.green;
  nBlue = rgb.blue;
}

void cImaging::ColorHSLtoRGBl(float nHue, float nSaturation, float nLightness, int32_t& nRed, int32_t& nGreen,
                              int32_t& nBlue) {
  const RGBBytes rgb = HSLToRGB(nHue, nSaturation, nLightness);
  nRed = rgb.red;
  nGreen = rgb.green;
  nBlue = rgb.blue;
}

void cImaging::ColorGetRGBFromRGBValue(int32_t nRGBValue, uint8_t& nRed, uint8_t& nGreen, uint8_t& nBlue) {
  cColor c;
  c.FromRGBColor(nRGBValue);
  nRed = c.GetRed();
  nBlue = c.GetBlue();
  nGreen = c.GetGreen();
}

void cImaging::ColorGetRGBFromRGBValuel(int32_t nRGBValue, int32_t& nRed, int32_t& nGreen, int32_t& nBlue) {
  uint8_t r, g, b;
  ColorGetRGBFromRGBValue(nRGBValue, r, g, b);
  nRed = r;
  nGreen = g;
  nBlue = b;
}

void cImaging::ColorGetARGBFromARGBValue(int32_t nARGBValue, uint8_t& nAlpha, uint8_t& nRed, uint8_t& nGreen,
                                         uint8_t& nBlue) {
  cColor c;
  c.FromARGBColor(nARGBValue);
  nAlpha = c.GetAlpha();
  nRed = c.GetRed();
  nGreen = c.GetGreen();
  nBlue = c.GetBlue();
}

void cImaging::ColorGetARGBFromARGBValuel(int32_t nARGBValue, int32_t& nAlpha, int32_t& nRed, int32_t& nGreen,
                                          int32_t& nBlue) {
  uint8_t a, r, g, b;
  ColorGetARGBFromARGBValue(nARGBValue, a, r, g, b);
  nAlpha = a;
  nRed = r;
  nGreen = g;
  nBlue = b;
}

int32_t cImaging::argb(int32_t nAlpha, int32_t nRed, int32_t nGreen, int32_t nBlue) {
  auto clamp = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
  cColor c;
  c.FromARGB(clamp(nAlpha), clamp(nRed), clamp(nGreen), clamp(nBlue));
  return c.GetValue();
}

int32_t cImaging::GetRGB(int16_t nRed, int16_t nGreen, int16_t nBlue) {
  if (nRed < 0 || nGreen < 0 || nBlue < 0) throw std::invalid_argument("GetRGB: negative colour component");
  auto limit = [](int16_t v) { return std::min<int32_t>(v, 255); };
  return limit(nRed) + 256 * limit(nGreen) + 65536 * limit(nBlue);
}

}  // namespace tessivo
