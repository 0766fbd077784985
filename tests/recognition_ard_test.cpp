#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "recognition/ard/ard.h"
#include "recognition/ard/layout_signature.h"
#include "recognition/ard/template_file.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using recognition::cARD;
using testing::ScopedTempFolder;

constexpr int32_t kWhite = static_cast<int32_t>(0xFFFFFFFFu);
constexpr int32_t kPageWidth = 510;
constexpr int32_t kPageHeight = 660;

enum class Layout { Invoice, Letter, Receipt };

// Rows of short dashes standing for printed words.
void Words(cImaging& im, std::mt19937& rng, int32_t left, int32_t top, int32_t width, int32_t lines) {
  std::uniform_int_distribution<int32_t> word(12, 40);
  for (int32_t line = 0; line < lines; ++line) {
    int32_t x = left;
    const int32_t y = top + line * 14;
    while (x < left + width - 40) {
      const int32_t w = word(rng);
      im.DrawFillRectangle(x, y, w, 6);
      x += w + 8;
    }
  }
}

// A page of the given layout; each seed moves its parts a little and writes other words.
int32_t Form(cImaging& im, Layout layout, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> jitter(-6, 6);
  const int32_t id = im.CreateNewImage(kPageWidth, kPageHeight, 24, kWhite);
  EXPECT_NE(id, 0);
  const int32_t dx = jitter(rng);
  const int32_t dy = jitter(rng);
  switch (layout) {
    case Layout::Invoice:  // heavy title bar, then a ruled table
      im.DrawFillRectangle(30 + dx, 20 + dy, 450, 60);
      for (int32_t r = 0; r <= 12; ++r) im.DrawFillRectangle(30 + dx, 180 + dy + r * 30, 450, 2);
      for (int32_t c = 0; c <= 4; ++c) im.DrawFillRectangle(30 + dx + c * 112, 180 + dy, 2, 360);
      break;
    case Layout::Letter:  // small letterhead, body of text lines
      im.DrawFillRectangle(380 + dx, 30 + dy, 100, 30);
      Words(im, rng, 40 + dx, 140 + dy, 430, 30);
      break;
    case Layout::Receipt:  // two framed boxes at the bottom, a few words at the top
      Words(im, rng, 40 + dx, 40 + dy, 200, 4);
      im.DrawRectangle(40 + dx, 400 + dy, 200, 200, 4);
      im.DrawRectangle(280 + dx, 400 + dy, 190, 200, 4);
      break;
  }
  return id;
}

platform::Bitmap* Bits(int32_t id) { return ResolveImage(id); }

TEST(DocumentTemplates, UnseenPagesGoToTheirOwnLayout) {
  cImaging im;
  const Layout layouts[] = {Layout::Invoice, Layout::Letter, Layout::Receipt};
  int32_t templates[3] = {};
  for (int i = 0; i < 3; ++i) {
    templates[i] = im.ADRCreateTemplateFromTessivoImage(Form(im, layouts[i], 100 + i));
    ASSERT_NE(templates[i], 0);
    EXPECT_EQ(im.GetStat(), OK);
    for (uint32_t sample = 1; sample < 4; ++sample)
      EXPECT_EQ(im.ADRAddImageToTemplate(templates[i], Form(im, layouts[i], 100 + i + 10 * sample)), OK);
    EXPECT_EQ(im.ADRGetTemplateImageCount(templates[i]), 4);
    EXPECT_TRUE(im.ADRSetTemplateTag(templates[i], "kind " + std::to_string(i)));
  }
  EXPECT_EQ(im.ADRGetTemplateCount(), 3);
  for (int i = 0; i < 3; ++i) {
    for (uint32_t unseen = 500; unseen < 503; ++unseen) {
      const int32_t page = Form(im, layouts[i], unseen + 7 * i);
      EXPECT_EQ(im.ADRGetCloserTemplateForTessivoImage(page), templates[i]) << i << " " << unseen;
      EXPECT_EQ(im.GetStat(), OK);
      const double best = im.ADRGetLastRelevance();
      EXPECT_GT(best, 0.0);
      EXPECT_LE(best, 100.0);
      EXPECT_DOUBLE_EQ(im.ADRGetLastRelevanceFromTemplate(templates[i]), best);
      for (int j = 0; j < 3; ++j)
        if (j != i) EXPECT_LT(im.ADRGetLastRelevanceFromTemplate(templates[j]), best - 5.0) << i << " vs " << j;
    }
  }
  EXPECT_EQ(im.ADRGetTemplateTag(templates[1]), "kind 1");
}

