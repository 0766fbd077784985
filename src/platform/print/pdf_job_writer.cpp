#include "platform/print/pdf_job_writer.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cmath>

#include "platform/graphics/cairo_status.h"

namespace tessivo::platform {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Cairo's image surfaces stop at 32767 pixels a side; larger images go in tiles.
constexpr int32_t kMaxSurfaceSide = 32767;
constexpr int32_t kTileSide = 8192;

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

PdfJobWriter::~PdfJobWriter() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

cairo_status_t PdfJobWriter::Append(void* closure, const unsigned char* data, unsigned int length) {
  try {
    static_cast<PdfJobWriter*>(closure)->bytes_.append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  } catch (...) {
    return CAIRO_STATUS_NO_MEMORY;
  }
}

Status PdfJobWriter::BeginPage(double widthMm, double heightMm) {
  if (finished_) return Status::WrongState;
  if (!Finite(widthMm) || !Finite(heightMm) || widthMm < 1 || heightMm < 1 || widthMm > 5000 || heightMm > 5000)
    return Status::InvalidParameter;
  const double w = widthMm * kPointsPerMm, h = heightMm * kPointsPerMm;
  if (!surface_) {
    surface_ = cairo_pdf_surface_create_for_stream(&PdfJobWriter::Append, this, w, h);
    if (const cairo_status_t s = cairo_surface_status(surface_)) return FromCairoStatus(s);
    cr_ = cairo_create(surface_);
  } else {
    cairo_show_page(cr_);
    cairo_pdf_surface_set_size(surface_, w, h);
  }
  if (const cairo_status_t s = cairo_status(cr_)) return FromCairoStatus(s);
  cairo_identity_matrix(cr_);
  cairo_scale(cr_, kPointsPerMm, kPointsPerMm);
  ++pages_;
  return Status::Ok;
}

Status PdfJobWriter::DrawTile(Bitmap& image, const Rect& tile, bool smooth) {
  cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, tile.width, tile.height);
  if (const cairo_status_t s = cairo_surface_status(pixels)) {
    cairo_surface_destroy(pixels);
    return FromCairoStatus(s);
  }
  // Cairo's ARGB32 is premultiplied BGRA in memory on little-endian machines, as 32bppPARGB is.
  cairo_surface_flush(pixels);
  BitmapData data;
  data.scan0 = cairo_image_surface_get_data(pixels);
  data.stride = cairo_image_surface_get_stride(pixels);
  Status st = image.LockBits(&tile, ImageLockModeRead | ImageLockModeUserInputBuf, kPixelFormat32bppPARGB, data);
  if (st == Status::Ok) st = image.UnlockBits(data);
  if (st != Status::Ok) {
    cairo_surface_destroy(pixels);
    return st;
  }
  cairo_surface_mark_dirty(pixels);
  cairo_set_source_surface(cr_, pixels, tile.x, tile.y);
  cairo_pattern_set_filter(cairo_get_source(cr_), smooth ? CAIRO_FILTER_BEST : CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr_, tile.x, tile.y, tile.width, tile.height);
  cairo_fill(cr_);
  cairo_surface_destroy(pixels);  // the document keeps its own reference until it is written
  return FromCairoStatus(cairo_status(cr_));
}

Status PdfJobWriter::DrawImage(Bitmap& image, double xMm, double yMm, double widthMm, double heightMm,
                               bool smooth) {
  if (!cr_ || finished_) return Status::WrongState;
  if (!Finite(xMm) || !Finite(yMm) || !Finite(widthMm) || !Finite(heightMm) || !(widthMm > 0) ||
      !(heightMm > 0) || image.Width() <= 0 || image.Height() <= 0)
    return Status::InvalidParameter;
  cairo_save(cr_);
  cairo_translate(cr_, xMm, yMm);
  cairo_scale(cr_, widthMm / image.Width(), heightMm / image.Height());
  const bool tiled = image.Width() > kMaxSurfaceSide || image.Height() > kMaxSurfaceSide;
  const int32_t side = tiled ? kTileSide : std::max(image.Width(), image.Height());
  Status st = Status::Ok;
  for (int32_t y = 0; st == Status::Ok && y < image.Height(); y += side) {
    for (int32_t x = 0; st == Status::Ok && x < image.Width(); x += side) {
      const Rect tile{x, y, std::min(side, image.Width() - x), std::min(side, image.Height() - y)};
      st = DrawTile(image, tile, smooth);
    }
  }
  cairo_restore(cr_);
  return st;
}

Status PdfJobWriter::Finish(std::string& pdf) {
  if (!cr_ || finished_) return Status::WrongState;
  finished_ = true;
  cairo_destroy(cr_);
  cr_ = nullptr;
  cairo_surface_finish(surface_);
  const cairo_status_t s = cairo_surface_status(surface_);
  cairo_surface_destroy(surface_);
  surface_ = nullptr;
  if (s != CAIRO_STATUS_SUCCESS) return FromCairoStatus(s);
  pdf = std::move(bytes_);
  bytes_.clear();
  return Status::Ok;
}

}  // namespace tessivo::platform
