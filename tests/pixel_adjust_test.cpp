// Colour adjustments: the documented values, saturation of huge parameters, refused
// parameters, the channel orders by their names, and the pixel formats they run on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "pixel/adjust/contrast_spill.h"
#include "support/pixel_images.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

TEST(Adjust, NeutralParametersAndDocumentedValues) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(7 * 5);
  for (auto run : {+[](cImaging& i) { return i.SetBrightness(0); }, +[](cImaging& i) { return i.SetContrast(0); },
                   +[](cImaging& i) { return i.SetSaturation(0); }, +[](cImaging& i) { return i.AdjustRGB(0, 0, 0); },
                   +[](cImaging& i) { return i.SetGammaCorrection(100); },
                   +[](cImaging& i) { return i.ScaleGreenComponent(1.0f); }}) {
    MakeImage(im, 7, 5, px);
    ASSERT_EQ(run(im), OK);
    EXPECT_EQ(Pixels(im), px);
  }
  MakeImage(im, 7, 5, px);
  ASSERT_EQ(im.SetBrightness(-100), OK);
  for (uint32_t v : Pixels(im)) EXPECT_EQ(v, kBlack);

  // Brightness 50: 101 * 1.5 = 151.5 rounds to even (152), 3 * 1.5 = 4.5 to 4.
  MakeImage(im, 1, 1, {Rgb(101, 3, 200)});
  ASSERT_EQ(im.SetBrightness(50), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(152, 4, 255));

  MakeImage(im, 2, 1, {Grey(64), Rgb(0, 255, 1)});
  ASSERT_EQ(im.SetGammaCorrection(200), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Grey(128));
  EXPECT_EQ(PixelAt(im, 1, 0), Rgb(0, 255, 16)) << "round(255 * sqrt(1/255))";
  MakeImage(im, 1, 1, {Grey(64)});
  ASSERT_EQ(im.SetGammaCorrection(0), OK) << "0 counts as 1";
  EXPECT_EQ(PixelAt(im, 0, 0), Grey(0));

  MakeImage(im, 1, 1, {Argb(77, 30, 60, 120)});
  ASSERT_EQ(im.SetSaturation(-100), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(77, 70, 70, 70)) << "grey at the sum div 3, alpha kept";
}

TEST(Adjust, ContrastSpillsTheExcessIntoTheOtherChannels) {
  // (250 + 10 + 10) div 3 = 90 and a grey of 90: the zone's mean is 90.
  cImaging im;
  MakeImage(im, 2, 1, {Rgb(250, 10, 10), Grey(90)});
  ASSERT_EQ(im.SetContrast(100), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(255, 7, 7));
  EXPECT_EQ(PixelAt(im, 1, 0), Grey(90));

  EXPECT_EQ(SpillIntoRange(410, -70, -70).red, 255);
  const SpilledRGB s = SpillIntoRange(300, 300, 0);  // red, then green, spill into blue
  EXPECT_EQ(s.red, 255);
  EXPECT_EQ(s.green, 255);
  EXPECT_EQ(s.blue, 86);
  const SpilledRGB dark = SpillIntoRange(0, -5, 0);
  EXPECT_EQ(dark.red + dark.green + dark.blue, 0);
  // Values far beyond 32 bits end in range (the rounds are bounded).
  const SpilledRGB huge = SpillIntoRange(int64_t{1} << 45, -(int64_t{1} << 45), 3);
  EXPECT_GE(huge.green, 0);
  EXPECT_LE(huge.red, 255);

  // Extreme percentages saturate instead of wrapping around 2^31.
  const std::vector<uint32_t> px = {Rgb(10, 200, 90), Rgb(100, 101, 99), Rgb(255, 0, 128)};
  MakeImage(im, 3, 1, px);
  ASSERT_EQ(im.SetContrast(std::numeric_limits<int32_t>::max()), OK);
  // Mean (100 + 100 + 127) div 3 = 109: every channel of the middle pixel lies below it.
  EXPECT_EQ(PixelAt(im, 1, 0), kBlack);
  const uint32_t last = PixelAt(im, 2, 0);
  EXPECT_EQ(last & 0xFF00FFu, 0xFF00FFu) << "red and blue above the mean saturate";
}

