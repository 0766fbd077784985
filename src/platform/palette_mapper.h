// Maps ARGB colours to the nearest entry of a palette: the least sum of squared differences
// over alpha, red, green and blue, the lowest index winning ties.
//
// Conversions to indexed formats call this once per pixel on images of tens of megapixels, so
// a linear scan of 256 entries per pixel is too slow. Two layers keep it fast and exact:
// a direct-mapped cache of recent colours, and a grid over colour space whose cells list only
// the entries that can be nearest to some colour inside the cell (built lazily per cell).
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace tessivo::platform {

class NearestPaletteMapper {
 public:
  // `entries` beyond `capacity` (what the target format can address) are ignored.
  NearestPaletteMapper(std::span<const uint32_t> entries, int capacity);

  uint8_t Map(uint32_t argb) {
    const uint32_t slot = (argb * 0x9E3779B1u) >> (32 - kCacheBits);
    const uint64_t cached = cache_[slot];
    if ((cached & kValidBit) && static_cast<uint32_t>(cached >> 32) == argb) {
      return static_cast<uint8_t>(cached);
    }
    const uint8_t index = Search(argb);
    cache_[slot] = (static_cast<uint64_t>(argb) << 32) | kValidBit | index;
    return index;
  }

  // The index a linear scan finds; the reference the fast path must agree with.
  static uint8_t LinearSearch(std::span<const uint32_t> entries, uint32_t argb);

 private:
  static constexpr int kCacheBits = 12;
  static constexpr uint64_t kValidBit = 0x100;
  // Below this many entries a linear scan is as fast as the grid.
  static constexpr size_t kGridMinEntries = 17;
  // Misses before the grid is worth building (it costs ~1 MB of tables).
  static constexpr uint32_t kGridAfterMisses = 512;

  uint8_t Search(uint32_t argb);
  uint32_t CellOf(uint32_t argb) const;
  void BuildCell(uint32_t cell);

  std::vector<uint32_t> entries_;
  std::vector<uint64_t> cache_;
  uint32_t misses_ = 0;
  // Grid: 5 bits per colour channel and 5 alpha slabs (four ranges of 64 below 255, and 255).
  // A cell holds kUnbuilt, kSingle | the one candidate's index, or the offset in candidates_
  // of its list: the count, then the indices in increasing order.
  static constexpr size_t kCells = size_t{5} << 15;
  static constexpr uint32_t kUnbuilt = UINT32_MAX;
  static constexpr uint32_t kSingle = 0x80000000u;
  std::vector<uint32_t> cells_;
  std::vector<uint16_t> candidates_;
};

}  // namespace tessivo::platform
