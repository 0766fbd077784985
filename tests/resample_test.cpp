// The platform resampler: scaling with each filter against hand-computed values, clamped
// edges, premultiplied filtering, 16-bit channels, indexed targets, and the affine sampler.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/pixel_rows.h"
#include "platform/resample/affine_sample.h"
#include "platform/resample/scale_bitmap.h"

namespace tessivo::platform {
namespace {

std::unique_ptr<Bitmap> Make(int32_t w, int32_t h, PixelFormat f) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(w, h, f, b), Status::Ok);
  return b;
}

// A 24-bit image whose pixel (x, y) is the grey level values[y][x].
std::unique_ptr<Bitmap> Grey(const std::vector<std::vector<int>>& values) {
  auto b = Make(static_cast<int32_t>(values[0].size()), static_cast<int32_t>(values.size()), kPixelFormat24bppRGB);
  for (size_t y = 0; y < values.size(); ++y)
    for (size_t x = 0; x < values[y].size(); ++x) std::memset(b->Row(static_cast<int32_t>(y)) + 3 * x, values[y][x], 3);
  return b;
}

std::vector<int> BlueRow(const Bitmap& b, int32_t y = 0) {
  std::vector<int> v;
  for (int32_t x = 0; x < b.Width(); ++x) v.push_back(b.Row(y)[3 * x]);
  return v;
}

std::unique_ptr<Bitmap> Scaled(const Bitmap& source, int32_t w, int32_t h, ResampleFilter f) {
  std::unique_ptr<Bitmap> out;
  EXPECT_EQ(ScaleBitmap(source, w, h, f, out), Status::Ok);
  return out;
}

TEST(ResampleScale, NearestAndBilinearMatchHandComputedValues) {
  auto row = Grey({{0, 40, 80, 120}});
  // Nearest: destination i takes the source pixel under (i + 0.5) * 4 / 2.
  EXPECT_EQ(BlueRow(*Scaled(*row, 2, 1, ResampleFilter::Nearest)), (std::vector<int>{40, 120}));
  EXPECT_EQ(BlueRow(*Scaled(*row, 8, 1, ResampleFilter::Nearest)), (std::vector<int>{0, 0, 40, 40, 80, 80, 120, 120}));
  // Bilinear shrink samples at 0.5 and 2.5.
  EXPECT_EQ(BlueRow(*Scaled(*row, 2, 1, ResampleFilter::Bilinear)), (std::vector<int>{20, 100}));
  // Bilinear growth samples at -0.25, 0.25, 0.75, 1.25; outside positions clamp to the edge.
  auto two = Grey({{0, 100}});
  EXPECT_EQ(BlueRow(*Scaled(*two, 4, 1, ResampleFilter::Bilinear)), (std::vector<int>{0, 25, 75, 100}));
  // The same vertically, and both axes at once.
  auto column = Scaled(*Grey({{0}, {100}}), 1, 4, ResampleFilter::Bilinear);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(column->Row(y)[0], (std::vector<int>{0, 25, 75, 100})[y]);
  auto square = Scaled(*Grey({{0, 100}, {100, 200}}), 4, 4, ResampleFilter::Bilinear);
  EXPECT_EQ(BlueRow(*square, 1), (std::vector<int>{25, 50, 100, 125}));
}

