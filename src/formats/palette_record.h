// Palette records handed to the file writers: four bytes per palette entry, red, green, blue,
// alpha, taken apart from the image's ARGB palette.
#pragma once
#include <cstdint>
#include <vector>

namespace tessivo {

struct PaletteRecord {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;
};

inline std::vector<PaletteRecord> PaletteRecordsFromArgb(const std::vector<uint32_t>& argb) {
  std::vector<PaletteRecord> records;
  records.reserve(argb.size());
  for (uint32_t c : argb)
    records.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                       static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 24)});
  return records;
}

}  // namespace tessivo
