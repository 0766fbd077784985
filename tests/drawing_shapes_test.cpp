#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/documents.h"
#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "platform/graphics/graphics.h"
#include "platform/pixel_format.h"
#include "support/codec_fixtures.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;
using testing::PixelOf;
using testing::ScopedTempFolder;

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr int32_t kRed = static_cast<int32_t>(0xFFFF0000u);

// A white 24-bit image, registered and made native.
int32_t WhiteImage(cImaging& im, int32_t w, int32_t h, pf::PixelFormat format = pf::kPixelFormat24bppRGB) {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(w, h, format, b), pf::Status::Ok);
  for (int32_t y = 0; y < h; ++y) std::memset(b->Row(y), 0xFF, static_cast<size_t>(b->Stride()));
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

pf::Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

// The image as rows of '#' (not white) and '.' (white).
std::vector<std::string> Picture(cImaging& im) {
  const pf::Bitmap& b = Native(im);
  std::vector<std::string> rows;
  for (int32_t y = 0; y < b.Height(); ++y) {
    std::string row;
    for (int32_t x = 0; x < b.Width(); ++x) {
      uint32_t argb = 0;
      b.GetPixel(x, y, argb);
      row += argb == kWhite ? '.' : '#';
    }
    rows.push_back(row);
  }
  return rows;
}

// Pixels not white, and the expected set given as a predicate.
template <typename Inside>
void ExpectExactly(cImaging& im, Inside&& inside) {
  const std::vector<std::string> pic = Picture(im);
  for (size_t y = 0; y < pic.size(); ++y)
    for (size_t x = 0; x < pic[y].size(); ++x)
      EXPECT_EQ(pic[y][x] == '#', inside(int(x), int(y))) << "pixel " << x << "," << y;
}

size_t Count(cImaging& im) {
  size_t n = 0;
  for (const std::string& row : Picture(im)) n += static_cast<size_t>(std::count(row.begin(), row.end(), '#'));
  return n;
}

SafeArray<int32_t> Points(std::vector<int32_t> xy) { return SafeArray<int32_t>::FromVector(std::move(xy)); }

TEST(DrawShapes, AliasedFillsOutlinesAndLinesCoverExactPixels) {
  cImaging im;
  WhiteImage(im, 30, 20);
  ASSERT_EQ(im.DrawFillRectangle(3, 4, 5, 6, kRed), OK);
  ExpectExactly(im, [](int x, int y) { return x >= 3 && x <= 7 && y >= 4 && y <= 9; });
  uint32_t argb = 0;
  Native(im).GetPixel(3, 4, argb);
  EXPECT_EQ(argb, 0xFFFF0000u);

  WhiteImage(im, 30, 20);
  ASSERT_EQ(im.DrawRectangle(3, 4, 5, 6, 1), OK);
  ExpectExactly(im, [](int x, int y) {
    const bool inX = x >= 3 && x <= 8, inY = y >= 4 && y <= 10;
    return inX && inY && (x == 3 || x == 8 || y == 4 || y == 10);
  });

  WhiteImage(im, 30, 20);
  ASSERT_EQ(im.DrawLine(2, 7, 25, 7, 1), OK);
  ExpectExactly(im, [](int x, int y) { return y == 7 && x >= 2 && x < 25; });
  WhiteImage(im, 30, 20);
  ASSERT_EQ(im.DrawLine(2, 7, 25, 7, 0), OK) << "width 0 still draws one pixel wide";
  ExpectExactly(im, [](int x, int y) { return y == 7 && x >= 2 && x < 25; });

  // The rotated rectangle keeps its corner at (10, 10) and turns a quarter clockwise.
  WhiteImage(im, 40, 40);
  ASSERT_EQ(im.DrawRotatedFillRectangle(10, 10, 20, 5, 90), OK);
  ExpectExactly(im, [](int x, int y) { return x >= 5 && x <= 9 && y >= 10 && y <= 29; });

  // An arrow head widens the end of a line beyond the pen.
  WhiteImage(im, 40, 20);
  ASSERT_EQ(im.DrawLineArrow(2, 10, 30, 10, 1), OK);
  const std::vector<std::string> pic = Picture(im);
  EXPECT_EQ(pic[9][27], '#');
  EXPECT_EQ(pic[11][27], '#');
  EXPECT_EQ(pic[9][20], '.');
  EXPECT_EQ(pic[8][10], '.');
  EXPECT_EQ(pic[10][31], '.');
}

