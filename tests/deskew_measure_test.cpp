// The skew measurement against a plain reading of its rule: every pixel converted to ARGB, every
// vote rounded by the C library, every cell of the full (distance, angle) table sorted. The fast
// measurement reads pixels in place and rounds in integers; both must give the same angle, to
// the last bit, in every pixel format, for odd widths, inverted and short palettes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "pixel/geometry/auto_deskew.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::Status;

struct Reference {
  double angle = 0.0;
  std::vector<cAutoDeskew::Cell> cells;
};

Reference ReferenceSkew(Bitmap& image) {
  const int32_t w = image.Width(), h = image.Height();
  std::vector<uint32_t> argb(static_cast<size_t>(w) * static_cast<size_t>(h));
  platform::BitmapData data;
  data.scan0 = argb.data();
  data.stride = w * 4;
  EXPECT_EQ(image.LockBits(nullptr, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                           platform::kPixelFormat32bppARGB, data),
            Status::Ok);
  EXPECT_EQ(image.UnlockBits(data), Status::Ok);
  const bool bitonal = platform::BitsPerPixel(image.Format()) == 1;
  auto dark = [&](int32_t x, int32_t y) {
    const uint32_t p = argb[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return bitonal ? r == 0 : 587 * g + 299 * r + 114 * b < 140000;
  };
  const int32_t first = static_cast<int32_t>(std::nearbyint(h / 4.0));
  const int32_t last = std::min(static_cast<int32_t>(std::nearbyint(3.0 * h / 4.0)), h - 2);
  const int64_t distances = 2 * (int64_t{w} + h) + 1;
  std::vector<uint32_t> table(static_cast<size_t>(distances) * 200);
  for (int32_t i = 0; i < 200; ++i) {
    const double radians = cAutoDeskew::AngleOf(i) * 3.141592657 / 180.0, c = std::cos(radians), s = std::sin(radians);
    for (int32_t y = first; y <= last; ++y)
      for (int32_t x = 1; x <= w - 2; ++x)
        if (dark(x, y) && !dark(x, y + 1)) {
          const double d = std::nearbyint(w + y * c - x * s);
          if (d >= 0 && d < static_cast<double>(distances)) ++table[static_cast<size_t>(d) * 200 + static_cast<size_t>(i)];
        }
  }
  std::vector<std::pair<uint32_t, size_t>> cells;
  for (size_t k = 0; k < table.size(); ++k)
    if (table[k] != 0) cells.emplace_back(table[k], k);
  std::stable_sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  Reference out;
  if (cells.empty()) return out;
  cells.resize(std::min<size_t>(cells.size(), 10));
  double sum = 0, largest = -1e9, smallest = 1e9;
  for (const auto& cell : cells) {
    const auto i = static_cast<int32_t>(cell.second % 200);
    out.cells.push_back({cell.first, static_cast<int64_t>(cell.second / 200), i});
    const double a = cAutoDeskew::AngleOf(i);
    sum += a;
    largest = std::max(largest, a);
    smallest = std::min(smallest, a);
  }
  const double mean = sum / static_cast<double>(cells.size());
  out.angle = largest - smallest < 4.0 && largest - smallest <= std::fabs(mean) ? mean : 0.0;
  return out;
}

// Slanted dark strokes (ink luma ~20) on light paper, with one speck in `speckle` pixels, in
// 32-bit ARGB. Dense specks scatter the strongest cells over many angles.
std::unique_ptr<Bitmap> StrokePage(int32_t w, int32_t h, double slope, uint32_t seed, uint32_t speckle = 97) {
  std::unique_ptr<Bitmap> page;
  EXPECT_EQ(Bitmap::Create(w, h, platform::kPixelFormat32bppARGB, page), Status::Ok);
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(page->Row(y));
    for (int32_t x = 0; x < w; ++x) {
      const double v = y - x * slope;
      const bool stroke = std::fmod(v + 1000.0, 17.0) < 5.0 && (x / 23) % 4 != 3;
      const bool speck = rng() % speckle == 0;
      row[x] = stroke != speck ? 0xFF141414u : 0xFFF0F0F0u;
    }
  }
  return page;
}

void ExpectSameAsReference(Bitmap& image) {
  const Reference expected = ReferenceSkew(image);
  cAutoDeskew deskew;
  ASSERT_EQ(deskew.Measure(image), Status::Ok);
  EXPECT_EQ(deskew.SkewAngle(), expected.angle);
  const std::vector<cAutoDeskew::Cell>& cells = deskew.StrongestCells();
  ASSERT_EQ(cells.size(), expected.cells.size());
  for (size_t k = 0; k < cells.size(); ++k) {
    EXPECT_EQ(cells[k].votes, expected.cells[k].votes) << "cell " << k;
    EXPECT_EQ(cells[k].distance, expected.cells[k].distance) << "cell " << k;
    EXPECT_EQ(cells[k].angleIndex, expected.cells[k].angleIndex) << "cell " << k;
  }
}

