// Lookup-table adjustments: every colour channel of a pixel goes through a 256-entry table of
// its own, built once per call from the parameters and, for the adjustments that depend on the
// zone's content (contrast, stretch, equalize), from statistics of the zone gathered first.
//
// One routine maps rows of 24- or 32-bit pixels where they lie: the image's own rows, so that
// 24- and 32-bit images need no 32-bit working copy, or the engine's 32-bit working buffer for
// every other format. Both read and write the same channel bytes, so they agree bit for bit.
#pragma once
#include <array>
#include <cstdint>

#include "pixel/filter_job.h"

namespace tessivo {

using ByteTable = std::array<uint8_t, 256>;

// Rows of pixels whose bytes lie blue, green, red, then for 4-byte pixels alpha or padding.
struct ChannelRows {
  uint8_t* scan0 = nullptr;
  intptr_t stride = 0;  // bytes from one row to the next, negative for bottom-up rows
  int32_t width = 0;
  int32_t height = 0;
  int32_t pixelBytes = 4;  // 3 or 4
  // 32bppRGB rows: a written pixel's fourth byte becomes 255, as that format's encoder writes it.
  bool opaqueFourthByte = false;
};

// The engine's 32-bit ARGB working buffer (or palette entries) of `job` as rows.
ChannelRows WorkingRows(FilterJob& job);

// What a mapping needs to know about the zone before its tables can be built.
enum ZoneStatisticFlags : uint32_t {
  kNoStatistics = 0,
  kThirdSums = 1,       // the sum of (red + green + blue) div 3
  kChannelRanges = 2,   // the smallest and largest red, green and blue
  kGreyHistogram = 4,   // the pixels of each grey round((red + green + blue) / 3)
};

struct ZoneStatistics {
  uint64_t pixels = 0;
  uint64_t thirdSum = 0;
  int smallest[3] = {255, 255, 255};  // red, green, blue
  int largest[3] = {0, 0, 0};
  std::array<uint64_t, 256> greyHistogram{};
};

struct ChannelTables {
  ByteTable red, green, blue;
  // Mappings whose values may leave 0..255 and then spill into the other channels instead of
  // clipping (contrast) set `spills`, through SetSpillingTable: one table for all three
  // channels. A pixel with any channel whose `escapes` entry is set is mapped by
  // SpillIntoRange of the three `unclamped` values; all others by the byte tables.
  bool spills = false;
  std::array<int64_t, 256> unclamped;
  ByteTable escapes;
};

// One table for all three channels.
void SetAllChannels(ChannelTables& tables, const ByteTable& table);
// One unclamped table for all three channels, spilling where it leaves 0..255.
void SetSpillingTable(ChannelTables& tables, const std::array<int64_t, 256>& unclamped);
ByteTable IdentityTable();

// A lookup-table adjustment: the statistics (ZoneStatisticFlags) its tables need and how they
// are built. The builder never fails.
struct TableMapping {
  uint32_t statistics = kNoStatistics;
  void (*build)(const FilterParams& params, const ZoneStatistics& zone, ChannelTables& tables) = nullptr;
};

// Gathers the statistics `mapping` needs over `rows`, builds its tables and maps every pixel of
// `rows` through them; alpha is kept, bytes beyond each row's last pixel are not touched.
void MapThroughTables(const ChannelRows& rows, const TableMapping& mapping, const FilterParams& params);

// The engine routine of a table mapping, over the working buffer.
template <const TableMapping& kMapping>
TessivoStatus TableRoutine(FilterJob& job) {
  MapThroughTables(WorkingRows(job), kMapping, job.params);
  return OK;
}

}  // namespace tessivo
