// Text recognition through the real OCR plug-in (Tesseract): pages drawn with the toolkit's own
// text drawing at 300 dpi are read back with their characters, boxes, lines, blanks and
// confidence; the region of interest; missing language data or plug-in; the numbered getters'
// bounds; page orientation; and the text built from the records.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/plugins.h"
#include "platform/plugin_library.h"
#include "recognition/ocr/ocr_text.h"
#include "support/pdf_checks.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::ScopedEnv;

constexpr int32_t kWhite = static_cast<int32_t>(0xFFFFFFFFu);
constexpr int32_t kBlack = static_cast<int32_t>(0xFF000000u);
constexpr const char* kLine1 = "The quick brown fox";
constexpr const char* kLine2 = "jumps over 42 lazy dogs";
constexpr int32_t kLine1Top = 100, kLine2Top = 260, kMargin = 120;

struct Box {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // right/bottom exclusive
};

// The box of the dark pixels of the native image inside [x0, x1) x [y0, y1).
Box Ink(cImaging& imaging, int x0, int y0, int x1, int y1) {
  platform::Bitmap* image = ResolveImage(imaging.GetNativeImage());
  Box box;
  for (int y = std::max(y0, 0); y < std::min(y1, image->Height()); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, image->Width()); ++x) {
      uint32_t argb = 0;
      image->GetPixel(x, y, argb);
      if (((argb >> 8) & 0xFF) < 128) {
        box.left = std::min(box.left, x), box.right = std::max(box.right, x + 1);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y + 1);
      }
    }
  return box;
}

// A white 300-dpi page with the given lines of 12-point Liberation Sans (anti-aliased), each
// line at its own top.
void DrawPage(cImaging& imaging, int width, int height, const std::vector<std::pair<std::string, int>>& lines) {
  ASSERT_NE(imaging.CreateNewImage(width, height, 24, kWhite), 0);
  ASSERT_EQ(imaging.SetHorizontalResolution(300), OK);
  ASSERT_EQ(imaging.SetVerticalResolution(300), OK);
  for (const auto& [text, top] : lines)
    ASSERT_EQ(imaging.DrawText(text, kMargin, top, 12, kBlack, "Arial", FontStyleRegular, true), OK);
}

void DrawTwoLinePage(cImaging& imaging) { DrawPage(imaging, 1400, 420, {{kLine1, kLine1Top}, {kLine2, kLine2Top}}); }

// The glyphs of one drawn line, left to right: the runs of inked columns inside rows [y0, y1),
// each with the box of its ink (the dot of an "i" or "j" shares its stem's columns).
std::vector<Box> Glyphs(cImaging& imaging, int y0, int y1) {
  platform::Bitmap* image = ResolveImage(imaging.GetNativeImage());
  std::vector<Box> glyphs;
  for (int x = 0; x < image->Width(); ++x) {
    const Box column = Ink(imaging, x, y0, x + 1, y1);
    if (column.right < 0) continue;
    if (glyphs.empty() || glyphs.back().right != x) glyphs.push_back(Box{});
    Box& g = glyphs.back();
    g.left = std::min(g.left, x), g.right = x + 1;
    g.top = std::min(g.top, column.top), g.bottom = std::max(g.bottom, column.bottom);
  }
  return glyphs;
}

