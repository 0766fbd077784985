// Resizing, scaling, rotation by any angle and thumbnails through cImaging: size rules,
// formats, resolution and tags carried over, quarter turns identical to Rotate, and hostile
// sizes and angles refused without changing anything.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/palette_mapper.h"
#include "platform/pixel_convert.h"
#include "platform/pixel_format.h"
#include "platform/pixel_rows.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

// A width x height image of the format with pseudo-random pixel bytes, a distinctive palette
// when indexed, a resolution and one property item; registered and made native.
int32_t NoiseImage(cImaging& im, PixelFormat format, int32_t width, int32_t height) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(width, height, format, b), platform::Status::Ok);
  uint32_t s = 77u + format;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t i = 0; i < b->Stride(); ++i) b->Row(y)[i] = static_cast<uint8_t>((s = s * 1664525u + 1013904223u) >> 24);
  if (platform::IsIndexed(format)) {
    platform::Palette p = b->GetPalette();
    for (size_t i = 0; i < p.entries.size(); ++i) p.entries[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x030507u + 9);
    EXPECT_EQ(b->SetPalette(p), platform::Status::Ok);
  }
  b->SetResolution(300.0f, 200.0f);
  b->SetProperty({0x010F, 2, {'A', 'c', 'm', 'e', 0}});
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

std::vector<uint8_t> Bytes(const Bitmap& b) {
  std::vector<uint8_t> v;
  const size_t row = static_cast<size_t>(platform::RowBytes(b.Format(), b.Width()));
  for (int32_t y = 0; y < b.Height(); ++y) v.insert(v.end(), b.Row(y), b.Row(y) + row);
  return v;
}

TEST(Resize, SizesFollowTheRoundingRules) {
  cImaging im;
  NoiseImage(im, platform::kPixelFormat24bppRGB, 7, 4);
  ASSERT_EQ(im.ResizeHeightRatio(2), OK);  // 2 * 1.75 = 3.5, ties to even
  EXPECT_EQ(Native(im).Width(), 4);
  EXPECT_EQ(Native(im).Height(), 2);
  NoiseImage(im, platform::kPixelFormat24bppRGB, 7, 4);
  ASSERT_EQ(im.ResizeHeightRatio(6), OK);  // 10.5 -> 10
  EXPECT_EQ(Native(im).Width(), 10);
  NoiseImage(im, platform::kPixelFormat24bppRGB, 7, 4);
  ASSERT_EQ(im.ResizeWidthRatio(3, InterpolationModeBicubic), OK);  // 3 / 1.75 = 1.71
  EXPECT_EQ(Native(im).Height(), 2);
  NoiseImage(im, platform::kPixelFormat24bppRGB, 7, 4);
  ASSERT_EQ(im.ScaleImage(50), OK);  // rounded down
  EXPECT_EQ(Native(im).Width(), 3);
  EXPECT_EQ(Native(im).Height(), 2);
  // A side that would round to nothing keeps one pixel.
  ASSERT_EQ(im.ScaleImage(1, InterpolationModeNearestNeighbor), OK);
  EXPECT_EQ(Native(im).Width(), 1);
  EXPECT_EQ(Native(im).Height(), 1);
  NoiseImage(im, platform::kPixelFormat24bppRGB, 1, 50);
  ASSERT_EQ(im.ResizeHeightRatio(10), OK);
  EXPECT_EQ(Native(im).Width(), 1);
  im.RemoveAllImage();
}

TEST(Resize, EveryModeAndFormatKeepsFormatPaletteResolutionAndTags) {
  cImaging im;
  im.TagsSetPreserve(true);
  for (PixelFormat format : {platform::kPixelFormat1bppIndexed, platform::kPixelFormat8bppIndexed,
                             platform::kPixelFormat24bppRGB, platform::kPixelFormat32bppARGB,
                             platform::kPixelFormat48bppRGB}) {
    for (int mode = 0; mode <= 7; ++mode) {
      SCOPED_TRACE("format " + std::to_string(format) + " mode " + std::to_string(mode));
      const int32_t id = NoiseImage(im, format, 9, 6);
      const platform::Palette palette = Native(im).GetPalette();
      ASSERT_EQ(im.ResizeImage(13, 4, static_cast<InterpolationMode>(mode)), OK);
      Bitmap& after = Native(im);
      EXPECT_EQ(after.Width(), 13);
      EXPECT_EQ(after.Height(), 4);
      EXPECT_EQ(after.Format(), format);
      EXPECT_EQ(after.GetPalette().entries, palette.entries);
      EXPECT_FLOAT_EQ(after.HorizontalResolution(), 300.0f);
      EXPECT_FLOAT_EQ(after.VerticalResolution(), 200.0f);
      platform::PropertyItem item;
      EXPECT_EQ(after.GetProperty(0x010F, item), platform::Status::Ok);
      im.CloseImage(id);
    }
  }
}

