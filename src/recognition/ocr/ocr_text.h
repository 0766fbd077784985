// The OCR result store of one cImaging instance: the character records of the last recognition,
// served by 1-based number, and the text they spell.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tessivo/plugins/tvocrplug.h"

namespace tessivo::recognition {

// The text of `records`: CR LF before each record on a later line than the one before, the
// record's blank count of blanks, then its character (UTF-8). A result of exactly one "~" is the
// engine's mark for a page without text and gives "".
std::string OcrText(const std::vector<TvocrCharRecord>& records);

class OcrStore {
 public:
  void Assign(std::vector<TvocrCharRecord> records) { records_ = std::move(records); }
  void Clear() { records_.clear(); }
  int32_t Count() const { return static_cast<int32_t>(records_.size()); }
  // Record `number` (1-based), or nullptr outside 1 ... Count().
  const TvocrCharRecord* Record(int32_t number) const {
    return number >= 1 && number <= Count() ? &records_[static_cast<size_t>(number - 1)] : nullptr;
  }
  std::string Text() const { return OcrText(records_); }

 private:
  std::vector<TvocrCharRecord> records_;
};

}  // namespace tessivo::recognition
