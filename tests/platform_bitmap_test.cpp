// The platform bitmap: creation limits, caller memory, clones, rotate-flip, pixels, palettes,
// metadata, frames and thumbnails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/bitmap.h"
#include "platform/platform_version.h"

namespace tessivo::platform {
namespace {

std::unique_ptr<Bitmap> Make(int32_t w, int32_t h, PixelFormat f) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(w, h, f, b), Status::Ok);
  return b;
}

uint32_t Pixel(const Bitmap& b, int32_t x, int32_t y) {
  uint32_t argb = 0;
  EXPECT_EQ(b.GetPixel(x, y, argb), Status::Ok);
  return argb;
}

TEST(PlatformBitmap, CreateChecksItsArguments) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(0, 5, kPixelFormat24bppRGB, b), Status::InvalidParameter);
  EXPECT_EQ(Bitmap::Create(5, -1, kPixelFormat24bppRGB, b), Status::InvalidParameter);
  EXPECT_EQ(Bitmap::Create(5, 5, kPixelFormatUndefined, b), Status::InvalidParameter);
  EXPECT_EQ(Bitmap::Create(5, 5, kPixelFormat32bppARGB | 0x40000000, b), Status::InvalidParameter);
  EXPECT_EQ(Bitmap::Create(70000, 70000, kPixelFormat32bppARGB, b), Status::OutOfMemory);
  EXPECT_EQ(Bitmap::Create(INT32_MAX, 1, kPixelFormat64bppARGB, b), Status::OutOfMemory);
  EXPECT_EQ(b, nullptr);

  b = Make(5, 2, kPixelFormat24bppRGB);
  EXPECT_EQ(b->Stride(), 16);
  EXPECT_TRUE(b->OwnsPixels());
  EXPECT_EQ(Pixel(*b, 4, 1), 0xFF000000u);
  EXPECT_EQ(b->HorizontalResolution(), 96.0f);
  EXPECT_EQ(Make(33, 1, kPixelFormat1bppIndexed)->Stride(), 8);
  EXPECT_EQ(Make(1, 1, kPixelFormat32bppARGB)->Flags() & ImageFlagsHasAlpha, ImageFlagsHasAlpha);
  EXPECT_EQ(StrideFor(kPixelFormat64bppARGB, INT32_MAX / 4), -1);
}

TEST(PlatformBitmap, DefaultPalettes) {
  const Palette mono = DefaultPalette(kPixelFormat1bppIndexed);
  EXPECT_EQ(mono.entries, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF}));
  const Palette vga = DefaultPalette(kPixelFormat4bppIndexed);
  ASSERT_EQ(vga.entries.size(), 16u);
  EXPECT_EQ(vga.entries[1], 0xFF800000u);
  EXPECT_EQ(vga.entries[3], 0xFF808000u);
  EXPECT_EQ(vga.entries[7], 0xFF808080u);
  EXPECT_EQ(vga.entries[8], 0xFFC0C0C0u);
  EXPECT_EQ(vga.entries[12], 0xFF0000FFu);
  EXPECT_EQ(vga.entries[15], 0xFFFFFFFFu);
  const Palette halftone = DefaultPalette(kPixelFormat8bppIndexed);
  ASSERT_EQ(halftone.entries.size(), 256u);
  EXPECT_EQ(halftone.flags, static_cast<uint32_t>(PaletteFlagsHalftone));
  EXPECT_TRUE(std::equal(vga.entries.begin(), vga.entries.end(), halftone.entries.begin()));
  EXPECT_EQ(halftone.entries[41], 0xFF000033u);
  EXPECT_EQ(halftone.entries[40 + 36 + 6 + 1], 0xFF333333u);
  EXPECT_EQ(halftone.entries[255], 0xFFFFFFFFu);
  for (uint32_t c : halftone.entries) EXPECT_EQ(c >> 24, 0xFFu);
  EXPECT_TRUE(DefaultPalette(kPixelFormat24bppRGB).entries.empty());
  EXPECT_EQ(Make(2, 2, kPixelFormat4bppIndexed)->GetPalette().entries, vga.entries);
}

