// Painting a module string onto a graphics surface: every run of bar modules is one filled
// rectangle, without anti-aliasing; spaces advance the pen. "-" and "+" lower and raise the
// height of the bars that follow by `heightStep`. No quiet zone is added.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/graphics/graphics.h"

namespace tessivo::barcode {

struct SymbolPlacement {
  int64_t left = 0, top = 0;  // 64-bit, so positions far along a long symbol stay exact
  int32_t barHeight = 1;
  int32_t moduleWidth = 1;
  int32_t heightStep = 0;
  uint32_t argb = 0xFF000000u;
};

// The bars are filled as one shape, so a failure draws none of them. Only bars that meet the
// `surfaceWidth` × `surfaceHeight` image are given to the rasteriser (cut to just beyond its
// edges, which changes no pixel), so symbols of any length and position are cheap.
platform::Status PaintModules(platform::Graphics& g, std::string_view modules, const SymbolPlacement& at,
                              int32_t surfaceWidth, int32_t surfaceHeight);

// The same bars written straight into the pixels, for an opaque colour on a 24-bit or 32-bit
// (ARGB, PARGB) image: exactly the pixels PaintModules sets, at a fraction of its cost. Returns
// false, having written nothing, for any other colour or format.
bool PaintModulesInPlace(platform::Bitmap& image, std::string_view modules, const SymbolPlacement& at);

}  // namespace tessivo::barcode
