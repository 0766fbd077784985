// Base64 with 40-character lines.
#include "control/base64.h"

#include <array>
#include <cstdint>

namespace tessivo {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineLength = 40;

constexpr std::array<int8_t, 256> MakeDecodeTable() {
  std::array<int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 64; ++i) table[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
  return table;
}
constexpr std::array<int8_t, 256> kDecode = MakeDecodeTable();

}  // namespace

std::string Base64EncodeLines(std::string_view bytes) {
  std::string out;
  std::size_t characters = (bytes.size() * 4 + 2) / 3;
  out.reserve(characters + 2 * (characters / kLineLength) + 3);
  std::size_t written = 0;
  auto put = [&](uint32_t sextet) {
    out += kAlphabet[sextet & 0x3F];
    if (++written % kLineLength == 0) out += "\r\n";
  };
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t group = (static_cast<uint8_t>(bytes[i]) << 16) | (static_cast<uint8_t>(bytes[i + 1]) << 8) |
                     static_cast<uint8_t>(bytes[i + 2]);
    put(group >> 18), put(group >> 12), put(group >> 6), put(group);
  }
  std::size_t rest = bytes.size() - i;
  if (rest) {
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (rest == 2) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    put(group >> 18), put(group >> 12);
    if (rest == 2) put(group >> 6);
    out.append(rest == 1 ? "==" : "=");
  }
  return out;
}

std::string Base64DecodeLenient(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3 / 4);
  uint32_t group = 0;
  int filled = 0;
  for (char c : text) {
    int8_t sextet = kDecode[static_cast<uint8_t>(c)];
    if (sextet < 0) continue;
    group = (group << 6) | static_cast<uint32_t>(sextet);
    if (++filled == 4) {
      out += static_cast<char>(group >> 16);
      out += static_cast<char>(group >> 8);
      out += static_cast<char>(group);
      group = 0;
      filled = 0;
    }
  }
  if (filled == 2) {
    out += static_cast<char>(group >> 4);
  } else if (filled == 3) {
    out += static_cast<char>(group >> 10);
    out += static_cast<char>(group >> 2);
  }
  return out;
}

}  // namespace tessivo
