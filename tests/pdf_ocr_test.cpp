// Searchable PDF documents: pages whose images carry their recognised words as invisible text,
// from single images, multi-page TIFF documents and scan jobs. A scripted OCR plug-in says
// which words lie where; poppler must find those words there, and qpdf must find the file sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/io_fixtures.h"
#include "support/pdf_checks.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::PdfIsValid;
using testing::RunCommand;
using testing::ScopedEnv;
using testing::ScopedTempFolder;
using testing::ShellQuote;

constexpr int32_t kWhite = static_cast<int32_t>(0xFFFFFFFF);
constexpr int32_t kDpi = 300;
constexpr double kPointsPerPixel = 72.0 / kDpi;

// A word as the plug-in reports it: its box in image pixels, split evenly among its letters;
// `descender` is the bottom edge of letters that hang below the line (0: none does).
struct Word {
  std::string text;
  int line, left, top, right, bottom, descender = 0;
};

const std::vector<Word> kFirstPage = {{"Hello", 1, 100, 100, 250, 133},
                                      {"World", 1, 280, 100, 430, 133},
                                      {"Searchable", 2, 100, 200, 400, 233},
                                      {"layer", 2, 430, 200, 580, 233, 243}};
const std::vector<Word> kSecondPage = {{"Second", 1, 60, 300, 240, 333}, {"page", 1, 270, 300, 390, 333, 343}};

std::string ScriptBlock(int width, int height, const std::vector<Word>& words) {
  std::string block = "image " + std::to_string(width) + " " + std::to_string(height) + "\n";
  int line = 0;
  for (const Word& w : words) {
    const int n = static_cast<int>(w.text.size());
    for (int i = 0; i < n; ++i) {
      const char c = w.text[static_cast<size_t>(i)];
      const bool hangs = w.descender > 0 && std::string("gjpqy").find(c) != std::string::npos;
      const int left = w.left + (w.right - w.left) * i / n, right = w.left + (w.right - w.left) * (i + 1) / n;
      const int blanks = i == 0 && w.line == line ? 1 : 0;
      block += "c " + std::to_string(static_cast<unsigned char>(c)) + " " + std::to_string(w.line) + " " +
               std::to_string(left) + " " + std::to_string(w.top) + " " + std::to_string(right) + " " +
               std::to_string(hangs ? w.descender : w.bottom) + " " + std::to_string(blanks) + "\n";
    }
    line = w.line;
  }
  return block;
}

// Points the toolkit at the scripted plug-in (and the real codec plug-in beside it) before the
// first cImaging of the test is made.
class PdfOcr : public ::testing::Test {
 protected:
  void Script(const std::string& text) {
    std::ofstream(script_) << text;
  }
  // Documents, finished or not (".name.pdf.XXXXXX" while written), in the test folder.
  std::vector<std::string> LeftBehind() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
      if (const std::string name = entry.path().filename().string();
          name.ends_with(".pdf") || (name.starts_with(".") && name.find(".pdf.") != std::string::npos))
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }
  int32_t Page(int32_t width, int32_t height) {
    const int32_t id = im_.CreateNewImage(width, height, 24, kWhite);
    EXPECT_EQ(im_.SetHorizontalResolution(kDpi), OK);
    EXPECT_EQ(im_.SetVerticalResolution(kDpi), OK);
    return id;
  }

  ScopedTempFolder folder_;
  std::string script_ = folder_.File("ocr-script.txt");
  ScopedEnv plugins_{"TESSIVO_PLUGIN_DIR", TESSIVO_FAKE_OCR_DIR};
  ScopedEnv scriptEnv_{"TESSIVO_FAKE_OCR_SCRIPT", script_};
  cImaging im_;
};

struct Box {
  std::string text;
  double xMin, yMin, xMax, yMax;
};