TEST(DocumentTemplates, SamplesAreAveragedAndIdenticalPagesScoreFull) {
  cImaging im;
  const int32_t page = Form(im, Layout::Invoice, 1);
  const int32_t t = im.ADRCreateTemplateFromTessivoImage(page);
  ASSERT_EQ(im.ADRAddImageToTemplate(t, page), OK);  // the same page twice: averages unchanged
  EXPECT_EQ(im.ADRGetCloserTemplateForTessivoImage(page), t);
  EXPECT_NEAR(im.ADRGetLastRelevance(), 100.0, 1e-9);

  // Averages round halves to even. Zero-filled 24-bit pages are opaque black: every 3 x 3 cell
  // is pattern 511 (9 cells on 10 x 10, 18 on 20 x 10).
  ScopedTempFolder folder;
  auto blackPage = [](int32_t w, int32_t h) {
    std::unique_ptr<platform::Bitmap> b;
    EXPECT_EQ(platform::Bitmap::Create(w, h, platform::kPixelFormat24bppRGB, b), platform::Status::Ok);
    return b;
  };
  auto a = blackPage(10, 10), b = blackPage(20, 10), c = blackPage(101, 1), d = blackPage(103, 1);
  cARD ard;
  const int32_t first = ard.NewTemplate();
  const int32_t down = ard.NewTemplate();
  const int32_t up = ard.NewTemplate();
  ASSERT_EQ(ard.AddImageToTemplate(first, a.get()), OK);
  ASSERT_EQ(ard.AddImageToTemplate(first, b.get()), OK);  // area 150, counter 13.5 -> 14
  ASSERT_EQ(ard.AddImageToTemplate(first, a.get()), OK);  // area 133.3 -> 133, counter 12.3 -> 12
  ASSERT_EQ(ard.AddImageToTemplate(down, a.get()), OK);
  ASSERT_EQ(ard.AddImageToTemplate(down, c.get()), OK);  // 100.5 -> 100
  ASSERT_EQ(ard.AddImageToTemplate(up, a.get()), OK);
  ASSERT_EQ(ard.AddImageToTemplate(up, d.get()), OK);  // 101.5 -> 102
  ASSERT_TRUE(ard.SaveTemplateConfig(folder.File("t")));
  std::vector<recognition::TemplateRecord> saved;
  ASSERT_TRUE(recognition::DecodeTemplateFile(testing::ReadBytes(folder.File("t")), saved));
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[0].area, 133);
  EXPECT_EQ(saved[0].signature[511], 12);
  EXPECT_EQ(saved[0].ink, 12 * 9);  // 81, 162 -> 121.5 -> 122, then 108.3 -> 108
  EXPECT_EQ(saved[0].imageCount, 3);
  EXPECT_EQ(saved[1].area, 100);
  EXPECT_EQ(saved[2].area, 102);
  EXPECT_EQ(ard.ComputeSignatureColor(*a), OK);
  EXPECT_NEAR(ard.CompareSignature(first), 75.0, 1e-9);  // 100 x 9 / 12
}