TEST(DrawShapes, FillModesSplinesArcsAndAntiAliasedArea) {
  cImaging im;
  // A pentagram: its centre is crossed twice, so alternate leaves it hollow, winding fills it.
  std::vector<int32_t> star;
  for (int k = 0; k < 5; ++k) {
    const double a = (-90 + 144.0 * k) * M_PI / 180;
    star.push_back(static_cast<int32_t>(std::lround(50 + 40 * std::cos(a))));
    star.push_back(static_cast<int32_t>(std::lround(50 + 40 * std::sin(a))));
  }
  WhiteImage(im, 100, 100);
  ASSERT_EQ(im.DrawFillPolygon(Points(star), FillModeAlternate), OK);
  EXPECT_EQ(Picture(im)[52][50], '.');
  EXPECT_EQ(Picture(im)[20][50], '#');
  WhiteImage(im, 100, 100);
  ASSERT_EQ(im.DrawFillPolygon(Points(star), FillModeWinding), OK);
  EXPECT_EQ(Picture(im)[52][50], '#');
  const std::vector<std::string> winding = Picture(im);

  // Tension 0 turns the closed spline into the polygon.
  WhiteImage(im, 100, 100);
  ASSERT_EQ(im.DrawFillClosedCurves(Points(star), 0.0f, FillModeWinding), OK);
  EXPECT_EQ(Picture(im), winding);
  WhiteImage(im, 100, 100);
  ASSERT_EQ(im.DrawFillClosedCurves(Points(star), 0.5f, FillModeWinding), OK);
  EXPECT_NE(Picture(im), winding) << "a real tension bends the sides";

  // The arc of a 200 x 100 ellipse from 0 to 45 degrees ends on the 45-degree ray from the
  // centre (x - 100 == y - 50), not at the parametric angle's point.
  WhiteImage(im, 220, 120);
  ASSERT_EQ(im.DrawArc(0, 0, 200, 100, 0, 45, 1), OK);
  const double t = std::atan2(100.0, 50.0);  // parametric angle of the 45-degree ray
  const int ex = static_cast<int>(std::lround(100 + 100 * std::cos(t)));
  const int ey = static_cast<int>(std::lround(50 + 50 * std::sin(t)));
  const std::vector<std::string> arc = Picture(im);
  bool nearEnd = false;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) nearEnd = nearEnd || arc[ey + dy][ex + dx] == '#';
  EXPECT_TRUE(nearEnd) << "end of the arc near " << ex << "," << ey;
  EXPECT_EQ(arc[static_cast<size_t>(50 + 35)][static_cast<size_t>(100 + 70)], '.')
      << "the parametric 45-degree point lies past the end";
  EXPECT_EQ(arc[50][200], '#') << "the arc starts on the 0-degree ray";

  // Anti-aliased coverage of a filled circle sums to its area.
  WhiteImage(im, 120, 120);
  ASSERT_EQ(im.DrawFillCircle(10, 10, 100, static_cast<int32_t>(0xFF000000u), true), OK);
  double covered = 0;
  const pf::Bitmap& b = Native(im);
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) covered += (255 - b.Row(y)[3 * x + 1]) / 255.0;
  EXPECT_NEAR(covered, M_PI * 50 * 50, M_PI * 50 * 50 * 0.01);

  // Rounded corners clamp their radius: beyond half the side it is a circle.
  WhiteImage(im, 40, 40);
  ASSERT_EQ(im.DrawFillRoundedRectangle(5, 5, 20, 20, 500), OK);
  const std::vector<std::string> clamped = Picture(im);
  WhiteImage(im, 40, 40);
  ASSERT_EQ(im.DrawFillCircle(5, 5, 20), OK);
  EXPECT_EQ(clamped, Picture(im));
  WhiteImage(im, 40, 40);
  ASSERT_EQ(im.DrawFillRoundedRectangle(5, 5, 20, 10, -3), OK);
  ExpectExactly(im, [](int x, int y) { return x >= 5 && x <= 24 && y >= 5 && y <= 14; });
}

