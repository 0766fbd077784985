#include "print/print_job.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/documents.h"
#include "core/image_registry.h"
#include "core/jpeg_source.h"
#include "platform/print/fax_page_stream.h"
#include "platform/print/pdf_job_writer.h"
#include "platform/print/print_spooler.h"
#include "print/print_layout.h"

namespace tessivo {
namespace {

print::Sheet SheetOf(const cPrinter::JobSetup& s) {
  return {s.sheetWidth, s.sheetHeight, s.leftMargin, s.topMargin};
}

// One page as the job sees it: its pixel size and resolution, and the decoded bitmap or the
// stream that stands for it.
struct PageImage {
  int32_t width = 0, height = 0;
  float dpiX = 0, dpiY = 0;
  platform::Bitmap* bitmap = nullptr;
  const platform::EncodedImage* encoded = nullptr;
};

PageImage DecodedPage(platform::Bitmap& image, const platform::EncodedImage* encoded) {
  return {image.Width(), image.Height(), image.HorizontalResolution(), image.VerticalResolution(), &image, encoded};
}

// Puts one page on the job: lays it out and draws it (smoothly, then once more with sharp
// pixels if that fails), carrying the stream when there is one. A page the layout turns is
// turned by the page's transform, so no pixel is copied or resampled for it.
PrinterStatus DrawPage(platform::PdfJobWriter& pdf, const PageImage& image, const cPrinter& printer,
                       const PrintRequest& request, const print::Sheet& sheet, TessivoStatus& inputStatus) {
  print::LayoutRequest lr;
  lr.pixelWidth = image.width;
  lr.pixelHeight = image.height;
  lr.dpiX = printer.forceResolution ? printer.forcedDpiX : image.dpiX;
  lr.dpiY = printer.forceResolution ? printer.forcedDpiY : image.dpiY;
  lr.left = request.left;
  lr.top = request.top;
  lr.width = request.width;
  lr.height = request.height;
  lr.shrink = request.shrink;
  lr.fit = request.fit;
  lr.alignment = printer.imageAlignment;
  lr.autoRotation = printer.autoRotation;
  print::Placement place;
  switch (print::Layout(lr, sheet, place)) {
    case print::LayoutResult::Ok: break;
    case print::LayoutResult::InvalidInput:
    case print::LayoutResult::NoPrintableArea: inputStatus = InvalidParameter; return PrinterUnexpectedError;
  }
  if (pdf.BeginPage(sheet.width, sheet.height) != platform::Status::Ok) return PrinterGdiplusWriteError;
  platform::ImageFrame frame{place.x, place.y, place.width, place.height, place.rotate270, true};
  for (const bool smooth : {true, false}) {
    frame.smooth = smooth;
    const platform::Status st =
        image.encoded ? pdf.DrawEncoded(*image.encoded, frame) : pdf.DrawImage(*image.bitmap, frame);
    if (st == platform::Status::Ok) return PrinterOK;
  }
  return PrinterGdiplusWriteError;
}

// Restores the page a document showed before the job, whatever happened in between.
class CurrentPageKeeper {
 public:
  CurrentPageKeeper(int32_t id, int32_t page, bool codecDisabled)
      : id_(id), page_(page), codecDisabled_(codecDisabled) {}
  ~CurrentPageKeeper() {
    if (moved_ && page_ >= 0) SelectPage(id_, page_, DocumentFormat::Tiff, codecDisabled_);
  }
  void moved() { moved_ = true; }

