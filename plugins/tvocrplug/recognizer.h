// Reading text and page orientation with Tesseract; the C exports wrap these.
#pragma once
#include <cstdint>
#include <vector>

#include "tessivo/plugins/tvocrplug.h"

namespace tvocrplug {

// Recognises the rectangle of `image` (see tvocrplug_OCR); on TVOCRPLUG_OK `records` holds the
// characters in reading order with their edges in image pixels.
int32_t RecognizeText(const TvocrImage& image, int32_t left, int32_t top, int32_t width, int32_t height,
                      int32_t dictionary, const char* dictionaryPath, const char* whiteList,
                      std::vector<TvocrCharRecord>& records);

// Detects how the page is turned (see tvocrplug_ORIENTATION).
int32_t DetectOrientation(const TvocrImage& image, int32_t dictionary, const char* dictionaryPath,
                          float accuracy, int32_t& degrees);

// Appends the code points of UTF-8 `text`; a malformed sequence gives U+FFFD and reading goes on.
void AppendCodePoints(const char* text, std::vector<uint32_t>& codes);

}  // namespace tvocrplug
