#include "pixel/octree.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tessivo {

int32_t OctreeQuantizer::ClampColorCount(int32_t nColors) { return std::clamp(nColors, 8, 256); }

OctreeQuantizer::OctreeQuantizer(int32_t nColors) : maxColors_(ClampColorCount(nColors)) {
  nodes_.reserve(kGrowBy);
  nodes_.resize(kRoot + 1);  // record 0 is the "no node" sentinel, record 1 the root
  sums_.resize(kRoot + 1);
  std::memset(nodes_.data(), 0, nodes_.size() * sizeof(Node));
  std::memset(sums_.data(), 0, sums_.size() * sizeof(Sums));
}

int32_t OctreeQuantizer::NewNode(int level) {
  int32_t node;
  if (freeList_ != 0) {
    node = freeList_;
    freeList_ = nodes_[static_cast<size_t>(node)].nextReducible;
  } else {
    if (nodes_.size() == nodes_.capacity()) nodes_.reserve(nodes_.size() + kGrowBy);
    node = static_cast<int32_t>(nodes_.size());
    nodes_.emplace_back();
    sums_.emplace_back();
  }
  Node& n = nodes_[static_cast<size_t>(node)];
  std::memset(&n, 0, sizeof n);
  sums_[static_cast<size_t>(node)] = Sums{0, 0, 0};
  if (level == kLevels) {
    n.isLeaf = 1;
  } else {
    n.nextReducible = reducible_[level];
    n.inReducibleList = 1;
    reducible_[level] = node;
  }
  return node;
}

void OctreeQuantizer::ReleaseNode(int32_t node) {
  nodes_[static_cast<size_t>(node)].nextReducible = freeList_;
  freeList_ = node;
}

void OctreeQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
  const uint32_t rgb = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
  int32_t node;
  if (lastLeaf_ != 0 && rgb == lastColor_) {
    // Same colour as the previous pixel and no node folded since: the same leaf, which already
    // has pixels, so neither the leaf count nor the tree changes.
    node = lastLeaf_;
  } else {
    node = kRoot;
    for (int level = 1; !nodes_[static_cast<size_t>(node)].isLeaf; ++level) {
      const int index = ChildIndex(rgb, level);
      int32_t next = nodes_[static_cast<size_t>(node)].child[index];
      if (next == 0) {
        next = NewNode(level);
        Node& parent = nodes_[static_cast<size_t>(node)];
        parent.child[index] = next;
        ++parent.childCount;
      }
      node = next;
    }
  }
  Node& leaf = nodes_[static_cast<size_t>(node)];
  if (leaf.pixelCount == 0) ++leafCount_;
  ++leaf.pixelCount;
  Sums& s = sums_[static_cast<size_t>(node)];
  s.red += red;
  s.green += green;
  s.blue += blue;
  lastColor_ = rgb;
  lastLeaf_ = node;

  while (leafCount_ > maxColors_ && ReduceOnce()) {
  }
}

bool OctreeQuantizer::ReduceOnce() {
  int level = kLevels - 1;
  while (level >= 1 && reducible_[level] == 0) --level;
  if (level < 1) return false;

  const int32_t node = reducible_[level];
  Node& n = nodes_[static_cast<size_t>(node)];
  reducible_[level] = n.nextReducible;
  n.nextReducible = 0;
  n.inReducibleList = 0;

  Sums& s = sums_[static_cast<size_t>(node)];
  int children = 0;
  for (int32_t& c : n.child) {
    if (c == 0) continue;
    const Node& child = nodes_[static_cast<size_t>(c)];
    const Sums& cs = sums_[static_cast<size_t>(c)];
    n.pixelCount += child.pixelCount;
    s.red += cs.red;
    s.green += cs.green;
    s.blue += cs.blue;
    ReleaseNode(c);
    c = 0;
    ++children;
  }
  n.childCount = 0;
  n.isLeaf = 1;
  leafCount_ -= children - 1;
  lastLeaf_ = 0;  // the cached leaf may have been one of the released children
  return true;
}

void OctreeQuantizer::AddImage(const uint8_t* bgr, int32_t width, int32_t height,
                               int32_t stride) {
  for (int32_t y = height - 1; y >= 0; --y) {
    const uint8_t* row = bgr + static_cast<intptr_t>(y) * stride;
    for (int32_t x = width - 1; x >= 0; --x) {
      const uint8_t* p = row + 3 * static_cast<intptr_t>(x);
      AddColor(p[2], p[1], p[0]);
    }
  }
}

