// Type library entries of scanning into a PDF document.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(TwainPdf) {
  catalog.Method("TwainPdfStart", &cImaging::TwainPdfStart,
                 R"(sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("TwainPdfStartEx", &cImaging::TwainPdfStartEx,
                 R"(sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  catalog.Method("TwainAddTessivoImageToPdf", &cImaging::TwainAddTessivoImageToPdf, "nImageID");
  catalog.Method("TwainPdfStop", &cImaging::TwainPdfStop);
  catalog.Method("TwainPdfOCRStart", &cImaging::TwainPdfOCRStart,
                 R"(sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("TwainPdfOCRStartEx", &cImaging::TwainPdfOCRStartEx,
                 R"(sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  catalog.Method("TwainAddTessivoImageToPdfOCR", &cImaging::TwainAddTessivoImageToPdfOCR,
                 R"(nImageID, nDictionary, sDictionaryPath, sCharWhiteList="")");
  catalog.Method("TwainPdfOCRStop", &cImaging::TwainPdfOCRStop);
}

}  // namespace tessivo::dispatch
