// The pages of a print job, rendered by Cairo into a PDF document held in memory. Callers work
// in millimetres with the origin at the top-left corner of each sheet; every page has its own
// size. Images are embedded at their own pixel size and scaled by the page's transform, so
// nothing is resampled on the way to the printer.
#pragma once
#include <cairo.h>

#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/print/encoded_image.h"
#include "platform/status.h"

namespace tessivo::platform {

// Where an image goes on the sheet: the rectangle in mm (it may reach past the sheet, which
// clips it). `turned` puts the image into it turned a quarter counter-clockwise (its top edge
// on the left), so the rectangle is as wide as the image is high. `smooth` asks the reader to
// interpolate when it scales (high-quality printing), else pixels stay sharp.
struct ImageFrame {
  double x = 0, y = 0, width = 0, height = 0;
  bool turned = false;
  bool smooth = true;
};

class PdfJobWriter {
 public:
  PdfJobWriter() = default;
  ~PdfJobWriter();
  PdfJobWriter(const PdfJobWriter&) = delete;
  PdfJobWriter& operator=(const PdfJobWriter&) = delete;

  // Starts the next sheet, `widthMm` x `heightMm` (each 1 mm to 5 m): InvalidParameter outside.
  Status BeginPage(double widthMm, double heightMm);
  // Draws the whole of `image` into the frame. Empty or non-finite rectangles: InvalidParameter.
  Status DrawImage(Bitmap& image, const ImageFrame& frame);
  // Draws an image the document carries as its encoded stream, whose pixels are never looked
  // at. NotImplemented, with nothing drawn, for a stream Cairo would not carry as it is (the
  // caller then draws the decoded pixels).
  Status DrawEncoded(const EncodedImage& image, const ImageFrame& frame);
  // Whether DrawEncoded carries `image` (Cairo's own conditions for using a stream, and ours
  // that the stream is consistent with the image's size).
  static bool CarriesAsIs(const EncodedImage& image);
  // Ends the document and hands its bytes over, in pieces as they were written. At least one
  // page is needed (WrongState).
  Status Finish(std::vector<std::string>& pdf);
  int pageCount() const { return pages_; }

 private:
  static cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length);
  Status DrawTile(Bitmap& image, const Rect& tile, bool smooth);
  // Sets up the image space of `width` x `height` pixels in `frame` (after cairo_save).
  void EnterImageSpace(const ImageFrame& frame, int32_t width, int32_t height);
  Status DrawStream(const EncodedImage& image, size_t part, int32_t top, int32_t rows, bool smooth);

  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  std::vector<std::string> pieces_;
  int pages_ = 0;
  bool finished_ = false;
};

}  // namespace tessivo::platform
