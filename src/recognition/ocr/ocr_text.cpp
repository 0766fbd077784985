#include "recognition/ocr/ocr_text.h"

#include "core/utf8_append.h"

namespace tessivo::recognition {
namespace {


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
    AppendUtf8(text, r.code);
  }
  return text;
}

}  // namespace tessivo::recognition
