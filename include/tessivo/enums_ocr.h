// Public enumeration of text recognition: the languages the OCR plug-in reads. The values are
// handed to the plug-in unchanged (TVOCRPLUG_GERMAN ... TVOCRPLUG_POLISH).
#pragma once
#include <cstdint>

namespace tessivo {

enum TesseractDictionary : int32_t {
  TesseractDictionaryGerman = 0,
  TesseractDictionaryFraktur = 1,
  TesseractDictionaryEnglish = 2,
  TesseractDictionaryFrench = 3,
  TesseractDictionaryItalian = 4,
  TesseractDictionaryDutch = 5,
  TesseractDictionaryPortuguese = 6,
  TesseractDictionarySpanish = 7,
  TesseractDictionaryVietnamese = 8,
  TesseractDictionaryPolish = 9,
};

}  // namespace tessivo
