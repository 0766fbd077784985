// The colour adjustments as routines of the filter engine. Every channel mapping that depends
// on the channel alone goes through a 256-entry table built once per call; the tables are
// computed in 64-bit integers (or doubles) so that any 32-bit parameter saturates instead of
// wrapping.
#include <array>
#include <cmath>
#include <cstdlib>
#include <span>

#include "pixel/adjust/adjust_codes.h"
#include "pixel/adjust/contrast_spill.h"
#include "pixel/adjust/integer_rounding.h"
#include "pixel/filter_registry.h"
#include "pixel/rounding.h"
#include "pixel/transparency_keys.h"

namespace tessivo {
namespace {

using ByteTable = std::array<uint8_t, 256>;

size_t PixelCount(const FilterJob& job) {
  return static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
}

int64_t IntegerParam(double v) {
  // The wrappers pass 32-bit values; anything else is clamped rather than trusted.
  if (!(v > -4294967296.0)) return -4294967296LL;
  if (v > 4294967296.0) return 4294967296LL;
  return static_cast<int64_t>(v);
}

void ApplyTables(FilterJob& job, const ByteTable& red, const ByteTable& green, const ByteTable& blue) {
  const size_t count = PixelCount(job);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    job.pixels[i] = WithRGB(v, red[Red(v)], green[Green(v)], blue[Blue(v)]);
  }
}

void ApplyTable(FilterJob& job, const ByteTable& t) { ApplyTables(job, t, t, t); }

ByteTable IdentityTable() {
  ByteTable t;
  for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c);
  return t;
}

// --- Brightness, gamma, channel offsets and scales ------------------------------------------

TessivoStatus BrightnessRoutine(FilterJob& job) {
  const int64_t factor = IntegerParam(job.params.p) + 100;
  ByteTable t;
  for (int64_t c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(ClampToByte(DivRoundHalfEven(c * factor, 100)));
  ApplyTable(job, t);
  return OK;
}

// p: the gamma factor, already known to be positive.
TessivoStatus GammaRoutine(FilterJob& job) {
  const double exponent = 100.0 / job.params.p;
  ByteTable t;
  for (int c = 0; c < 256; ++c) t[c] = RoundClampByte(255.0 * std::pow(c / 255.0, exponent));
  ApplyTable(job, t);
  return OK;
}

ByteTable OffsetTable(double offset) {
  const int64_t add = IntegerParam(offset);
  ByteTable t;
  for (int64_t c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(ClampToByte(c + add));
  return t;
}

TessivoStatus AdjustRGBRoutine(FilterJob& job) {
  ApplyTables(job, OffsetTable(job.params.d1), OffsetTable(job.params.d2), OffsetTable(job.params.d3));
  return OK;
}

// p: a finite factor. Results below 0 (negative factors) are clamped to 0, like those above 255.
ByteTable ScaleTable(double factor) {
  ByteTable t;
  for (int c = 0; c < 256; ++c) t[c] = RoundClampByte(c * factor);
  return t;
}

TessivoStatus ScaleRedRoutine(FilterJob& job) {
  ApplyTables(job, ScaleTable(job.params.p), IdentityTable(), IdentityTable());
  return OK;
}
TessivoStatus ScaleGreenRoutine(FilterJob& job) {
  ApplyTables(job, IdentityTable(), ScaleTable(job.params.p), IdentityTable());
  return OK;
}
TessivoStatus ScaleBlueRoutine(FilterJob& job) {
  ApplyTables(job, IdentityTable(), IdentityTable(), ScaleTable(job.params.p));
  return OK;
}

// --- Channel masks and swaps ----------------------------------------------------------------

template <uint32_t kKeptBits>
TessivoStatus MaskRoutine(FilterJob& job) {
  constexpr uint32_t mask = 0xFF000000u | kKeptBits;
  const size_t count = PixelCount(job);
  for (size_t i = 0; i < count; ++i) job.pixels[i] &= mask;
  return OK;
}

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

TessivoStatus ContrastRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  if (count == 0) return OK;
  uint64_t sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    sum += static_cast<uint32_t>(Red(v) + Green(v) + Blue(v)) / 3;
  }
  const int64_t mean = static_cast<int64_t>(sum / count);
  const int64_t factor = IntegerParam(job.params.p) + 100;
  std::array<int64_t, 256> t;
  for (int64_t i = 0; i < 256; ++i) t[i] = DivRoundHalfEven((i - mean) * factor, 100) + mean;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int64_t r = t[Red(v)], g = t[Green(v)], b = t[Blue(v)];
    // Most pixels of a photograph stay in range and need no spilling.
    if (static_cast<uint64_t>(r) <= 255 && static_cast<uint64_t>(g) <= 255 && static_cast<uint64_t>(b) <= 255) {
      job.pixels[i] = WithRGB(v, static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
      continue;
    }
    const SpilledRGB c = SpillIntoRange(r, g, b);
    job.pixels[i] = WithRGB(v, c.red, c.green, c.blue);
  }
  return OK;
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

TessivoStatus StretchContrastRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int c[3] = {Red(v), Green(v), Blue(v)};
    for (int k = 0; k < 3; ++k) {
      if (c[k] < lo[k]) lo[k] = c[k];
      if (c[k] > hi[k]) hi[k] = c[k];
    }
  }
  ByteTable t[3];
  for (int k = 0; k < 3; ++k) {
    if (lo[k] >= hi[k]) {
      t[k] = IdentityTable();
      continue;
    }
    for (int64_t c = 0; c < 256; ++c)
      t[k][c] = static_cast<uint8_t>(ClampToByte(DivRoundHalfEven((c - lo[k]) * 255, hi[k] - lo[k])));
  }
  ApplyTables(job, t[0], t[1], t[2]);
  return OK;
}

