// The pages of a print job, rendered by Cairo into a PDF document held in memory. Callers work
// in millimetres with the origin at the top-left corner of each sheet; every page has its own
// size. Images are embedded at their own pixel size and scaled by the page's transform, so
// nothing is resampled on the way to the printer.
#pragma once
#include <cairo.h>

#include <string>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo::platform {

class PdfJobWriter {
 public:
  PdfJobWriter() = default;
  ~PdfJobWriter();
  PdfJobWriter(const PdfJobWriter&) = delete;
  PdfJobWriter& operator=(const PdfJobWriter&) = delete;

  // Starts the next sheet, `widthMm` x `heightMm` (each 1 mm to 5 m): InvalidParameter outside.
  Status BeginPage(double widthMm, double heightMm);
  // Draws the whole of `image` into the rectangle (mm, may reach past the sheet, which clips
  // it). `smooth` asks the reader to interpolate when it scales (high-quality printing), else
  // pixels stay sharp. Empty or non-finite rectangles: InvalidParameter.
  Status DrawImage(Bitmap& image, double xMm, double yMm, double widthMm, double heightMm, bool smooth);
  // Ends the document and hands its bytes over. At least one page is needed (WrongState).
  Status Finish(std::string& pdf);
  int pageCount() const { return pages_; }

 private:
  static cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length);
  Status DrawTile(Bitmap& image, const Rect& tile, bool smooth);

  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  std::string bytes_;
  int pages_ = 0;
  bool finished_ = false;
};

}  // namespace tessivo::platform