TEST(Adjust, HugeParametersSaturate) {
  cImaging im;
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
  MakeImage(im, 1, 1, {Argb(128, 1, 0, 200)});
  ASSERT_EQ(im.SetBrightness(kMax), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(128, 255, 0, 255));
  ASSERT_EQ(im.SetBrightness(kMin), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(128, 0, 0, 0));
  MakeImage(im, 1, 1, {Argb(128, 1, 2, 200)});
  ASSERT_EQ(im.AdjustRGB(kMax, kMin, 0), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(128, 255, 0, 200));
  MakeImage(im, 1, 1, {Rgb(100, 90, 80)});
  ASSERT_EQ(im.SetSaturation(kMax), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(255, 90, 0));
  ASSERT_EQ(im.SetTransparency(-300), OK);
  EXPECT_EQ(PixelAt(im, 0, 0) >> 24, 0u);
  ASSERT_EQ(im.SetTransparency(kMax), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(255, 90, 0));
  ASSERT_EQ(im.SetGammaCorrection(kMax), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(255, 255, 0));
}

TEST(Adjust, RefusedParametersChangeNothing) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(4 * 3);
  MakeImage(im, 4, 3, px);
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(im.SetGammaCorrection(-50), InvalidParameter);
  for (float bad : {nan, inf, -inf}) {
    EXPECT_EQ(im.ScaleRedComponent(bad), InvalidParameter);
    EXPECT_EQ(im.ScaleGreenComponent(bad), InvalidParameter);
    EXPECT_EQ(im.ScaleBlueComponent(bad), InvalidParameter);
    EXPECT_EQ(im.SetTransparencyColorEx(0, bad), InvalidParameter);
    EXPECT_EQ(im.SwapColorEx(0, 0, bad), InvalidParameter);
  }
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(Pixels(im), px);

  cImaging none;
  EXPECT_EQ(none.SetGammaCorrection(-50), GenericError) << "no image comes first";
  EXPECT_EQ(none.SetBrightness(10), GenericError);
  EXPECT_EQ(none.GetStat(), GenericError);
  none.SetNativeImage(424242);
  EXPECT_EQ(none.SwapColorsRGBtoBGR(), InvalidParameter);
}

TEST(Adjust, ChannelScalesClampAtZeroAndMasks) {
  cImaging im;
  MakeImage(im, 1, 1, {Argb(9, 100, 101, 102)});
  ASSERT_EQ(im.ScaleRedComponent(-2.0f), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(9, 0, 101, 102)) << "a negative factor clamps at 0";
  ASSERT_EQ(im.ScaleGreenComponent(2.5f), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(9, 0, 252, 102)) << "252.5 rounds to even";
  ASSERT_EQ(im.ScaleBlueComponent(1e30f), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(9, 0, 252, 255));

  const uint32_t c = Argb(200, 10, 20, 30);
  const std::pair<TessivoStatus (cImaging::*)(), uint32_t> masks[] = {
      {&cImaging::KeepRedComponent, Argb(200, 10, 0, 0)},    {&cImaging::KeepGreenComponent, Argb(200, 0, 20, 0)},
      {&cImaging::KeepBlueComponent, Argb(200, 0, 0, 30)},   {&cImaging::RemoveRedComponent, Argb(200, 0, 20, 30)},
      {&cImaging::RemoveGreenComponent, Argb(200, 10, 0, 30)}, {&cImaging::RemoveBlueComponent, Argb(200, 10, 20, 0)}};
  for (const auto& [method, expected] : masks) {
    MakeImage(im, 1, 1, {c});
    ASSERT_EQ((im.*method)(), OK);
    EXPECT_EQ(PixelAt(im, 0, 0), expected);
  }
}

