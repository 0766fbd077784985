#include "recognition/ocr/ocr_text.h"

namespace tessivo::recognition {
namespace {

void AppendUtf8(uint32_t code, std::string& text) {
  // Surrogates and values past U+10FFFF are no characters: they read as U+FFFD.
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (code >> 18));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string OcrText(const std::vector<TvocrCharRecord>& records) {
  if (records.size() == 1 && records[0].code == '~') return {};
  std::string text;
  int32_t line = 1;
  for (const TvocrCharRecord& r : records) {
    if (r.line > line) {
      text += "\r\n";
      line = r.line;
    }
    if (r.blanks > 0) text.append(static_cast<size_t>(r.blanks), ' ');
    AppendUtf8(r.code, text);
  }
  return text;
}

}  // namespace tessivo::recognition