TEST(DrawShapes, GradientLinesBlendFromStartToEnd) {
  cImaging im;
  WhiteImage(im, 120, 10);
  ASSERT_EQ(im.DrawGradientLine(10, 5, 110, 5, 1, static_cast<int32_t>(0xFF0000FFu), kRed), OK);
  const int32_t id = im.GetNativeImage();
  auto red = [&](int32_t x) { return static_cast<int>((PixelOf(id, x, 5) >> 16) & 0xFF); };
  auto blue = [&](int32_t x) { return static_cast<int>(PixelOf(id, x, 5) & 0xFF); };
  EXPECT_LE(red(10), 4);
  EXPECT_GE(blue(10), 251);
  EXPECT_NEAR(red(60), 128, 4);
  EXPECT_NEAR(blue(60), 128, 4);
  EXPECT_GE(red(109), 251);
  EXPECT_EQ(PixelOf(id, 60, 4), kWhite);
  // Same points: no direction, the start colour.
  ASSERT_EQ(im.DrawGradientLine(5, 8, 5, 8, 1, kRed, static_cast<int32_t>(0xFF0000FFu)), OK);
  EXPECT_EQ(im.DrawGradientCurves(Points({1, 2, 3}), 1, kRed, kRed), InvalidParameter);
  WhiteImage(im, 120, 40);
  ASSERT_EQ(im.DrawGradientCurves(Points({10, 20, 60, 5, 110, 20}), 1, static_cast<int32_t>(0xFF0000FFu), kRed), OK);
  const uint32_t first = PixelOf(im.GetNativeImage(), 10, 20), last = PixelOf(im.GetNativeImage(), 109, 20);
  EXPECT_GE(first & 0xFF, 240u) << std::hex << first;
  EXPECT_GE((last >> 16) & 0xFF, 240u) << std::hex << last;
}

TEST(DrawShapes, SpotLightBlendsFromTheHotPointToTheEdge) {
  cImaging im;
  WhiteImage(im, 120, 120);
  // Radius 50 at (10, 10): centre (60, 60); hot point there, focus 0.5.
  ASSERT_EQ(im.DrawSpotLight(10, 10, 50, 50, 60, 60, static_cast<int32_t>(0xFF000000u), kRed, 0.5f), OK);
  const int32_t id = im.GetNativeImage();
  EXPECT_EQ(PixelOf(id, 60, 60), 0xFF000000u);
  EXPECT_EQ(PixelOf(id, 80, 60), 0xFF000000u) << "inside the focus";
  const uint32_t mid = PixelOf(id, 97, 60);  // three quarters of the way out
  EXPECT_NEAR(static_cast<int>((mid >> 16) & 0xFF), 128, 12) << std::hex << mid;
  EXPECT_EQ(mid & 0xFFFF, 0u);
  EXPECT_EQ(PixelOf(id, 5, 5), kWhite) << "outside the ellipse";
  EXPECT_EQ(PixelOf(id, 15, 15), kWhite) << "the box's corner lies outside the ellipse";
  EXPECT_EQ(im.DrawSpotLight(10, 10, 50, 50, 60, 60, 0, kRed, NAN), InvalidParameter);
}

