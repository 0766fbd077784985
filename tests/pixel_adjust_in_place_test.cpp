// Lookup-table adjustments map 24- and 32-bit rows where they lie. Every byte of the image must
// come out as the engine's 32-bit working-buffer path leaves it (read the zone as ARGB, run the
// routine, write it back): the zone's channels, alpha, the padding byte of 32bppRGB, the bytes
// past each row's end and everything outside the zone, for top-down and bottom-up rows.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "pixel/adjust/adjust_codes.h"
#include "pixel/filter_engine.h"
#include "pixel/filter_registry.h"

namespace tessivo {
namespace {

namespace pf = platform;

// Odd widths: 24-bit rows end in padding. Zones of the large size go through the tables of
// byte pairs, small ones byte by byte.
struct Size {
  int32_t width, height;
};
constexpr Size kSmall{37, 23};
constexpr Size kLarge{515, 513};

// Pixels over caller memory, so that two images can start from the same bytes, stride and all.
struct RawImage {
  std::vector<uint8_t> bytes;
  std::unique_ptr<pf::Bitmap> bitmap;
};

RawImage MakeRaw(const std::vector<uint8_t>& content, Size size, pf::PixelFormat format, int32_t stride) {
  RawImage raw;
  raw.bytes = content;
  const size_t rowBytes = static_cast<size_t>(std::abs(stride));
  // Bottom-up rows start at the last row of the memory.
  uint8_t* scan0 = stride > 0 ? raw.bytes.data() : raw.bytes.data() + rowBytes * (size.height - 1);
  EXPECT_EQ(pf::Bitmap::CreateOver(size.width, size.height, stride, format, scan0, raw.bitmap), pf::Status::Ok);
  return raw;
}

// The engine's whole-zone path: the zone as 32-bit ARGB, the routine, and back.
void RunThroughWorkingBuffer(pf::Bitmap& image, const ZoneRect& zone, const FilterDescriptor& f,
                             const FilterParams& params) {
  std::vector<uint32_t> work(static_cast<size_t>(zone.width) * zone.height);
  const pf::Rect rect{zone.left, zone.top, zone.width, zone.height};
  for (uint32_t mode : {pf::ImageLockModeRead, pf::ImageLockModeWrite}) {
    pf::BitmapData data;
    data.scan0 = work.data();
    data.stride = zone.width * 4;
    ASSERT_EQ(image.LockBits(&rect, mode | pf::ImageLockModeUserInputBuf, pf::kPixelFormat32bppARGB, data),
              pf::Status::Ok);
    ASSERT_EQ(image.UnlockBits(data), pf::Status::Ok);
    if (mode == pf::ImageLockModeRead) {
      FilterJob job;
      job.pixels = work.data();
      job.width = zone.width;
      job.height = zone.height;
      job.params = params;
      ASSERT_EQ(f.routine(job), OK);
    }
  }
}

struct Adjustment {
  int32_t code;
  FilterParams params;
};

FilterParams P(double p) {
  FilterParams params;
  params.p = p;
  return params;
}

FilterParams Offsets(double r, double g, double b) {
  FilterParams params;
  params.d1 = r, params.d2 = g, params.d3 = b;
  return params;
}

// Runs each adjustment on each 24- and 32-bit format, stride (padded, wider, bottom-up) and
// zone, in place and through the working buffer, and compares every byte of the memory.
void ExpectSameBytes(Size size, const std::vector<Adjustment>& adjustments, const std::vector<ZoneRect>& zones) {
  const pf::PixelFormat formats[] = {pf::kPixelFormat24bppRGB, pf::kPixelFormat32bppRGB, pf::kPixelFormat32bppARGB};
  std::mt19937 random(7);
  for (pf::PixelFormat format : formats) {
    const int32_t rowBytes = size.width * pf::BitsPerPixel(format) / 8;
    const int32_t padded = (rowBytes + 3) / 4 * 4;
    for (int32_t stride : {padded, padded + 12, -(padded + 4)}) {
      // Random bytes everywhere, padding and fourth bytes included, in a narrow range so that
      // stretch and equalize have something to spread; every other row covers all of 0..255.
      std::vector<uint8_t> content(static_cast<size_t>(std::abs(stride)) * size.height);
      for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>((i / std::abs(stride)) % 2 ? random() : 60 + random() % 90);
      for (const Adjustment& a : adjustments)
        for (const ZoneRect& zone : zones) {
          const FilterDescriptor* filter = FindFilter(a.code);
          ASSERT_NE(filter, nullptr);
          ASSERT_NE(filter->tables, nullptr) << a.code;
          RawImage expected = MakeRaw(content, size, format, stride);
          RawImage actual = MakeRaw(content, size, format, stride);
          RunThroughWorkingBuffer(*expected.bitmap, zone, *filter, a.params);
          const FilterOutcome out = RunFilter(*actual.bitmap, zone, *filter, a.params);
          ASSERT_EQ(out.status, OK);
          EXPECT_TRUE(out.wrote);
          size_t differing = 0, first = 0;
          for (size_t i = 0; i < content.size(); ++i)
            if (actual.bytes[i] != expected.bytes[i] && differing++ == 0) first = i;
          EXPECT_EQ(differing, 0u) << "code " << a.code << " p " << a.params.p << " format " << format
                                   << " stride " << stride << " zone " << zone.left << "," << zone.top << " "
                                   << zone.width << "x" << zone.height << ": first at byte "
                                   << first % std::abs(stride) << " of memory row " << first / std::abs(stride);
        }
    }
  }
}

TEST(AdjustInPlace, EveryByteAsTheWorkingBufferLeavesIt) {
  const std::vector<Adjustment> adjustments = {
      {kAdjustBrightness, P(37)},      {kAdjustBrightness, P(-64)},    {kAdjustContrast, P(100)},
      {kAdjustContrast, P(-45)},       {kAdjustContrast, P(2e9)},      {kAdjustGamma, P(140)},
      {kAdjustGamma, P(35)},           {kAdjustRGB, Offsets(40, -90, 7)}, {kAdjustScaleRed, P(1.7)},
      {kAdjustScaleGreen, P(-0.5)},    {kAdjustScaleBlue, P(0.25)},    {kAdjustKeepRed, {}},
      {kAdjustKeepGreen, {}},          {kAdjustKeepBlue, {}},          {kAdjustRemoveRed, {}},
      {kAdjustRemoveGreen, {}},        {kAdjustRemoveBlue, {}},        {kAdjustStretchContrast, {}},
      {kAdjustEqualizeIntensity, {}},
  };
  ExpectSameBytes(kSmall, adjustments, {{0, 0, kSmall.width, kSmall.height}, {3, 5, 21, 11}, {kSmall.width - 1, 0, 1, kSmall.height}});
}

TEST(AdjustInPlace, LargeZonesThroughPairTables) {
  // One table for all channels, three different ones, and the spilling contrast; zones whose
  // rows start on odd pixels and end one short of a pair.
  const std::vector<Adjustment> adjustments = {
      {kAdjustGamma, P(140)}, {kAdjustRGB, Offsets(40, -90, 7)}, {kAdjustKeepGreen, {}}, {kAdjustContrast, P(100)}};
  ExpectSameBytes(kLarge, adjustments, {{0, 0, kLarge.width, kLarge.height}, {1, 1, kLarge.width - 2, kLarge.height - 1}});
}

TEST(AdjustInPlace, LockedImageIsRefusedAndKept) {
  // The in-place lock meets the same refusal as the working buffer's read lock.
  std::unique_ptr<pf::Bitmap> image;
  ASSERT_EQ(pf::Bitmap::Create(4, 4, pf::kPixelFormat24bppRGB, image), pf::Status::Ok);
  std::memset(image->Row(0), 100, 12);
  pf::BitmapData held;
  ASSERT_EQ(image->LockBits(nullptr, pf::ImageLockModeRead, pf::kPixelFormat32bppARGB, held), pf::Status::Ok);
  const FilterOutcome out = RunFilter(*image, {0, 0, 4, 4}, *FindFilter(kAdjustBrightness), P(50));
  EXPECT_EQ(out.status, WrongState);
  EXPECT_FALSE(out.wrote);
  ASSERT_EQ(image->UnlockBits(held), pf::Status::Ok);
  EXPECT_EQ(image->Row(0)[0], 100);
}

}  // namespace
}  // namespace tessivo
