// Image analyses and histograms: their answers, their rectangles, and that they only read.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/pixel_images.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

std::vector<uint8_t> RawBytes(cImaging& im) {
  platform::Bitmap* image = ResolveImage(im.GetNativeImage());
  std::vector<uint8_t> bytes;
  for (int32_t y = 0; y < image->Height(); ++y) {
    const uint8_t* row = image->Row(y);
    bytes.insert(bytes.end(), row, row + (image->Width() * platform::BitsPerPixel(image->Format()) + 7) / 8);
  }
  return bytes;
}

TEST(Analysis, GreyBitonalCountAndAverage) {
  cImaging im;
  MakeImage(im, 3, 1, {kBlack, Grey(128), kWhite});
  EXPECT_TRUE(im.IsGrayscale());
  EXPECT_FALSE(im.IsBitonal());
  EXPECT_EQ(im.GetStat(), OK);
  MakeImage(im, 3, 1, {kBlack, Rgb(1, 1, 2), kWhite});
  EXPECT_FALSE(im.IsGrayscale());
  ASSERT_EQ(im.SetROI(2, 0, 1, 1), OK);
  EXPECT_TRUE(im.IsBitonal()) << "only the zone counts";
  EXPECT_TRUE(im.IsGrayscale());
  im.ResetROI();

  MakeImage(im, 4, 1, {Argb(1, 2, 3, 4), Argb(0, 2, 3, 4), Argb(1, 2, 3, 4), Argb(3, 0, 0, 0)});
  EXPECT_EQ(im.CountColor(static_cast<int32_t>(Argb(1, 2, 3, 4))), 2.0);
  EXPECT_EQ(im.CountColor(static_cast<int32_t>(Argb(2, 2, 3, 4))), 0.0) << "alpha differs";
  // Sums a 5, r 6, g 9, b 12 over 4: 1.25 -> 1, 1.5 -> 2, 2.25 -> 2, 3.
  EXPECT_EQ(static_cast<uint32_t>(im.GetAverageColor()), Argb(1, 2, 2, 3));
  MakeImage(im, 2, 1, {Argb(255, 255, 1, 0), Argb(254, 255, 2, 0)});
  EXPECT_EQ(static_cast<uint32_t>(im.GetAverageColor()), Argb(254, 255, 2, 0)) << "254.5 and 1.5 to even";

  cImaging none;
  EXPECT_FALSE(none.IsGrayscale());
  EXPECT_EQ(none.GetStat(), GenericError);
  EXPECT_EQ(none.CountColor(0), 0.0);
  EXPECT_EQ(none.GetAverageColor(), 0);
  none.SetNativeImage(424242);
  EXPECT_FALSE(none.IsBlank());
  EXPECT_EQ(none.GetStat(), InvalidParameter);
}

TEST(Analysis, BlankPagesByLightness) {
  // 220 x 220: the left 11 columns and bottom 11 rows are not examined, leaving 209 x 209 =
  // 43681 pixels. Dark pixels are drawn in the examined part.
  auto page = [](cImaging& im, int dark, int16_t depth) {
    std::vector<uint32_t> px(220 * 220, kWhite);
    for (int i = 0; i < 220 * 11; ++i) px[(i % 11) + 220 * (i / 11)] = kBlack;  // left strip
    for (int x = 0; x < 220; ++x)
      for (int y = 209; y < 220; ++y) px[y * 220 + x] = kBlack;  // bottom strip
    for (int i = 0; i < dark; ++i) px[(i / 209) * 220 + 11 + i % 209] = Rgb(0, 200, 0);  // grey 117
    MakeImage(im, 220, 220, px);
    if (depth == 1) EXPECT_EQ(im.ConvertTo1Bpp(), OK);
  };
  cImaging im;
  page(im, 218, 32);  // 0.4991 %: lightness 99.5
  EXPECT_TRUE(im.IsBlank(99));
  EXPECT_FALSE(im.IsBlank(100));
  EXPECT_EQ(im.GetStat(), OK);
  page(im, 437, 32);  // 1.0004 %: lightness 99.0, not above 99
  EXPECT_FALSE(im.IsBlank());
  EXPECT_TRUE(im.IsBlank(98));
  page(im, 437, 1);
  EXPECT_FALSE(im.IsBlank());
  page(im, 0, 1);
  EXPECT_TRUE(im.IsBlank()) << "the black edges lie outside the rectangle";
  ASSERT_EQ(im.SetROI(0, 0, 220, 220), OK);
  EXPECT_FALSE(im.IsBlank()) << "a region of interest replaces the rectangle";
}

