#include "pixel/octree.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tessivo {
namespace {

uint32_t Argb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }

struct Rgb {
  uint8_t r, g, b;
};

// A 24-bit image (rows padded to 4 bytes) whose pixels, read from the last pixel of the bottom
// row backwards, are `sequence` in order.
std::vector<uint8_t> ImageAddingInOrder(const std::vector<Rgb>& sequence, int32_t width,
                                        int32_t& height, int32_t& stride) {
  height = static_cast<int32_t>((sequence.size() + static_cast<size_t>(width) - 1) / width);
  stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> bgr(static_cast<size_t>(stride * height), 0);
  for (size_t i = 0; i < sequence.size(); ++i) {
    const int32_t back = static_cast<int32_t>(i);
    const int32_t y = height - 1 - back / width;
    const int32_t x = width - 1 - back % width;
    uint8_t* p = &bgr[static_cast<size_t>(y * stride + 3 * x)];
    p[0] = sequence[i].b;
    p[1] = sequence[i].g;
    p[2] = sequence[i].r;
  }
  return bgr;
}

TEST(OctreeQuantizer, ClampsTheColourCount) {
  EXPECT_EQ(OctreeQuantizer(300).MaxColors(), 256);
  EXPECT_EQ(OctreeQuantizer(2).MaxColors(), 8);
  EXPECT_EQ(OctreeQuantizer(16).MaxColors(), 16);

  // Never more leaves than asked for, after any pixel.
  OctreeQuantizer tree(2);
  std::mt19937 rng(7);
  for (int i = 0; i < 5000; ++i) {
    tree.AddColor(static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()));
    ASSERT_LE(tree.LeafCount(), 8);
  }
  EXPECT_LE(tree.BuildPalette().size(), 8u);
}

TEST(OctreeQuantizer, FewColoursAreKeptExactly) {
  const std::vector<Rgb> colours = {{10, 20, 30}, {200, 10, 10}, {0, 0, 0}, {255, 255, 255}, {90, 91, 92}};
  std::vector<Rgb> sequence;
  for (int i = 0; i < 40; ++i) sequence.push_back(colours[static_cast<size_t>(i * 7 % 5)]);
  int32_t height = 0, stride = 0;
  std::vector<uint8_t> bgr = ImageAddingInOrder(sequence, 8, height, stride);
  std::vector<uint8_t> indices(static_cast<size_t>(8 * height));
  platform::Palette palette = QuantizeOctree(bgr.data(), 8, height, stride, 8, indices.data(), 8);

  EXPECT_EQ(palette.flags, static_cast<uint32_t>(platform::PaletteFlagsHalftone));
  ASSERT_EQ(palette.entries.size(), 5u);
  // Tree-walk order: child number 4·red bit + 2·green bit + blue bit, most significant bit first.
  EXPECT_EQ(palette.entries, (std::vector<uint32_t>{Argb(0, 0, 0), Argb(10, 20, 30), Argb(90, 91, 92),
                                                    Argb(200, 10, 10), Argb(255, 255, 255)}));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const uint8_t* p = &bgr[static_cast<size_t>(y * stride + 3 * x)];
      EXPECT_EQ(palette.entries[indices[static_cast<size_t>(y * 8 + x)]], Argb(p[2], p[1], p[0]));
    }
}

// Two level-7 nodes with two leaves each, five other colours: the ninth leaf forces reductions,
// which take the newest level-7 nodes first, so the pair added second is merged and the first
// pair survives. Pixels are added from the bottom-right corner backwards.
TEST(OctreeQuantizer, ReducesNewestNodesOfTheDeepestLevelFirst) {
  const std::vector<Rgb> sequence = {{0, 0, 0},   {0, 0, 1},   {0, 0, 128}, {0, 0, 129},
                                     {0, 128, 0}, {0, 128, 128}, {128, 0, 0}, {128, 0, 128},
                                     {128, 128, 0}};
  int32_t height = 0, stride = 0;
  std::vector<uint8_t> bgr = ImageAddingInOrder(sequence, 4, height, stride);
  std::vector<uint8_t> indices(static_cast<size_t>(4 * height));
  platform::Palette palette = QuantizeOctree(bgr.data(), 4, height, stride, 8, indices.data(), 4);

  EXPECT_EQ(palette.entries,
            (std::vector<uint32_t>{Argb(0, 0, 0), Argb(0, 0, 1), Argb(0, 0, 128), Argb(0, 128, 0),
                                   Argb(0, 128, 128), Argb(128, 0, 0), Argb(128, 0, 128),
                                   Argb(128, 128, 0)}));
  // (0, 0, 129) now maps to the merged leaf, whose mean rounds down to 128.
  const int32_t y = height - 1, x = 4 - 1 - 3;  // the fourth pixel added
  EXPECT_EQ(indices[static_cast<size_t>(y * 4 + x)], 2);
}

TEST(OctreeQuantizer, MapsMissingBranchesThroughTheFirstExistingChild) {
  OctreeQuantizer tree(8);
  tree.AddColor(0, 0, 0);
  tree.AddColor(255, 255, 255);
  ASSERT_EQ(tree.BuildPalette(), (std::vector<uint32_t>{Argb(0, 0, 0), Argb(255, 255, 255)}));
  EXPECT_EQ(tree.MapColor(0, 0, 255), 0);      // child 1 missing at level 1: child 0 taken
  EXPECT_EQ(tree.MapColor(255, 0, 0), 0);      // child 4 missing: child 0, the first existing
  EXPECT_EQ(tree.MapColor(128, 128, 128), 1);  // branch 7, then child 7 as the only one
}

TEST(OctreeQuantizer, MarksTheFirstCloseEntryTransparent) {
  const std::vector<Rgb> sequence = {{10, 10, 10}, {100, 100, 100}, {102, 101, 100}};
  int32_t height = 0, stride = 0;
  std::vector<uint8_t> bgr = ImageAddingInOrder(sequence, 3, height, stride);
  std::vector<uint8_t> indices(4);

  platform::Palette near = QuantizeOctree(bgr.data(), 3, 1, stride, 8, indices.data(), 4, Argb(101, 100, 100));
  ASSERT_EQ(near.entries.size(), 3u);
  EXPECT_EQ(near.flags, static_cast<uint32_t>(platform::PaletteFlagsHalftone | platform::PaletteFlagsHasAlpha));
  EXPECT_EQ(near.entries[1], 0x00646464u);     // (100,100,100): distance 1
  EXPECT_EQ(near.entries[2] >> 24, 0xFFu);     // (102,101,100) is close too, but not first

  platform::Palette far = QuantizeOctree(bgr.data(), 3, 1, stride, 8, indices.data(), 4, Argb(14, 10, 10));
  EXPECT_EQ(far.flags, static_cast<uint32_t>(platform::PaletteFlagsHalftone));  // distance 4
  for (uint32_t e : far.entries) EXPECT_EQ(e >> 24, 0xFFu);
}

}  // namespace
}  // namespace tessivo
