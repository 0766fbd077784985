#include "platform/print/pdf_job_writer.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/codecs/jpeg_frame.h"
#include "platform/graphics/cairo_status.h"

namespace tessivo::platform {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Cairo's image surfaces stop at 32767 pixels a side; larger images go in tiles.
constexpr int32_t kMaxSurfaceSide = 32767;
constexpr int32_t kTileSide = 8192;

constexpr size_t kPieceBytes = 1 << 20;

bool Finite(double v) { return std::isfinite(v); }

bool ValidFrame(const ImageFrame& f) {
  return Finite(f.x) && Finite(f.y) && Finite(f.width) && Finite(f.height) && f.width > 0 && f.height > 0;
}

// Whether Cairo's PDF surface takes `image` as mime data as it is: the checks Cairo 1.16 makes
// itself (a JPEG frame of 1 or 3 components, fax parameters with rows and columns), and ours
// that the stream matches the image it stands for.
bool StreamUsable(const EncodedImage& image) {
  // How the stream's image is placed and when Cairo takes a stream is established for 1.16.
  if (cairo_version() / 100 != CAIRO_VERSION_ENCODE(1, 16, 0) / 100) return false;
  if (image.width <= 0 || image.height <= 0 || image.width > kMaxSurfaceSide || image.parts.empty()) return false;
  for (const auto& part : image.parts)
    if (!part || part->empty() || part->size() > 0xFFFFFFFFu) return false;
  if (image.kind == EncodedImage::Kind::Jpeg) {
    JpegFrame frame;
    return image.parts.size() == 1 && image.height <= kMaxSurfaceSide &&
           ReadJpegFrame(image.parts[0]->data(), image.parts[0]->size(), frame) && IsPlainDctStream(frame) &&
           frame.width == static_cast<uint32_t>(image.width) && frame.height == static_cast<uint32_t>(image.height);
  }
  if (image.rowsPerStrip <= 0 || image.rowsPerStrip > kMaxSurfaceSide) return false;
  const int64_t strips = (int64_t{image.height} + image.rowsPerStrip - 1) / image.rowsPerStrip;
  return strips == static_cast<int64_t>(image.parts.size());
}

// Cairo holds the mime data until it has written the document; each attachment keeps its
// bytes alive through its own reference.
void ReleaseBytes(void* holder) { delete static_cast<EncodedImage::Bytes*>(holder); }

cairo_status_t AttachBytes(cairo_surface_t* surface, const char* mimeType, const EncodedImage::Bytes& bytes) {
  auto* holder = new EncodedImage::Bytes(bytes);
  const cairo_status_t s = cairo_surface_set_mime_data(surface, mimeType, (*holder)->data(),
                                                       static_cast<unsigned long>((*holder)->size()),
                                                       &ReleaseBytes, holder);
  if (s != CAIRO_STATUS_SUCCESS) delete holder;
  return s;
}

cairo_status_t AttachText(cairo_surface_t* surface, const char* mimeType, const char* text) {
  const size_t length = std::strlen(text);
  auto* copy = static_cast<unsigned char*>(std::malloc(length + 1));
  if (!copy) return CAIRO_STATUS_NO_MEMORY;
  std::memcpy(copy, text, length + 1);
  const cairo_status_t s = cairo_surface_set_mime_data(surface, mimeType, copy, length, &std::free, copy);
  if (s != CAIRO_STATUS_SUCCESS) std::free(copy);
  return s;
}

}  // namespace

PdfJobWriter::~PdfJobWriter() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

