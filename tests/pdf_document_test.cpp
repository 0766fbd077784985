#include <gtest/gtest.h>
#include <zlib.h>

#include <locale>
#include <regex>
#include <string>
#include <vector>

#include "pdf/pdf_format.h"
#include "pdf/pdf_writer.h"
#include "support/io_fixtures.h"
#include "support/pdf_checks.h"

namespace tessivo {
namespace {

using testing::PdfIsValid;
using testing::ReadText;
using testing::ScopedTempFolder;

// Byte offset of every "N 0 obj" in the file, in file order.
std::vector<std::pair<int, size_t>> ObjectsInFileOrder(const std::string& pdf) {
  std::vector<std::pair<int, size_t>> objects;
  std::regex header("(^|\r|\n)([0-9]+) 0 obj\r\n");
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), header); it != std::sregex_iterator(); ++it)
    objects.emplace_back(std::stoi((*it)[2]), static_cast<size_t>(it->position(2)));
  return objects;
}

TEST(PdfFormat, NumbersUseShortestTextRoundedHalfEven) {
  EXPECT_EQ(pdf::FormatRounded(595.2f, 3), "595.2");
  EXPECT_EQ(pdf::FormatRounded(612.0f, 3), "612");
  EXPECT_EQ(pdf::FormatRounded(128.0 / 255.0, 3), "0.502");
  EXPECT_EQ(pdf::FormatRounded(-0.0001, 3), "0");
  EXPECT_EQ(pdf::FormatRounded(-12.25, 3), "-12.25");
  EXPECT_EQ(pdf::FormatRounded(2.5, 0), "2");
  EXPECT_EQ(pdf::FormatRounded(3.5, 0), "4");
  EXPECT_EQ(pdf::FormatRounded(1e9, 3), "1000000000");
  EXPECT_EQ(pdf::FormatFixed(595.2f, 2), "595.20");
  EXPECT_EQ(pdf::FormatFixed(842, 2), "842.00");
  EXPECT_EQ(pdf::FormatFixed(-0.001, 2), "0.00");
  EXPECT_EQ(pdf::ZeroPadded(15, 10), "0000000015");
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(PdfFormat, CommaLocaleStillWritesPoints) {
  std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  std::string rounded = pdf::FormatRounded(595.2f, 3), fixed = pdf::FormatFixed(0.5, 2);
  std::locale::global(previous);
  EXPECT_EQ(rounded, "595.2");
  EXPECT_EQ(fixed, "0.50");
}

TEST(PdfFormat, EscapesBackslashParenthesesAndLineBreaks) {
  EXPECT_EQ(pdf::EscapeText("a\\(b)\r\n"), "a\\\\\\(b\\)\\r\\n");
  EXPECT_EQ(pdf::EscapeBasic("a\\(b)\r\n"), "a\\\\\\(b\\)\r\n");
}

TEST(PdfDocument, TwoPagesWriteObjectsInOrderWithExactOffsets) {
  ScopedTempFolder folder;
  const std::string path = folder.File("two.pdf");
  {
    cPDF writer;
    writer.SetCompressData(false);
    ASSERT_TRUE(writer.NewPdf(path, "Title", "Author", "Creator", "Keys", "Subject"));
    EXPECT_EQ(writer.BeginPage(), 1);
    writer.AppendContent("0 0 m");
    EXPECT_EQ(writer.BeginPage(), 2);
    EXPECT_EQ(writer.Pages(), 2);
    ASSERT_TRUE(writer.ClosePdfFile());
  }
  const std::string pdf = ReadText(path);
  ASSERT_EQ(pdf.rfind("%PDF-1.3\r%Tessivo ActiveX 5.13.07 edition. - ", 0), 0u);

  auto objects = ObjectsInFileOrder(pdf);
  std::vector<int> order;
  for (auto& [number, offset] : objects) order.push_back(number);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 5, 6, 7, 8, 4, 3}));

  const size_t xref = pdf.find("xref\r\n0 9\r\n0000000000 65535 f\r\n");
  ASSERT_NE(xref, std::string::npos);
  size_t entry = xref + std::string("xref\r\n0 9\r\n0000000000 65535 f\r\n").size();
  std::vector<size_t> offsets(9, 0);
  for (auto& [number, offset] : objects) offsets[static_cast<size_t>(number)] = offset;
  for (int n = 1; n <= 8; ++n, entry += 20)
    EXPECT_EQ(pdf.substr(entry, 20), pdf::ZeroPadded(offsets[static_cast<size_t>(n)], 10) + " 00000 n\r\n")
        << "object " << n;
  EXPECT_NE(pdf.find("4 0 obj\r\n<</ProcSet [/PDF/Text ]>>\r\nendobj"), std::string::npos);
  EXPECT_NE(pdf.find("<</Type/Pages/Count 2/Kids [5 0 R 7 0 R ]/Resources 4 0 R>>"), std::string::npos);
  EXPECT_NE(pdf.find("trailer\r\n<</Size 9/Root 2 0 R/Info 1 0 R>>\r\nstartxref\r\n" +
                     std::to_string(xref) + "\r\n%%EOF\r\n"),
            std::string::npos);
  EXPECT_NE(pdf.find("/Title(Title)/Author(Author)/Creator(Creator)/Producer(Tessivo ActiveX"), std::string::npos);
  EXPECT_TRUE(std::regex_search(pdf, std::regex(R"(/Subject\(Subject\)/Keywords\(Keys\)/CreationDate\(D:\d{14}[+-]\d\d'\d\d'\)>>)")));
  EXPECT_NE(pdf.find("<</PageMode/UseNone/ViewerPreferences<</HideWindowUI false/DisplayDocTitle true"
                     "/HideToolbar false>>/Pages 3 0 R/PageLayout/OneColumn/Type/Catalog>>"),
            std::string::npos);
  EXPECT_TRUE(PdfIsValid(path));
  EXPECT_TRUE(std::regex_search(testing::PdfInfo(path), std::regex("Pages: +2\n")));
}

