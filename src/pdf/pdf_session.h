// The PDF state of one cImaging: the document built call by call, the caller's measurement
// unit and the writer settings every new document starts with.
#pragma once
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/imaging_state.h"
#include "pdf/pdf_writer.h"
#include "tessivo/plugins/tvocrplug.h"

namespace tessivo {

struct PdfSession {
  std::unique_ptr<cPDF> writer;  // the open document, or none
  int32_t handle = 0;            // non-zero while a document is open
  // What the document really holds, so colours and widths are sent only when they change.
  int32_t textColor = 0, fillSent = 0, strokeSent = 0;
  float lineWidthSent = 0;
  int32_t unit = 0;  // 0 points, 1 millimetres, 2 centimetres, 3 inches
  int32_t compressLevel = 9, jpegQuality = 75;
  // The scan-to-PDF job: its writer, its file and the writer's numbers of the images added.
  std::unique_ptr<cPDF> scanWriter;
  std::string scanPath;
  std::vector<int32_t> scanImages;
  // The searchable scan-to-PDF job: the same, each image with the characters read from it.
  struct OcrScanPage {
    int32_t image = 0;
    std::vector<TvocrCharRecord> records;
  };
  std::unique_ptr<cPDF> ocrScanWriter;
  int32_t ocrScanFont = 0;
  std::vector<OcrScanPage> ocrScanPages;

  PdfSession() = default;
  PdfSession(const PdfSession&) = delete;
  PdfSession& operator=(const PdfSession&) = delete;
  // Scan jobs still running when the instance goes make no pages: their files would be
  // documents without any, so they are dropped rather than finished at their paths.
  ~PdfSession() {
    if (scanWriter) scanWriter->AbandonPdfFile();
    if (ocrScanWriter) ocrScanWriter->AbandonPdfFile();
  }

  cPDF* Open() const { return handle != 0 ? writer.get() : nullptr; }

  // Points per unit of the current measurement unit.
  double PointsPerUnit() const {
    switch (unit) {
      case 1: return 72.0 / 25.4;
      case 2: return 72.0 / 2.54;
      case 3: return 72.0;
      default: return 1.0;
    }
  }
  float ToPoints(float value) const { return static_cast<float>(value * PointsPerUnit()); }
  float FromPoints(float points) const { return static_cast<float>(points / PointsPerUnit()); }
  // A pixel count at `dpi` in the current unit; no resolution gives 0.
  float FromPixels(int32_t pixels, int32_t dpi) const {
    if (dpi <= 0) return 0;
    return FromPoints(static_cast<float>(pixels * 72.0 / dpi));
  }
};

// A writer with the instance's settings: paper 0, orientation 0, quality and level.
inline std::unique_ptr<cPDF> NewWriter(const PdfSession& session) {
  auto writer = std::make_unique<cPDF>();
  writer->SetPaperSize(0);
  writer->SetOrientation(0);
  writer->SetJpegQuality(session.jpegQuality);
  writer->SetCompressLevel(session.compressLevel);
  return writer;
}

// The instance's session, made on first use.
inline PdfSession& SessionOf(ImagingState& state) {
  if (!state.pdf) state.pdf = std::make_shared<PdfSession>();
  return *state.pdf;
}

}  // namespace tessivo
