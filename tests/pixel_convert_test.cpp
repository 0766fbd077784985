#include <gtest/gtest.h>

#include <vector>

#include "pixel/index_rules.h"

namespace tessivo {
namespace {

struct Bgra {
  uint8_t b, g, r, a;
};

// Runs `rule` over one row of pixels and returns the index bytes.
template <typename Rule>
std::vector<uint8_t> OneRow(const std::vector<Bgra>& pixels, Rule rule) {
  std::vector<uint8_t> in;
  for (const Bgra& p : pixels) in.insert(in.end(), {p.b, p.g, p.r, p.a});
  const int32_t width = static_cast<int32_t>(pixels.size());
  std::vector<uint8_t> out(static_cast<size_t>(PaddedStride(width, 8)), 0xEE);
  rule(PixelRows{in.data(), width, 1, 4 * width}, IndexRows{out.data(), static_cast<int32_t>(out.size())});
  return out;
}

Bgra Rgb(uint8_t r, uint8_t g, uint8_t b) { return {b, g, r, 255}; }

TEST(IndexRules, OneBitThresholdsAndBitOrder) {
  const std::vector<Bgra> row = {Rgb(126, 126, 126), Rgb(255, 255, 125), Rgb(255, 255, 255),
                                 Rgb(0, 0, 0),       Rgb(200, 200, 200), {255, 255, 255, 0},
                                 Rgb(254, 255, 255), Rgb(255, 255, 255), Rgb(130, 130, 130)};
  // Threshold rule: white when all three channels are 126 or more (alpha ignored).
  const std::vector<uint8_t> threshold = OneRow(row, ThresholdTo1Bpp);
  EXPECT_EQ(threshold[0], 0b10101111);
  EXPECT_EQ(threshold[1], 0b10000000);
  // Fast rule: only opaque pure white is white.
  const std::vector<uint8_t> fast = OneRow(row, OpaqueWhiteTo1Bpp);
  EXPECT_EQ(fast[0], 0b00100001);
  EXPECT_EQ(fast[1], 0b00000000);
}

TEST(IndexRules, GreyIndicesRoundToNearest) {
  const std::vector<Bgra> row = {Rgb(0, 0, 2), Rgb(1, 1, 2), Rgb(0, 255, 0), Rgb(255, 255, 255),
                                 Rgb(0, 0, 1), Rgb(10, 20, 40)};
  const std::vector<uint8_t> average = OneRow(row, AverageToGray);
  EXPECT_EQ(std::vector<uint8_t>(average.begin(), average.begin() + 6), (std::vector<uint8_t>{1, 1, 85, 255, 0, 23}));
  const std::vector<uint8_t> weighted = OneRow(row, WeightedToGray);
  // green: 180.285 -> 180; (10,20,40): 19.2 -> 19; (0,0,2): 0.142 -> 0.
  EXPECT_EQ(weighted[2], 180);
  EXPECT_EQ(weighted[3], 255);
  EXPECT_EQ(weighted[5], 19);
  EXPECT_EQ(weighted[0], 0);
  const std::vector<uint8_t> blue = OneRow(row, BlueToGray);
  EXPECT_EQ(blue[5], 40);

  const platform::Palette grey = GrayPalette();
  ASSERT_EQ(grey.entries.size(), 256u);
  EXPECT_EQ(grey.flags, 2u);
  EXPECT_EQ(grey.entries[128], 0xFF808080u);
}

TEST(IndexRules, WeightedGreyTiesGoToEven) {
  // 222·r + 707·g + 71·b = k·1000 + 500 gives a tie: r = 0, g = 0 cannot, so search one.
  for (uint32_t r = 0; r < 256; ++r)
    for (uint32_t b = 0; b < 256; ++b) {
      const uint32_t sum = 222 * r + 71 * b;
      if (sum % 1000 != 500) continue;
      const uint8_t index = OneRow({Rgb(static_cast<uint8_t>(r), 0, static_cast<uint8_t>(b))}, WeightedToGray)[0];
      const uint32_t low = sum / 1000;
      EXPECT_EQ(index, low % 2 == 0 ? low : low + 1) << r << "," << b;
      return;
    }
  FAIL() << "no tie found";
}

TEST(IndexRules, ColourCubeIndexAndPalette) {
  const std::vector<uint8_t> index = OneRow({Rgb(25, 26, 127), Rgb(255, 255, 255), Rgb(0, 0, 0)}, CubeIndex216);
  EXPECT_EQ(index[0], 78);  // q(red) 0, q(green) 1, q(blue) 2
  EXPECT_EQ(index[1], 215);
  EXPECT_EQ(index[2], 0);
  const platform::Palette cube = CubePalette216();
  ASSERT_EQ(cube.entries.size(), 216u);
  EXPECT_EQ(cube.flags, 4u);
  EXPECT_EQ(cube.entries[78], 0xFF003366u);  // r 0, g 1, b 2 -> (0, 51, 102)
}

TEST(IndexRules, FourBitNearestEntry) {
  const std::vector<uint32_t> fixed = Fixed16Palette().entries;
  ASSERT_EQ(fixed.size(), 16u);
  const std::vector<uint8_t> packed =
      OneRow({Rgb(100, 100, 100), Rgb(255, 255, 255), Rgb(0, 0, 200), Rgb(190, 190, 190), Rgb(96, 96, 96)},
             [&](const PixelRows& in, const IndexRows& out) { NearestTo4Bpp(in, out, fixed); });
  EXPECT_EQ(packed[0], 0x7F);  // (128,128,128), then white
  EXPECT_EQ(packed[1], 0x98);  // (0,0,255), then (192,192,192)
  // (96,96,96) is equally far from black... no: 3·96² vs 3·32²: grey 7 wins; high nibble only.
  EXPECT_EQ(packed[2], 0x70);

  // A tie between two caller entries goes to the first; extra entries past 16 are ignored.
  std::vector<uint32_t> caller = {0xFF000000u, 0xFF0A0A0Au, 0xFF000000u};
  const std::vector<uint8_t> tie = OneRow({Rgb(5, 5, 5), Rgb(0, 0, 0)},
                                          [&](const PixelRows& in, const IndexRows& out) { NearestTo4Bpp(in, out, caller); });
  EXPECT_EQ(tie[0], 0x00);
}

}  // namespace
}  // namespace tessivo
