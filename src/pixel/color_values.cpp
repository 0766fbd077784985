#include "pixel/color_values.h"

#include <algorithm>

#include "pixel/rounding.h"

namespace tessivo {

void cCMY::SetRGB(int32_t rgbValue) {
  uint32_t v = static_cast<uint32_t>(rgbValue);
  SetR(v & 0xFF);
  SetG((v >> 8) & 0xFF);
  Setb((v >> 16) & 0xFF);
}

void cCMYK::SetRGB(int32_t rgbValue) {
  uint32_t v = static_cast<uint32_t>(rgbValue);
  r_ = v & 0xFF;
  g_ = (v >> 8) & 0xFF;
  b_ = (v >> 16) & 0xFF;
  RGBToCMYK();
}

void cCMYK::FromCMY(uint8_t c, uint8_t m, uint8_t y) {
  r_ = 255 - c;
  g_ = 255 - m;
  b_ = 255 - y;
  RGBToCMYK();
}

void cCMYK::FromCMYK(uint8_t c, uint8_t m, uint8_t y, uint8_t k) {
  c_ = c;
  m_ = m;
  y_ = y;
  k_ = k;
  CMYKToRGB();
}

cCMY cCMYK::ToCMY() const {
  cCMY out;
  out.SetRGB(RGB());
  return out;
}

void cCMYK::RGBToCMYK() {
  k_ = std::min({255 - r_, 255 - g_, 255 - b_});
  if (k_ == 255) {
    // Pure black keeps full inks rather than none, so a round trip through CMYK stays black.
    c_ = m_ = y_ = 255;
    return;
  }
  // Integer products, division in double precision, then round half to even.
  const double denominator = 255 - k_;
  c_ = RoundToInt32(((255 - k_ - r_) * 255) / denominator);
  m_ = RoundToInt32(((255 - k_ - g_) * 255) / denominator);
  y_ = RoundToInt32(((255 - k_ - b_) * 255) / denominator);
}

void cCMYK::CMYKToRGB() {
  auto channel = [this](int32_t ink) {
    int32_t t = RoundToInt32((ink * (255 - k_)) / 255.0 + k_);
    if (t > 255) t = 255;
    return 255 - t;
  };
  r_ = channel(c_);
  g_ = channel(m_);
  b_ = channel(y_);
}

}  // namespace tessivo
