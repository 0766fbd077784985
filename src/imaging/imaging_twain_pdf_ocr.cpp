// cImaging: scanning into a searchable PDF document. Each image added is read by the OCR
// plug-in at once and written to the file; the pages, each with the words read from its image
// laid invisibly over it, are made when the job stops. A job that ends without pages, or is
// dropped by a new start, leaves no file behind.
#include "core/boundary.h"
#include "imaging/pdf_ocr_pages.h"
#include "pdf/ocr_text_layer.h"
#include "pdf/pdf_session.h"
#include "tessivo/imaging.h"

namespace tessivo {

TessivoStatus cImaging::TwainPdfOCRStart(const std::string& sFilePath, const std::string& sTitle,
                                         const std::string& sCreator, const std::string& sAuthor,
                                         const std::string&) {
  return TwainPdfOCRStartEx(sFilePath, sTitle, sAuthor, "", "", sCreator, PdfEncryptionNone, PdfRightUndefined,
                            "", "");
}

TessivoStatus cImaging::TwainPdfOCRStartEx(const std::string& sFilePath, const std::string& sTitle,
                                           const std::string& sAuthor, const std::string& sSubject,
                                           const std::string& sKeywords, const std::string& sCreator,
                                           PdfEncryption nPdfEncryption, PdfRight nPDFRight,
                                           const std::string& sUserpassWord, const std::string& sOwnerPassword) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    PdfSession& session = SessionOf(state);
    // A job that was never stopped made no pages: what it wrote is no document.
    if (session.ocrScanWriter) session.ocrScanWriter->AbandonPdfFile();
    session.ocrScanWriter.reset();
    session.ocrScanPages.clear();
    session.ocrScanFont = 0;
    auto writer = NewWriter(session);
    writer->SetPdfA(true);
    if (!writer->NewPdf(sFilePath, sTitle, sAuthor, sCreator, sKeywords, sSubject, nPdfEncryption, nPDFRight,
                        sUserpassWord, sOwnerPassword))
      return state.Set(CanNotCreateFile);
    const int32_t font = writer->LoadFont(kOcrLayerFace);
    if (font == 0) {
      writer->AbandonPdfFile();
      return state.Set(FontFamilyNotFound);
    }
    session.ocrScanWriter = std::move(writer);
    session.ocrScanFont = font;
    return state.Set(OK);
  });
}

std::string cImaging::TwainAddTessivoImageToPdfOCR(int32_t nImageID, TesseractDictionary nDictionary,
                                                   const std::string& sDictionaryPath,
                                                   const std::string& sCharWhiteList) {
  ImagingState& state = State();
  return Guarded(state, std::string(), [&]() -> std::string {
    if (nImageID == 0) {
      state.Set(InvalidParameter);
      return {};
    }
    PdfSession& session = SessionOf(state);
    if (!session.ocrScanWriter) {
      state.Set(TwainPdfMustBeCreatedFirst);
      return {};
    }
    // Read first: an image that cannot be read is not added, and the job goes on without it.
    PdfSession::OcrScanPage page;
    if (TessivoStatus status = RecognizeImage(nImageID, {nDictionary, sDictionaryPath, sCharWhiteList}, page.records);
        status != OK) {
      state.Set(status);
      return {};
    }
    page.image = session.ocrScanWriter->PdfAddImageId(nImageID);
    if (page.image == 0) {
      state.Set(PdfErrorAddingImage);
      return {};
    }
    std::string text = pdf::OcrRecordsText(page.records);
    session.ocrScanPages.push_back(std::move(page));
    state.Set(OK);
    return text;
  });
}

TessivoStatus cImaging::TwainPdfOCRStop() {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    PdfSession& session = SessionOf(state);
    if (!session.ocrScanWriter) return state.Set(TwainPdfMustBeCreatedFirst);
    std::unique_ptr<cPDF> writer = std::move(session.ocrScanWriter);
    const std::vector<PdfSession::OcrScanPage> pages = std::move(session.ocrScanPages);
    const int32_t font = session.ocrScanFont;
    session.ocrScanPages.clear();
    session.ocrScanFont = 0;
    if (pages.empty()) {
      // A document without pages is no result of a scan.
      writer->AbandonPdfFile();
      return state.Set(OK);
    }
    for (const PdfSession::OcrScanPage& page : pages) MakeSearchablePage(*writer, page.image, font, page.records);
    return state.Set(writer->ClosePdfFile() ? OK : CanNotCreateFile);
  });
}

}  // namespace tessivo
