#include "pixel/adjust/table_mapping.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "pixel/adjust/contrast_spill.h"
#include "pixel/adjust/integer_rounding.h"

namespace tessivo {
namespace {

uint8_t* RowAt(const ChannelRows& rows, int32_t y) { return rows.scan0 + static_cast<intptr_t>(y) * rows.stride; }

// --- Statistics -----------------------------------------------------------------------------

// (red + green + blue) div 3 and its rounded grey, by channel sum: no division per pixel.
struct ThirdTables {
  std::array<uint8_t, 766> third, grey;
  ThirdTables() {
    for (int s = 0; s <= 765; ++s) {
      third[s] = static_cast<uint8_t>(s / 3);
      grey[s] = static_cast<uint8_t>(DivRoundHalfEven(s, 3));  // thirds never tie
    }
  }
};

const ThirdTables& Thirds() {
  static const ThirdTables tables;
  return tables;
}

// One pass per statistic, each a loop of its own (no mapping needs more than one).
template <int kBytes>
void GatherStatistics(const ChannelRows& rows, uint32_t wanted, ZoneStatistics& zone) {
  const ThirdTables& thirds = Thirds();
  if (wanted & kThirdSums) {
    uint64_t sum = 0;
    for (int32_t y = 0; y < rows.height; ++y) {
      const uint8_t* p = RowAt(rows, y);
      for (int32_t x = 0; x < rows.width; ++x, p += kBytes) sum += thirds.third[p[0] + p[1] + p[2]];
    }
    zone.thirdSum = sum;
  }
  if (wanted & kChannelRanges) {
    int loR = 255, loG = 255, loB = 255, hiR = 0, hiG = 0, hiB = 0;
    for (int32_t y = 0; y < rows.height; ++y) {
      const uint8_t* p = RowAt(rows, y);
      for (int32_t x = 0; x < rows.width; ++x, p += kBytes) {
        const int b = p[0], g = p[1], r = p[2];
        loR = std::min(loR, r), hiR = std::max(hiR, r);
        loG = std::min(loG, g), hiG = std::max(hiG, g);
        loB = std::min(loB, b), hiB = std::max(hiB, b);
      }
    }
    zone.smallest[0] = loR, zone.smallest[1] = loG, zone.smallest[2] = loB;
    zone.largest[0] = hiR, zone.largest[1] = hiG, zone.largest[2] = hiB;
  }
  if (wanted & kGreyHistogram) {
    for (int32_t y = 0; y < rows.height; ++y) {
      const uint8_t* p = RowAt(rows, y);
      for (int32_t x = 0; x < rows.width; ++x, p += kBytes) ++zone.greyHistogram[thirds.grey[p[0] + p[1] + p[2]]];
    }
  }
}

// --- Mapping one row, byte by byte or by pairs of bytes ----------------------------------------

template <int kBytes, bool kOpaqueFourth>
void MapRowBytes(uint8_t* p, int32_t width, const ChannelTables& t) {
  for (int32_t x = 0; x < width; ++x, p += kBytes) {
    // All three loaded before any store: the stores may not alias the next loads.
    const uint8_t b = t.blue[p[0]], g = t.green[p[1]], r = t.red[p[2]];
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if constexpr (kOpaqueFourth) p[3] = 0xFF;
  }
}

// Large zones go two bytes at a time through 65536-entry tables of byte pairs: half the
// lookups, and neighbouring pixels of a photograph hit the same few entries. A 3-byte row is
// pairs (blue, green), (red, next blue), (green, red), over and over; a 4-byte pixel is
// (blue, green), (red, fourth byte).
constexpr uint64_t kPairTablesFrom = uint64_t{1} << 18;  // pixels: from here building them pays
constexpr size_t kPairEntries = 65536;

struct PairTables {
  const uint16_t* first = nullptr;   // (blue, green)
  const uint16_t* second = nullptr;  // 3 bytes: (red, blue); 4 bytes: (red, fourth byte)
  const uint16_t* third = nullptr;   // 3 bytes: (green, red)
};

// Entry (high << 8 | low) holds low mapped by `low` in its low byte, high by `high` above.
void BuildPairTable(uint16_t* out, const ByteTable& low, const ByteTable& high) {
  for (size_t h = 0; h < 256; ++h) {
    const uint16_t mappedHigh = static_cast<uint16_t>(high[h] << 8);
    uint16_t* row = out + (h << 8);
    for (size_t l = 0; l < 256; ++l) row[l] = static_cast<uint16_t>(mappedHigh | low[l]);
  }
}

// The pair tables' memory, kept per thread between calls like the engine's buffers.
uint16_t* PairTableMemory(size_t tables) {
  thread_local std::vector<uint16_t> memory;
  if (memory.size() < tables * kPairEntries) memory.resize(tables * kPairEntries);
  return memory.data();
}

PairTables BuildPairTables(const ChannelRows& rows, const ChannelTables& t) {
  PairTables pairs;
  if (rows.pixelBytes == 4) {
    uint16_t* memory = PairTableMemory(2);
    ByteTable fourth;
    if (rows.opaqueFourthByte)
      fourth.fill(0xFF);
    else
      fourth = IdentityTable();
    BuildPairTable(memory, t.blue, t.green);
    BuildPairTable(memory + kPairEntries, t.red, fourth);
    pairs.first = memory;
    pairs.second = memory + kPairEntries;
    return pairs;
  }
  const bool oneTable = t.red == t.green && t.green == t.blue;
  uint16_t* memory = PairTableMemory(oneTable ? 1 : 3);
  BuildPairTable(memory, t.blue, t.green);
  if (oneTable) {
    pairs.first = pairs.second = pairs.third = memory;
    return pairs;
  }
  BuildPairTable(memory + kPairEntries, t.red, t.blue);
  BuildPairTable(memory + 2 * kPairEntries, t.green, t.red);
  pairs.first = memory;
  pairs.second = memory + kPairEntries;
  pairs.third = memory + 2 * kPairEntries;
  return pairs;
}

inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

void MapRowPairs3(uint8_t* p, int32_t width, const PairTables& pairs, const ChannelTables& t) {
  int32_t x = 0;
  for (; x + 2 <= width; x += 2, p += 6) {
    const uint16_t a = pairs.first[Load16(p)], b = pairs.second[Load16(p + 2)], c = pairs.third[Load16(p + 4)];
    Store16(p, a);
    Store16(p + 2, b);
    Store16(p + 4, c);
  }
  if (x < width) MapRowBytes<3, false>(p, 1, t);
}

void MapRowPairs4(uint8_t* p, int32_t width, const PairTables& pairs) {
  for (int32_t x = 0; x < width; ++x, p += 4) {
    const uint16_t a = pairs.first[Load16(p)], b = pairs.second[Load16(p + 2)];
    Store16(p, a);
    Store16(p + 2, b);
  }
}

// --- Spilling --------------------------------------------------------------------------------

// A photograph has few distinct colours that leave the range (a strong contrast pushes millions
// of pixels out, but in some tens of thousands of colours), so large zones remember the spilled
// result of each colour met, in a direct-mapped cache emptied for each call.
constexpr uint64_t kSpillCacheFrom = uint64_t{1} << 16;  // pixels
constexpr int kSpillCacheBits = 15;

uint64_t* SpillCache() {
  thread_local std::vector<uint64_t> cache;
  cache.assign(size_t{1} << kSpillCacheBits, 0);
  return cache.data();
}

// The spilled colour of blue, green, red, packed in bits 0-23 like the cache's keys.
inline uint32_t SpillColour(uint8_t b, uint8_t g, uint8_t r, const ChannelTables& t) {
  const SpilledRGB c = SpillIntoRange(t.unclamped[r], t.unclamped[g], t.unclamped[b]);
  return static_cast<uint32_t>(c.blue) | static_cast<uint32_t>(c.green) << 8 | static_cast<uint32_t>(c.red) << 16;
}

template <int kBytes, bool kOpaqueFourth>
void StorePixel(uint8_t* p, uint32_t c) {
  p[0] = static_cast<uint8_t>(c);
  p[1] = static_cast<uint8_t>(c >> 8);
  p[2] = static_cast<uint8_t>(c >> 16);
  if constexpr (kOpaqueFourth) p[3] = 0xFF;
}

// Small zones: a test per pixel, most pixels of a photograph staying in range.
template <int kBytes, bool kOpaqueFourth>
void MapRowSpilling(uint8_t* p, int32_t width, const std::array<uint16_t, 256>& entries, const ChannelTables& t) {
  for (int32_t x = 0; x < width; ++x, p += kBytes) {
    const uint8_t b = p[0], g = p[1], r = p[2];
    const uint16_t eb = entries[b], eg = entries[g], er = entries[r];
    const uint32_t mapped = (eb & 0xFFu) | (eg & 0xFFu) << 8 | (er & 0xFFu) << 16;
    StorePixel<kBytes, kOpaqueFourth>(p, ((eb | eg | er) >> 8) == 0 ? mapped : SpillColour(b, g, r, t));
  }
}

// Large zones: every pixel also reads its cache entry, and the escaping ones take it instead of
// the table's value, so the only branch is a cache miss of an escaping colour (rare) rather
// than the escape itself (up to every other pixel, in no order a predictor can learn).
// Entry: the colour (bits 0-23, bit 24 marking a used entry), its spilled colour above.
template <int kBytes, bool kOpaqueFourth>
void MapRowSpillingCached(uint8_t* p, int32_t width, const std::array<uint16_t, 256>& entries,
                          const ChannelTables& t, uint64_t* cache) {
  for (int32_t x = 0; x < width; ++x, p += kBytes) {
    const uint8_t b = p[0], g = p[1], r = p[2];
    const uint16_t eb = entries[b], eg = entries[g], er = entries[r];
    const uint32_t mapped = (eb & 0xFFu) | (eg & 0xFFu) << 8 | (er & 0xFFu) << 16;
    const bool escapes = ((eb | eg | er) >> 8) != 0;
    const uint32_t key = b | uint32_t{g} << 8 | uint32_t{r} << 16 | 1u << 24;
    uint64_t& entry = cache[(key * 0x9E3779B1u) >> (32 - kSpillCacheBits)];
    if (escapes && static_cast<uint32_t>(entry) != key) entry = key | uint64_t{SpillColour(b, g, r, t)} << 32;
    StorePixel<kBytes, kOpaqueFourth>(p, escapes ? static_cast<uint32_t>(entry >> 32) : mapped);
  }
}

// `entries` holds each clamped value with the escape flag in bit 8, so one lookup per channel
// tells both.
template <int kBytes, bool kOpaqueFourth>
void MapSpilling(const ChannelRows& rows, const ChannelTables& t) {
  std::array<uint16_t, 256> entries;
  for (int c = 0; c < 256; ++c) entries[c] = static_cast<uint16_t>(t.red[c] | (t.escapes[c] ? 0x100 : 0));
  const bool large = static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height) >= kSpillCacheFrom;
  uint64_t* cache = large ? SpillCache() : nullptr;  // before any pixel is written
  for (int32_t y = 0; y < rows.height; ++y) {
    if (cache != nullptr)
      MapRowSpillingCached<kBytes, kOpaqueFourth>(RowAt(rows, y), rows.width, entries, t, cache);
    else
      MapRowSpilling<kBytes, kOpaqueFourth>(RowAt(rows, y), rows.width, entries, t);
  }
}

// --- Mapping the rows --------------------------------------------------------------------------

template <typename MapRow>
void MapRows(const ChannelRows& rows, MapRow mapRow) {
  for (int32_t y = 0; y < rows.height; ++y) mapRow(RowAt(rows, y));
}

// Every allocation (pair tables, the spill cache) comes before the first pixel is written.
void Map(const ChannelRows& rows, const ChannelTables& t) {
  const int32_t width = rows.width;
  if (t.spills) {
    if (rows.pixelBytes == 3)
      MapSpilling<3, false>(rows, t);
    else if (rows.opaqueFourthByte)
      MapSpilling<4, true>(rows, t);
    else
      MapSpilling<4, false>(rows, t);
    return;
  }
  const bool pairs = static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height) >= kPairTablesFrom;
  if (rows.pixelBytes == 3) {
    if (pairs) {
      const PairTables pt = BuildPairTables(rows, t);
      MapRows(rows, [&](uint8_t* p) { MapRowPairs3(p, width, pt, t); });
    } else {
      MapRows(rows, [&](uint8_t* p) { MapRowBytes<3, false>(p, width, t); });
    }
  } else if (pairs) {
    const PairTables pt = BuildPairTables(rows, t);
    MapRows(rows, [&](uint8_t* p) { MapRowPairs4(p, width, pt); });
  } else if (rows.opaqueFourthByte) {
    MapRows(rows, [&](uint8_t* p) { MapRowBytes<4, true>(p, width, t); });
  } else {
    MapRows(rows, [&](uint8_t* p) { MapRowBytes<4, false>(p, width, t); });
  }
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
  zone.pixels = static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height);
  if (rows.pixelBytes == 3)
    GatherStatistics<3>(rows, mapping.statistics, zone);
  else
    GatherStatistics<4>(rows, mapping.statistics, zone);
  ChannelTables tables;
  mapping.build(params, zone, tables);
  Map(rows, tables);
}

}  // namespace tessivo
