// Pixel locks: conversions between the 14 formats, nearest-palette mapping, user buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "platform/bitmap.h"
#include "platform/palette_mapper.h"
#include "platform/pixel_convert.h"

namespace tessivo::platform {
namespace {

std::unique_ptr<Bitmap> Make(int32_t w, int32_t h, PixelFormat f) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(w, h, f, b), Status::Ok);
  return b;
}

// Palette indices whose colour does not occur earlier in the palette: these survive a trip
// through colour and back.
std::vector<uint32_t> FirstOccurrences(const Palette& p) {
  std::vector<uint32_t> out;
  std::set<uint32_t> seen;
  for (uint32_t i = 0; i < p.entries.size(); ++i) {
    if (seen.insert(p.entries[i]).second) out.push_back(i);
  }
  return out;
}

uint16_t Get16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
void Put16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// Random pixels that are valid in `f` (premultiplied colour not above alpha, the 32 bpp RGB
// filler byte opaque, the RGB555 spare bit clear, indices that survive a colour trip).
void FillValid(Bitmap& b, std::mt19937& rng) {
  const PixelFormat f = b.Format();
  const int bpp = BitsPerPixel(f);
  const std::vector<uint32_t> indices = FirstOccurrences(b.GetPalette());
  for (int32_t y = 0; y < b.Height(); ++y) {
    uint8_t* row = b.Row(y);
    for (int32_t x = 0; x < b.Width(); ++x) {
      if (IsIndexed(f)) {
        const uint32_t index = indices[rng() % indices.size()];
        if (bpp == 8) row[x] = static_cast<uint8_t>(index);
        else if (bpp == 4) row[x / 2] = static_cast<uint8_t>((row[x / 2] & (x % 2 ? 0xF0 : 0x0F)) | (index << (x % 2 ? 0 : 4)));
        else row[x / 8] = static_cast<uint8_t>((row[x / 8] & ~(0x80 >> (x % 8))) | (index << (7 - x % 8)));
        continue;
      }
      uint8_t* p = row + x * bpp / 8;
      for (int k = 0; k < bpp / 8; ++k) p[k] = static_cast<uint8_t>(rng());
      if (f == kPixelFormat16bppRGB555) p[1] &= 0x7F;
      if (f == kPixelFormat32bppRGB) p[3] = 0xFF;
      if (f == kPixelFormat32bppPARGB) {
        for (int c = 0; c < 3; ++c) p[c] = std::min(p[c], p[3]);
      }
      if (f == kPixelFormat64bppPARGB) {
        for (int c = 0; c < 3; ++c) Put16(p + 2 * c, std::min(Get16(p + 2 * c), Get16(p + 6)));
      }
    }
  }
}

// Whether S -> T -> S restores every valid pixel of S (S with its default palette).
bool Lossless(PixelFormat s, PixelFormat t) {
  if (s == t) return true;
  static const std::set<PixelFormat> kEightBitOrMore = {
      kPixelFormat24bppRGB, kPixelFormat32bppRGB, kPixelFormat32bppARGB, kPixelFormat32bppPARGB,
      kPixelFormat48bppRGB, kPixelFormat64bppARGB, kPixelFormat64bppPARGB};
  static const std::map<PixelFormat, std::set<PixelFormat>> kDirect = {
      {kPixelFormat16bppRGB555, kEightBitOrMore},
      {kPixelFormat16bppRGB565, kEightBitOrMore},
      {kPixelFormat24bppRGB, kEightBitOrMore},
      {kPixelFormat32bppRGB, kEightBitOrMore},
      {kPixelFormat16bppARGB1555, {kPixelFormat32bppARGB, kPixelFormat64bppARGB}},
      {kPixelFormat32bppARGB, {kPixelFormat64bppARGB}},
      {kPixelFormat32bppPARGB, {kPixelFormat32bppARGB, kPixelFormat64bppARGB}},
      {kPixelFormat16bppGrayScale, {kPixelFormat48bppRGB, kPixelFormat64bppARGB, kPixelFormat64bppPARGB}},
      {kPixelFormat48bppRGB, {kPixelFormat64bppARGB, kPixelFormat64bppPARGB}},
      {kPixelFormat64bppPARGB, {kPixelFormat64bppARGB}},
  };
  if (IsIndexed(s)) {
    if (IsIndexed(t)) return PaletteCapacity(t) >= PaletteCapacity(s);
    if (kEightBitOrMore.count(t)) return true;
    // Black and white survive every direct format.
    return s == kPixelFormat1bppIndexed;
  }
  const auto it = kDirect.find(s);
  return it != kDirect.end() && it->second.count(t) > 0;
}

bool SamePixels(const Bitmap& a, const Bitmap& b) {
  const size_t rowBytes = static_cast<size_t>(RowBytes(a.Format(), a.Width()));
  for (int32_t y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
  }
  return true;
}

