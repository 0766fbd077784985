// Text recognition through the OCR plug-in (tvocrplug.tesseract): hands a bitmap, or a
// rectangle of it, to the plug-in and returns the recognised characters as plain records.
// The plug-in is loaded on first use and kept loaded for the life of the process.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pixel/filter_engine.h"
#include "platform/bitmap.h"
#include "tessivo/plugins/tvocrplug.h"
#include "tessivo/status.h"

namespace tessivo::recognition {

// Recognises the part of `image` inside `area` (all zeros: the whole image; clipped to the
// image) in the language `dictionary` (TesseractDictionary value) with the language data of
// `dictionaryPath` ("" for the system's), limited to the characters of `whiteList` ("" for
// all). Returns the plug-in's status; `records` holds the characters in reading order on OK
// (possibly none) and is empty otherwise. A missing plug-in gives GenericError.
TessivoStatus RecognizeCharacters(platform::Bitmap& image, const ZoneRect& area,
                                  int32_t dictionary, const std::string& dictionaryPath,
                                  const std::string& whiteList,
                                  std::vector<TvocrCharRecord>& records);

// How the page of `image` is turned: `degrees` is 0, 90, 180 or 270 clockwise from upright, or -1
// when the plug-in could not judge or was less sure than `accuracy`. Language data as above; a
// plug-in that is missing or has no orientation detection gives GenericError.
TessivoStatus DetectPageOrientation(platform::Bitmap& image, int32_t dictionary, const std::string& dictionaryPath,
                                    float accuracy, int32_t& degrees);

}  // namespace tessivo::recognition
