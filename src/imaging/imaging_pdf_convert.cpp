// cImaging: the native image or a multi-page TIFF document written as a PDF file in one call,
// plain or PDF/A-1b, and the permission values of encrypted documents.
#include <cmath>
#include <vector>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "imaging/pdf_conversion.h"
#include "pdf/pdf_session.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

TessivoStatus ConvertDocument(cImaging& imaging, int32_t imageId, const DocumentInfo& info, bool archival) {
  ImagingState& state = imaging.State();
  return GuardedStatus(state, [&] {
    if (imageId == 0) return state.Set(InvalidParameter);
    if (!imaging.TiffIsMultiPage(imageId)) return state.Set(UnsupportedImageFormat);
    const int32_t pages = imaging.TiffGetPageCount(imageId);
    const int32_t current = imaging.TiffGetCurrentPage(imageId);
    auto writer = OpenWriter(state, info, archival);
    if (!writer) return state.Set(CanNotCreateFile);
    writer->SetCompressData(true);
    TessivoStatus status = OK;
    std::vector<int32_t> images;
    // Every page image is written before the first page object.
    for (int32_t page = 1; page <= pages && status == OK; ++page) {
      int32_t n = 0;
      if (imaging.TiffSelectPage(imageId, page) == OK) n = writer->PdfAddImageId(imageId);
      if (n == 0) status = PdfErrorAddingImage;
      images.push_back(n);
    }
    if (status == OK) {
      for (int32_t n : images) {
        const float width = PixelsToPoints(writer->ImageWidth(n), writer->ImageResX(n));
        const float height = PixelsToPoints(writer->ImageHeight(n), writer->ImageResY(n));
        writer->SetPaperWidth(width);
        writer->SetPaperHeight(height);
        writer->BeginPage();
        writer->DrawImg(n, 0, 0, width, height);
        writer->EndPage();
      }
    }
    // The file is finished in every case; the caller's page is selected again.
    if (!writer->ClosePdfFile() && status == OK) status = CanNotCreateFile;
    if (current >= 1) imaging.TiffSelectPage(imageId, current);
    return state.Set(status);
  });
}

bool ConvertNative(cImaging& imaging, const DocumentInfo& info, bool archival) {
  ImagingState& state = imaging.State();
  return Guarded(state, false, [&] {
    const int32_t native = state.nativeImage;
    platform::Bitmap* image = ResolveImage(native);
    if (native == 0 || image == nullptr) return false;
    if (imaging.TiffIsMultiPage(native) && imaging.TiffGetPageCount(native) >= 2)
      return ConvertDocument(imaging, native, info, archival) == OK;
    state.Set(OK);
    const float width = PixelsToPoints(image->Width(), image->HorizontalResolution());
    const float height = PixelsToPoints(image->Height(), image->VerticalResolution());
    auto writer = OpenWriter(state, info, archival);
    if (!writer) {
      state.Set(CanNotCreateFile);
      return false;
    }
    writer->SetPaperHeight(height);
    writer->SetPaperWidth(width);
    bool added = writer->PdfAddImageId(native) != 0;
    if (added) {
      writer->BeginPage();
      writer->DrawImg(1, 0, 0, width, height);
      writer->EndPage();
    } else {
      state.Set(PdfErrorAddingImage);
    }
    if (!writer->ClosePdfFile()) {
      state.Set(CanNotCreateFile);
      return false;
    }
    return added;
  });
}

const std::string kNone;

}  // namespace

bool cImaging::SaveAsPDF(const std::string& sFilePath, const std::string& sTitle, const std::string& sCreator,
                         const std::string& sAuthor, const std::string&) {
  return SaveAsPDFEx(sFilePath, sTitle, sAuthor, "", "", sCreator);
}