TEST(DocumentTemplates, SignatureCellsPatternsAndInk) {
  std::unique_ptr<platform::Bitmap> page;
  ASSERT_EQ(platform::Bitmap::Create(8, 10, platform::kPixelFormat32bppARGB, page), platform::Status::Ok);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 8; ++x) page->SetPixel(x, y, 0xFFFFFFFFu);
  page->SetPixel(0, 0, 0xFF000000u);  // top-left of cell (0,0): 256
  page->SetPixel(4, 4, 0xFF7E7E7Eu);  // centre of cell (1,1), dark grey: 16
  page->SetPixel(5, 5, 0xFF7F0000u);  // green and blue low but red 127: light
  page->SetPixel(7, 0, 0xFF000000u);  // in the ignored right remainder
  page->SetPixel(0, 9, 0xFF000000u);  // in the ignored bottom remainder
  recognition::LayoutSignature s;
  ASSERT_EQ(recognition::ComputeSignature(*page, recognition::InkRule::Color, s), OK);
  EXPECT_EQ(s.counters[256], 1);
  EXPECT_EQ(s.counters[16], 1);
  EXPECT_EQ(s.counters[0], 4);  // 2 x 3 cells in all
  EXPECT_EQ(s.ink, 2);
  EXPECT_EQ(s.topInk, 1);  // top band limit floor(10 x 0.2) = 2: only the first row of cells
  // The bitonal rule takes only opaque black.
  ASSERT_EQ(recognition::ComputeSignature(*page, recognition::InkRule::Bitonal, s), OK);
  EXPECT_EQ(s.counters[256], 1);
  EXPECT_EQ(s.counters[16], 0);
}

TEST(DocumentTemplates, BlankPagesTinyPagesAndEmptyTemplatesScoreWithoutFaults) {
  cImaging im;
  const int32_t blank = im.CreateNewImage(300, 300, 24, kWhite);
  const int32_t tiny = im.CreateNewImage(2, 2, 24, static_cast<int32_t>(0xFF000000u));
  const int32_t empty = im.ADRCreateTemplateEmpty();  // never given a sample
  const int32_t blankTemplate = im.ADRCreateTemplateFromTessivoImage(blank);
  ASSERT_NE(empty, 0);
  ASSERT_NE(blankTemplate, 0);
  EXPECT_EQ(im.ADRGetCloserTemplateForTessivoImage(blank), blankTemplate);
  EXPECT_NEAR(im.ADRGetLastRelevance(), 40.0, 1e-9);  // S 0, area, ink and top ink 100
  // Against the empty template: S 0, area 0, ink and top ink both 0 score 100.
  EXPECT_NEAR(im.ADRGetLastRelevanceFromTemplate(empty), 25.0, 1e-9);
  const int32_t form = Form(im, Layout::Invoice, 3);
  EXPECT_EQ(im.ADRGetCloserTemplateForTessivoImage(form), blankTemplate);  // area decides
  EXPECT_NEAR(im.ADRGetLastRelevanceFromTemplate(empty), 0.0, 1e-9);
  // 2 x 2 has no complete cell and no ink: the blank template still wins on area.
  EXPECT_EQ(im.ADRGetCloserTemplateForTessivoImage(tiny), blankTemplate);
  EXPECT_NEAR(im.ADRGetLastRelevance(), 25.0 + 15.0 * 4 / 90000, 1e-9);
  // Equal relevance: the template created first is the answer.
  cImaging other;
  const int32_t first = other.ADRCreateTemplateEmpty();
  other.ADRCreateTemplateEmpty();
  EXPECT_EQ(other.ADRGetCloserTemplateForTessivoImage(other.CreateNewImage(2, 2, 24, kWhite)), first);
  EXPECT_NEAR(other.ADRGetLastRelevance(), 25.0, 1e-9);
}