TEST(Resize, GetResizedImageLeavesTheSourceAlone) {
  cImaging im;
  const int32_t id = NoiseImage(im, platform::kPixelFormat8bppIndexed, 6, 6);
  const std::vector<uint8_t> before = Bytes(Native(im));
  const int32_t copy = im.GetResizedImage(id, 3, 12, InterpolationModeNearestNeighbor);
  ASSERT_NE(copy, 0);
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(im.GetNativeImage(), id);
  EXPECT_EQ(Bytes(Native(im)), before);
  ASSERT_NE(ResolveImage(copy), nullptr);
  EXPECT_EQ(ResolveImage(copy)->Width(), 3);
  EXPECT_EQ(ResolveImage(copy)->Height(), 12);
  EXPECT_FLOAT_EQ(ResolveImage(copy)->HorizontalResolution(), 300.0f);
  // Nearest from 6 to 3 columns takes columns 1, 3, 5; from 6 to 12 rows each row twice.
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(ResolveImage(copy)->Row(y)[x], ResolveImage(id)->Row(y / 2)[2 * x + 1]);
  EXPECT_EQ(im.GetResizedImage(123456789, 3, 3), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.GetResizedImage(id, 0, 3), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  im.RemoveAllImage();
}

TEST(Resize, HostileSizesAndModesChangeNothing) {
  cImaging im;
  NoiseImage(im, platform::kPixelFormat24bppRGB, 7, 4);
  const Bitmap* bitmapBefore = &Native(im);
  const std::vector<uint8_t> before = Bytes(Native(im));
  struct Case {
    TessivoStatus expected;
    std::function<TessivoStatus()> call;
  };
  const Case cases[] = {
      {InvalidParameter, [&] { return im.ResizeImage(0, 5); }},
      {InvalidParameter, [&] { return im.ResizeImage(5, -1); }},
      {InvalidParameter, [&] { return im.ResizeImage(INT32_MIN, INT32_MIN); }},
      {InvalidParameter, [&] { return im.ResizeImage(5, 5, static_cast<InterpolationMode>(8)); }},
      {InvalidParameter, [&] { return im.ResizeImage(5, 5, static_cast<InterpolationMode>(-1)); }},
      {OutOfMemory, [&] { return im.ResizeImage(INT32_MAX, INT32_MAX); }},
      {OutOfMemory, [&] { return im.ResizeImage(65536, 65536); }},  // 2^32 pixels wrap to 0 in 32 bits
      {InvalidParameter, [&] { return im.ScaleImage(0); }},
      {InvalidParameter, [&] { return im.ScaleImage(-50); }},
      {OutOfMemory, [&] { return im.ScaleImage(INT32_MAX); }},
      {InvalidParameter, [&] { return im.ResizeHeightRatio(0); }},
      {OutOfMemory, [&] { return im.ResizeHeightRatio(INT32_MAX); }},
      {InvalidParameter, [&] { return im.ResizeWidthRatio(-3); }},
      {InvalidParameter, [&] { return im.ScaleImage(50, static_cast<InterpolationMode>(99)); }},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].call(), cases[i].expected) << "case " << i;
    EXPECT_EQ(im.GetStat(), cases[i].expected) << "case " << i;
  }
  EXPECT_EQ(&Native(im), bitmapBefore);
  EXPECT_EQ(Bytes(Native(im)), before);
  cImaging empty;
  EXPECT_EQ(empty.ResizeImage(2, 2), GenericError);
  EXPECT_EQ(empty.RotateAngle(10), GenericError);
  im.RemoveAllImage();
}