TEST(PdfDocument, UncompressedStreamLengthCountsEveryByteOfTheOperatorLines) {
  ScopedTempFolder folder;
  const std::string path = folder.File("plain.pdf");
  cPDF writer;
  writer.SetCompressData(false);
  ASSERT_TRUE(writer.NewPdf(path));
  writer.BeginPage();
  writer.AppendContent("10 10 m");
  writer.AppendContent("200 200 l S");
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_NE(pdf.find("6 0 obj\r\n<</Length 22>>stream\r\n10 10 m\r\n200 200 l S\r\n\r\nendstream\rendobj\r"),
            std::string::npos);
  EXPECT_TRUE(PdfIsValid(path));
}

TEST(PdfDocument, CompressedStreamInflatesToTheContentAndLengthIsExact) {
  ScopedTempFolder folder;
  const std::string path = folder.File("deflate.pdf");
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(path));
  writer.BeginPage();
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    std::string line = std::to_string(i) + " " + std::to_string(i * 2) + " m";
    writer.AppendContent(line);
    expected += line + "\r\n";
  }
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pdf, m, std::regex("6 0 obj\r\n<</Length ([0-9]+)/Filter /FlateDecode>>stream\r\n")));
  const size_t length = std::stoul(m[1]);
  const size_t data = static_cast<size_t>(m.position(0) + m.length(0));
  ASSERT_EQ(pdf.substr(data + length, 19), "\r\nendstream\rendobj\r");
  std::string inflated(expected.size() + 64, '\0');
  uLongf size = inflated.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                       reinterpret_cast<const Bytef*>(pdf.data() + data), length), Z_OK);
  inflated.resize(size);
  EXPECT_EQ(inflated, expected);
  EXPECT_TRUE(PdfIsValid(path));
}

TEST(PdfDocument, PaperSizesMarginsAndOrientation) {
  ScopedTempFolder folder;
  const std::string path = folder.File("boxes.pdf");
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(path));
  writer.SetMargin(36);
  writer.BeginPage();                      // A4 with a margin
  writer.SetOrientation(1);                // set while the page is open: this page rotates
  writer.SetPaperSize(2);
  writer.SetMargin(0);
  writer.BeginPage();                      // Letter
  writer.SetOrientation(0);                // cleared before the Letter page closes
  writer.SetPaperSize(3);
  writer.BeginPage();
  writer.SetPaperWidth(300.25f);           // custom
  writer.SetPaperSize(7);                  // only stored: the size stays custom
  writer.BeginPage();
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_NE(pdf.find("/MediaBox [0 0 595.2 842]/CropBox [36 36 559.2 806]/Rotate 90>>"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 612 792]/CropBox [0 0 612 792]>>"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 612 864]/CropBox [0 0 612 864]>>"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 300.25 864]/CropBox [0 0 300.25 864]>>"), std::string::npos);
  EXPECT_TRUE(PdfIsValid(path));
}

