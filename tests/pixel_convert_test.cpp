#include <gtest/gtest.h>

#include <vector>

#include "core/image_registry.h"
#include "pixel/index_rules.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

struct Bgra {
  uint8_t b, g, r, a;
};

// Runs `rule` over one row of pixels and returns the index bytes.
template <typename Rule>
std::vector<uint8_t> OneRow(const std::vector<Bgra>& pixels, Rule rule) {
  std::vector<uint8_t> in;
  for (const Bgra& p : pixels) in.insert(in.end(), {p.b, p.g, p.r, p.a});
  const int32_t width = static_cast<int32_t>(pixels.size());
  std::vector<uint8_t> out(static_cast<size_t>(PaddedStride(width, 8)), 0xEE);
  rule(PixelRows{in.data(), width, 1, 4 * width}, IndexRows{out.data(), static_cast<int32_t>(out.size())});
  return out;
}

Bgra Rgb(uint8_t r, uint8_t g, uint8_t b) { return {b, g, r, 255}; }

TEST(IndexRules, OneBitThresholdsAndBitOrder) {
  const std::vector<Bgra> row = {Rgb(126, 126, 126), Rgb(255, 255, 125), Rgb(255, 255, 255),
                                 Rgb(0, 0, 0),       Rgb(200, 200, 200), {255, 255, 255, 0},
                                 Rgb(254, 255, 255), Rgb(255, 255, 255), Rgb(130, 130, 130)};
  // Threshold rule: white when all three channels are 126 or more (alpha ignored).
  const std::vector<uint8_t> threshold = OneRow(row, ThresholdTo1Bpp);
  EXPECT_EQ(threshold[0], 0b10101111);
  EXPECT_EQ(threshold[1], 0b10000000);
  // Fast rule: only opaque pure white is white.
  const std::vector<uint8_t> fast = OneRow(row, OpaqueWhiteTo1Bpp);
  EXPECT_EQ(fast[0], 0b00100001);
  EXPECT_EQ(fast[1], 0b00000000);
}

TEST(IndexRules, GreyIndicesRoundToNearest) {
  const std::vector<Bgra> row = {Rgb(0, 0, 2), Rgb(1, 1, 2), Rgb(0, 255, 0), Rgb(255, 255, 255),
                                 Rgb(0, 0, 1), Rgb(10, 20, 40)};
  const std::vector<uint8_t> average = OneRow(row, AverageToGray);
  EXPECT_EQ(std::vector<uint8_t>(average.begin(), average.begin() + 6), (std::vector<uint8_t>{1, 1, 85, 255, 0, 23}));
  const std::vector<uint8_t> weighted = OneRow(row, WeightedToGray);
  // green: 180.285 -> 180; (10,20,40): 19.2 -> 19; (0,0,2): 0.142 -> 0.
  EXPECT_EQ(weighted[2], 180);
  EXPECT_EQ(weighted[3], 255);
  EXPECT_EQ(weighted[5], 19);
  EXPECT_EQ(weighted[0], 0);
  const std::vector<uint8_t> blue = OneRow(row, BlueToGray);
  EXPECT_EQ(blue[5], 40);

  const platform::Palette grey = GrayPalette();
  ASSERT_EQ(grey.entries.size(), 256u);
  EXPECT_EQ(grey.flags, 2u);
  EXPECT_EQ(grey.entries[128], 0xFF808080u);
}

TEST(IndexRules, WeightedGreyTiesGoToEven) {
  // 222·r + 707·g + 71·b = k·1000 + 500 gives a tie: r = 0, g = 0 cannot, so search one.
  for (uint32_t r = 0; r < 256; ++r)
    for (uint32_t b = 0; b < 256; ++b) {
      const uint32_t sum = 222 * r + 71 * b;
      if (sum % 1000 != 500) continue;
      const uint8_t index = OneRow({Rgb(static_cast<uint8_t>(r), 0, static_cast<uint8_t>(b))}, WeightedToGray)[0];
      const uint32_t low = sum / 1000;
      EXPECT_EQ(index, low % 2 == 0 ? low : low + 1) << r << "," << b;
      return;
    }
  FAIL() << "no tie found";
}

