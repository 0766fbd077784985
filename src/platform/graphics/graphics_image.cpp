#include "platform/graphics/graphics_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/graphics/graphics.h"
#include "platform/graphics/pattern_source.h"
#include "platform/pixel_rows.h"
#include "platform/resample/scale_bitmap.h"
#include "platform/resample/working_rows.h"

namespace tessivo::platform {
namespace {

// Device pixels drawn per pattern: the source part one chunk needs stays well inside Cairo's
// 32767-pixel surfaces as long as the image shrinks by at most kMaxDirectReduction.
constexpr int64_t kChunk = 4096;
constexpr double kMaxDirectReduction = 3.9;
constexpr int32_t kCairoSideLimit = 32767;
// Taps a sample may read beyond the pixel its centre falls in.
constexpr int64_t kSampleMargin = 2;

bool Finite(PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); }

struct Box {
  int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
  Box Intersect(const Box& o) const {
    return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
  }
  Rect ToRect() const {
    return {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
            static_cast<int32_t>(y1 - y0)};
  }
};

// The whole pixels a transformed rectangle can touch (its bounding box, widened by `margin`).
// Bounds are clamped far outside any bitmap, so huge values cannot overflow.
Box BoundsOf(const Matrix& m, double x0, double y0, double x1, double y1, double margin) {
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (PointF p : {PointF{x0, y0}, PointF{x1, y0}, PointF{x0, y1}, PointF{x1, y1}}) {
    const PointF d = m.Apply(p);
    minX = std::min(minX, d.x), maxX = std::max(maxX, d.x);
    minY = std::min(minY, d.y), maxY = std::max(maxY, d.y);
  }
  static constexpr double kFar = 1e12;
  auto clamp = [](double v) { return static_cast<int64_t>(std::clamp(v, -kFar, kFar)); };
  return {clamp(std::floor(minX - margin)), clamp(std::floor(minY - margin)), clamp(std::ceil(maxX + margin)),
          clamp(std::ceil(maxY + margin))};
}

bool IsWhole(double v) { return std::isfinite(v) && v == std::floor(v); }

// Same format, same palette, unit scale on whole pixels: the copy can move bytes.
bool IsExactCopy(const Bitmap& image, const Bitmap& target, const Matrix& m, const ImageDrawOptions& o) {
  if (o.attributes != nullptr && !o.attributes->Empty()) return false;
  if (o.clip != nullptr || image.Format() != target.Format()) return false;
  if (IsIndexed(image.Format()) && image.GetPalette().entries != target.GetPalette().entries) return false;
  return std::fabs(m.a) == 1 && std::fabs(m.d) == 1 && m.b == 0 && m.c == 0 && IsWhole(m.e) && IsWhole(m.f);
}

// Alpha of pixel x, as 0 (none), 2 (full) or 1 (partial).
int AlphaClass(PixelFormat f, const uint8_t* row, int32_t x) {
  switch (f) {
    case kPixelFormat16bppARGB1555: return (rows::Load16(row + 2 * x) & 0x8000) ? 2 : 0;
    case kPixelFormat32bppARGB:
    case kPixelFormat32bppPARGB: {
      const uint8_t a = row[4 * x + 3];
      return a == 255 ? 2 : a == 0 ? 0 : 1;
    }
    case kPixelFormat64bppARGB:
    case kPixelFormat64bppPARGB: {
      const uint16_t a = rows::Load16(row + 8 * x + 6);
      return a == 65535 ? 2 : a == 0 ? 0 : 1;
    }
    default: return 2;
  }
}

// Copies the pixels of `area` (of `image`) that `m` (image to target pixels, unit scale, whole
// offsets) places inside `visible`; opaque pixels keep their bytes, transparent ones leave the
// target as it is and partly transparent ones are composited over it.
void CopyExact(const Bitmap& image, const Rect& area, const Matrix& m, Bitmap& target, const Box& visible) {
  const PixelFormat f = image.Format();
  const int bpp = BitsPerPixel(f);
  const size_t bytes = static_cast<size_t>(bpp / 8);
  const bool alpha = HasAlpha(f);
  const bool wide = bpp == 64;
  WorkingRowDecoder below(f, target.GetPalette().entries, wide), above(f, image.GetPalette().entries, wide);
  WorkingRowEncoder encoder(f, target.GetPalette().entries, wide);
  const Matrix inv = m.Inverse();
  for (int64_t y = visible.y0; y < visible.y1; ++y) {
    const auto sy = static_cast<int32_t>(std::floor(inv.d * (static_cast<double>(y) + 0.5) + inv.f));
    if (sy < area.y || sy >= area.y + area.height) continue;
    const uint8_t* src = image.Row(sy);
    uint8_t* dst = target.Row(static_cast<int32_t>(y));
    for (int64_t x = visible.x0; x < visible.x1; ++x) {
      const auto sx = static_cast<int32_t>(std::floor(inv.a * (static_cast<double>(x) + 0.5) + inv.e));
      if (sx < area.x || sx >= area.x + area.width) continue;
      const auto tx = static_cast<int32_t>(x);
      const int cls = alpha ? AlphaClass(f, src, sx) : 2;
      if (cls == 0) continue;
      if (cls == 1) {
        float s[4], d[4];
        above.Decode(src, sx, 1, s);
        below.Decode(dst, tx, 1, d);
        const float keep = 1.0f - s[3] / above.Max();
        for (int c = 0; c < 4; ++c) s[c] += keep * d[c];
        encoder.Encode(s, 1, dst, tx);
      } else if (bpp < 8) {
        rows::PutIndex(bpp, dst, tx, rows::GetIndex(bpp, src, sx));
      } else {
        std::memcpy(dst + static_cast<size_t>(tx) * bytes, src + static_cast<size_t>(sx) * bytes, bytes);
      }
    }
  }
}

// A copy of `area` in 32bppARGB with the attributes applied.
Status AttributedCopy(const Bitmap& image, const Rect& area, const ImageAttributes& attributes,
                      std::unique_ptr<Bitmap>& out) {
  if (Status s = image.CloneArea(area, kPixelFormat32bppARGB, out); s != Status::Ok) return s;
  for (int32_t y = 0; y < out->Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(out->Row(y));
    attributes.ApplyInPlace(std::span<uint32_t>(row, static_cast<size_t>(out->Width())));
  }
  return Status::Ok;
}

// The convex polygon `points` cut to the box (Sutherland–Hodgman, one edge of the box at a time).
std::vector<PointF> CutToBox(std::vector<PointF> points, double x0, double y0, double x1, double y1) {
  auto cut = [&](auto inside, auto cross) {
    std::vector<PointF> out;
    for (size_t i = 0; i < points.size(); ++i) {
      const PointF a = points[i], b = points[(i + 1) % points.size()];
      const bool ina = inside(a), inb = inside(b);
      if (ina) out.push_back(a);
      if (ina != inb) out.push_back(cross(a, b));
    }
    points = std::move(out);
  };
  auto atX = [](PointF a, PointF b, double x) { return PointF{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  auto atY = [](PointF a, PointF b, double y) { return PointF{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  cut([&](PointF p) { return p.x >= x0; }, [&](PointF a, PointF b) { return atX(a, b, x0); });
  cut([&](PointF p) { return p.x <= x1; }, [&](PointF a, PointF b) { return atX(a, b, x1); });
  cut([&](PointF p) { return p.y >= y0; }, [&](PointF a, PointF b) { return atY(a, b, y0); });
  cut([&](PointF p) { return p.y <= y1; }, [&](PointF a, PointF b) { return atY(a, b, y1); });
  return points;
}

// Original bytes of the rows a multi-chunk draw may write, to undo it when a later chunk fails.
struct RowBackup {
  int64_t y0 = 0, first = 0;
  size_t length = 0;
  std::vector<uint8_t> bytes;
};

}  // namespace

Status Graphics::DrawImage(const Bitmap& image, const Rect& sourceArea, const DestinationPoints& dest,
                           const ImageDrawOptions& options) {
  ResampleFilter filter;
  if (!FilterForInterpolationMode(options.interpolation, filter)) return Status::InvalidParameter;
  for (const PointF& p : dest.points)
    if (!Finite(p)) return Status::InvalidParameter;
  if (sourceArea.width == 0 || sourceArea.height == 0 || !transform_.Invertible()) return Status::InvalidParameter;
  const PointF u{dest.points[1].x - dest.points[0].x, dest.points[1].y - dest.points[0].y};
  const PointF v{dest.points[2].x - dest.points[0].x, dest.points[2].y - dest.points[0].y};
  const double cross = u.x * v.y - u.y * v.x;
  if (!std::isfinite(cross) || cross == 0) return Status::InvalidParameter;

  // Image pixel coordinates to world coordinates.
  const double aw = sourceArea.width, ah = sourceArea.height;
  Matrix toWorld{u.x / aw, u.y / aw, v.x / ah, v.y / ah, 0, 0};
  toWorld.e = dest.points[0].x - toWorld.a * sourceArea.x - toWorld.c * sourceArea.y;
  toWorld.f = dest.points[0].y - toWorld.b * sourceArea.x - toWorld.d * sourceArea.y;
  Matrix toImage = Matrix::Then(toWorld, WorldToImage());
  if (!toImage.Invertible()) return Status::InvalidParameter;

  // The part of the area that lies on the image.
  const int64_t ax0 = std::min<int64_t>(sourceArea.x, int64_t{sourceArea.x} + sourceArea.width);
  const int64_t ay0 = std::min<int64_t>(sourceArea.y, int64_t{sourceArea.y} + sourceArea.height);
  const Box onImage = Box{ax0, ay0, ax0 + std::abs(int64_t{sourceArea.width}), ay0 + std::abs(int64_t{sourceArea.height})}
                          .Intersect(Box{0, 0, image.Width(), image.Height()});
  if (onImage.Empty()) return Status::Ok;
  Rect area = onImage.ToRect();

  Box visible = BoundsOf(toImage, onImage.x0, onImage.y0, onImage.x1, onImage.y1, 1)
                    .Intersect(Box{0, 0, target_.Width(), target_.Height()});
  if (clip_) visible = visible.Intersect({clip_->x, clip_->y, int64_t{clip_->x} + clip_->width, int64_t{clip_->y} + clip_->height});
  if (options.clip != nullptr) {
    bool finite = true;
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    options.clip->ForEachPoint([&](PointF p) {
      finite = finite && Finite(p);
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    });
    if (!finite) return Status::InvalidParameter;
    if (options.clip->Empty()) return Status::Ok;
    visible = visible.Intersect(BoundsOf(WorldToImage(), minX, minY, maxX, maxY, 1));
  }
  if (visible.Empty()) return Status::Ok;

  // The device parallelogram the (on-image part of the) area covers; each chunk fills the part
  // of it near the chunk, so far-away corners never reach the rasteriser.
  const std::vector<PointF> corners = {toImage.Apply({double(onImage.x0), double(onImage.y0)}),
                                       toImage.Apply({double(onImage.x1), double(onImage.y0)}),
                                       toImage.Apply({double(onImage.x1), double(onImage.y1)}),
                                       toImage.Apply({double(onImage.x0), double(onImage.y1)})};
  const Matrix imageToWorld = WorldToImage().Inverse();

  try {
    // Reading and writing one bitmap: read from a copy.
    std::unique_ptr<Bitmap> snapshot;
    const Bitmap* from = &image;
    if (&image == &target_) {
      if (Status s = image.CloneArea(area, image.Format(), snapshot); s != Status::Ok) return s;
      toImage = Matrix::Then(Matrix::Translation(area.x, area.y), toImage);
      area = {0, 0, area.width, area.height};
      from = snapshot.get();
    }

    if (IsExactCopy(*from, target_, toImage, options)) {
      CopyExact(*from, area, toImage, target_, visible);
      return Status::Ok;
    }

    // Sizes on the target, and whether the image is resampled to them first.
    const double lengthU = std::hypot(toImage.a, toImage.b) * area.width;
    const double lengthV = std::hypot(toImage.c, toImage.d) * area.height;
    const bool resized = std::fabs(lengthU - area.width) > 1e-9 || std::fabs(lengthV - area.height) > 1e-9;
    const bool cubic = filter == ResampleFilter::Bicubic || filter == ResampleFilter::PrefilteredBicubic;
    const bool shrinksFar = area.width > kMaxDirectReduction * lengthU || area.height > kMaxDirectReduction * lengthV;
    std::unique_ptr<Bitmap> attributed, staged;
    if (options.attributes != nullptr && !options.attributes->Empty()) {
      if (Status s = AttributedCopy(*from, area, *options.attributes, attributed); s != Status::Ok) return s;
      toImage = Matrix::Then(Matrix::Translation(area.x, area.y), toImage);
      area = {0, 0, area.width, area.height};
      from = attributed.get();
    }
    PatternSource::Sampling sampling =
        filter == ResampleFilter::Nearest ? PatternSource::Sampling::Nearest : PatternSource::Sampling::Bilinear;
    if ((cubic && resized) || shrinksFar) {
      const double tw = std::max(1.0, std::round(lengthU)), th = std::max(1.0, std::round(lengthV));
      const double limit = std::max(4.0 * target_.Width() * target_.Height(), double(1 << 22));
      if (tw * th <= limit && tw <= kCairoSideLimit && th <= kCairoSideLimit) {
        if (Status s = Bitmap::Create(static_cast<int32_t>(tw), static_cast<int32_t>(th), kPixelFormat32bppPARGB, staged);
            s != Status::Ok)
          return s;
        ScaleOptions scale;
        scale.filter = filter;
        if (Status s = ScaleInto(*from, area, *staged, Rect{0, 0, staged->Width(), staged->Height()}, scale);
            s != Status::Ok)
          return s;
        const Matrix stagedToArea{area.width / tw, 0, 0, area.height / th, double(area.x), double(area.y)};
        toImage = Matrix::Then(stagedToArea, toImage);
        area = {0, 0, staged->Width(), staged->Height()};
        from = staged.get();
        if (filter != ResampleFilter::Nearest) sampling = PatternSource::Sampling::Bilinear;
      } else if (shrinksFar) {
        return Status::OutOfMemory;
      }
    }

    const Matrix toSource = toImage.Inverse();
    const std::optional<Rect> savedClip = clip_;
    const bool chunked = visible.x1 - visible.x0 > kChunk || visible.y1 - visible.y0 > kChunk;
    RowBackup backup;
    if (chunked) {
      // A later chunk failing must not leave the earlier ones drawn.
      const int bpp = BitsPerPixel(target_.Format());
      backup.y0 = visible.y0;
      backup.first = visible.x0 * bpp / 8;
      backup.length = static_cast<size_t>((visible.x1 * bpp + 7) / 8 - backup.first);
      backup.bytes.resize(backup.length * static_cast<size_t>(visible.y1 - visible.y0));
      for (int64_t y = visible.y0; y < visible.y1; ++y)
        std::memcpy(&backup.bytes[static_cast<size_t>(y - visible.y0) * backup.length],
                    target_.Row(static_cast<int32_t>(y)) + backup.first, backup.length);
    }
    auto undo = [&] {
      if (!chunked) return;
      for (int64_t y = visible.y0; y < visible.y1; ++y)
        std::memcpy(target_.Row(static_cast<int32_t>(y)) + backup.first,
                    &backup.bytes[static_cast<size_t>(y - visible.y0) * backup.length], backup.length);
    };
    for (int64_t cy = visible.y0; cy < visible.y1; cy += kChunk) {
      for (int64_t cx = visible.x0; cx < visible.x1; cx += kChunk) {
        const Box chunk{cx, cy, std::min(cx + kChunk, visible.x1), std::min(cy + kChunk, visible.y1)};
        const Box needed = BoundsOf(toSource, chunk.x0, chunk.y0, chunk.x1, chunk.y1, kSampleMargin)
                               .Intersect({area.x, area.y, int64_t{area.x} + area.width, int64_t{area.y} + area.height});
        if (needed.Empty()) continue;
        PatternSource source;
        Status s = needed.x1 - needed.x0 > kCairoSideLimit || needed.y1 - needed.y0 > kCairoSideLimit
                       ? Status::OutOfMemory
                       : source.Load(*from, needed.ToRect(), nullptr);
        if (s == Status::Ok) {
          source.SetImageToSource(toSource);
          source.SetSampling(sampling);
          source.SetEdge(PatternSource::Edge::Pad);
          GraphicsPath shape;
          std::vector<PointF> part = CutToBox(corners, double(chunk.x0 - 2), double(chunk.y0 - 2),
                                              double(chunk.x1 + 2), double(chunk.y1 + 2));
          for (PointF& p : part) p = imageToWorld.Apply(p);
          if (part.size() >= 3) shape.AddPolygon(part);
          clip_ = savedClip;
          IntersectClip(chunk.ToRect());
          s = RenderPattern(shape, source, nullptr, options.clip);
          clip_ = savedClip;
        }
        if (s != Status::Ok) {
          undo();
          return s;
        }
      }
    }
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessivo::platform