TEST(Analysis, AnalysesChangeNoByte) {
  // 16-bit channels and palettes with duplicate entries would not survive a write through
  // 32-bit pixels.
  for (int16_t depth : {48, 64}) {
    cImaging im;
    MakeImage(im, 5, 3, NoisePixels(15), depth);
    platform::Bitmap* image = ResolveImage(im.GetNativeImage());
    for (int32_t y = 0; y < 3; ++y)  // low bytes no 8-bit value has
      for (int32_t i = 0; i < image->Stride(); i += 2) image->Row(y)[i] ^= 0x35;
    const std::vector<uint8_t> before = RawBytes(im);
    im.CountColor(0);
    im.GetAverageColor();
    im.IsGrayscale();
    im.IsBitonal();
    im.IsBlank();
    SafeArray<int32_t> a, r, g, b;
    EXPECT_EQ(im.HistogramGetARGB(a, r, g, b), OK);
    EXPECT_EQ(RawBytes(im), before) << depth << " bpp";
  }
  cImaging im;
  const int32_t id = im.CreateNewImage(4, 1, 8);
  platform::Palette twins;
  twins.entries = {kBlack, kWhite, kWhite, kBlack};
  ASSERT_EQ(ResolveImage(id)->SetPalette(twins), platform::Status::Ok);
  SafeArray<uint8_t> idx = SafeArray<uint8_t>::FromVector({0, 1, 2, 3});
  ASSERT_EQ(im.SetPixelArray8bpp1D(idx, 0, 0, 4, 1), OK);
  EXPECT_EQ(im.CountColor(static_cast<int32_t>(kWhite)), 2.0);
  im.GetAverageColor();
  EXPECT_EQ(RawBytes(im), (std::vector<uint8_t>{0, 1, 2, 3}));
}

TEST(Analysis, DistanceInInches) {
  cImaging im;
  EXPECT_EQ(im.GetDistance(0, 0, 3, 4), 0.0);
  EXPECT_EQ(im.GetStat(), GenericError);
  const int32_t id = im.CreateNewImage(10, 10, 24);
  ASSERT_EQ(ResolveImage(id)->SetResolution(300, 400), platform::Status::Ok);
  EXPECT_DOUBLE_EQ(im.GetDistance(0, 0, 900, 1600), 5.0);  // 3 and 4 inches
  EXPECT_EQ(im.GetStat(), OK);
}

