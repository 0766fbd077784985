#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;
using testing::ScopedTempFolder;

// A registered bitmap of random bytes (indexed: a small palette of distinct opaque colours).
int32_t RandomImage(int32_t w, int32_t h, pf::PixelFormat format, uint32_t seed, bool opaque = true) {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(w, h, format, b), pf::Status::Ok);
  if (pf::IsIndexed(format)) {
    pf::Palette pal;
    for (int i = 0; i < pf::PaletteCapacity(format); ++i) pal.entries.push_back(0xFF000000u | (i * 0x10305u + 0x402010u));
    EXPECT_EQ(b->SetPalette(pal), pf::Status::Ok);
  }
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b->Row(y);
    for (int32_t i = 0; i < b->Stride(); ++i) row[i] = static_cast<uint8_t>(rng());
    if (opaque && format == pf::kPixelFormat32bppARGB)
      for (int32_t x = 0; x < w; ++x) row[4 * x + 3] = 255;
    if (opaque && format == pf::kPixelFormat64bppARGB)
      for (int32_t x = 0; x < w; ++x) row[8 * x + 6] = row[8 * x + 7] = 255;
  }
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  return id;
}

int32_t Solid(cImaging& im, int32_t w, int32_t h, uint32_t argb, pf::PixelFormat format = pf::kPixelFormat24bppRGB) {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(w, h, format, b), pf::Status::Ok);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b->SetPixel(x, y, argb);
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

pf::Bitmap& Image(int32_t id) { return *ResolveImage(id); }

uint32_t Pixel(int32_t id, int32_t x, int32_t y) {
  uint32_t argb = 0;
  Image(id).GetPixel(x, y, argb);
  return argb;
}

// The bytes of pixel x of a row, as a string (works for every bit depth).
std::string PixelBytes(const pf::Bitmap& b, int32_t x, int32_t y) {
  const int bpp = pf::BitsPerPixel(b.Format());
  if (bpp < 8) {
    const uint8_t byte = b.Row(y)[x * bpp / 8];
    const int shift = 8 - bpp - (x * bpp) % 8;
    return std::to_string((byte >> shift) & ((1 << bpp) - 1));
  }
  return std::string(reinterpret_cast<const char*>(b.Row(y)) + x * bpp / 8, static_cast<size_t>(bpp / 8));
}

std::vector<uint8_t> AllBytes(const pf::Bitmap& b) {
  std::vector<uint8_t> v;
  for (int32_t y = 0; y < b.Height(); ++y) v.insert(v.end(), b.Row(y), b.Row(y) + b.Stride());
  return v;
}

TEST(DrawImages, OneToOneCopiesKeepEveryByteAndNegativeSizesMirror) {
  for (pf::PixelFormat format : {pf::kPixelFormat1bppIndexed, pf::kPixelFormat4bppIndexed, pf::kPixelFormat8bppIndexed,
                                 pf::kPixelFormat16bppGrayScale, pf::kPixelFormat16bppRGB565, pf::kPixelFormat24bppRGB,
                                 pf::kPixelFormat32bppARGB, pf::kPixelFormat48bppRGB, pf::kPixelFormat64bppARGB}) {
    SCOPED_TRACE(format);
    cImaging im;
    const int32_t target = RandomImage(40, 30, format, 1);
    const int32_t source = RandomImage(13, 9, format, 2);
    im.SetNativeImage(target);
    if (pf::IsIndexed(format)) Image(source).SetPalette(Image(target).GetPalette());
    const std::vector<uint8_t> before = AllBytes(Image(target));
    ASSERT_EQ(im.DrawImage(source, 5, 7, 13, 9, InterpolationModeBilinear), OK);
    const pf::Bitmap &t = Image(target), &s = Image(source);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) {
        const bool inside = x >= 5 && x < 18 && y >= 7 && y < 16;
        if (inside)
          ASSERT_EQ(PixelBytes(t, x, y), PixelBytes(s, x - 5, y - 7)) << x << "," << y;
      }
    // Outside the rectangle nothing moved: compare a row above and the columns to the left.
    EXPECT_EQ(std::memcmp(t.Row(0), before.data(), static_cast<size_t>(t.Stride())), 0);

    // A negative width and height turn the image around both axes about (x, y).
    ASSERT_EQ(im.DrawImage(source, 30, 25, -13, -9, InterpolationModeNearestNeighbor), OK);
    for (int32_t y = 0; y < 9; ++y)
      for (int32_t x = 0; x < 13; ++x) ASSERT_EQ(PixelBytes(t, 29 - x, 24 - y), PixelBytes(s, x, y)) << x << "," << y;
    ReleaseImageEntry(source);
    ReleaseImageEntry(target);
  }
}

