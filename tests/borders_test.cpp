#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/palette_mapper.h"
#include "platform/pixel_format.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kGrey = 0xFF808080u;

// A page drawn in ARGB: a background with rectangles of other colours, then stored in `format`
// (indexed formats take the nearest entry of their default palette, which holds black and white).
struct Page {
  int32_t width, height;
  std::vector<uint32_t> argb;
  Page(int32_t w, int32_t h, uint32_t background) : width(w), height(h), argb(static_cast<size_t>(w) * h, background) {}
  Page& Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t c) {
    for (int32_t j = y; j < y + h; ++j)
      for (int32_t i = x; i < x + w; ++i) argb[static_cast<size_t>(j) * width + i] = c;
    return *this;
  }
  Page& Noise(int32_t x, int32_t y, int32_t w, int32_t h) {
    uint32_t s = 77;
    for (int32_t j = y; j < y + h; ++j)
      for (int32_t i = x; i < x + w; ++i)
        argb[static_cast<size_t>(j) * width + i] = 0xFF000000u | ((s = s * 1664525u + 1013904223u) >> 8);
    return *this;
  }
  int32_t Register(cImaging& im, PixelFormat format = platform::kPixelFormat24bppRGB) const {
    std::unique_ptr<Bitmap> drawn, stored;
    EXPECT_EQ(Bitmap::Create(width, height, platform::kPixelFormat32bppARGB, drawn), platform::Status::Ok);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) drawn->SetPixel(x, y, argb[static_cast<size_t>(y) * width + x]);
    EXPECT_EQ(drawn->CloneArea({0, 0, width, height}, format, stored), platform::Status::Ok);
    stored->SetResolution(200.0f, 100.0f);
    int32_t id = 0;
    RegisterImage(id, std::move(stored), "", "", OriginMemory);
    im.SetNativeImage(id);
    return id;
  }
};

Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

uint32_t At(cImaging& im, int32_t x, int32_t y) {
  uint32_t c = 0;
  EXPECT_EQ(Native(im).GetPixel(x, y, c), platform::Status::Ok);
  return c;
}

std::vector<uint32_t> Region(cImaging& im, int32_t x0, int32_t y0, int32_t w, int32_t h) {
  std::vector<uint32_t> out;
  for (int32_t y = y0; y < y0 + h; ++y)
    for (int32_t x = x0; x < x0 + w; ++x) out.push_back(At(im, x, y));
  return out;
}

void ExpectSize(cImaging& im, int32_t w, int32_t h) {
  EXPECT_EQ(Native(im).Width(), w);
  EXPECT_EQ(Native(im).Height(), h);
}

TEST(BorderDetection, FramesRowsAndSkippedLines) {
  cImaging im;
  // A one-pixel black frame on a white page: the first line of every edge scores 0.
  Page(40, 30, kWhite).Fill(0, 0, 40, 1, kBlack).Fill(0, 29, 40, 1, kBlack).Fill(0, 0, 1, 30, kBlack)
      .Fill(39, 0, 1, 30, kBlack).Register(im);
  EXPECT_EQ(im.CropWhiteBorders(100, 0), OK);
  ExpectSize(im, 40, 30);

  // 20 white rows over grey content: exactly those rows go, with or without skipped lines.
  const Page rows = Page(40, 50, kGrey).Fill(0, 0, 40, 20, kWhite);
  for (int32_t skip : {0, 5}) {
    SCOPED_TRACE(skip);
    rows.Register(im);
    ASSERT_EQ(im.CropWhiteBorders(100, skip), OK);
    ExpectSize(im, 40, 30);
    EXPECT_EQ(At(im, 0, 0), kGrey);
    EXPECT_FLOAT_EQ(Native(im).HorizontalResolution(), 200.0f);
  }
  // White lines only among the skipped ones stay.
  const Page shallow = Page(40, 50, kGrey).Fill(0, 0, 40, 5, kWhite);
  shallow.Register(im);
  EXPECT_EQ(im.CropWhiteBorders(100, 5), OK);
  ExpectSize(im, 40, 50);
  EXPECT_EQ(im.CropWhiteBorders(100, 0), OK);
  ExpectSize(im, 40, 45);

  // Black borders on each side, of different widths, in a 1-bit page.
  Page(40, 30, kWhite).Fill(0, 0, 40, 2, kBlack).Fill(0, 27, 40, 3, kBlack).Fill(0, 0, 4, 30, kBlack)
      .Fill(35, 0, 5, 30, kBlack).Fill(10, 10, 3, 3, kBlack).Register(im, platform::kPixelFormat1bppIndexed);
  ASSERT_EQ(im.CropBlackBorders(), OK);
  ExpectSize(im, 31, 25);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat1bppIndexed);
  EXPECT_EQ(At(im, 6, 8) & 0xFFFFFF, 0u);  // the inner dot moved with the crop
  im.RemoveAllImage();
}

