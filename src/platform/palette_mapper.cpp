#include "platform/palette_mapper.h"

#include <algorithm>

namespace tessivo::platform {

namespace {

inline int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

inline uint32_t Distance(uint32_t x, uint32_t y) {
  uint32_t sum = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = Channel(x, shift) - Channel(y, shift);
    sum += static_cast<uint32_t>(d * d);
  }
  return sum;
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

uint32_t NearestPaletteMapper::CellOf(uint32_t argb) const {
  return ((argb >> 30) << 15) | (((argb >> 19) & 0x1F) << 10) | (((argb >> 11) & 0x1F) << 5) |
         ((argb >> 3) & 0x1F);
}

void NearestPaletteMapper::BuildCell(uint32_t cell) {
  CellBox box;
  const int blue = cell & 0x1F, green = (cell >> 5) & 0x1F, red = (cell >> 10) & 0x1F;
  const int alpha = cell >> 15;
  const int starts[4] = {blue * 8, green * 8, red * 8, alpha * 64};
  const int widths[4] = {8, 8, 8, 64};
  for (int c = 0; c < 4; ++c) {
    box.lo[c] = starts[c];
    box.hi[c] = starts[c] + widths[c] - 1;
  }
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
  cellStart_[cell] = static_cast<uint32_t>(candidates_.size());
  uint16_t count = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (minDist[i] <= bestMax) {
      candidates_.push_back(static_cast<uint8_t>(i));
      ++count;
    }
  }
  cellCount_[cell] = count;
}

uint8_t NearestPaletteMapper::Search(uint32_t argb) {
  if (entries_.size() < kGridMinEntries || ++misses_ < kGridAfterMisses) {
    return LinearSearch(entries_, argb);
  }
  if (cellStart_.empty()) {
    cellStart_.assign(size_t{1} << 17, kUnbuilt);
    cellCount_.assign(size_t{1} << 17, 0);
  }
  const uint32_t cell = CellOf(argb);
  if (cellStart_[cell] == kUnbuilt) BuildCell(cell);
  // Candidates are in index order, so a strict comparison keeps the first of equals.
  const uint8_t* list = candidates_.data() + cellStart_[cell];
  uint32_t best = UINT32_MAX;
  uint8_t bestIndex = 0;
  for (uint16_t k = 0; k < cellCount_[cell]; ++k) {
    const uint32_t d = Distance(argb, entries_[list[k]]);
    if (d < best) {
      best = d;
      bestIndex = list[k];
    }
  }
  return bestIndex;
}

}  // namespace tessivo::platform