std::vector<Box> WordBoxes(const std::string& path, int page, const std::string& password = "") {
  const std::string pages = " -f " + std::to_string(page) + " -l " + std::to_string(page);
  const std::string upw = password.empty() ? "" : " -upw " + ShellQuote(password);
  const std::string html = RunCommand("pdftotext -bbox" + pages + upw + " " + ShellQuote(path) + " -").output;
  static const std::regex word(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<Box> boxes;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
    boxes.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
  return boxes;
}

// Each word is found once, where the image shows it: left and right edges within a point and
// a half, top and bottom within three points (the font's ascent and descent are not the ink's;
// the box of a word with descenders reaches about as far below the line as they do).
void ExpectWordsAt(const std::string& path, int page, const std::vector<Word>& words,
                   const std::string& password = "") {
  const std::vector<Box> boxes = WordBoxes(path, page, password);
  ASSERT_EQ(boxes.size(), words.size()) << path << " page " << page;
  for (size_t i = 0; i < words.size(); ++i) {
    const Word& w = words[i];
    const Box& b = boxes[i];
    SCOPED_TRACE(w.text);
    EXPECT_EQ(b.text, w.text);
    EXPECT_NEAR(b.xMin, w.left * kPointsPerPixel, 1.5);
    EXPECT_NEAR(b.xMax, w.right * kPointsPerPixel, 1.5);
    EXPECT_NEAR(b.yMin, w.top * kPointsPerPixel, 3.0);
    EXPECT_NEAR(b.yMax, (w.descender ? w.descender : w.bottom) * kPointsPerPixel, 3.0);
  }
}

int PageCount(const std::string& path) {
  const std::string info = testing::PdfInfo(path);
  std::smatch m;
  return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

TEST_F(PdfOcr, NativeImageBecomesASearchablePage) {
  Script(ScriptBlock(1200, 600, kFirstPage));
  Page(1200, 600);
  const std::string path = folder_.File("searchable.pdf");
  EXPECT_EQ(im_.SaveAsPDFOCR(path, TesseractDictionaryEnglish, "", "", "Scan"),
            "Hello World\r\nSearchable layer ");
  EXPECT_EQ(im_.GetStat(), OK);
  ASSERT_TRUE(PdfIsValid(path));
  EXPECT_NE(testing::PdfInfo(path).find("288 x 144 pts"), std::string::npos);
  const std::string text = RunCommand("pdftotext " + ShellQuote(path) + " -").output;
  EXPECT_NE(text.find("Hello World"), std::string::npos) << text;
  EXPECT_NE(text.find("Searchable layer"), std::string::npos) << text;
  ExpectWordsAt(path, 1, kFirstPage);
  // The words are there to be found, not seen: invisible text over the image, in a PDF/A file
  // that carries its font.
  const std::string plain = testing::UncompressedDocument(path);
  EXPECT_NE(plain.find("3 Tr"), std::string::npos);
  EXPECT_NE(plain.find("/FontFile2"), std::string::npos);
  EXPECT_NE(plain.find("/GTS_PDFA1"), std::string::npos);
  EXPECT_EQ(testing::RenderedGrey(path, 72, 50, 30), 255);  // over "Hello": still the white image

  // Never over an existing file; nothing else is left behind.
  EXPECT_EQ(im_.SaveAsPDFOCR(path, TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), CanNotCreateFile);
  EXPECT_EQ(LeftBehind(), std::vector<std::string>{"searchable.pdf"});

  // Encrypted: readable, words and all, with the password only.
  const std::string locked = folder_.File("locked.pdf");
  EXPECT_EQ(im_.SaveAsPDFOCREx(locked, TesseractDictionaryEnglish, "", "", "", "", "", "", "",
                               PdfEncryption128Bit, PdfRightCanPrint, "user", "owner"),
            "Hello World\r\nSearchable layer ");
  EXPECT_EQ(RunCommand("qpdf --password=user --check " + ShellQuote(locked)).exitCode, 0);
  EXPECT_NE(RunCommand("qpdf --check " + ShellQuote(locked)).exitCode, 0);
  EXPECT_NE(RunCommand("pdfinfo " + ShellQuote(locked)).exitCode, 0);
  EXPECT_EQ(RunCommand("pdfinfo -upw user " + ShellQuote(locked)).exitCode, 0);
  ExpectWordsAt(locked, 1, kFirstPage, "user");
}

TEST_F(PdfOcr, EveryTiffPageGetsItsOwnTextLayer) {
  Script(ScriptBlock(1200, 600, kFirstPage) + ScriptBlock(600, 1200, kSecondPage) +
         "image 300 300\nc 321 1 10 10 40 40 0\nc 243 1 40 10 70 40 0\n");
  const int32_t first = Page(1200, 600);
  const int32_t second = Page(600, 1200);
  const int32_t odd = Page(300, 300);  // "Łó": a letter the page's font encoding lacks
  const int32_t doc = im_.TiffCreateMultiPageFromTessivoImage(first);
  ASSERT_NE(doc, 0);
  ASSERT_EQ(im_.TiffAppendPageFromTessivoImage(doc, second), OK);
  ASSERT_EQ(im_.TiffAppendPageFromTessivoImage(doc, odd), OK);
  ASSERT_EQ(im_.TiffSelectPage(doc, 2), OK);
  const std::string path = folder_.File("document.pdf");
  EXPECT_EQ(im_.PdfOCRCreateFromMultipageTIFF(doc, path, TesseractDictionaryEnglish, ""),
            "Hello World\r\nSearchable layer Second page \xC5\x81\xC3\xB3 ");
  EXPECT_EQ(im_.GetStat(), OK);
  EXPECT_EQ(im_.TiffGetCurrentPage(doc), 2);
  ASSERT_TRUE(PdfIsValid(path));
  ASSERT_EQ(PageCount(path), 3);
  ExpectWordsAt(path, 1, kFirstPage);
  ExpectWordsAt(path, 2, kSecondPage);
  const std::vector<Box> third = WordBoxes(path, 3);
  ASSERT_EQ(third.size(), 1u);
  EXPECT_EQ(third[0].text, "?\xC3\xB3");

  // A document given to SaveAsPDFOCR: its selected page only.
  im_.SetNativeImage(doc);
  const std::string selected = folder_.File("selected.pdf");
  EXPECT_EQ(im_.SaveAsPDFOCR(selected, TesseractDictionaryEnglish, ""), "Second page ");
  EXPECT_EQ(PageCount(selected), 1);
  ExpectWordsAt(selected, 1, kSecondPage);

  EXPECT_EQ(im_.PdfOCRCreateFromMultipageTIFF(0, folder_.File("zero.pdf"), TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), InvalidParameter);
  EXPECT_EQ(im_.PdfOCRCreateFromMultipageTIFF(first, folder_.File("one.pdf"), TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), UnsupportedImageFormat);
  EXPECT_EQ(LeftBehind().size(), 2u);
}

TEST_F(PdfOcr, FailedRecognitionLeavesNoFile) {
  // The second of three pages cannot be read: the document is not written at all.
  Script(ScriptBlock(1200, 600, kFirstPage) + "image 600 1200\nfail 500\n");
  const int32_t first = Page(1200, 600);
  const int32_t doc = im_.TiffCreateMultiPageFromTessivoImage(first);
  ASSERT_EQ(im_.TiffAppendPageFromTessivoImage(doc, Page(600, 1200)), OK);
  ASSERT_EQ(im_.TiffAppendPageFromTessivoImage(doc, first), OK);
  EXPECT_EQ(im_.PdfOCRCreateFromMultipageTIFFEx(doc, folder_.File("doc.pdf"), TesseractDictionaryGerman, "/nowhere"),
            "");
  EXPECT_EQ(im_.GetStat(), OCRDictionaryNotFound);
  im_.SetNativeImage(doc);
  ASSERT_EQ(im_.TiffSelectPage(doc, 2), OK);
  EXPECT_EQ(im_.SaveAsPDFOCR(folder_.File("page.pdf"), TesseractDictionaryGerman, "/nowhere"), "");
  EXPECT_EQ(im_.GetStat(), OCRDictionaryNotFound);
  // A language the plug-in has no number for is refused before it is asked.
  im_.SetNativeImage(first);
  EXPECT_EQ(im_.SaveAsPDFOCR(folder_.File("lang.pdf"), static_cast<TesseractDictionary>(10), ""), "");
  EXPECT_EQ(im_.GetStat(), InvalidParameter);
  EXPECT_TRUE(LeftBehind().empty());
}

TEST_F(PdfOcr, MissingPluginLeavesNoFile) {
  ScopedTempFolder empty;
  ScopedEnv nowhere("TESSIVO_PLUGIN_DIR", empty.path());
  Script(ScriptBlock(1200, 600, kFirstPage));
  const int32_t id = Page(1200, 600);
  EXPECT_EQ(im_.SaveAsPDFOCR(folder_.File("page.pdf"), TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), GenericError);
  ASSERT_EQ(im_.TwainPdfOCRStart(folder_.File("scan.pdf")), OK);
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(id, TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), GenericError);
  EXPECT_EQ(im_.TwainPdfOCRStop(), OK);
  EXPECT_TRUE(LeftBehind().empty());
}

TEST_F(PdfOcr, ScanJobsMakeSearchablePagesWhenTheyStop) {
  Script(ScriptBlock(1200, 600, kFirstPage) + ScriptBlock(600, 1200, kSecondPage) + "image 300 300\nfail 500\n");
  EXPECT_EQ(im_.TwainPdfOCRStop(), TwainPdfMustBeCreatedFirst);
  const int32_t first = Page(1200, 600);
  const int32_t second = Page(600, 1200);
  const int32_t unreadable = Page(300, 300);
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(first, TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), TwainPdfMustBeCreatedFirst);

  // A job that ends without pages, and one dropped by a new start, leave nothing behind.
  ASSERT_EQ(im_.TwainPdfOCRStart(folder_.File("empty.pdf")), OK);
  EXPECT_EQ(im_.TwainPdfOCRStop(), OK);
  ASSERT_EQ(im_.TwainPdfOCRStartEx(folder_.File("dropped.pdf")), OK);
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(first, TesseractDictionaryEnglish, ""), "Hello World\r\nSearchable layer");

  const std::string path = folder_.File("scan.pdf");
  ASSERT_EQ(im_.TwainPdfOCRStartEx(path, "Scan", "", "", "", "", PdfEncryption40Bit, PdfRightUndefined, "pw", "pw"),
            OK);
  EXPECT_EQ(LeftBehind().size(), 1u);  // the new job's file being written; the dropped one is gone
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(first, TesseractDictionaryEnglish, ""), "Hello World\r\nSearchable layer");
  // An image that cannot be read is not added; the job goes on.
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(unreadable, TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), OCRDictionaryNotFound);
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(0, TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(im_.GetStat(), InvalidParameter);
  EXPECT_EQ(im_.TwainAddTessivoImageToPdfOCR(second, TesseractDictionaryEnglish, ""), "Second page");
  EXPECT_EQ(im_.TwainPdfOCRStop(), OK);
  EXPECT_EQ(im_.TwainPdfOCRStop(), TwainPdfMustBeCreatedFirst);
  EXPECT_EQ(LeftBehind(), std::vector<std::string>{"scan.pdf"});
  EXPECT_EQ(RunCommand("qpdf --password=pw --check " + ShellQuote(path)).exitCode, 0);
  EXPECT_NE(RunCommand("pdfinfo " + ShellQuote(path)).exitCode, 0);
  ExpectWordsAt(path, 1, kFirstPage, "pw");
  ExpectWordsAt(path, 2, kSecondPage, "pw");
  EXPECT_TRUE(WordBoxes(path, 3, "pw").empty());

  // An instance that goes with its jobs unfinished leaves no documents without pages behind.
  {
    cImaging other;
    ASSERT_EQ(other.TwainPdfOCRStart(folder_.File("unfinished.pdf")), OK);
    EXPECT_EQ(other.TwainAddTessivoImageToPdfOCR(first, TesseractDictionaryEnglish, ""),
              "Hello World\r\nSearchable layer");
    ASSERT_EQ(other.TwainPdfStart(folder_.File("unfinished-plain.pdf")), OK);
    EXPECT_EQ(other.TwainAddTessivoImageToPdf(first), OK);
  }
  EXPECT_EQ(LeftBehind(), std::vector<std::string>{"scan.pdf"});
}

}  // namespace
}  // namespace tessivo
