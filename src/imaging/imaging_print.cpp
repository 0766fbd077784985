// Printing methods of cImaging: thin wrappers over the instance's cPrinter and the print job.
#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "platform/host_services.h"
#include "print/print_job.h"
#include "print/printer.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// Getters and setters talk to the spooler, which may fail in any way: a failure leaves the
// neutral result and the status alone.
template <typename R, typename Body>
R Quiet(R neutral, Body&& body) {
  try {
    return body();
  } catch (...) {
    return neutral;
  }
}
template <typename Body>
void QuietDo(Body&& body) {
  try {
    body();
  } catch (...) {
  }
}

PrinterStatus Print(ImagingState& st, const PrintRequest& base, double left, double top, double width,
                    double height) {
  if (st.nativeImage == 0) {
    st.Set(GenericError);
    return st.printer.status = PrinterUnexpectedError;
  }
  PrintRequest request = base;
  request.left = left;
  request.top = top;
  request.width = width;
  request.height = height;
  request.codecDisabled = st.disableCodecPlugin;
  try {
    TessivoStatus input = OK;
    const PrinterStatus result = RunPrintJob(st.printer, st.nativeImage, request, input);
    if (input != OK) st.Set(input);
    return result;
  } catch (const std::bad_alloc&) {
    st.Set(OutOfMemory);
  } catch (...) {
  }
  return st.printer.status = PrinterUnexpectedError;
}

PrintRequest NaturalSize(bool fit) {
  PrintRequest r;
  r.shrink = true;
  r.fit = fit;
  return r;
}

bool Dialog(cImaging& imaging, bool fit, float left, float top, float width, float height) {
  ImagingState& st = imaging.State();
  return Quiet(false, [&] {
    cPrinter& p = st.printer;
    platform::PrintDialogSettings s;
    for (int32_t i = 1, n = p.GetPrintersCount(); i <= n; ++i) s.printers.push_back(p.GetPrinterName(i));
    s.printer = p.GetDefaultPrinter();
    s.copies = p.GetCopies();
    s.orientation = p.GetOrientation();
    s.paperSize = p.GetPaperSize();
    s.duplex = p.GetDuplexMode();
    s.colorMode = p.GetColorMode();
    s.quality = p.GetQuality();
    s.paperBin = p.GetPaperBin();
    if (const ImageEntry* e = ImageRegistry::Current().Entry(st.nativeImage); e && e->multiPageTiff && e->pageCount > 1) {
      s.fromPage = s.minPage = 1;
      s.toPage = s.maxPage = e->pageCount;
    }
    if (!platform::Host().PrintDialog(s)) return false;
    auto apply = [&] {
      p.SelectPrinter(s.printer);
      p.SetCopies(s.copies);
      p.SetFromToPage(s.fromPage, s.toPage);
      p.SetOrientation(static_cast<int16_t>(s.orientation));
      p.SetDuplexMode(s.duplex);
      p.SetPaperSize(s.paperSize);
      p.SetColorMode(s.colorMode);
      p.SetQuality(s.quality);
      p.SetPaperBin(s.paperBin);
    };
    apply();
    if (left != 0 || top != 0 || width != 0 || height != 0) imaging.PrintImageBySize(left, top, width, height);
    else if (fit) imaging.PrintImageFit();
    else imaging.PrintImage();
    apply();
    return true;
  });
}

}  // namespace

