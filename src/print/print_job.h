// One print job of an image: its pages rendered to PDF and handed to the spooler in one piece,
// so that a job either reaches the printer whole or not at all.
#pragma once
#include <cstdint>

#include "print/printer.h"
#include "tessivo/status.h"

namespace tessivo {

struct PrintRequest {
  double left = 0, top = 0, width = 0, height = 0;  // mm; width or height 0: natural size
  bool shrink = false, fit = false;
  bool codecDisabled = false;  // how pages of editable documents are loaded
};

// Prints image `imageId` (a multi-page TIFF document page by page within the printer's page
// range). Sets printer.status and returns it. `inputStatus` receives OK, or the status that
// refused the request before any job started: InvalidParameter for an unknown image, negative
// or non-finite lengths, or a printable area without extent when fitting or shrinking.
PrinterStatus RunPrintJob(cPrinter& printer, int32_t imageId, const PrintRequest& request,
                          TessivoStatus& inputStatus);

}  // namespace tessivo
