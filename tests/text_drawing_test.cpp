#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "core/documents.h"
#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "platform/pixel_format.h"
#include "support/codec_fixtures.h"
#include "support/io_fixtures.h"
#include "support/test_fonts.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;
using testing::kRegularOnlyFamily;
using testing::PixelOf;
using testing::WithTestFonts;

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr int32_t kBlack = static_cast<int32_t>(0xFF000000u);
constexpr int32_t kBlue = static_cast<int32_t>(0xFF0000FFu);
constexpr int32_t kRed = static_cast<int32_t>(0xFFFF0000u);

int32_t WhiteImage(cImaging& im, int32_t w, int32_t h, float dpi = 96) {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(w, h, pf::kPixelFormat24bppRGB, b), pf::Status::Ok);
  for (int32_t y = 0; y < h; ++y) std::memset(b->Row(y), 0xFF, static_cast<size_t>(b->Stride()));
  EXPECT_EQ(b->SetResolution(dpi, dpi), pf::Status::Ok);
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

pf::Bitmap& Native(cImaging& im) { return *ResolveImage(im.GetNativeImage()); }

uint32_t At(cImaging& im, int32_t x, int32_t y) {
  uint32_t argb = 0;
  Native(im).GetPixel(x, y, argb);
  return argb;
}

// The smallest rectangle holding every pixel the predicate accepts (empty: width 0).
struct Box {
  int32_t left = 0, top = 0, width = 0, height = 0;
};
template <typename Accept>
Box BoundsOf(cImaging& im, Accept&& accept) {
  const pf::Bitmap& b = Native(im);
  int32_t x0 = b.Width(), y0 = b.Height(), x1 = -1, y1 = -1;
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) {
      uint32_t argb = 0;
      b.GetPixel(x, y, argb);
      if (!accept(argb)) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  if (x1 < 0) return {};
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}
Box Ink(cImaging& im) {
  return BoundsOf(im, [](uint32_t c) { return c != kWhite; });
}

// Every pixel of the native image, for checks that a call changed nothing.
std::string Snapshot(cImaging& im) {
  const pf::Bitmap& b = Native(im);
  std::string bytes;
  for (int32_t y = 0; y < b.Height(); ++y)
    bytes.append(reinterpret_cast<const char*>(b.Row(y)), static_cast<size_t>(b.Stride()));
  return bytes;
}

TEST(TextFonts, CatalogNamesStylesAndUnits) {
  WithTestFonts([] {
    cImaging im;
    ASSERT_EQ(im.FontGetCount(), 4);
    EXPECT_EQ(im.FontGetName(0), kRegularOnlyFamily);
    EXPECT_EQ(im.FontGetName(1), "Liberation Mono");
    EXPECT_EQ(im.FontGetName(3), "Liberation Serif");
    EXPECT_EQ(im.FontGetName(4), "");
    EXPECT_EQ(im.FontGetName(-1), "");
    EXPECT_EQ(im.FontGetName(std::numeric_limits<int32_t>::min()), "");

    EXPECT_TRUE(im.FontIsStyleAvailable("arial", FontStyleBoldItalic));
    EXPECT_TRUE(im.FontIsStyleAvailable("Courier New", static_cast<FontStyle>(FontStyleBold | FontStyleUnderline)));
    EXPECT_TRUE(im.FontIsStyleAvailable(kRegularOnlyFamily, FontStyleStrikeout));
    EXPECT_FALSE(im.FontIsStyleAvailable(kRegularOnlyFamily, FontStyleItalic));
    EXPECT_EQ(im.GetStat(), OK);
    EXPECT_FALSE(im.FontIsStyleAvailable("No Such Family", FontStyleRegular));
    EXPECT_EQ(im.GetStat(), FontFamilyNotFound);
    EXPECT_FALSE(im.FontIsStyleAvailable("", FontStyleRegular));
    EXPECT_EQ(im.GetStat(), FontFamilyNotFound);
    EXPECT_FALSE(im.FontIsStyleAvailable("Arial", static_cast<FontStyle>(16)));
    EXPECT_EQ(im.GetStat(), InvalidParameter);

    EXPECT_EQ(im.FontGetUnit(), UnitPoint);
    im.FontSetUnit(UnitMillimeter);
    EXPECT_EQ(im.FontGetUnit(), UnitMillimeter);
    im.FontSetUnit(static_cast<UnitMode>(7));
    EXPECT_EQ(im.GetStat(), InvalidParameter);
    EXPECT_EQ(im.FontGetUnit(), UnitMillimeter);
    im.FontSetUnit(static_cast<UnitMode>(-1));
    EXPECT_EQ(im.FontGetUnit(), UnitMillimeter);
  });
}

