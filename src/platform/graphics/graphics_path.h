// GraphicsPath: figures of straight and cubic Bézier segments in world coordinates, with the
// fill mode used when the path is filled. The shape builders follow the platform's geometry:
//
// - Arcs and pies take geometric angles in degrees: the angle is that of the ray from the
//   ellipse's centre to the point, measured clockwise on the image from the positive x axis
//   (not the ellipse's parametric angle). Sweeps beyond ±360 degrees are clamped to a full turn.
// - Cardinal splines pass through every point; the Bézier controls around point i are
//   Pᵢ ± t·(Pᵢ₊₁ − Pᵢ₋₁)/3 (t = tension, 0.5 by default; 0 gives the polygon). Open curves
//   repeat their end points for the missing neighbours, closed curves wrap around.
// - Rounded rectangles clamp the radius to 0..min(|w|, |h|)/2; 0 gives a plain rectangle.
// - Negative widths and heights extend to the left of or above the given corner.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/matrix.h"

namespace tessivo::platform {

enum class FillMode : int32_t { Alternate = 0, Winding = 1 };

class GraphicsPath {
 public:
  struct Segment {
    bool curve = false;  // false: line to `to`; true: cubic Bézier through c1, c2 to `to`
    PointF c1, c2, to;
  };
  struct Figure {
    PointF start;
    std::vector<Segment> segments;
    bool closed = false;
  };

  explicit GraphicsPath(FillMode mode = FillMode::Alternate) : fillMode_(mode) {}

  FillMode GetFillMode() const { return fillMode_; }
  void SetFillMode(FillMode mode) { fillMode_ = mode; }
  const std::vector<Figure>& Figures() const { return figures_; }
  bool Empty() const { return figures_.empty(); }

  // Low-level building: a new figure at `p`, then segments appended to it.
  void StartFigure(PointF p);
  void LineTo(PointF p);
  void BezierTo(PointF c1, PointF c2, PointF to);
  void CloseFigure();

  // Shapes; each adds figures of its own (open ones stay open).
  void AddLine(PointF a, PointF b);
  void AddBezier(PointF p1, PointF c1, PointF c2, PointF p2);
  void AddArc(double x, double y, double w, double h, double startDeg, double sweepDeg);
  void AddPie(double x, double y, double w, double h, double startDeg, double sweepDeg);
  void AddEllipse(double x, double y, double w, double h);
  void AddRectangle(double x, double y, double w, double h);
  void AddRoundedRectangle(double x, double y, double w, double h, double radius);
  void AddPolygon(std::span<const PointF> points);
  void AddCurve(std::span<const PointF> points, double tension);
  void AddClosedCurve(std::span<const PointF> points, double tension);

  // Every point of the path (ends and controls); the curve lies in their hull.
  template <typename F>
  void ForEachPoint(F&& f) const {
    for (const Figure& fig : figures_) {
      f(fig.start);
      for (const Segment& s : fig.segments) {
        if (s.curve) {
          f(s.c1);
          f(s.c2);
        }
        f(s.to);
      }
    }
  }

 private:
  // Appends the elliptic arc of centre (cx, cy) and radii (rx, ry) from parametric angle t0 to t1
  // (radians) to the current figure, as Bézier pieces of at most a quarter turn.
  void ArcSegments(double cx, double cy, double rx, double ry, double t0, double t1);

  std::vector<Figure> figures_;
  FillMode fillMode_;
};

// The parametric angle (radians) of the point of an ellipse with radii rx, ry that lies on the
// ray at geometric angle `degrees`; full turns are kept, so the mapping is monotonic.
double ParametricAngle(double degrees, double rx, double ry);

}  // namespace tessivo::platform
