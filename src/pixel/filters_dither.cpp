// Black-and-white conversions by dithering: a 4x4 ordered dither and an error diffusion whose
// threshold is the zone's mean grey.
#include <array>
#include <vector>

#include "pixel/filter_routines.h"
#include "pixel/rounding.h"

namespace tessivo {
namespace {

constexpr uint32_t kBlackRGB = 0;
constexpr uint32_t kWhiteRGB = kRGBMask;

// Dither thresholds by (x - 1) mod 4, then (y - 1) mod 4.
constexpr int kOrderedThreshold[4][4] = {{1, 9, 3, 11}, {13, 5, 15, 7}, {4, 12, 2, 10}, {16, 8, 14, 6}};

}  // namespace

TessivoStatus OrderedDitherRoutine(FilterJob& job) {
  // Level 1..16 of every channel sum 0..765.
  std::array<uint8_t, 766> level;
  for (int s = 0; s <= 765; ++s) level[s] = static_cast<uint8_t>((s / 3) / 16 + 1);
  for (int y = 1; y <= job.height; ++y) {
    const int* column = nullptr;
    uint32_t* row = &job.At(1, y);
    for (int x = 1; x <= job.width; ++x) {
      column = kOrderedThreshold[(x - 1) & 3];
      const uint32_t v = row[x - 1];
      const bool black = level[Red(v) + Green(v) + Blue(v)] < column[(y - 1) & 3];
      row[x - 1] = (v & 0xFF000000u) | (black ? kBlackRGB : kWhiteRGB);
    }
  }
  return OK;
}

TessivoStatus ErrorDiffusionRoutine(FilterJob& job) {
  const int32_t k = RoundToInt32(job.params.p);
  if (k == 0) return GenericError;  // refused before dividing
  const int W = job.width, H = job.height;
  const size_t count = static_cast<size_t>(W) * static_cast<size_t>(H);

  int64_t greySum = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    greySum += (Red(v) + Green(v) + Blue(v)) / 3;
  }
  const int threshold = static_cast<int>(greySum / static_cast<int64_t>(count));

  // share[w][e + 255] = (e * weight) / 32, truncated toward zero, for the weights 2, 4, 8.
  std::array<std::array<int32_t, 511>, 3> share;
  for (int e = -255; e <= 255; ++e) {
    share[0][e + 255] = (e * 2) / 32;
    share[1][e + 255] = (e * 4) / 32;
    share[2][e + 255] = (e * 8) / 32;
  }
  // (error * 10) div k for the accumulated errors -255..255.
  std::array<int32_t, 511> errorScale;
  for (int e = -255; e <= 255; ++e) errorScale[e + 255] = (e * 10) / k;
  const auto& by2 = share[0];
  const auto& by4 = share[1];
  const auto& by8 = share[2];

  // Accumulators with two guard cells on each side, so shares leaving the zone fall on cells
  // that are never read.
  std::vector<int32_t> current(static_cast<size_t>(W) + 4, 0), next(static_cast<size_t>(W) + 4, 0);
  for (int y = 0; y < H; ++y) {
    uint32_t* row = job.pixels + static_cast<size_t>(y) * static_cast<size_t>(W);
    int32_t* err = current.data() + 2;
    int32_t* below = next.data() + 2;
    for (int x = 0; x < W; ++x) {
      const uint32_t v = row[x];
      const int grey = (Red(v) + Green(v) + Blue(v)) / 3;
      const int32_t carried = err[x];
      // Seven shares of at most |e| * weight / 32 (weights summing to 32) reach a cell, so the
      // table covers every accumulated error; the division stays as a safeguard.
      const int32_t scaled = carried >= -255 && carried <= 255 ? errorScale[carried + 255] : (carried * 10) / k;
      const int value = ClampByte(grey + scaled);
      const bool black = value < threshold;
      row[x] = (v & 0xFF000000u) | (black ? kBlackRGB : kWhiteRGB);
      const int e = value - (black ? 0 : 255) + 255;
      err[x + 1] += by8[e];
      err[x + 2] += by4[e];
      below[x - 2] += by2[e];
      below[x - 1] += by4[e];
      below[x] += by8[e];
      below[x + 1] += by4[e];
      below[x + 2] += by2[e];
    }
    current.swap(next);
    std::fill(next.begin(), next.end(), 0);
  }
  return OK;
}

}  // namespace tessivo
