#include "platform/palette_mapper.h"

#include <algorithm>

namespace tessivo::platform {

namespace {

inline int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

inline uint32_t Distance(uint32_t x, uint32_t y) {
  const int b = Channel(x, 0) - Channel(y, 0);
  const int g = Channel(x, 8) - Channel(y, 8);
  const int r = Channel(x, 16) - Channel(y, 16);
  const int a = Channel(x, 24) - Channel(y, 24);
  return static_cast<uint32_t>(b * b + g * g + r * r + a * a);
}

// Channel ranges of a grid cell, indexed by shift / 8 (blue, green, red, alpha).
struct CellBox {
  int lo[4];
  int hi[4];
};

}  // namespace

NearestPaletteMapper::NearestPaletteMapper(std::span<const uint32_t> entries, int capacity)
    : entries_(entries.begin(),
               entries.begin() + std::min<size_t>(entries.size(), static_cast<size_t>(std::max(capacity, 0)))),
      cache_(size_t{1} << kCacheBits, 0) {}

uint8_t NearestPaletteMapper::LinearSearch(std::span<const uint32_t> entries, uint32_t argb) {
  uint32_t best = UINT32_MAX;
  uint8_t bestIndex = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const uint32_t d = Distance(argb, entries[i]);
    if (d < best) {
      best = d;
      bestIndex = static_cast<uint8_t>(i);
      if (d == 0) break;
    }
  }
  return bestIndex;
}

// Opaque colours, by far the most common, get an alpha slab of their own: a wide alpha range
// in a cell would widen every entry's worst-case distance and with it the candidate lists.
uint32_t NearestPaletteMapper::CellOf(uint32_t argb) const {
  const uint32_t alpha = argb >> 24;
  const uint32_t slab = alpha == 255 ? 4 : alpha >> 6;
  return (slab << 15) | (((argb >> 19) & 0x1F) << 10) | (((argb >> 11) & 0x1F) << 5) | ((argb >> 3) & 0x1F);
}

void NearestPaletteMapper::BuildCell(uint32_t cell) {
  CellBox box;
  const int blue = cell & 0x1F, green = (cell >> 5) & 0x1F, red = (cell >> 10) & 0x1F;
  const int slab = static_cast<int>(cell >> 15);
  const int starts[3] = {blue * 8, green * 8, red * 8};
  for (int c = 0; c < 3; ++c) {
    box.lo[c] = starts[c];
    box.hi[c] = starts[c] + 7;
  }
  box.lo[3] = slab == 4 ? 255 : slab * 64;
  box.hi[3] = slab == 4 ? 255 : std::min(slab * 64 + 63, 254);
  // An entry can be nearest to a colour in the box only if its least distance to the box is
  // not above the smallest greatest distance of any entry to the box.
  std::vector<uint32_t> minDist(entries_.size());
  uint32_t bestMax = UINT32_MAX;
  for (size_t i = 0; i < entries_.size(); ++i) {
    uint32_t lo = 0, hi = 0;
    for (int c = 0; c < 4; ++c) {
      const int v = Channel(entries_[i], c * 8);
      const int below = box.lo[c] - v, above = v - box.hi[c];
      const int out = std::max({below, above, 0});
      lo += static_cast<uint32_t>(out * out);
      const int far = std::max(v - box.lo[c], box.hi[c] - v);
      hi += static_cast<uint32_t>(far * far);
    }
    minDist[i] = lo;
    bestMax = std::min(bestMax, hi);
  }
  const size_t start = candidates_.size();
  candidates_.push_back(0);
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (minDist[i] <= bestMax) candidates_.push_back(static_cast<uint16_t>(i));
  }
  const size_t count = candidates_.size() - start - 1;
  if (count == 1) {
    cells_[cell] = kSingle | candidates_.back();
    candidates_.resize(start);
  } else {
    candidates_[start] = static_cast<uint16_t>(count);
    cells_[cell] = static_cast<uint32_t>(start);
  }
}

uint8_t NearestPaletteMapper::Search(uint32_t argb) {
  if (entries_.size() < kGridMinEntries) return LinearSearch(entries_, argb);
  if (misses_ < kGridAfterMisses) {
    ++misses_;
    return LinearSearch(entries_, argb);
  }
  if (cells_.empty()) cells_.assign(kCells, kUnbuilt);
  const uint32_t cell = CellOf(argb);
  if (cells_[cell] == kUnbuilt) BuildCell(cell);
  const uint32_t found = cells_[cell];
  if (found & kSingle) return static_cast<uint8_t>(found);
  // Candidates are in index order, so a strict comparison keeps the first of equals.
  const uint16_t* list = candidates_.data() + found;
  const uint16_t count = *list++;
  uint32_t best = UINT32_MAX;
  uint8_t bestIndex = 0;
  for (uint16_t k = 0; k < count; ++k) {
    const uint32_t d = Distance(argb, entries_[list[k]]);
    if (d < best) {
      best = d;
      bestIndex = static_cast<uint8_t>(list[k]);
    }
  }
  return bestIndex;
}

}  // namespace tessivo::platform