TEST(TextMetrics, HelloAtAHundredPixelEmHasArialWidths) {
  WithTestFonts([] {
    cImaging im;
    WhiteImage(im, 300, 160);
    im.FontSetUnit(UnitPixel);
    ASSERT_EQ(im.DrawTextBackColor("Hello", 10, 10, 100, kBlack, kBlue), OK);
    const Box back = BoundsOf(im, [](uint32_t c) { return c == 0xFF0000FFu; });
    EXPECT_NEAR(back.width, 228, 1);
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.top, 10);
    // One line of Arial's spacing: (ascent + descent + gap) / em = 2355 / 2048.
    EXPECT_NEAR(back.height, 115, 1);
    const Box ink = BoundsOf(im, [](uint32_t c) { return c == 0xFF000000u; });
    // The l's ascender (1466/2048) under the Windows ascent (1854/2048) is the highest ink.
    EXPECT_NEAR(ink.top, 10 + 90.5 - 71.6, 1.5);
    EXPECT_NEAR(ink.top + ink.height, 10 + 90.5, 2) << "no descenders in Hello: the ink stops at the baseline";
    EXPECT_GT(ink.left, 10);
    EXPECT_LT(ink.left + ink.width, 10 + 228);

    // Trailing blanks widen the box by their advance (569/2048 each).
    WhiteImage(im, 400, 160);
    ASSERT_EQ(im.DrawTextBackColor("Hello  ", 10, 10, 100, kBlack, kBlue), OK);
    EXPECT_NEAR(BoundsOf(im, [](uint32_t c) { return c == 0xFF0000FFu; }).width, 228 + 55.6, 1);

    // Two lines: twice the spacing, as wide as the wider line.
    WhiteImage(im, 300, 300);
    ASSERT_EQ(im.DrawTextBackColor("Hello\nHe", 0, 0, 100, kBlack, kBlue), OK);
    const Box two = BoundsOf(im, [](uint32_t c) { return c != kWhite; });
    EXPECT_NEAR(two.width, 228, 1);
    EXPECT_NEAR(two.height, 230, 1);
  });
}

TEST(TextMetrics, PointSizesFollowTheVerticalResolution) {
  WithTestFonts([] {
    cImaging a, b;
    for (float dpi : {96.0f, 300.0f}) {
      WhiteImage(a, 200, 100, dpi);
      WhiteImage(b, 200, 100, dpi);
      ASSERT_EQ(a.DrawText("Hg 12", 5, 5, 12), OK);
      b.FontSetUnit(UnitPixel);
      ASSERT_EQ(b.DrawText("Hg 12", 5, 5, dpi == 96 ? 16 : 50), OK);
      EXPECT_EQ(Snapshot(a), Snapshot(b)) << dpi << " dpi";
      EXPECT_GT(Ink(a).width, 0);
    }
    // An inch of em is the resolution in pixels; the display unit has no size on an image.
    b.FontSetUnit(UnitInch);
    WhiteImage(b, 400, 400, 300);
    ASSERT_EQ(b.DrawTextBackColor("H", 0, 0, 1, kBlack, kBlue), OK);
    EXPECT_NEAR(BoundsOf(b, [](uint32_t c) { return c != kWhite; }).height, 300 * 2355.0 / 2048, 1);
    b.FontSetUnit(UnitDisplay);
    const std::string before = Snapshot(b);
    EXPECT_EQ(b.DrawText("H", 0, 0, 1), InvalidParameter);
    EXPECT_EQ(Snapshot(b), before);
  });
}

