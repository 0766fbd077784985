#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>

#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"
#include "support/io_fixtures.h"
#include "support/pdf_checks.h"

namespace tessivo {
namespace {

using testing::ReadText;
using testing::ScopedTempFolder;

TEST(PdfText, FontsResolveTheUsualFacesAndWriteTheirObjects) {
  ScopedTempFolder folder;
  const std::string path = folder.File("fonts.pdf");
  cPDF writer;
  EXPECT_EQ(writer.LoadFont("Arial"), 0);  // no document open
  ASSERT_TRUE(writer.NewPdf(path));
  EXPECT_EQ(writer.LoadFont("arial", false, false), 1);
  EXPECT_EQ(writer.LoadFont("Times New Roman", true, true), 2);
  EXPECT_EQ(writer.LoadFont("CourierNew", true, false), 3);
  EXPECT_EQ(writer.LoadFont("Liberation Sans", false, true), 4);
  EXPECT_EQ(writer.LoadFont("No Such Face Anywhere"), 0);
  EXPECT_EQ(writer.FontCount(), 4);
  writer.DrawText(72, 700, "Fonts", 1, 12);
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  // Arial's widths at an em of 1000: blank 278, "A" 667, "W" 944, "i" 222.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pdf, m, std::regex(
      "5 0 obj\r\n<</Type/Font/Subtype/TrueType/Name/Font1/BaseFont/Arial/FirstChar 32/LastChar 255"
      "/FontDescriptor 6 0 R/Encoding/WinAnsiEncoding/Widths \\[((?:[0-9]+ ){224})\\] >>\r\nendobj")));
  std::vector<int> widths;
  std::istringstream list(m[1]);
  for (int w; list >> w;) widths.push_back(w);
  ASSERT_EQ(widths.size(), 224u);
  EXPECT_EQ(widths[' ' - 32], 278);
  EXPECT_EQ(widths['A' - 32], 667);
  EXPECT_EQ(widths['W' - 32], 944);
  EXPECT_EQ(widths['i' - 32], 222);
  EXPECT_EQ(widths[0x80 - 32], 556);  // the euro sign of Windows-1252
  EXPECT_TRUE(std::regex_search(pdf, std::regex(
      "6 0 obj\r\n<<\r/Type /FontDescriptor\r/FontName /Arial\r/MissingWidth [0-9]+\r/Ascent [0-9]+\r"
      "/Descent -[0-9]+\r/AvgWidth [0-9]+\r/CapHeight [0-9]+\r/StemV 0\r/ItalicAngle 0\r/Flags 32\r"
      "/MaxWidth  [0-9]+\r/FontBBox \\[ -[0-9]+ -[0-9]+ [0-9]+ [0-9]+\\]\r>>\r\nendobj")));
  EXPECT_NE(pdf.find("/BaseFont/TimesNewRoman,BoldItalic/"), std::string::npos);
  EXPECT_NE(pdf.find("/FontName /TimesNewRoman,BoldItalic\r"), std::string::npos);
  EXPECT_NE(pdf.find("/ItalicAngle -11\r"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/CourierNew,Bold/"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/LiberationSans,Italic/"), std::string::npos);
  EXPECT_NE(pdf.find("/Font<</Font1 5 0 R \r/Font2 7 0 R \r/Font3 9 0 R \r/Font4 11 0 R \r>>"), std::string::npos);
  EXPECT_TRUE(testing::PdfIsValid(path));
  const std::string fonts = testing::RunCommand("pdffonts " + testing::ShellQuote(path)).output;
  EXPECT_NE(fonts.find("Arial"), std::string::npos);
  EXPECT_NE(fonts.find("TrueType"), std::string::npos);
}

