// cImaging: drawing shapes on the native image through a graphics surface.
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/draw_surface.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::GraphicsPath;
using platform::PointF;

uint32_t Argb(int32_t color) { return static_cast<uint32_t>(color); }

platform::Pen MakePen(int32_t width, int32_t color) {
  platform::Pen pen;
  pen.argb = Argb(color);
  pen.width = static_cast<float>(width);
  return pen;
}

TessivoStatus Stroke(ImagingState& state, bool antiAlias, const platform::Pen& pen, const GraphicsPath& path) {
  return WithSurface(state, antiAlias, [&](platform::Graphics& g) { return g.DrawPath(pen, path); });
}

TessivoStatus Fill(ImagingState& state, bool antiAlias, int32_t color, const GraphicsPath& path) {
  return WithSurface(state, antiAlias,
                     [&](platform::Graphics& g) { return g.FillPath(platform::SolidBrush{Argb(color)}, path); });
}

// The points of a 1-D array of x, y pairs; false for another shape or too few points.
bool ReadPoints(const SafeArray<int32_t>& array, size_t minPoints, std::vector<PointF>& points) {
  if (array.dims() != 1 || array.size() % 2 != 0 || array.size() / 2 < minPoints) return false;
  points.clear();
  for (size_t i = 0; i < array.size(); i += 2) points.push_back({double(array.data()[i]), double(array.data()[i + 1])});
  return true;
}

bool Finite(float v) { return std::isfinite(v); }

TessivoStatus Reject(ImagingState& state) { return RejectDraw(state); }

GraphicsPath Arc(int32_t l, int32_t t, int32_t w, int32_t h, float start, float sweep, bool pie) {
  GraphicsPath path;
  if (pie)
    path.AddPie(l, t, w, h, start, sweep);
  else
    path.AddArc(l, t, w, h, start, sweep);
  return path;
}

}  // namespace

TessivoStatus cImaging::DrawLine(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                                 int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddLine({double(nX1), double(nY1)}, {double(nX2), double(nY2)});
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawLineArrow(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                                      int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddLine({double(nX1), double(nY1)}, {double(nX2), double(nY2)});
  platform::Pen pen = MakePen(nPenWidth, nColorARGB);
  pen.endCap = platform::LineCap::ArrowAnchor;
  return Stroke(State(), bAntiAlias, pen, path);
}

// The pen blends from the start colour at `from` to the end colour at `to`; when the two
// points coincide there is no direction and the line takes the start colour.
platform::Pen GradientPen(int32_t width, PointF from, PointF to, int32_t startColor, int32_t endColor) {
  platform::Pen pen = MakePen(width, startColor);
  if (from.x != to.x || from.y != to.y) pen.gradient = platform::LinearGradient{from, to, Argb(startColor), Argb(endColor)};
  return pen;
}

TessivoStatus cImaging::DrawGradientLine(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                                         int32_t nStartColorARGB, int32_t nEndColorARGB, bool bAntiAlias) {
  const PointF a{double(nX1), double(nY1)}, b{double(nX2), double(nY2)};
  GraphicsPath path;
  path.AddLine(a, b);
  return Stroke(State(), bAntiAlias, GradientPen(nPenWidth, a, b, nStartColorARGB, nEndColorARGB), path);
}

TessivoStatus cImaging::DrawGradientCurves(const SafeArray<int32_t>& arPoints, int32_t nPenWidth,
                                           int32_t nStartColorARGB, int32_t nEndColorARGB, bool bAntiAlias) {
  std::vector<PointF> points;
  if (!ReadPoints(arPoints, 2, points)) return Reject(State());
  GraphicsPath path;
  path.AddCurve(points, 0.5);
  return Stroke(State(), bAntiAlias,
                GradientPen(nPenWidth, points.front(), points.back(), nStartColorARGB, nEndColorARGB), path);
}

TessivoStatus cImaging::DrawGrid(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                 int32_t nHorizontalStep, int32_t nVerticalStep, int32_t nPenWidth,
                                 int32_t nColorARGB) {
  ImagingState& state = State();
  if (nHorizontalStep < 1 || nVerticalStep < 1) return Reject(state);
  return WithSurface(state, false, [&](platform::Graphics& g) {
    // Only lines within reach of the image are built, so huge rectangles cost nothing.
    TessivoStatus failure = OK;
    const platform::Bitmap& image = *NativeBitmap(state, failure);
    const int64_t reach = std::max<int64_t>(1, nPenWidth);
    const int64_t left = std::min<int64_t>(nLeft, int64_t{nLeft} + nWidth);
    const int64_t right = std::max<int64_t>(nLeft, int64_t{nLeft} + nWidth);
    const int64_t top = std::min<int64_t>(nTop, int64_t{nTop} + nHeight);
    const int64_t bottom = std::max<int64_t>(nTop, int64_t{nTop} + nHeight);
    GraphicsPath path;
    auto lines = [&](int64_t from, int64_t to, int64_t step, int64_t extent, auto&& add) {
      int64_t k = std::max<int64_t>(0, (-reach - from + step - 1) / step);
      for (int64_t v = from + k * step; v <= to && v <= extent + reach; v += step) add(static_cast<double>(v));
    };
    // Line ends are cut to the image too, keeping coordinates within the rasteriser's range.
    const double y0 = double(std::max<int64_t>(top, -reach)), y1 = double(std::min<int64_t>(bottom, image.Height() + reach));
    const double x0 = double(std::max<int64_t>(left, -reach)), x1 = double(std::min<int64_t>(right, image.Width() + reach));
    if (top - reach <= image.Height() && bottom + reach >= 0)
      lines(left, right, nHorizontalStep, image.Width(), [&](double x) { path.AddLine({x, y0}, {x, y1}); });
    if (left - reach <= image.Width() && right + reach >= 0)
      lines(top, bottom, nVerticalStep, image.Height(), [&](double y) { path.AddLine({x0, y}, {x1, y}); });
    return g.DrawPath(MakePen(nPenWidth, nColorARGB), path);
  });
}

TessivoStatus cImaging::DrawArc(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nStartAngle,
                                float nSweepAngle, int32_t nPenWidth, int32_t nColorARGB, bool bAntiAlias) {
  if (!Finite(nStartAngle) || !Finite(nSweepAngle)) return Reject(State());
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB),
                Arc(nLeft, nTop, nWidth, nHeight, nStartAngle, nSweepAngle, false));
}