TEST(PlatformBitmap, CreateOverUsesCallerMemoryBottomUp) {
  // Three rows of 8 bytes, the top row last in memory.
  std::vector<uint8_t> memory(24, 0);
  std::unique_ptr<Bitmap> b;
  ASSERT_EQ(Bitmap::CreateOver(2, 3, -8, kPixelFormat32bppARGB, memory.data() + 16, b), Status::Ok);
  EXPECT_FALSE(b->OwnsPixels());
  ASSERT_EQ(b->SetPixel(1, 0, 0x11223344), Status::Ok);
  EXPECT_EQ(memory[16 + 4], 0x44);
  ASSERT_EQ(b->SetPixel(0, 2, 0x55667788), Status::Ok);
  EXPECT_EQ(memory[0], 0x88);
  // A vertical flip keeps the caller's memory; a quarter turn moves to owned pixels.
  ASSERT_EQ(b->RotateFlip(Rotate180FlipX), Status::Ok);
  EXPECT_EQ(memory[0 + 4], 0x44);
  ASSERT_EQ(b->RotateFlip(Rotate90FlipNone), Status::Ok);
  EXPECT_TRUE(b->OwnsPixels());
  EXPECT_EQ(b->Width(), 3);
  EXPECT_EQ(Pixel(*b, 0, 1), 0x11223344u);

  // Flipping packed caller rows leaves the bits past the last pixel alone.
  uint8_t mono[4] = {0xC3, 0, 0, 0};  // pixels 1 1 0, then five caller bits 0 0 0 1 1
  ASSERT_EQ(Bitmap::CreateOver(3, 1, 4, kPixelFormat1bppIndexed, mono, b), Status::Ok);
  ASSERT_EQ(b->RotateFlip(RotateNoneFlipX), Status::Ok);
  EXPECT_EQ(mono[0], 0x63);

  EXPECT_EQ(Bitmap::CreateOver(2, 3, 7, kPixelFormat32bppARGB, memory.data(), b), Status::InvalidParameter);
  EXPECT_EQ(Bitmap::CreateOver(2, 3, 8, kPixelFormat32bppARGB, nullptr, b), Status::InvalidParameter);
}

TEST(PlatformBitmap, ClonesAreIndependent) {
  auto b = Make(4, 3, kPixelFormat8bppIndexed);
  b->Row(1)[2] = 77;
  ASSERT_EQ(b->SetResolution(300, 150), Status::Ok);
  ASSERT_EQ(b->SetProperty({0x010F, 2, {'M', 0}}), Status::Ok);
  b->SetRawFormat(RawFormat::PNG);
  std::unique_ptr<Bitmap> copy;
  ASSERT_EQ(b->Clone(copy), Status::Ok);
  copy->Row(1)[2] = 5;
  Palette p = copy->GetPalette();
  p.entries[0] = 0xFF123456;
  ASSERT_EQ(copy->SetPalette(p), Status::Ok);
  EXPECT_EQ(b->Row(1)[2], 77);
  EXPECT_EQ(b->GetPalette().entries[0], 0xFF000000u);
  EXPECT_EQ(copy->VerticalResolution(), 150.0f);
  EXPECT_EQ(copy->Properties().size(), 1u);
  EXPECT_EQ(copy->GetRawFormat(), RawFormat::PNG);

  // Area clones convert; an indexed target of a direct bitmap takes the default palette.
  auto rgb = Make(6, 4, kPixelFormat24bppRGB);
  ASSERT_EQ(rgb->SetPixel(3, 2, 0xFFFF0000), Status::Ok);
  ASSERT_EQ(rgb->CloneArea({2, 1, 3, 2}, kPixelFormat4bppIndexed, copy), Status::Ok);
  EXPECT_EQ(copy->Width(), 3);
  EXPECT_EQ(Pixel(*copy, 1, 1), 0xFFFF0000u);
  EXPECT_EQ(copy->GetPalette().entries.size(), 16u);
  ASSERT_EQ(rgb->CloneArea({2, 1, 3, 2}, kPixelFormat64bppPARGB, copy), Status::Ok);
  EXPECT_EQ(Pixel(*copy, 1, 1), 0xFFFF0000u);
  EXPECT_EQ(rgb->CloneArea({4, 0, 3, 1}, kPixelFormat24bppRGB, copy), Status::InvalidParameter);
  EXPECT_EQ(rgb->CloneArea({0, 0, 0, 1}, kPixelFormat24bppRGB, copy), Status::InvalidParameter);
  EXPECT_EQ(rgb->CloneArea({0, 0, 1, 1}, 0, copy), Status::InvalidParameter);
}

// Where source pixel (x, y) of a w x h image lands: each type is the composition of a
// clockwise quarter turn repeated and an optional mirror, applied step by step.
void Land(RotateFlipType type, int32_t w, int32_t h, int32_t x, int32_t y, int32_t& ox, int32_t& oy) {
  for (int turn = 0; turn < (type & 3); ++turn) {
    const int32_t nx = h - 1 - y, ny = x;
    x = nx;
    y = ny;
    std::swap(w, h);
  }
  if (type & 4) x = w - 1 - x;
  ox = x;
  oy = y;
}

