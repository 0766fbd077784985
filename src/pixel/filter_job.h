// What a filter routine works on: the zone's pixels as 32-bit ARGB values (bytes blue, green,
// red, alpha), row by row, and the parameters the caller passed to the engine.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

#include "tessivo/status.h"

namespace tessivo {

static_assert(std::endian::native == std::endian::little,
              "filters address the bytes of ARGB pixels in memory order blue, green, red, alpha");

struct FilterParams {
  double p = 0;  // the routine's main numeric parameter
  float f1 = 0, f2 = 0, f3 = 0;
  double d1 = 0, d2 = 0, d3 = 0;
  const uint32_t* pattern = nullptr;  // 18 ARGB values for the pattern routine: in, then out
};

struct FilterJob {
  uint32_t* pixels = nullptr;        // width * height values, written by the routine
  const uint32_t* source = nullptr;  // unchanged copy of the zone, for routines that ask for it
  int32_t width = 0;
  int32_t height = 0;
  bool zoneCoversImage = false;
  FilterParams params;
  double result = 0;  // the analyses' answer

  // 1-based coordinates inside the zone, as the routines are described.
  uint32_t& At(int32_t x, int32_t y) {
    return pixels[static_cast<ptrdiff_t>(y - 1) * width + (x - 1)];
  }
  uint32_t Source(int32_t x, int32_t y) const {
    return source[static_cast<ptrdiff_t>(y - 1) * width + (x - 1)];
  }
};

// A routine returns OK, or the failure (GenericError) that stops the engine from writing
// anything back.
using FilterRoutine = TessivoStatus (*)(FilterJob& job);

struct TableMapping;  // pixel/adjust/table_mapping.h

struct FilterDescriptor {
  int32_t code = 0;
  FilterRoutine routine = nullptr;
  bool sourceCopy = false;  // the routine reads `source`
  bool readOnly = false;    // an analysis: nothing is written back
  // On an indexed image (not 1 bpp) with a colour palette the routine maps the palette entries
  // instead of the pixels (point routines such as negative and brightness).
  bool mapsColourPalette = false;
  // Rows of context above and below a row that the routine reads, for routines that may run
  // over bands of rows instead of the whole zone at once (kWholeZone: it may not). A banded
  // routine must leave the first and last `bandReach` rows of its job unwritten, never fail,
  // and give each row a result that depends only on the rows within its reach (for in-place
  // routines: on the rows above as already replaced, the rows below as they were).
  int32_t bandReach = kWholeZone;
  static constexpr int32_t kWholeZone = -1;
  // Lookup-table adjustments: the routine's own mapping, which the engine runs directly on the
  // rows of 24- and 32-bit images instead of a 32-bit working copy of the zone.
  const TableMapping* tables = nullptr;
};

// Pixel channel helpers.
inline constexpr int kBlueByte = 0, kGreenByte = 1, kRedByte = 2, kAlphaByte = 3;
inline int Blue(uint32_t v) { return static_cast<int>(v & 0xFF); }
inline int Green(uint32_t v) { return static_cast<int>((v >> 8) & 0xFF); }
inline int Red(uint32_t v) { return static_cast<int>((v >> 16) & 0xFF); }
inline int Alpha(uint32_t v) { return static_cast<int>(v >> 24); }
// `v` with its colour channels replaced (each already in 0..255); alpha kept.
inline uint32_t WithRGB(uint32_t v, int red, int green, int blue) {
  return (v & 0xFF000000u) | (static_cast<uint32_t>(red) << 16) |
         (static_cast<uint32_t>(green) << 8) | static_cast<uint32_t>(blue);
}
inline constexpr uint32_t kRGBMask = 0x00FFFFFFu;

}  // namespace tessivo