TEST(PdfDocument, EmptyDocumentStillHasHeaderInfoCatalogAndTree) {
  ScopedTempFolder folder;
  const std::string path = folder.File("empty.pdf");
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(path));
  EXPECT_FALSE(writer.PdfHeaderDone());
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_EQ(pdf.rfind("%PDF-1.3\r%", 0), 0u);
  EXPECT_NE(pdf.find("1 0 obj\r\n<</Title()/Author()/Creator()/Producer("), std::string::npos);
  EXPECT_NE(pdf.find("<</Type/Pages/Count 0/Kids []/Resources 4 0 R>>"), std::string::npos);
  EXPECT_NE(pdf.find("xref\r\n0 5\r\n"), std::string::npos);
  EXPECT_FALSE(writer.ClosePdfFile());  // nothing open any more
}

TEST(PdfDocument, InfoStringsBecomeWindows1252AndAreEscaped) {
  ScopedTempFolder folder;
  const std::string path = folder.File("info.pdf");
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(path, "Caf\xC3\xA9 (draft) \\ \xE2\x82\xAC", "\xE4\xB8\xAD", "", "", "line\nbreak"));
  writer.BeginPage();
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_NE(pdf.find("/Title(Caf\xE9 \\(draft\\) \\\\ \x80)/Author(?)"), std::string::npos);
  EXPECT_NE(pdf.find("/Subject(line\nbreak)"), std::string::npos);
  EXPECT_TRUE(PdfIsValid(path));
  EXPECT_NE(testing::PdfInfo(path).find("Café (draft) \\"), std::string::npos);
}

TEST(PdfDocument, NewPdfRefusesExistingEmptyAndUnwritablePathsAndEncryption) {
  ScopedTempFolder folder;
  const std::string existing = folder.File("keep.pdf");
  testing::WriteBytes(existing, {'m', 'i', 'n', 'e'});
  cPDF writer;
  EXPECT_FALSE(writer.NewPdf(existing));
  EXPECT_EQ(ReadText(existing), "mine");
  EXPECT_FALSE(writer.NewPdf(""));
  EXPECT_FALSE(writer.NewPdf(folder.File("no/such/folder/x.pdf")));
  EXPECT_FALSE(writer.NewPdf(folder.File("crypt.pdf"), "", "", "", "", "", 3));
  EXPECT_EQ(writer.PdfGetNativePdf(), 0);
  EXPECT_EQ(writer.BeginPage(), 0);
  EXPECT_EQ(writer.OpenObject(0), 0);
  EXPECT_FALSE(testing::FileExists(folder.File("crypt.pdf")));
}

TEST(PdfDocument, DocumentAppearsOnlyWhenCompleteAndNeverReplacesAFile) {
  ScopedTempFolder folder;
  const std::string path = folder.File("late.pdf");
  {
    cPDF writer;
    ASSERT_TRUE(writer.NewPdf(path));
    writer.BeginPage();
    EXPECT_FALSE(testing::FileExists(path));
    EXPECT_EQ(writer.PdfGetPath(), path);
    // Someone else creates the file meanwhile: it is kept, and closing reports the failure.
    testing::WriteBytes(path, {'t', 'h', 'e', 'i', 'r', 's'});
    EXPECT_FALSE(writer.ClosePdfFile());
  }
  EXPECT_EQ(ReadText(path), "theirs");
  EXPECT_EQ(testing::RunCommand("ls -A " + testing::ShellQuote(folder.path())).output, "late.pdf\n");
}

TEST(PdfDocument, ObjectNumbersStopAt32767AndTheDocumentFails) {
  ScopedTempFolder folder;
  const std::string path = folder.File("huge.pdf");
  cPDF writer;
  ASSERT_TRUE(writer.NewPdf(path));
  writer.InitPdfFile();
  int16_t last = 0;
  for (int i = 5; i <= 32767; ++i) {
    last = writer.OpenObject(0);
    writer.WriteLine("null");
    writer.CloseObject();
  }
  EXPECT_EQ(last, 32767);
  EXPECT_EQ(writer.OpenObject(0), 0);
  EXPECT_FALSE(writer.ClosePdfFile());
  EXPECT_FALSE(testing::FileExists(path));
}

TEST(PdfDocument, DestroyingAnOpenWriterFinishesTheDocument) {
  ScopedTempFolder folder;
  const std::string path = folder.File("dropped.pdf");
  {
    cPDF writer;
    ASSERT_TRUE(writer.NewPdf(path));
    writer.BeginPage();
  }
  EXPECT_TRUE(PdfIsValid(path));
}

}  // namespace
}  // namespace tessivo