TEST(IndexRules, ColourCubeIndexAndPalette) {
  const std::vector<uint8_t> index = OneRow({Rgb(25, 26, 127), Rgb(255, 255, 255), Rgb(0, 0, 0)}, CubeIndex216);
  EXPECT_EQ(index[0], 78);  // q(red) 0, q(green) 1, q(blue) 2
  EXPECT_EQ(index[1], 215);
  EXPECT_EQ(index[2], 0);
  const platform::Palette cube = CubePalette216();
  ASSERT_EQ(cube.entries.size(), 216u);
  EXPECT_EQ(cube.flags, 4u);
  EXPECT_EQ(cube.entries[78], 0xFF003366u);  // r 0, g 1, b 2 -> (0, 51, 102)
}

TEST(IndexRules, FourBitNearestEntry) {
  const std::vector<uint32_t> fixed = Fixed16Palette().entries;
  ASSERT_EQ(fixed.size(), 16u);
  const std::vector<uint8_t> packed =
      OneRow({Rgb(100, 100, 100), Rgb(255, 255, 255), Rgb(0, 0, 200), Rgb(190, 190, 190), Rgb(96, 96, 96)},
             [&](const PixelRows& in, const IndexRows& out) { NearestTo4Bpp(in, out, fixed); });
  EXPECT_EQ(packed[0], 0x7F);  // (128,128,128), then white
  EXPECT_EQ(packed[1], 0x98);  // (0,0,255), then (192,192,192)
  // (96,96,96) is equally far from black... no: 3·96² vs 3·32²: grey 7 wins; high nibble only.
  EXPECT_EQ(packed[2], 0x70);

  // A tie between two caller entries goes to the first; extra entries past 16 are ignored.
  std::vector<uint32_t> caller = {0xFF000000u, 0xFF0A0A0Au, 0xFF000000u};
  const std::vector<uint8_t> tie = OneRow({Rgb(5, 5, 5), Rgb(0, 0, 0)},
                                          [&](const PixelRows& in, const IndexRows& out) { NearestTo4Bpp(in, out, caller); });
  EXPECT_EQ(tie[0], 0x00);
}

// A native 32bppARGB image of `width` x `height` holding `argb` row by row (repeated as needed).
int32_t NativeImage(cImaging& im, int32_t width, int32_t height, const std::vector<uint32_t>& argb) {
  const int32_t id = im.CreateNewImage(width, height, 32);
  platform::Bitmap* bitmap = ResolveImage(id);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      reinterpret_cast<uint32_t*>(bitmap->Row(y))[x] = argb[static_cast<size_t>(y * width + x) % argb.size()];
  return id;
}

platform::Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

uint32_t PixelAt(cImaging& im, int32_t x, int32_t y) {
  uint32_t argb = 0;
  EXPECT_EQ(Native(im).GetPixel(x, y, argb), platform::Status::Ok);
  return argb;
}

TEST(ConvertMethods, NeedANativeImage) {
  cImaging im;
  EXPECT_EQ(im.ConvertTo1Bpp(), GenericError);
  EXPECT_EQ(im.Quantize8Bpp(256), GenericError);
  EXPECT_EQ(im.ColorPaletteGetColorsCount(), 0);
  EXPECT_EQ(im.GetStat(), GenericError);
  im.SetNativeImage(4242);
  EXPECT_EQ(im.ConvertTo24BppRGB(), InvalidParameter);
  EXPECT_EQ(im.ColorPaletteConvertToHalftone(), InvalidParameter);
}