TEST(PlatformBitmap, RotateFlipMovesEveryPixelOfEveryFormat) {
  std::mt19937 rng(5);
  for (PixelFormat f : {kPixelFormat1bppIndexed, kPixelFormat4bppIndexed, kPixelFormat8bppIndexed,
                        kPixelFormat16bppRGB565, kPixelFormat24bppRGB, kPixelFormat48bppRGB,
                        kPixelFormat64bppARGB}) {
    for (int t = 0; t < 8; ++t) {
      SCOPED_TRACE(testing::Message() << std::hex << f << " type " << t);
      auto b = Make(11, 5, f);
      for (int32_t y = 0; y < 5; ++y) {
        for (int32_t k = 0; k < b->Stride(); ++k) b->Row(y)[k] = static_cast<uint8_t>(rng());
      }
      std::unique_ptr<Bitmap> before;
      ASSERT_EQ(b->Clone(before), Status::Ok);
      ASSERT_EQ(b->RotateFlip(static_cast<RotateFlipType>(t)), Status::Ok);
      const bool turned = t % 2 == 1;
      ASSERT_EQ(b->Width(), turned ? 5 : 11);
      int bad = 0;
      for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 11; ++x) {
          int32_t ox, oy;
          Land(static_cast<RotateFlipType>(t), 11, 5, x, y, ox, oy);
          bad += Pixel(*before, x, y) != Pixel(*b, ox, oy);
        }
      }
      EXPECT_EQ(bad, 0);
    }
  }
  auto b = Make(2, 2, kPixelFormat24bppRGB);
  EXPECT_EQ(b->RotateFlip(static_cast<RotateFlipType>(8)), Status::InvalidParameter);
}

TEST(PlatformBitmap, PixelsPalettesAndResolution) {
  auto b = Make(3, 3, kPixelFormat32bppPARGB);
  ASSERT_EQ(b->SetPixel(2, 2, 0x80FF0000), Status::Ok);
  EXPECT_EQ(Pixel(*b, 2, 2), 0x80FF0000u);
  uint32_t argb;
  EXPECT_EQ(b->GetPixel(3, 0, argb), Status::InvalidParameter);
  EXPECT_EQ(b->SetPixel(0, -1, 0), Status::InvalidParameter);
  auto indexed = Make(3, 3, kPixelFormat8bppIndexed);
  EXPECT_EQ(indexed->SetPixel(0, 0, 0xFFFFFFFF), Status::InvalidParameter);
  indexed->Row(0)[0] = 12;
  EXPECT_EQ(Pixel(*indexed, 0, 0), 0xFF0000FFu);

  EXPECT_EQ(b->SetPalette({0, std::vector<uint32_t>(257)}), Status::InvalidParameter);
  EXPECT_EQ(b->SetPalette({PaletteFlagsHasAlpha, {0x80FFFFFF}}), Status::Ok);  // kept on a direct format
  EXPECT_EQ(b->GetPalette().entries.size(), 1u);

  EXPECT_EQ(b->SetResolution(0, 72), Status::InvalidParameter);
  EXPECT_EQ(b->SetResolution(72, -1), Status::InvalidParameter);
  EXPECT_EQ(b->SetResolution(std::nanf(""), 72), Status::InvalidParameter);
  EXPECT_EQ(b->SetResolution(72, 300), Status::Ok);
  EXPECT_EQ(b->VerticalResolution(), 300.0f);
}

TEST(PlatformBitmap, PropertyItemsKeepInsertionOrder) {
  auto b = Make(1, 1, kPixelFormat24bppRGB);
  ASSERT_EQ(b->SetProperty({0x0110, 2, {'A', 0}}), Status::Ok);
  ASSERT_EQ(b->SetProperty({0x010F, 2, {'B', 0}}), Status::Ok);
  ASSERT_EQ(b->SetProperty({0x0110, 2, {'C', 0}}), Status::Ok);  // replaced in place
  ASSERT_EQ(b->Properties().size(), 2u);
  EXPECT_EQ(b->Properties()[0].value[0], 'C');
  EXPECT_EQ(b->SetProperty({0x0111, 6, {1}}), Status::InvalidParameter);
  PropertyItem item;
  EXPECT_EQ(b->GetProperty(0x010F, item), Status::Ok);
  EXPECT_EQ(item.value[0], 'B');
  EXPECT_EQ(b->RemoveProperty(0x010F), Status::Ok);
  EXPECT_EQ(b->RemoveProperty(0x010F), Status::PropertyNotFound);
  EXPECT_EQ(b->GetProperty(0x010F, item), Status::PropertyNotFound);
}

