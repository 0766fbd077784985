#include "pdf/jpeg_header.h"

namespace tessivo::pdf {
namespace {
uint32_t Be16(std::string_view b, size_t at) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 8) | static_cast<uint8_t>(b[at + 1]);
}
}  // namespace

bool ReadJpegHeader(std::string_view b, JpegHeader& header) {
  header = JpegHeader{};
  if (b.size() < 4 || static_cast<uint8_t>(b[0]) != 0xFF || static_cast<uint8_t>(b[1]) != 0xD8)
    return false;
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (static_cast<uint8_t>(b[at]) != 0xFF) return false;
    const uint8_t marker = static_cast<uint8_t>(b[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    const uint32_t length = Be16(b, at + 2);
    if (length < 2 || at + 2 + length > b.size()) return false;
    const size_t body = at + 4;
    if (marker == 0xE0 && length >= 16 && b.substr(body, 5) == std::string_view("JFIF\0", 5)) {
      const uint8_t units = static_cast<uint8_t>(b[body + 7]);
      const float x = static_cast<float>(Be16(b, body + 8)), y = static_cast<float>(Be16(b, body + 10));
      if (units == 1 && x > 0 && y > 0) {
        header.dpiX = x;
        header.dpiY = y;
      } else if (units == 2 && x > 0 && y > 0) {
        header.dpiX = x * 2.54f;
        header.dpiY = y * 2.54f;
      }
    } else if (marker == 0xEE && length >= 7 && b.substr(body, 5) == "Adobe") {
      header.adobe = true;
    } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
      if (length < 8) return false;
      header.precision = static_cast<uint8_t>(b[body]);
      header.height = static_cast<int32_t>(Be16(b, body + 1));
      header.width = static_cast<int32_t>(Be16(b, body + 3));
      header.components = static_cast<uint8_t>(b[body + 5]);
      return header.width > 0 && header.height > 0 && header.precision == 8 &&
             (header.components == 1 || header.components == 3 || header.components == 4);
    } else if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      return false;  // lossless, hierarchical or arithmetic-coded: not for a PDF 1.3 reader
    } else if (marker == 0xDA || marker == 0xD9) {
      return false;  // scan data before any frame header
    }
    at += 2 + length;
  }
  return false;
}

}  // namespace tessivo::pdf
