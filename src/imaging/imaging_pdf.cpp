// cImaging: a PDF document built call by call, in the caller's measurement unit.
#include "core/boundary.h"
#include "pdf/pdf_session.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// Runs `body` on the open document; without one nothing happens and `neutral` is returned.
template <typename R, typename Body>
R WithDocument(ImagingState& state, R neutral, Body&& body) {
  return Guarded(state, neutral, [&]() -> R {
    PdfSession& session = SessionOf(state);
    cPDF* writer = session.Open();
    if (!writer) return neutral;
    return body(session, *writer);
  });
}

template <typename Body>
void WithDocument(ImagingState& state, Body&& body) {
  WithDocument(state, 0, [&](PdfSession& session, cPDF& writer) {
    body(session, writer);
    return 0;
  });
}

// Colour and width are written only when they differ from what the document holds.
void SendStroke(PdfSession& session, cPDF& writer, int32_t color) {
  if (color != session.strokeSent) writer.SetColorStroke(color);
  session.strokeSent = color;
}
void SendFill(PdfSession& session, cPDF& writer, int32_t color) {
  if (color != session.fillSent) writer.SetColorFill(color);
  session.fillSent = color;
}
void SendLineWidth(PdfSession& session, cPDF& writer, float width, bool always) {
  if (always || width != session.lineWidthSent) writer.SetLineWidth(width);
  session.lineWidthSent = width;
}

constexpr int32_t kStroke = 1, kFill = 6;

}  // namespace

bool cImaging::PdfNewPdf(const std::string& sFilePath, const std::string& sTitle, const std::string& sCreator,
                         const std::string& sAuthor, const std::string&) {
  return PdfNewPdfEx(sFilePath, sTitle, sAuthor, "", "", sCreator, PdfEncryptionNone, PdfRightUndefined, "", "");
}

bool cImaging::PdfNewPdfEx(const std::string& sFilePath, const std::string& sTitle, const std::string& sAuthor,
                           const std::string& sSubject, const std::string& sKeywords, const std::string& sCreator,
                           PdfEncryption nPdfEncryption, PdfRight nPDFRight, const std::string& sUserpassWord,
                           const std::string& sOwnerPassword) {
  ImagingState& state = State();
  return Guarded(state, false, [&] {
    PdfSession& session = SessionOf(state);
    // A document still open is dropped: its file is removed, never left half written.
    session.writer.reset();
    session.handle = 0;
    session.textColor = session.fillSent = session.strokeSent = 0;
    session.lineWidthSent = 0;
    auto writer = NewWriter(session);
    if (!writer->NewPdf(sFilePath, sTitle, sAuthor, sCreator, sKeywords, sSubject, nPdfEncryption, nPDFRight,
                        sUserpassWord, sOwnerPassword)) {
      state.Set(CanNotCreateFile);
      return false;
    }
    session.handle = writer->PdfGetNativePdf();
    session.writer = std::move(writer);
    state.Set(OK);
    return true;
  });
}

bool cImaging::PdfSetMetadata(const std::string& sXMP) {
  return WithDocument(State(), false, [&](PdfSession&, cPDF& writer) {
    if (writer.PdfHeaderDone()) return false;
    writer.SetXmp(sXMP);
    return true;
  });
}

int32_t cImaging::PdfNewPage() {
  return WithDocument(State(), 0, [](PdfSession& session, cPDF& writer) {
    const int32_t page = writer.BeginPage();
    session.textColor = session.fillSent = session.strokeSent = 0;
    session.lineWidthSent = 0;
    return page;
  });
}

void cImaging::PdfEndPage() {}

int32_t cImaging::PdfGetCurrentPage() {
  return WithDocument(State(), 0, [](PdfSession&, cPDF& writer) { return static_cast<int32_t>(writer.Pages()); });
}

void cImaging::PdfSavePdf() {
  ImagingState& state = State();
  Guarded(state, 0, [&] {
    PdfSession& session = SessionOf(state);
    if (session.writer) {
      if (!session.writer->ClosePdfFile() && session.handle != 0) state.Set(CanNotCreateFile);
      session.writer.reset();
    }
    session.handle = 0;
    return 0;
  });
}

void cImaging::PdfSetPageDimensions(float nWidth, float nHeight) {
  WithDocument(State(), [&](PdfSession& session, cPDF& writer) {
    writer.SetPaperSize(255);
    writer.SetPaperHeight(session.ToPoints(nHeight));
    writer.SetPaperWidth(session.ToPoints(nWidth));
  });
}

void cImaging::PdfSetPageMargin(float nMargin) {
  WithDocument(State(), [&](PdfSession& session, cPDF& writer) { writer.SetMargin(session.ToPoints(nMargin)); });
}

