// modOcTree: the toolkit's adaptive-palette quantizer.
//
// Colours are added to an octree whose level k (1..8) branches on bit 8-k of red, green and blue
// (child number 4·red bit + 2·green bit + blue bit). Level-8 nodes are leaves. Whenever the leaf
// count exceeds the wanted number of colours, the newest internal node of the deepest populated
// level is folded into a leaf. The palette is the leaves' mean colours in tree-walk order, and a
// pixel maps to the leaf its bits lead to (taking the first existing child where its own is
// missing).
//
// The results depend on the exact insertion order and reduction rule, so both are fixed here:
// pixels are added from the last pixel of the bottom row backwards, and the tree is reduced after
// every pixel. One quantizer object per quantization; nothing is shared between calls.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/bitmap.h"

namespace tessivo {

class OctreeQuantizer {
 public:
  // nColors is clamped to 8..256.
  explicit OctreeQuantizer(int32_t nColors);

  static int32_t ClampColorCount(int32_t nColors);

  // Adds one colour and reduces the tree while it has too many leaves.
  void AddColor(uint8_t red, uint8_t green, uint8_t blue);
  // Adds every pixel of a 24-bit image (bytes blue, green, red), last pixel of the bottom row
  // first, moving backwards.
  void AddImage(const uint8_t* bgr, int32_t width, int32_t height, int32_t stride);

  // Numbers the leaves in tree-walk order (children 0..7) and returns their mean colours as
  // opaque ARGB values. Call once, after every colour was added.
  std::vector<uint32_t> BuildPalette();

  // Palette index of a colour; valid after BuildPalette.
  uint8_t MapColor(uint8_t red, uint8_t green, uint8_t blue) const;
  // One index byte per pixel of a 24-bit image into `indices` (rows of `indexStride` bytes).
  void MapImage(const uint8_t* bgr, int32_t width, int32_t height, int32_t stride,
                uint8_t* indices, int32_t indexStride) const;

  int32_t LeafCount() const { return leafCount_; }
  int32_t MaxColors() const { return maxColors_; }

 private:
  static constexpr int32_t kRoot = 1;
  static constexpr int32_t kGrowBy = 1024;
  static constexpr int kLevels = 8;

  // Fields touched on every descent, kept together in one cache line.
  struct Node {
    int32_t child[8];
    int32_t nextReducible;
    uint32_t pixelCount;
    uint8_t isLeaf;
    uint8_t inReducibleList;
    uint8_t paletteIndex;
    uint8_t childCount;
  };
  // Channel sums: integers hold every sum a 2^31-pixel image can reach exactly, and the
  // rounded-down means equal those of double sums.
  struct Sums {
    uint64_t blue, green, red;
  };

  static int ChildIndex(uint32_t rgb, int level) {
    const int shift = kLevels - level;
    return static_cast<int>(((rgb >> (16 + shift)) & 1) << 2 | ((rgb >> (8 + shift)) & 1) << 1 |
                            ((rgb >> shift) & 1));
  }

  int32_t NewNode(int level);
  void ReleaseNode(int32_t node);
  bool ReduceOnce();
  void AssignPalette(int32_t node, std::vector<uint32_t>& palette);

  int32_t maxColors_;
  int32_t leafCount_ = 0;
  std::vector<Node> nodes_;  // index 0 unused: 0 means "no node"
  std::vector<Sums> sums_;
  int32_t freeList_ = 0;
  int32_t reducible_[kLevels] = {};  // heads of the lists of levels 1..7 (index = level)
  // The leaf the previous colour landed on; folding nodes invalidates it.
  uint32_t lastColor_ = 0;
  int32_t lastLeaf_ = 0;
};

// Quantizes a 24-bit image (bytes blue, green, red) to at most nColors (clamped to 8..256)
// colours: fills `indices` (one byte per pixel, rows of `indexStride` bytes) and returns the
// palette (flags 4, one opaque entry per leaf). When `transparentArgb` is given, the first entry
// within a summed RGB distance below 4 of it gets alpha 0 and the palette flag 1.
platform::Palette QuantizeOctree(const uint8_t* bgr, int32_t width, int32_t height,
                                 int32_t stride, int32_t nColors, uint8_t* indices,
                                 int32_t indexStride,
                                 std::optional<uint32_t> transparentArgb = std::nullopt);

}  // namespace tessivo