TEST(TextMetrics, UnderlineAndStrikeoutAddBars) {
  WithTestFonts([] {
    cImaging im;
    im.FontSetUnit(UnitPixel);
    WhiteImage(im, 300, 160);
    ASSERT_EQ(im.DrawText("ooo", 10, 10, 100), OK);
    const Box plain = Ink(im);
    WhiteImage(im, 300, 160);
    ASSERT_EQ(im.DrawText("ooo", 10, 10, 100, kBlack, "Arial", FontStyleUnderline), OK);
    const Box under = Ink(im);
    EXPECT_GT(under.top + under.height, plain.top + plain.height) << "the bar lies below the baseline";
    WhiteImage(im, 300, 160);
    ASSERT_EQ(im.DrawText("ooo", 10, 10, 100, kBlack, "Arial", FontStyleStrikeout), OK);
    // The strikeout bar (its top 530/2048 above the baseline, 102/2048 thick) joins the
    // letters: a row inside it is inked between them as well.
    const int32_t middle = 10 + 90 - 24;
    int32_t inked = 0;
    for (int32_t x = plain.left; x < plain.left + plain.width; ++x) inked += At(im, x, middle) != kWhite;
    EXPECT_GT(inked, plain.width * 9 / 10);
  });
}

TEST(TextErrors, BadInputStoresTheStatusAndDrawsNothing) {
  WithTestFonts([] {
    cImaging im;
    EXPECT_EQ(im.DrawText("Hello", 0, 0, 12), GenericError) << "no native image";
    EXPECT_EQ(im.DrawTextBox("Hello", 0, 0, 50, 50, 12), GenericError);
    WhiteImage(im, 120, 60);
    const std::string before = Snapshot(im);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(im.DrawText("Hello", 0, 0, 12, kBlack, "No Such Family"), FontFamilyNotFound);
    EXPECT_EQ(im.DrawTextBackColor("Hello", 0, 0, 12, kBlack, kBlue, ""), FontFamilyNotFound);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, 12, kBlack, kRegularOnlyFamily, FontStyleBold), FontStyleNotFound);
    EXPECT_EQ(im.GetStat(), FontStyleNotFound);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, nan), InvalidParameter);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, inf), InvalidParameter);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, 0), InvalidParameter);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, -12), InvalidParameter);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, 12, kBlack, "Arial", static_cast<FontStyle>(16)), InvalidParameter);
    EXPECT_EQ(im.DrawText("Hello", 0, 0, 12, kBlack, "Arial", static_cast<FontStyle>(-1)), InvalidParameter);
    EXPECT_EQ(im.DrawRotatedText("Hello", 0, 0, 12, nan), InvalidParameter);
    EXPECT_EQ(im.DrawRotatedTextBackColor("Hello", 0, 0, 12, inf), InvalidParameter);
    EXPECT_EQ(im.DrawTextBox("Hello", 0, 0, 50, 50, 12, kBlack, "Arial", FontStyleRegular, 3), InvalidParameter);
    EXPECT_EQ(im.DrawTextBox("Hello", 0, 0, 50, 50, 12, kBlack, "Arial", FontStyleRegular, -1), InvalidParameter);
    EXPECT_EQ(im.DrawTextBox("Hello", 0, 0, -5, 50, 12), InvalidParameter);
    EXPECT_EQ(im.DrawTextBox("Hello", 0, 0, 50, 50, nan), InvalidParameter);
    // A size so large its box leaves the coordinate range Cairo can hold.
    EXPECT_EQ(im.DrawTextBackColor("Hello", 0, 0, 3e37f, kBlack, kBlue), ValueOverflow);
    EXPECT_EQ(Snapshot(im), before);

    // Empty text is drawn as nothing, successfully; so is text far off the image.
    EXPECT_EQ(im.DrawText("", 0, 0, 12), OK);
    EXPECT_EQ(im.DrawTextBackColor("", 0, 0, 12, kBlack, kBlue), OK);
    EXPECT_EQ(im.DrawText("Hello", -100000, 5, 12), OK);
    EXPECT_EQ(im.DrawText("Hello", std::numeric_limits<int32_t>::max(), 5, 12), OK);
    EXPECT_EQ(Snapshot(im), before);
    // Broken UTF-8 is drawn with replacement glyphs rather than refused or read past its end.
    EXPECT_EQ(im.DrawText(std::string("A\xC3", 2), 0, 0, 12), OK);
  });
}