 private:
  int32_t id_, page_;
  bool codecDisabled_, moved_ = false;
};

// The page file of page `page` (0-based) of an editable TIFF document as fax strips, when that
// file is the page as it stands: the page is not loaded, or loaded and unchanged (a changed
// page is written back to a new page file only when it is left).
std::optional<platform::EncodedImage> StoredFaxPage(const ImageEntry& doc, int32_t page, float& dpiX, float& dpiY) {
  if (!doc.multiPageTiff || doc.readOnly != 0 || page < 0 || static_cast<size_t>(page) >= doc.pageFiles.size() ||
      doc.pageFiles[static_cast<size_t>(page)].empty())
    return std::nullopt;
  if (static_cast<size_t>(page) < doc.pageIds.size() && doc.pageIds[static_cast<size_t>(page)] != 0) {
    const ImageEntry* loaded = ImageRegistry::Current().Entry(doc.pageIds[static_cast<size_t>(page)]);
    if (!loaded || loaded->pageModified) return std::nullopt;
  }
  return platform::FaxStreamOfFile(doc.pageFiles[static_cast<size_t>(page)], dpiX, dpiY);
}

// Draws page `page` from its stored strips when it can; `drawn` tells whether it did.
PrinterStatus DrawStoredPage(platform::PdfJobWriter& pdf, int32_t imageId, int32_t page, const cPrinter& printer,
                             const PrintRequest& request, const print::Sheet& sheet, TessivoStatus& inputStatus,
                             bool& drawn) {
  drawn = false;
  const ImageEntry* doc = ImageRegistry::Current().Entry(imageId);
  float dpiX = 0, dpiY = 0;
  const std::optional<platform::EncodedImage> strips = doc ? StoredFaxPage(*doc, page, dpiX, dpiY) : std::nullopt;
  if (!strips || !platform::PdfJobWriter::CarriesAsIs(*strips)) return PrinterOK;
  drawn = true;
  return DrawPage(pdf, PageImage{strips->width, strips->height, dpiX, dpiY, nullptr, &*strips}, printer, request,
                  sheet, inputStatus);
}

PrinterStatus Render(cPrinter& printer, int32_t imageId, const PrintRequest& request, const print::Sheet& sheet,
                     platform::PdfJobWriter& pdf, TessivoStatus& inputStatus) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* entry = registry.Entry(imageId);
  const int32_t pageCount = entry->multiPageTiff ? entry->pageCount : 1;
  int32_t first = 1, last = 1;
  const bool range = printer.pageRange && pageCount > 1 && printer.lastPage >= printer.firstPage;
  if (range) {
    first = std::clamp(printer.firstPage, 1, pageCount);
    last = std::clamp(printer.lastPage, 1, pageCount);
  } else if (entry->multiPageTiff && entry->currentPage >= 0) {
    first = last = entry->currentPage + 1;
  }
  CurrentPageKeeper keeper(imageId, entry->currentPage, request.codecDisabled);
  for (int32_t page = first; page <= last; ++page) {
    bool drawn = false;
    PrinterStatus st = DrawStoredPage(pdf, imageId, page - 1, printer, request, sheet, inputStatus, drawn);
    if (st != PrinterOK) return st;
    if (drawn) continue;
    if (range) {
      keeper.moved();
      if (SelectPage(imageId, page - 1, DocumentFormat::Tiff, request.codecDisabled) != OK)
        return PrinterErrorSelectingFrame;
    }
    platform::Bitmap* image = registry.Resolve(imageId);
    if (!image) return range ? PrinterErrorSelectingFrame : PrinterUnexpectedError;
    entry = registry.Entry(imageId);
    std::optional<platform::EncodedImage> stream;
    if (entry && !entry->IsDocument()) stream = UnchangedJpegSource(*entry, *image);
    if (stream && !platform::PdfJobWriter::CarriesAsIs(*stream)) stream.reset();
    st = DrawPage(pdf, DecodedPage(*image, stream ? &*stream : nullptr), printer, request, sheet, inputStatus);
    if (st != PrinterOK) return st;
  }
  return PrinterOK;
}

}  // namespace

PrinterStatus RunPrintJob(cPrinter& printer, int32_t imageId, const PrintRequest& request,
                          TessivoStatus& inputStatus) {
  inputStatus = OK;
  printer.status = PrinterOK;
  if (!ImageRegistry::Current().Entry(imageId) || !ImageRegistry::Current().Resolve(imageId)) {
    inputStatus = InvalidParameter;
    return printer.status = PrinterUnexpectedError;
  }
  cPrinter::JobSetup setup;
  if (!printer.Setup(setup)) return printer.status = PrinterUnexpectedError;  // no printer at all

  platform::PdfJobWriter pdf;
  PrinterStatus st = Render(printer, imageId, request, SheetOf(setup), pdf, inputStatus);
  std::vector<std::string> bytes;
  if (st == PrinterOK && pdf.Finish(bytes) != platform::Status::Ok) st = PrinterGdiplusWriteError;
  if (st != PrinterOK) return printer.status = st;  // nothing was sent to the spooler

  platform::PrintJobRequest job;
  job.destination = setup.destination;
  job.title = printer.documentName;
  job.copies = setup.copies;
  job.orientation = setup.orientation;
  job.colorMode = setup.colorMode;
  job.sides = setup.sides;
  job.media = setup.media;
  job.mediaSource = setup.mediaSource;
  job.quality = setup.quality;
  job.resolutionDpi = setup.resolutionDpi;
  const platform::PrintJobOutcome outcome = platform::SubmitPdfJob(job, bytes);
  return printer.status = outcome.result == platform::PrintJobResult::Accepted ? PrinterOK : PrinterUnexpectedError;
}

}  // namespace tessivo