TEST(ConvertMethods, ReplaceTheNativeImageKeepingResolutionAndProperties) {
  cImaging im;
  const int32_t id = NativeImage(im, 10, 3, {0xFFFFFFFFu, 0xFF7E7E7Eu, 0xFFFFFF7Du, 0x00FFFFFFu});
  ASSERT_EQ(Native(im).SetResolution(300.0f, 150.0f), platform::Status::Ok);
  ASSERT_EQ(Native(im).SetProperty({0x010F, 2, {'T', 0}}), platform::Status::Ok);

  EXPECT_EQ(im.ConvertTo1Bpp(), OK);
  EXPECT_EQ(im.GetNativeImage(), id);
  platform::Bitmap& bilevel = Native(im);
  EXPECT_EQ(bilevel.Format(), platform::kPixelFormat1bppIndexed);
  EXPECT_EQ(bilevel.GetPalette().entries, (std::vector<uint32_t>{0xFF000000u, 0xFFFFFFFFu}));
  EXPECT_EQ(bilevel.Row(0)[0], 0b11011101);  // 126 grey white, (255,255,125) black, alpha ignored
  EXPECT_EQ(bilevel.HorizontalResolution(), 300.0f);
  EXPECT_EQ(bilevel.VerticalResolution(), 150.0f);
  ASSERT_EQ(bilevel.Properties().size(), 1u);
  EXPECT_EQ(bilevel.Properties()[0].id, 0x010Fu);

  NativeImage(im, 4, 1, {0xFFFFFFFFu, 0xFFFEFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu});
  EXPECT_EQ(im.ConvertTo1BppFast(), OK);
  EXPECT_EQ(Native(im).Row(0)[0], 0b10010000);
}

TEST(ConvertMethods, OwnEightAndFourBitRules) {
  cImaging im;
  const std::vector<uint32_t> pixels = {0xFF000002u, 0xFF00FF00u, 0xFF191A7Fu, 0xFF646464u};
  NativeImage(im, 4, 1, pixels);
  EXPECT_EQ(im.ConvertTo8BppGrayScale(), OK);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat8bppIndexed);
  EXPECT_EQ(im.ColorPaletteGetType(), ColorPaletteTypeGrayScale);
  EXPECT_EQ(Native(im).Row(0)[0], 1);

  NativeImage(im, 4, 1, pixels);
  EXPECT_EQ(im.ConvertTo8BppGrayScaleAdv(), OK);
  EXPECT_EQ(Native(im).Row(0)[1], 180);

  NativeImage(im, 4, 1, pixels);
  EXPECT_EQ(im.ConvertTo8Bpp216(), OK);
  EXPECT_EQ(im.ColorPaletteGetColorsCount(), 216);
  EXPECT_EQ(im.ColorPaletteGetType(), ColorPaletteTypeHalfTone);
  EXPECT_EQ(Native(im).Row(0)[2], 78);

  NativeImage(im, 4, 1, pixels);
  EXPECT_EQ(im.ConvertTo4Bpp16(), OK);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat4bppIndexed);
  EXPECT_EQ(Native(im).Row(0)[1] & 0x0F, 7);  // (100,100,100) -> (128,128,128)

  NativeImage(im, 4, 1, pixels);
  EXPECT_EQ(im.ConvertTo4BppPal(SafeArray<int32_t>()), InvalidParameter);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat32bppARGB) << "unchanged on failure";
  EXPECT_EQ(im.ConvertTo4BppPal(SafeArray<int32_t>::FromVector({static_cast<int32_t>(0xFF000000u), static_cast<int32_t>(0xFF00FF00u)}, 1)), OK);
  EXPECT_EQ(im.ColorPaletteGetColorsCount(), 2);
  EXPECT_EQ(Native(im).Row(0)[0], 0x01);  // black, then green
}

