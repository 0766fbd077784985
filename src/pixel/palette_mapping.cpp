#include "pixel/palette_mapping.h"

#include <cstdlib>

namespace tessivo {

bool IsGreyRamp(const platform::Palette& palette) {
  if (palette.entries.size() != 256) return false;
  for (uint32_t i = 0; i < 256; ++i)
    if ((palette.entries[i] & 0x00FFFFFFu) != (i << 16 | i << 8 | i)) return false;
  return true;
}

std::array<uint8_t, 256> GreyIndexTable(const platform::Palette& palette) {
  std::array<uint8_t, 256> table{};
  if (IsGreyRamp(palette)) {
    for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v);
    return table;
  }
  // Entries past 256 cannot be addressed by an 8-bit index.
  const size_t n = palette.entries.size() < 256 ? palette.entries.size() : 256;
  for (int v = 0; v < 256; ++v) {
    int best = 0, bestDistance = 1 << 30;
    for (size_t i = 0; i < n; ++i) {
      int d = std::abs(static_cast<int>(palette.entries[i] & 0xFF) - v);
      if (d < bestDistance) {
        bestDistance = d;
        best = static_cast<int>(i);
        if (d == 0) break;
      }
    }
    table[v] = static_cast<uint8_t>(best);
  }
  return table;
}

}  // namespace tessivo
