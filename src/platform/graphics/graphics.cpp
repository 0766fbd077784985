#include "platform/graphics/graphics.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/graphics/cairo_status.h"
#include "platform/graphics/linear_gradient.h"
#include "platform/graphics/pattern_source.h"
#include "platform/graphics/tile_writer.h"
#include "platform/palette_mapper.h"
#include "platform/pixel_rows.h"

namespace tessivo::platform {

struct Graphics::Job {
  const GraphicsPath* path = nullptr;
  bool stroke = false;
  Pen pen;
  uint32_t argb = 0;
  const EllipseGradientBrush* ellipse = nullptr;
  const LinearGradient* fillGradient = nullptr;
  bool text = false;  // anti-aliased by the text rendering hint, not the smoothing mode
  const PatternSource* pattern = nullptr;  // paints instead of the colour
  const GraphicsPath* clipPath = nullptr;  // world polygon the draw stays inside
};

namespace {

// Aliased edges that fall exactly on a pixel centre are decided by this nudge: left and top
// edges inside, right and bottom edges outside.
constexpr double kEdgeNudge = 1.0 / 64;
// Joins are mitred with the platform's limit, which bounds how far a stroke reaches.
constexpr double kMiterLimit = 10.0;
constexpr double kArrowLengthInWidths = 4.0;

struct CairoSurface {
  cairo_surface_t* s = nullptr;
  ~CairoSurface() {
    if (s) cairo_surface_destroy(s);
  }
};
struct CairoContext {
  cairo_t* c = nullptr;
  ~CairoContext() {
    if (c) cairo_destroy(c);
  }
};

bool Finite(PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); }

double PenWidth(const Pen& pen) { return std::max(1.0, static_cast<double>(pen.width)); }

// The arrow heads of an open figure: the figure's end moves back into the head so the flat
// end of the line does not show past the head's sides.
struct Arrow {
  PointF tip, left, right;
};

bool Direction(PointF from, PointF to, PointF& unit) {
  const double dx = to.x - from.x, dy = to.y - from.y, len = std::hypot(dx, dy);
  if (!(len > 0)) return false;
  unit = {dx / len, dy / len};
  return true;
}

Arrow MakeArrow(PointF tip, PointF unit, double width) {
  const double length = kArrowLengthInWidths * width, half = length / 2;
  const PointF base{tip.x - unit.x * length, tip.y - unit.y * length};
  return {tip, {base.x - unit.y * half, base.y + unit.x * half}, {base.x + unit.y * half, base.y - unit.x * half}};
}

// Sends the path to Cairo, applying arrow caps; returns the arrow heads to fill.
std::vector<Arrow> EmitPath(cairo_t* cr, const GraphicsPath& path, const Pen* pen) {
  std::vector<Arrow> arrows;
  for (const GraphicsPath::Figure& fig : path.Figures()) {
    PointF start = fig.start;
    std::vector<GraphicsPath::Segment> segs = fig.segments;
    if (pen != nullptr && !fig.closed && !segs.empty()) {
      const double width = PenWidth(*pen), pull = kArrowLengthInWidths * width / 2;
      if (pen->endCap == LineCap::ArrowAnchor) {
        GraphicsPath::Segment& last = segs.back();
        const PointF from = last.curve ? last.c2 : (segs.size() > 1 ? segs[segs.size() - 2].to : start);
        PointF unit;
        if (Direction(from, last.to, unit) || Direction(start, last.to, unit)) {
          arrows.push_back(MakeArrow(last.to, unit, width));
          last.to = {last.to.x - unit.x * pull, last.to.y - unit.y * pull};
        }
      }
      if (pen->startCap == LineCap::ArrowAnchor) {
        const GraphicsPath::Segment& first = segs.front();
        const PointF toward = first.curve ? first.c1 : first.to;
        PointF unit;
        if (Direction(toward, start, unit) || Direction(segs.back().to, start, unit)) {
          arrows.push_back(MakeArrow(start, unit, width));
          start = {start.x - unit.x * pull, start.y - unit.y * pull};
        }
      }
    }
    cairo_move_to(cr, start.x, start.y);
    for (const GraphicsPath::Segment& s : segs) {
      if (s.curve)
        cairo_curve_to(cr, s.c1.x, s.c1.y, s.c2.x, s.c2.y, s.to.x, s.to.y);
      else
        cairo_line_to(cr, s.to.x, s.to.y);
    }
    if (fig.closed) cairo_close_path(cr);
  }
  return arrows;
}

cairo_line_cap_t CairoCap(LineCap cap) {
  switch (cap) {
    case LineCap::Square:
      return CAIRO_LINE_CAP_SQUARE;
    case LineCap::Round:
      return CAIRO_LINE_CAP_ROUND;
    default:
      return CAIRO_LINE_CAP_BUTT;  // triangle and arrow ends are drawn as butt plus a head
  }
}

void SetColor(cairo_t* cr, uint32_t argb, bool opaque) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        opaque ? 1.0 : (argb >> 24) / 255.0);
}

}  // namespace

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
  if (static_cast<int32_t>(mode) < 0 || static_cast<int32_t>(mode) > 4) return Status::InvalidParameter;
  smoothing_ = mode;
  return Status::Ok;
}