TEST(TextRotated, TurnsTheTextAboutItsStartPoint) {
  WithTestFonts([] {
    cImaging im;
    im.FontSetUnit(UnitPixel);
    WhiteImage(im, 300, 300);
    ASSERT_EQ(im.DrawRotatedTextBackColor("Hello", 150, 20, 100, 90, kBlack, kBlue), OK);
    // Turned clockwise: the box runs down from (150, 20), its top edge on the column 150.
    const Box box = Ink(im);
    EXPECT_NEAR(box.left, 150 - 115, 1);
    EXPECT_NEAR(box.left + box.width, 150, 1);
    EXPECT_NEAR(box.top, 20, 1);
    EXPECT_NEAR(box.height, 228, 1);

    // Half a turn: the box lies up and to the left of the start point.
    WhiteImage(im, 300, 300);
    ASSERT_EQ(im.DrawRotatedTextBackColor("Hello", 250, 150, 100, 180, kBlack, kBlue), OK);
    const Box half = Ink(im);
    EXPECT_NEAR(half.left, 250 - 228, 1);
    EXPECT_NEAR(half.top, 150 - 115, 1);
    EXPECT_NEAR(half.left + half.width, 250, 1);
    EXPECT_NEAR(half.top + half.height, 150, 1);

    // No turn is the plain text.
    cImaging plain;
    plain.FontSetUnit(UnitPixel);
    WhiteImage(im, 300, 160);
    WhiteImage(plain, 300, 160);
    ASSERT_EQ(im.DrawRotatedText("Hello", 10, 10, 40, 0), OK);
    ASSERT_EQ(plain.DrawText("Hello", 10, 10, 40), OK);
    EXPECT_EQ(Snapshot(im), Snapshot(plain));
  });
}

TEST(TextBox, WrapsAlignsAndClipsToTheBox) {
  WithTestFonts([] {
    cImaging im;
    im.FontSetUnit(UnitPixel);
    // Wrapped at blanks: four short words in a narrow box take several lines.
    WhiteImage(im, 200, 200);
    ASSERT_EQ(im.DrawTextBox("one two six ten", 20, 20, 50, 160, 20, kBlack, "Arial", FontStyleRegular, 0), OK);
    const Box wrapped = Ink(im);
    EXPECT_GE(wrapped.left, 20);
    EXPECT_LE(wrapped.left + wrapped.width, 70);
    EXPECT_GT(wrapped.height, 3 * 23) << "four lines of 23 px, one word each";
    EXPECT_LT(wrapped.top, 20 + 10) << "near alignment starts at the top";

    // Far alignment puts the last line at the bottom right of the box.
    WhiteImage(im, 200, 200);
    ASSERT_EQ(im.DrawTextBox("one two six ten", 20, 20, 50, 160, 20, kBlack, "Arial", FontStyleRegular, 2), OK);
    const Box far = Ink(im);
    EXPECT_GT(far.top + far.height, 20 + 160 - 12);
    EXPECT_GT(far.left + far.width, 70 - 4);
    EXPECT_GT(far.left, wrapped.left) << "the shorter words move right";

    // A word too wide for the box is clipped to it: nothing outside, including the outline.
    WhiteImage(im, 200, 100);
    ASSERT_EQ(im.DrawTextBox("WWWWWWWWWW", 30, 30, 40, 30, 40, kRed, "Arial", FontStyleRegular, 1, true), OK);
    const Box clipped = Ink(im);
    EXPECT_EQ(clipped.left, 30);
    EXPECT_EQ(clipped.top, 30);
    EXPECT_EQ(clipped.width, 41) << "the 1-px outline covers columns x and x + w";
    EXPECT_EQ(clipped.height, 31);
    for (int32_t x = 30; x <= 70; ++x) EXPECT_EQ(At(im, x, 30), 0xFFFF0000u) << x;
    // Inside the box the glyphs are drawn.
    size_t inside = 0;
    for (int32_t y = 31; y < 60; ++y)
      for (int32_t x = 31; x < 70; ++x) inside += At(im, x, y) != kWhite;
    EXPECT_GT(inside, 50u);
  });
}