class TwoPages : public FrameSource {
 public:
  uint32_t FrameCount(FrameDimension d) const override { return d == FrameDimension::Page ? 2 : 1; }
  Status DecodeFrame(FrameDimension, uint32_t index, Bitmap& into) override {
    std::unique_ptr<Bitmap> page;
    Status s = Bitmap::Create(index + 1, 1, kPixelFormat24bppRGB, page);
    if (s == Status::Ok) into.TakeContentFrom(*page);
    return s;
  }
};

TEST(PlatformBitmap, FramesAndContentReplacement) {
  auto b = Make(1, 1, kPixelFormat24bppRGB);
  EXPECT_EQ(b->FrameCount(FrameDimension::Page), 1u);
  EXPECT_EQ(b->FrameCount(FrameDimension::Time), 1u);
  EXPECT_EQ(b->SelectActiveFrame(FrameDimension::Page, 0), Status::Ok);
  EXPECT_EQ(b->SelectActiveFrame(FrameDimension::Page, 1), Status::InvalidParameter);
  b->SetFrameSource(std::make_shared<TwoPages>());
  EXPECT_EQ(b->FrameCount(FrameDimension::Page), 2u);
  ASSERT_EQ(b->SelectActiveFrame(FrameDimension::Page, 1), Status::Ok);
  EXPECT_EQ(b->ActiveFrame(), 1u);
  EXPECT_EQ(b->Width(), 2);
  EXPECT_EQ(b->SelectActiveFrame(FrameDimension::Page, 2), Status::InvalidParameter);

  // A frame replaced during a write lock is not written into with the old rectangle.
  auto big = Make(4, 4, kPixelFormat24bppRGB);
  BitmapData data;
  Rect r{2, 2, 2, 2};
  ASSERT_EQ(big->LockBits(&r, ImageLockModeWrite, kPixelFormat32bppARGB, data), Status::Ok);
  auto small = Make(1, 1, kPixelFormat24bppRGB);
  big->TakeContentFrom(*small);
  EXPECT_EQ(small->Width(), 4);
  EXPECT_EQ(big->UnlockBits(data), Status::WrongState);
}

TEST(PlatformBitmap, ThumbnailAveragesAreas) {
  // Alternating opaque red and transparent columns average to half-transparent red.
  auto b = Make(480, 200, kPixelFormat32bppARGB);
  for (int32_t y = 0; y < 200; ++y) {
    for (int32_t x = 0; x < 480; ++x) ASSERT_EQ(b->SetPixel(x, y, x % 2 ? 0 : 0xFFFF0000), Status::Ok);
  }
  std::unique_ptr<Bitmap> thumb;
  ASSERT_EQ(b->Thumbnail(0, 0, thumb), Status::Ok);
  EXPECT_EQ(thumb->Width(), 120);
  EXPECT_EQ(thumb->Height(), 50);
  EXPECT_EQ(thumb->Format(), kPixelFormat32bppPARGB);
  uint32_t raw;
  std::memcpy(&raw, thumb->Row(25) + 4 * 60, 4);
  EXPECT_EQ(raw, 0x80800000u);
  ASSERT_EQ(b->Thumbnail(0, 100, thumb), Status::Ok);
  EXPECT_EQ(thumb->Width(), 240);
  // Enlarging an indexed image keeps its colours.
  auto mono = Make(2, 1, kPixelFormat1bppIndexed);
  mono->Row(0)[0] = 0x40;
  ASSERT_EQ(mono->Thumbnail(8, 4, thumb), Status::Ok);
  EXPECT_EQ(Pixel(*thumb, 0, 0), 0xFF000000u);
  EXPECT_EQ(Pixel(*thumb, 7, 3), 0xFFFFFFFFu);
  EXPECT_EQ(b->Thumbnail(-1, 5, thumb), Status::InvalidParameter);
  EXPECT_EQ(b->Thumbnail(70000, 70000, thumb), Status::OutOfMemory);
  EXPECT_EQ(b->Thumbnail(0, INT32_MAX, thumb), Status::OutOfMemory);
}

TEST(PlatformBitmap, IdentifiersAndVersion) {
  EXPECT_STREQ(RawFormatGuid(RawFormat::JPEG), "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}");
  EXPECT_STREQ(RawFormatGuid(RawFormat::Icon), "{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}");
  EXPECT_STREQ(RawFormatGuid(RawFormat::Undefined), "{B96B3CA9-0728-11D3-9D7B-0000F81EF32E}");
  EXPECT_EQ(Make(1, 1, kPixelFormat24bppRGB)->GetRawFormat(), RawFormat::MemoryBMP);
  EXPECT_GE(std::atof(PlatformVersion()), 6.0);
}

}  // namespace
}  // namespace tessivo::platform
