// The colour adjustments as routines of the filter engine. Every channel mapping that depends
// on the channel alone is a table mapping (table_mapping.h): 256-entry tables built once per
// call, which the engine applies where 24- and 32-bit rows lie. The tables are computed in
// 64-bit integers (or doubles) so that any 32-bit parameter saturates instead of wrapping.
#include <array>
#include <cmath>
#include <cstdlib>
#include <span>

#include "pixel/adjust/adjust_codes.h"
#include "pixel/adjust/integer_rounding.h"
#include "pixel/adjust/table_mapping.h"
#include "pixel/filter_registry.h"
#include "pixel/rounding.h"
#include "pixel/transparency_keys.h"

namespace tessivo {
namespace {

size_t PixelCount(const FilterJob& job) {
  return static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
}

int64_t IntegerParam(double v) {
  // The wrappers pass 32-bit values; anything else is clamped rather than trusted.
  if (!(v > -4294967296.0)) return -4294967296LL;
  if (v > 4294967296.0) return 4294967296LL;
  return static_cast<int64_t>(v);
}

// --- Brightness, gamma, channel offsets, scales and masks -----------------------------------

void BrightnessTables(const FilterParams& params, const ZoneStatistics&, ChannelTables& tables) {
  const int64_t factor = IntegerParam(params.p) + 100;
  ByteTable t;
  for (int64_t c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(ClampToByte(DivRoundHalfEven(c * factor, 100)));
  SetAllChannels(tables, t);
}

// p: the gamma factor, already known to be positive. The power is taken once per table entry.
void GammaTables(const FilterParams& params, const ZoneStatistics&, ChannelTables& tables) {
  const double exponent = 100.0 / params.p;
  ByteTable t;
  for (int c = 0; c < 256; ++c) t[c] = RoundClampByte(255.0 * std::pow(c / 255.0, exponent));
  SetAllChannels(tables, t);
}

ByteTable OffsetTable(double offset) {
  const int64_t add = IntegerParam(offset);
  ByteTable t;
  for (int64_t c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(ClampToByte(c + add));
  return t;
}

void AdjustRGBTables(const FilterParams& params, const ZoneStatistics&, ChannelTables& tables) {
  tables.red = OffsetTable(params.d1);
  tables.green = OffsetTable(params.d2);
  tables.blue = OffsetTable(params.d3);
}

// p: a finite factor. Results below 0 (negative factors) are clamped to 0, like those above 255.
ByteTable ScaleTable(double factor) {
  ByteTable t;
  for (int c = 0; c < 256; ++c) t[c] = RoundClampByte(c * factor);
  return t;
}

// kChannel: 0 red, 1 green, 2 blue.
template <int kChannel>
void ScaleTables(const FilterParams& params, const ZoneStatistics&, ChannelTables& tables) {
  SetAllChannels(tables, IdentityTable());
  ByteTable& scaled = kChannel == 0 ? tables.red : (kChannel == 1 ? tables.green : tables.blue);
  scaled = ScaleTable(params.p);
}

// Each of red, green and blue is kept or becomes 0.
template <bool kRed, bool kGreen, bool kBlue>
void MaskTables(const FilterParams&, const ZoneStatistics&, ChannelTables& tables) {
  const ByteTable kept = IdentityTable();
  ByteTable zero;
  zero.fill(0);
  tables.red = kRed ? kept : zero;
  tables.green = kGreen ? kept : zero;
  tables.blue = kBlue ? kept : zero;
}

// --- Channel masks and swaps ----------------------------------------------------------------

TessivoStatus SwapChannelsRoutine(FilterJob& job) {
  const int32_t order = static_cast<int32_t>(job.params.p);
  if (order < kOrderBRG || order > kOrderGRB) return GenericError;
  const size_t count = PixelCount(job);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int r = Red(v), g = Green(v), b = Blue(v);
    switch (order) {
      case kOrderBRG: job.pixels[i] = WithRGB(v, g, b, r); break;
      case kOrderGBR: job.pixels[i] = WithRGB(v, b, r, g); break;
      case kOrderRBG: job.pixels[i] = WithRGB(v, r, b, g); break;
      case kOrderBGR: job.pixels[i] = WithRGB(v, b, g, r); break;
      default: job.pixels[i] = WithRGB(v, g, r, b); break;  // kOrderGRB
    }
  }
  return OK;
}

// --- Contrast, saturation ---------------------------------------------------------------------

// The table is not clamped: channels that leave 0..255 spill into the other two.
void ContrastTables(const FilterParams& params, const ZoneStatistics& zone, ChannelTables& tables) {
  const int64_t mean = zone.pixels == 0 ? 0 : static_cast<int64_t>(zone.thirdSum / zone.pixels);
  const int64_t factor = IntegerParam(params.p) + 100;
  std::array<int64_t, 256> t;
  for (int64_t i = 0; i < 256; ++i) t[i] = DivRoundHalfEven((i - mean) * factor, 100) + mean;
  SetSpillingTable(tables, t);
}

TessivoStatus SaturationRoutine(FilterJob& job) {
  const int64_t p = IntegerParam(job.params.p);
  const size_t count = PixelCount(job);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int64_t r = Red(v), g = Green(v), b = Blue(v);
    const int64_t m = (r + g + b) / 3;
    auto adjust = [&](int64_t c) { return static_cast<int>(ClampToByte(DivRoundHalfEven((c - m) * p, 100) + c)); };
    job.pixels[i] = WithRGB(v, adjust(r), adjust(g), adjust(b));
  }
  return OK;
}

// --- Transparency and colour replacement -------------------------------------------------------

TessivoStatus TransparencyRoutine(FilterJob& job) {
  const int64_t add = IntegerParam(job.params.p);
  const size_t count = PixelCount(job);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const uint32_t alpha = static_cast<uint32_t>(ClampToByte(Alpha(v) + add));
    job.pixels[i] = (v & kRGBMask) | alpha << 24;
  }
  return OK;
}

int ColourDistance(uint32_t a, uint32_t b) {
  return std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
}

// d1: the ARGB colour; d2: the distance k, an integer (0: exact red, green and blue).
TessivoStatus TransparencyColorRoutine(FilterJob& job) {
  const uint32_t colour = static_cast<uint32_t>(static_cast<int64_t>(job.params.d1));
  KeyTransparentColour(std::span<uint32_t>(job.pixels, PixelCount(job)), colour, job.params.d2);
  return OK;
}

// d1 source, d2 destination ARGB; d3 the distance k over the four bytes (0: exact match).
TessivoStatus SwapColorRoutine(FilterJob& job) {
  const uint32_t source = static_cast<uint32_t>(static_cast<int64_t>(job.params.d1));
  const uint32_t target = static_cast<uint32_t>(static_cast<int64_t>(job.params.d2));
  const double k = job.params.d3;
  const size_t count = PixelCount(job);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const bool match =
        k == 0 ? v == source : ColourDistance(v, source) + std::abs(Alpha(v) - Alpha(source)) <= k;
    if (match) job.pixels[i] = target;
  }
  return OK;
}