TEST(DrawImages, CopiesAcrossFormatsAndScaledEdgesKeepTheirColour) {
  cImaging im;
  const int32_t source = RandomImage(6, 5, pf::kPixelFormat24bppRGB, 3);
  const int32_t target = Solid(im, 20, 20, 0xFFFFFFFFu, pf::kPixelFormat32bppARGB);
  ASSERT_EQ(im.DrawImage(source, 2, 3, 6, 5), OK);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(Pixel(target, x + 2, y + 3), Pixel(source, x, y));

  // A 2x2 checker of red and blue enlarged 4x: the outer ring of pixels stays pure (no blend
  // with the white around it), and nothing outside the rectangle changes.
  std::unique_ptr<pf::Bitmap> b;
  ASSERT_EQ(pf::Bitmap::Create(2, 2, pf::kPixelFormat24bppRGB, b), pf::Status::Ok);
  b->SetPixel(0, 0, 0xFFFF0000u), b->SetPixel(1, 1, 0xFFFF0000u);
  b->SetPixel(1, 0, 0xFF0000FFu), b->SetPixel(0, 1, 0xFF0000FFu);
  int32_t checker = 0;
  RegisterImage(checker, std::move(b), "", "", OriginMemory);
  for (InterpolationMode mode : {InterpolationModeBilinear, InterpolationModeBicubic, InterpolationModeHighQualityBicubic,
                                 InterpolationModeNearestNeighbor}) {
    SCOPED_TRACE(mode);
    const int32_t canvas = Solid(im, 16, 16, 0xFFFFFFFFu);
    ASSERT_EQ(im.DrawImage(checker, 4, 4, 8, 8, mode), OK);
    EXPECT_EQ(Pixel(canvas, 4, 4), 0xFFFF0000u);
    EXPECT_EQ(Pixel(canvas, 11, 4), 0xFF0000FFu);
    EXPECT_EQ(Pixel(canvas, 4, 11), 0xFF0000FFu);
    EXPECT_EQ(Pixel(canvas, 11, 11), 0xFFFF0000u);
    EXPECT_EQ(Pixel(canvas, 3, 4), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(canvas, 12, 11), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(canvas, 7, 3), 0xFFFFFFFFu);
    if (mode != InterpolationModeNearestNeighbor) {
      const uint32_t middle = Pixel(canvas, 7, 4);
      EXPECT_NE(middle, 0xFFFF0000u) << "interpolated between the colours";
      EXPECT_NE(middle, 0xFF0000FFu);
    } else {
      EXPECT_EQ(Pixel(canvas, 7, 4), 0xFFFF0000u);
      EXPECT_EQ(Pixel(canvas, 8, 4), 0xFF0000FFu);
    }
    ReleaseImageEntry(canvas);
  }

  // Shrinking prefiltered averages a fine pattern to grey instead of picking one colour.
  std::unique_ptr<pf::Bitmap> stripes;
  ASSERT_EQ(pf::Bitmap::Create(64, 64, pf::kPixelFormat24bppRGB, stripes), pf::Status::Ok);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) stripes->SetPixel(x, y, x % 2 ? 0xFFFFFFFFu : 0xFF000000u);
  int32_t fine = 0;
  RegisterImage(fine, std::move(stripes), "", "", OriginMemory);
  const int32_t small = Solid(im, 8, 8, 0xFFFF0000u);
  ASSERT_EQ(im.DrawImage(fine, 0, 0, 8, 8, InterpolationModeHighQualityBicubic), OK);
  const uint32_t grey = Pixel(small, 4, 4) & 0xFF;
  EXPECT_NEAR(static_cast<int>(grey), 128, 8);
}

