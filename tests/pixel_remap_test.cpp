// Colour remapping and colour keys: the table shapes, exact replacement, and the keyed image
// that replaces the original.
#include <gtest/gtest.h>

#include "support/pixel_images.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }
int32_t L(uint32_t v) { return static_cast<int32_t>(v); }

TEST(ColourRemap, TablesOfPairsInBothShapes) {
  cImaging im;
  const std::vector<uint32_t> px = {Rgb(1, 2, 3), Rgb(1, 2, 4), Argb(9, 1, 2, 3)};
  MakeImage(im, 3, 1, px);
  // One-based 1-D table; the first pair listed for a colour wins.
  SafeArray<int32_t> flat = SafeArray<int32_t>::FromVector(
      {L(Rgb(1, 2, 3)), L(Argb(128, 50, 60, 70)), L(Rgb(1, 2, 3)), L(kWhite)}, 1);
  ASSERT_EQ(im.SetColorRemap(flat), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(128, 50, 60, 70), Rgb(1, 2, 4), Argb(9, 1, 2, 3)}))
      << "exact ARGB matches only; the translucent colour replaces, it is not blended";

  // Rows of (old, new) with arbitrary lower bounds.
  SafeArray<int32_t> rows({ArrayBound{5, 2}, ArrayBound{-1, 2}});
  rows(5, -1) = L(Rgb(1, 2, 4));
  rows(5, 0) = L(Rgb(7, 7, 7));
  rows(6, -1) = L(Argb(9, 1, 2, 3));
  rows(6, 0) = L(kBlack);
  ASSERT_EQ(im.SetColorRemap(rows), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(128, 50, 60, 70), Rgb(7, 7, 7), kBlack}));
}

TEST(ColourRemap, BadTablesAreRefused) {
  cImaging im;
  SafeArray<int32_t> pair = SafeArray<int32_t>::FromVector({0, 1});
  EXPECT_EQ(im.SetColorRemap(pair), GenericError);
  const std::vector<uint32_t> px = NoisePixels(6);
  MakeImage(im, 3, 2, px);
  std::vector<SafeArray<int32_t>> bad;
  bad.emplace_back();                                                  // unallocated
  bad.push_back(SafeArray<int32_t>::FromVector({}));                   // empty
  bad.push_back(SafeArray<int32_t>::FromVector({L(px[0]), 0, 5}));     // odd
  bad.push_back(SafeArray<int32_t>({ArrayBound{0, 2}, ArrayBound{0, 3}}));  // rows of three
  bad.push_back(SafeArray<int32_t>({ArrayBound{0, 0}, ArrayBound{0, 2}}));  // no rows
  bad.push_back(SafeArray<int32_t>({ArrayBound{0, 1}, ArrayBound{0, 2}, ArrayBound{0, 1}}));
  for (const SafeArray<int32_t>& table : bad) {
    EXPECT_EQ(im.SetColorRemap(table), InvalidParameter);
    EXPECT_EQ(Pixels(im), px);
  }
}

TEST(ColourRemap, PalettesAndUntouchedDeepImages) {
  cImaging im;
  const int32_t id = im.CreateNewImage(2, 1, 8);
  platform::Palette palette;
  palette.entries = {kBlack, Rgb(10, 20, 30), kWhite};
  ASSERT_EQ(ResolveImage(id)->SetPalette(palette), platform::Status::Ok);
  SafeArray<uint8_t> idx = SafeArray<uint8_t>::FromVector({1, 2});
  ASSERT_EQ(im.SetPixelArray8bpp1D(idx, 0, 0, 2, 1), OK);
  SafeArray<int32_t> table = SafeArray<int32_t>::FromVector({L(Rgb(10, 20, 30)), L(Rgb(200, 100, 0))});
  ASSERT_EQ(im.SetColorRemap(table), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), Rgb(200, 100, 0)) << "a colour the palette lacked";
  EXPECT_EQ(ResolveImage(id)->GetPalette().entries[1], Rgb(200, 100, 0));

  // A 48-bit image none of whose colours is in the table keeps its 16-bit channels.
  MakeImage(im, 2, 1, {Rgb(1, 1, 1), Rgb(2, 2, 2)}, 48);
  platform::Bitmap* deep = ResolveImage(im.GetNativeImage());
  deep->Row(0)[0] ^= 0x11;
  const std::vector<uint8_t> before(deep->Row(0), deep->Row(0) + 12);
  ASSERT_EQ(im.SetColorRemap(table), OK);
  EXPECT_EQ(std::vector<uint8_t>(deep->Row(0), deep->Row(0) + 12), before);
}

TEST(ColourKey, KeyedPixelsBecomeTransparentInANewImage) {
  cImaging im;
  MakeImage(im, 4, 1, {Rgb(100, 100, 100), Rgb(120, 90, 110), Rgb(121, 90, 110), Rgb(5, 5, 5)}, 24);
  platform::Bitmap* before = ResolveImage(im.GetNativeImage());
  ASSERT_EQ(before->SetResolution(300, 150), platform::Status::Ok);
  platform::PropertyItem artist{0x013B, 2, {'m', 'e', 0}};
  ASSERT_EQ(before->SetProperty(artist), platform::Status::Ok);

  ASSERT_EQ(im.SetColorKey(L(Argb(255, 90, 80, 100)), L(Argb(0, 120, 100, 110))), OK);
  platform::Bitmap* after = ResolveImage(im.GetNativeImage());
  EXPECT_EQ(after->Format(), platform::kPixelFormat32bppARGB);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(0, 100, 100, 100), Argb(0, 120, 90, 110),
                                               Rgb(121, 90, 110), Rgb(5, 5, 5)}))
      << "each of red, green and blue within the range, alpha not compared";
  EXPECT_EQ(after->HorizontalResolution(), 300.0f);
  EXPECT_EQ(after->VerticalResolution(), 150.0f);
  platform::PropertyItem kept;
  EXPECT_EQ(after->GetProperty(0x013B, kept), platform::Status::Ok);

  // Already translucent pixels outside the key keep their alpha.
  MakeImage(im, 2, 1, {Argb(80, 10, 10, 10), Argb(80, 200, 10, 10)});
  ASSERT_EQ(im.SetColorKey(L(Rgb(0, 0, 0)), L(Rgb(20, 20, 20))), OK);
  EXPECT_EQ(Pixels(im), (std::vector<uint32_t>{Argb(0, 10, 10, 10), Argb(80, 200, 10, 10)}));

  im.TagsSetPreserve(false);
  MakeImage(im, 1, 1, {kWhite}, 1);
  ASSERT_EQ(ResolveImage(im.GetNativeImage())->SetProperty(artist), platform::Status::Ok);
  ASSERT_EQ(im.SetColorKey(L(kWhite), L(kWhite)), OK);
  EXPECT_EQ(PixelAt(im, 0, 0), 0x00FFFFFFu) << "from 1 bpp";
  EXPECT_EQ(ResolveImage(im.GetNativeImage())->GetProperty(0x013B, kept), platform::Status::PropertyNotFound);

  cImaging none;
  EXPECT_EQ(none.SetColorKey(0, 0), GenericError);
}

}  // namespace
}  // namespace tessivo