TessivoStatus cImaging::DrawPie(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nStartAngle,
                                float nSweepAngle, int32_t nPenWidth, int32_t nColorARGB, bool bAntiAlias) {
  if (!Finite(nStartAngle) || !Finite(nSweepAngle)) return Reject(State());
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB),
                Arc(nLeft, nTop, nWidth, nHeight, nStartAngle, nSweepAngle, true));
}

TessivoStatus cImaging::DrawFillPie(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nStartAngle,
                                    float nSweepAngle, int32_t nColorARGB, bool bAntiAlias) {
  if (!Finite(nStartAngle) || !Finite(nSweepAngle)) return Reject(State());
  return Fill(State(), bAntiAlias, nColorARGB, Arc(nLeft, nTop, nWidth, nHeight, nStartAngle, nSweepAngle, true));
}

TessivoStatus cImaging::DrawBezier(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nX3, int32_t nY3,
                                   int32_t nX4, int32_t nY4, int32_t nPenWidth, int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddBezier({double(nX1), double(nY1)}, {double(nX2), double(nY2)}, {double(nX3), double(nY3)},
                 {double(nX4), double(nY4)});
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawCurves(const SafeArray<int32_t>& arPoints, int32_t nPenWidth, int32_t nColorARGB,
                                   bool bAntiAlias) {
  std::vector<PointF> points;
  if (!ReadPoints(arPoints, 2, points)) return Reject(State());
  GraphicsPath path;
  path.AddCurve(points, 0.5);
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawClosedCurves(const SafeArray<int32_t>& arPoints, int32_t nPenWidth, int32_t nColorARGB,
                                         bool bAntiAlias) {
  std::vector<PointF> points;
  if (!ReadPoints(arPoints, 3, points)) return Reject(State());
  GraphicsPath path;
  path.AddClosedCurve(points, 0.5);
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawFillClosedCurves(const SafeArray<int32_t>& arPoints, float nTension, FillMode nFillMode,
                                             int32_t nColorARGB, bool bAntiAlias) {
  std::vector<PointF> points;
  if (!ReadPoints(arPoints, 3, points) || !Finite(nTension) ||
      (nFillMode != FillModeAlternate && nFillMode != FillModeWinding))
    return Reject(State());
  GraphicsPath path(static_cast<platform::FillMode>(nFillMode));
  path.AddClosedCurve(points, nTension);
  return Fill(State(), bAntiAlias, nColorARGB, path);
}

TessivoStatus cImaging::DrawPolygon(const SafeArray<int32_t>& arPoints, int32_t nPenWidth, int32_t nColorARGB,
                                    bool bAntiAlias) {
  std::vector<PointF> points;
  if (!ReadPoints(arPoints, 3, points)) return Reject(State());
  GraphicsPath path;
  path.AddPolygon(points);
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawFillPolygon(const SafeArray<int32_t>& arPoints, FillMode nFillMode, int32_t nColorARGB,
                                        bool bAntiAlias) {
  std::vector<PointF> points;
  if (!ReadPoints(arPoints, 3, points) || (nFillMode != FillModeAlternate && nFillMode != FillModeWinding))
    return Reject(State());
  GraphicsPath path(static_cast<platform::FillMode>(nFillMode));
  path.AddPolygon(points);
  return Fill(State(), bAntiAlias, nColorARGB, path);
}

TessivoStatus cImaging::DrawRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, int32_t nPenWidth,
                                      int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddRectangle(nLeft, nTop, nWidth, nHeight);
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawFillRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                          int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddRectangle(nLeft, nTop, nWidth, nHeight);
  return Fill(State(), bAntiAlias, nColorARGB, path);
}

namespace {

// The world is turned by the angle about the origin, and the corner mapped back so that it
// stays at (left, top) on the image.
template <typename Draw>
TessivoStatus Rotated(ImagingState& state, bool antiAlias, int32_t left, int32_t top, float angle, Draw&& draw) {
  if (!std::isfinite(angle)) return Reject(state);
  return WithSurface(state, antiAlias, [&](platform::Graphics& g) {
    const platform::Status s = g.RotateTransform(angle, platform::MatrixOrder::Append);
    if (s != platform::Status::Ok) return s;
    return draw(g, g.DeviceToWorld({double(left), double(top)}));
  });
}

}  // namespace

TessivoStatus cImaging::DrawRotatedRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                             float nAngle, int32_t nPenWidth, int32_t nColorARGB, bool bAntiAlias) {
  return Rotated(State(), bAntiAlias, nLeft, nTop, nAngle, [&](platform::Graphics& g, PointF corner) {
    GraphicsPath path;
    path.AddRectangle(corner.x, corner.y, nWidth, nHeight);
    return g.DrawPath(MakePen(nPenWidth, nColorARGB), path);
  });
}

TessivoStatus cImaging::DrawRotatedFillRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                                 float nAngle, int32_t nColorARGB, bool bAntiAlias) {
  return Rotated(State(), bAntiAlias, nLeft, nTop, nAngle, [&](platform::Graphics& g, PointF corner) {
    GraphicsPath path;
    path.AddRectangle(corner.x, corner.y, nWidth, nHeight);
    return g.FillPath(platform::SolidBrush{Argb(nColorARGB)}, path);
  });
}

TessivoStatus cImaging::DrawRoundedRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                             int32_t nRadius, int32_t nPenWidth, int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddRoundedRectangle(nLeft, nTop, nWidth, nHeight, nRadius);
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawFillRoundedRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                                 int32_t nRadius, int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddRoundedRectangle(nLeft, nTop, nWidth, nHeight, nRadius);
  return Fill(State(), bAntiAlias, nColorARGB, path);
}

