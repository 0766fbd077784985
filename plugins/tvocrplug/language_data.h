// Where the language data of a dictionary lies: the folder the caller names, else
// TESSDATA_PREFIX, else the system's default folder.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tvocrplug {

// Tesseract's language name of a dictionary number 0..9 ("deu" ... "pol"); nullptr outside.
const char* LanguageName(int32_t dictionary);

// The folder holding `<language>.traineddata`, or nothing when there is none. A non-empty
// `requested` folder is the only place looked at (the caller asked for that data, and quietly
// reading other data would hide its mistake); it may be the data folder itself or the folder
// above a "tessdata" one. Without it, TESSDATA_PREFIX and then /usr/share/tesseract-ocr/5/tessdata.
std::optional<std::string> FindLanguageFolder(const std::string& language, const char* requested);

}  // namespace tvocrplug