TEST(ResampleScale, EdgesKeepTheirColourAndPrefilteringRemovesAliasing) {
  auto flat = Grey({{77, 77, 77}, {77, 77, 77}});
  for (ResampleFilter f : {ResampleFilter::Nearest, ResampleFilter::Bilinear, ResampleFilter::Bicubic,
                           ResampleFilter::PrefilteredBicubic}) {
    for (auto [w, h] : {std::pair{7, 5}, std::pair{1, 1}, std::pair{2, 9}}) {
      auto out = Scaled(*flat, w, h, f);
      for (int32_t y = 0; y < h; ++y) EXPECT_EQ(BlueRow(*out, y), std::vector<int>(static_cast<size_t>(w), 77));
    }
  }
  // One-pixel stripes shrunk by 3: a plain bilinear lands on single stripes, the prefiltered
  // kernel averages them.
  std::vector<int> stripes;
  for (int i = 0; i < 9; ++i) stripes.push_back(i % 2 ? 0 : 255);
  auto striped = Grey({stripes});
  EXPECT_EQ(BlueRow(*Scaled(*striped, 3, 1, ResampleFilter::Bilinear)), (std::vector<int>{0, 255, 0}));
  for (int v : BlueRow(*Scaled(*striped, 3, 1, ResampleFilter::PrefilteredBicubic))) {
    EXPECT_GT(v, 60);
    EXPECT_LT(v, 195);
  }
  // Bicubic passes through the samples when growing by a whole factor.
  auto cubic = Scaled(*Grey({{0, 60, 200, 30}}), 4, 1, ResampleFilter::Bicubic);
  EXPECT_EQ(BlueRow(*cubic), (std::vector<int>{0, 60, 200, 30}));
}

TEST(ResampleScale, FiltersPremultipliedAndKeepsSixteenBitChannels) {
  // A transparent red next to opaque blue: the red must not bleed into the blend.
  auto argb = Make(2, 1, kPixelFormat32bppARGB);
  rows::Store32(argb->Row(0), 0x00FF0000u);
  rows::Store32(argb->Row(0) + 4, 0xFF0000FFu);
  auto out = Scaled(*argb, 4, 1, ResampleFilter::Bilinear);
  EXPECT_EQ(rows::Load32(out->Row(0) + 4), 0x400000FFu);  // alpha 0.25 * 255, pure blue
  EXPECT_EQ(rows::Load32(out->Row(0) + 12), 0xFF0000FFu);

  // 16-bit channels are filtered without going through 8 bits.
  auto wide = Make(2, 1, kPixelFormat48bppRGB);
  const uint16_t px[6] = {0, 0, 0, 1000, 1000, 1000};
  std::memcpy(wide->Row(0), px, sizeof px);
  auto grown = Scaled(*wide, 4, 1, ResampleFilter::Bilinear);
  ASSERT_EQ(grown->Format(), kPixelFormat48bppRGB);
  std::vector<uint16_t> got(4);
  for (int x = 0; x < 4; ++x) got[static_cast<size_t>(x)] = rows::Load16(grown->Row(0) + 6 * x);
  EXPECT_EQ(got, (std::vector<uint16_t>{0, 250, 750, 1000}));
}

TEST(ResampleScale, IndexedImagesStayIndexedAndNearestKeepsIndices) {
  // A palette with a repeated colour: nearest scaling keeps each pixel's own index.
  auto indexed = Make(2, 1, kPixelFormat8bppIndexed);
  Palette p;
  p.entries = {0xFF112233u, 0xFF112233u, 0xFFFFFFFFu};
  ASSERT_EQ(indexed->SetPalette(p), Status::Ok);
  indexed->Row(0)[0] = 1;
  indexed->Row(0)[1] = 2;
  auto near = Scaled(*indexed, 4, 2, ResampleFilter::Nearest);
  EXPECT_EQ(near->Format(), kPixelFormat8bppIndexed);
  EXPECT_EQ(near->GetPalette().entries, p.entries);
  for (int y = 0; y < 2; ++y)
    EXPECT_EQ(std::vector<int>(near->Row(y), near->Row(y) + 4), (std::vector<int>{1, 1, 2, 2}));
  // Interpolated colours map to the nearest entry; 1-bit stays 1-bit.
  auto bits = Make(8, 1, kPixelFormat1bppIndexed);
  bits->Row(0)[0] = 0x0F;  // black left half, white right half
  auto smooth = Scaled(*bits, 16, 3, ResampleFilter::Bicubic);
  ASSERT_EQ(smooth->Format(), kPixelFormat1bppIndexed);
  EXPECT_EQ(smooth->Row(1)[0], 0x00);
  EXPECT_EQ(smooth->Row(1)[1], 0xFF);
}