TEST(DrawImages, RectanglesParallelogramsClipsAndTheImageItself) {
  cImaging im;
  const int32_t source = RandomImage(10, 10, pf::kPixelFormat24bppRGB, 4);
  const int32_t target = Solid(im, 30, 30, 0xFFFFFFFFu);
  // A source rectangle partly off the source draws only the part on it.
  ASSERT_EQ(im.DrawImageRect(source, 0, 0, 8, 8, 6, 6, 8, 8, InterpolationModeNearestNeighbor), OK);
  EXPECT_EQ(Pixel(target, 0, 0), Pixel(source, 6, 6));
  EXPECT_EQ(Pixel(target, 3, 3), Pixel(source, 9, 9));
  EXPECT_EQ(Pixel(target, 4, 4), 0xFFFFFFFFu);

  // A parallelogram with a quarter turn: upper-left at (20, 10), the top edge running down.
  Solid(im, 30, 30, 0xFFFFFFFFu);
  const int32_t turned = im.GetNativeImage();
  ASSERT_EQ(im.DrawImageSkewing(source, 20, 10, 20, 20, 10, 10, InterpolationModeNearestNeighbor), OK);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(Pixel(turned, 19 - y, 10 + x), Pixel(source, x, y)) << x << "," << y;
  EXPECT_EQ(Pixel(turned, 20, 10), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(turned, 9, 10), 0xFFFFFFFFu);

  // Clipped: the triangle's lower-left half only.
  const int32_t clipped = Solid(im, 10, 10, 0xFFFFFFFFu);
  ASSERT_EQ(im.DrawImageClipped(source, SafeArray<int32_t>::FromVector({0, 0, 10, 10, 0, 10})), OK);
  EXPECT_EQ(Pixel(clipped, 1, 8), Pixel(source, 1, 8));
  EXPECT_EQ(Pixel(clipped, 8, 1), 0xFFFFFFFFu);

  // The native image drawn onto itself, shifted by one pixel over an overlapping area.
  const int32_t self = RandomImage(12, 12, pf::kPixelFormat24bppRGB, 5);
  im.SetNativeImage(self);
  std::vector<uint32_t> before;
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 12; ++x) before.push_back(Pixel(self, x, y));
  ASSERT_EQ(im.DrawImage(self, 1, 1, 12, 12), OK);
  for (int32_t y = 1; y < 12; ++y)
    for (int32_t x = 1; x < 12; ++x) ASSERT_EQ(Pixel(self, x, y), before[(y - 1) * 12 + (x - 1)]);
  const uint32_t shifted = Pixel(self, 10, 5);
  ASSERT_EQ(im.DrawImage(self, 11, 0, -12, 12), OK) << "mirrored onto itself";
  EXPECT_EQ(Pixel(self, 0, 5), shifted);
}

TEST(DrawImages, TransparencyAndColourKeys) {
  cImaging im;
  const int32_t red = Solid(im, 4, 4, 0xFFFF0000u, pf::kPixelFormat32bppARGB);
  const int32_t canvas = Solid(im, 4, 4, 0xFF0000FFu, pf::kPixelFormat32bppARGB);
  ASSERT_EQ(im.DrawImageTransparency(red, 0, 0, 4, 4, 128), OK);
  const uint32_t p = Pixel(canvas, 1, 1);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 127, 1);
  Solid(im, 4, 4, 0xFF0000FFu, pf::kPixelFormat32bppARGB);
  const int32_t clear = im.GetNativeImage();
  ASSERT_EQ(im.DrawImageTransparency(red, 0, 0, 4, 4, -40), OK) << "clamped to 0: nothing shows";
  EXPECT_EQ(Pixel(clear, 1, 1), 0xFF0000FFu);
  ASSERT_EQ(im.DrawImageTransparency(red, 0, 0, 4, 4, 9999), OK) << "clamped to 255: opaque";
  EXPECT_EQ(Pixel(clear, 1, 1), 0xFFFF0000u);

  // Keys: exact with 0, a sum of channel differences up to k otherwise, 100 for the plain form.
  std::unique_ptr<pf::Bitmap> b;
  ASSERT_EQ(pf::Bitmap::Create(3, 1, pf::kPixelFormat24bppRGB, b), pf::Status::Ok);
  b->SetPixel(0, 0, 0xFF102030u), b->SetPixel(1, 0, 0xFF102031u), b->SetPixel(2, 0, 0xFF304050u);
  int32_t keyed = 0;
  RegisterImage(keyed, std::move(b), "", "", OriginMemory);
  struct Case {
    int32_t threshold;
    bool keyed[3];
  };
  for (const Case& c : {Case{0, {true, false, false}}, Case{1, {true, true, false}}, Case{100, {true, true, true}},
                        Case{-5, {false, false, false}}}) {
    SCOPED_TRACE(c.threshold);
    const int32_t white = Solid(im, 3, 1, 0xFFFFFFFFu);
    ASSERT_EQ(im.DrawImageTransparencyColorEx(keyed, 0, 0, 3, 1, static_cast<int32_t>(0xFF102030u), c.threshold,
                                              InterpolationModeNearestNeighbor),
              OK);
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(Pixel(white, x, 0) == 0xFFFFFFFFu, c.keyed[x]) << x;
  }
  const int32_t plain = Solid(im, 3, 1, 0xFFFFFFFFu);
  ASSERT_EQ(im.DrawImageTransparencyColor(keyed, 0, 0, 3, 1, static_cast<int32_t>(0xFF102030u)), OK);
  EXPECT_EQ(Pixel(plain, 2, 0), 0xFFFFFFFFu) << "a distance of 96 is within 100";
  EXPECT_EQ(Pixel(plain, 0, 0), 0xFFFFFFFFu);
}

