// Fonts and text of cPDF: simple TrueType fonts with WinAnsi encoding, text lines with
// alignment and rotation, text measurement and the text state operators.
#include <cmath>

#include "core/ansi.h"
#include "pdf/font_metrics.h"
#include "pdf/font_record.h"
#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"

namespace tessivo {
namespace {

std::string N(float value) { return pdf::FormatRounded(value, 3); }
std::string I(int32_t value) { return std::to_string(value); }

// Whole numbers, ties to even.
int32_t RoundEven(double value) { return static_cast<int32_t>(std::nearbyint(value)); }

}  // namespace

int32_t cPDF::LoadFont(const std::string& face, bool bold, bool italic) {
  if (!PdfGetNativePdf()) return 0;
  EnsureHeader();
  auto record = std::make_unique<pdf::FontRecord>();
  if (!pdf::MeasureInstalledFace(face, bold, italic, *record)) return 0;
  const int32_t n = FontCount() + 1;
  const std::string name = "Font" + I(n);
  // PDF/A documents carry every font program; a face that cannot be embedded is refused
  // rather than written by name into a document that claims conformance.
  int16_t program = 0;
  if (pdfA_ && (program = WriteFontProgram(*record)) == 0) return 0;

  const int16_t f = OpenObject(0);
  if (f == 0) return 0;
  std::string font = "<</Type/Font/Subtype/TrueType/Name/" + name + "/BaseFont/" + record->baseName +
                     "/FirstChar " + I(record->firstChar) + "/LastChar " + I(record->lastChar) +
                     "/FontDescriptor " + I(f + 1) + " 0 R/Encoding/WinAnsiEncoding/Widths [";
  for (int32_t c = record->firstChar; c <= record->lastChar; ++c)
    font += I(record->widths[static_cast<size_t>(c)]) + " ";
  font += "] >>";
  WriteLine(font);
  CloseObject();
  fontEntries_ += "/" + name + " " + I(f) + " 0 R \r";

  if (OpenObject(0) == 0) return 0;
  const int32_t max = record->maximumWidth;
  const int32_t x0 = RoundEven(-0.2 * max), x1 = max - RoundEven(0.2 * max);
  WriteLine("<<\r/Type /FontDescriptor\r/FontName /" + record->baseName + "\r/MissingWidth " +
            I(record->missingWidth) + "\r/Ascent " + I(record->ascent) + "\r/Descent " + I(-record->descent) +
            "\r/AvgWidth " + I(record->averageWidth) + "\r/CapHeight " + I(record->capHeight) + "\r/StemV " +
            I(record->stemWidth) + "\r/ItalicAngle " + I(record->italicAngle) + "\r/Flags " + I(record->flags) +
            "\r/MaxWidth  " + I(max) + "\r/FontBBox [ " + I(x0) + " " + I(-record->descent) + " " + I(x1) + " " +
            I(record->ascent) + "]" + (program ? "\r/FontFile2 " + I(program) + " 0 R" : "") + "\r>>");
  CloseObject();
  fonts_.push_back(std::move(record));
  return n;
}

float cPDF::TextWidth(const std::string& text, int32_t fontId, float size) const {
  if (fontId < 1 || fontId > FontCount()) return 0;
  const pdf::FontRecord& font = *fonts_[static_cast<size_t>(fontId - 1)];
  // Measured as written: one Windows-1252 byte per character, "?" for the rest.
  const std::string bytes = Utf8ToAnsi(text);
  double sum = 0;
  int32_t blanks = 0;
  for (unsigned char c : bytes) {
    sum += (c >= font.firstChar && c <= font.lastChar) ? font.widths[c] : font.missingWidth;
    if (c == ' ') ++blanks;
  }
  const double width = (sum * size / 1000.0 + blanks * static_cast<double>(wordSpacing_) +
                        static_cast<double>(bytes.size()) * charSpacing_) *
                       horizontalScaling_ / 100.0;
  return static_cast<float>(width);
}

void cPDF::DrawText(float x, float y, const std::string& text, int32_t fontId, float size,
                    int32_t alignment, float rotation) {
  if (fontId < 1 || fontId > FontCount() || !PdfGetNativePdf()) return;
  EnsurePage();
  if (alignment == 1) x -= TextWidth(text, fontId, size);
  else if (alignment == 2) x -= TextWidth(text, fontId, size) / 2;
  AppendContent("BT");
  AppendContent("/Font" + I(fontId) + " " + N(size) + " Tf");
  if (rotation != 0) {
    const float a = rotation * 3.141592f / 180.0f;
    const float c = std::cos(a), s = std::sin(a);
    AppendContent(N(c) + " " + N(s) + " " + N(-s) + " " + N(c) + " " + N(x) + " " + N(y) + " Tm");
  } else {
    AppendContent(N(x) + " " + N(y) + " Td");
  }
  AppendContent("(" + pdf::EscapeText(Utf8ToAnsi(text)) + ") Tj");
  AppendContent("ET");
}

void cPDF::SetTextMode(int32_t mode) {
  if (mode < 0 || mode > 3 || !PdfGetNativePdf()) return;
  EnsurePage();
  AppendContent(I(mode) + " Tr");
}

void cPDF::SetCharSpacing(float points) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  charSpacing_ = points;
  AppendContent(N(points) + " Tc");
}

void cPDF::SetWordSpacing(float points) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  wordSpacing_ = points;
  AppendContent(N(points) + " Tw");
}

void cPDF::SetTextHorizontalScaling(float percent) {
  if (!PdfGetNativePdf()) return;
  EnsurePage();
  horizontalScaling_ = percent;
  AppendContent(N(percent) + " Tz");
}

}  // namespace tessivo
