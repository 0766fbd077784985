#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

// One pixel's raw value (index bits or pixel bytes) as a byte string, so every format compares
// exactly.
std::string RawPixel(const Bitmap& image, int32_t x, int32_t y) {
  const int bpp = platform::BitsPerPixel(image.Format());
  const uint8_t* row = image.Row(y);
  if (bpp < 8) {
    const int bit = x * bpp;
    const int value = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
    return std::string(1, static_cast<char>(value));
  }
  return std::string(reinterpret_cast<const char*>(row + x * (bpp / 8)), static_cast<size_t>(bpp / 8));
}

using Grid = std::vector<std::vector<std::string>>;  // [y][x]

Grid RawGrid(const Bitmap& image) {
  Grid g(static_cast<size_t>(image.Height()));
  for (int32_t y = 0; y < image.Height(); ++y)
    for (int32_t x = 0; x < image.Width(); ++x) g[static_cast<size_t>(y)].push_back(RawPixel(image, x, y));
  return g;
}

// Reference turns written as whole-grid operations: clockwise quarter turns, then a mirror
// left to right.
Grid TurnClockwise(const Grid& g) {
  const size_t h = g.size(), w = g[0].size();
  Grid out(w, std::vector<std::string>(h));
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x) out[x][h - 1 - y] = g[y][x];
  return out;
}
Grid Mirror(Grid g) {
  for (auto& row : g) std::reverse(row.begin(), row.end());
  return g;
}
Grid Reference(Grid g, int type) {
  for (int k = 0; k < type % 4; ++k) g = TurnClockwise(g);
  return type >= 4 ? Mirror(std::move(g)) : g;
}

// A 7 x 4 image of the format with pseudo-random pixel bytes, a distinctive palette when
// indexed, a resolution and one property item; registered and made native.
int32_t NoiseImage(cImaging& im, PixelFormat format, int32_t width = 7, int32_t height = 4) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(width, height, format, b), platform::Status::Ok);
  uint32_t s = 2024u + format;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t i = 0; i < b->Stride(); ++i) b->Row(y)[i] = static_cast<uint8_t>((s = s * 1664525u + 1013904223u) >> 24);
  if (platform::IsIndexed(format)) {
    platform::Palette p = b->GetPalette();
    for (size_t i = 0; i < p.entries.size(); ++i) p.entries[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010203u + 7);
    EXPECT_EQ(b->SetPalette(p), platform::Status::Ok);
  }
  b->SetResolution(150.0f, 75.0f);
  b->SetProperty({0x010F, 2, {'A', 'c', 'm', 'e', 0}});
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

TEST(GeometryRotate, EveryTypeInEveryFormatMatchesTheReferenceAndKeepsFormatPaletteAndResolution) {
  cImaging im;
  for (PixelFormat format : platform::kAllPixelFormats) {
    for (int type = 0; type < 8; ++type) {
      SCOPED_TRACE("format " + std::to_string(format) + " type " + std::to_string(type));
      const int32_t id = NoiseImage(im, format);
      const Grid before = RawGrid(Native(im));
      const platform::Palette palette = Native(im).GetPalette();
      ASSERT_EQ(im.Rotate(static_cast<RotateFlipType>(type)), OK);
      EXPECT_EQ(im.GetStat(), OK);
      Bitmap& after = Native(im);
      EXPECT_EQ(after.Format(), format);
      EXPECT_EQ(RawGrid(after), Reference(before, type));
      EXPECT_EQ(after.GetPalette().entries, palette.entries);
      EXPECT_FLOAT_EQ(after.HorizontalResolution(), 150.0f);
      EXPECT_FLOAT_EQ(after.VerticalResolution(), 75.0f);
      im.CloseImage(id);
    }
  }
}

TEST(GeometryRotate, TagsSurviveAndUnknownValuesChangeNothing) {
  cImaging im;
  platform::PropertyItem item;
  NoiseImage(im, platform::kPixelFormat24bppRGB);
  im.TagsSetPreserve(true);
  ASSERT_EQ(im.Rotate(Rotate90FlipNone), OK);
  EXPECT_EQ(Native(im).GetProperty(0x010F, item), platform::Status::Ok);
  EXPECT_EQ(item.value.size(), 5u);

  // A turn keeps the image's own items even when tags are not preserved, as the platform's
  // in-place turn does.
  im.TagsSetPreserve(false);
  ASSERT_EQ(im.Rotate(Rotate270FlipX), OK);
  EXPECT_EQ(Native(im).GetProperty(0x010F, item), platform::Status::Ok);
  EXPECT_EQ(Native(im).Properties().size(), 1u);

  const Grid before = RawGrid(Native(im));
  const Bitmap* bitmapBefore = &Native(im);
  for (int32_t bad : {-1, 8, 1000, INT32_MIN}) {
    EXPECT_EQ(im.Rotate(static_cast<RotateFlipType>(bad)), InvalidParameter) << bad;
    EXPECT_EQ(im.GetStat(), InvalidParameter);
  }
  EXPECT_EQ(&Native(im), bitmapBefore);
  EXPECT_EQ(RawGrid(Native(im)), before);

  cImaging empty;
  EXPECT_EQ(empty.Rotate(Rotate90FlipNone), GenericError);
  im.RemoveAllImage();
}

