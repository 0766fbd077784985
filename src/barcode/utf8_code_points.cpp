#include "barcode/utf8_code_points.h"

#include "core/utf8_append.h"

#include <cstdint>

namespace tessivo::barcode {

std::u32string DecodeUtf8(std::string_view in) {
  std::u32string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto b0 = static_cast<uint8_t>(in[i]);
    size_t length = 0;
    char32_t cp = 0, minimum = 0;
    if (b0 < 0x80) {
      out += b0;
      ++i;
      continue;
    } else if ((b0 & 0xE0) == 0xC0) {
      length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      length = 4, cp = b0 & 0x07, minimum = 0x10000;
    }
    bool ok = length != 0 && i + length <= in.size();
    for (size_t k = 1; ok && k < length; ++k) {
      const auto b = static_cast<uint8_t>(in[i + k]);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    ok = ok && cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (ok) {
      out += cp;
      i += length;
    } else {
      out += U'\uFFFD';
      ++i;
    }
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::u32string_view TrimBlanks(std::u32string_view text) {
  const size_t first = text.find_first_not_of(U' ');
  if (first == std::u32string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(U' ') - first + 1);
}

}  // namespace tessivo::barcode
