#include "print/print_layout.h"

#include <algorithm>
#include <cmath>

namespace tessivo::print {
namespace {

// Lengths past this (100 m) are no sheet's business; refusing them keeps the arithmetic finite.
constexpr double kMaxLength = 100000;

bool Acceptable(double v) { return std::isfinite(v) && v >= 0 && v <= kMaxLength; }

void Fit(double& w, double& h, double aw, double ah) {
  const double factor = aw / ah <= w / h ? aw / w : ah / h;
  w *= factor;
  h *= factor;
}

// Reduces an image that does not fit the area: the side chosen by how far each exceeds goes to
// the area first; if the other side still sticks out, both shrink further so that all fits.
void Shrink(double& w, double& h, double aw, double ah) {
  const bool wideOver = w > aw, tallOver = h > ah;
  if (!wideOver && !tallOver) return;
  const bool byHeight = wideOver && tallOver ? (w - aw) < (h - ah) : tallOver;
  const double factor = byHeight ? ah / h : aw / w;
  w *= factor;
  h *= factor;
  if (w > aw || h > ah) {
    const double more = std::min(aw / w, ah / h);
    w *= more;
    h *= more;
  }
}

double WholeMm(double v) { return std::nearbyint(v); }

}  // namespace

double NaturalLength(int32_t pixels, float dpi) {
  const double d = std::isfinite(dpi) && dpi > 0 ? dpi : 72.0;
  return pixels / d * 25.4;
}

LayoutResult Layout(const LayoutRequest& r, const Sheet& sheet, Placement& out) {
  out = Placement{};
  if (r.pixelWidth <= 0 || r.pixelHeight <= 0) return LayoutResult::InvalidInput;
  if (!Acceptable(r.left) || !Acceptable(r.top) || !Acceptable(r.width) || !Acceptable(r.height))
    return LayoutResult::InvalidInput;
  if (!(sheet.width > 0) || !(sheet.height > 0) || !Acceptable(sheet.width) || !Acceptable(sheet.height) ||
      !Acceptable(sheet.leftMargin) || !Acceptable(sheet.topMargin))
    return LayoutResult::InvalidInput;
  const double aw = sheet.areaWidth(), ah = sheet.areaHeight();
  if ((r.fit || r.shrink) && (!(aw > 0) || !(ah > 0))) return LayoutResult::NoPrintableArea;

  double w = r.width, h = r.height;
  if (w <= 0 || h <= 0) {
    w = NaturalLength(r.pixelWidth, r.dpiX);
    h = NaturalLength(r.pixelHeight, r.dpiY);
  }
  if (r.fit) Fit(w, h, aw, ah);
  else if (r.shrink) Shrink(w, h, aw, ah);

  if (r.autoRotation && std::floor(h / w) != std::floor(sheet.height / sheet.width) &&
      (w > sheet.width || h > sheet.height)) {
    std::swap(w, h);
    out.rotate270 = true;
  }

  // Offsets of the printable area (given positions) and of the alignment's reference area.
  const double refX = r.fit ? sheet.leftMargin : 0, refY = r.fit ? sheet.topMargin : 0;
  const double refW = r.fit ? aw : sheet.width, refH = r.fit ? ah : sheet.height;
  double x = sheet.leftMargin + r.left, y = sheet.topMargin + r.top;
  switch (r.alignment) {
    case 1: case 5: case 8: x = refX + refW - w; break;
    case 2: case 6: case 9: x = refX + (refW - w) / 2; break;
    default: break;
  }
  switch (r.alignment) {
    case 0: case 1: case 2: y = refY + (refH - h) / 2; break;
    case 7: case 8: case 9: y = refY + refH - h; break;
    default: break;
  }
  out.x = WholeMm(x);
  out.y = WholeMm(y);
  out.width = std::max(1.0, WholeMm(w));
  out.height = std::max(1.0, WholeMm(h));
  return LayoutResult::Ok;
}

}  // namespace tessivo::print