int32_t cImaging::PrintGetPrintersCount() { return Quiet(0, [&] { return state_->printer.GetPrintersCount(); }); }
std::string cImaging::PrintGetPrinterName(int32_t nPrinterNo) {
  return Quiet(std::string(), [&] { return state_->printer.GetPrinterName(nPrinterNo); });
}
std::string cImaging::PrintGetActivePrinter() {
  return Quiet(std::string(), [&] { return state_->printer.GetDefaultPrinter(); });
}
bool cImaging::PrintSetActivePrinter(const std::string& sPrinterName) {
  return Quiet(false, [&] { return state_->printer.SelectPrinter(sPrinterName); });
}
void cImaging::PrintSetStdPaperSize(int32_t nPaperSize) { QuietDo([&] { state_->printer.SetPaperSize(nPaperSize); }); }
int32_t cImaging::PrintGetPaperSize() { return Quiet(0, [&] { return state_->printer.GetPaperSize(); }); }
void cImaging::PrintSetUserPaperSize(float nPaperWidth, float nPaperHeight) {
  QuietDo([&] { state_->printer.SetUserPaperSize(nPaperWidth, nPaperHeight); });
}
float cImaging::PrintGetPaperWidth() { return Quiet(0.0f, [&] { return state_->printer.GetPaperWidth(); }); }
float cImaging::PrintGetPaperHeight() { return Quiet(0.0f, [&] { return state_->printer.GetPaperHeight(); }); }
void cImaging::PrintGetMargins(float& nLeftMargin, float& nTopMargin) {
  nLeftMargin = nTopMargin = 0;
  QuietDo([&] { state_->printer.GetMargins(nLeftMargin, nTopMargin); });
}
void cImaging::PrintSetCopies(int32_t nCopies) { state_->printer.SetCopies(nCopies); }
int32_t cImaging::PrintGetCopies() { return state_->printer.GetCopies(); }
void cImaging::PrintSetOrientation(int16_t nOrientation) { state_->printer.SetOrientation(nOrientation); }
int16_t cImaging::PrintGetOrientation() { return state_->printer.GetOrientation(); }
void cImaging::PrintSetColorMode(int32_t nColorMode) { state_->printer.SetColorMode(nColorMode); }
int32_t cImaging::PrintGetColorMode() { return Quiet(0, [&] { return state_->printer.GetColorMode(); }); }
void cImaging::PrintSetDuplexMode(int32_t nDuplexMode) { state_->printer.SetDuplexMode(nDuplexMode); }
int32_t cImaging::PrintGetDuplexMode() { return Quiet(0, [&] { return state_->printer.GetDuplexMode(); }); }
void cImaging::PrintSetQuality(PrintQuality nQuality) { state_->printer.SetQuality(nQuality); }
PrintQuality cImaging::PrintGetQuality() {
  return static_cast<PrintQuality>(Quiet(0, [&] { return state_->printer.GetQuality(); }));
}
bool cImaging::PrintSetPaperBin(int32_t nPaperBin) {
  return Quiet(false, [&] { return state_->printer.SetPaperBin(nPaperBin); });
}
int32_t cImaging::PrintGetPaperBin() { return Quiet(0, [&] { return state_->printer.GetPaperBin(); }); }
TessivoStatus cImaging::PrintSetFromToPage(int32_t nFrom, int32_t nTo) {
  if (!state_->printer.SetFromToPage(nFrom, nTo)) return state_->Set(InvalidParameter);
  return OK;
}
void cImaging::PrintSetDocumentName(const std::string& sDocumentName) { state_->printer.documentName = sDocumentName; }
std::string cImaging::PrintGetDocumentName() { return state_->printer.documentName; }
void cImaging::PrintSetImageAlignment(ViewerImageAlignment nImageAlignment) {
  if (nImageAlignment >= 0 && nImageAlignment <= 9) state_->printer.imageAlignment = nImageAlignment;
}
ViewerImageAlignment cImaging::PrintGetImageAlignment() {
  return static_cast<ViewerImageAlignment>(state_->printer.imageAlignment);
}
void cImaging::PrintSetAutoRotation(bool bAutoRotation) { state_->printer.autoRotation = bAutoRotation; }
PrinterStatus cImaging::PrintGetStat() { return state_->printer.status; }

PrinterStatus cImaging::PrintImage() { return Print(*state_, NaturalSize(false), 0, 0, 0, 0); }
PrinterStatus cImaging::PrintImageFit() { return Print(*state_, NaturalSize(true), 0, 0, 0, 0); }
PrinterStatus cImaging::PrintImageBySize(float nDstLeft, float nDstTop, float nWidth, float nHeight) {
  return Print(*state_, PrintRequest{}, nDstLeft, nDstTop, nWidth, nHeight);
}

bool cImaging::PrintImage2Printer(const std::string& sPrinterName) {
  const bool found = PrintSetActivePrinter(sPrinterName);
  if (state_->nativeImage == 0) return false;
  if (found) PrintImage();
  return found;
}

bool cImaging::PrintImageBySize2Printer(const std::string& sPrinterName, float nDstLeft, float nDstTop,
                                        float nWidth, float nHeight) {
  const bool found = PrintSetActivePrinter(sPrinterName);
  if (state_->nativeImage == 0) return false;
  if (found) PrintImageBySize(nDstLeft, nDstTop, nWidth, nHeight);
  return found;
}

bool cImaging::PrintImageDialog() { return Dialog(*this, false, 0, 0, 0, 0); }
bool cImaging::PrintImageDialogFit() { return Dialog(*this, true, 0, 0, 0, 0); }
bool cImaging::PrintImageDialogBySize(float nDstLeft, float nDstTop, float nWidth, float nHeight) {
  return Dialog(*this, false, nDstLeft, nDstTop, nWidth, nHeight);
}

}  // namespace tessivo
