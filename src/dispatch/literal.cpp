// Number and string literals of defaults and scripts.
#include "dispatch/literal.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "dispatch/text_case.h"

namespace tessivo::dispatch {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<Variant> ParseHex(std::string_view digits, bool negative) {
  if (digits.empty() || digits.size() > 16) return std::nullopt;
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (digits.size() <= 8) {
    // A 32-bit pattern, as automation reads hexadecimal Long constants.
    int32_t pattern = static_cast<int32_t>(static_cast<uint32_t>(value));
    if (negative && pattern == std::numeric_limits<int32_t>::min()) return Variant(-static_cast<int64_t>(pattern));
    return Variant(negative ? -pattern : pattern);
  }
  if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
  int64_t wide = static_cast<int64_t>(value);
  return Variant(negative ? -wide : wide);
}

}  // namespace

std::optional<Variant> ParseNumber(std::string_view text) {
  std::string_view body = text;
  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X'))
    return ParseHex(body.substr(2), negative);
  if (body.size() > 2 && body[0] == '&' && (body[1] == 'h' || body[1] == 'H'))
    return ParseHex(body.substr(2), negative);

  // digits [. digits] [e [sign] digits], with at least one digit in the mantissa.
  std::size_t i = 0, mantissaDigits = 0;
  while (i < body.size() && IsDigit(body[i])) ++i, ++mantissaDigits;
  bool integral = true;
  if (i < body.size() && body[i] == '.') {
    integral = false;
    ++i;
    while (i < body.size() && IsDigit(body[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    integral = false;
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    std::size_t exponentStart = i;
    while (i < body.size() && IsDigit(body[i])) ++i;
    if (i == exponentStart) return std::nullopt;
  }
  if (i != body.size()) return std::nullopt;

  const char* first = text.data() + (text.front() == '+' ? 1 : 0);
  const char* last = text.data() + text.size();
  if (integral) {
    int64_t value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && end == last) {
      if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(value));
      return Variant(value);
    }
  }
  double value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last) return std::nullopt;
  return Variant(value);
}

std::optional<std::string> UnquoteString(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '"') {
      // Inside the quotes a quote only appears doubled.
      if (i + 2 >= text.size() || text[i + 1] != '"') return std::nullopt;
      ++i;
    }
    out += text[i];
  }
  return out;
}

std::optional<Variant> ParseLiteral(std::string_view text) {
  if (EqualsIgnoringCase(text, "True")) return Variant(true);
  if (EqualsIgnoringCase(text, "False")) return Variant(false);
  if (!text.empty() && text.front() == '"') {
    if (std::optional<std::string> s = UnquoteString(text)) return Variant(std::move(*s));
    return std::nullopt;
  }
  return ParseNumber(text);
}

}  // namespace tessivo::dispatch