Status Graphics::SetPixelOffsetMode(PixelOffsetMode mode) {
  if (static_cast<int32_t>(mode) < 0 || static_cast<int32_t>(mode) > 4) return Status::InvalidParameter;
  pixelOffset_ = mode;
  return Status::Ok;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint) {
  if (static_cast<int32_t>(hint) < 0 || static_cast<int32_t>(hint) > 5) return Status::InvalidParameter;
  textHint_ = hint;
  return Status::Ok;
}

Status Graphics::SetTransform(const Matrix& m) {
  if (!m.Invertible()) return Status::InvalidParameter;
  transform_ = m;
  return Status::Ok;
}

Status Graphics::RotateTransform(double degrees, MatrixOrder order) {
  if (!std::isfinite(degrees)) return Status::InvalidParameter;
  const Matrix r = Matrix::Rotation(degrees);
  return SetTransform(order == MatrixOrder::Append ? Matrix::Then(transform_, r) : Matrix::Then(r, transform_));
}

Status Graphics::TranslateTransform(double dx, double dy, MatrixOrder order) {
  if (!std::isfinite(dx) || !std::isfinite(dy)) return Status::InvalidParameter;
  const Matrix t = Matrix::Translation(dx, dy);
  return SetTransform(order == MatrixOrder::Append ? Matrix::Then(transform_, t) : Matrix::Then(t, transform_));
}

void Graphics::IntersectClip(const Rect& r) {
  const int64_t x0 = r.x, y0 = r.y, x1 = x0 + std::max(0, r.width), y1 = y0 + std::max(0, r.height);
  int64_t cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
  if (clip_) {
    cx0 = std::max<int64_t>(cx0, clip_->x);
    cy0 = std::max<int64_t>(cy0, clip_->y);
    cx1 = std::min<int64_t>(cx1, int64_t{clip_->x} + clip_->width);
    cy1 = std::min<int64_t>(cy1, int64_t{clip_->y} + clip_->height);
  }
  clip_ = Rect{static_cast<int32_t>(cx0), static_cast<int32_t>(cy0), static_cast<int32_t>(std::max<int64_t>(0, cx1 - cx0)),
               static_cast<int32_t>(std::max<int64_t>(0, cy1 - cy0))};
}

Status Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
  if (!std::isfinite(pen.width)) return Status::InvalidParameter;
  // A gradient needs a direction.
  if (pen.gradient && (!Finite(pen.gradient->from) || !Finite(pen.gradient->to) ||
                       (pen.gradient->from.x == pen.gradient->to.x && pen.gradient->from.y == pen.gradient->to.y)))
    return Status::InvalidParameter;
  Job job;
  job.path = &path;
  job.stroke = true;
  job.pen = pen;
  job.argb = pen.argb;
  return Render(job);
}

Status Graphics::FillPath(const SolidBrush& brush, const GraphicsPath& path) {
  Job job;
  job.path = &path;
  job.argb = brush.argb;
  return Render(job);
}

namespace {

bool ValidGradient(const LinearGradient& g) {
  return Finite(g.from) && Finite(g.to) && (g.from.x != g.to.x || g.from.y != g.to.y);
}

}  // namespace

Status Graphics::FillPath(const LinearGradientBrush& brush, const GraphicsPath& path) {
  if (!ValidGradient(brush.gradient)) return Status::InvalidParameter;
  Job job;
  job.path = &path;
  job.fillGradient = &brush.gradient;
  return Render(job);
}

Status Graphics::DrawString(const TextLayout& text, const SolidBrush& brush) {
  const GraphicsPath path = text.Outline();
  Job job;
  job.path = &path;
  job.argb = brush.argb;
  job.text = true;
  return Render(job);
}

