#include "print/print_job.h"

#include <algorithm>
#include <memory>
#include <string>

#include "core/documents.h"
#include "core/image_registry.h"
#include "platform/print/pdf_job_writer.h"
#include "platform/print/print_spooler.h"
#include "print/print_layout.h"

namespace tessivo {
namespace {

print::Sheet SheetOf(const cPrinter::JobSetup& s) {
  return {s.sheetWidth, s.sheetHeight, s.leftMargin, s.topMargin};
}

// Puts one page on the job: lays it out, turns a copy when asked, draws it (smoothly, then
// once more with sharp pixels if that fails).
PrinterStatus DrawPage(platform::PdfJobWriter& pdf, platform::Bitmap& image, const cPrinter& printer,
                       const PrintRequest& request, const print::Sheet& sheet, TessivoStatus& inputStatus) {
  print::LayoutRequest lr;
  lr.pixelWidth = image.Width();
  lr.pixelHeight = image.Height();
  lr.dpiX = printer.forceResolution ? printer.forcedDpiX : image.HorizontalResolution();
  lr.dpiY = printer.forceResolution ? printer.forcedDpiY : image.VerticalResolution();
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
  std::unique_ptr<platform::Bitmap> turned;
  platform::Bitmap* source = &image;
  if (place.rotate270) {
    if (image.Clone(turned) != platform::Status::Ok || turned->RotateFlip(platform::Rotate270FlipNone) != platform::Status::Ok)
      return PrinterGdiplusWriteError;
    source = turned.get();
  }
  if (pdf.BeginPage(sheet.width, sheet.height) != platform::Status::Ok) return PrinterGdiplusWriteError;
  if (pdf.DrawImage(*source, place.x, place.y, place.width, place.height, true) == platform::Status::Ok ||
      pdf.DrawImage(*source, place.x, place.y, place.width, place.height, false) == platform::Status::Ok)
    return PrinterOK;
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
  }
  CurrentPageKeeper keeper(imageId, entry->currentPage, request.codecDisabled);
  for (int32_t page = first; page <= last; ++page) {
    if (range) {
      keeper.moved();
      if (SelectPage(imageId, page - 1, DocumentFormat::Tiff, request.codecDisabled) != OK)
        return PrinterErrorSelectingFrame;
    }
    platform::Bitmap* image = registry.Resolve(imageId);
    if (!image) return range ? PrinterErrorSelectingFrame : PrinterUnexpectedError;
    const PrinterStatus st = DrawPage(pdf, *image, printer, request, sheet, inputStatus);
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
  std::string bytes;
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