TEST(BorderDetection, SmallImagesOutOfRangeArgumentsAndReports) {
  cImaging im;
  Page(9, 30, kWhite).Fill(0, 20, 9, 10, kGrey).Register(im);
  EXPECT_EQ(im.CropWhiteBorders(), OK);
  ExpectSize(im, 9, 30);
  int32_t l = -1, t = -1, w = -1, h = -1;
  EXPECT_EQ(im.CropBordersEX2(90, 1, l, t, w, h), OK);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(w, 9);
  EXPECT_EQ(h, 30);

  // Corners of different colours; out-of-range confidence and corner are 98 and top-left.
  const Page corners = Page(40, 30, kGrey).Fill(0, 0, 40, 3, 0xFFFAFAFAu).Fill(0, 0, 6, 30, kWhite)
                           .Fill(30, 25, 10, 5, kBlack).Noise(10, 8, 15, 12);
  corners.Register(im);
  int32_t a[4], b[4];
  ASSERT_EQ(im.CropBordersEX2(150, 9, a[0], a[1], a[2], a[3]), OK);
  ASSERT_EQ(im.CropBordersEX2(98, 1, b[0], b[1], b[2], b[3]), OK);
  EXPECT_EQ(std::vector<int32_t>(a, a + 4), std::vector<int32_t>(b, b + 4));
  // Confidence 98 tolerates a sum of 15, so the near-white top rows join the white ones.
  EXPECT_EQ(std::vector<int32_t>(b, b + 4), (std::vector<int32_t>{6, 3, 34, 27}));
  ASSERT_EQ(im.CropBordersEX2(100, 3, b[0], b[1], b[2], b[3]), OK);  // bottom-right black: exact
  EXPECT_EQ(std::vector<int32_t>(b, b + 4), (std::vector<int32_t>{0, 0, 40, 30}));
  ExpectSize(im, 40, 30);  // reporting changes nothing
  ASSERT_EQ(im.CropBordersEX(150, 9), OK);
  ExpectSize(im, 34, 27);
  EXPECT_EQ(At(im, 4, 5), corners.argb[static_cast<size_t>(8) * 40 + 10]);

  // No borders: the whole image.
  Page(30, 20, kGrey).Noise(0, 0, 30, 20).Register(im);
  ASSERT_EQ(im.CropBordersEX2(90, 2, b[0], b[1], b[2], b[3]), OK);
  EXPECT_EQ(std::vector<int32_t>(b, b + 4), (std::vector<int32_t>{0, 0, 30, 20}));
  EXPECT_EQ(im.CropBorders(), OK);
  ExpectSize(im, 30, 20);
  // Confidence above 100 finds nothing; far below 0 lets every pixel match (a page of border).
  for (int32_t confidence : {101, INT32_MAX, -5, INT32_MIN}) {
    EXPECT_EQ(im.CropWhiteBorders(confidence, INT32_MAX), OK);
    EXPECT_EQ(im.CropWhiteBorders(confidence, INT32_MIN), OK);
    ExpectSize(im, 30, 20);
  }
  cImaging empty;
  EXPECT_EQ(empty.CropWhiteBorders(), GenericError);
  EXPECT_EQ(empty.CropBordersEX2(90, 1, l, t, w, h), GenericError);
  im.RemoveAllImage();
}

TEST(BorderDetection, ContentLeftIsNeverEmpty) {
  cImaging im;
  // Blank and all-black pages are all border: they keep their size.
  Page(40, 30, kWhite).Register(im);
  EXPECT_EQ(im.CropWhiteBorders(), OK);
  ExpectSize(im, 40, 30);
  int32_t r[4];
  ASSERT_EQ(im.CropBordersEX2(90, 1, r[0], r[1], r[2], r[3]), OK);
  EXPECT_EQ(std::vector<int32_t>(r, r + 4), (std::vector<int32_t>{0, 0, 40, 30}));
  Page(40, 30, kBlack).Register(im, platform::kPixelFormat1bppIndexed);
  EXPECT_EQ(im.CropBlackBorders(), OK);
  EXPECT_EQ(im.CropBlackBordersEx(), OK);
  ExpectSize(im, 40, 30);
  EXPECT_EQ(At(im, 20, 15), kBlack);

  // A sparse page: one dot is all that is left.
  Page(40, 30, kWhite).Fill(17, 11, 1, 1, kBlack).Register(im);
  ASSERT_EQ(im.CropWhiteBorders(), OK);
  ExpectSize(im, 1, 1);
  EXPECT_EQ(At(im, 0, 0), kBlack);
  // Content in the last row and column only.
  Page(40, 30, kWhite).Fill(39, 29, 1, 1, kBlack).Register(im);
  ASSERT_EQ(im.CropWhiteBorders(), OK);
  ExpectSize(im, 1, 1);
  EXPECT_EQ(At(im, 0, 0), kBlack);
  // At a confidence every line passes despite the dot, the page is all border.
  Page(40, 30, kWhite).Fill(17, 11, 1, 1, kBlack).Register(im);
  ASSERT_EQ(im.CropWhiteBorders(90), OK);
  ExpectSize(im, 40, 30);
  // Skipped frame lines before a page of white: all border too, nothing cut.
  Page(40, 30, kWhite).Fill(0, 0, 40, 2, kBlack).Register(im);
  ASSERT_EQ(im.CropWhiteBorders(100, 2), OK);
  ExpectSize(im, 40, 30);
  im.RemoveAllImage();
}

