// The checks and preparation shared by the drawing and width methods of each symbology: the
// text is trimmed of blanks, validated, completed (check characters, padding) and encoded.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "tessivo/status.h"

namespace tessivo::barcode {

enum class Symbology { Interleaved2of5, Code39, Code128, Ean13 };

struct Symbol {
  TessivoStatus status = OK;  // InvalidBarCode when the text is refused
  std::u32string data;        // the characters encoded (with check character and padding)
  std::string modules;        // the module string of cBarCode
};

// Interleaved 2 of 5: one or more digits (check digit appended on request, then a leading "0"
// for an odd count). Code 39: 1 to 39 characters (check character appended on request).
// Code 128: characters 32..126 only. EAN-13: 12 digits (check digit appended) or 13 with a
// right check digit. `addCheckSum` applies to the first two only.
Symbol PrepareSymbol(Symbology kind, std::string_view utf8, bool addCheckSum);

// The width of one module: the bar height / 35 rounded half to even, at least 1 pixel.
int32_t ModuleWidth(int32_t barHeight);

// The number of modules ("0" and "1") in a module string.
int64_t ModuleCount(std::string_view modules);

}  // namespace tessivo::barcode
