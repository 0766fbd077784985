// The metrics the writer keeps for one loaded font: what its font and descriptor objects say
// and what text measurement needs. Widths are in 1/1000 em.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace tessivo::pdf {

struct FontRecord {
  std::string baseName;  // "Arial", "TimesNewRoman,BoldItalic"
  int32_t firstChar = 32;
  int32_t lastChar = 255;
  std::array<int32_t, 256> widths{};  // by Windows-1252 code
  int32_t missingWidth = 0;
  int32_t averageWidth = 0;
  int32_t maximumWidth = 0;
  int32_t descent = 0;  // positive
  int32_t ascent = 0;
  int32_t italicAngle = 0;
  int32_t capHeight = 0;
  int32_t stemWidth = 0;
  int32_t flags = 32;
  std::string fontFile;  // the face's file, for embedding
  int32_t faceIndex = 0;
};

}  // namespace tessivo::pdf
