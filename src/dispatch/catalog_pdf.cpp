// Type library entries of the PDF methods: documents built call by call, one-call
// conversions and permission values.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Pdf) {
  catalog.Enum<PdfEncryption>({
      {"PdfEncryptionNone", PdfEncryptionNone},
      {"PdfEncryption40Bit", PdfEncryption40Bit},
      {"PdfEncryption128Bit", PdfEncryption128Bit},
  });
  catalog.Enum<PdfRight>({
      {"PdfRightUndefined", PdfRightUndefined}, {"PdfRightCanView", PdfRightCanView},
      {"PdfRightCanPrint", PdfRightCanPrint}, {"PdfRightCanCopy", PdfRightCanCopy},
      {"PdfRightCanModify", PdfRightCanModify}, {"PdfRightCanAddNotes", PdfRightCanAddNotes},
      {"PdfRightCanFillFields", PdfRightCanFillFields}, {"PdfRightCanCopyAccess", PdfRightCanCopyAccess},
      {"PdfRightCanAssemble", PdfRightCanAssemble}, {"PdfRightCanPrintFull", PdfRightCanPrintFull},
  });
  catalog.Method("PdfNewPdf", &cImaging::PdfNewPdf,
                 R"(sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("PdfNewPdfEx", &cImaging::PdfNewPdfEx,
                 R"(sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  catalog.Method("PdfSetMetadata", &cImaging::PdfSetMetadata, "sXMP");
  catalog.Method("PdfNewPage", &cImaging::PdfNewPage);
  catalog.Method("PdfEndPage", &cImaging::PdfEndPage);
  catalog.Method("PdfGetCurrentPage", &cImaging::PdfGetCurrentPage);
  catalog.Method("PdfSavePdf", &cImaging::PdfSavePdf);
  catalog.Method("PdfSetPageDimensions", &cImaging::PdfSetPageDimensions, "nWidth, nHeight");
  catalog.Method("PdfSetPageMargin", &cImaging::PdfSetPageMargin, "nMargin");
  catalog.Method("PdfGetPageMargin", &cImaging::PdfGetPageMargin);
  catalog.Method("PdfSetPageOrientation", &cImaging::PdfSetPageOrientation, "nOrientation");
  catalog.Method("PdfGetPageOrientation", &cImaging::PdfGetPageOrientation);
  catalog.Method("PdfSetMeasurementUnits", &cImaging::PdfSetMeasurementUnits, "nUnitValue");
  catalog.Method("PdfSetCompressionLevel", &cImaging::PdfSetCompressionLevel, "nLevel");
  catalog.Method("PdfGetCompressionLevel", &cImaging::PdfGetCompressionLevel);
  catalog.Method("PdfSetJpegQuality", &cImaging::PdfSetJpegQuality, "nQuality");
  catalog.Method("PdfGetJpegQuality", &cImaging::PdfGetJpegQuality);
  catalog.Method("PdfAddImageFromFile", &cImaging::PdfAddImageFromFile, "sImagePath");
  catalog.Method("PdfAddImageFromTessivoImage", &cImaging::PdfAddImageFromTessivoImage, "nImageID");
  catalog.Method("PdfDrawImage", &cImaging::PdfDrawImage, "nPdfImageNo, nDstX, nDstY, nWidth, nHeight");
  catalog.Method("PdfGetImageWidth", &cImaging::PdfGetImageWidth, "nPdfImageNo");
  catalog.Method("PdfGetImageHeight", &cImaging::PdfGetImageHeight, "nPdfImageNo");
  catalog.Method("PdfAddFont", &cImaging::PdfAddFont, "sFontName, bBold=False, bItalic=False");
  catalog.Method("PdfSetTextColor", &cImaging::PdfSetTextColor, "nRGBColor");
  catalog.Method("PdfDrawText", &cImaging::PdfDrawText,
                 "nDstX, nDstY, sText, nFontID, nFontSize, nRotation=0");
  catalog.Method("PdfDrawTextAlign", &cImaging::PdfDrawTextAlign,
                 "nDstX, nDstY, sText, nFontID, nFontSize, nTextAlign");
  catalog.Method("PdfGetTextWidth", &cImaging::PdfGetTextWidth, "sText, nFontID, nFontSize");
  catalog.Method("PdfSetTextMode", &cImaging::PdfSetTextMode, "nTextMode");
  catalog.Method("PdfSetCharSpacing", &cImaging::PdfSetCharSpacing, "nCharSpacing");
  catalog.Method("PdfSetWordSpacing", &cImaging::PdfSetWordSpacing, "nWordSpacing");
  catalog.Method("PdfSetTextHorizontalScaling", &cImaging::PdfSetTextHorizontalScaling, "nScaling");
  catalog.Method("PdfSetLineDash", &cImaging::PdfSetLineDash, "nDashOn, nDashOff");
  catalog.Method("PdfSetLineJoin", &cImaging::PdfSetLineJoin, "nLineJoin");
  catalog.Method("PdfSetLineCap", &cImaging::PdfSetLineCap, "nLineCap");
  catalog.Method("PdfDrawLine", &cImaging::PdfDrawLine, "nX1, nY1, nX2, nY2, nBorderWidth, nRGBColor=0");
  catalog.Method("PdfDrawRectangle", &cImaging::PdfDrawRectangle,
                 "nX, nY, nWidth, nHeight, nBorderWidth, nRGBColor=0, nRay=0");
  catalog.Method("PdfDrawFillRectangle", &cImaging::PdfDrawFillRectangle,
                 "nX, nY, nWidth, nHeight, nBorderWidth, nRGBColor=0, nRay=0");
  catalog.Method("PdfDrawCircle", &cImaging::PdfDrawCircle, "nX, nY, nRay, nBorderWidth, nRGBColor=0");
  catalog.Method("PdfDrawFillCircle", &cImaging::PdfDrawFillCircle,
                 "nX, nY, nRay, nBorderWidth, nRGBColor=0");
  catalog.Method("PdfDrawCurve", &cImaging::PdfDrawCurve,
                 "nX1, nY1, nX2, nY2, nX3, nY3, nBorderWidth, nRGBColor=0");
  catalog.Method("PdfDrawArc", &cImaging::PdfDrawArc,
                 "nX, nY, nRay, nBorderWidth, nStartAngle=0, nEndAngle=360, nRatio=1, bPie=False, nRGBColor=0");
  catalog.Method("SaveAsPDF", &cImaging::SaveAsPDF,
                 R"(sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("SaveAsPDFEx", &cImaging::SaveAsPDFEx,
                 R"(sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  catalog.Method("SaveAsPDFA", &cImaging::SaveAsPDFA,
                 R"(sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("SaveAsPDFAEx", &cImaging::SaveAsPDFAEx,
                 R"(sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="")");
  catalog.Method("PdfCreateFromMultipageTIFF", &cImaging::PdfCreateFromMultipageTIFF,
                 R"(nImageID, sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("PdfCreateFromMultipageTIFFEx", &cImaging::PdfCreateFromMultipageTIFFEx,
                 R"(nImageID, sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  catalog.Method("PdfACreateFromMultipageTIFF", &cImaging::PdfACreateFromMultipageTIFF,
                 R"(nImageID, sFilePath, sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("PdfACreateFromMultipageTIFFEx", &cImaging::PdfACreateFromMultipageTIFFEx,
                 R"(nImageID, sFilePath, sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="")");
  catalog.Method("PdfCreateRights", &cImaging::PdfCreateRights,
                 "bCanPrint, bCanModify, bCanCopy, bCanAddNotes, bCanFillFields, bCanCopyAccess, bCanAssemble, bCanprintFull");
  catalog.Method("SaveAsPDFOCR", &cImaging::SaveAsPDFOCR,
                 R"(sFilePath, nDictionary, sDictionaryPath, sCharWhiteList="", sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("SaveAsPDFOCREx", &cImaging::SaveAsPDFOCREx,
                 R"(sFilePath, nDictionary, sDictionaryPath, sCharWhiteList="", sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  catalog.Method("PdfOCRCreateFromMultipageTIFF", &cImaging::PdfOCRCreateFromMultipageTIFF,
                 R"(nImageID, sFilePath, nDictionary, sDictionaryPath, sCharWhiteList="", sTitle="", sCreator="Tessivo ToolKit", sAuthor="Tessivo ToolKit", sProducer="")");
  catalog.Method("PdfOCRCreateFromMultipageTIFFEx", &cImaging::PdfOCRCreateFromMultipageTIFFEx,
                 R"(nImageID, sFilePath, nDictionary, sDictionaryPath, sCharWhiteList="", sTitle="", sAuthor="", sSubject="", sKeywords="", sCreator="", nPdfEncryption=PdfEncryptionNone, nPDFRight=PdfRightUndefined, sUserpassWord="", sOwnerPassword="")");
  // The scan-to-PDF jobs join with the scanning family.
}

}  // namespace tessivo::dispatch
