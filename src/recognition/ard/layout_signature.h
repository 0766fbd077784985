// The layout signature of a page: a histogram of the 512 dark/light patterns of its 3 x 3
// pixel cells, and how much ink the cells hold overall and in the top fifth of the page.
#pragma once
#include <array>
#include <cstdint>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo::recognition {

inline constexpr int kPatternCount = 512;

struct LayoutSignature {
  std::array<int32_t, kPatternCount> counters{};
  int32_t ink = 0;     // dark pixels in the sampled cells
  int32_t topInk = 0;  // dark pixels of cells whose centre row lies in the top 20 %
};

// How a pixel counts as dark: exactly opaque black (pages of 1 bit per pixel), or red, green
// and blue all below 127 (everything else).
enum class InkRule { Bitonal, Color };

// The rule for `image`: bitonal for 1 bit per pixel.
InkRule InkRuleFor(const platform::Bitmap& image);

// Visits the non-overlapping 3 x 3 cells whose centres are at columns and rows 1, 4, 7, ...
// (a remainder of one or two columns or rows at the right and bottom is left out), adding the
// 9-bit pattern of each (top-left 256 ... bottom-right 1) to the histogram. An image narrower
// or lower than one pixel leaves `out` cleared. The status is that of reading the pixels.
TessivoStatus ComputeSignature(platform::Bitmap& image, InkRule rule, LayoutSignature& out);

}  // namespace tessivo::recognition