TEST(DocumentTemplates, UnknownIdsAndImagesGiveNeutralResults) {
  cImaging im;
  EXPECT_EQ(im.ADRGetCloserTemplateForTessivoImage(Form(im, Layout::Letter, 1)), 0);
  EXPECT_EQ(im.GetStat(), TemplateNotFound);
  const int32_t t = im.ADRCreateTemplateEmpty();
  EXPECT_EQ(im.ADRAddImageToTemplate(t + 1, im.GetNativeImage()), TemplateNotFound);
  EXPECT_EQ(im.ADRAddImageToTemplate(t, 0), InvalidParameter);
  EXPECT_EQ(im.ADRAddImageToTemplate(t, 424242), InvalidParameter);
  EXPECT_EQ(im.ADRCreateTemplateFromTessivoImage(0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.ADRCreateTemplateFromFile("/nonexistent/page.png"), 0);
  EXPECT_EQ(im.GetStat(), FileNotFound);
  EXPECT_EQ(im.ADRGetCloserTemplateForFile("/nonexistent/page.png"), 0);
  EXPECT_EQ(im.GetStat(), FileNotFound);
  EXPECT_EQ(im.ADRGetTemplateCount(), 1);  // failed creations leave nothing behind
  EXPECT_EQ(im.ADRGetTemplateID(0), -1);
  EXPECT_EQ(im.ADRGetTemplateID(1), t);
  EXPECT_EQ(im.ADRGetTemplateID(2), -1);
  EXPECT_EQ(im.ADRGetTemplateImageCount(t + 1), 0);
  EXPECT_EQ(im.ADRGetTemplateTag(t + 1), "");
  EXPECT_FALSE(im.ADRSetTemplateTag(t + 1, "x"));
  EXPECT_FALSE(im.ADRDeleteTemplate(t + 1));
  EXPECT_DOUBLE_EQ(im.ADRGetLastRelevanceFromTemplate(t), 0.0);
  EXPECT_TRUE(im.ADRDeleteTemplate(t));
  EXPECT_EQ(im.ADRGetTemplateCount(), 0);
}

TEST(DocumentTemplates, IdsAreUniqueAndRelevancesFollowTheirTemplate) {
  cARD ard;
  std::vector<int32_t> ids;
  for (int i = 0; i < 3000; ++i) ids.push_back(ard.NewTemplate());  // far within one clock tick
  std::vector<int32_t> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_GT(sorted.front(), 0);
  EXPECT_LT(sorted.back(), 100000000);
  for (int32_t id : ids) EXPECT_EQ(ard.GetTemplateID(ard.GetTemplateIDX(id) + 1), id);

  // After a deletion each template still reports its own relevance, not its old neighbour's.
  cImaging im;
  const int32_t a = im.ADRCreateTemplateFromTessivoImage(Form(im, Layout::Invoice, 1));
  const int32_t b = im.ADRCreateTemplateFromTessivoImage(Form(im, Layout::Letter, 1));
  const int32_t c = im.ADRCreateTemplateFromTessivoImage(Form(im, Layout::Receipt, 1));
  ASSERT_EQ(im.ADRGetCloserTemplateForTessivoImage(Form(im, Layout::Receipt, 2)), c);
  const double relevanceC = im.ADRGetLastRelevanceFromTemplate(c);
  EXPECT_TRUE(im.ADRDeleteTemplate(a));
  EXPECT_DOUBLE_EQ(im.ADRGetLastRelevanceFromTemplate(c), relevanceC);
  EXPECT_LT(im.ADRGetLastRelevanceFromTemplate(b), relevanceC);
  const int32_t d = im.ADRCreateTemplateEmpty();
  EXPECT_DOUBLE_EQ(im.ADRGetLastRelevanceFromTemplate(d), 0.0);  // not part of that lookup
}

class TemplateFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const int32_t t = im.ADRCreateTemplateFromTessivoImage(Form(im, static_cast<Layout>(i), 40 + i));
      ASSERT_NE(t, 0);
      ids.push_back(t);
    }
    im.ADRSetTemplateTag(ids[0], "Rechnung \xC3\xBC");  // u-umlaut: one Windows-1252 byte
    ASSERT_TRUE(im.ADRSaveTemplateConfig(path));
    bytes = testing::ReadBytes(path);
  }
  // Loads `content` and checks the set is the one made in SetUp.
  void ExpectRefusedAndUntouched(const std::vector<uint8_t>& content, const char* what) {
    testing::WriteBytes(hostile, content);
    EXPECT_FALSE(im.ADRLoadTemplateConfig(hostile)) << what;
    ASSERT_EQ(im.ADRGetTemplateCount(), 3) << what;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(im.ADRGetTemplateID(i + 1), ids[static_cast<size_t>(i)]) << what;
  }
  static void PutInt32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  }

  ScopedTempFolder folder;
  std::string path = folder.File("set.tpl");
  std::string hostile = folder.File("hostile.tpl");
  cImaging im;
  std::vector<int32_t> ids;
  std::vector<uint8_t> bytes;
};