// --- Whole-zone mappings -------------------------------------------------------------------------

void StretchContrastTables(const FilterParams&, const ZoneStatistics& zone, ChannelTables& tables) {
  ByteTable* t[3] = {&tables.red, &tables.green, &tables.blue};
  for (int k = 0; k < 3; ++k) {
    const int lo = zone.smallest[k], hi = zone.largest[k];
    if (lo >= hi) {
      *t[k] = IdentityTable();
      continue;
    }
    for (int64_t c = 0; c < 256; ++c)
      (*t[k])[c] = static_cast<uint8_t>(ClampToByte(DivRoundHalfEven((c - lo) * 255, hi - lo)));
  }
}

void EqualizeIntensityTables(const FilterParams&, const ZoneStatistics& zone, ChannelTables& tables) {
  if (zone.pixels == 0) return SetAllChannels(tables, IdentityTable());
  ByteTable t;
  uint64_t cumulative = 0;
  for (int i = 0; i < 256; ++i) {
    cumulative += zone.greyHistogram[i];
    t[i] = static_cast<uint8_t>(ClampToByte(
        DivRoundHalfEven(static_cast<int64_t>(cumulative) * 255, static_cast<int64_t>(zone.pixels))));
  }
  SetAllChannels(tables, t);
}

constexpr TableMapping kBrightness{kNoStatistics, BrightnessTables};
constexpr TableMapping kGamma{kNoStatistics, GammaTables};
constexpr TableMapping kAdjustRGBMapping{kNoStatistics, AdjustRGBTables};
constexpr TableMapping kScaleRed{kNoStatistics, ScaleTables<0>};
constexpr TableMapping kScaleGreen{kNoStatistics, ScaleTables<1>};
constexpr TableMapping kScaleBlue{kNoStatistics, ScaleTables<2>};
constexpr TableMapping kKeepRed{kNoStatistics, MaskTables<true, false, false>};
constexpr TableMapping kKeepGreen{kNoStatistics, MaskTables<false, true, false>};
constexpr TableMapping kKeepBlue{kNoStatistics, MaskTables<false, false, true>};
constexpr TableMapping kRemoveRed{kNoStatistics, MaskTables<false, true, true>};
constexpr TableMapping kRemoveGreen{kNoStatistics, MaskTables<true, false, true>};
constexpr TableMapping kRemoveBlue{kNoStatistics, MaskTables<true, true, false>};
constexpr TableMapping kContrast{kThirdSums, ContrastTables};
constexpr TableMapping kStretchContrast{kChannelRanges, StretchContrastTables};
constexpr TableMapping kEqualizeIntensity{kGreyHistogram, EqualizeIntensityTables};