TEST(Histogram, ChannelCountsOfTheZone) {
  cImaging im;
  MakeImage(im, 3, 2, {Argb(0, 1, 2, 3), Argb(0, 1, 2, 3), Argb(9, 4, 5, 6),  //
                       kWhite, kWhite, kBlack});
  SafeArray<int32_t> a, r, g, b;
  ASSERT_EQ(im.HistogramGetARGB(a, r, g, b), OK);
  for (const SafeArray<int32_t>* h : {&a, &r, &g, &b}) {
    ASSERT_EQ(h->dims(), 1);
    EXPECT_EQ(h->LBound(), 0);
    EXPECT_EQ(h->UBound(), 255);
  }
  EXPECT_EQ(a(0), 2);
  EXPECT_EQ(a(9), 1);
  EXPECT_EQ(a(255), 3);
  EXPECT_EQ(r(1), 2);
  EXPECT_EQ(r(4), 1);
  EXPECT_EQ(g(255), 2);
  EXPECT_EQ(b(0), 1);
  EXPECT_EQ(b(6), 1);

  ASSERT_EQ(im.SetROI(1, 0, 2, 2), OK);
  SafeArray<int32_t> red, alpha;
  ASSERT_EQ(im.HistogramGetRed(red), OK);
  EXPECT_EQ(red(1), 1);
  EXPECT_EQ(red(255), 1);
  EXPECT_EQ(red(0), 1);
  ASSERT_EQ(im.HistogramGetAlpha(alpha), OK);
  EXPECT_EQ(alpha(255), 2);

  // The in-place rows of 24 and 32 bits and the locked rows of other formats agree.
  for (int16_t depth : {16, 24, 32, 48, 64}) {
    cImaging other;
    const std::vector<uint32_t> px = {Rgb(0, 0, 255), Rgb(0, 0, 255), kWhite, Rgb(255, 255, 0)};
    MakeImage(other, 2, 2, px, depth);
    SafeArray<int32_t> blue, green, al;
    ASSERT_EQ(other.HistogramGetBlue(blue), OK) << depth;
    ASSERT_EQ(other.HistogramGetGreen(green), OK) << depth;
    ASSERT_EQ(other.HistogramGetAlpha(al), OK) << depth;
    EXPECT_EQ(blue(255), 3) << depth;
    EXPECT_EQ(blue(0), 1) << depth;
    EXPECT_EQ(green(0), 2) << depth;
    EXPECT_EQ(al(255), 4) << depth;
  }
}

TEST(Histogram, PaletteIndicesAndRefusals) {
  cImaging im;
  SafeArray<int32_t> h = SafeArray<int32_t>::FromVector({7, 7}, 1);
  const SafeArray<int32_t> untouched = h;
  EXPECT_EQ(im.HistogramGet8Bpp(h), GenericError);
  EXPECT_EQ(im.HistogramGetRed(h), GenericError);
  MakeImage(im, 2, 2, {kWhite, kWhite, kWhite, kWhite}, 24);
  EXPECT_EQ(im.HistogramGet8Bpp(h), NotIndexedPixelFormat);
  EXPECT_EQ(im.GetStat(), NotIndexedPixelFormat);
  EXPECT_EQ(h, untouched) << "a refused call leaves the array";
  im.SetROI(1, 1, 5, 5);
  EXPECT_EQ(im.HistogramGetGreen(h), InvalidParameter);
  EXPECT_EQ(h, untouched);
  im.ResetROI();

  const int32_t id = im.CreateNewImage(4, 2, 8);
  platform::Palette twins;
  twins.entries = {kBlack, kWhite, kWhite, kBlack};
  ASSERT_EQ(ResolveImage(id)->SetPalette(twins), platform::Status::Ok);
  SafeArray<uint8_t> idx = SafeArray<uint8_t>::FromVector({0, 1, 2, 3, 2, 2, 3, 0});
  ASSERT_EQ(im.SetPixelArray8bpp1D(idx, 0, 0, 4, 2), OK);
  ASSERT_EQ(im.HistogramGet8Bpp(h), OK);
  EXPECT_EQ(h.LBound(), 0);
  EXPECT_EQ(h.UBound(), 255);
  EXPECT_EQ(h(0), 2);
  EXPECT_EQ(h(1), 1);
  EXPECT_EQ(h(2), 3) << "duplicate colours keep their own indices";
  EXPECT_EQ(h(3), 2);
  ASSERT_EQ(im.SetROI(2, 1, 2, 1), OK);
  ASSERT_EQ(im.HistogramGet8Bpp(h), OK);
  EXPECT_EQ(h(3), 1);
  EXPECT_EQ(h(0), 1);
  EXPECT_EQ(h(2), 0);
  im.CreateNewImage(2, 2, 4);
  EXPECT_EQ(im.HistogramGet8Bpp(h), NotIndexedPixelFormat) << "4 bpp is not 8-bpp indexed";
}

}  // namespace
}  // namespace tessivo