std::string WithoutBlanks(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

std::filesystem::path EmptyFolder(const char* name) {
  const auto folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(folder);
  return folder;
}

TEST(Ocr, ReadsTwoDrawnLinesWithCharactersBoxesBlanksAndConfidence) {
  cImaging imaging;
  DrawTwoLinePage(imaging);
  const std::string text = imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, "");
  ASSERT_EQ(imaging.GetStat(), OK);
  EXPECT_EQ(text, std::string(kLine1) + "\r\n" + kLine2);

  const std::string characters = WithoutBlanks(std::string(kLine1) + kLine2);
  ASSERT_EQ(imaging.OCRTesseractGetCharCount(), static_cast<int32_t>(characters.size()));
  const int32_t firstOfLine2 = static_cast<int32_t>(WithoutBlanks(kLine1).size()) + 1;
  std::vector<Box> glyphs = Glyphs(imaging, 0, (kLine1Top + kLine2Top) / 2);
  const std::vector<Box> line2 = Glyphs(imaging, (kLine1Top + kLine2Top) / 2, 420);
  ASSERT_EQ(glyphs.size(), static_cast<size_t>(firstOfLine2 - 1)) << "the drawn letters touch";
  glyphs.insert(glyphs.end(), line2.begin(), line2.end());
  ASSERT_EQ(glyphs.size(), characters.size()) << "the drawn letters touch";
  for (int32_t n = 1; n <= imaging.OCRTesseractGetCharCount(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(imaging.OCRTesseractGetCharCode(n), characters[static_cast<size_t>(n - 1)]);
    EXPECT_EQ(imaging.OCRTesseractGetCharLine(n), n >= firstOfLine2 ? 2 : 1);
    const Box& drawn = glyphs[static_cast<size_t>(n - 1)];
    EXPECT_NEAR(imaging.OCRTesseractGetCharLeft(n), drawn.left, 3);
    EXPECT_NEAR(imaging.OCRTesseractGetCharRight(n), drawn.right, 3);
    EXPECT_NEAR(imaging.OCRTesseractGetCharTop(n), drawn.top, 3);
    EXPECT_NEAR(imaging.OCRTesseractGetCharBottom(n), drawn.bottom, 3);
    const float confidence = imaging.OCRTesseractGetCharConfidence(n);
    EXPECT_GT(confidence, 50.f);
    EXPECT_LE(confidence, 100.f);
  }
  // Blanks come before "quick" (n = 4) but not before "The" or "jumps".
  EXPECT_EQ(imaging.OCRTesseractGetCharSpaces(1), 0);
  EXPECT_EQ(imaging.OCRTesseractGetCharSpaces(2), 0);
  EXPECT_EQ(imaging.OCRTesseractGetCharSpaces(4), 1);
  EXPECT_EQ(imaging.OCRTesseractGetCharSpaces(firstOfLine2), 0);

  imaging.OCRTesseractClear();
  EXPECT_EQ(imaging.OCRTesseractGetCharCount(), 0);
  EXPECT_EQ(imaging.GetStat(), OK);
}

TEST(Ocr, ReadsOnlyTheRegionOfInterestWithEdgesInImagePixels) {
  cImaging imaging;
  DrawTwoLinePage(imaging);
  const int roiTop = (kLine1Top + kLine2Top) / 2;
  ASSERT_EQ(imaging.SetROI(60, roiTop, 1300, 420 - roiTop), OK);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), kLine2);
  ASSERT_EQ(imaging.OCRTesseractGetCharCount(), static_cast<int32_t>(WithoutBlanks(kLine2).size()));
  const std::vector<Box> glyphs = Glyphs(imaging, roiTop, 420);
  EXPECT_EQ(imaging.OCRTesseractGetCharLine(1), 1);
  for (int32_t n : {1, imaging.OCRTesseractGetCharCount()}) {
    const Box& drawn = n == 1 ? glyphs.front() : glyphs.back();
    EXPECT_NEAR(imaging.OCRTesseractGetCharLeft(n), drawn.left, 3);
    EXPECT_NEAR(imaging.OCRTesseractGetCharRight(n), drawn.right, 3);
    EXPECT_NEAR(imaging.OCRTesseractGetCharTop(n), drawn.top, 3);
    EXPECT_NEAR(imaging.OCRTesseractGetCharBottom(n), drawn.bottom, 3);
  }
}