TEST(RotateAngle, QuarterTurnsGiveThePixelsOfRotateInEveryFormat) {
  cImaging im;
  for (PixelFormat format : platform::kAllPixelFormats) {
    for (float angle : {90.0f, 180.0f, 270.0f, -90.0f, 450.0f, 0.0f, 720.0f}) {
      SCOPED_TRACE("format " + std::to_string(format) + " angle " + std::to_string(angle));
      const int32_t id = NoiseImage(im, format, 7, 4);
      std::unique_ptr<Bitmap> expected;
      ASSERT_EQ(Native(im).Clone(expected), platform::Status::Ok);
      const int turns = ((static_cast<int>(angle) / 90) % 4 + 4) % 4;
      ASSERT_EQ(expected->RotateFlip(static_cast<platform::RotateFlipType>(turns)), platform::Status::Ok);
      ASSERT_EQ(im.RotateAngle(angle), OK);
      EXPECT_EQ(Native(im).Width(), expected->Width());
      EXPECT_EQ(Native(im).Height(), expected->Height());
      EXPECT_EQ(Native(im).Format(), format);
      EXPECT_EQ(Bytes(Native(im)), Bytes(*expected));
      EXPECT_FLOAT_EQ(Native(im).HorizontalResolution(), 300.0f);
      im.CloseImage(id);
    }
  }
  // The centred form keeps the size and copies pixel values exactly on quarter turns (noise
  // in a premultiplied format is not valid premultiplied colour, so any conversion shows).
  for (auto [format, angle, type] : {std::tuple{platform::kPixelFormat4bppIndexed, 180.0f, platform::Rotate180FlipNone},
                                     std::tuple{platform::kPixelFormat32bppPARGB, 90.0f, platform::Rotate90FlipNone},
                                     std::tuple{platform::kPixelFormat1bppIndexed, -90.0f, platform::Rotate270FlipNone}}) {
    const int32_t id = NoiseImage(im, format, angle == 180.0f ? 7 : 6, angle == 180.0f ? 4 : 6);
    std::unique_ptr<Bitmap> expected;
    ASSERT_EQ(Native(im).Clone(expected), platform::Status::Ok);
    ASSERT_EQ(expected->RotateFlip(type), platform::Status::Ok);
    ASSERT_EQ(im.RotateAnglePreserveDimentionsCenter(angle), OK);
    EXPECT_EQ(Bytes(Native(im)), Bytes(*expected)) << format;
    im.CloseImage(id);
  }
}

TEST(RotateAngle, ArbitraryAnglesFillTheCanvasWithTheBackground) {
  cImaging im;
  std::unique_ptr<Bitmap> b;
  ASSERT_EQ(Bitmap::Create(70, 40, platform::kPixelFormat24bppRGB, b), platform::Status::Ok);
  std::memset(b->Scan0(), 0x50, static_cast<size_t>(b->Stride()) * 40);
  b->SetResolution(300.0f, 300.0f);
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  ASSERT_EQ(im.RotateAngleBackColor(30.0f, static_cast<int32_t>(0xFFFF0000u)), OK);
  // ceil(sin 30 * 40 + cos 30 * 70) by ceil(sin 30 * 70 + cos 30 * 40).
  EXPECT_EQ(Native(im).Width(), 81);
  EXPECT_EQ(Native(im).Height(), 70);
  EXPECT_EQ(Native(im).Row(0)[2], 0xFF);  // red corner
  EXPECT_EQ(Native(im).Row(0)[0], 0x00);
  const uint8_t* centre = Native(im).Row(35) + 3 * 40;
  EXPECT_EQ(centre[0], 0x50);
  EXPECT_EQ(centre[2], 0x50);
  EXPECT_FLOAT_EQ(Native(im).HorizontalResolution(), 300.0f);

  // The preserving forms keep the size; without Center the image turns about its top-left
  // corner, so a quarter turn leaves only background.
  ASSERT_EQ(im.RotateAnglePreserveDimentions(12.5f), OK);
  EXPECT_EQ(Native(im).Width(), 81);
  EXPECT_EQ(Native(im).Height(), 70);
  ASSERT_EQ(im.RotateAnglePreserveDimentionsBackColor(90.0f, static_cast<int32_t>(0xFF0000FFu)), OK);
  for (int32_t y = 0; y < 70; ++y)
    for (int32_t x = 0; x < 81; ++x) ASSERT_EQ(platform::rows::Load32(Native(im).Row(y) + 3 * x) & 0xFFFFFF, 0xFFu);
  ASSERT_EQ(im.RotateAnglePreserveDimentionsCenterBackColor(-7.5f, 0), OK);
  EXPECT_EQ(Native(im).Width(), 81);
  im.RemoveAllImage();
}