TEST(Adjust, ChannelOrdersFollowTheirNames) {
  // (red, green, blue) = (1, 2, 3); the name says which source channel lands in red, green, blue.
  const std::pair<TessivoStatus (cImaging::*)(), uint32_t> orders[] = {
      {&cImaging::SwapColorsRGBtoBRG, Rgb(2, 3, 1)},  // as documented: red <- green ...
      {&cImaging::SwapColorsRGBtoGBR, Rgb(3, 1, 2)},
      {&cImaging::SwapColorsRGBtoRBG, Rgb(1, 3, 2)},  // green <-> blue
      {&cImaging::SwapColorsRGBtoBGR, Rgb(3, 2, 1)},
      {&cImaging::SwapColorsRGBtoGRB, Rgb(2, 1, 3)},  // red <-> green
  };
  cImaging im;
  for (const auto& [method, expected] : orders) {
    MakeImage(im, 1, 1, {Rgb(1, 2, 3)});
    ASSERT_EQ((im.*method)(), OK);
    EXPECT_EQ(PixelAt(im, 0, 0), expected);
  }
}

TEST(Adjust, TransparencyColoursAndColourSwaps) {
  cImaging im;
  const uint32_t key = Rgb(100, 100, 100);
  MakeImage(im, 4, 1, {Argb(10, 100, 100, 100), Rgb(150, 150, 100), Rgb(150, 151, 100), Rgb(100, 100, 101)});
  ASSERT_EQ(im.SetTransparencyColor(static_cast<int32_t>(key)), OK);  // distance 100
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(0, 100, 100, 100), Argb(0, 150, 150, 100),
                                               Rgb(150, 151, 100), Argb(0, 100, 100, 101)}));
  MakeImage(im, 2, 1, {Argb(10, 100, 100, 100), Rgb(100, 100, 101)});
  ASSERT_EQ(im.SetTransparencyColorEx(static_cast<int32_t>(key), 0.4f), OK) << "0.4 rounds to 0: exact colour";
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(0, 100, 100, 100), Rgb(100, 100, 101)}));

  const uint32_t dst = Argb(7, 1, 2, 3);
  MakeImage(im, 3, 1, {Argb(205, 100, 100, 100), Argb(255, 100, 100, 100), Argb(154, 100, 100, 99)});
  ASSERT_EQ(im.SwapColor(static_cast<int32_t>(key), static_cast<int32_t>(dst)), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{dst, dst, Argb(154, 100, 100, 99)})) << "alpha counts in the distance";
  MakeImage(im, 2, 1, {Argb(254, 100, 100, 100), key});
  ASSERT_EQ(im.SwapColorEx(static_cast<int32_t>(key), static_cast<int32_t>(dst), 0), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(254, 100, 100, 100), dst})) << "k = 0: all four bytes";
}

TEST(Adjust, StretchAndEqualize) {
  cImaging im;
  MakeImage(im, 3, 1, {Rgb(50, 7, 0), Rgb(100, 7, 128), Rgb(150, 7, 255)});
  ASSERT_EQ(im.FxStretchContrast(), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Rgb(0, 7, 0), Rgb(128, 7, 128), Rgb(255, 7, 255)}))
      << "127.5 rounds to even; a flat channel stays";

  // Greys 0, 0, 100, 200: cumulative 2, 3, 4 of 4 -> 127.5 (128), 191.25 (191), 255.
  MakeImage(im, 4, 1, {Grey(0), Grey(0), Rgb(99, 100, 101), Grey(200)});
  ASSERT_EQ(im.FxEqualizeIntensity(), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Grey(128), Grey(128), Rgb(128, 191, 191), Grey(255)}))
      << "the grey table maps each channel on its own";
}

