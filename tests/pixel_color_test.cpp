// Colour values: the ARGB and RGB packings, CMY/CMYK with their rounding and the black rule,
// HSL in sextants, and the errors the conversions raise to their caller.
#include <gtest/gtest.h>

#include <stdexcept>

#include "dispatch/catalog.h"
#include "dispatch/invoke.h"
#include "pixel/color_values.h"
#include "pixel/hsl.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

TEST(ColourPacking, ColorAndRGBValues) {
  cColor c;
  EXPECT_EQ(c.GetValue(), 0);
  c.SetFromCOLORREF(0x7F332211);  // the top byte of an RGB value is ignored
  EXPECT_EQ(static_cast<uint32_t>(c.GetValue()), 0xFF112233u);
  EXPECT_EQ(cColor::MakeARGB(0x80, 1, 2, 3), static_cast<int32_t>(0x80010203u));

  cImaging im;
  uint8_t r = 0, g = 0, b = 0, a = 0;
  im.ColorGetRGBFromRGBValue(0x00332211, r, g, b);
  EXPECT_EQ(r, 0x11);
  EXPECT_EQ(g, 0x22);
  EXPECT_EQ(b, 0x33);
  int32_t la, lr, lg, lb;
  im.ColorGetARGBFromARGBValuel(static_cast<int32_t>(0x80FF4020u), la, lr, lg, lb);
  EXPECT_EQ(la, 0x80);
  EXPECT_EQ(lr, 0xFF);
  EXPECT_EQ(lg, 0x40);
  EXPECT_EQ(lb, 0x20);
  im.ColorGetARGBFromARGBValue(-1, a, r, g, b);
  EXPECT_EQ(a + r + g + b, 4 * 255);

  EXPECT_EQ(im.argb(300, -5, 128, 0), -16744448);  // clamped: 0xFF008000
  EXPECT_EQ(im.GetRGB(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(im.GetRGB(300, 0, 1000), 255 + 255 * 65536);
  EXPECT_THROW(im.GetRGB(0, -1, 0), std::invalid_argument);
  EXPECT_EQ(im.GetStat(), OK) << "colour methods leave the status alone";
}

TEST(ColourCMY, ComplementsFollowEachWrite) {
  cCMY cmy;
  cmy.SetR(10);
  EXPECT_EQ(cmy.C(), 245);
  cmy.SetC(10);
  EXPECT_EQ(cmy.R(), 245);
  cmy.SetRGB(0x00030201);
  EXPECT_EQ(cmy.C(), 254);
  EXPECT_EQ(cmy.M(), 253);
  EXPECT_EQ(cmy.Y(), 252);

  cImaging im;
  int32_t c, m, y, r, g, b;
  im.ColorRGBtoCMY(0x10A, 20, 30, c, m, y);  // low byte of each argument
  EXPECT_EQ(c, 245);
  EXPECT_EQ(m, 235);
  EXPECT_EQ(y, 225);
  im.ColorCMYtoRGB(0, 128, 255, r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 127);
  EXPECT_EQ(b, 0);
}

TEST(ColourCMYK, BlackRuleRoundingAndInks) {
  cImaging im;
  int32_t c, m, y, k, r, g, b;
  im.ColorRGBtoCMYK(0, 0, 0, c, m, y, k);
  EXPECT_EQ((std::array{c, m, y, k}), (std::array{255, 255, 255, 255})) << "K = 255 keeps full inks";
  im.ColorRGBtoCMYK(255, 255, 255, c, m, y, k);
  EXPECT_EQ((std::array{c, m, y, k}), (std::array{0, 0, 0, 0}));
  im.ColorRGBtoCMYK(255, 0, 0, c, m, y, k);
  EXPECT_EQ((std::array{c, m, y, k}), (std::array{0, 255, 255, 0}));
  // K = 255 - 200 = 55; C = round((200 - 100) * 255 / 200) = round(127.5) = 128 (ties to even),
  // M = round(150 * 255 / 200) = round(191.25) = 191, Y = 0.
  im.ColorRGBtoCMYK(100, 50, 200, c, m, y, k);
  EXPECT_EQ((std::array{c, m, y, k}), (std::array{128, 191, 0, 55}));
  // Ties go to even: 255 - K = 2 gives (2 - 1) * 255 / 2 = 127.5 -> 128, 255 - K = 6 gives
  // (6 - 5) * 255 / 6 = 42.5 -> 42.
  im.ColorRGBtoCMYK(1, 2, 2, c, m, y, k);
  EXPECT_EQ((std::array{c, m, y, k}), (std::array{128, 0, 0, 253}));
  im.ColorRGBtoCMYK(5, 6, 6, c, m, y, k);
  EXPECT_EQ((std::array{c, m, y, k}), (std::array{42, 0, 0, 249}));

  im.ColorCMYKtoRGB(0, 0, 0, 255, r, g, b);
  EXPECT_EQ((std::array{r, g, b}), (std::array{0, 0, 0}));
  im.ColorCMYKtoRGB(255, 0, 0, 128, r, g, b);
  EXPECT_EQ((std::array{r, g, b}), (std::array{0, 127, 127}));

  cCMYK cmyk;
  cmyk.FromCMYK(10, 20, 30, 40);
  const int32_t rgb = cmyk.RGB();
  cCMY plain = cmyk.ToCMY();
  EXPECT_EQ(plain.RGB(), rgb);
  cmyk.SetK(0);
  EXPECT_EQ(cmyk.R(), 245) << "writing an ink recomputes the RGB side";
}

TEST(ColourHSL, SextantHueAndEdgeValues) {
  cImaging im;
  float h, s, l;
  im.ColorRGBtoHSL(255, 0, 255, h, s, l);
  EXPECT_FLOAT_EQ(h, -1.0f) << "magenta is -1, not 5";
  EXPECT_FLOAT_EQ(s, 1.0f);
  EXPECT_FLOAT_EQ(l, 0.5f);
  im.ColorRGBtoHSL(128, 128, 128, h, s, l);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(s, 0.0f);
  EXPECT_FLOAT_EQ(l, 128.0f / 255.0f);
  im.ColorRGBtoHSLl(0x100 + 0, 255, 0, h, s, l);  // low bytes: pure green
  EXPECT_FLOAT_EQ(h, 2.0f);
  im.ColorRGBtoHSL(0, 0, 255, h, s, l);
  EXPECT_FLOAT_EQ(h, 4.0f);

  uint8_t r, g, b;
  im.ColorHSLtoRGB(-1, 1, 0.5f, r, g, b);
  EXPECT_EQ((std::array{r, g, b}), (std::array<uint8_t, 3>{255, 0, 255}));
  int32_t lr, lg, lb;
  im.ColorHSLtoRGBl(0, 0, 0.5f, lr, lg, lb);  // 127.5 rounds to even
  EXPECT_EQ((std::array{lr, lg, lb}), (std::array{128, 128, 128}));
}

TEST(ColourHSL, RoundTripOverAColourLattice) {
  // Every colour of a lattice through HSL and back: a wrong sextant or table row shows up as a
  // changed channel.
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 17)
      for (int b = 0; b < 256; b += 15) {
        const HSL hsl = RGBToHSL(r, g, b);
        ASSERT_GE(hsl.hue, -1.0f);
        ASSERT_LT(hsl.hue, 5.0f);
        const RGBBytes back = HSLToRGB(hsl.hue, hsl.saturation, hsl.lightness);
        ASSERT_EQ((std::array<int, 3>{back.red, back.green, back.blue}), (std::array<int, 3>{r, g, b}))
            << "hue " << hsl.hue << " s " << hsl.saturation << " l " << hsl.lightness;
      }
}

TEST(ColourHSL, OverflowIsRaisedAndLeavesTheOutputs) {
  cImaging im;
  uint8_t r = 1, g = 2, b = 3;
  EXPECT_THROW(im.ColorHSLtoRGB(0, 0, 1.5f, r, g, b), std::overflow_error);
  EXPECT_THROW(im.ColorHSLtoRGB(0, 2.0f, 0.6f, r, g, b), std::overflow_error);
  EXPECT_THROW(im.ColorHSLtoRGB(8.0f, 1, 0.5f, r, g, b), std::overflow_error);
  EXPECT_EQ((std::array{r, g, b}), (std::array<uint8_t, 3>{1, 2, 3}));
  EXPECT_NO_THROW(im.ColorHSLtoRGB(0, 0, 1.0f + 0.5f / 255.0f - 1e-6f, r, g, b)) << "rounds down to 255";
}

TEST(ColourHSL, TypeLibraryTurnsRaisedErrorsIntoErrorResults) {
  cImaging im;
  const dispatch::Catalog& catalog = dispatch::Catalog::Instance();
  std::vector<Variant> args{Variant(0.0f), Variant(0.0f), Variant(3.0f), Variant(int32_t{0}), Variant(int32_t{0}),
                            Variant(int32_t{0})};
  InvokeResult overflow = dispatch::InvokeMethod(catalog, im, "ColorHSLtoRGBl", args);
  EXPECT_FALSE(overflow.ok());
  std::vector<Variant> negative{Variant(int16_t{-1}), Variant(int16_t{0}), Variant(int16_t{0})};
  EXPECT_FALSE(dispatch::InvokeMethod(catalog, im, "GetRGB", negative).ok());
  std::vector<Variant> fine{Variant(int16_t{1}), Variant(int16_t{0}), Variant(int16_t{0})};
  InvokeResult one = dispatch::InvokeMethod(catalog, im, "GetRGB", fine);
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(one.value.ToLong(), 1);
}

}  // namespace
}  // namespace tessivo
