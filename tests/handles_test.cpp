// Images to and from bitmap, icon, picture and DIB handles; stale and wrong-kind handles; DIB
// headers that lie about their block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/win/gdi_objects.h"
#include "platform/win/packed_dib.h"
#include "tessivo/host_surfaces.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;
namespace win = platform::win;

// A registered native image of random opaque pixels (indexed: a palette of distinct colours).
int32_t RandomImage(cImaging& im, int32_t w, int32_t h, pf::PixelFormat format, uint32_t seed) {
  std::unique_ptr<pf::Bitmap> b;
  EXPECT_EQ(pf::Bitmap::Create(w, h, format, b), pf::Status::Ok);
  if (pf::IsIndexed(format)) {
    pf::Palette pal;
    for (int i = 0; i < pf::PaletteCapacity(format); ++i) pal.entries.push_back(0xFF000000u | (i * 0x10305u + 0x402010u));
    EXPECT_EQ(b->SetPalette(pal), pf::Status::Ok);
  }
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      if (pf::IsIndexed(format)) {
        for (int32_t i = 0; i < b->Stride(); ++i) b->Row(y)[i] = static_cast<uint8_t>(rng());
        break;
      }
      b->SetPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFF));
    }
  b->SetResolution(254, 127);
  int32_t id = 0;
  RegisterImage(id, std::move(b), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

void ExpectSamePixels(int32_t a, int32_t b) {
  const pf::Bitmap* x = ResolveImage(a);
  const pf::Bitmap* y = ResolveImage(b);
  ASSERT_TRUE(x && y);
  ASSERT_EQ(x->Width(), y->Width());
  ASSERT_EQ(x->Height(), y->Height());
  for (int32_t r = 0; r < x->Height(); ++r)
    for (int32_t c = 0; c < x->Width(); ++c) {
      uint32_t p = 0, q = 0;
      x->GetPixel(c, r, p);
      y->GetPixel(c, r, q);
      ASSERT_EQ(p, q) << "pixel " << c << "," << r;
    }
}

TEST(Handles, BitmapsDibsAndPicturesRoundTripEveryPixelFormat) {
  cImaging im;
  for (pf::PixelFormat f : pf::kAllPixelFormats) {
    SCOPED_TRACE(f);
    const int32_t src = RandomImage(im, 13, 7, f, f);
    const int32_t hbm = im.GetHBitmap();
    ASSERT_NE(hbm, 0);
    const int32_t fromBitmap = im.CreateImageFromHBitmap(hbm);
    ASSERT_EQ(im.GetStat(), OK);
    EXPECT_EQ(im.DeleteHBitmap(hbm), OK);
    ExpectSamePixels(src, fromBitmap);  // the image owns its pixels: the handle is gone

    im.SetNativeImage(src);
    const int32_t dib = im.GetDib();
    ASSERT_NE(dib, 0);
    const int32_t fromDib = im.CreateImageFromDIB(dib);
    ASSERT_EQ(im.GetStat(), OK);
    EXPECT_EQ(im.RemoveDib(dib), OK);
    ExpectSamePixels(src, fromDib);
    EXPECT_FLOAT_EQ(ResolveImage(fromDib)->HorizontalResolution(), 254);
    EXPECT_FLOAT_EQ(ResolveImage(fromDib)->VerticalResolution(), 127);
    EXPECT_EQ(ResolveImage(fromDib)->Format(), win::DibFormatOf(f));

    const int32_t picture = im.GetPictureFromTessivoImage(src);
    ASSERT_NE(picture, 0);
    ExpectSamePixels(src, im.CreateImageFromPicture(picture));
    EXPECT_EQ(im.DeletePictureObject(picture), OK);
  }
  im.RemoveAllImage();
}

TEST(Handles, ReleasedAndWrongKindHandlesAreStatusesAndReleaseHappensOnce) {
  cImaging im;
  RandomImage(im, 4, 4, pf::kPixelFormat24bppRGB, 1);
  const size_t bitmapsBefore = win::HandleTable::Instance().Count(win::HandleKind::Bitmap);
  const int32_t picture = im.GetPicture();
  const int32_t icon = im.GetHICON();
  const int32_t dib = im.GetDib();
  EXPECT_EQ(win::HandleTable::Instance().Count(win::HandleKind::Bitmap), bitmapsBefore + 1);

  // Each handle only as its own kind.
  EXPECT_EQ(im.CreateImageFromHBitmap(icon), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromDIB(picture), 0);
  EXPECT_EQ(im.CreateImageFromHICON(dib), 0);
  EXPECT_EQ(im.DeleteHBitmap(picture), InvalidParameter);
  EXPECT_EQ(im.RemoveDib(icon), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromHBitmap(0), 0);
  EXPECT_EQ(im.CreateImageFromDIB(-5), 0);

  EXPECT_EQ(im.DeletePictureObject(picture), OK);
  EXPECT_EQ(im.DeletePictureObject(picture), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromPicture(picture), 0);
  // The picture's own bitmap went with it.
  EXPECT_EQ(win::HandleTable::Instance().Count(win::HandleKind::Bitmap), bitmapsBefore);
  EXPECT_EQ(im.DeleteHICON(icon), OK);
  EXPECT_EQ(im.DeleteHICON(icon), InvalidParameter);
  EXPECT_EQ(im.RemoveDib(dib), OK);
  EXPECT_EQ(im.RemoveDib(dib), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromDIB(dib), 0);  // a block that cannot be locked
  EXPECT_EQ(im.GetStat(), GenericError);
  EXPECT_EQ(im.CreateImageFromDIB(0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);

  im.CloseNativeImage();
  EXPECT_EQ(im.GetHBitmap(), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.GetDib(), 0);
  im.RemoveAllImage();
}

TEST(Handles, IconsKeepTheirMask) {
  cImaging im;
  const int32_t src = RandomImage(im, 5, 3, pf::kPixelFormat32bppARGB, 7);
  ResolveImage(src)->SetPixel(1, 1, 0x00123456);
  ResolveImage(src)->SetPixel(4, 2, 0x80FF0000);
  const int32_t icon = im.GetHICON();
  const int32_t back = im.CreateImageFromHICON(icon);
  ASSERT_EQ(im.GetStat(), OK);
  uint32_t p = 0;
  ResolveImage(back)->GetPixel(1, 1, p);
  EXPECT_EQ(p, 0u);  // masked: fully transparent
  ResolveImage(back)->GetPixel(4, 2, p);
  EXPECT_EQ(p, 0x80FF0000u);
  ResolveImage(back)->GetPixel(0, 0, p);
  uint32_t q = 0;
  ResolveImage(src)->GetPixel(0, 0, q);
  EXPECT_EQ(p, q);
  EXPECT_EQ(im.DeleteHICON(icon), OK);
  im.RemoveAllImage();
}

// A 40-byte header, a palette of `colors` entries and rows for a w x h DIB of `bits`.
std::vector<uint8_t> Dib(int32_t w, int32_t h, uint16_t bits, uint32_t colors, size_t extraRows = 0) {
  const size_t row = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
  // At most 64 rows of pixels: the headers that claim more are meant to lie.
  const int64_t rows = std::min<int64_t>(h < 0 ? -int64_t{h} : h, 64);
  std::vector<uint8_t> d(40 + colors * 4 + row * (static_cast<size_t>(rows) + extraRows), 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&d[at], &v, 4); };
  put32(0, 40), put32(4, static_cast<uint32_t>(w)), put32(8, static_cast<uint32_t>(h));
  d[12] = 1, d[14] = static_cast<uint8_t>(bits);
  put32(32, colors);
  return d;
}

TEST(Handles, DibHeadersAreCheckedAgainstTheBlockBeforeAnyPixelIsRead) {
  cImaging im;
  auto rejects = [&](std::vector<uint8_t> d, TessivoStatus expected, const char* what) {
    const int32_t block = host::GlobalAllocCopy(d.data(), d.size());
    ASSERT_NE(block, 0);
    EXPECT_EQ(im.CreateImageFromDIB(block), 0) << what;
    EXPECT_EQ(im.GetStat(), expected) << what;
    EXPECT_EQ(im.RemoveDib(block), OK);
  };
  std::vector<uint8_t> d = Dib(4, 4, 24, 0);
  d.resize(39);
  rejects(d, InvalidParameter, "shorter than a header");
  d = Dib(4, 4, 24, 0), d[0] = 12;
  rejects(d, InvalidParameter, "header size");
  d = Dib(0, 4, 24, 0);
  rejects(d, InvalidParameter, "zero width");
  d = Dib(4, std::numeric_limits<int32_t>::min(), 24, 0);
  rejects(d, InvalidParameter, "height that cannot be negated");
  d = Dib(4, 4, 24, 0), d[12] = 2;
  rejects(d, InvalidParameter, "planes");
  d = Dib(4, 4, 7, 0);
  rejects(d, InvalidParameter, "bit count");
  d = Dib(4, 4, 8, 300);
  rejects(d, InvalidParameter, "colour table beyond 256");
  d = Dib(4, 4, 4, 17);
  rejects(d, InvalidParameter, "colour table beyond the depth");
  d = Dib(4, 4, 24, 0), d.resize(d.size() - 1);
  rejects(d, InvalidParameter, "rows past the block");
  d = Dib(4, 4, 32, 0), d.resize(200);
  d[4] = d[8] = 0x60, d[5] = d[9] = 0xEA;  // 60000 x 60000 in a 200-byte block
  rejects(d, InvalidParameter, "huge size in a small block");
  d = Dib(4, 4, 8, 0), d[16] = 1;
  rejects(d, UnknownImageFormat, "run-length compression");
  d = Dib(4, 4, 16, 0), d[16] = 3, d.resize(d.size() + 12);
  rejects(d, InvalidParameter, "bit fields of no known layout");
  EXPECT_EQ(ResolveImage(im.GetNativeImage()), nullptr);  // nothing was registered
}

TEST(Handles, DibsTopDownShortPalettesAndWhiteOnBlackBits) {
  // Top-down 8 bpp with a two-entry table: the rows start right after those two entries.
  std::vector<uint8_t> d = Dib(3, -2, 8, 2);
  const uint32_t blue = 0x0000FF, red = 0xFF0000;
  std::memcpy(&d[40], &blue, 4), std::memcpy(&d[44], &red, 4);
  d[48 + 1] = 1;  // row 0 (top): blue, red, blue
  std::unique_ptr<pf::Bitmap> image;
  ASSERT_EQ(win::UnpackDib(d.data(), d.size(), image), pf::Status::Ok);
  uint32_t p = 0;
  image->GetPixel(1, 0, p);
  EXPECT_EQ(p, 0xFFFF0000u);
  image->GetPixel(1, 1, p);
  EXPECT_EQ(p, 0xFF0000FFu);

  // A 1-bit DIB with the table (white, black) reads as (black, white) with its bits inverted.
  d = Dib(8, 1, 1, 2);
  const uint32_t white = 0xFFFFFF;
  std::memcpy(&d[40], &white, 4);
  d[48] = 0x0F;  // four white then four black
  ASSERT_EQ(win::UnpackDib(d.data(), d.size(), image), pf::Status::Ok);
  EXPECT_EQ(image->GetPalette().entries[0], 0xFF000000u);
  image->GetPixel(0, 0, p);
  EXPECT_EQ(p, 0xFFFFFFFFu);
  image->GetPixel(7, 0, p);
  EXPECT_EQ(p, 0xFF000000u);
}

TEST(Handles, SupportFuncAnswersNotImplementedAndLeavesItsValues) {
  cImaging im;
  double d1 = 1.5, d2 = 2, d3 = 3;
  int32_t n1 = 4, n2 = 5, n3 = 6;
  std::string s1 = "a", s2 = "b", s3 = "c";
  EXPECT_EQ(im.SupportFunc(1, d1, d2, d3, n1, n2, n3, s1, s2, s3), NotImplemented);
  EXPECT_EQ(im.GetStat(), NotImplemented);
  EXPECT_EQ(d1, 1.5);
  EXPECT_EQ(n3, 6);
  EXPECT_EQ(s2, "b");
}

}  // namespace
}  // namespace tessivo
