// Vector drawing of cPDF: colours, line state and paths, one operator line each.
#include <cmath>

#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"

namespace tessivo {
namespace {

constexpr float kDegree = 3.141592f / 180.0f;
// The circle and rounded-corner control-point factor.
constexpr float kBezierFactor = 0.55f;

std::string N(float value) { return pdf::FormatRounded(value, 3); }

}  // namespace

std::string cPDF::ColourComponents(int32_t colour, bool& grey) const {
  grey = colour <= 0 && colour >= -255;
  if (grey) return N(static_cast<float>(-colour) / 255.0f);
  // Truncating division, remainder with the sign of the dividend.
  const int32_t r = colour % 256, g = (colour / 256) % 256, b = (colour / 65536) % 256;
  return N(static_cast<float>(r) / 255.0f) + " " + N(static_cast<float>(g) / 255.0f) + " " +
         N(static_cast<float>(b) / 255.0f);
}

void cPDF::SetColorStroke(int32_t colour) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  bool grey;
  std::string c = ColourComponents(colour, grey);
  AppendContent(c + (grey ? " G" : " RG"));
}

void cPDF::SetColorFill(int32_t colour) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  bool grey;
  std::string c = ColourComponents(colour, grey);
  AppendContent(c + (grey ? " g" : " rg"));
}

void cPDF::SetLineWidth(float width) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(N(width) + " w");
}

void cPDF::SetLineCap(int32_t cap) {
  if (cap < 0 || cap > 2 || !PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(std::to_string(cap) + " J");
}

void cPDF::SetLineJoin(int32_t join) {
  if (join < 0 || join > 2 || !PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(std::to_string(join) + " j");
}

void cPDF::SetDash(float on, float off) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  if (on == 0 && off == 0) AppendContent("[ ] 0 d");
  else AppendContent("[" + N(on) + " " + N(off) + "] 0 d");
}

void cPDF::Paint(int32_t flags) {
  switch (flags & 7) {
    case 7: AppendContent("b"); break;
    case 5: AppendContent("B"); break;
    case 4:
    case 6: AppendContent("f"); break;
    case 3: AppendContent("h"); AppendContent("S"); break;
    case 2: AppendContent("h"); break;
    case 1: AppendContent("S"); break;
    default: break;
  }
}

void cPDF::MoveTo(float x, float y) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(N(x) + " " + N(y) + " m");
}

void cPDF::LineTo(float x, float y, int32_t flags) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(N(x) + " " + N(y) + " l");
  Paint(flags);
}

void cPDF::Curve(float x1, float y1, float x2, float y2, float x3, float y3, int32_t flags) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(N(x1) + " " + N(y1) + " " + N(x2) + " " + N(y2) + " " + N(x3) + " " + N(y3) + " c");
  Paint(flags);
}

void cPDF::Rectangle(float x, float y, float width, float height, int32_t flags, float radius) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent("n");
  if (!(radius > 0)) {
    AppendContent(N(x) + " " + N(y) + " " + N(width) + " " + N(height) + " re");
    Paint(flags);
    return;
  }
  float r = radius;
  if (r > width / 2) r = width / 2;
  if (r > height / 2) r = height / 2;
  const float k = kBezierFactor * r, w = width, h = height;
  MoveTo(x + r, y);
  LineTo(x + w - r, y, 0);
  Curve(x + w - r + k, y, x + w, y + r - k, x + w, y + r, 0);
  LineTo(x + w, y + h - r, 0);
  Curve(x + w, y + h - r + k, x + w - r + k, y + h, x + w - r, y + h, 0);
  LineTo(x + r, y + h, 0);
  Curve(x + r - k, y + h, x, y + h - r + k, x, y + h - r, 0);
  LineTo(x, y + r, 0);
  Curve(x, y + r - k, x + r - k, y, x + r, y, 0);
  Paint(flags);
}

void cPDF::DrawCircle(float x, float y, float r, int32_t flags) {
  if (!PdfGetNativePdf()) return;
  const float k = kBezierFactor * r;
  MoveTo(x, y - r);
  Curve(x + k, y - r, x + r, y - k, x + r, y, 0);
  Curve(x + r, y + k, x + k, y + r, x, y + r, 0);
  Curve(x - k, y + r, x - r, y + k, x - r, y, 0);
  Curve(x - r, y - k, x - k, y - r, x, y - r, 0);
  Paint(flags);
}

void cPDF::Arc(float x, float y, float radius, float startAngle, float endAngle, float ratio,
               bool pie, float rotation, float step, int32_t flags) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  if ((flags & 4) != 0) pie = true;
  AppendContent("n");
  MoveTo(x, y);
  const float theta = rotation * kDegree;
  const float cosTheta = std::cos(theta), sinTheta = std::sin(theta);
  // A step of 0, a step away from the end angle, or one too small to advance the angle would
  // never end: such arcs have only their centre.
  if (std::isfinite(step) && std::isfinite(startAngle) && std::isfinite(endAngle) && step != 0) {
    bool first = true;
    // A bound on the points keeps a hostile step from exhausting memory.
    constexpr int kMaxPoints = 1 << 20;
    int points = 0;
    for (float t = startAngle; (step > 0 ? t <= endAngle : t >= endAngle) && points < kMaxPoints; ++points) {
      const float px = radius * std::cos(t * kDegree), py = radius * ratio * std::sin(t * kDegree);
      const float X = px * cosTheta - py * sinTheta, Y = px * sinTheta + py * cosTheta;
      if (first && !pie) MoveTo(x + X, y + Y);
      first = false;
      LineTo(x + X, y + Y, 0);
      const float next = t + step;
      if (next == t) break;
      t = next;
    }
  }
  if (pie) LineTo(x, y, 0);
  Paint(flags);
}

}  // namespace tessivo