TEST(ConvertMethods, BitonalToGreyKeepsTheSoftenedLevels) {
  cImaging im;
  const int32_t id = im.CreateNewImage(5, 5, 1, static_cast<int32_t>(0xFFFFFFFFu));
  ResolveImage(id)->Row(2)[0] = 0xDF;  // pixel (2, 2) black
  EXPECT_EQ(im.ConvertBitonalToGrayScale(105), GenericError);  // division by zero in the filter
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat1bppIndexed) << "unchanged on failure";

  EXPECT_EQ(im.ConvertBitonalToGrayScale(), OK);
  platform::Bitmap& grey = Native(im);
  EXPECT_EQ(grey.Format(), platform::kPixelFormat8bppIndexed);
  EXPECT_EQ(im.ColorPaletteGetType(), ColorPaletteTypeGrayScale);
  // (up + down + left + right + c) div 5, in place: above and left of the dot see it still black.
  EXPECT_EQ(grey.Row(1)[2], 204);
  EXPECT_EQ(grey.Row(2)[1], 204);
  EXPECT_EQ(grey.Row(2)[2], 183);
  EXPECT_EQ(grey.Row(0)[0], 255);
}

TEST(ConvertMethods, PlatformConversions) {
  cImaging im;
  NativeImage(im, 3, 2, {0xFF102030u, 0x80FF0000u});
  EXPECT_EQ(im.ConvertTo24BppRGB(), OK);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat24bppRGB);
  EXPECT_EQ(PixelAt(im, 0, 0), 0xFF102030u);
  EXPECT_EQ(im.ConvertTo64BppARGB(), OK);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat64bppPARGB);
  EXPECT_EQ(im.ConvertTo16BppRGB565(), OK);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat16bppRGB565);

  EXPECT_EQ(im.ConvertToPixelFormatCR(12), InvalidParameter);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat16bppRGB565);
  const std::pair<int32_t, platform::PixelFormat> depths[] = {
      {4, platform::kPixelFormat4bppIndexed},  {8, platform::kPixelFormat8bppIndexed},
      {1, platform::kPixelFormat1bppIndexed},  {16, platform::kPixelFormat16bppRGB555},
      {32, platform::kPixelFormat32bppARGB},   {48, platform::kPixelFormat48bppRGB},
      {64, platform::kPixelFormat64bppPARGB},  {24, platform::kPixelFormat24bppRGB}};
  for (auto [depth, format] : depths) {
    EXPECT_EQ(im.ConvertToPixelFormatCR(depth), OK) << depth;
    EXPECT_EQ(Native(im).Format(), format) << depth;
  }
}

TEST(ConvertMethods, QuantizationClampsTheColourCount) {
  cImaging im;
  std::vector<uint32_t> many;
  for (uint32_t i = 0; i < 4096; ++i) many.push_back(0xFF000000u | (i * 0x9E3779B1u >> 8));
  NativeImage(im, 64, 64, many);
  EXPECT_EQ(im.Quantize8Bpp(300), OK);
  EXPECT_LE(im.ColorPaletteGetColorsCount(), 256);
  EXPECT_GT(im.ColorPaletteGetColorsCount(), 8);

  NativeImage(im, 64, 64, many);
  EXPECT_EQ(im.Quantize8Bpp(2), OK);
  EXPECT_LE(im.ColorPaletteGetColorsCount(), 8);

  NativeImage(im, 64, 64, many);
  EXPECT_EQ(im.ConvertTo4BppQ(), OK);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat4bppIndexed);
  EXPECT_LE(im.ColorPaletteGetColorsCount(), 16);

  const std::vector<uint32_t> five = {0xFF0A141Eu, 0xFFC80A0Au, 0xFF000000u, 0xFFFFFFFFu, 0xFF5A5B5Cu};
  NativeImage(im, 7, 3, five);
  EXPECT_EQ(im.ConvertTo8BppQ(), OK);
  SafeArray<int32_t> palette;
  int32_t count = 0;
  EXPECT_EQ(im.ColorPaletteGet(palette, count), OK);
  ASSERT_EQ(count, 5);
  for (int32_t i = 0; i < 21; ++i) EXPECT_EQ(PixelAt(im, i % 7, i / 7), five[static_cast<size_t>(i) % 5]);
}