bool cImaging::SaveAsPDFEx(const std::string& sFilePath, const std::string& sTitle, const std::string& sAuthor,
                           const std::string& sSubject, const std::string& sKeywords, const std::string& sCreator,
                           PdfEncryption nPdfEncryption, PdfRight nPDFRight, const std::string& sUserpassWord,
                           const std::string& sOwnerPassword) {
  return ConvertNative(*this, {sFilePath, sTitle, sAuthor, sSubject, sKeywords, sCreator, nPdfEncryption, nPDFRight,
                               sUserpassWord, sOwnerPassword},
                       false);
}

bool cImaging::SaveAsPDFA(const std::string& sFilePath, const std::string& sTitle, const std::string& sCreator,
                          const std::string& sAuthor, const std::string&) {
  return SaveAsPDFAEx(sFilePath, sTitle, sAuthor, "", "", sCreator);
}

bool cImaging::SaveAsPDFAEx(const std::string& sFilePath, const std::string& sTitle, const std::string& sAuthor,
                            const std::string& sSubject, const std::string& sKeywords, const std::string& sCreator) {
  return ConvertNative(*this, {sFilePath, sTitle, sAuthor, sSubject, sKeywords, sCreator, PdfEncryptionNone,
                               PdfRightUndefined, kNone, kNone},
                       true);
}

TessivoStatus cImaging::PdfCreateFromMultipageTIFF(int32_t nImageID, const std::string& sFilePath,
                                                   const std::string& sTitle, const std::string& sCreator,
                                                   const std::string& sAuthor, const std::string&) {
  return PdfCreateFromMultipageTIFFEx(nImageID, sFilePath, sTitle, sAuthor, "", "", sCreator);
}

TessivoStatus cImaging::PdfCreateFromMultipageTIFFEx(int32_t nImageID, const std::string& sFilePath,
                                                     const std::string& sTitle, const std::string& sAuthor,
                                                     const std::string& sSubject, const std::string& sKeywords,
                                                     const std::string& sCreator, PdfEncryption nPdfEncryption,
                                                     PdfRight nPDFRight, const std::string& sUserpassWord,
                                                     const std::string& sOwnerPassword) {
  return ConvertDocument(*this, nImageID,
                         {sFilePath, sTitle, sAuthor, sSubject, sKeywords, sCreator, nPdfEncryption, nPDFRight,
                          sUserpassWord, sOwnerPassword},
                         false);
}

TessivoStatus cImaging::PdfACreateFromMultipageTIFF(int32_t nImageID, const std::string& sFilePath,
                                                    const std::string& sTitle, const std::string& sCreator,
                                                    const std::string& sAuthor, const std::string&) {
  return PdfACreateFromMultipageTIFFEx(nImageID, sFilePath, sTitle, sAuthor, "", "", sCreator);
}

TessivoStatus cImaging::PdfACreateFromMultipageTIFFEx(int32_t nImageID, const std::string& sFilePath,
                                                      const std::string& sTitle, const std::string& sAuthor,
                                                      const std::string& sSubject, const std::string& sKeywords,
                                                      const std::string& sCreator) {
  return ConvertDocument(*this, nImageID,
                         {sFilePath, sTitle, sAuthor, sSubject, sKeywords, sCreator, PdfEncryptionNone,
                          PdfRightUndefined, kNone, kNone},
                         true);
}

PdfRight cImaging::PdfCreateRights(bool bCanPrint, bool bCanModify, bool bCanCopy, bool bCanAddNotes,
                                   bool bCanFillFields, bool bCanCopyAccess, bool bCanAssemble, bool bCanprintFull) {
  int32_t rights = PdfRightCanView;
  if (bCanPrint) rights += PdfRightCanPrint;
  if (bCanModify) rights += PdfRightCanModify;
  if (bCanCopy) rights += PdfRightCanCopy;
  if (bCanAddNotes) rights += PdfRightCanAddNotes;
  if (bCanFillFields) rights += PdfRightCanFillFields;
  if (bCanCopyAccess) rights += PdfRightCanCopyAccess;
  if (bCanAssemble) rights += PdfRightCanAssemble;
  if (bCanprintFull) rights += PdfRightCanPrintFull;
  return static_cast<PdfRight>(rights);
}

}  // namespace tessivo