TessivoStatus EqualizeIntensityRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  if (count == 0) return OK;
  // Grey of a channel sum s: s / 3 rounded (thirds never tie).
  std::array<uint8_t, 766> grey;
  for (int s = 0; s <= 765; ++s) grey[s] = static_cast<uint8_t>(DivRoundHalfEven(s, 3));
  std::array<uint64_t, 256> histogram{};
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    ++histogram[grey[Red(v) + Green(v) + Blue(v)]];
  }
  ByteTable t;
  uint64_t cumulative = 0;
  for (int i = 0; i < 256; ++i) {
    cumulative += histogram[i];
    t[i] = static_cast<uint8_t>(ClampToByte(
        DivRoundHalfEven(static_cast<int64_t>(cumulative) * 255, static_cast<int64_t>(count))));
  }
  ApplyTable(job, t);
  return OK;
}

// Code, routine, reads a source copy, analysis only, maps colour palettes.
const FilterRegistration kRegistrations[] = {
    FilterRegistration({kAdjustBrightness, BrightnessRoutine, false, false, true}),
    FilterRegistration({kAdjustSwapChannels, SwapChannelsRoutine, false, false, false}),
    FilterRegistration({kAdjustContrast, ContrastRoutine, false, false, false}),
    FilterRegistration({kAdjustStretchContrast, StretchContrastRoutine, false, false, false}),
    FilterRegistration({kAdjustSaturation, SaturationRoutine, false, false, false}),
    FilterRegistration({kAdjustGamma, GammaRoutine, false, false, false}),
    FilterRegistration({kAdjustTransparency, TransparencyRoutine, false, false, false}),
    FilterRegistration({kAdjustRGB, AdjustRGBRoutine, false, false, false}),
    FilterRegistration({kAdjustKeepRed, MaskRoutine<0x00FF0000u>, false, false, false}),
    FilterRegistration({kAdjustKeepGreen, MaskRoutine<0x0000FF00u>, false, false, false}),
    FilterRegistration({kAdjustKeepBlue, MaskRoutine<0x000000FFu>, false, false, false}),
    FilterRegistration({kAdjustRemoveRed, MaskRoutine<0x0000FFFFu>, false, false, false}),
    FilterRegistration({kAdjustRemoveGreen, MaskRoutine<0x00FF00FFu>, false, false, false}),
    FilterRegistration({kAdjustRemoveBlue, MaskRoutine<0x00FFFF00u>, false, false, false}),
    FilterRegistration({kAdjustScaleRed, ScaleRedRoutine, false, false, false}),
    FilterRegistration({kAdjustScaleGreen, ScaleGreenRoutine, false, false, false}),
    FilterRegistration({kAdjustScaleBlue, ScaleBlueRoutine, false, false, false}),
    FilterRegistration({kAdjustTransparencyColor, TransparencyColorRoutine, false, false, false}),
    FilterRegistration({kAdjustSwapColor, SwapColorRoutine, false, false, false}),
    FilterRegistration({kAdjustEqualizeIntensity, EqualizeIntensityRoutine, false, false, false}),
};

}  // namespace
}  // namespace tessivo