Status Graphics::DrawString(const TextLayout& text, const LinearGradientBrush& brush) {
  if (!ValidGradient(brush.gradient)) return Status::InvalidParameter;
  const GraphicsPath path = text.Outline();
  Job job;
  job.path = &path;
  job.fillGradient = &brush.gradient;
  job.text = true;
  return Render(job);
}

Status Graphics::FillPath(const EllipseGradientBrush& brush, const GraphicsPath& path) {
  if (!std::isfinite(brush.left) || !std::isfinite(brush.top) || !std::isfinite(brush.width) ||
      !std::isfinite(brush.height) || !Finite(brush.centre) || !std::isfinite(brush.focusScale))
    return Status::InvalidParameter;
  Job job;
  job.path = &path;
  job.ellipse = &brush;
  return Render(job);
}

Status Graphics::RenderPattern(const GraphicsPath& path, const PatternSource& source, const Pen* pen,
                               const GraphicsPath* clip, bool text) {
  if (clip != nullptr) {
    bool finite = true;
    clip->ForEachPoint([&](PointF p) { finite = finite && Finite(p); });
    if (!finite) return Status::InvalidParameter;
  }
  Job job;
  job.path = &path;
  job.pattern = &source;
  job.clipPath = clip;
  job.text = text;
  if (pen != nullptr) {
    if (!std::isfinite(pen->width)) return Status::InvalidParameter;
    job.stroke = true;
    job.pen = *pen;
    job.pen.gradient.reset();
  }
  job.argb = 0xFF000000u;
  return Render(job);
}

Matrix Graphics::WorldToImage() const {
  const bool halfOffset = pixelOffset_ == PixelOffsetMode::Half || pixelOffset_ == PixelOffsetMode::HighQuality;
  return Matrix::Then(transform_, Matrix::Translation(halfOffset ? 0.0 : 0.5, halfOffset ? 0.0 : 0.5));
}

namespace {

uint32_t Blend(uint32_t from, uint32_t to, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
    out |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
  }
  return out;
}

// Fills a tile-sized premultiplied surface with the ellipse gradient sampled at pixel centres.
cairo_surface_t* EllipseGradientTile(const EllipseGradientBrush& br, const Matrix& deviceToWorld, int64_t tx,
                                     int64_t ty, int32_t tw, int32_t th, double centreOffset) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, tw, th);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return s;
  cairo_surface_flush(s);
  uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const double a = std::fabs(br.width) / 2, b = std::fabs(br.height) / 2;
  const double cx = br.left + br.width / 2, cy = br.top + br.height / 2;
  const double f = std::clamp(br.focusScale, 0.0, 1.0);
  const double hx = br.centre.x - cx, hy = br.centre.y - cy;
  for (int32_t r = 0; r < th; ++r) {
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<intptr_t>(r) * stride);
    for (int32_t i = 0; i < tw; ++i) {
      const PointF p = deviceToWorld.Apply({static_cast<double>(tx + i) + 0.5 - centreOffset,
                                            static_cast<double>(ty + r) + 0.5 - centreOffset});
      const double dx = p.x - br.centre.x, dy = p.y - br.centre.y;
      double t = 1;
      if (dx == 0 && dy == 0) {
        t = 0;
      } else if (a > 0 && b > 0) {
        // Where the ray from the centre point through p leaves the ellipse (p sits at s = 1).
        const double qa = dx * dx / (a * a) + dy * dy / (b * b);
        const double qb = 2 * (hx * dx / (a * a) + hy * dy / (b * b));
        const double qc = hx * hx / (a * a) + hy * hy / (b * b) - 1;
        const double disc = qb * qb - 4 * qa * qc;
        if (disc >= 0) {
          const double edge = (-qb + std::sqrt(disc)) / (2 * qa);
          t = edge > 0 ? 1 / edge : 1;
        }
      }
      const uint32_t argb = t <= f ? br.centreArgb
                                   : Blend(br.centreArgb, br.surroundArgb, f >= 1 ? 1 : std::min(1.0, (t - f) / (1 - f)));
      out[i] = rows::Premultiply(argb);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

}  // namespace

