// Small value classes for one colour: an ARGB colour (cColor) and RGB triples kept in step with
// their CMY (cCMY) or CMYK (cCMYK) inks. Components are bytes; the classes do no range checks
// beyond taking the low byte where they are given a wider value.
#pragma once
#include <cstdint>

namespace tessivo {

// ARGB colour: alpha in bits 31-24, red 23-16, green 15-8, blue 7-0.
// RGB value (COLORREF): red in bits 0-7, green 8-15, blue 16-23.
class cColor {
 public:
  static int32_t MakeARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<int32_t>((uint32_t{a} << 24) | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b);
  }
  void FromARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b) { value_ = MakeARGB(a, r, g, b); }
  void FromRGB(uint8_t r, uint8_t g, uint8_t b) { value_ = MakeARGB(255, r, g, b); }
  void FromARGBColor(int32_t argb) { value_ = argb; }
  void SetValue(int32_t argb) { value_ = argb; }
  // The top byte of an RGB value is ignored; the colour is opaque.
  void SetFromCOLORREF(int32_t rgbValue) {
    uint32_t v = static_cast<uint32_t>(rgbValue);
    value_ = MakeARGB(255, v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
  }
  void FromRGBColor(int32_t rgbValue) { SetFromCOLORREF(rgbValue); }
  int32_t GetValue() const { return value_; }
  uint8_t GetAlpha() const { return Byte(3); }
  uint8_t GetRed() const { return Byte(2); }
  uint8_t GetGreen() const { return Byte(1); }
  uint8_t GetBlue() const { return Byte(0); }

 private:
  uint8_t Byte(int i) const { return static_cast<uint8_t>(static_cast<uint32_t>(value_) >> (8 * i)); }
  int32_t value_ = 0;
};

// RGB and CMY, complementary at all times (C = 255 - R, M = 255 - G, Y = 255 - b).
class cCMY {
 public:
  int32_t R() const { return r_; }
  int32_t G() const { return g_; }
  int32_t b() const { return b_; }
  int32_t C() const { return 255 - r_; }
  int32_t M() const { return 255 - g_; }
  int32_t Y() const { return 255 - b_; }
  void SetR(uint8_t v) { r_ = v; }
  void SetG(uint8_t v) { g_ = v; }
  void Setb(uint8_t v) { b_ = v; }
  void SetC(uint8_t v) { r_ = 255 - v; }
  void SetM(uint8_t v) { g_ = 255 - v; }
  void SetY(uint8_t v) { b_ = 255 - v; }
  // R + 256*G + 65536*b, the RGB value packing.
  int32_t RGB() const { return r_ + 256 * g_ + 65536 * b_; }
  void SetRGB(int32_t rgbValue);
  void FromCMY(uint8_t c, uint8_t m, uint8_t y) { SetC(c); SetM(m); SetY(y); }

 private:
  int32_t r_ = 0, g_ = 0, b_ = 0;
};

// RGB and CMYK kept consistent: writing an RGB member recomputes C, M, Y, K; writing an ink
// recomputes R, G, b.
class cCMYK {
 public:
  int32_t R() const { return r_; }
  int32_t G() const { return g_; }
  int32_t b() const { return b_; }
  int32_t C() const { return c_; }
  int32_t M() const { return m_; }
  int32_t Y() const { return y_; }
  int32_t K() const { return k_; }
  void SetR(uint8_t v) { r_ = v; RGBToCMYK(); }
  void SetG(uint8_t v) { g_ = v; RGBToCMYK(); }
  void Setb(uint8_t v) { b_ = v; RGBToCMYK(); }
  void SetC(uint8_t v) { c_ = v; CMYKToRGB(); }
  void SetM(uint8_t v) { m_ = v; CMYKToRGB(); }
  void SetY(uint8_t v) { y_ = v; CMYKToRGB(); }
  void SetK(uint8_t v) { k_ = v; CMYKToRGB(); }
  int32_t RGB() const { return r_ + 256 * g_ + 65536 * b_; }
  void SetRGB(int32_t rgbValue);
  void FromCMY(uint8_t c, uint8_t m, uint8_t y);
  void FromCMYK(uint8_t c, uint8_t m, uint8_t y, uint8_t k);
  cCMY ToCMY() const;

 private:
  void RGBToCMYK();
  void CMYKToRGB();
  int32_t r_ = 0, g_ = 0, b_ = 0, c_ = 0, m_ = 0, y_ = 0, k_ = 0;
};

}  // namespace tessivo