TEST(DrawImages, OperatorsCombineAllFourBytes) {
  cImaging im;
  const int32_t source = Solid(im, 4, 4, 0xF0F0F0F0u, pf::kPixelFormat32bppARGB);
  for (Operators op : {OperatorAND, OperatorOR, OperatorXOR}) {
    SCOPED_TRACE(op);
    const int32_t target = Solid(im, 10, 10, 0x3FC33FC3u, pf::kPixelFormat32bppARGB);
    // Half the rectangle hangs off the image: only the visible part is computed.
    ASSERT_EQ(im.DrawImageOP(source, 6, 6, 8, 8, op), OK);
    const uint32_t a = 0x3FC33FC3u, b = 0xF0F0F0F0u;
    const uint32_t want = op == OperatorAND ? (a & b) : op == OperatorOR ? (a | b) : (a ^ b);
    EXPECT_EQ(Pixel(target, 7, 7), want);
    EXPECT_EQ(Pixel(target, 9, 9), want);
    EXPECT_EQ(Pixel(target, 5, 5), a);
  }
  const int32_t rect = Solid(im, 10, 10, 0xFF00FF00u, pf::kPixelFormat24bppRGB);
  ASSERT_EQ(im.DrawImageOPRect(source, 0, 0, 2, 2, 0, 0, 2, 2, OperatorXOR), OK);
  EXPECT_EQ(Pixel(rect, 1, 1), 0xFFF00FF0u) << "the 24-bit result drops the alpha byte";
  EXPECT_EQ(Pixel(rect, 2, 2), 0xFF00FF00u);
  // A huge rectangle far off the image asks for nothing.
  EXPECT_EQ(im.DrawImageOP(source, 2000000000, 2000000000, 100000000, 100000000, OperatorOR), OK);
}

