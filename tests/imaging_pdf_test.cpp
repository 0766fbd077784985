// PDF methods of cImaging: a document built call by call in the caller's units, and the
// one-call conversions of images and multi-page TIFF documents, checked with qpdf and poppler.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/io_fixtures.h"
#include "support/pdf_checks.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::PdfInfo;
using testing::PdfIsValid;
using testing::ReadText;
using testing::ScopedTempFolder;

// Page content streams after qpdf has decompressed them.
std::string Plain(const std::string& path) { return testing::UncompressedDocument(path); }

int Count(const std::string& text, const std::string& pattern) {
  std::regex re(pattern);
  return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

TEST(ImagingPdf, DocumentBuiltCallByCallInTheCallersUnits) {
  ScopedTempFolder folder;
  cImaging im;
  // Nothing open: neutral results, nothing written.
  EXPECT_EQ(im.PdfNewPage(), 0);
  EXPECT_EQ(im.PdfGetPageOrientation(), -1);
  EXPECT_EQ(im.PdfAddFont("Arial"), 0);
  EXPECT_FALSE(im.PdfSetMetadata("<x/>"));
  im.PdfDrawLine(0, 0, 10, 10, 1);
  im.PdfSavePdf();

  im.PdfSetCompressionLevel(15);
  im.PdfSetJpegQuality(101);
  EXPECT_EQ(im.PdfGetCompressionLevel(), 9);
  EXPECT_EQ(im.PdfGetJpegQuality(), 75);
  im.PdfSetCompressionLevel(0);  // uncompressed streams, to read the operators back

  const std::string path = folder.File("built.pdf");
  ASSERT_TRUE(im.PdfNewPdf(path, "Built"));
  EXPECT_EQ(im.GetStat(), OK);
  im.PdfSetMeasurementUnits(1);  // millimetres
  im.PdfSetPageDimensions(210, 297);
  im.PdfSetPageMargin(10);
  EXPECT_NEAR(im.PdfGetPageMargin(), 10, 1e-4);
  im.PdfSetPageOrientation(7);  // ignored
  EXPECT_EQ(im.PdfGetPageOrientation(), 0);
  const int32_t image = im.CreateNewImage(1200, 600, 24, static_cast<int32_t>(0xFF3366CC));
  ASSERT_EQ(im.SetHorizontalResolution(600), OK);
  ASSERT_EQ(im.SetVerticalResolution(300), OK);
  const int32_t pdfImage = im.PdfAddImageFromTessivoImage(image);
  ASSERT_EQ(pdfImage, 1);
  im.PdfSetMeasurementUnits(3);  // inches
  EXPECT_NEAR(im.PdfGetImageWidth(pdfImage), 2, 1e-5);
  EXPECT_NEAR(im.PdfGetImageHeight(pdfImage), 2, 1e-5);
  const int32_t font = im.PdfAddFont("Arial");
  ASSERT_EQ(font, 1);
  im.PdfSetMeasurementUnits(0);  // points
  EXPECT_NEAR(im.PdfGetTextWidth("Hello", font, 10), 22.78f, 0.01f);

  im.PdfSetTextColor(0x0000FF);  // before the page: reset by it
  EXPECT_EQ(im.PdfNewPage(), 1);
  im.PdfDrawText(72, 700, "Black words", font, 12);
  im.PdfSetTextColor(0x0000FF);
  im.PdfDrawTextAlign(500, 650, "Red words", font, 12, 1);
  im.PdfDrawLine(72, 600, 300, 600, 2);
  im.PdfDrawRectangle(72, 400, 100, 50, 5, 0x00FF00, 8);
  im.PdfDrawLine(72, 300, 300, 300, 2);
  im.PdfDrawImage(pdfImage, 72, 100, 144, 72);
  im.PdfDrawArc(400, 200, 50, 1);
  EXPECT_EQ(im.PdfGetCurrentPage(), 1);
  EXPECT_EQ(im.PdfNewPage(), 2);
  im.PdfSavePdf();
  EXPECT_EQ(im.PdfGetCurrentPage(), 0);

  ASSERT_TRUE(PdfIsValid(path));
  const std::string info = PdfInfo(path);
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
  const std::string bytes = ReadText(path);
  EXPECT_NE(bytes.find("/MediaBox [0 0 595.276 841.89]/CropBox [28.346 28.346 566.929 813.543]"),
            std::string::npos);
  const std::string text = testing::PdfText(path);
  EXPECT_NE(text.find("Black words"), std::string::npos);
  EXPECT_NE(text.find("Red words"), std::string::npos);
  const std::string content = Plain(path);
  // The text colour starts black on the new page: no fill colour before the first text.
  EXPECT_LT(content.find("(Black words) Tj"), content.find(" rg"));
  EXPECT_NE(content.find("1 0 0 rg"), std::string::npos);
  // Widths: 2, then 5 (always sent), then 2 again because the document holds 5.
  EXPECT_EQ(Count(content, "\\n2 w\\r?\\n"), 2) << content;
  EXPECT_EQ(Count(content, "\\n5 w\\r?\\n"), 1);
  EXPECT_NE(content.find("72.00 100.00 cm"), std::string::npos);

  // An existing target is refused and left as it was; the old document is gone.
  EXPECT_FALSE(im.PdfNewPdf(path));
  EXPECT_EQ(im.GetStat(), CanNotCreateFile);
  EXPECT_EQ(ReadText(path), bytes);
  EXPECT_EQ(im.PdfNewPage(), 0);
}

TEST(ImagingPdf, ConversionsOfImagesAndMultiPageDocuments) {
  ScopedTempFolder folder;
  cImaging im;
  EXPECT_FALSE(im.SaveAsPDF(folder.File("none.pdf")));

  // One image: a page of its own size at its resolution.
  im.CreateNewImage(2550, 3300, 1, static_cast<int32_t>(0xFFFFFFFF));
  ASSERT_EQ(im.SetHorizontalResolution(300), OK);
  ASSERT_EQ(im.SetVerticalResolution(300), OK);
  const std::string letter = folder.File("letter.pdf");
  ASSERT_TRUE(im.SaveAsPDF(letter, "Letter"));
  EXPECT_EQ(im.GetStat(), OK);
  ASSERT_TRUE(PdfIsValid(letter));
  EXPECT_NE(PdfInfo(letter).find("612 x 792 pts (letter)"), std::string::npos) << PdfInfo(letter);
  EXPECT_NE(testing::PdfImagesList(letter).find("ccitt"), std::string::npos);
  EXPECT_FALSE(im.SaveAsPDF(letter));  // never replaced
  EXPECT_EQ(im.GetStat(), CanNotCreateFile);

  const std::string archival = folder.File("archival.pdf");
  ASSERT_TRUE(im.SaveAsPDFAEx(archival, "Scan"));
  const std::string archivalBytes = ReadText(archival);
  EXPECT_NE(archivalBytes.find("/OutputIntents 6 0 R"), std::string::npos);
  EXPECT_NE(archivalBytes.find(">Scan</rdf:li>"), std::string::npos);

  const std::string locked = folder.File("locked.pdf");
  ASSERT_TRUE(im.SaveAsPDFEx(locked, "", "", "", "", "", PdfEncryption128Bit,
                             im.PdfCreateRights(true, false, false, false, false, false, false, false), "u", "o"));
  EXPECT_EQ(testing::RunCommand("qpdf --password=u --check " + testing::ShellQuote(locked)).exitCode, 0);
  EXPECT_NE(testing::RunCommand("qpdf --password=wrong --check " + testing::ShellQuote(locked)).exitCode, 0);
  EXPECT_EQ(im.PdfCreateRights(false, true, false, false, false, false, false, false), PdfRightCanModify);
  EXPECT_EQ(im.PdfCreateRights(true, true, true, true, true, true, true, true), 255);

  // A three-page document: one page per TIFF page, each of its own size; the caller's page
  // is selected again afterwards.
  const int32_t a = im.CreateNewImage(144, 72, 24, static_cast<int32_t>(0xFFFF0000));
  const int32_t b = im.CreateNewImage(72, 144, 24, static_cast<int32_t>(0xFF00FF00));
  const int32_t doc = im.TiffCreateMultiPageFromTessivoImage(a);
  ASSERT_NE(doc, 0);
  ASSERT_EQ(im.TiffAppendPageFromTessivoImage(doc, b), OK);
  ASSERT_EQ(im.TiffAppendPageFromTessivoImage(doc, a), OK);
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  const std::string pages = folder.File("pages.pdf");
  EXPECT_EQ(im.PdfCreateFromMultipageTIFF(doc, pages, "Pages"), OK);
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 2);
  ASSERT_TRUE(PdfIsValid(pages));
  const std::string sizes =
      testing::RunCommand("pdfinfo -f 1 -l 3 " + testing::ShellQuote(pages) + " | grep 'size'").output;
  EXPECT_TRUE(std::regex_search(sizes, std::regex("Page    1 size: +108 x 54 pts\\n"))) << sizes;  // 96 dpi
  EXPECT_TRUE(std::regex_search(sizes, std::regex("Page    2 size: +54 x 108 pts\\n"))) << sizes;
  EXPECT_TRUE(std::regex_search(sizes, std::regex("Page    3 size: +108 x 54 pts\\n"))) << sizes;
  // The native image being that document, SaveAsPDF hands over to the document conversion.
  im.SetNativeImage(doc);
  const std::string whole = folder.File("whole.pdf");
  ASSERT_TRUE(im.SaveAsPDFA(whole));
  EXPECT_NE(PdfInfo(whole).find("Pages:           3"), std::string::npos);
  EXPECT_NE(ReadText(whole).find("/GTS_PDFA1"), std::string::npos);

  EXPECT_EQ(im.PdfCreateFromMultipageTIFF(0, folder.File("zero.pdf")), InvalidParameter);
  EXPECT_EQ(im.PdfCreateFromMultipageTIFF(a, folder.File("single.pdf")), UnsupportedImageFormat);
  EXPECT_EQ(im.PdfACreateFromMultipageTIFF(doc, pages), CanNotCreateFile);
  EXPECT_EQ(im.PdfCreateFromMultipageTIFF(doc, folder.path() + "/missing/dir.pdf"), CanNotCreateFile);
}

}  // namespace
}  // namespace tessivo
