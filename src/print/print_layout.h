// Where and how large an image lands on a printed sheet. All lengths are millimetres.
//
// The sheet has a printable area inset by the left margin on both sides and by the top margin
// at top and bottom. Positions given by the caller are measured from the printable area's
// top-left corner (the origin a printer draws from). An axis placed by the alignment is
// measured in the reference area instead: the printable area when fitting, else the sheet.
#pragma once
#include <cstdint>

namespace tessivo::print {

struct Sheet {
  double width = 0, height = 0;            // as oriented for the job
  double leftMargin = 0, topMargin = 0;
  double areaWidth() const { return width - 2 * leftMargin; }
  double areaHeight() const { return height - 2 * topMargin; }
};

struct LayoutRequest {
  int32_t pixelWidth = 0, pixelHeight = 0;
  float dpiX = 0, dpiY = 0;                // 0, negative or non-finite: 72 dpi
  double left = 0, top = 0, width = 0, height = 0;  // width or height 0: natural size
  bool shrink = false, fit = false;
  int32_t alignment = 3;                   // ViewerImageAlignment, 3: the given position
  bool autoRotation = false;
};

struct Placement {
  double x = 0, y = 0, width = 0, height = 0;  // on the sheet, from its top-left corner
  bool rotate270 = false;                      // print a copy turned by 270 degrees
};

enum class LayoutResult { Ok, InvalidInput, NoPrintableArea };

// Natural size of one axis: pixels / dpi * 25.4, with 72 dpi for a missing resolution.
double NaturalLength(int32_t pixels, float dpi);

// Negative or non-finite positions and sizes, images without pixels and (when fitting or
// shrinking) a printable area without extent are refused. Sizes and positions are rounded to
// whole millimetres as the printer draws them, sizes to at least 1 mm.
LayoutResult Layout(const LayoutRequest& request, const Sheet& sheet, Placement& out);

}  // namespace tessivo::print