TEST(TextGradient, BlendsFromStartToEndAcrossTheBox) {
  WithTestFonts([] {
    cImaging im;
    im.FontSetUnit(UnitPixel);
    WhiteImage(im, 400, 120);
    ASSERT_EQ(im.DrawTextGradient("IIIIIIII", 10, 10, 100, kRed, kBlue, "Arial", FontStyleBold), OK);
    const Box ink = Ink(im);
    ASSERT_GT(ink.width, 100);
    const int32_t row = ink.top + ink.height / 2;
    uint32_t first = kWhite, last = kWhite;
    for (int32_t x = ink.left; x < ink.left + ink.width; ++x)
      if (uint32_t c = At(im, x, row); c != kWhite) {
        if (first == kWhite) first = c;
        last = c;
      }
    auto red = [](uint32_t c) { return int((c >> 16) & 0xFF); };
    auto blue = [](uint32_t c) { return int(c & 0xFF); };
    EXPECT_GT(red(first), 200);
    EXPECT_LT(blue(first), 55);
    EXPECT_GT(blue(last), 200);
    EXPECT_LT(red(last), 55);
    // Equal colours give a solid fill, a single letter included.
    WhiteImage(im, 100, 120);
    ASSERT_EQ(im.DrawTextGradient("I", 10, 10, 100, kRed, kRed), OK);
    EXPECT_EQ(BoundsOf(im, [](uint32_t c) { return c != kWhite && c != 0xFFFF0000u; }).width, 0);
    EXPECT_GT(Ink(im).width, 0);
  });
}

// A 3 x 2 texture of six colours, registered.
int32_t SixColourTexture() {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(3, 2, pf::kPixelFormat24bppRGB, b), pf::Status::Ok);
  const uint32_t colours[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};
  for (int32_t i = 0; i < 6; ++i) b->SetPixel(i % 3, i / 3, colours[i]);
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  return id;
}

// Every inked pixel is the texture's pixel at the same place, repeated from the image origin.
void ExpectTextured(cImaging& im, int32_t texture) {
  size_t inked = 0;
  const pf::Bitmap& b = Native(im);
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (uint32_t c = At(im, x, y); c != kWhite) {
        ++inked;
        ASSERT_EQ(c, PixelOf(texture, x % 3, y % 2)) << x << "," << y;
      }
  EXPECT_GT(inked, 500u);
}

TEST(TextTexture, GlyphsShowTheTextureFromARegisteredImage) {
  WithTestFonts([] {
    cImaging im;
    im.FontSetUnit(UnitPixel);
    const int32_t texture = SixColourTexture();
    const int32_t target = WhiteImage(im, 200, 100);
    ASSERT_EQ(im.DrawTextTextureFromTessivoImage("Tex", 7, 5, 60, texture, "Arial", FontStyleBold), OK);
    EXPECT_EQ(im.GetNativeImage(), target);
    ExpectTextured(im, texture);

    // The native image as its own texture: each glyph pixel keeps the colour it had.
    std::unique_ptr<pf::Bitmap> striped;
    ASSERT_EQ(pf::Bitmap::Create(120, 60, pf::kPixelFormat32bppARGB, striped), pf::Status::Ok);
    for (int32_t y = 0; y < 60; ++y)
      for (int32_t x = 0; x < 120; ++x) striped->SetPixel(x, y, x % 4 < 2 ? 0xFF102030u : 0xFFC0B0A0u);
    int32_t self = 0;
    RegisterImage(self, std::move(striped), "", "", OriginMemory);
    im.SetNativeImage(self);
    const std::string before = Snapshot(im);
    ASSERT_EQ(im.DrawTextTextureFromTessivoImage("Self", 0, 0, 50, self), OK);
    EXPECT_EQ(Snapshot(im), before);

    im.SetNativeImage(target);
    const std::string drawn = Snapshot(im);
    EXPECT_EQ(im.DrawTextTextureFromTessivoImage("Tex", 0, 0, 60, 0), InvalidParameter);
    EXPECT_EQ(im.DrawTextTextureFromTessivoImage("Tex", 0, 0, 60, 123456789), InvalidParameter);
    EXPECT_EQ(im.DrawTextTextureFromTessivoImage("Tex", 0, 0, 60, texture, "No Such Family"), FontFamilyNotFound);
    EXPECT_EQ(im.DrawTextTextureFromTessivoImage("Tex", 0, 0, std::nanf(""), texture), InvalidParameter);
    EXPECT_EQ(Snapshot(im), drawn);
  });
}

