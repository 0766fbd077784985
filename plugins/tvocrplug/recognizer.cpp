#include "recognizer.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <leptonica/allheaders.h>

#include "engine_cache.h"
#include "glyph_boxes.h"
#include "grey_image.h"
#include "language_data.h"

namespace tvocrplug {
namespace {

using tesseract::RIL_SYMBOL;
using tesseract::RIL_TEXTLINE;
using tesseract::RIL_WORD;

int16_t Clamp16(int64_t value) { return static_cast<int16_t>(std::clamp<int64_t>(value, 0, 32767)); }

// The engine for a dictionary's language, or the plug-in status explaining why there is none.
int32_t EngineFor(EngineKind kind, int32_t dictionary, const char* dictionaryPath, tesseract::TessBaseAPI*& api) {
  const char* language = LanguageName(dictionary);
  if (language == nullptr) return TVOCRPLUG_INVALID_PARAMETER;
  std::optional<std::string> folder = FindLanguageFolder(language, dictionaryPath);
  if (!folder) return TVOCRPLUG_DICTIONARY_NOT_FOUND;
  if (kind == EngineKind::Orientation) {
    // Orientation has data of its own, looked for where the language's data was found.
    folder = FindLanguageFolder("osd", folder->c_str());
    if (!folder) return TVOCRPLUG_DICTIONARY_NOT_FOUND;
    language = "osd";
  }
  api = ThreadEngine(kind, language, *folder);
  // Data that is present but unreadable (truncated, another engine version) counts as missing.
  return api != nullptr ? TVOCRPLUG_OK : TVOCRPLUG_DICTIONARY_NOT_FOUND;
}

struct Symbol {
  std::vector<uint32_t> codes;
  float confidence = 0.f;
  bool blankBefore = false;
};

// Copies the symbols of the last recognition into records, moved by (dx, dy) into image pixels.
// A word's symbols are gathered first: their boxes are fitted to the word's ink together.
void CollectSymbols(tesseract::TessBaseAPI& api, int32_t dx, int32_t dy, std::vector<TvocrCharRecord>& records) {
  std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
  if (!it) return;
  Pix* binary = api.GetThresholdedImage();
  int32_t line = 0;
  bool firstWordOfLine = true;
  std::vector<Symbol> word;
  std::vector<GlyphBox> boxes;
  GlyphBox wordBox;
  const auto flush = [&] {
    FitGlyphsToInk(binary, wordBox, boxes);
    for (size_t s = 0; s < word.size(); ++s) {
      const GlyphBox& box = boxes[s];
      // A symbol of several code points (a ligature, a letter with combining marks) gives one
      // record per code point, all with the symbol's box.
      for (size_t i = 0; i < word[s].codes.size(); ++i) {
        TvocrCharRecord r{};
        r.code = word[s].codes[i];
        r.line = Clamp16(line);
        r.left = Clamp16(int64_t{box.left} + dx);
        r.right = Clamp16(int64_t{box.right} + dx);
        r.top = Clamp16(int64_t{box.top} + dy);
        r.bottom = Clamp16(int64_t{box.bottom} + dy);
        r.confidence = static_cast<int16_t>(word[s].confidence * 255.f / 100.f + 0.5f);
        r.blanks = (i == 0 && word[s].blankBefore) ? 1 : 0;
        records.push_back(r);
      }
    }
    word.clear();
    boxes.clear();
  };
  do {
    if (it->Empty(RIL_SYMBOL)) continue;
    const bool lineStart = line == 0 || it->IsAtBeginningOf(RIL_TEXTLINE);
    const bool wordStart = lineStart || it->IsAtBeginningOf(RIL_WORD);
    if (wordStart) {
      flush();
      it->BoundingBox(RIL_WORD, &wordBox.left, &wordBox.top, &wordBox.right, &wordBox.bottom);
    }
    if (lineStart) ++line, firstWordOfLine = true;
    Symbol symbol;
    std::unique_ptr<char[]> text(it->GetUTF8Text(RIL_SYMBOL));
    if (text) AppendCodePoints(text.get(), symbol.codes);
    symbol.confidence = std::clamp(it->Confidence(RIL_SYMBOL), 0.f, 100.f);
    symbol.blankBefore = wordStart && !firstWordOfLine;
    GlyphBox box;
    it->BoundingBox(RIL_SYMBOL, &box.left, &box.top, &box.right, &box.bottom);
    word.push_back(std::move(symbol));
    boxes.push_back(box);
    if (wordStart) firstWordOfLine = false;
  } while (it->Next(RIL_SYMBOL));
  flush();
  pixDestroy(&binary);
}

}  // namespace

void AppendCodePoints(const char* text, std::vector<uint32_t>& codes) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    const unsigned char lead = *p;
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0) {
      codes.push_back(0xFFFD), ++p;
      continue;
    }
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    int taken = 1;
    for (; taken <= extra && (p[taken] & 0xC0) == 0x80; ++taken) code = (code << 6) | (p[taken] & 0x3F);
    codes.push_back(taken == extra + 1 ? code : 0xFFFD);
    p += taken;
  }
}

int32_t RecognizeText(const TvocrImage& image, int32_t left, int32_t top, int32_t width, int32_t height,
                      int32_t dictionary, const char* dictionaryPath, const char* whiteList,
                      std::vector<TvocrCharRecord>& records) {
  records.clear();
  tesseract::TessBaseAPI* api = nullptr;
  if (int32_t status = EngineFor(EngineKind::Text, dictionary, dictionaryPath, api); status != TVOCRPLUG_OK)
    return status;
  const PixelRect rect = ClipToImage(image, left, top, width, height);
  if (rect.width == 0 || rect.height == 0) return TVOCRPLUG_OK;
  const std::vector<uint8_t> grey = GreyRows(image, rect);
  api->SetImage(grey.data(), rect.width, rect.height, 1, rect.width);
  api->SetSourceResolution(SourceResolution(image));
  // The engine is reused: a white list of an earlier call must not linger.
  api->SetVariable("tessedit_char_whitelist", whiteList != nullptr ? whiteList : "");
  const bool recognised = api->Recognize(nullptr) == 0;
  if (recognised) CollectSymbols(*api, rect.left, rect.top, records);
  api->Clear();  // drops the page and its results, keeps the language data
  return recognised ? TVOCRPLUG_OK : TVOCRPLUG_GENERIC_ERROR;
}

int32_t DetectOrientation(const TvocrImage& image, int32_t dictionary, const char* dictionaryPath,
                          float accuracy, int32_t& degrees) {
  degrees = -1;
  tesseract::TessBaseAPI* api = nullptr;
  if (int32_t status = EngineFor(EngineKind::Orientation, dictionary, dictionaryPath, api); status != TVOCRPLUG_OK)
    return status;
  const PixelRect whole{0, 0, image.width, image.height};
  const std::vector<uint8_t> grey = GreyRows(image, whole);
  api->SetImage(grey.data(), whole.width, whole.height, 1, whole.width);
  api->SetSourceResolution(SourceResolution(image));
  int found = 0;
  float confidence = 0.f;
  // Too little text to judge is not a failure: the orientation is then unknown (-1).
  if (api->DetectOrientationScript(&found, &confidence, nullptr, nullptr) && confidence >= accuracy)
    degrees = found;
  api->Clear();
  return TVOCRPLUG_OK;
}

}  // namespace tvocrplug