TEST(BorderDetection, BlackBordersPaintedWhiteKeepTheImage) {
  cImaging im;
  for (PixelFormat format : {platform::kPixelFormat1bppIndexed, platform::kPixelFormat8bppIndexed,
                             platform::kPixelFormat24bppRGB, platform::kPixelFormat48bppRGB}) {
    SCOPED_TRACE(format);
    const int32_t id = Page(41, 33, kWhite).Fill(0, 0, 41, 3, kBlack).Fill(0, 0, 5, 33, kBlack)
                           .Fill(38, 0, 3, 33, kBlack).Noise(9, 7, 20, 18).Fill(12, 10, 4, 4, kBlack)
                           .Register(im, format);
    const std::vector<uint32_t> inner = Region(im, 5, 3, 33, 30);
    ASSERT_EQ(im.CropBlackBordersEx(), OK);
    ExpectSize(im, 41, 33);
    EXPECT_EQ(Native(im).Format(), format);
    EXPECT_EQ(Region(im, 5, 3, 33, 30), inner);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {4, 20}, {20, 2}, {38, 32}, {40, 0}})
      EXPECT_EQ(At(im, x, y), kWhite) << x << "," << y;
    im.CloseImage(id);
  }
  // An indexed page without white is painted with the entry nearest to it.
  const int32_t id = Page(20, 20, kBlack).Fill(5, 5, 10, 10, kGrey).Register(im, platform::kPixelFormat8bppIndexed);
  platform::Palette p = Native(im).GetPalette();
  for (uint32_t& e : p.entries)
    if (e == kWhite) e = 0xFFF0F0F0u;
  ASSERT_EQ(Native(im).SetPalette(p), platform::Status::Ok);
  ASSERT_EQ(im.CropBlackBordersEx(), OK);
  EXPECT_EQ(At(im, 0, 0), 0xFFF0F0F0u);
  EXPECT_EQ(At(im, 7, 7), kGrey);
  im.CloseImage(id);
}