TEST(DrawImages, TexturedLinesLeaveNoEntryOrFile) {
  ScopedTempFolder dir;
  cImaging im;
  std::unique_ptr<pf::Bitmap> b;
  ASSERT_EQ(pf::Bitmap::Create(2, 1, pf::kPixelFormat24bppRGB, b), pf::Status::Ok);
  b->SetPixel(0, 0, 0xFFFF0000u), b->SetPixel(1, 0, 0xFF00FF00u);
  int32_t texture = 0;
  RegisterImage(texture, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(texture);
  const std::string file = dir.File("texture.png");
  ASSERT_EQ(im.SaveAsPNG(file), OK);
  ReleaseImageEntry(texture);

  const int32_t target = Solid(im, 20, 5, 0xFFFFFFFFu);
  const int32_t entries = ImageRegistry::Current().Count();
  ASSERT_EQ(im.DrawTexturedLine(0, 2, 20, 2, 1, file), OK);
  EXPECT_EQ(im.GetNativeImage(), target);
  EXPECT_EQ(ImageRegistry::Current().Count(), entries);
  EXPECT_TRUE(dir.TempFiles().empty());
  for (int32_t x = 0; x < 20; ++x) EXPECT_EQ(Pixel(target, x, 2), x % 2 ? 0xFF00FF00u : 0xFFFF0000u) << x;
  EXPECT_EQ(Pixel(target, 3, 1), 0xFFFFFFFFu);
  EXPECT_EQ(im.DrawTexturedLine(0, 2, 20, 2, 1, dir.File("missing.png")), FileNotFound);
  EXPECT_EQ(ImageRegistry::Current().Count(), entries);
}

TEST(DrawImages, WideAndFarReachingDrawsStayExact) {
  cImaging im;
  // Drawn in pieces across a wide image; every piece samples the same way (positions are held
  // to 1/65536 of a source pixel per target pixel, so the checks keep clear of the seams).
  const int32_t source = RandomImage(3, 3, pf::kPixelFormat32bppARGB, 7);
  const int32_t wide = Solid(im, 9000, 3, 0xFFFFFFFFu);
  ASSERT_EQ(im.DrawImage(source, 0, 0, 9000, 3, InterpolationModeNearestNeighbor), OK);
  for (int32_t x : {0, 2900, 3100, 4095, 4096, 5900, 6100, 8191, 8192, 8999})
    for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(Pixel(wide, x, y), Pixel(source, x / 3000, y)) << x << "," << y;

  // A destination reaching 10^8 pixels beyond the image on both sides.
  const int32_t far = Solid(im, 20, 10, 0xFFFFFFFFu);
  ASSERT_EQ(im.DrawImage(source, -100000000, 0, 200000001, 10, InterpolationModeNearestNeighbor), OK);
  EXPECT_EQ(Pixel(far, 0, 0), Pixel(source, 1, 0));
  EXPECT_EQ(Pixel(far, 19, 9), Pixel(source, 1, 2));
}

TEST(DrawImages, BadInputDrawsNothing) {
  cImaging none;
  EXPECT_EQ(none.DrawImage(1, 0, 0, 4, 4), GenericError);
  cImaging im;
  const int32_t source = RandomImage(4, 4, pf::kPixelFormat24bppRGB, 6);
  const int32_t target = Solid(im, 8, 8, 0xFFFFFFFFu);
  const std::vector<uint8_t> before = AllBytes(Image(target));
  const auto bad = static_cast<InterpolationMode>(8);
  EXPECT_EQ(im.DrawImage(123456789, 0, 0, 4, 4), InvalidParameter);
  EXPECT_EQ(im.DrawImage(0, 0, 0, 4, 4), InvalidParameter);
  EXPECT_EQ(im.DrawImage(source, 0, 0, 0, 4), InvalidParameter);
  EXPECT_EQ(im.DrawImage(source, 0, 0, 4, 4, bad), InvalidParameter);
  EXPECT_EQ(im.DrawImageRect(source, 0, 0, 4, 4, 0, 0, 0, 4), InvalidParameter);
  EXPECT_EQ(im.DrawImageSkewing(source, 0, 0, 4, 4, 8, 8), InvalidParameter) << "collinear";
  EXPECT_EQ(im.DrawImageClipped(source, SafeArray<int32_t>::FromVector({0, 0, 4, 4})), InvalidParameter);
  EXPECT_EQ(im.DrawImageClipped(source, SafeArray<int32_t>::FromVector({0, 0, 4, 4, 5})), InvalidParameter);
  EXPECT_EQ(im.DrawImageOP(source, 0, 0, 0, 4, OperatorAND), InvalidParameter);
  EXPECT_EQ(im.DrawImageOP(source, 0, 0, 4, 4, static_cast<Operators>(3)), InvalidParameter);
  EXPECT_EQ(im.DrawImageOPRect(source, 0, 0, 4, 4, 0, 0, 4, 0, OperatorAND), InvalidParameter);
  EXPECT_EQ(im.DrawImageTransparency(source, 0, 0, 4, 4, 100, bad), InvalidParameter);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(AllBytes(Image(target)), before);
}

}  // namespace
}  // namespace tessivo
