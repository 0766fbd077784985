// libFuzzer target: the document-recognition template set file. Whatever decodes must encode
// back to a file that decodes to the same templates: a reader that accepts what the writer
// cannot reproduce would lose templates on the next save.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "recognition/ard/template_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessivo::recognition;
  std::vector<TemplateRecord> templates;
  if (!DecodeTemplateFile(std::vector<uint8_t>(data, data + size), templates)) {
    if (!templates.empty()) std::abort();  // a refused file leaves the set untouched
    return 0;
  }
  std::vector<uint8_t> again;
  if (!EncodeTemplateFile(templates, again)) return 0;  // a tag too long for its 16-bit length
  std::vector<TemplateRecord> back;
  if (!DecodeTemplateFile(again, back) || back.size() != templates.size()) std::abort();
  for (size_t i = 0; i < back.size(); ++i) {
    if (back[i].id != templates[i].id || back[i].signature != templates[i].signature ||
        back[i].area != templates[i].area || back[i].ink != templates[i].ink ||
        back[i].topInk != templates[i].topInk || back[i].imageCount != templates[i].imageCount ||
        back[i].tag != templates[i].tag)
      std::abort();
  }
  return 0;
}