TEST(DrawShapes, BadInputIsRejectedAndDrawsNothing) {
  cImaging empty;
  EXPECT_EQ(empty.DrawLine(0, 0, 5, 5, 1), GenericError);
  EXPECT_EQ(empty.DrawPolygon(Points({1, 2, 3}), 1), GenericError);

  cImaging im;
  WhiteImage(im, 20, 20);
  EXPECT_EQ(im.DrawPolygon(Points({1, 2, 3, 4, 5}), 1), InvalidParameter) << "odd length";
  EXPECT_EQ(im.DrawPolygon(Points({1, 2, 3, 4}), 1), InvalidParameter) << "two points";
  EXPECT_EQ(im.DrawCurves(Points({1, 2}), 1), InvalidParameter) << "one point";
  EXPECT_EQ(im.DrawFillClosedCurves(Points({1, 2, 9, 4, 5, 9}), NAN, FillModeAlternate), InvalidParameter);
  EXPECT_EQ(im.DrawFillPolygon(Points({1, 2, 9, 4, 5, 9}), static_cast<FillMode>(2)), InvalidParameter);
  SafeArray<int32_t> twoD({{0, 2}, {0, 3}});
  EXPECT_EQ(im.DrawFillPolygon(twoD, FillModeAlternate), InvalidParameter);
  EXPECT_EQ(im.DrawArc(0, 0, 10, 10, INFINITY, 90, 1), InvalidParameter);
  EXPECT_EQ(im.DrawRotatedRectangle(0, 0, 10, 10, NAN, 1), InvalidParameter);
  EXPECT_EQ(im.DrawGrid(0, 0, 10, 10, 0, 5, 1), InvalidParameter);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.DrawLine(-2000000000, 5, 2000000000, 5, 1), ValueOverflow) << "beyond the rasteriser's range";
  EXPECT_EQ(im.DrawLine(-2000000000, -50, 2000000000, -50, 1), OK) << "wholly off the image";
  EXPECT_EQ(Count(im), 0u);
  EXPECT_EQ(im.DrawCurves(Points({1, 2, 9, 9}), 1), OK) << "two points make an open curve";

  // A huge grid only builds the lines that meet the image.
  WhiteImage(im, 20, 20);
  ASSERT_EQ(im.DrawGrid(-2000000000, -2000000000, 2100000000, 2100000000, 5, 5, 1), OK);
  const std::vector<std::string> pic = Picture(im);
  EXPECT_EQ(pic[0][0], '#');
  EXPECT_EQ(pic[3][5], '#');
  EXPECT_EQ(pic[3][3], '.');
}