TEST_F(TemplateFiles, LayoutAndRoundTrip) {
  // Count, then 2070 bytes per record plus the tag.
  ASSERT_EQ(bytes.size(), 4u + 3u * 2070u + 10u);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[1] | bytes[2] | bytes[3], 0);
  const uint32_t firstId = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
  EXPECT_EQ(static_cast<int32_t>(firstId), ids[0]);
  EXPECT_EQ(bytes[4 + 2068], 10);  // tag length, then Windows-1252 bytes
  EXPECT_EQ(bytes[4 + 2070 + 9], 0xFC);
  EXPECT_EQ(bytes[4 + 2070 + 10 + 2068], 0);  // empty tags: length 0

  cImaging other;
  other.ADRCreateTemplateEmpty();
  ASSERT_TRUE(other.ADRLoadTemplateConfig(path));
  EXPECT_EQ(other.ADRGetTemplateCount(), 3);
  EXPECT_EQ(other.ADRGetTemplateTag(ids[0]), "Rechnung \xC3\xBC");
  EXPECT_EQ(other.ADRGetTemplateImageCount(ids[2]), 1);
  const std::string again = folder.File("again.tpl");
  ASSERT_TRUE(other.ADRSaveTemplateConfig(again));
  EXPECT_EQ(testing::ReadBytes(again), bytes);
  EXPECT_EQ(other.ADRGetCloserTemplateForTessivoImage(Form(other, Layout::Letter, 9)), ids[1]);

  other.ADRStartNewTemplateConfig();
  EXPECT_EQ(other.ADRGetTemplateCount(), 0);
  EXPECT_FALSE(other.ADRSaveTemplateConfig(folder.File("none.tpl")));  // empty set: nothing written
  EXPECT_FALSE(testing::FileExists(folder.File("none.tpl")));
  EXPECT_FALSE(other.ADRSaveTemplateConfig(folder.File("no/such/folder/x.tpl")));
}

TEST_F(TemplateFiles, HostileFilesLeaveTheSetUntouched) {
  EXPECT_FALSE(im.ADRLoadTemplateConfig(folder.File("missing.tpl")));
  EXPECT_EQ(im.ADRGetTemplateCount(), 3);
  ExpectRefusedAndUntouched({}, "empty file");
  ExpectRefusedAndUntouched({0, 0, 0, 0}, "count 0");
  ExpectRefusedAndUntouched({0xFF, 0xFF, 0xFF, 0xFF}, "count -1");
  for (size_t cut : {size_t{3}, size_t{100}, size_t{2074}, bytes.size() - 1})
    ExpectRefusedAndUntouched(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)), "truncated");
  std::vector<uint8_t> b = bytes;
  PutInt32(b, 0, 0x7FFFFFFF);
  ExpectRefusedAndUntouched(b, "count past the size");
  b = bytes;
  b[4 + 2068] = 0xFF;
  b[4 + 2069] = 0xFF;
  ExpectRefusedAndUntouched(b, "tag past the end");
  b = bytes;
  PutInt32(b, 4 + 2070 + 10, ids[0]);
  ExpectRefusedAndUntouched(b, "duplicate ID");
  b = bytes;
  PutInt32(b, 4, 0);
  ExpectRefusedAndUntouched(b, "ID 0");
  b = bytes;
  PutInt32(b, 4 + 4 + 4 * 7, -5);
  ExpectRefusedAndUntouched(b, "negative counter");
  EXPECT_FALSE(im.ADRLoadTemplateConfig(folder.path()));  // a folder, not a file
  EXPECT_FALSE(im.ADRLoadTemplateConfig("/dev/zero"));     // endless device
  EXPECT_EQ(im.ADRGetTemplateCount(), 3);
  // A failed save leaves the earlier file as it was.
  std::string longTag(70000, 'x');
  ASSERT_TRUE(im.ADRSetTemplateTag(ids[1], longTag));
  EXPECT_FALSE(im.ADRSaveTemplateConfig(path));
  EXPECT_EQ(testing::ReadBytes(path), bytes);
}

}  // namespace
}  // namespace tessivo