TEST(DeskewMeasure, MatchesThePlainRuleInEveryFormat) {
  int nonZero = 0;
  for (platform::PixelFormat format : platform::kAllPixelFormats) {
    for (const auto& [w, h, slope] : {std::tuple{131, 97, 0.05}, std::tuple{200, 150, -0.08}, std::tuple{64, 70, 0.0}}) {
      SCOPED_TRACE("format " + std::to_string(format) + " width " + std::to_string(w));
      std::unique_ptr<Bitmap> page = StrokePage(w, h, slope, static_cast<uint32_t>(w + format));
      std::unique_ptr<Bitmap> converted;
      ASSERT_EQ(page->CloneArea({0, 0, w, h}, format, converted), Status::Ok);
      ExpectSameAsReference(*converted);
      cAutoDeskew probe;
      probe.Measure(*converted);
      if (probe.SkewAngle() != 0.0) ++nonZero;
    }
  }
  EXPECT_GT(nonZero, 14);  // most pages are measured as skewed, so the angles are compared for real
}

TEST(DeskewMeasure, MatchesThePlainRuleOnNoisyAndLargerPages) {
  // Specks everywhere: the strongest cells lie at many angles, so no angle may be passed over
  // for a bound that is too low. Then a page large enough for long lines.
  for (uint32_t speckle : {3u, 5u, 9u}) {
    SCOPED_TRACE("speckle " + std::to_string(speckle));
    std::unique_ptr<Bitmap> page = StrokePage(301, 233, 0.12, speckle, speckle);
    ExpectSameAsReference(*page);
  }
  std::unique_ptr<Bitmap> page = StrokePage(900, 700, -0.03, 11, 400);
  ExpectSameAsReference(*page);
  std::unique_ptr<Bitmap> empty;
  ASSERT_EQ(Bitmap::Create(80, 80, platform::kPixelFormat24bppRGB, empty), Status::Ok);
  cAutoDeskew deskew;
  ASSERT_EQ(deskew.Measure(*page), Status::Ok);
  ASSERT_EQ(deskew.Measure(*empty), Status::Ok);  // all black: nothing votes, nothing is kept
  EXPECT_TRUE(deskew.StrongestCells().empty());
  EXPECT_EQ(deskew.SkewAngle(), 0.0);
}

TEST(DeskewMeasure, ReadsInvertedShortAndOverrunPalettes) {
  std::mt19937 rng(5);
  for (platform::PixelFormat format : {platform::kPixelFormat1bppIndexed, platform::kPixelFormat4bppIndexed,
                                       platform::kPixelFormat8bppIndexed}) {
    SCOPED_TRACE("format " + std::to_string(format));
    std::unique_ptr<Bitmap> image;
    ASSERT_EQ(Bitmap::Create(157, 120, format, image), Status::Ok);
    // Index 0 white, index 1 black; larger indices lie past the palette and read as black.
    platform::Palette p = image->GetPalette();
    p.entries = {0xFFFFFFFFu, 0xFF000000u};
    ASSERT_EQ(image->SetPalette(p), Status::Ok);
    const int bpp = platform::BitsPerPixel(format);
    for (int32_t y = 0; y < 120; ++y)
      for (int32_t x = 0; x < 157; ++x) {
        const bool stroke = static_cast<int32_t>(y - x * 0.06 + 100) % 13 < 4;
        uint32_t index = stroke ? 1 : 0;
        if (bpp > 1 && rng() % 50 == 0) index = 2 + rng() % 3;
        uint8_t* row = image->Row(y);
        if (bpp == 1) row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (index << (7 - (x & 7))));
        else if (bpp == 4) row[x >> 1] = static_cast<uint8_t>(row[x >> 1] | (index << ((x & 1) ? 0 : 4)));
        else row[x] = static_cast<uint8_t>(index);
      }
    ExpectSameAsReference(*image);
  }
}

TEST(DeskewMeasure, LockedImageIsRefusedAndLeftLocked) {
  std::unique_ptr<Bitmap> page = StrokePage(120, 90, 0.05, 1);
  platform::BitmapData data;
  ASSERT_EQ(page->LockBits(nullptr, platform::ImageLockModeRead, page->Format(), data), Status::Ok);
  cAutoDeskew deskew;
  EXPECT_EQ(deskew.Measure(*page), Status::WrongState);
  EXPECT_EQ(deskew.SkewAngle(), 0.0);
  EXPECT_EQ(page->UnlockBits(data), Status::Ok);
  EXPECT_EQ(deskew.Measure(*page), Status::Ok);
}

}  // namespace
}  // namespace tessivo