// Bytes of every pixel of a bitmap outside the columns x0..x1 must be unchanged.
TEST(DrawSurface, EveryFormatKeepsTheBytesOfUntouchedPixels) {
  for (pf::PixelFormat format : pf::kAllPixelFormats) {
    std::unique_ptr<pf::Bitmap> b;
    ASSERT_EQ(pf::Bitmap::Create(16, 6, format, b), pf::Status::Ok);
    uint32_t s = 77u + static_cast<uint32_t>(format);
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t i = 0; i < b->Stride(); ++i) b->Row(y)[i] = static_cast<uint8_t>((s = s * 1664525u + 1013904223u) >> 24);
    if (pf::IsIndexed(format)) {
      pf::Palette p = b->GetPalette();
      for (size_t i = 0; i < p.entries.size(); ++i) p.entries[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x050301u);
      p.entries[1] = p.entries[0];  // a duplicate entry must keep its index
      p.entries.back() = 0xFFFF0000u;
      ASSERT_EQ(b->SetPalette(p), pf::Status::Ok);
    }
    std::vector<std::vector<uint8_t>> before;
    for (int32_t y = 0; y < 6; ++y) before.emplace_back(b->Row(y), b->Row(y) + b->Stride());
    pf::Bitmap& bitmap = *b;
    int32_t id = 0;
    RegisterImage(id, std::move(b), "", "", OriginMemory);
    cImaging im;
    im.SetNativeImage(id);
    ASSERT_EQ(im.DrawFillRectangle(8, 2, 4, 3, kRed), OK) << format;
    const int bpp = pf::BitsPerPixel(format);
    for (int32_t y = 0; y < 6; ++y) {
      const bool rowDrawn = y >= 2 && y <= 4;
      // Bytes wholly outside the drawn columns 8..11.
      const int32_t firstDrawnByte = 8 * bpp / 8, endDrawnByte = (12 * bpp + 7) / 8;
      for (int32_t i = 0; i < static_cast<int32_t>(pf::StrideFor(format, 16)); ++i) {
        if (rowDrawn && i >= firstDrawnByte && i < endDrawnByte) continue;
        EXPECT_EQ(bitmap.Row(y)[i], before[static_cast<size_t>(y)][static_cast<size_t>(i)])
            << "format " << format << " row " << y << " byte " << i;
      }
    }
    uint32_t argb = 0;
    ASSERT_EQ(bitmap.GetPixel(9, 3, argb), pf::Status::Ok);
    if (format == pf::kPixelFormat16bppGrayScale)
      EXPECT_EQ(argb & 0xFFFFFF, 0x4C4C4Cu) << "red as grey";
    else
      EXPECT_EQ(argb & 0xFFFFFF, 0xFF0000u) << format;
    EXPECT_TRUE(ImageRegistry::Current().Entry(id)->pageModified);
    im.CloseImage(id);
  }
}

TEST(DrawSurface, DrawsAcrossImagesWiderThanOneTile) {
  cImaging im;
  WhiteImage(im, 40000, 3);
  ASSERT_EQ(im.DrawLine(0, 1, 40000, 1, 1, kRed), OK);
  for (int32_t x : {0, 4095, 4096, 20000, 32767, 32768, 39999}) {
    EXPECT_EQ(PixelOf(im.GetNativeImage(), x, 1), 0xFFFF0000u) << x;
    EXPECT_EQ(PixelOf(im.GetNativeImage(), x, 0), kWhite) << x;
    EXPECT_EQ(PixelOf(im.GetNativeImage(), x, 2), kWhite) << x;
  }
}