float cImaging::PdfGetPageMargin() {
  return WithDocument(State(), 0.0f,
                      [](PdfSession& session, cPDF& writer) { return session.FromPoints(writer.Margin()); });
}

void cImaging::PdfSetPageOrientation(int32_t nOrientation) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) {
    if (nOrientation == 0 || nOrientation == 1) writer.SetOrientation(nOrientation);
  });
}

int32_t cImaging::PdfGetPageOrientation() {
  return WithDocument(State(), -1, [](PdfSession&, cPDF& writer) { return writer.Orientation(); });
}

void cImaging::PdfSetMeasurementUnits(int32_t nUnitValue) {
  ImagingState& state = State();
  Guarded(state, 0, [&] {
    if (nUnitValue >= 0 && nUnitValue <= 3) SessionOf(state).unit = nUnitValue;
    return 0;
  });
}

void cImaging::PdfSetCompressionLevel(int32_t nLevel) {
  ImagingState& state = State();
  Guarded(state, 0, [&] {
    if (nLevel < 0 || nLevel > 9) return 0;
    PdfSession& session = SessionOf(state);
    session.compressLevel = nLevel;
    if (cPDF* writer = session.Open()) writer->SetCompressLevel(nLevel);
    if (session.scanWriter) session.scanWriter->SetCompressLevel(nLevel);
    if (session.ocrScanWriter) session.ocrScanWriter->SetCompressLevel(nLevel);
    return 0;
  });
}

int32_t cImaging::PdfGetCompressionLevel() {
  ImagingState& state = State();
  return Guarded(state, 9, [&] { return SessionOf(state).compressLevel; });
}

void cImaging::PdfSetJpegQuality(int32_t nQuality) {
  ImagingState& state = State();
  Guarded(state, 0, [&] {
    if (nQuality < 0 || nQuality > 100) return 0;
    PdfSession& session = SessionOf(state);
    session.jpegQuality = nQuality;
    if (cPDF* writer = session.Open()) writer->SetJpegQuality(nQuality);
    if (session.scanWriter) session.scanWriter->SetJpegQuality(nQuality);
    if (session.ocrScanWriter) session.ocrScanWriter->SetJpegQuality(nQuality);
    return 0;
  });
}

int32_t cImaging::PdfGetJpegQuality() {
  ImagingState& state = State();
  return Guarded(state, 75, [&] { return SessionOf(state).jpegQuality; });
}

int32_t cImaging::PdfAddImageFromFile(const std::string& sImagePath) {
  return WithDocument(State(), 0, [&](PdfSession&, cPDF& writer) { return writer.PdfAddImageFile(sImagePath); });
}

int32_t cImaging::PdfAddImageFromTessivoImage(int32_t nImageID) {
  return WithDocument(State(), 0, [&](PdfSession&, cPDF& writer) { return writer.PdfAddImageId(nImageID); });
}

void cImaging::PdfDrawImage(int32_t nPdfImageNo, float nDstX, float nDstY, float nWidth, float nHeight) {
  WithDocument(State(), [&](PdfSession& session, cPDF& writer) {
    writer.DrawImg(nPdfImageNo, session.ToPoints(nDstX), session.ToPoints(nDstY), session.ToPoints(nWidth),
                   session.ToPoints(nHeight));
  });
}

float cImaging::PdfGetImageWidth(int32_t nPdfImageNo) {
  return WithDocument(State(), 0.0f, [&](PdfSession& session, cPDF& writer) {
    return session.FromPixels(writer.ImageWidth(nPdfImageNo), writer.ImageResX(nPdfImageNo));
  });
}

float cImaging::PdfGetImageHeight(int32_t nPdfImageNo) {
  return WithDocument(State(), 0.0f, [&](PdfSession& session, cPDF& writer) {
    return session.FromPixels(writer.ImageHeight(nPdfImageNo), writer.ImageResY(nPdfImageNo));
  });
}

int32_t cImaging::PdfAddFont(const std::string& sFontName, bool bBold, bool bItalic) {
  return WithDocument(State(), 0,
                      [&](PdfSession&, cPDF& writer) { return writer.LoadFont(sFontName, bBold, bItalic); });
}

void cImaging::PdfSetTextColor(int32_t nRGBColor) {
  WithDocument(State(), [&](PdfSession& session, cPDF&) { session.textColor = nRGBColor; });
}

void cImaging::PdfDrawText(float nDstX, float nDstY, const std::string& sText, int32_t nFontID, float nFontSize,
                           float nRotation) {
  WithDocument(State(), [&](PdfSession& session, cPDF& writer) {
    SendFill(session, writer, session.textColor);
    writer.DrawText(session.ToPoints(nDstX), session.ToPoints(nDstY), sText, nFontID, nFontSize, 0, nRotation);
  });
}

