// Skew measurement and automatic deskew through cImaging: synthetic text pages turned by known
// angles are measured within the 0.2-degree step of the search, straightened in every pixel
// format without changing size or format, and blank, tiny or missing images get their statuses
// without being touched.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_convert.h"
#include "platform/pixel_format.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

constexpr double kStep = 0.2;  // the resolution of the measured angles

// Word bars of a page of text: per line, which columns of the unturned page are ink.
struct TextLayout {
  int32_t top = 0, pitch = 0, barHeight = 0, lines = 0;
  std::vector<std::vector<uint8_t>> ink;  // [line][u]
};

TextLayout LayOutText(int32_t width, int32_t height) {
  TextLayout t;
  t.pitch = 24;
  t.barHeight = 8;
  t.top = height / 10;
  t.lines = (height - 2 * t.top) / t.pitch;
  uint32_t seed = 2024;
  auto next = [&](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  const int32_t margin = width / 10;
  for (int32_t line = 0; line < t.lines; ++line) {
    std::vector<uint8_t> row(static_cast<size_t>(width), 0);
    // Every seventh line ends early, like the last line of a paragraph.
    const int32_t end = line % 7 == 6 ? width / 2 : width - margin;
    for (int32_t u = margin; u < end;) {
      const int32_t word = 12 + static_cast<int32_t>(next(60));
      for (int32_t k = u; k < std::min(u + word, end); ++k) row[static_cast<size_t>(k)] = 1;
      u += word + 8 + static_cast<int32_t>(next(6));
    }
    t.ink.push_back(std::move(row));
  }
  return t;
}

// A 32-bit page of `ink` text on `paper`, turned clockwise on screen by `skew` degrees about its
// centre (positive: the lines run down to the right). Each pixel asks whether its place on the
// unturned page is ink, so the skew is exact and nothing else is resampled.
std::unique_ptr<Bitmap> TextPage(int32_t width, int32_t height, double skew, uint32_t ink = 0xFF141414u,
                                 uint32_t paper = 0xFFF4F4F4u) {
  const TextLayout t = LayOutText(width, height);
  std::unique_ptr<Bitmap> page;
  EXPECT_EQ(Bitmap::Create(width, height, platform::kPixelFormat32bppARGB, page), platform::Status::Ok);
  const double a = skew * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
  const double cx = width / 2.0, cy = height / 2.0;
  for (int32_t y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(page->Row(y));
    for (int32_t x = 0; x < width; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      const double u = cx + dx * c + dy * s, v = cy - dx * s + dy * c;
      bool dark = false;
      const double inLines = v - t.top;
      if (inLines >= 0 && u >= 0 && u < width) {
        const int32_t line = static_cast<int32_t>(inLines) / t.pitch;
        dark = line < t.lines && std::fmod(inLines, t.pitch) < t.barHeight &&
               t.ink[static_cast<size_t>(line)][static_cast<size_t>(u)] != 0;
      }
      row[x] = dark ? ink : paper;
    }
  }
  page->SetResolution(300.0f, 300.0f);
  return page;
}

int32_t Register(cImaging& im, std::unique_ptr<Bitmap> image) {
  int32_t id = 0;
  RegisterImage(id, std::move(image), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

// The page in `format`: indexed and grey formats through the toolkit's own conversions, the
// others through the platform's.
int32_t RegisterIn(cImaging& im, std::unique_ptr<Bitmap> page, PixelFormat format) {
  if (format == platform::kPixelFormat1bppIndexed || format == platform::kPixelFormat8bppIndexed) {
    const int32_t id = Register(im, std::move(page));
    EXPECT_EQ(format == platform::kPixelFormat1bppIndexed ? im.ConvertTo1Bpp() : im.ConvertTo8BppGrayScale(), OK);
    return id;
  }
  std::unique_ptr<Bitmap> converted;
  EXPECT_EQ(page->CloneArea({0, 0, page->Width(), page->Height()}, format, converted), platform::Status::Ok);
  return Register(im, std::move(converted));
}

Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

std::vector<uint8_t> Bytes(const Bitmap& b) {
  std::vector<uint8_t> v;
  const size_t row = static_cast<size_t>(platform::RowBytes(b.Format(), b.Width()));
  for (int32_t y = 0; y < b.Height(); ++y) v.insert(v.end(), b.Row(y), b.Row(y) + row);
  return v;
}

bool GreyPalette(const Bitmap& b) {
  const platform::Palette p = b.GetPalette();
  if (p.entries.empty()) return false;
  for (uint32_t e : p.entries)
    if (((e >> 16) & 0xFF) != (e & 0xFF) || ((e >> 8) & 0xFF) != (e & 0xFF)) return false;
  return true;
}

TEST(Deskew, MeasuresPagesTurnedByKnownAngles) {
  cImaging im;
  for (double skew : {0.5, -0.5, 1.0, -1.0, 2.0, -2.0, 3.3, -3.7, 5.0, -5.0, 7.5, -7.5, 10.0, -10.0}) {
    SCOPED_TRACE("skew " + std::to_string(skew));
    Register(im, TextPage(700, 900, skew));
    const double measured = im.GetSkewAngle();
    EXPECT_EQ(im.GetStat(), OK);
    EXPECT_NEAR(measured, skew, kStep / 2 + 1e-9);  // half a step: the ten cells' mean
    im.CloseImage(im.GetNativeImage());
  }
  // Coloured ink on tinted paper: darkness is the luma below 140, whatever the hue.
  Register(im, TextPage(700, 900, -2.4, 0xFF2020A0u, 0xFFFFF0C0u));
  EXPECT_NEAR(im.GetSkewAngle(), -2.4, kStep);
  // Light ink (luma 150) is not text: the page is straight.
  Register(im, TextPage(700, 900, 4.0, 0xFF969696u, 0xFFFFFFFFu));
  EXPECT_EQ(im.GetSkewAngle(), 0.0);
  EXPECT_EQ(im.GetStat(), OK);
  im.RemoveAllImage();
}

TEST(Deskew, StraightensEveryPixelFormatKeepingSizeAndFormat) {
  for (PixelFormat format : platform::kAllPixelFormats) {
    SCOPED_TRACE("format " + std::to_string(format));
    cImaging im;
    RegisterIn(im, TextPage(500, 640, 3.0), format);
    const PixelFormat before = Native(im).Format();
    ASSERT_EQ(before, format);
    const bool greyBefore = format == platform::kPixelFormat8bppIndexed && GreyPalette(Native(im));
    EXPECT_NEAR(im.GetSkewAngle(), 3.0, kStep);
    ASSERT_EQ(im.AutoDeskew(), OK);
    EXPECT_EQ(Native(im).Width(), 500);
    EXPECT_EQ(Native(im).Height(), 640);
    EXPECT_EQ(Native(im).Format(), format);
    if (greyBefore) {
      EXPECT_TRUE(GreyPalette(Native(im)));
    }
    EXPECT_EQ(Native(im).HorizontalResolution(), 300.0f);
    // Turned back, the lines are level within the step; the corners came in white.
    EXPECT_LE(std::fabs(im.GetSkewAngle()), kStep + 1e-9);
    EXPECT_EQ(im.GetStat(), OK);
    uint32_t corner = 0;
    ASSERT_EQ(Native(im).GetPixel(0, 0, corner), platform::Status::Ok);
    EXPECT_GE(corner & 0xFF, 0xF0u);
    im.RemoveAllImage();
  }
}

TEST(Deskew, LeavesStraightBlankAndDarkPagesUntouched) {
  cImaging im;
  struct Case {
    const char* name;
    std::unique_ptr<Bitmap> page;
  };
  std::vector<Case> cases;
  cases.push_back({"straight", TextPage(600, 700, 0.0)});
  cases.push_back({"below threshold", TextPage(600, 700, 0.2)});
  std::unique_ptr<Bitmap> blank, black;
  ASSERT_EQ(Bitmap::Create(600, 700, platform::kPixelFormat24bppRGB, blank), platform::Status::Ok);
  for (int32_t y = 0; y < 700; ++y) std::fill(blank->Row(y), blank->Row(y) + 1800, uint8_t{0xFF});
  cases.push_back({"blank", std::move(blank)});
  ASSERT_EQ(Bitmap::Create(600, 700, platform::kPixelFormat1bppIndexed, black), platform::Status::Ok);
  cases.push_back({"black", std::move(black)});
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register(im, std::move(c.page));
    const Bitmap* bitmap = &Native(im);
    const std::vector<uint8_t> before = Bytes(*bitmap);
    EXPECT_LE(std::fabs(im.GetSkewAngle()), 0.3);
    EXPECT_EQ(im.GetStat(), OK);
    EXPECT_EQ(im.AutoDeskew(), OK);
    EXPECT_EQ(&Native(im), bitmap);
    EXPECT_EQ(Bytes(Native(im)), before);
  }
  // Two blocks of text at conflicting angles: the strongest cells disagree, so no turn.
  std::unique_ptr<Bitmap> mixed = TextPage(600, 700, 6.0);
  const std::unique_ptr<Bitmap> other = TextPage(600, 700, -6.0);
  for (int32_t y = 350; y < 700; ++y) std::copy_n(other->Row(y), 600 * 4, mixed->Row(y));
  Register(im, std::move(mixed));
  EXPECT_EQ(im.GetSkewAngle(), 0.0);
  EXPECT_EQ(im.GetStat(), OK);
  // No votes at all is no skew, not the first cells of an empty table.
  Register(im, TextPage(600, 700, 0.0, 0xFFFFFFFFu, 0xFFFFFFFFu));
  EXPECT_EQ(im.GetSkewAngle(), 0.0);
  im.RemoveAllImage();
}

TEST(Deskew, TinyMissingAndUnknownImagesGiveStatuses) {
  cImaging im;
  for (auto [w, h] : std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {50, 50}, {50, 900}, {900, 50}, {1, 4000}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    std::unique_ptr<Bitmap> tiny;
    ASSERT_EQ(Bitmap::Create(w, h, platform::kPixelFormat8bppIndexed, tiny), platform::Status::Ok);
    Register(im, std::move(tiny));
    const std::vector<uint8_t> before = Bytes(Native(im));
    EXPECT_EQ(im.GetSkewAngle(), 0.0);
    EXPECT_EQ(im.GetStat(), Aborted);
    EXPECT_EQ(im.AutoDeskew(), Aborted);
    EXPECT_EQ(Bytes(Native(im)), before);
  }
  // The smallest measured page.
  Register(im, TextPage(51, 51, 0.0));
  EXPECT_LE(std::fabs(im.GetSkewAngle()), 0.3);
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(im.AutoDeskew(), OK);

  cImaging none;
  EXPECT_EQ(none.GetSkewAngle(), 0.0);
  EXPECT_EQ(none.GetStat(), GenericError);
  EXPECT_EQ(none.AutoDeskew(), GenericError);

  const int32_t gone = Register(im, TextPage(300, 300, 2.0));
  ASSERT_EQ(im.CloseImage(gone), OK);
  im.SetNativeImage(gone);
  EXPECT_EQ(im.GetSkewAngle(), 0.0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.AutoDeskew(), InvalidParameter);
  im.RemoveAllImage();
}

TEST(Deskew, StraightensTheCurrentPageOfADocument) {
  cImaging im;
  const int32_t page = RegisterIn(im, TextPage(500, 640, -4.0), platform::kPixelFormat1bppIndexed);
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
  EXPECT_NEAR(im.GetSkewAngle(), -4.0, kStep);
  ImageRegistry::Current().Entry(page)->pageModified = false;
  ASSERT_EQ(im.AutoDeskew(), OK);
  EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);
  EXPECT_EQ(ResolveImage(page)->Format(), platform::kPixelFormat1bppIndexed);
  EXPECT_LE(std::fabs(im.GetSkewAngle()), kStep + 1e-9);
  im.RemoveAllImage();
}

}  // namespace
}  // namespace tessivo