TEST(DrawSurface, ADrawnDocumentPageSurvivesAPageChange) {
  ScopedTempFolder dir;
  testing::TiffPage black;
  black.width = 12;
  black.height = 8;
  black.samples.assign(12 * 8 * 3, 0);
  const std::string path = dir.File("two.tif");
  testing::WriteBytes(path, testing::TiffFile({black, black}));

  cImaging im;
  const int32_t id = im.CreateImageFromFile(path);
  ASSERT_NE(id, 0) << im.GetStat();
  ASSERT_EQ(im.DrawFillEllipse(2, 2, 6, 4, kRed), OK);
  ASSERT_EQ(SelectPage(id, 1, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(PixelOf(ResolvePageID(id), 5, 4), 0xFF000000u) << "the other page is untouched";
  ASSERT_EQ(SelectPage(id, 0, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(PixelOf(ResolvePageID(id), 5, 4), 0xFFFF0000u);
  EXPECT_EQ(PixelOf(ResolvePageID(id), 0, 0), 0xFF000000u);
  im.CloseImage(id);
}

TEST(DrawSurface, ClipAndTransformOfThePlatformSurface) {
  std::unique_ptr<pf::Bitmap> b;
  ASSERT_EQ(pf::Bitmap::Create(20, 20, pf::kPixelFormat32bppARGB, b), pf::Status::Ok);
  pf::Graphics g(*b);
  g.IntersectClip({0, 0, 10, 20});
  pf::GraphicsPath path;
  path.AddRectangle(5, 5, 10, 10);
  ASSERT_EQ(g.FillPath(pf::SolidBrush{0xFF00FF00u}, path), pf::Status::Ok);
  uint32_t argb = 0;
  b->GetPixel(9, 9, argb);
  EXPECT_EQ(argb, 0xFF00FF00u);
  b->GetPixel(10, 9, argb);
  EXPECT_EQ(argb, 0u) << "outside the clip";
  EXPECT_EQ(g.SetTransform(pf::Matrix{0, 0, 0, 0, 0, 0}), pf::Status::InvalidParameter);
  pf::GraphicsPath bad;
  bad.AddLine({0, 0}, {NAN, 1});
  EXPECT_EQ(g.DrawPath(pf::Pen{}, bad), pf::Status::InvalidParameter);
}

// Pixels under an opaque draw that already show its colour keep their bytes, whether the draw
// reads the tile (anti-aliased) or renders coverage alone (aliased): 16-bit channels that narrow
// to the colour, and a duplicate palette entry.
TEST(DrawSurface, CoveredPixelsShowingTheColourKeepTheirBytes) {
  constexpr uint32_t kInk = 0xFF2060A0u;
  for (bool antiAlias : {false, true}) {
    std::unique_ptr<pf::Bitmap> deep;
    ASSERT_EQ(pf::Bitmap::Create(12, 4, pf::kPixelFormat64bppARGB, deep), pf::Status::Ok);
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 12; ++x) {
        // Even columns narrow to the ink (one above its widened value), odd ones are black.
        const uint16_t px[4] = {static_cast<uint16_t>(x % 2 ? 0 : 0xA0 * 257 + 1),
                                static_cast<uint16_t>(x % 2 ? 0 : 0x60 * 257 + 1),
                                static_cast<uint16_t>(x % 2 ? 0 : 0x20 * 257 + 1), 0xFFFF};
        std::memcpy(deep->Row(y) + 8 * x, px, 8);
      }
    std::unique_ptr<pf::Bitmap> indexed;
    ASSERT_EQ(pf::Bitmap::Create(12, 4, pf::kPixelFormat8bppIndexed, indexed), pf::Status::Ok);
    pf::Palette palette = indexed->GetPalette();
    palette.entries[0] = palette.entries[1] = kInk;
    palette.entries[2] = 0xFF000000u;
    ASSERT_EQ(indexed->SetPalette(palette), pf::Status::Ok);
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 12; ++x) indexed->Row(y)[x] = x % 2 ? 2 : 1;

    for (pf::Bitmap* b : {deep.get(), indexed.get()}) {
      pf::Graphics g(*b);
      g.SetSmoothingMode(antiAlias ? pf::SmoothingMode::AntiAlias : pf::SmoothingMode::None);
      pf::GraphicsPath box, line;
      // Anti-aliased, pixel centres are on whole coordinates: the box reaches past the edges.
      if (antiAlias)
        box.AddRectangle(-1, -1, 14, 6);
      else
        box.AddRectangle(0, 0, 12, 3);
      line.AddLine({0, 3}, {12, 3});
      ASSERT_EQ(g.FillPath(pf::SolidBrush{kInk}, box), pf::Status::Ok);
      pf::Pen pen;
      pen.argb = kInk;
      if (!antiAlias) {
        ASSERT_EQ(g.DrawPath(pen, line), pf::Status::Ok);
      }
    }
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 1; x < 11; ++x) {
        uint16_t px[4];
        std::memcpy(px, deep->Row(y) + 8 * x, 8);
        const uint16_t expected = x % 2 ? 0xA0 * 257 : 0xA0 * 257 + 1;
        EXPECT_EQ(px[0], expected) << "aa " << antiAlias << " pixel " << x << "," << y;
        EXPECT_EQ(px[3], 0xFFFF);
        EXPECT_EQ(indexed->Row(y)[x], x % 2 ? 0 : 1) << "aa " << antiAlias << " pixel " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace tessivo