TEST(Adjust, EqualizeCountsBeyondThirtyTwoBits) {
  // 3000 x 3000 black pixels: cumulative * 255 is about 2.3e9, past 2^31.
  cImaging im;
  ASSERT_NE(im.CreateNewImage(3000, 3000, 24), 0);
  ASSERT_EQ(im.FxEqualizeIntensity(), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), kWhite);
  EXPECT_EQ(PixelAt(im, 2999, 2999), kWhite);
}

TEST(Adjust, ZoneConfinesTheChange) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(5 * 4);
  MakeImage(im, 5, 4, px);
  ASSERT_EQ(im.SetROI(1, 1, 2, 2), OK);
  ASSERT_EQ(im.SetBrightness(-100), OK);
  const std::vector<uint32_t> out = Pixels(im);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
      EXPECT_EQ(out[y * 5 + x], inside ? kBlack : px[y * 5 + x]) << x << "," << y;
    }
  ASSERT_EQ(im.SetROI(4, 3, 5, 5), OK);
  EXPECT_EQ(im.KeepRedComponent(), InvalidParameter) << "a zone outside the image";
  EXPECT_EQ(PixelAt(im, 4, 3), px[19]);
}

TEST(Adjust, EveryPixelFormat) {
  // KeepGreen on white gives pure green, which every format holds exactly; 1 bpp and grey
  // palettes are written by the blue byte, so they turn black.
  struct Case {
    const char* name;
    TessivoStatus (cImaging::*convert)();
    int16_t depth;
    uint32_t expected;
  };
  const Case cases[] = {
      {"1 bpp", nullptr, 1, kBlack},
      {"8 bpp grey", &cImaging::ConvertTo8BppGrayScale, 32, kBlack},
      {"16 bpp", nullptr, 16, Rgb(0, 255, 0)},
      {"24 bpp", nullptr, 24, Rgb(0, 255, 0)},
      {"32 bpp", nullptr, 32, Rgb(0, 255, 0)},
      {"PARGB", &cImaging::ConvertTo32BppPARGB, 32, Rgb(0, 255, 0)},
      {"48 bpp", nullptr, 48, Rgb(0, 255, 0)},
      {"64 bpp", nullptr, 64, Rgb(0, 255, 0)},
  };
  for (const Case& c : cases) {
    cImaging im;
    ASSERT_NE(im.CreateNewImage(3, 2, c.depth, static_cast<int32_t>(kWhite)), 0) << c.name;
    if (c.convert) ASSERT_EQ((im.*c.convert)(), OK) << c.name;
    ASSERT_EQ(im.KeepGreenComponent(), OK) << c.name;
    EXPECT_EQ(PixelAt(im, 2, 1), c.expected) << c.name;
  }

  // A colour palette: brightness changes the entries, the indices stay.
  cImaging im;
  const int32_t id = im.CreateNewImage(2, 1, 8, static_cast<int32_t>(0xFFFF0000u));
  const platform::Palette before = ResolveImage(id)->GetPalette();
  ASSERT_EQ(im.SetBrightness(-50), OK);
  const platform::Palette after = ResolveImage(id)->GetPalette();
  ASSERT_EQ(after.entries.size(), before.entries.size());
  for (size_t i = 0; i < before.entries.size(); ++i) {
    const uint32_t e = before.entries[i];
    const uint32_t half = (e & 0xFF000000u) | static_cast<uint32_t>(std::nearbyint(((e >> 16) & 0xFF) / 2.0)) << 16 |
                          static_cast<uint32_t>(std::nearbyint(((e >> 8) & 0xFF) / 2.0)) << 8 |
                          static_cast<uint32_t>(std::nearbyint((e & 0xFF) / 2.0));
    EXPECT_EQ(after.entries[i], half) << "entry " << i;
  }
  EXPECT_EQ(PixelAt(im, 0, 0), Argb(255, 128, 0, 0));
}

}  // namespace
}  // namespace tessivo