TEST(GeometryCrop, TakesTheRectangleInTheImagesOwnFormat) {
  cImaging im;
  for (PixelFormat format : {platform::kPixelFormat1bppIndexed, platform::kPixelFormat4bppIndexed,
                             platform::kPixelFormat8bppIndexed, platform::kPixelFormat24bppRGB,
                             platform::kPixelFormat64bppARGB}) {
    SCOPED_TRACE(format);
    NoiseImage(im, format, 13, 9);
    const Grid before = RawGrid(Native(im));
    const platform::Palette palette = Native(im).GetPalette();
    ASSERT_EQ(im.Crop(3, 2, 9, 6), OK);
    Bitmap& after = Native(im);
    ASSERT_EQ(after.Width(), 9);
    ASSERT_EQ(after.Height(), 6);
    EXPECT_EQ(after.Format(), format);
    EXPECT_EQ(after.GetPalette().entries, palette.entries);
    EXPECT_FLOAT_EQ(after.HorizontalResolution(), 150.0f);
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(RawPixel(after, x, y), before[y + 2][x + 3]) << x << "," << y;
    // The whole image and a single corner pixel are valid rectangles.
    EXPECT_EQ(im.Crop(0, 0, 9, 6), OK);
    EXPECT_EQ(im.Crop(8, 5, 1, 1), OK);
    EXPECT_EQ(RawPixel(Native(im), 0, 0), before[7][11]);
  }
  im.RemoveAllImage();
}

TEST(GeometryCrop, BadEmptyAndOverflowingRectanglesChangeNothing) {
  cImaging im;
  NoiseImage(im, platform::kPixelFormat8bppIndexed, 10, 8);
  const Grid before = RawGrid(Native(im));
  const Bitmap* bitmapBefore = &Native(im);
  const int32_t rects[][4] = {
      {0, 0, 0, 8},         {0, 0, 10, 0},         {0, 0, -1, 8},       {-1, 0, 5, 5},
      {0, -1, 5, 5},        {1, 0, 10, 8},         {0, 1, 10, 8},       {10, 0, 1, 1},
      {0, 8, 1, 1},         {INT32_MAX, 0, 2, 2},  {2, 0, INT32_MAX, 1}, {0, 2, 1, INT32_MAX},
      {INT32_MIN, 0, INT32_MAX, 1}, {5, 5, INT32_MIN, INT32_MIN},
  };
  for (const auto& r : rects) {
    EXPECT_EQ(im.Crop(r[0], r[1], r[2], r[3]), InvalidParameter) << r[0] << "," << r[1] << "," << r[2] << "," << r[3];
    EXPECT_EQ(im.GetStat(), InvalidParameter);
  }
  EXPECT_EQ(&Native(im), bitmapBefore);
  EXPECT_EQ(RawGrid(Native(im)), before);
  cImaging empty;
  EXPECT_EQ(empty.Crop(0, 0, 1, 1), GenericError);
  im.RemoveAllImage();
}

TEST(Geometry, ActsOnTheCurrentPageOfADocumentAndMarksItChanged) {
  cImaging im;
  const int32_t page = NoiseImage(im, platform::kPixelFormat1bppIndexed, 12, 5);
  const Grid before = RawGrid(Native(im));
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

  ASSERT_EQ(im.Rotate(Rotate90FlipNone), OK);
  Bitmap* turned = ResolveImage(page);
  ASSERT_NE(turned, nullptr);
  EXPECT_EQ(turned->Format(), platform::kPixelFormat1bppIndexed);
  EXPECT_EQ(RawGrid(*turned), Reference(before, Rotate90FlipNone));
  EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);

  ASSERT_EQ(im.Crop(1, 2, 3, 4), OK);
  EXPECT_EQ(ResolveImage(page)->Width(), 3);
  EXPECT_EQ(ResolveImage(page)->Height(), 4);
  EXPECT_EQ(im.Crop(0, 0, 5, 1), InvalidParameter);

  // Every rebuild of a page (here a format conversion) marks it for writing back.
  ImageRegistry::Current().Entry(page)->pageModified = false;
  ASSERT_EQ(im.ConvertTo8BppGrayScale(), OK);
  EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);
  im.RemoveAllImage();
}

}  // namespace
}  // namespace tessivo
