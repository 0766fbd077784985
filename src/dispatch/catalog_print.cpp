// Type library entries of the printing methods and their enumerations.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Print) {
  catalog.Enum<PrintQuality>({{"PrintQualityDraft", PrintQualityDraft},
                              {"PrintQualityLowResolution", PrintQualityLowResolution},
                              {"PrintQualityMediumResolution", PrintQualityMediumResolution},
                              {"PrintQualityHightResolution", PrintQualityHightResolution}});
  catalog.Enum<PrinterStatus>({{"PrinterOK", PrinterOK},
                               {"PrinterErrorSelectingFrame", PrinterErrorSelectingFrame},
                               {"PrinterGdiplusWriteError", PrinterGdiplusWriteError},
                               {"PrinterUnexpectedError", PrinterUnexpectedError}});
  catalog.Enum<ViewerImageAlignment>({{"ImageAlignmentMiddleLeft", ImageAlignmentMiddleLeft},
                                      {"ImageAlignmentMiddleRight", ImageAlignmentMiddleRight},
                                      {"ImageAlignmentMiddleCenter", ImageAlignmentMiddleCenter},
                                      {"ImageAlignmentTopLeft", ImageAlignmentTopLeft},
                                      {"ImageAlignmentTopRight", ImageAlignmentTopRight},
                                      {"ImageAlignmentTopCenter", ImageAlignmentTopCenter},
                                      {"ImageAlignmentBottomLeft", ImageAlignmentBottomLeft},
                                      {"ImageAlignmentBottomRight", ImageAlignmentBottomRight},
                                      {"ImageAlignmentBottomCenter", ImageAlignmentBottomCenter}});
  catalog.Method("PrintGetPrintersCount", &cImaging::PrintGetPrintersCount);
  catalog.Method("PrintGetPrinterName", &cImaging::PrintGetPrinterName, "nPrinterNo");
  catalog.Method("PrintGetActivePrinter", &cImaging::PrintGetActivePrinter);
  catalog.Method("PrintSetActivePrinter", &cImaging::PrintSetActivePrinter, "sPrinterName");
  catalog.Method("PrintSetStdPaperSize", &cImaging::PrintSetStdPaperSize, "nPaperSize");
  catalog.Method("PrintGetPaperSize", &cImaging::PrintGetPaperSize);
  catalog.Method("PrintSetUserPaperSize", &cImaging::PrintSetUserPaperSize, "nPaperWidth, nPaperHeight");
  catalog.Method("PrintGetPaperWidth", &cImaging::PrintGetPaperWidth);
  catalog.Method("PrintGetPaperHeight", &cImaging::PrintGetPaperHeight);
  catalog.Method("PrintGetMargins", &cImaging::PrintGetMargins, "nLeftMargin, nTopMargin");
  catalog.Method("PrintSetCopies", &cImaging::PrintSetCopies, "nCopies");
  catalog.Method("PrintGetCopies", &cImaging::PrintGetCopies);
  catalog.Method("PrintSetOrientation", &cImaging::PrintSetOrientation, "nOrientation");
  catalog.Method("PrintGetOrientation", &cImaging::PrintGetOrientation);
  catalog.Method("PrintSetColorMode", &cImaging::PrintSetColorMode, "nColorMode");
  catalog.Method("PrintGetColorMode", &cImaging::PrintGetColorMode);
  catalog.Method("PrintSetDuplexMode", &cImaging::PrintSetDuplexMode, "nDuplexMode");
  catalog.Method("PrintGetDuplexMode", &cImaging::PrintGetDuplexMode);
  catalog.Method("PrintSetQuality", &cImaging::PrintSetQuality, "nQuality");
  catalog.Method("PrintGetQuality", &cImaging::PrintGetQuality);
  catalog.Method("PrintSetPaperBin", &cImaging::PrintSetPaperBin, "nPaperBin");
  catalog.Method("PrintGetPaperBin", &cImaging::PrintGetPaperBin);
  catalog.Method("PrintSetFromToPage", &cImaging::PrintSetFromToPage, "nFrom, nTo");
  catalog.Method("PrintSetDocumentName", &cImaging::PrintSetDocumentName, "sDocumentName");
  catalog.Method("PrintGetDocumentName", &cImaging::PrintGetDocumentName);
  catalog.Method("PrintSetImageAlignment", &cImaging::PrintSetImageAlignment, "nImageAlignment");
  catalog.Method("PrintGetImageAlignment", &cImaging::PrintGetImageAlignment);
  catalog.Method("PrintSetAutoRotation", &cImaging::PrintSetAutoRotation, "bAutoRotation");
  catalog.Method("PrintGetStat", &cImaging::PrintGetStat);
  catalog.Method("PrintImage", &cImaging::PrintImage);
  catalog.Method("PrintImageFit", &cImaging::PrintImageFit);
  catalog.Method("PrintImageBySize", &cImaging::PrintImageBySize, "nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("PrintImage2Printer", &cImaging::PrintImage2Printer, "sPrinterName");
  catalog.Method("PrintImageBySize2Printer", &cImaging::PrintImageBySize2Printer,
                 "sPrinterName, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("PrintImageDialog", &cImaging::PrintImageDialog);
  catalog.Method("PrintImageDialogFit", &cImaging::PrintImageDialogFit);
  catalog.Method("PrintImageDialogBySize", &cImaging::PrintImageDialogBySize,
                 "nDstLeft, nDstTop, nWidth, nHeight");
}

}  // namespace tessivo::dispatch
