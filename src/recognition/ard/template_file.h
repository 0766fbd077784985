// The template set file: little-endian, a 32-bit template count, then per template its ID,
// the 512 signature counters, area, ink, top ink and image count (32-bit each), and its tag as
// a 16-bit length followed by that many Windows-1252 bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "recognition/ard/template_record.h"

namespace tessivo::recognition {

// The file's bytes for `templates`. False (and `out` untouched) when a tag does not fit the
// 16-bit length.
bool EncodeTemplateFile(const std::vector<TemplateRecord>& templates, std::vector<uint8_t>& out);

// The templates of a file. Nothing in the file is trusted: a count below 1, a count or a tag
// length that runs past the end, a negative counter, area, ink or image count, and an ID of 0
// or one used twice make it false, with `out` untouched. Bytes after the last record are
// ignored.
bool DecodeTemplateFile(const std::vector<uint8_t>& bytes, std::vector<TemplateRecord>& out);

}  // namespace tessivo::recognition