cairo_status_t PdfJobWriter::Append(void* closure, const unsigned char* data, unsigned int length) {
  try {
    // Pieces of a fixed capacity (or one of its own for a large write) are never moved once
    // written: growing one string would copy the whole document again and again.
    std::vector<std::string>& pieces = static_cast<PdfJobWriter*>(closure)->pieces_;
    if (pieces.empty() || pieces.back().capacity() - pieces.back().size() < length) {
      pieces.emplace_back();
      pieces.back().reserve(std::max<size_t>(kPieceBytes, length));
    }
    pieces.back().append(reinterpret_cast<const char*>(data), length);
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

void PdfJobWriter::EnterImageSpace(const ImageFrame& frame, int32_t width, int32_t height) {
  cairo_translate(cr_, frame.x, frame.y);
  if (!frame.turned) {
    cairo_scale(cr_, frame.width / width, frame.height / height);
    return;
  }
  // The frame holds the turned image, `height` pixels wide and `width` high; image point
  // (x, y) lands on (y, width - x) of it: the top edge on the left, the left edge at the bottom.
  cairo_scale(cr_, frame.width / height, frame.height / width);
  cairo_matrix_t turn;
  cairo_matrix_init(&turn, 0, -1, 1, 0, 0, width);
  cairo_transform(cr_, &turn);
}

Status PdfJobWriter::DrawImage(Bitmap& image, const ImageFrame& frame) {
  if (!cr_ || finished_) return Status::WrongState;
  if (!ValidFrame(frame) || image.Width() <= 0 || image.Height() <= 0) return Status::InvalidParameter;
  cairo_save(cr_);
  EnterImageSpace(frame, image.Width(), image.Height());
  const bool tiled = image.Width() > kMaxSurfaceSide || image.Height() > kMaxSurfaceSide;
  const int32_t side = tiled ? kTileSide : std::max(image.Width(), image.Height());
  Status st = Status::Ok;
  for (int32_t y = 0; st == Status::Ok && y < image.Height(); y += side) {
    for (int32_t x = 0; st == Status::Ok && x < image.Width(); x += side) {
      const Rect tile{x, y, std::min(side, image.Width() - x), std::min(side, image.Height() - y)};
      st = DrawTile(image, tile, frame.smooth);
    }
  }
  cairo_restore(cr_);
  return st;
}

Status PdfJobWriter::DrawStream(const EncodedImage& image, size_t part, int32_t top, int32_t rows, bool smooth) {
  // The stream stands for the pixels, so the surface that carries it needs none: a single
  // opaque pixel (nothing for Cairo to look at for transparency, nothing to copy when Cairo
  // snapshots it), scaled to the part's size. Cairo 1.16 places the stream's image by the
  // surface's extent, whatever the stream's own size.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  cairo_status_t s = cairo_surface_status(surface);
  if (s == CAIRO_STATUS_SUCCESS) {
    if (image.kind == EncodedImage::Kind::Jpeg) {
      s = AttachBytes(surface, CAIRO_MIME_TYPE_JPEG, image.parts[part]);
    } else {
      char params[256];
      std::snprintf(params, sizeof params, "Columns=%d Rows=%d K=%d EndOfLine=%d EncodedByteAlign=%d BlackIs1=%d",
                    image.width, rows, image.k, image.endOfLine ? 1 : 0,
                    image.encodedByteAlign ? 1 : 0, image.blackIs1 ? 1 : 0);
      s = AttachBytes(surface, CAIRO_MIME_TYPE_CCITT_FAX, image.parts[part]);
      if (s == CAIRO_STATUS_SUCCESS) s = AttachText(surface, CAIRO_MIME_TYPE_CCITT_FAX_PARAMS, params);
    }
  }
  if (s != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return FromCairoStatus(s);
  }
  cairo_save(cr_);
  cairo_translate(cr_, 0, top);
  cairo_scale(cr_, image.width, rows);
  cairo_set_source_surface(cr_, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), smooth ? CAIRO_FILTER_BEST : CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr_, 0, 0, 1, 1);
  cairo_fill(cr_);
  cairo_restore(cr_);
  cairo_surface_destroy(surface);
  return FromCairoStatus(cairo_status(cr_));
}

bool PdfJobWriter::CarriesAsIs(const EncodedImage& image) { return StreamUsable(image); }

Status PdfJobWriter::DrawEncoded(const EncodedImage& image, const ImageFrame& frame) {
  if (!cr_ || finished_) return Status::WrongState;
  if (!ValidFrame(frame)) return Status::InvalidParameter;
  if (!CarriesAsIs(image)) return Status::NotImplemented;
  cairo_save(cr_);
  EnterImageSpace(frame, image.width, image.height);
  Status st = Status::Ok;
  // Strips are independent streams: one image each, stacked in place.
  const int32_t rowsPerPart = image.kind == EncodedImage::Kind::Jpeg ? image.height : image.rowsPerStrip;
  for (size_t part = 0; st == Status::Ok && part < image.parts.size(); ++part) {
    const int32_t top = static_cast<int32_t>(part) * rowsPerPart;
    st = DrawStream(image, part, top, std::min(rowsPerPart, image.height - top), frame.smooth);
  }
  cairo_restore(cr_);
  return st;
}

Status PdfJobWriter::Finish(std::vector<std::string>& pdf) {
  if (!cr_ || finished_) return Status::WrongState;
  finished_ = true;
  cairo_destroy(cr_);
  cr_ = nullptr;
  cairo_surface_finish(surface_);
  const cairo_status_t s = cairo_surface_status(surface_);
  cairo_surface_destroy(surface_);
  surface_ = nullptr;
  if (s != CAIRO_STATUS_SUCCESS) return FromCairoStatus(s);
  pdf = std::move(pieces_);
  pieces_.clear();
  return Status::Ok;
}

}  // namespace tessivo::platform
