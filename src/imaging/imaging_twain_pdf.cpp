// cImaging: scanning into a PDF document. Each image added is written to the file at once (its
// pixels need not stay in memory); the pages that show them are made when the job stops, one
// page per image at its own size and resolution.
#include <cmath>
#include <filesystem>

#include "core/boundary.h"
#include "pdf/pdf_session.h"
#include "tessivo/imaging.h"

namespace tessivo {

namespace {

// Pixels to points; an image without a usable resolution is taken at 72 dpi.
float PagePoints(int32_t pixels, int32_t dpi) {
  return static_cast<float>(pixels * 72.0 / (dpi > 0 ? dpi : 72));
}

}  // namespace

TessivoStatus cImaging::TwainPdfStart(const std::string& sFilePath, const std::string& sTitle,
                                      const std::string& sCreator, const std::string& sAuthor,
                                      const std::string&) {
  return TwainPdfStartEx(sFilePath, sTitle, sAuthor, "", "", sCreator, PdfEncryptionNone,
                         PdfRightUndefined, "", "");
}

TessivoStatus cImaging::TwainPdfStartEx(const std::string& sFilePath, const std::string& sTitle,
                                        const std::string& sAuthor, const std::string& sSubject,
                                        const std::string& sKeywords, const std::string& sCreator,
                                        PdfEncryption nPdfEncryption, PdfRight nPDFRight,
                                        const std::string& sUserpassWord,
                                        const std::string& sOwnerPassword) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    PdfSession& session = SessionOf(state);
    // A job that was never stopped is dropped: its pages were never made, so what it wrote is
    // no document. Only a file the job itself put there is removed.
    if (session.scanWriter) {
      const bool committed = session.scanWriter->ClosePdfFile();
      session.scanWriter.reset();
      std::error_code ec;
      if (committed) std::filesystem::remove(session.scanPath, ec);
    }
    session.scanImages.clear();
    session.scanPath.clear();
    auto writer = NewWriter(session);
    writer->SetPdfA(true);
    if (!writer->NewPdf(sFilePath, sTitle, sAuthor, sCreator, sKeywords, sSubject, nPdfEncryption,
                        nPDFRight, sUserpassWord, sOwnerPassword))
      return state.Set(CanNotCreateFile);
    session.scanWriter = std::move(writer);
    session.scanPath = sFilePath;
    return state.Set(OK);
  });
}

TessivoStatus cImaging::TwainAddTessivoImageToPdf(int32_t nImageID) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    if (nImageID == 0) return state.Set(InvalidParameter);
    PdfSession& session = SessionOf(state);
    if (!session.scanWriter) return state.Set(TwainPdfMustBeCreatedFirst);
    const int32_t n = session.scanWriter->PdfAddImageId(nImageID);
    if (n == 0) return state.Set(PdfErrorAddingImage);
    session.scanImages.push_back(n);
    return state.Set(OK);
  });
}

TessivoStatus cImaging::TwainPdfStop() {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    PdfSession& session = SessionOf(state);
    if (!session.scanWriter) return state.Set(TwainPdfMustBeCreatedFirst);
    std::unique_ptr<cPDF> writer = std::move(session.scanWriter);
    const std::string path = session.scanPath;
    const std::vector<int32_t> images = std::move(session.scanImages);
    session.scanImages.clear();
    session.scanPath.clear();
    for (int32_t n : images) {
      const float width = PagePoints(writer->ImageWidth(n), writer->ImageResX(n));
      const float height = PagePoints(writer->ImageHeight(n), writer->ImageResY(n));
      writer->SetPaperWidth(width);
      writer->SetPaperHeight(height);
      writer->BeginPage();
      writer->DrawImg(n, 0, 0, width, height);
      writer->EndPage();
    }
    const bool closed = writer->ClosePdfFile();
    writer.reset();
    if (images.empty() && closed) {
      // A document without pages is no result of a scan.
      std::error_code ec;
      std::filesystem::remove(path, ec);
    }
    return state.Set(closed ? OK : CanNotCreateFile);
  });
}

}  // namespace tessivo