// A lookup-table adjustment: its engine routine over the working buffer, and the same mapping
// for the engine to run where 24- and 32-bit rows lie.
template <const TableMapping& kMapping>
FilterDescriptor Table(int32_t code, bool mapsColourPalette = false) {
  FilterDescriptor f{code, TableRoutine<kMapping>, false, false, mapsColourPalette};
  f.tables = &kMapping;
  return f;
}

// Code, routine, reads a source copy, analysis only, maps colour palettes.
const FilterRegistration kRegistrations[] = {
    FilterRegistration(Table<kBrightness>(kAdjustBrightness, true)),
    FilterRegistration({kAdjustSwapChannels, SwapChannelsRoutine, false, false, false}),
    FilterRegistration(Table<kContrast>(kAdjustContrast)),
    FilterRegistration(Table<kStretchContrast>(kAdjustStretchContrast)),
    FilterRegistration({kAdjustSaturation, SaturationRoutine, false, false, false}),
    FilterRegistration(Table<kGamma>(kAdjustGamma)),
    FilterRegistration({kAdjustTransparency, TransparencyRoutine, false, false, false}),
    FilterRegistration(Table<kAdjustRGBMapping>(kAdjustRGB)),
    FilterRegistration(Table<kKeepRed>(kAdjustKeepRed)),
    FilterRegistration(Table<kKeepGreen>(kAdjustKeepGreen)),
    FilterRegistration(Table<kKeepBlue>(kAdjustKeepBlue)),
    FilterRegistration(Table<kRemoveRed>(kAdjustRemoveRed)),
    FilterRegistration(Table<kRemoveGreen>(kAdjustRemoveGreen)),
    FilterRegistration(Table<kRemoveBlue>(kAdjustRemoveBlue)),
    FilterRegistration(Table<kScaleRed>(kAdjustScaleRed)),
    FilterRegistration(Table<kScaleGreen>(kAdjustScaleGreen)),
    FilterRegistration(Table<kScaleBlue>(kAdjustScaleBlue)),
    FilterRegistration({kAdjustTransparencyColor, TransparencyColorRoutine, false, false, false}),
    FilterRegistration({kAdjustSwapColor, SwapColorRoutine, false, false, false}),
    FilterRegistration(Table<kEqualizeIntensity>(kAdjustEqualizeIntensity)),
};

}  // namespace
}  // namespace tessivo
