#include "pixel/adjust/table_mapping.h"

#include <algorithm>

#include "pixel/adjust/contrast_spill.h"
#include "pixel/adjust/integer_rounding.h"

namespace tessivo {
namespace {

uint8_t* RowAt(const ChannelRows& rows, int32_t y) { return rows.scan0 + static_cast<intptr_t>(y) * rows.stride; }

// --- Statistics -----------------------------------------------------------------------------

template <int kBytes>
void GatherStatistics(const ChannelRows& rows, uint32_t wanted, ZoneStatistics& zone) {
  // (red + green + blue) div 3 and its rounded grey, by channel sum: no division per pixel.
  std::array<uint8_t, 766> third, grey;
  for (int s = 0; s <= 765; ++s) {
    third[s] = static_cast<uint8_t>(s / 3);
    grey[s] = static_cast<uint8_t>(DivRoundHalfEven(s, 3));  // thirds never tie
  }
  zone.pixels = static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height);
  const bool sums = (wanted & kThirdSums) != 0, ranges = (wanted & kChannelRanges) != 0,
             histogram = (wanted & kGreyHistogram) != 0;
  uint64_t thirdSum = 0;
  int loR = 255, loG = 255, loB = 255, hiR = 0, hiG = 0, hiB = 0;
  for (int32_t y = 0; y < rows.height; ++y) {
    const uint8_t* p = RowAt(rows, y);
    for (int32_t x = 0; x < rows.width; ++x, p += kBytes) {
      const int b = p[0], g = p[1], r = p[2];
      if (sums) thirdSum += third[r + g + b];
      if (ranges) {
        loR = std::min(loR, r), hiR = std::max(hiR, r);
        loG = std::min(loG, g), hiG = std::max(hiG, g);
        loB = std::min(loB, b), hiB = std::max(hiB, b);
      }
      if (histogram) ++zone.greyHistogram[grey[r + g + b]];
    }
  }
  zone.thirdSum = thirdSum;
  zone.smallest[0] = loR, zone.smallest[1] = loG, zone.smallest[2] = loB;
  zone.largest[0] = hiR, zone.largest[1] = hiG, zone.largest[2] = hiB;
}

// --- Mapping --------------------------------------------------------------------------------

template <int kBytes, bool kOpaqueFourth>
void MapBytes(const ChannelRows& rows, const ChannelTables& t) {
  const uint8_t* tr = t.red.data();
  const uint8_t* tg = t.green.data();
  const uint8_t* tb = t.blue.data();
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* p = RowAt(rows, y);
    for (int32_t x = 0; x < rows.width; ++x, p += kBytes) {
      // All three loaded before any store: the stores may not alias the next loads.
      const uint8_t b = tb[p[0]], g = tg[p[1]], r = tr[p[2]];
      p[0] = b;
      p[1] = g;
      p[2] = r;
      if constexpr (kOpaqueFourth) p[3] = 0xFF;
    }
  }
}

template <int kBytes, bool kOpaqueFourth>
void MapSpilling(const ChannelRows& rows, const ChannelTables& t) {
  for (int32_t y = 0; y < rows.height; ++y) {
    uint8_t* p = RowAt(rows, y);
    for (int32_t x = 0; x < rows.width; ++x, p += kBytes) {
      const uint8_t b = p[0], g = p[1], r = p[2];
      // Most pixels of a photograph stay in range and need no spilling.
      if ((t.escapes[r] | t.escapes[g] | t.escapes[b]) == 0) {
        p[0] = t.blue[b];
        p[1] = t.green[g];
        p[2] = t.red[r];
      } else {
        const SpilledRGB c = SpillIntoRange(t.unclamped[r], t.unclamped[g], t.unclamped[b]);
        p[0] = static_cast<uint8_t>(c.blue);
        p[1] = static_cast<uint8_t>(c.green);
        p[2] = static_cast<uint8_t>(c.red);
      }
      if constexpr (kOpaqueFourth) p[3] = 0xFF;
    }
  }
}

template <int kBytes, bool kOpaqueFourth>
void Map(const ChannelRows& rows, const ChannelTables& t) {
  if (t.spills)
    MapSpilling<kBytes, kOpaqueFourth>(rows, t);
  else
    MapBytes<kBytes, kOpaqueFourth>(rows, t);
}

}  // namespace

ChannelRows WorkingRows(FilterJob& job) {
  ChannelRows rows;
  rows.scan0 = reinterpret_cast<uint8_t*>(job.pixels);
  rows.stride = static_cast<intptr_t>(job.width) * 4;
  rows.width = job.width;
  rows.height = job.height;
  rows.pixelBytes = 4;
  return rows;
}

ByteTable IdentityTable() {
  ByteTable t;
  for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c);
  return t;
}

void SetAllChannels(ChannelTables& tables, const ByteTable& table) {
  tables.red = tables.green = tables.blue = table;
  tables.spills = false;
}

void SetSpillingTable(ChannelTables& tables, const std::array<int64_t, 256>& unclamped) {
  tables.unclamped = unclamped;
  tables.spills = false;
  for (int c = 0; c < 256; ++c) {
    const bool escapes = unclamped[c] < 0 || unclamped[c] > 255;
    tables.escapes[c] = escapes ? 1 : 0;
    tables.red[c] = static_cast<uint8_t>(ClampToByte(unclamped[c]));
    tables.spills = tables.spills || escapes;
  }
  tables.green = tables.blue = tables.red;
}

void MapThroughTables(const ChannelRows& rows, const TableMapping& mapping, const FilterParams& params) {
  if (rows.width <= 0 || rows.height <= 0) return;
  ZoneStatistics zone;
  if (mapping.statistics != kNoStatistics) {
    if (rows.pixelBytes == 3)
      GatherStatistics<3>(rows, mapping.statistics, zone);
    else
      GatherStatistics<4>(rows, mapping.statistics, zone);
  } else {
    zone.pixels = static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height);
  }
  ChannelTables tables;
  mapping.build(params, zone, tables);
  if (rows.pixelBytes == 3)
    Map<3, false>(rows, tables);
  else if (rows.opaqueFourthByte)
    Map<4, true>(rows, tables);
  else
    Map<4, false>(rows, tables);
}

}  // namespace tessivo