Status Graphics::Render(const Job& job) {
  const GraphicsPath& path = *job.path;
  bool finite = true;
  path.ForEachPoint([&](PointF p) { finite = finite && Finite(p); });
  if (!finite || !transform_.Invertible()) return Status::InvalidParameter;
  if (path.Empty()) return Status::Ok;

  // Device bounding box of everything the draw can touch.
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  path.ForEachPoint([&](PointF p) {
    const PointF d = transform_.Apply(p);
    minX = std::min(minX, d.x), maxX = std::max(maxX, d.x);
    minY = std::min(minY, d.y), maxY = std::max(maxY, d.y);
  });
  const double reach =
      job.stroke ? PenWidth(job.pen) * transform_.MaxScale() * std::max(kMiterLimit / 2, kArrowLengthInWidths) : 0;
  const double margin = reach + 2;
  int64_t x0 = 0, y0 = 0, x1 = target_.Width(), y1 = target_.Height();
  if (clip_) {
    x0 = std::max<int64_t>(x0, clip_->x), y0 = std::max<int64_t>(y0, clip_->y);
    x1 = std::min<int64_t>(x1, int64_t{clip_->x} + clip_->width);
    y1 = std::min<int64_t>(y1, int64_t{clip_->y} + clip_->height);
  }
  auto clampTo = [](double v, int64_t lo, int64_t hi) {
    return static_cast<int64_t>(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi)));
  };
  const int64_t bx0 = clampTo(std::floor(minX - margin), x0, x1), bx1 = clampTo(std::ceil(maxX + margin) + 1, x0, x1);
  const int64_t by0 = clampTo(std::floor(minY - margin), y0, y1), by1 = clampTo(std::ceil(maxY + margin) + 1, y0, y1);
  if (bx0 >= bx1 || by0 >= by1) return Status::Ok;
  // Cairo holds coordinates in 24.8 fixed point: points farther than this from the drawn area
  // would wrap around, so they are refused rather than drawn wrongly.
  constexpr double kCoordinateReach = double(1 << 22);
  if (minX < bx0 - kCoordinateReach || maxX > bx0 + kCoordinateReach || minY < by0 - kCoordinateReach ||
      maxY > by0 + kCoordinateReach || reach > kCoordinateReach)
    return Status::ValueOverflow;

  const PixelFormat format = target_.Format();
  uint32_t lut[256];
  std::fill(std::begin(lut), std::end(lut), 0xFF000000u);
  const std::vector<uint32_t>& entries = target_.GetPalette().entries;
  std::unique_ptr<NearestPaletteMapper> mapper;
  if (IsIndexed(format)) {
    if (entries.empty()) return Status::WrongState;
    std::copy_n(entries.begin(), std::min<size_t>(entries.size(), 256), lut);
    mapper = std::make_unique<NearestPaletteMapper>(entries, PaletteCapacity(format));
  }

  const bool antiAlias = job.text ? textHint_ != TextRenderingHint::SingleBitPerPixel &&
                                        textHint_ != TextRenderingHint::SingleBitPerPixelGridFit
                                  : smoothing_ == SmoothingMode::AntiAlias || smoothing_ == SmoothingMode::HighQuality;
  const bool halfOffset = pixelOffset_ == PixelOffsetMode::Half || pixelOffset_ == PixelOffsetMode::HighQuality;
  const double offset = (halfOffset ? 0.0 : 0.5) - (antiAlias ? 0.0 : kEdgeNudge);
  const bool opaqueGroup = job.stroke && (job.pen.startCap == LineCap::ArrowAnchor || job.pen.endCap == LineCap::ArrowAnchor) &&
                           (job.argb >> 24) != 255;

  const LinearGradient* gradient = job.stroke && job.pen.gradient ? &*job.pen.gradient : job.fillGradient;
  // An opaque colour drawn aliased replaces what it covers: Cairo renders coverage only.
  const bool coverageOnly = !antiAlias && (job.argb >> 24) == 255 && job.ellipse == nullptr && gradient == nullptr &&
                            job.pattern == nullptr && !opaqueGroup;
  TileWriter writer(target_, lut, mapper.get());

  for (int64_t ty = by0; ty < by1; ty += kTileSize) {
    for (int64_t tx = bx0; tx < bx1; tx += kTileSize) {
      const TileArea tile{tx, ty, static_cast<int32_t>(std::min<int64_t>(kTileSize, bx1 - tx)),
                          static_cast<int32_t>(std::min<int64_t>(kTileSize, by1 - ty))};
      const int32_t tw = tile.width, th = tile.height;
      const bool lastTile = ty + kTileSize >= by1 && tx + kTileSize >= bx1;
      writer.RequestRows(tile);
      CairoSurface surface{cairo_image_surface_create(coverageOnly ? CAIRO_FORMAT_A8 : CAIRO_FORMAT_ARGB32, tw, th)};
      if (cairo_status_t st = cairo_surface_status(surface.s); st != CAIRO_STATUS_SUCCESS) {
        writer.Restore();
        return FromCairoStatus(st);
      }
      cairo_surface_flush(surface.s);
      uint8_t* data = cairo_image_surface_get_data(surface.s);
      const int cstride = cairo_image_surface_get_stride(surface.s);
      if (!coverageOnly) {
        writer.Read(tile, data, cstride);
        cairo_surface_mark_dirty(surface.s);
      }

      CairoContext cr{cairo_create(surface.s)};
      cairo_set_antialias(cr.c, antiAlias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
      cairo_set_operator(cr.c, CAIRO_OPERATOR_OVER);
      const Matrix m = Matrix::Then(transform_, Matrix::Translation(offset - static_cast<double>(tx), offset - static_cast<double>(ty)));
      cairo_matrix_t cm;
      cairo_matrix_init(&cm, m.a, m.b, m.c, m.d, m.e, m.f);
      cairo_set_matrix(cr.c, &cm);
      if (opaqueGroup) cairo_push_group(cr.c);
      SetColor(cr.c, job.argb, opaqueGroup);
      CairoSurface gradientTile;
      if (job.ellipse != nullptr) {
        gradientTile.s = EllipseGradientTile(*job.ellipse, transform_.Inverse(), tx, ty, tw, th, offset);
        if (cairo_status_t st = cairo_surface_status(gradientTile.s); st != CAIRO_STATUS_SUCCESS) {
          writer.Restore();
          return FromCairoStatus(st);
        }
        // The source is placed in tile pixels, then the drawing transform comes back.
        cairo_identity_matrix(cr.c);
        cairo_set_source_surface(cr.c, gradientTile.s, 0, 0);
        cairo_set_matrix(cr.c, &cm);
      }
      if (gradient != nullptr) {
        cairo_pattern_t* pattern = CreateLinearGradientPattern(*gradient);
        cairo_set_source(cr.c, pattern);
        cairo_pattern_destroy(pattern);
      }
      if (job.pattern != nullptr) job.pattern->Apply(cr.c, tx, ty);
      if (job.clipPath != nullptr) {
        EmitPath(cr.c, *job.clipPath, nullptr);
        cairo_set_fill_rule(cr.c, job.clipPath->GetFillMode() == FillMode::Winding ? CAIRO_FILL_RULE_WINDING
                                                                                    : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr.c);
      }
      if (job.stroke) {
        const std::vector<Arrow> arrows = EmitPath(cr.c, path, &job.pen);
        cairo_set_line_width(cr.c, PenWidth(job.pen));
        cairo_set_line_cap(cr.c, CairoCap(job.pen.endCap));
        cairo_set_line_join(cr.c, CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr.c, kMiterLimit);
        cairo_stroke(cr.c);
        for (const Arrow& a : arrows) {
          cairo_move_to(cr.c, a.tip.x, a.tip.y);
          cairo_line_to(cr.c, a.left.x, a.left.y);
          cairo_line_to(cr.c, a.right.x, a.right.y);
          cairo_close_path(cr.c);
        }
        cairo_set_fill_rule(cr.c, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr.c);
      } else {
        EmitPath(cr.c, path, nullptr);
        cairo_set_fill_rule(cr.c, path.GetFillMode() == FillMode::Winding ? CAIRO_FILL_RULE_WINDING
                                                                           : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr.c);
      }
      if (opaqueGroup) {
        cairo_pop_group_to_source(cr.c);
        cairo_identity_matrix(cr.c);
        cairo_paint_with_alpha(cr.c, (job.argb >> 24) / 255.0);
      }
      if (cairo_status_t st = cairo_status(cr.c); st != CAIRO_STATUS_SUCCESS) {
        writer.Restore();
        return FromCairoStatus(st);
      }
      cairo_surface_flush(surface.s);

      if (coverageOnly)
        writer.WriteCovered(tile, data, cstride, job.argb, lastTile);
      else
        writer.WriteChanged(tile, data, cstride, lastTile);
    }
  }
  return Status::Ok;
}

}  // namespace tessivo::platform