TEST(PaletteMethods, DirectColourImagesAreNotIndexed) {
  cImaging im;
  NativeImage(im, 2, 2, {0xFF000000u});
  SafeArray<int32_t> palette;
  int32_t count = -1;
  EXPECT_EQ(im.ColorPaletteGet(palette, count), NotIndexedPixelFormat);
  EXPECT_EQ(im.ColorPaletteSet(SafeArray<int32_t>::FromVector({1})), NotIndexedPixelFormat);
  EXPECT_EQ(im.ColorPaletteGetType(), ColorPaletteTypeUndefined);
  EXPECT_EQ(im.GetStat(), NotIndexedPixelFormat);
  EXPECT_EQ(im.ColorPaletteSwapEntries(0, 1), NotIndexedPixelFormat);
  EXPECT_EQ(im.ColorPaletteConvertToHalftone(), NotIndexedPixelFormat);
  EXPECT_EQ(im.ColorPaletteSetTransparentColor(), NotIndexedPixelFormat);
  EXPECT_FALSE(im.ColorPaletteHasTransparentColor());
  EXPECT_EQ(im.GetStat(), NotIndexedPixelFormat);
}

TEST(PaletteMethods, ReadAndChangeEntries) {
  cImaging im;
  im.CreateNewImage(4, 4, 8);
  const auto red = static_cast<int32_t>(0xFFFF0000u), blue = static_cast<int32_t>(0xFF0000FFu);
  EXPECT_EQ(im.ColorPaletteSet(SafeArray<int32_t>::FromVector({red, blue, red}, 1)), OK);
  EXPECT_EQ(im.ColorPaletteGetColorsCount(), 3);
  EXPECT_EQ(im.ColorPaletteGetEntrie(1), blue);
  EXPECT_EQ(im.ColorPaletteGetEntrie(3), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.ColorPaletteSet(SafeArray<int32_t>()), InvalidParameter);

  EXPECT_EQ(im.ColorPaletteSwapEntries(0, 1), OK);
  EXPECT_EQ(im.ColorPaletteGetEntrie(0), blue);
  EXPECT_EQ(im.ColorPaletteSwapEntries(0, 3), InvalidParameter);
  EXPECT_EQ(im.ColorPaletteSwapEntries(-1, 0), InvalidParameter);

  const ColorPaletteType before = im.ColorPaletteGetType();
  EXPECT_EQ(im.ColorPaletteConvertToHalftone(), OK);
  EXPECT_EQ(im.ColorPaletteGetType(), before | ColorPaletteTypeHalfTone);

  EXPECT_FALSE(im.ColorPaletteHasTransparentColor());
  EXPECT_EQ(im.ColorPaletteGetTransparentColor(), -1);
  EXPECT_EQ(im.ColorPaletteSetTransparentColor(static_cast<int32_t>(0xFF00FF00u)), InvalidParameter);
  EXPECT_EQ(im.ColorPaletteSetTransparentColor(red), OK);
  EXPECT_TRUE(im.ColorPaletteHasTransparentColor());
  EXPECT_EQ(im.ColorPaletteGetTransparentColor(), 0x00FF0000);
  EXPECT_EQ(im.ColorPaletteGetEntrie(1), 0x00FF0000) << "the first red entry";
  EXPECT_EQ(im.ColorPaletteGetEntrie(2), red);
  EXPECT_TRUE(im.ColorPaletteGetType() & ColorPaletteTypeHasAlpha);

  SafeArray<int32_t> palette;
  int32_t count = 0;
  EXPECT_EQ(im.ColorPaletteGet(palette, count), OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(palette.LBound(), 0);
  EXPECT_EQ(palette(2), red);
}

}  // namespace
}  // namespace tessivo