TEST(PlatformLockBits, EveryLosslessPairRoundTripsThroughUserBuffers) {
  std::mt19937 rng(7);
  int checked = 0;
  for (PixelFormat s : kAllPixelFormats) {
    auto source = Make(37, 5, s);
    FillValid(*source, rng);
    for (PixelFormat t : kAllPixelFormats) {
      SCOPED_TRACE(testing::Message() << std::hex << s << " via " << t);
      // An odd stride, and a negative one whose first row is the last in memory.
      for (int32_t extra : {3, -5}) {
        const int32_t rowBytes = static_cast<int32_t>(RowBytes(t, 37));
        const int32_t stride = extra > 0 ? rowBytes + extra : -(rowBytes - extra);
        std::vector<uint8_t> buffer(static_cast<size_t>(std::abs(stride)) * 5 + 8, 0xAB);
        BitmapData data;
        data.scan0 = buffer.data() + (stride < 0 ? std::abs(stride) * 4 : 0);
        data.stride = stride;
        ASSERT_EQ(source->LockBits(nullptr, ImageLockModeRead | ImageLockModeUserInputBuf, t, data), Status::Ok);
        EXPECT_EQ(data.scan0, buffer.data() + (stride < 0 ? std::abs(stride) * 4 : 0));
        ASSERT_EQ(source->UnlockBits(data), Status::Ok);

        auto back = Make(37, 5, s);
        ASSERT_EQ(back->LockBits(nullptr, ImageLockModeWrite | ImageLockModeUserInputBuf, t, data), Status::Ok);
        ASSERT_EQ(back->UnlockBits(data), Status::Ok);
        if (Lossless(s, t)) {
          EXPECT_TRUE(SamePixels(*source, *back));
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 100);
}

TEST(PlatformLockBits, BufferedLocksConvertInAndOut) {
  // A 24 bpp bitmap locked as 32 bpp ARGB (its own buffer), edited, and written back; then
  // locked in its own format, which points straight into its pixels.
  auto b = Make(5, 3, kPixelFormat24bppRGB);
  ASSERT_EQ(b->SetPixel(1, 1, 0xFF102030), Status::Ok);
  BitmapData data;
  Rect r{1, 1, 3, 2};
  ASSERT_EQ(b->LockBits(&r, ImageLockModeRead | ImageLockModeWrite, kPixelFormat32bppARGB, data), Status::Ok);
  EXPECT_EQ(data.width, 3u);
  EXPECT_EQ(data.stride, 12);
  uint32_t* px = static_cast<uint32_t*>(data.scan0);
  EXPECT_EQ(px[0], 0xFF102030u);
  px[4] = 0x80ABCDEF;  // (2, 2): alpha is dropped, not composited
  ASSERT_EQ(b->UnlockBits(data), Status::Ok);
  uint32_t argb = 0;
  ASSERT_EQ(b->GetPixel(2, 2, argb), Status::Ok);
  EXPECT_EQ(argb, 0xFFABCDEFu);
  ASSERT_EQ(b->GetPixel(1, 1, argb), Status::Ok);
  EXPECT_EQ(argb, 0xFF102030u);

  ASSERT_EQ(b->LockBits(&r, ImageLockModeRead, kPixelFormat24bppRGB, data), Status::Ok);
  EXPECT_EQ(data.scan0, b->Row(1) + 3);
  EXPECT_EQ(data.stride, b->Stride());
  ASSERT_EQ(b->UnlockBits(data), Status::Ok);

  // A packed format locked at an odd x is converted (shifted) rather than pointed into.
  auto mono = Make(16, 1, kPixelFormat1bppIndexed);
  mono->Row(0)[0] = 0x5A;  // 0101 1010
  Rect odd{1, 0, 8, 1};
  ASSERT_EQ(mono->LockBits(&odd, ImageLockModeRead | ImageLockModeWrite, kPixelFormat1bppIndexed, data), Status::Ok);
  EXPECT_EQ(static_cast<uint8_t*>(data.scan0)[0], 0xB4);  // 1011 0100
  static_cast<uint8_t*>(data.scan0)[0] = 0xFF;
  ASSERT_EQ(mono->UnlockBits(data), Status::Ok);
  EXPECT_EQ(mono->Row(0)[0], 0x7F);
  EXPECT_EQ(mono->Row(0)[1], 0x80);
}

TEST(PlatformLockBits, ConversionRules) {
  auto b = Make(4, 1, kPixelFormat32bppARGB);
  uint32_t* px = reinterpret_cast<uint32_t*>(b->Row(0));
  px[0] = 0xFF336699;
  px[1] = 0x80FF4000;
  px[2] = 0x00123456;
  px[3] = 0xFFFFFFFF;
  BitmapData data;
  // Grey: Rec. 601 luma of the 16-bit channels.
  ASSERT_EQ(b->LockBits(nullptr, ImageLockModeRead, kPixelFormat16bppGrayScale, data), Status::Ok);
  const uint8_t* grey = static_cast<uint8_t*>(data.scan0);
  EXPECT_EQ(Get16(grey), (299 * 0x3333 + 587 * 0x6666 + 114 * 0x9999 + 500) / 1000);
  EXPECT_EQ(Get16(grey + 6), 0xFFFF);
  ASSERT_EQ(b->UnlockBits(data), Status::Ok);
  // Premultiplied, rounded to nearest; fully transparent becomes zero.
  ASSERT_EQ(b->LockBits(nullptr, ImageLockModeRead, kPixelFormat32bppPARGB, data), Status::Ok);
  const uint32_t* p = static_cast<uint32_t*>(data.scan0);
  EXPECT_EQ(p[0], 0xFF336699u);
  EXPECT_EQ(p[1], 0x80802000u);  // 255*128/255 = 128, 64*128/255 = 32.1
  EXPECT_EQ(p[2], 0u);
  ASSERT_EQ(b->UnlockBits(data), Status::Ok);
  // 16-bit channels are v * 257.
  ASSERT_EQ(b->LockBits(nullptr, ImageLockModeRead, kPixelFormat64bppARGB, data), Status::Ok);
  const uint8_t* wide = static_cast<uint8_t*>(data.scan0);
  EXPECT_EQ(Get16(wide + 8 + 4), 0xFFFF);
  EXPECT_EQ(Get16(wide + 8 + 2), 0x4040);
  EXPECT_EQ(Get16(wide + 8 + 6), 0x8080);
  ASSERT_EQ(b->UnlockBits(data), Status::Ok);

  // 5-bit channels expand by bit replication and narrow to nearest.
  auto rgb555 = Make(1, 1, kPixelFormat16bppRGB555);
  Put16(rgb555->Row(0), 0x7C01);  // red 31, green 0, blue 1
  uint32_t argb = 0;
  ASSERT_EQ(rgb555->GetPixel(0, 0, argb), Status::Ok);
  EXPECT_EQ(argb, 0xFFFF0008u);
  ASSERT_EQ(rgb555->SetPixel(0, 0, 0xFF0C0000), Status::Ok);  // 12*31/255 = 1.46
  EXPECT_EQ(Get16(rgb555->Row(0)), 1 << 10);
  // 16-bit channels narrow to nearest.
  auto rgb48 = Make(1, 1, kPixelFormat48bppRGB);
  Put16(rgb48->Row(0) + 4, 0x1234);  // red: 0x1234 / 257 = 18.13
  ASSERT_EQ(rgb48->GetPixel(0, 0, argb), Status::Ok);
  EXPECT_EQ(argb, 0xFF120000u);
}

TEST(PlatformLockBits, IndexedTargetsTakeTheNearestEntry) {
  std::mt19937 rng(3);
  // Random colours, alpha included, against a brute-force search of the halftone palette;
  // enough pixels that the fast search structures are built and used.
  auto b = Make(256, 64, kPixelFormat32bppARGB);
  for (int32_t y = 0; y < b->Height(); ++y) {
    uint32_t* px = reinterpret_cast<uint32_t*>(b->Row(y));
    for (int32_t x = 0; x < b->Width(); ++x) px[x] = rng() | (y % 2 ? 0xFF000000u : 0);
  }
  const Palette halftone = DefaultPalette(kPixelFormat8bppIndexed);
  BitmapData data;
  ASSERT_EQ(b->LockBits(nullptr, ImageLockModeRead, kPixelFormat8bppIndexed, data), Status::Ok);
  int mismatches = 0;
  for (int32_t y = 0; y < b->Height(); ++y) {
    const uint32_t* px = reinterpret_cast<const uint32_t*>(b->Row(y));
    const uint8_t* idx = static_cast<uint8_t*>(data.scan0) + y * data.stride;
    for (int32_t x = 0; x < b->Width(); ++x) {
      uint32_t best = UINT32_MAX, bestIndex = 0;
      for (uint32_t i = 0; i < 256; ++i) {
        uint32_t d = 0;
        for (int s = 0; s < 32; s += 8) {
          const int diff = static_cast<int>((px[x] >> s) & 0xFF) - static_cast<int>((halftone.entries[i] >> s) & 0xFF);
          d += static_cast<uint32_t>(diff * diff);
        }
        if (d < best) best = d, bestIndex = i;
      }
      mismatches += idx[x] != bestIndex;
    }
  }
  EXPECT_EQ(mismatches, 0);
  ASSERT_EQ(b->UnlockBits(data), Status::Ok);

  // An indexed bitmap maps into its own palette; equal distances go to the first entry.
  auto indexed = Make(3, 1, kPixelFormat8bppIndexed);
  ASSERT_EQ(indexed->SetPalette({0, {0xFF000000, 0xFF000000, 0xFF020202, 0xFFFF0000}}), Status::Ok);
  uint32_t colours[3] = {0xFF010101, 0xFF020202, 0xFFF00000};
  data.scan0 = colours;
  data.stride = 12;
  ASSERT_EQ(indexed->LockBits(nullptr, ImageLockModeWrite | ImageLockModeUserInputBuf, kPixelFormat32bppARGB, data),
            Status::Ok);
  ASSERT_EQ(indexed->UnlockBits(data), Status::Ok);
  EXPECT_EQ(indexed->Row(0)[0], 0);
  EXPECT_EQ(indexed->Row(0)[1], 2);
  EXPECT_EQ(indexed->Row(0)[2], 3);

  // Its palette does not fit 1 bpp, so the 1 bpp lock uses black and white.
  ASSERT_EQ(indexed->LockBits(nullptr, ImageLockModeRead, kPixelFormat1bppIndexed, data), Status::Ok);
  EXPECT_EQ(static_cast<uint8_t*>(data.scan0)[0], 0x00);
  ASSERT_EQ(indexed->UnlockBits(data), Status::Ok);
  ASSERT_EQ(indexed->LockBits(nullptr, ImageLockModeRead, kPixelFormat4bppIndexed, data), Status::Ok);
  EXPECT_EQ(static_cast<uint8_t*>(data.scan0)[0], 0x02);  // own palette fits: indices kept
  EXPECT_EQ(static_cast<uint8_t*>(data.scan0)[1], 0x30);
  ASSERT_EQ(indexed->UnlockBits(data), Status::Ok);
}

TEST(PlatformLockBits, RejectsBadRequests) {
  auto b = Make(10, 10, kPixelFormat24bppRGB);
  BitmapData data;
  for (Rect r : {Rect{0, 0, 0, 5}, Rect{-1, 0, 5, 5}, Rect{6, 0, 5, 5}, Rect{0, 9, 1, 2},
                 Rect{INT32_MAX, 0, 2, 2}}) {
    EXPECT_EQ(b->LockBits(&r, ImageLockModeRead, kPixelFormat24bppRGB, data), Status::InvalidParameter);
  }
  EXPECT_EQ(b->LockBits(nullptr, 0, kPixelFormat24bppRGB, data), Status::InvalidParameter);
  EXPECT_EQ(b->LockBits(nullptr, ImageLockModeUserInputBuf, kPixelFormat24bppRGB, data), Status::InvalidParameter);
  EXPECT_EQ(b->LockBits(nullptr, ImageLockModeRead, 0x12345, data), Status::InvalidParameter);
  std::vector<uint8_t> small(100);
  data.scan0 = small.data();
  data.stride = 29;  // one byte short of 10 pixels of 24 bpp
  EXPECT_EQ(b->LockBits(nullptr, ImageLockModeRead | ImageLockModeUserInputBuf, kPixelFormat24bppRGB, data),
            Status::InvalidParameter);
  data.scan0 = nullptr;
  EXPECT_EQ(b->LockBits(nullptr, ImageLockModeRead | ImageLockModeUserInputBuf, kPixelFormat24bppRGB, data),
            Status::InvalidParameter);

  EXPECT_EQ(b->UnlockBits(data), Status::WrongState);
  BitmapData first, second;
  ASSERT_EQ(b->LockBits(nullptr, ImageLockModeRead, kPixelFormat32bppARGB, first), Status::Ok);
  EXPECT_EQ(b->LockBits(nullptr, ImageLockModeRead, kPixelFormat32bppARGB, second), Status::WrongState);
  EXPECT_EQ(b->RotateFlip(Rotate90FlipNone), Status::WrongState);
  EXPECT_EQ(b->UnlockBits(second), Status::InvalidParameter);
  EXPECT_EQ(b->UnlockBits(first), Status::Ok);
  EXPECT_EQ(b->UnlockBits(first), Status::WrongState);
}

TEST(PlatformLockBits, MapperAgreesWithLinearSearchOnSmallPalettes) {
  // Two- and sixteen-entry palettes, translucent entries included.
  std::mt19937 rng(11);
  std::vector<uint32_t> palette(16);
  for (uint32_t& c : palette) c = rng();
  NearestPaletteMapper mapper(palette, 16);
  NearestPaletteMapper two(palette, 2);
  for (int i = 0; i < 5000; ++i) {
    const uint32_t c = rng();
    ASSERT_EQ(mapper.Map(c), NearestPaletteMapper::LinearSearch(palette, c));
    ASSERT_EQ(two.Map(c), NearestPaletteMapper::LinearSearch(std::span(palette).first(2), c));
  }
}

}  // namespace
}  // namespace tessivo::platform
