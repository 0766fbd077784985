#include "core/encoder_lookup.h"

#include <cctype>
#include <unordered_map>

namespace tessivo {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Pattern -> position in the platform's encoder list, built once per thread.
const std::unordered_map<std::string, size_t>& PatternTable() {
  thread_local const std::unordered_map<std::string, size_t> table = [] {
    std::unordered_map<std::string, size_t> t;
    const auto& encoders = platform::ImageEncoders();
    for (size_t i = 0; i < encoders.size(); ++i) {
      const std::string& list = encoders[i].filenameExtension;
      size_t start = 0;
      while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) t.emplace(Lower(list.substr(start, end - start)), i);
        start = end + 1;
      }
    }
    return t;
  }();
  return table;
}

}  // namespace

const platform::ImageCodecInfo* EncoderByPattern(const std::string& pattern) {
  const auto& table = PatternTable();
  auto it = table.find(Lower(pattern));
  if (it == table.end()) return nullptr;
  return &platform::ImageEncoders()[it->second];
}

}  // namespace tessivo
