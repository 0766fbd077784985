// Filters that run band by band on 24- and 32-bit images give exactly what their routine gives
// over the whole zone at once, for zones taller than one band, whole or partial, and leave the
// pixels outside the zone alone.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pixel/filter_codes.h"
#include "pixel/filter_engine.h"
#include "pixel/filter_registry.h"

namespace tessivo {
namespace {

namespace pf = platform;

// Taller than one band of the engine's working buffers (4 MiB of 32-bit rows).
constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 4500;

std::unique_ptr<pf::Bitmap> RandomImage(pf::PixelFormat format, bool opaque, uint32_t seed) {
  std::unique_ptr<pf::Bitmap> image;
  EXPECT_EQ(pf::Bitmap::Create(kWidth, kHeight, format, image), pf::Status::Ok);
  std::mt19937 random(seed);
  // Smooth areas with noise on top, so medians and blurs meet both.
  for (int32_t y = 0; y < kHeight; ++y) {
    uint8_t* row = image->Row(y);
    const int bytes = kWidth * pf::BitsPerPixel(format) / 8;
    for (int i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>((y / 7 + i / 5) * 3 + random() % 40);
    if (opaque && format == pf::kPixelFormat32bppARGB)
      for (int x = 0; x < kWidth; ++x) row[4 * x + 3] = 0xFF;
  }
  return image;
}

std::vector<uint32_t> ZonePixels(const pf::Bitmap& image, const ZoneRect& z) {
  std::vector<uint32_t> v;
  for (int32_t y = z.top; y < z.top + z.height; ++y)
    for (int32_t x = z.left; x < z.left + z.width; ++x) {
      uint32_t argb = 0;
      image.GetPixel(x, y, argb);
      v.push_back(argb);
    }
  return v;
}

// The routine over the whole zone in one buffer, as the engine runs every other filter.
std::vector<uint32_t> WholeZoneResult(const pf::Bitmap& image, const ZoneRect& z, const FilterDescriptor& f) {
  std::vector<uint32_t> pixels = ZonePixels(image, z);
  const std::vector<uint32_t> source = pixels;
  FilterJob job;
  job.pixels = pixels.data();
  job.source = f.sourceCopy ? source.data() : nullptr;
  job.width = z.width;
  job.height = z.height;
  job.zoneCoversImage = z.left == 0 && z.top == 0 && z.width == kWidth && z.height == kHeight;
  EXPECT_EQ(f.routine(job), OK);
  return pixels;
}

TEST(FilterBands, BandedFiltersMatchTheirWholeZoneResult) {
  const int32_t codes[] = {kFilterBlur, kFilterSmooth, kFilterDespeckle, kFilterDespeckleMore,
                           kFilterNegative, kFilterGrayscale};
  const ZoneRect zones[] = {{0, 0, kWidth, kHeight}, {3, 5, kWidth - 7, kHeight - 9}};
  const pf::PixelFormat formats[] = {pf::kPixelFormat24bppRGB, pf::kPixelFormat32bppARGB,
                                     pf::kPixelFormat32bppRGB};
  uint32_t seed = 1;
  for (int32_t code : codes) {
    const FilterDescriptor* filter = FindFilter(code);
    ASSERT_NE(filter, nullptr);
    ASSERT_GE(filter->bandReach, 0) << code;
    for (const ZoneRect& zone : zones)
      for (pf::PixelFormat format : formats) {
        // The slow 5x5 median once is enough.
        if (code == kFilterDespeckleMore && (format != pf::kPixelFormat24bppRGB || zone.left != 0)) continue;
        std::unique_ptr<pf::Bitmap> image = RandomImage(format, false, seed++);
        const std::vector<uint32_t> expected = WholeZoneResult(*image, zone, *filter);
        const ZoneRect all{0, 0, kWidth, kHeight};
        const std::vector<uint32_t> before = ZonePixels(*image, all);

        FilterOutcome outcome = RunFilter(*image, zone, *filter, {});
        ASSERT_EQ(outcome.status, OK);
        EXPECT_TRUE(outcome.wrote);
        const std::vector<uint32_t> after = ZonePixels(*image, zone);
        ASSERT_EQ(after.size(), expected.size());
        size_t mismatches = 0, first = 0;
        for (size_t i = 0; i < after.size(); ++i)
          if (after[i] != expected[i] && mismatches++ == 0) first = i;
        EXPECT_EQ(mismatches, 0u) << "filter " << code << " format " << format << " zone left " << zone.left
                                  << ": first at row " << first / zone.width << " column " << first % zone.width;
        // Outside the zone nothing changed.
        const std::vector<uint32_t> whole = ZonePixels(*image, all);
        size_t outsideChanged = 0;
        for (int32_t y = 0; y < kHeight; ++y)
          for (int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= zone.left && x < zone.left + zone.width && y >= zone.top &&
                                y < zone.top + zone.height;
            const size_t i = static_cast<size_t>(y) * kWidth + x;
            if (!inside && whole[i] != before[i]) ++outsideChanged;
          }
        EXPECT_EQ(outsideChanged, 0u) << "filter " << code;
      }
  }
}

TEST(FilterBands, ZonesOfEveryHeightNearTheBandSize) {
  // Heights around one band and its context rows, where the last band is shortest.
  const FilterDescriptor* blur = FindFilter(kFilterBlur);
  const FilterDescriptor* despeckle = FindFilter(kFilterDespeckle);
  std::unique_ptr<pf::Bitmap> image = RandomImage(pf::kPixelFormat24bppRGB, true, 99);
  const int32_t bandRows = static_cast<int32_t>((size_t{4} << 20) / (kWidth * 4));
  for (int32_t height : {bandRows + 1, bandRows + 2, bandRows + 3, bandRows + 4, bandRows + 5, bandRows + 50}) {
    for (const FilterDescriptor* f : {blur, despeckle}) {
      const ZoneRect zone{1, 2, kWidth - 2, height};
      std::unique_ptr<pf::Bitmap> copy;
      ASSERT_EQ(image->Clone(copy), pf::Status::Ok);
      const std::vector<uint32_t> expected = WholeZoneResult(*copy, zone, *f);
      ASSERT_EQ(RunFilter(*copy, zone, *f, {}).status, OK);
      EXPECT_EQ(ZonePixels(*copy, zone), expected) << "height " << height << " filter " << f->code;
    }
  }
}

}  // namespace
}  // namespace tessivo
