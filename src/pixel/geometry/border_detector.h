// Finding uniform borders: bands of rows and columns at the image's edges whose pixels match a
// reference colour. Used to crop scanned pages to their content, to paint their dark scanner
// frames white, or only to report where the content lies.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

struct BorderScan {
  // Least percentage (0..100) of a line's pixels that must match for the line to be border;
  // above 100 no line is border.
  int32_t confidence = 100;
  // Lines at each edge passed over before the test starts; they join the border only when at
  // least one tested line does.
  int32_t skipLines = 0;
  uint32_t reference = 0xFFFFFFFFu;  // ARGB; alpha is not compared
  // Largest |dR| + |dG| + |dB| at which a pixel still matches; 0 is exact, negative matches none.
  int32_t tolerance = 0;
};

// Thickness of the border found on each side, in pixels.
struct BorderFrame {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool Any() const { return left != 0 || top != 0 || right != 0 || bottom != 0; }
};

// Images narrower or lower than this are left alone (no border found).
inline constexpr int32_t kBorderMinimumSide = 10;

// The tolerance a confidence stands for: (100 - confidence) * 7.65 rounded down, so confidence
// 100 is exact matching and 0 lets every pixel match; held in -1..765 for any confidence.
int32_t ToleranceForConfidence(int32_t confidence);

// The colour of corner 1 top-left, 2 top-right, 3 bottom-right, 4 bottom-left (any other value:
// top-left), read as 32-bit ARGB.
platform::Status CornerColor(platform::Bitmap& image, int32_t corner, uint32_t& argb);

// Scans top, bottom, left and right edges in that order. A bottom (right) border never reaches
// into the top (left) border nor takes the last line between them, so the remaining content is
// never empty; an axis on which every tested line is border (a blank page) has no border at
// all, so such a page keeps its full size.
platform::Status FindBorders(platform::Bitmap& image, const BorderScan& scan, BorderFrame& frame);

}  // namespace tessivo
