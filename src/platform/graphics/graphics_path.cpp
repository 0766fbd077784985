#include "platform/graphics/graphics_path.h"

#include <algorithm>
#include <cmath>

namespace tessivo::platform {

void GraphicsPath::StartFigure(PointF p) { figures_.push_back(Figure{p, {}, false}); }

void GraphicsPath::LineTo(PointF p) {
  if (figures_.empty() || figures_.back().closed) StartFigure(p);
  figures_.back().segments.push_back(Segment{false, {}, {}, p});
}

void GraphicsPath::BezierTo(PointF c1, PointF c2, PointF to) {
  if (figures_.empty() || figures_.back().closed) StartFigure(c1);
  figures_.back().segments.push_back(Segment{true, c1, c2, to});
}

void GraphicsPath::CloseFigure() {
  if (!figures_.empty()) figures_.back().closed = true;
}

void GraphicsPath::AddLine(PointF a, PointF b) {
  StartFigure(a);
  LineTo(b);
}

void GraphicsPath::AddBezier(PointF p1, PointF c1, PointF c2, PointF p2) {
  StartFigure(p1);
  BezierTo(c1, c2, p2);
}

double ParametricAngle(double degrees, double rx, double ry) {
  const double theta = degrees * (M_PI / 180.0);
  const double s = std::sin(theta), c = std::cos(theta);
  double delta = std::atan2(rx * s, ry * c) - std::atan2(s, c);
  // Both angles lie in the same quadrant, so the difference is below a quarter turn, except
  // across the branch cut at ±π.
  if (delta > M_PI) delta -= 2 * M_PI;
  if (delta < -M_PI) delta += 2 * M_PI;
  return theta + delta;
}

void GraphicsPath::ArcSegments(double cx, double cy, double rx, double ry, double t0, double t1) {
  const double total = t1 - t0;
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(total) / (M_PI / 2) - 1e-9)));
  const double step = total / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4);
  double t = t0;
  for (int i = 0; i < pieces; ++i) {
    const double u = (i + 1 == pieces) ? t1 : t + step;
    const double c0 = std::cos(t), s0 = std::sin(t), c1 = std::cos(u), s1 = std::sin(u);
    BezierTo({cx + rx * (c0 - k * s0), cy + ry * (s0 + k * c0)},
             {cx + rx * (c1 + k * s1), cy + ry * (s1 - k * c1)}, {cx + rx * c1, cy + ry * s1});
    t = u;
  }
}

namespace {
double ClampSweep(double sweep) { return std::clamp(sweep, -360.0, 360.0); }
}  // namespace

void GraphicsPath::AddArc(double x, double y, double w, double h, double startDeg, double sweepDeg) {
  const double rx = std::fabs(w) / 2, ry = std::fabs(h) / 2;
  const double cx = x + w / 2, cy = y + h / 2;
  sweepDeg = ClampSweep(sweepDeg);
  const double t0 = ParametricAngle(startDeg, rx, ry);
  const double t1 = ParametricAngle(startDeg + sweepDeg, rx, ry);
  StartFigure({cx + rx * std::cos(t0), cy + ry * std::sin(t0)});
  if (sweepDeg != 0) ArcSegments(cx, cy, rx, ry, t0, t1);
}

void GraphicsPath::AddPie(double x, double y, double w, double h, double startDeg, double sweepDeg) {
  const double rx = std::fabs(w) / 2, ry = std::fabs(h) / 2;
  const double cx = x + w / 2, cy = y + h / 2;
  sweepDeg = ClampSweep(sweepDeg);
  const double t0 = ParametricAngle(startDeg, rx, ry);
  const double t1 = ParametricAngle(startDeg + sweepDeg, rx, ry);
  StartFigure({cx, cy});
  LineTo({cx + rx * std::cos(t0), cy + ry * std::sin(t0)});
  if (sweepDeg != 0) ArcSegments(cx, cy, rx, ry, t0, t1);
  CloseFigure();
}

void GraphicsPath::AddEllipse(double x, double y, double w, double h) {
  const double rx = std::fabs(w) / 2, ry = std::fabs(h) / 2;
  const double cx = x + w / 2, cy = y + h / 2;
  StartFigure({cx + rx, cy});
  ArcSegments(cx, cy, rx, ry, 0, 2 * M_PI);
  CloseFigure();
}

void GraphicsPath::AddRectangle(double x, double y, double w, double h) {
  StartFigure({x, y});
  LineTo({x + w, y});
  LineTo({x + w, y + h});
  LineTo({x, y + h});
  CloseFigure();
}

void GraphicsPath::AddRoundedRectangle(double x, double y, double w, double h, double radius) {
  const double left = std::min(x, x + w), top = std::min(y, y + h);
  const double width = std::fabs(w), height = std::fabs(h);
  const double r = std::clamp(radius, 0.0, std::min(width, height) / 2);
  if (!(r > 0)) {
    AddRectangle(left, top, width, height);
    return;
  }
  const double right = left + width, bottom = top + height;
  StartFigure({left + r, top});
  LineTo({right - r, top});
  ArcSegments(right - r, top + r, r, r, -M_PI / 2, 0);
  LineTo({right, bottom - r});
  ArcSegments(right - r, bottom - r, r, r, 0, M_PI / 2);
  LineTo({left + r, bottom});
  ArcSegments(left + r, bottom - r, r, r, M_PI / 2, M_PI);
  LineTo({left, top + r});
  ArcSegments(left + r, top + r, r, r, M_PI, 3 * M_PI / 2);
  CloseFigure();
}

void GraphicsPath::AddPolygon(std::span<const PointF> points) {
  if (points.empty()) return;
  StartFigure(points[0]);
  for (size_t i = 1; i < points.size(); ++i) LineTo(points[i]);
  CloseFigure();
}

namespace {

// Bézier segments of a cardinal spline through `p`; `closed` wraps the neighbours around.
template <typename AddSegment>
void CardinalSegments(std::span<const PointF> p, double tension, bool closed, AddSegment&& add) {
  const size_t n = p.size();
  const double k = tension / 3.0;
  auto at = [&](ptrdiff_t i) -> PointF {
    if (closed) return p[static_cast<size_t>((i % static_cast<ptrdiff_t>(n) + n) % n)];
    return p[static_cast<size_t>(std::clamp<ptrdiff_t>(i, 0, static_cast<ptrdiff_t>(n) - 1))];
  };
  const size_t count = closed ? n : n - 1;
  for (size_t s = 0; s < count; ++s) {
    const auto i = static_cast<ptrdiff_t>(s);
    const PointF a = at(i), b = at(i + 1), before = at(i - 1), after = at(i + 2);
    add(PointF{a.x + k * (b.x - before.x), a.y + k * (b.y - before.y)},
        PointF{b.x - k * (after.x - a.x), b.y - k * (after.y - a.y)}, b);
  }
}

}  // namespace

void GraphicsPath::AddCurve(std::span<const PointF> points, double tension) {
  if (points.size() < 2) return;
  StartFigure(points[0]);
  CardinalSegments(points, tension, false, [&](PointF c1, PointF c2, PointF to) { BezierTo(c1, c2, to); });
}

void GraphicsPath::AddClosedCurve(std::span<const PointF> points, double tension) {
  if (points.size() < 2) return;
  StartFigure(points[0]);
  CardinalSegments(points, tension, true, [&](PointF c1, PointF c2, PointF to) { BezierTo(c1, c2, to); });
  CloseFigure();
}

}  // namespace tessivo::platform
