// Per-instance state of cImaging. Each family keeps its fields in its own block.
#pragma once
#include <cstdint>
#include <memory>

#include "core/image_registry.h"
#include "pixel/pixel_state.h"
#include "recognition/barcode/barcode_reader.h"
#include "recognition/ocr/ocr_text.h"
#include "print/printer.h"
#include "tessivo/status.h"

namespace tessivo {

struct PdfSession;
namespace recognition {
class cARD;
}

struct ImagingState {
  // Registry, status and lifecycle.
  int32_t nativeImage = 0;
  TessivoStatus lastStatus = OK;
  int32_t nativeMultiPageTiffTarget = 0;  // image open as a native multi-page TIFF target
  bool tiffOpenReadOnly = false;
  bool gifOpenReadOnly = false;
  bool disableCodecPlugin = false;
  bool preserveTags = true;
  CapturedTags capturedTags;

  PixelState pixel;  // region of interest and 3x3 patterns

  // HTTP and FTP transfer.
  int32_t httpBufferSize = 4096;  // read chunk of downloads, between host event pumps
  bool ftpPassive = true;
  bool urlDownloadRunning = false;  // a CreateImageFromURL of this instance is under way

  // Barcode reading: the 1D and DataMatrix reader wrappers with their last results.
  recognition::BarcodeReaderState barcodeReaders;
  // Text recognition: the characters of the last OCRTesseractDoOCR.
  recognition::OcrStore ocr;
  // Printing: settings kept for the life of the instance.
  cPrinter printer;
  // PDF documents built call by call (pdf/pdf_session.h); made on first use.
  std::shared_ptr<PdfSession> pdf;
  // Text: the unit of font sizes (a UnitMode value), points by default.
  int32_t fontUnit = 3;
  // Document recognition: the template set, made on first use (imaging_ard.cpp).
  std::shared_ptr<recognition::cARD> ard;

  // Stores `status` as the last status and returns it.
  TessivoStatus Set(TessivoStatus status) { return lastStatus = status; }
};

}  // namespace tessivo