TEST(RotateAngle, IndexedBackgroundsTakeTheNearestEntryAndBadAnglesChangeNothing) {
  cImaging im;
  NoiseImage(im, platform::kPixelFormat1bppIndexed, 16, 16);
  ASSERT_EQ(im.RotateAngleBackColor(45.0f, static_cast<int32_t>(0xFFE0E0E0u)), OK);
  ASSERT_EQ(Native(im).Format(), platform::kPixelFormat1bppIndexed);
  // The noise palette is 0xFF000009, 0xFF030510: the light grey is nearest to the second.
  EXPECT_EQ(platform::rows::GetIndex(1, Native(im).Row(0), 0), 1u);

  const int32_t indexed = NoiseImage(im, platform::kPixelFormat8bppIndexed, 16, 16);
  const uint8_t nearest = platform::NearestPaletteMapper::LinearSearch(Native(im).GetPalette().entries, 0xFFFFFFFFu);
  ASSERT_EQ(im.RotateAngleBackColor(20.0f, static_cast<int32_t>(0xFFFFFFFFu)), OK);
  EXPECT_EQ(Native(im).Row(0)[0], nearest);
  EXPECT_EQ(Native(im).GetPalette().entries.size(), 256u);

  const Bitmap* bitmapBefore = &Native(im);
  const std::vector<uint8_t> before = Bytes(Native(im));
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    EXPECT_EQ(im.RotateAngle(bad), InvalidParameter);
    EXPECT_EQ(im.RotateAnglePreserveDimentions(bad), InvalidParameter);
    EXPECT_EQ(im.RotateAnglePreserveDimentionsCenterBackColor(bad, 0), InvalidParameter);
    EXPECT_EQ(im.GetStat(), InvalidParameter);
  }
  EXPECT_EQ(&Native(im), bitmapBefore);
  EXPECT_EQ(Bytes(Native(im)), before);
  // A 2^24 x 1 line turned by 45 degrees needs a canvas of 1.4e14 pixels.
  std::unique_ptr<Bitmap> line;
  ASSERT_EQ(Bitmap::Create(1 << 24, 1, platform::kPixelFormat1bppIndexed, line), platform::Status::Ok);
  int32_t lineId = 0;
  RegisterImage(lineId, std::move(line), "", "", OriginMemory);
  im.SetNativeImage(lineId);
  EXPECT_EQ(im.RotateAngle(45.0f), OutOfMemory);
  EXPECT_EQ(Native(im).Width(), 1 << 24);
  im.CloseImage(lineId);
  im.SetNativeImage(indexed);
  // Huge finite angles reduce exactly: 3.6e9 is ten million whole turns.
  ASSERT_EQ(im.RotateAngle(3.6e9f), OK);
  EXPECT_EQ(Bytes(Native(im)), before);
  im.RemoveAllImage();
}

TEST(Thumbnail, HighQualityThumbnailsAreCentredOnTheBackground) {
  cImaging im;
  std::unique_ptr<Bitmap> b;
  ASSERT_EQ(Bitmap::Create(40, 40, platform::kPixelFormat24bppRGB, b), platform::Status::Ok);
  std::memset(b->Scan0(), 0xFF, static_cast<size_t>(b->Stride()) * 40);
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  const int32_t thumb = im.CreateThumbnailHQEx(id, 20, 10, static_cast<int32_t>(0xFF0000FFu));
  ASSERT_NE(thumb, 0);
  EXPECT_EQ(im.GetNativeImage(), id);
  const Bitmap& t = *ResolveImage(thumb);
  ASSERT_EQ(t.Format(), platform::kPixelFormat32bppARGB);
  ASSERT_EQ(t.Width(), 20);
  ASSERT_EQ(t.Height(), 10);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x)
      EXPECT_EQ(platform::rows::Load32(t.Row(y) + 4 * x), x >= 5 && x < 15 ? 0xFFFFFFFFu : 0xFF0000FFu) << x << "," << y;
  const int32_t black = im.CreateThumbnailHQ(id, 10, 30);
  ASSERT_NE(black, 0);
  EXPECT_EQ(platform::rows::Load32(ResolveImage(black)->Row(0)), 0xFF000000u);
  EXPECT_EQ(platform::rows::Load32(ResolveImage(black)->Row(15)), 0xFFFFFFFFu);

  const int32_t plain = im.CreateThumbnail(id, 0, 0);
  ASSERT_NE(plain, 0);
  EXPECT_EQ(ResolveImage(plain)->Width(), 120);
  EXPECT_EQ(ResolveImage(plain)->Format(), platform::kPixelFormat32bppPARGB);

  EXPECT_EQ(im.CreateThumbnailHQEx(987654321, 10, 10), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateThumbnailHQ(id, 0, 10), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateThumbnail(id, -1, 10), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateThumbnailHQ(id, 70000, 70000), 0);
  EXPECT_EQ(im.GetStat(), OutOfMemory);
  im.RemoveAllImage();
}

TEST(Resize, ActsOnTheCurrentPageOfADocument) {
  cImaging im;
  const int32_t page = NoiseImage(im, platform::kPixelFormat1bppIndexed, 12, 5);
  int32_t doc = 0;
  const int32_t slot = RegisterImage(doc, nullptr, "TIFF", "", OriginMemory);
  ImageEntry& e = ImageRegistry::Current().Slot(slot);
  e.multiPageTiff = true;
  e.pageCount = 1;
  e.pageIds = {page};
  e.pageFiles = {""};
  e.pageBitDepths = {1};
  e.currentPage = 0;
  im.SetNativeImage(doc);
  ASSERT_EQ(im.ResizeImage(24, 10), OK);
  EXPECT_EQ(ResolveImage(page)->Width(), 24);
  EXPECT_EQ(ResolveImage(page)->Format(), platform::kPixelFormat1bppIndexed);
  EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);
  ASSERT_EQ(im.RotateAngle(5.0f), OK);
  EXPECT_GT(ResolveImage(page)->Width(), 24);
  im.RemoveAllImage();
}

}  // namespace
}  // namespace tessivo