// After ResetROI the whole of the image read now is recognised, not the size of whatever image
// a filter last ran on; and the same engine's words come back out of a searchable PDF.
TEST(Ocr, WholePageAfterAResetRegionAndInASearchablePdf) {
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(50, 40, 24, kWhite), 0);
  ASSERT_EQ(imaging.SetROI(1, 1, 10, 10), OK);
  ASSERT_EQ(imaging.ResetROI(), OK);
  ASSERT_EQ(imaging.FxNegative(), OK);
  DrawTwoLinePage(imaging);
  const std::string expected = std::string(kLine1) + "\r\n" + kLine2;
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), expected);

  const std::string pdf = (std::filesystem::temp_directory_path() /
                           ("ocr-searchable-" + std::to_string(::getpid()) + ".pdf")).string();
  std::filesystem::remove(pdf);
  EXPECT_EQ(imaging.SaveAsPDFOCR(pdf, TesseractDictionaryEnglish, ""), expected + " ");  // a blank after every word
  ASSERT_EQ(imaging.GetStat(), OK);
  EXPECT_EQ(testing::RunCommand("qpdf --check " + testing::ShellQuote(pdf)).exitCode, 0);
  const std::string text = testing::RunCommand("pdftotext " + testing::ShellQuote(pdf) + " -").output;
  EXPECT_NE(text.find(kLine1), std::string::npos) << text;
  EXPECT_NE(text.find(kLine2), std::string::npos) << text;
  std::filesystem::remove(pdf);
}

TEST(Ocr, TransparentBackgroundReadsAsPaper) {
  // Black text on a fully transparent (black) background: the page is the paper behind it.
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(1000, 260, 32, 0x00000000), 0);
  ASSERT_EQ(imaging.SetVerticalResolution(300), OK);
  ASSERT_EQ(imaging.DrawText("Clear paper 17", kMargin, 80, 12, kBlack, "Arial", FontStyleRegular, true), OK);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "Clear paper 17");
}

TEST(Ocr, GreyAndBilevelPagesReadAlike) {
  cImaging imaging;
  DrawTwoLinePage(imaging);
  const std::string expected = std::string(kLine1) + "\r\n" + kLine2;
  ASSERT_EQ(imaging.ConvertTo8BppGrayScale(), OK);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), expected);
  ASSERT_EQ(imaging.ConvertTo1Bpp(), OK);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), expected);
}

TEST(Ocr, WhiteListLimitsOneReadingOnly) {
  cImaging imaging;
  DrawPage(imaging, 1000, 260, {{"Room 42 floor 7", 80}});
  const std::string digits = imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, "", "0123456789");
  ASSERT_EQ(imaging.GetStat(), OK);
  EXPECT_NE(digits.find("42"), std::string::npos) << digits;
  EXPECT_EQ(digits.find_first_not_of("0123456789 "), std::string::npos) << digits;
  // The engine is kept between readings; the next one without a white list reads letters again.
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "Room 42 floor 7");
}

TEST(Ocr, MissingLanguageDataEmptiesTheStoreWithItsStatus) {
  cImaging imaging;
  DrawTwoLinePage(imaging);
  ASSERT_FALSE(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, "").empty());
  ASSERT_GT(imaging.OCRTesseractGetCharCount(), 0);
  const std::string empty = EmptyFolder("no-tessdata").string();
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, empty), "");
  EXPECT_EQ(imaging.GetStat(), OCRDictionaryNotFound);
  EXPECT_EQ(imaging.OCRTesseractGetCharCount(), 0);
  EXPECT_EQ(imaging.OCRTesseractGetOrientation(TesseractDictionaryEnglish, empty), -1);
  EXPECT_EQ(imaging.GetStat(), OCRDictionaryNotFound);
  // The folder holding the system's data, given by name, is read like the default.
  EXPECT_FALSE(imaging.OCRTesseractDoOCR(TesseractDictionaryGerman, "/usr/share/tesseract-ocr/5/tessdata").empty());
  EXPECT_EQ(imaging.GetStat(), OK);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(static_cast<TesseractDictionary>(10), ""), "");
  EXPECT_EQ(imaging.GetStat(), InvalidParameter);
}

TEST(Ocr, WithoutThePluginOrANativeImageNothingIsRead) {
  {
    ScopedEnv env("TESSIVO_PLUGIN_DIR", EmptyFolder("no-plugins").string());
    cImaging imaging;
    DrawTwoLinePage(imaging);
    EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "");
    EXPECT_EQ(imaging.GetStat(), GenericError);
    EXPECT_EQ(imaging.OCRTesseractGetCharCount(), 0);
    EXPECT_EQ(imaging.OCRTesseractGetOrientation(TesseractDictionaryEnglish, ""), -1);
    EXPECT_EQ(imaging.GetStat(), GenericError);
  }
  cImaging imaging;
  imaging.State().Set(InvalidParameter);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(imaging.GetStat(), InvalidParameter);
}