void OctreeQuantizer::AssignPalette(int32_t node, std::vector<uint32_t>& palette) {
  Node& n = nodes_[static_cast<size_t>(node)];
  if (n.isLeaf) {
    // A leaf always holds pixels (it is made on a pixel's path), so the count is at least 1.
    const Sums& s = sums_[static_cast<size_t>(node)];
    const uint64_t count = std::max<uint64_t>(n.pixelCount, 1);
    const uint32_t red = static_cast<uint32_t>(s.red / count);
    const uint32_t green = static_cast<uint32_t>(s.green / count);
    const uint32_t blue = static_cast<uint32_t>(s.blue / count);
    n.paletteIndex = static_cast<uint8_t>(palette.size());
    palette.push_back(0xFF000000u | red << 16 | green << 8 | blue);
    return;
  }
  for (int i = 0; i < 8; ++i) {
    const int32_t c = nodes_[static_cast<size_t>(node)].child[i];
    if (c != 0) AssignPalette(c, palette);
  }
}

std::vector<uint32_t> OctreeQuantizer::BuildPalette() {
  std::vector<uint32_t> palette;
  palette.reserve(static_cast<size_t>(leafCount_));
  // The root is a leaf only in an empty tree; then there is no colour to list.
  if (!nodes_[kRoot].isLeaf) AssignPalette(kRoot, palette);
  return palette;
}

uint8_t OctreeQuantizer::MapColor(uint8_t red, uint8_t green, uint8_t blue) const {
  const uint32_t rgb = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
  int32_t node = kRoot;
  for (int level = 1; level <= kLevels; ++level) {
    const Node& n = nodes_[static_cast<size_t>(node)];
    if (n.isLeaf) return n.paletteIndex;
    int32_t next = n.child[ChildIndex(rgb, level)];
    for (int i = 0; next == 0 && i < 8; ++i) next = n.child[i];
    if (next == 0) return 0;  // empty tree: nothing was added
    node = next;
  }
  return nodes_[static_cast<size_t>(node)].paletteIndex;
}

void OctreeQuantizer::MapImage(const uint8_t* bgr, int32_t width, int32_t height, int32_t stride,
                               uint8_t* indices, int32_t indexStride) const {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = bgr + static_cast<intptr_t>(y) * stride;
    uint8_t* dst = indices + static_cast<intptr_t>(y) * indexStride;
    uint32_t previous = 0xFFFFFFFFu;
    uint8_t previousIndex = 0;
    for (int32_t x = 0; x < width; ++x, src += 3) {
      const uint32_t rgb = static_cast<uint32_t>(src[2]) << 16 |
                           static_cast<uint32_t>(src[1]) << 8 | src[0];
      if (rgb != previous) {
        previous = rgb;
        previousIndex = MapColor(src[2], src[1], src[0]);
      }
      dst[x] = previousIndex;
    }
  }
}

platform::Palette QuantizeOctree(const uint8_t* bgr, int32_t width, int32_t height,
                                 int32_t stride, int32_t nColors, uint8_t* indices,
                                 int32_t indexStride, std::optional<uint32_t> transparentArgb) {
  OctreeQuantizer tree(nColors);
  tree.AddImage(bgr, width, height, stride);
  platform::Palette palette;
  palette.flags = platform::PaletteFlagsHalftone;
  palette.entries = tree.BuildPalette();
  tree.MapImage(bgr, width, height, stride, indices, indexStride);

  if (transparentArgb) {
    const int red = static_cast<int>(*transparentArgb >> 16 & 0xFF);
    const int green = static_cast<int>(*transparentArgb >> 8 & 0xFF);
    const int blue = static_cast<int>(*transparentArgb & 0xFF);
    for (uint32_t& entry : palette.entries) {
      const int distance = std::abs(static_cast<int>(entry >> 16 & 0xFF) - red) +
                           std::abs(static_cast<int>(entry >> 8 & 0xFF) - green) +
                           std::abs(static_cast<int>(entry & 0xFF) - blue);
      if (distance < 4) {
        entry &= 0x00FFFFFFu;
        palette.flags |= platform::PaletteFlagsHasAlpha;
        break;
      }
    }
  }
  return palette;
}

}  // namespace tessivo