TEST(ResampleScale, BadRectanglesAndOversizedWorkAreRefused) {
  auto a = Make(4, 4, kPixelFormat24bppRGB);
  auto b = Make(4, 4, kPixelFormat24bppRGB);
  EXPECT_EQ(ScaleInto(*a, Rect{0, 0, 4, 4}, *a, Rect{0, 0, 2, 2}, {}), Status::InvalidParameter);
  EXPECT_EQ(ScaleInto(*a, Rect{1, 0, 4, 4}, *b, Rect{0, 0, 2, 2}, {}), Status::InvalidParameter);
  EXPECT_EQ(ScaleInto(*a, Rect{0, 0, 4, 4}, *b, Rect{0, 0, 0, 2}, {}), Status::InvalidParameter);
  EXPECT_EQ(ScaleInto(*a, Rect{0, 0, 4, 4}, *b, Rect{3, 3, 2, 2}, {}), Status::InvalidParameter);
  std::unique_ptr<Bitmap> out;
  EXPECT_EQ(ScaleBitmap(*a, 0, 4, ResampleFilter::Bilinear, out), Status::InvalidParameter);
  EXPECT_EQ(ScaleBitmap(*a, 70000, 70000, ResampleFilter::Bilinear, out), Status::OutOfMemory);
  // A 1-bit row of 2^30 pixels is a small bitmap but far too wide for floating-point rows.
  auto bits = Make(4, 1, kPixelFormat1bppIndexed);
  EXPECT_EQ(ScaleBitmap(*bits, 1 << 30, 1, ResampleFilter::Bilinear, out), Status::OutOfMemory);
  EXPECT_EQ(out, nullptr);
}

TEST(ResampleAffine, SamplesThroughTheMapWithBackgroundOutside) {
  auto source = Grey({{10, 20}, {30, 40}});
  // A half turn about the image's centre: sx = 2 - x, sy = 2 - y.
  auto target = Make(4, 2, kPixelFormat24bppRGB);
  AffineMap m{-1, 0, 2, 0, -1, 2};
  ASSERT_EQ(SampleAffine(*source, *target, m, ResampleFilter::Nearest, 0xFFC80000u), Status::Ok);
  EXPECT_EQ(BlueRow(*target, 0), (std::vector<int>{40, 30, 0, 0}));
  EXPECT_EQ(target->Row(0)[3 * 3 + 2], 0xC8);  // background red outside the source
  // Bilinear at a half-pixel shift blends neighbours; at the edge it blends into the background.
  AffineMap shift{1, 0, 0.5, 0, 1, 0};
  auto blended = Make(2, 2, kPixelFormat24bppRGB);
  ASSERT_EQ(SampleAffine(*source, *blended, shift, ResampleFilter::Bilinear, 0xFF000000u), Status::Ok);
  EXPECT_EQ(BlueRow(*blended, 0), (std::vector<int>{15, 10}));
  // Indexed target: the background takes the nearest entry of the palette.
  auto bits = Make(3, 3, kPixelFormat1bppIndexed);
  AffineMap away{1, 0, 100, 0, 1, 0};
  ASSERT_EQ(SampleAffine(*source, *bits, away, ResampleFilter::Bilinear, 0xFFF0F0F0u), Status::Ok);
  EXPECT_EQ(bits->Row(1)[0] & 0xE0, 0xE0);
  // Composited over the target, a transparent background leaves the target's pixels.
  auto canvas = Grey({{99, 99, 99, 99}, {99, 99, 99, 99}});
  ASSERT_EQ(SampleAffine(*source, *canvas, m, ResampleFilter::Nearest, 0x00000000u, true), Status::Ok);
  EXPECT_EQ(BlueRow(*canvas, 0), (std::vector<int>{40, 30, 99, 99}));
  AffineMap broken{std::nan(""), 0, 0, 0, 1, 0};
  EXPECT_EQ(SampleAffine(*source, *bits, broken, ResampleFilter::Bilinear, 0), Status::InvalidParameter);
  EXPECT_EQ(SampleAffine(*source, *source, m, ResampleFilter::Bilinear, 0), Status::InvalidParameter);
}

}  // namespace
}  // namespace tessivo::platform
