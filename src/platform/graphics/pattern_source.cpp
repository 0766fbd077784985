#include "platform/graphics/pattern_source.h"

#include <new>
#include <vector>

#include "platform/graphics/cairo_status.h"
#include "platform/pixel_convert.h"
#include "platform/pixel_rows.h"

namespace tessivo::platform {

PatternSource::~PatternSource() {
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

Status PatternSource::Load(const Bitmap& source, const Rect& area, const ImageAttributes* attributes) {
  if (area.width < 1 || area.height < 1 || area.x < 0 || area.y < 0 || area.x > source.Width() - area.width ||
      area.y > source.Height() - area.height)
    return Status::InvalidParameter;
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, area.width, area.height);
  if (cairo_status_t st = cairo_surface_status(surface_); st != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    return FromCairoStatus(st);
  }
  area_ = area;
  try {
    cairo_surface_flush(surface_);
    uint8_t* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    // Straight colours first: the attributes compare exact ARGB values.
    PixelConverter toArgb(source.Format(), source.GetPalette().entries, kPixelFormat32bppARGB, {});
    std::vector<uint32_t> row(static_cast<size_t>(area.width));
    for (int32_t y = 0; y < area.height; ++y) {
      toArgb.ConvertRow(source.Row(area.y + y), area.x, reinterpret_cast<uint8_t*>(row.data()), 0, area.width);
      if (attributes != nullptr) attributes->ApplyInPlace(row);
      auto* out = reinterpret_cast<uint32_t*>(data + static_cast<intptr_t>(y) * stride);
      for (int32_t x = 0; x < area.width; ++x) out[x] = rows::Premultiply(row[static_cast<size_t>(x)]);
    }
    cairo_surface_mark_dirty(surface_);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

void PatternSource::Apply(cairo_t* cr, int64_t tileX, int64_t tileY) const {
  // Pattern matrices map user space to pattern space; the user space is set to the tile's
  // device space while the source is installed.
  const Matrix m = Matrix::Then(Matrix::Then(Matrix::Translation(static_cast<double>(tileX), static_cast<double>(tileY)),
                                             imageToSource_),
                                Matrix::Translation(-area_.x, -area_.y));
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface_);
  cairo_matrix_t cm;
  cairo_matrix_init(&cm, m.a, m.b, m.c, m.d, m.e, m.f);
  cairo_pattern_set_matrix(pattern, &cm);
  cairo_pattern_set_filter(pattern, sampling_ == Sampling::Nearest ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
  cairo_pattern_set_extend(pattern, edge_ == Edge::Pad ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_REPEAT);
  cairo_matrix_t saved;
  cairo_get_matrix(cr, &saved);
  cairo_identity_matrix(cr);
  cairo_set_source(cr, pattern);
  cairo_set_matrix(cr, &saved);
  cairo_pattern_destroy(pattern);
}

}  // namespace tessivo::platform