TEST(PdfText, TextWidthCountsSpacingAndScaling) {
  ScopedTempFolder folder;
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(folder.File("width.pdf")));
  ASSERT_EQ(writer.LoadFont("Arial"), 1);
  writer.BeginPage();
  EXPECT_NEAR(writer.TextWidth("A B", 1, 10), 16.12f, 1e-4);
  writer.SetWordSpacing(2);
  writer.SetCharSpacing(1);
  EXPECT_NEAR(writer.TextWidth("A B", 1, 10), 21.12f, 1e-4);
  writer.SetTextHorizontalScaling(50);
  EXPECT_NEAR(writer.TextWidth("A B", 1, 10), 10.56f, 1e-4);
  writer.BeginPage();  // a new page starts with plain text state
  EXPECT_NEAR(writer.TextWidth("A B", 1, 10), 16.12f, 1e-4);
  // A character outside Windows-1252 is measured as the "?" it is written as.
  EXPECT_FLOAT_EQ(writer.TextWidth("\xE4\xB8\xAD", 1, 1000), writer.TextWidth("?", 1, 1000));
  EXPECT_EQ(writer.TextWidth("A", 2, 10), 0);
  EXPECT_EQ(writer.TextWidth("A", 0, 10), 0);
  EXPECT_TRUE(writer.ClosePdfFile());
}

TEST(PdfText, TextLinesAlignRotateEscapeAndComeBack) {
  ScopedTempFolder folder;
  const std::string path = folder.File("text.pdf");
  cPDF writer;
  writer.SetCompressData(false);
  ASSERT_TRUE(writer.NewPdf(path));
  ASSERT_EQ(writer.LoadFont("Arial"), 1);
  writer.DrawText(100, 700, "text", 1, 12);
  writer.DrawText(500, 650, "Right aligned", 1, 12, 1);
  writer.DrawText(300, 600, "Centred", 1, 12, 2);
  writer.DrawText(50, 100, "Turned", 1, 10, 0, 90);
  writer.DrawText(100, 550, "(a)\r\nb \xE2\x82\xAC \xE4\xB8\xAD", 1, 12);
  writer.DrawText(100, 500, "never", 7, 12);  // no such font
  writer.SetTextMode(1);
  writer.SetTextMode(4);  // ignored
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_NE(pdf.find("BT\r\n/Font1 12 Tf\r\n100 700 Td\r\n(text) Tj\r\nET\r\n"), std::string::npos);
  const float right = 500 - writer.TextWidth("Right aligned", 1, 12);
  EXPECT_GT(right, 400);
  EXPECT_NE(pdf.find("/Font1 12 Tf\r\n" + pdf::FormatRounded(right, 3) + " 650 Td\r\n(Right aligned) Tj"),
            std::string::npos);
  EXPECT_NE(pdf.find("BT\r\n/Font1 10 Tf\r\n0 1 -1 0 50 100 Tm\r\n(Turned) Tj\r\nET"), std::string::npos);
  EXPECT_NE(pdf.find("(\\(a\\)\\r\\nb \x80 ?) Tj"), std::string::npos);
  EXPECT_EQ(pdf.find("never"), std::string::npos);
  EXPECT_NE(pdf.find("ET\r\n1 Tr\r\n\r\nendstream"), std::string::npos);
  EXPECT_TRUE(testing::PdfIsValid(path));
  const std::string text = testing::PdfText(path);
  EXPECT_NE(text.find("text"), std::string::npos);
  EXPECT_NE(text.find("Right aligned"), std::string::npos);
  EXPECT_NE(text.find("Centred"), std::string::npos);
  EXPECT_NE(text.find("(a)"), std::string::npos);
  EXPECT_NE(text.find("€"), std::string::npos);  // Windows-1252 0x80 through WinAnsiEncoding
}

TEST(PdfText, AlignmentMovesByTheMeasuredWidth) {
  ScopedTempFolder folder;
  const std::string path = folder.File("align.pdf");
  cPDF writer;
  writer.SetCompressData(false);
  ASSERT_TRUE(writer.NewPdf(path));
  ASSERT_EQ(writer.LoadFont("Courier New"), 1);
  // Courier New is monospaced at 600/1000 em: "abcd" at 10 points is 24 points wide.
  writer.DrawText(100, 100, "abcd", 1, 10, 1);
  writer.DrawText(100, 80, "abcd", 1, 10, 2);
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_NE(pdf.find("76 100 Td"), std::string::npos);
  EXPECT_NE(pdf.find("88 80 Td"), std::string::npos);
}

}  // namespace
}  // namespace tessivo