void cImaging::PdfDrawTextAlign(float nDstX, float nDstY, const std::string& sText, int32_t nFontID,
                                float nFontSize, int32_t nTextAlign) {
  WithDocument(State(), [&](PdfSession& session, cPDF& writer) {
    SendFill(session, writer, session.textColor);
    writer.DrawText(session.ToPoints(nDstX), session.ToPoints(nDstY), sText, nFontID, nFontSize, nTextAlign, 0);
  });
}

float cImaging::PdfGetTextWidth(const std::string& sText, int32_t nFontID, float nFontSize) {
  return WithDocument(State(), 0.0f, [&](PdfSession& session, cPDF& writer) {
    return session.FromPoints(writer.TextWidth(sText, nFontID, nFontSize));
  });
}

void cImaging::PdfSetTextMode(int32_t nTextMode) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetTextMode(nTextMode); });
}

void cImaging::PdfSetCharSpacing(float nCharSpacing) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetCharSpacing(nCharSpacing); });
}

void cImaging::PdfSetWordSpacing(float nWordSpacing) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetWordSpacing(nWordSpacing); });
}

void cImaging::PdfSetTextHorizontalScaling(float nScaling) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetTextHorizontalScaling(nScaling); });
}

void cImaging::PdfSetLineDash(float nDashOn, float nDashOff) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetDash(nDashOn, nDashOff); });
}

void cImaging::PdfSetLineJoin(int32_t nLineJoin) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetLineJoin(nLineJoin); });
}

void cImaging::PdfSetLineCap(int32_t nLineCap) {
  WithDocument(State(), [&](PdfSession&, cPDF& writer) { writer.SetLineCap(nLineCap); });
}

void cImaging::PdfDrawLine(float nX1, float nY1, float nX2, float nY2, float nBorderWidth, int32_t nRGBColor) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendStroke(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, false);
    writer.MoveTo(s.ToPoints(nX1), s.ToPoints(nY1));
    writer.LineTo(s.ToPoints(nX2), s.ToPoints(nY2), kStroke);
  });
}

void cImaging::PdfDrawRectangle(float nX, float nY, float nWidth, float nHeight, float nBorderWidth,
                                int32_t nRGBColor, float nRay) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendStroke(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, true);
    writer.Rectangle(s.ToPoints(nX), s.ToPoints(nY), s.ToPoints(nWidth), s.ToPoints(nHeight), kStroke,
                     s.ToPoints(nRay));
  });
}

void cImaging::PdfDrawFillRectangle(float nX, float nY, float nWidth, float nHeight, float nBorderWidth,
                                    int32_t nRGBColor, float nRay) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendFill(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, true);
    writer.Rectangle(s.ToPoints(nX), s.ToPoints(nY), s.ToPoints(nWidth), s.ToPoints(nHeight), kFill,
                     s.ToPoints(nRay));
  });
}

void cImaging::PdfDrawCircle(float nX, float nY, float nRay, float nBorderWidth, int32_t nRGBColor) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendStroke(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, true);
    writer.DrawCircle(s.ToPoints(nX), s.ToPoints(nY), s.ToPoints(nRay), kStroke);
  });
}

void cImaging::PdfDrawFillCircle(float nX, float nY, float nRay, float nBorderWidth, int32_t nRGBColor) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendFill(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, true);
    writer.DrawCircle(s.ToPoints(nX), s.ToPoints(nY), s.ToPoints(nRay), kFill);
  });
}

void cImaging::PdfDrawCurve(float nX1, float nY1, float nX2, float nY2, float nX3, float nY3, float nBorderWidth,
                            int32_t nRGBColor) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendStroke(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, true);
    writer.MoveTo(s.ToPoints(nX1), s.ToPoints(nY1));
    writer.Curve(s.ToPoints(nX1), s.ToPoints(nY1), s.ToPoints(nX2), s.ToPoints(nY2), s.ToPoints(nX3),
                 s.ToPoints(nY3), kStroke);
  });
}

void cImaging::PdfDrawArc(float nX, float nY, float nRay, float nBorderWidth, float nStartAngle, float nEndAngle,
                          float nRatio, bool bPie, int32_t nRGBColor) {
  WithDocument(State(), [&](PdfSession& s, cPDF& writer) {
    SendStroke(s, writer, nRGBColor);
    SendLineWidth(s, writer, nBorderWidth, true);
    writer.Arc(s.ToPoints(nX), s.ToPoints(nY), s.ToPoints(nRay), nStartAngle, nEndAngle, nRatio, bPie, 0, 1,
               kStroke);
  });
}

}  // namespace tessivo