TessivoStatus cImaging::DrawCircle(int32_t nLeft, int32_t nTop, int32_t nDiameter, int32_t nColorARGB,
                                   int32_t nPenWidth, bool bAntiAlias) {
  return DrawEllipse(nLeft, nTop, nDiameter, nDiameter, nColorARGB, nPenWidth, bAntiAlias);
}

TessivoStatus cImaging::DrawFillCircle(int32_t nLeft, int32_t nTop, int32_t nDiameter, int32_t nColorARGB,
                                       bool bAntiAlias) {
  return DrawFillEllipse(nLeft, nTop, nDiameter, nDiameter, nColorARGB, bAntiAlias);
}

TessivoStatus cImaging::DrawEllipse(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, int32_t nColorARGB,
                                    int32_t nPenWidth, bool bAntiAlias) {
  GraphicsPath path;
  path.AddEllipse(nLeft, nTop, nWidth, nHeight);
  return Stroke(State(), bAntiAlias, MakePen(nPenWidth, nColorARGB), path);
}

TessivoStatus cImaging::DrawFillEllipse(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                        int32_t nColorARGB, bool bAntiAlias) {
  GraphicsPath path;
  path.AddEllipse(nLeft, nTop, nWidth, nHeight);
  return Fill(State(), bAntiAlias, nColorARGB, path);
}

}  // namespace tessivo

namespace tessivo {

TessivoStatus cImaging::DrawSpotLight(int32_t nLeft, int32_t nTop, int32_t nRadiusX, int32_t nRadiusY, int32_t nHotX,
                                      int32_t nHotY, int32_t nStartColorARGB, int32_t nEndColorARGB,
                                      float nFocusScale) {
  if (!std::isfinite(nFocusScale)) return Reject(State());
  const double w = 2.0 * nRadiusX, h = 2.0 * nRadiusY;
  GraphicsPath path;
  path.AddEllipse(nLeft, nTop, w, h);
  platform::EllipseGradientBrush brush;
  brush.left = nLeft;
  brush.top = nTop;
  brush.width = w;
  brush.height = h;
  brush.centre = {double(nHotX), double(nHotY)};
  brush.centreArgb = Argb(nStartColorARGB);
  brush.surroundArgb = Argb(nEndColorARGB);
  brush.focusScale = nFocusScale;
  return WithSurface(State(), true, [&](platform::Graphics& g) { return g.FillPath(brush, path); });
}

}  // namespace tessivo