TEST(CropLines, CutsOneEdgeAndRefusesCountsThatLeaveNothing) {
  cImaging im;
  const Page page = Page(12, 10, kGrey).Noise(0, 0, 12, 10);
  page.Register(im, platform::kPixelFormat4bppIndexed);
  const std::vector<uint32_t> all = Region(im, 0, 0, 12, 10);
  auto original = [&](int32_t x, int32_t y) { return all[static_cast<size_t>(y) * 12 + x]; };
  ASSERT_EQ(im.CropTop(2), OK);
  ASSERT_EQ(im.CropLeft(3), OK);
  ASSERT_EQ(im.CropBottom(1), OK);
  ASSERT_EQ(im.CropRight(4), OK);
  ExpectSize(im, 5, 7);
  EXPECT_EQ(Native(im).Format(), platform::kPixelFormat4bppIndexed);
  EXPECT_EQ(At(im, 0, 0), original(3, 2));
  EXPECT_EQ(At(im, 4, 6), original(7, 8));
  EXPECT_EQ(im.CropTop(0), OK);
  ExpectSize(im, 5, 7);
  const std::vector<uint32_t> before = Region(im, 0, 0, 5, 7);
  for (int32_t n : {7, 8, -1, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(im.CropTop(n), InvalidParameter) << n;
    EXPECT_EQ(im.CropBottom(n), InvalidParameter) << n;
    EXPECT_EQ(im.CropLeft(n == 7 || n == 8 ? n - 2 : n), InvalidParameter) << n;  // the image is 5 wide
    EXPECT_EQ(im.CropRight(n), InvalidParameter) << n;
  }
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(Region(im, 0, 0, 5, 7), before);
  cImaging empty;
  EXPECT_EQ(empty.CropTop(1), GenericError);
  im.RemoveAllImage();
}

// Frame pixels read back as the colour itself or, in indexed images, as the palette entry
// nearest to it.
uint32_t Expected(const Bitmap& image, uint32_t color) {
  const std::vector<uint32_t>& entries = image.GetPalette().entries;
  if (!platform::IsIndexed(image.Format())) return platform::HasAlpha(image.Format()) ? color : color | 0xFF000000u;
  return entries[platform::NearestPaletteMapper::LinearSearch(entries, color)];
}

TEST(AddBorders, FramesEveryFormatAroundTheUnchangedImage) {
  cImaging im;
  im.TagsSetPreserve(true);
  const uint32_t color = 0x80C04020u;
  for (PixelFormat format : {platform::kPixelFormat1bppIndexed, platform::kPixelFormat8bppIndexed,
                             platform::kPixelFormat24bppRGB, platform::kPixelFormat32bppARGB,
                             platform::kPixelFormat48bppRGB}) {
    SCOPED_TRACE(format);
    const int32_t id = Page(13, 9, kGrey).Noise(0, 0, 13, 9).Register(im, format);
    Native(im).SetProperty({0x010F, 2, {'S', 'c', 'a', 'n', 0}});
    const std::vector<uint32_t> inner = Region(im, 0, 0, 13, 9);
    const std::vector<uint32_t> palette = Native(im).GetPalette().entries;
    ASSERT_EQ(im.AddBorders(3, static_cast<int32_t>(color)), OK);
    ASSERT_EQ(im.AddBorderLeft(5, static_cast<int32_t>(color)), OK);  // not a whole byte at 1 bpp
    ASSERT_EQ(im.AddBorderTop(1, static_cast<int32_t>(kWhite)), OK);
    ASSERT_EQ(im.AddBorderRight(2), OK);                              // opaque black
    ASSERT_EQ(im.AddBorderBottom(0, static_cast<int32_t>(kWhite)), OK);  // a copy, frame kept
    Bitmap& framed = Native(im);
    ExpectSize(im, 13 + 6 + 5 + 2, 9 + 6 + 1);
    EXPECT_EQ(framed.Format(), format);
    EXPECT_EQ(framed.GetPalette().entries, palette);
    EXPECT_FLOAT_EQ(framed.VerticalResolution(), 100.0f);
    platform::PropertyItem item;
    EXPECT_EQ(framed.GetProperty(0x010F, item), platform::Status::Ok);
    EXPECT_EQ(Region(im, 8, 4, 13, 9), inner);
    const uint32_t frame = Expected(framed, color);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 1}, {7, 8}, {21, 4}, {23, 15}, {8, 13}, {5, 15}})
      EXPECT_EQ(At(im, x, y), frame) << x << "," << y;
    EXPECT_EQ(At(im, 3, 0), Expected(framed, kWhite));
    EXPECT_EQ(At(im, 24, 7), Expected(framed, kBlack));
    EXPECT_EQ(At(im, 25, 0), Expected(framed, kBlack));
    im.CloseImage(id);
  }
}

TEST(AddBorders, HostileWidthsChangeNothing) {
  cImaging im;
  Page(7, 5, kGrey).Noise(0, 0, 7, 5).Register(im, platform::kPixelFormat64bppARGB);
  const Bitmap* before = &Native(im);
  EXPECT_EQ(im.AddBorders(-1), InvalidParameter);
  EXPECT_EQ(im.AddBorderTop(INT32_MIN), InvalidParameter);
  EXPECT_EQ(im.AddBorders(INT32_MAX), OutOfMemory);
  EXPECT_EQ(im.AddBorderLeft(INT32_MAX - 3), OutOfMemory);
  EXPECT_EQ(im.AddBorderRight(INT32_MAX - 6), OutOfMemory);  // exactly INT32_MAX + 1 wide
  EXPECT_EQ(im.AddBorders(20000), OutOfMemory);              // 40007 squared x 8 bytes
  EXPECT_EQ(im.GetStat(), OutOfMemory);
  EXPECT_EQ(&Native(im), before);
  ExpectSize(im, 7, 5);
  cImaging empty;
  EXPECT_EQ(empty.AddBorders(1), GenericError);
  im.RemoveAllImage();
}

TEST(Borders, ActOnTheCurrentPageOfADocument) {
  cImaging im;
  const int32_t page = Page(30, 20, kWhite).Fill(0, 0, 30, 2, kBlack).Fill(5, 5, 3, 3, kGrey)
                           .Register(im, platform::kPixelFormat1bppIndexed);
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
  ASSERT_EQ(im.CropBlackBordersEx(), OK);
  EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);
  uint32_t c = 0;
  ASSERT_EQ(ResolveImage(page)->GetPixel(10, 0, c), platform::Status::Ok);
  EXPECT_EQ(c, kWhite);
  ImageRegistry::Current().Entry(page)->pageModified = false;
  ASSERT_EQ(im.AddBorderBottom(4), OK);
  EXPECT_EQ(ResolveImage(page)->Height(), 24);
  EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);
  im.RemoveAllImage();
}

}  // namespace
}  // namespace tessivo
