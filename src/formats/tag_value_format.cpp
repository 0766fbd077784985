#include "formats/tag_value_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/ansi.h"

namespace tessivo {
namespace {

constexpr int32_t kTagXmlPackets = 700;
constexpr int32_t kTagUserComment = 37510;
constexpr int32_t kTagPrintImData = 50341;

uint32_t ReadLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
  return v;
}

// Halves go to the even neighbour, as the toolkit rounds everywhere.
int32_t DivideRounded(int32_t length, int32_t size) {
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(length) / size));
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += ", ";
    out += parts[i];
  }
  return out;
}

}  // namespace

int32_t TagElementSize(int32_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
  }
}

int32_t TagValueCount(int32_t type, int32_t length) {
  switch (type) {
    case 1: case 6: case 7: return length;
    case 2: return 1;
    case 3: case 8: case 4: case 9: case 11: case 5: case 10: case 12:
      return DivideRounded(length, TagElementSize(type));
    default: return 0;
  }
}

std::string FormatTagValue(int32_t id, int32_t type, int32_t length, int32_t count,
                           const std::vector<uint8_t>& bytes) {
  if (id == kTagXmlPackets || id == kTagUserComment || id == kTagPrintImData) type = 2;
  if (length >= 10000) return std::to_string(length) + " Byte";
  const int32_t size = TagElementSize(type);
  // Never read past the bytes actually held, whatever the count says.
  const size_t available = size > 0 ? bytes.size() / static_cast<size_t>(size) : 0;
  const size_t values = std::min(available, static_cast<size_t>(std::max(count, 0)));
  std::vector<std::string> parts;
  char text[64];
  switch (type) {
    case 1:
      for (size_t i = 0; i < values; ++i) parts.push_back(std::to_string(bytes[i]));
      return Join(parts);
    case 2: {
      if (bytes.empty()) return "0";
      std::string ansi(bytes.begin(), bytes.end());
      if (id == kTagUserComment) ansi = ansi.size() > 8 ? ansi.substr(8) : std::string();
      return AnsiToUtf8(ansi);
    }
    case 3: case 8:
      for (size_t i = 0; i < values; ++i) parts.push_back(std::to_string(ReadLe(bytes, 2 * i, 2)));
      return Join(parts);
    case 4: case 9:
      for (size_t i = 0; i < values; ++i)
        parts.push_back(std::to_string(static_cast<int32_t>(ReadLe(bytes, 4 * i, 4))));
      return Join(parts);
    case 5: case 10:
      for (size_t i = 0; i < values; ++i) {
        const auto numerator = static_cast<int32_t>(ReadLe(bytes, 8 * i, 4));
        const auto denominator = static_cast<int32_t>(ReadLe(bytes, 8 * i + 4, 4));
        // A zero denominator has no quotient; it shows as 0.
        const double q = denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
        std::snprintf(text, sizeof text, "%.15g", q);
        parts.push_back(text);
      }
      return Join(parts);
    case 7:
      for (size_t i = 0; i < values; ++i) {
        std::snprintf(text, sizeof text, "%02X", bytes[i]);
        parts.push_back(text);
      }
      return Join(parts);
    default:
      return std::to_string(length) + " Byte";
  }
}

}  // namespace tessivo