TEST(Ocr, TinyEmptyAndOutsideRegionsGiveNoCharacters) {
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(1, 1, 24, kBlack), 0);
  EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "");
  EXPECT_EQ(imaging.GetStat(), OK);
  EXPECT_EQ(imaging.OCRTesseractGetCharCount(), 0);

  DrawTwoLinePage(imaging);
  for (const ZoneRect roi : {ZoneRect{500, 150, 1, 1}, ZoneRect{5000, 5000, 100, 100}, ZoneRect{-300, -300, 100, 100}}) {
    SCOPED_TRACE(roi.left);
    ASSERT_EQ(imaging.SetROI(roi.left, roi.top, roi.width, roi.height), OK);
    EXPECT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "");
    EXPECT_EQ(imaging.GetStat(), OK);
    EXPECT_EQ(imaging.OCRTesseractGetCharCount(), 0);
  }
}

TEST(Ocr, CharacterNumbersOutsideTheStoreGiveNeutralValues) {
  cImaging imaging;
  DrawPage(imaging, 900, 260, {{"Tessivo", 80}});
  ASSERT_EQ(imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, ""), "Tessivo");
  imaging.State().Set(FileNotFound);
  for (int32_t n : {0, -1, 8, INT32_MAX}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(imaging.OCRTesseractGetCharCode(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharLine(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharLeft(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharRight(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharTop(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharBottom(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharSpaces(n), 0);
    EXPECT_EQ(imaging.OCRTesseractGetCharConfidence(n), 100.f);
  }
  EXPECT_EQ(imaging.OCRTesseractGetCharCode(7), 'o');
  EXPECT_EQ(imaging.GetStat(), FileNotFound);
}

TEST(Ocr, ThreadsReadAtOnceInLanguagesOfTheirOwn) {
  // Each thread keeps an engine for its language; none may see another's.
  const TesseractDictionary languages[] = {TesseractDictionaryEnglish, TesseractDictionaryGerman,
                                           TesseractDictionaryEnglish};
  std::string texts[3];
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t)
    threads.emplace_back([&, t] {
      cImaging imaging;
      DrawPage(imaging, 1000, 260, {{"Tessivo reads " + std::to_string(t + 40), 80}});
      for (int round = 0; round < 2; ++round) texts[t] = imaging.OCRTesseractDoOCR(languages[t], "");
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 3; ++t) EXPECT_EQ(texts[t], "Tessivo reads " + std::to_string(t + 40));
}

TEST(Ocr, TellsHowThePageIsTurned) {
  cImaging imaging;
  const char* lines[] = {"The quick brown fox jumps over the lazy dog.", "Pack my box with five dozen liquor jugs.",
                         "Sphinx of black quartz, judge my vow now.", "How vexingly quick daft zebras jump.",
                         "The five boxing wizards jump quickly.", "Bright vixens jump; dozy fowl quack."};
  std::vector<std::pair<std::string, int>> page;
  for (int i = 0; i < 6; ++i) page.emplace_back(lines[i], 100 + i * 110);
  DrawPage(imaging, 1500, 800, page);
  EXPECT_EQ(imaging.OCRTesseractGetOrientation(TesseractDictionaryEnglish, ""), 0);
  EXPECT_EQ(imaging.GetStat(), OK);
  // Turned clockwise by a quarter, then by another two quarters.
  ASSERT_EQ(imaging.Rotate(Rotate90FlipNone), OK);
  EXPECT_EQ(imaging.OCRTesseractGetOrientation(TesseractDictionaryEnglish, ""), 90);
  ASSERT_EQ(imaging.Rotate(Rotate180FlipNone), OK);
  EXPECT_EQ(imaging.OCRTesseractGetOrientationEx(TesseractDictionaryEnglish, "", 1.f), 270);
  // Asking for more certainty than any detection has, or a page without text: unknown.
  EXPECT_EQ(imaging.OCRTesseractGetOrientationEx(TesseractDictionaryEnglish, "", 1e6f), -1);
  EXPECT_EQ(imaging.GetStat(), OK);
  ASSERT_NE(imaging.CreateNewImage(600, 600, 24, kWhite), 0);
  EXPECT_EQ(imaging.OCRTesseractGetOrientation(TesseractDictionaryEnglish, ""), -1);
  EXPECT_EQ(imaging.GetStat(), OK);
}

TEST(OcrPlugin, RefusesBadArgumentsWithAStatus) {
  platform::PluginLibrary library(PluginPathFor(PluginKind::Ocr));
  ASSERT_TRUE(library.Loaded());
  auto ocr = library.Function<tvocrplug_OCR_fn>("tvocrplug_OCR");
  auto orientation = library.Function<tvocrplug_ORIENTATION_fn>("tvocrplug_ORIENTATION");
  ASSERT_TRUE(ocr && orientation);
  const uint8_t pixels[4 * 4 * 3] = {};
  const TvocrImage good{pixels, 4, 4, 12, 3, 0, 0};
  TvocrCharRecord* records = reinterpret_cast<TvocrCharRecord*>(1);
  int32_t count = 7, degrees = 5;
  for (const TvocrImage bad : {TvocrImage{nullptr, 4, 4, 12, 3, 0, 0}, TvocrImage{pixels, 4, 4, 11, 3, 0, 0},
                               TvocrImage{pixels, 4, 4, 12, 2, 0, 0}, TvocrImage{pixels, -4, 4, 12, 3, 0, 0}}) {
    EXPECT_EQ(ocr(&bad, 0, 0, 0, 0, TVOCRPLUG_ENGLISH, "", "", &records, &count), TVOCRPLUG_INVALID_PARAMETER);
    EXPECT_EQ(records, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(orientation(&bad, TVOCRPLUG_ENGLISH, "", 0.f, &degrees), TVOCRPLUG_INVALID_PARAMETER);
    EXPECT_EQ(degrees, -1);
  }
  EXPECT_EQ(ocr(nullptr, 0, 0, 0, 0, TVOCRPLUG_ENGLISH, nullptr, nullptr, &records, &count), TVOCRPLUG_INVALID_PARAMETER);
  EXPECT_EQ(ocr(&good, 0, 0, 0, 0, TVOCRPLUG_ENGLISH, nullptr, nullptr, nullptr, &count), TVOCRPLUG_INVALID_PARAMETER);
  EXPECT_EQ(ocr(&good, 0, 0, 0, 0, 10, nullptr, nullptr, &records, &count), TVOCRPLUG_INVALID_PARAMETER);
  EXPECT_EQ(ocr(&good, 0, 0, 0, 0, -1, nullptr, nullptr, &records, &count), TVOCRPLUG_INVALID_PARAMETER);
  // A blank image in the system's data with no path and no white list: fine, and nothing on it.
  EXPECT_EQ(ocr(&good, 0, 0, 0, 0, TVOCRPLUG_ENGLISH, nullptr, nullptr, &records, &count), TVOCRPLUG_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(records, nullptr);
}

TEST(OcrText, JoinsLinesAndBlanksAndDropsTheLoneNoTextMark) {
  const auto record = [](uint32_t code, int16_t line, int16_t blanks) {
    TvocrCharRecord r{};
    r.code = code, r.line = line, r.blanks = blanks;
    return r;
  };
  using recognition::OcrText;
  EXPECT_EQ(OcrText({record('A', 1, 0), record('b', 1, 0), record('c', 1, 1), record('D', 2, 0), record('e', 2, 2)}),
            "Ab c\r\nD  e");
  // Lines are joined once however many numbers are skipped; code points become UTF-8.
  EXPECT_EQ(OcrText({record(0xE9, 1, 0), record(0x1F600, 3, 0)}), "\xC3\xA9\r\n\xF0\x9F\x98\x80");
  EXPECT_EQ(OcrText({record('~', 1, 0)}), "");
  EXPECT_EQ(OcrText({record('~', 1, 0), record('~', 1, 0)}), "~~");
  EXPECT_EQ(OcrText({}), "");
}

}  // namespace
}  // namespace tessivo
