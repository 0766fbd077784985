#include "platform/ansi_codepage.h"

namespace tessivo::platform {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CodePointOf(uint8_t byte) {
  return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : byte;
}

uint8_t ByteOf(uint32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<uint8_t>(codePoint);
  for (uint8_t i = 0; i < 32; ++i)
    if (kHighControls[i] == codePoint) return static_cast<uint8_t>(0x80 + i);
  return '?';
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::vector<uint8_t> Utf8ToAnsi(const std::string& text) {
  std::vector<uint8_t> out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const uint8_t lead = s[i];
    const size_t extra = lead < 0x80          ? 0
                         : (lead >> 5) == 0x06 ? 1
                         : (lead >> 4) == 0x0E ? 2
                         : (lead >> 3) == 0x1E ? 3
                                               : 4;  // a stray continuation or invalid lead
    if (extra == 4) {
      out.push_back('?');
      ++i;
      continue;
    }
    uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    bool valid = true;
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= n || (s[i + k] & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = cp << 6 | (s[i + k] & 0x3F);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(ByteOf(cp));
    i += extra + 1;
  }
  return out;
}

std::string AnsiToUtf8(const uint8_t* bytes, size_t size) {
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < size; ++i) AppendUtf8(out, CodePointOf(bytes[i]));
  return out;
}

}  // namespace tessivo::platform
