// cImaging: searchable PDF files in one call. The native image, or every page of a multi-page
// TIFF document, becomes a page showing the image with its recognised words laid invisibly
// over it; the recognised text is returned. A document is only ever left at the destination
// complete: any failure (the file, an image, the font, the recognition of any page) leaves no
// file there and returns "" with the failure's status.
#include <vector>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "imaging/pdf_conversion.h"
#include "imaging/pdf_ocr_pages.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

struct PageRecognition {
  int32_t imageNumber = 0;
  std::vector<TvocrCharRecord> records;
};

// The layer font, loaded before the first page; 0 (the document dropped, the status set) when
// the face is not installed.
int32_t LoadLayerFont(ImagingState& state, cPDF& writer) {
  const int32_t font = writer.LoadFont(kOcrLayerFace);
  if (font == 0) {
    writer.AbandonPdfFile();
    state.Set(FontFamilyNotFound);
  }
  return font;
}

std::string Fail(ImagingState& state, cPDF& writer, TessivoStatus status) {
  writer.AbandonPdfFile();
  state.Set(status);
  return {};
}

std::string Finish(ImagingState& state, cPDF& writer, std::string text) {
  if (!writer.ClosePdfFile()) {
    state.Set(CanNotCreateFile);
    return {};
  }
  state.Set(OK);
  return text;
}

std::string ConvertNativeWithText(cImaging& imaging, const DocumentInfo& info, const OcrOptions& ocr) {
  ImagingState& state = imaging.State();
  return Guarded(state, std::string(), [&]() -> std::string {
    const int32_t native = state.nativeImage;
    platform::Bitmap* image = ResolveImage(native);
    if (native == 0 || image == nullptr) return {};
    // The image as it is now, for a document its selected page: a searchable copy of one page.
    const double resX = image->HorizontalResolution(), resY = image->VerticalResolution();
    auto writer = OpenWriter(state, info, true);
    if (!writer) {
      state.Set(CanNotCreateFile);
      return {};
    }
    const int32_t n = writer->PdfAddImageId(native);
    if (n == 0) return Fail(state, *writer, PdfErrorAddingImage);
    std::vector<TvocrCharRecord> records;
    if (TessivoStatus status = RecognizeImage(native, ocr, records); status != OK)
      return Fail(state, *writer, status);
    const int32_t font = LoadLayerFont(state, *writer);
    if (font == 0) return {};
    std::string text = MakeSearchablePage(*writer, n, resX, resY, font, records);
    return Finish(state, *writer, std::move(text));
  });
}

std::string ConvertDocumentWithText(cImaging& imaging, int32_t imageId, const DocumentInfo& info,
                                    const OcrOptions& ocr) {
  ImagingState& state = imaging.State();
  return Guarded(state, std::string(), [&]() -> std::string {
    if (imageId == 0) {
      state.Set(InvalidParameter);
      return {};
    }
    if (!imaging.TiffIsMultiPage(imageId)) {
      state.Set(UnsupportedImageFormat);
      return {};
    }
    const int32_t pages = imaging.TiffGetPageCount(imageId);
    const int32_t current = imaging.TiffGetCurrentPage(imageId);
    auto writer = OpenWriter(state, info, true);
    if (!writer) {
      state.Set(CanNotCreateFile);
      return {};
    }
    writer->SetCompressData(true);
    // Every page image is written, and read, before the first page object.
    std::vector<PageRecognition> recognized;
    TessivoStatus status = OK;
    for (int32_t page = 1; page <= pages && status == OK; ++page) {
      PageRecognition entry;
      if (imaging.TiffSelectPage(imageId, page) == OK) entry.imageNumber = writer->PdfAddImageId(imageId);
      if (entry.imageNumber == 0) status = PdfErrorAddingImage;
      else status = RecognizeImage(imageId, ocr, entry.records);
      recognized.push_back(std::move(entry));
    }
    if (current >= 1) imaging.TiffSelectPage(imageId, current);
    if (status != OK) return Fail(state, *writer, status);
    const int32_t font = LoadLayerFont(state, *writer);
    if (font == 0) return {};
    std::string text;
    for (const PageRecognition& page : recognized)
      text += MakeSearchablePage(*writer, page.imageNumber, font, page.records);
    return Finish(state, *writer, std::move(text));
  });
}

}  // namespace

std::string cImaging::SaveAsPDFOCR(const std::string& sFilePath, TesseractDictionary nDictionary,
                                   const std::string& sDictionaryPath, const std::string& sCharWhiteList,
                                   const std::string& sTitle, const std::string& sCreator,
                                   const std::string& sAuthor, const std::string&) {
  return SaveAsPDFOCREx(sFilePath, nDictionary, sDictionaryPath, sCharWhiteList, sTitle, sAuthor, "", "",
                        sCreator);
}

std::string cImaging::SaveAsPDFOCREx(const std::string& sFilePath, TesseractDictionary nDictionary,
                                     const std::string& sDictionaryPath, const std::string& sCharWhiteList,
                                     const std::string& sTitle, const std::string& sAuthor,
                                     const std::string& sSubject, const std::string& sKeywords,
                                     const std::string& sCreator, PdfEncryption nPdfEncryption,
                                     PdfRight nPDFRight, const std::string& sUserpassWord,
                                     const std::string& sOwnerPassword) {
  return ConvertNativeWithText(*this,
                               {sFilePath, sTitle, sAuthor, sSubject, sKeywords, sCreator, nPdfEncryption,
                                nPDFRight, sUserpassWord, sOwnerPassword},
                               {nDictionary, sDictionaryPath, sCharWhiteList});
}

std::string cImaging::PdfOCRCreateFromMultipageTIFF(int32_t nImageID, const std::string& sFilePath,
                                                    TesseractDictionary nDictionary,
                                                    const std::string& sDictionaryPath,
                                                    const std::string& sCharWhiteList, const std::string& sTitle,
                                                    const std::string& sCreator, const std::string& sAuthor,
                                                    const std::string&) {
  return PdfOCRCreateFromMultipageTIFFEx(nImageID, sFilePath, nDictionary, sDictionaryPath, sCharWhiteList,
                                         sTitle, sAuthor, "", "", sCreator);
}

std::string cImaging::PdfOCRCreateFromMultipageTIFFEx(
    int32_t nImageID, const std::string& sFilePath, TesseractDictionary nDictionary,
    const std::string& sDictionaryPath, const std::string& sCharWhiteList, const std::string& sTitle,
    const std::string& sAuthor, const std::string& sSubject, const std::string& sKeywords,
    const std::string& sCreator, PdfEncryption nPdfEncryption, PdfRight nPDFRight,
    const std::string& sUserpassWord, const std::string& sOwnerPassword) {
  return ConvertDocumentWithText(*this, nImageID,
                                 {sFilePath, sTitle, sAuthor, sSubject, sKeywords, sCreator, nPdfEncryption,
                                  nPDFRight, sUserpassWord, sOwnerPassword},
                                 {nDictionary, sDictionaryPath, sCharWhiteList});
}

}  // namespace tessivo