TEST(TextTexture, TextureFilesAreReadForTheDrawAndReleased) {
  WithTestFonts([] {
    testing::ScopedTempFolder dir;
    cImaging im;
    im.FontSetUnit(UnitPixel);
    const int32_t texture = SixColourTexture();
    im.SetNativeImage(texture);
    const std::string file = dir.File("texture.png");
    ASSERT_EQ(im.SaveAsPNG(file), OK);

    const int32_t target = WhiteImage(im, 200, 100);
    const int32_t entries = ImageRegistry::Current().Count();
    ASSERT_EQ(im.DrawTextTexture("Tex", 7, 5, 60, file, "Arial", FontStyleBold), OK);
    EXPECT_EQ(im.GetNativeImage(), target);
    EXPECT_EQ(ImageRegistry::Current().Count(), entries);
    EXPECT_TRUE(dir.TempFiles().empty());
    ExpectTextured(im, texture);

    const std::string drawn = Snapshot(im);
    EXPECT_EQ(im.DrawTextTexture("Tex", 0, 0, 60, dir.File("missing.png")), FileNotFound);
    EXPECT_EQ(im.DrawTextTexture("Tex", 0, 0, 60, ""), im.GetStat());
    EXPECT_NE(im.GetStat(), OK);
    EXPECT_EQ(im.DrawTextTexture("Tex", 0, 0, 60, file, kRegularOnlyFamily, FontStyleItalic), FontStyleNotFound);
    EXPECT_EQ(ImageRegistry::Current().Count(), entries);
    EXPECT_EQ(im.GetNativeImage(), target);
    EXPECT_EQ(Snapshot(im), drawn);
    EXPECT_TRUE(dir.TempFiles().empty());
  });
}

TEST(TextSurface, EveryPixelFormatTakesText) {
  WithTestFonts([] {
    for (pf::PixelFormat format : pf::kAllPixelFormats) {
      std::unique_ptr<pf::Bitmap> b;
      ASSERT_EQ(pf::Bitmap::Create(60, 30, format, b), pf::Status::Ok);
      const pf::Bitmap& bitmap = *b;
      int32_t id = 0;
      RegisterImage(id, std::move(b), "", "", OriginMemory);
      cImaging im;
      im.SetNativeImage(id);
      im.FontSetUnit(UnitPixel);
      uint32_t outside = 0;
      bitmap.GetPixel(59, 29, outside);
      ASSERT_EQ(im.DrawTextBackColor("Hi", 2, 2, 20, kBlack, -1), OK) << format;
      EXPECT_EQ(PixelOf(id, 3, 3), kWhite) << format;
      EXPECT_EQ(PixelOf(id, 59, 29), outside) << format;
      ReleaseImageEntry(id);
    }
  });
}

TEST(TextSurface, TextOnADocumentPageSurvivesAPageChange) {
  WithTestFonts([] {
    testing::ScopedTempFolder dir;
    testing::TiffPage white;
    white.width = 120;
    white.height = 60;
    white.samples.assign(120 * 60 * 3, 0xFF);
    const std::string path = dir.File("two.tif");
    testing::WriteBytes(path, testing::TiffFile({white, white}));

    cImaging im;
    im.FontSetUnit(UnitPixel);
    const int32_t id = im.CreateImageFromFile(path);
    ASSERT_NE(id, 0) << im.GetStat();
    ASSERT_EQ(im.DrawTextBackColor("Hi", 0, 0, 30, kBlack, kRed), OK);
    ASSERT_EQ(SelectPage(id, 1, DocumentFormat::Tiff, false), OK);
    EXPECT_EQ(PixelOf(ResolvePageID(id), 1, 1), kWhite) << "the other page is untouched";
    ASSERT_EQ(SelectPage(id, 0, DocumentFormat::Tiff, false), OK);
    EXPECT_EQ(PixelOf(ResolvePageID(id), 1, 1), 0xFFFF0000u);
    im.CloseImage(id);
  });
}

}  // namespace
}  // namespace tessivo
