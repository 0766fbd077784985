#include "formats/tag_value_parse.h"

#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/ansi.h"

namespace tessivo {
namespace {

constexpr uint32_t kTagUserComment = 37510;
constexpr double kMinInt32 = -2147483648.0;
constexpr double kMaxInt32 = 2147483647.0;
constexpr double kMaxUint32 = 4294967295.0;

// A number as written: its decimal digits and the power of ten they are scaled by, so that a
// rational keeps exactly the decimals the text shows.
struct Decimal {
  bool negative = false;
  std::string digits;  // without leading zeros; empty for zero
  int exponent = 0;
  double value = 0;
};

bool StartsNonNumber(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  auto lower = [&](size_t k) { return k < s.size() ? std::tolower(static_cast<unsigned char>(s[k])) : 0; };
  return (lower(i) == 'n' && lower(i + 1) == 'a' && lower(i + 2) == 'n') ||
         (lower(i) == 'i' && lower(i + 1) == 'n' && lower(i + 2) == 'f');
}

// The leading number of `s`: optional sign, digits, a decimal point and digits, an exponent
// when digits follow it. Reading stops at the first character that cannot continue it.
// Spelled-out NaN and infinity are refused rather than read as 0.
std::optional<Decimal> LeadingNumber(std::string_view s) {
  if (StartsNonNumber(s)) return std::nullopt;
  Decimal d;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negative = s[i++] == '-';
  std::string mantissa;
  int fraction = 0;
  bool any = false;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) mantissa += s[i++], any = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      mantissa += s[i++];
      ++fraction;
      any = true;
    }
  }
  long exponent = 0;
  if (any && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool negativeExp = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) negativeExp = s[j++] == '-';
    if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
      while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
        if (exponent < 100000) exponent = exponent * 10 + (s[j] - '0');
        ++j;
      }
      if (negativeExp) exponent = -exponent;
    }
  }
  const size_t firstNonZero = mantissa.find_first_not_of('0');
  d.digits = firstNonZero == std::string::npos ? std::string() : mantissa.substr(firstNonZero);
  d.exponent = static_cast<int>(exponent) - fraction;
  if (d.digits.empty()) {
    d.exponent = 0;
    return d;
  }
  d.value = std::strtod((d.digits + "e" + std::to_string(d.exponent)).c_str(), nullptr);
  if (d.negative) d.value = -d.value;
  if (!std::isfinite(d.value)) return std::nullopt;
  return d;
}

std::optional<double> RoundedInRange(std::string_view element, double low, double high) {
  const std::optional<Decimal> d = LeadingNumber(element);
  if (!d) return std::nullopt;
  const double r = std::nearbyint(d->value);
  if (!(r >= low && r <= high)) return std::nullopt;
  return r;
}

void AppendLe(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Two's complement of a whole number in -2^31..2^32-1, as 32 bits.
uint32_t Bits32(double whole) {
  return whole < 0 ? static_cast<uint32_t>(static_cast<int64_t>(whole)) : static_cast<uint32_t>(whole);
}

// An element without "/": the decimals it shows, 2.8 as 28/10, with the denominator shrunk
// (and the numerator rounded) only as far as the range requires.
bool DecimalFraction(const Decimal& d, double low, double high, uint32_t& num, uint32_t& den) {
  if (d.digits.empty()) {
    num = 0;
    den = 1;
    return true;
  }
  const int exponent = d.exponent;
  if (exponent >= 0) {
    const double r = std::nearbyint(d.value);
    if (!(r >= low && r <= high)) return false;
    num = Bits32(r);
    den = 1;
    return true;
  }
  // Denominators 10^k for k from the written decimals down to 0; the first that fits wins.
  for (int k = std::min(-exponent, 9); k >= 0; --k) {
    const double scale = std::pow(10.0, k);
    const double r = std::nearbyint(d.value * scale);
    if (r >= low && r <= high && scale <= high) {
      num = Bits32(r);
      den = static_cast<uint32_t>(scale);
      return true;
    }
  }
  return false;
}

bool ParseRationalElement(std::string_view element, double low, double high, std::vector<uint8_t>& out) {
  const size_t slash = element.find('/');
  uint32_t num = 0, den = 1;
  if (slash == std::string_view::npos) {
    const std::optional<Decimal> d = LeadingNumber(element);
    if (!d || !DecimalFraction(*d, low, high, num, den)) return false;
  } else {
    const std::optional<double> a = RoundedInRange(element.substr(0, slash), low, high);
    const std::optional<double> b = RoundedInRange(element.substr(slash + 1), low, high);
    if (!a || !b) return false;
    num = Bits32(*a);
    den = Bits32(*b);
  }
  AppendLe(out, num, 4);
  AppendLe(out, den, 4);
  return true;
}

std::vector<std::string_view> Elements(const std::string& packed) {
  std::vector<std::string_view> parts;
  std::string_view rest(packed);
  for (;;) {
    const size_t comma = rest.find(',');
    parts.push_back(rest.substr(0, comma));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return parts;
}

// "ASCII" followed by three blanks or zero bytes: the character-code header is already there.
bool HasAsciiHeader(std::string_view text) {
  if (text.size() < 8 || text.substr(0, 5) != "ASCII") return false;
  for (size_t i = 5; i < 8; ++i)
    if (text[i] != ' ' && text[i] != '\0') return false;
  return true;
}

bool ParseAscii(uint32_t id, std::string_view text, std::vector<uint8_t>& out) {
  if (text.empty()) return false;
  std::string ansi = Utf8ToAnsi(text);
  if (id == kTagUserComment && !HasAsciiHeader(ansi)) ansi = "ASCII   " + ansi;
  out.assign(ansi.begin(), ansi.end());
  out.push_back(0);
  return true;
}

}  // namespace

bool ParseTagText(uint32_t id, int32_t type, std::string_view text, platform::PropertyItem& out) {
  std::vector<uint8_t> bytes;
  if (type == 2) {
    if (!ParseAscii(id, text, bytes)) return false;
  } else {
    std::string packed;
    for (char c : text)
      if (c != ' ') packed += c;
    if (packed.empty()) return false;
    for (std::string_view element : Elements(packed)) {
      std::optional<double> v;
      switch (type) {
        case 1:
          if (!(v = RoundedInRange(element, 0, 255))) return false;
          AppendLe(bytes, static_cast<uint64_t>(*v), 1);
          break;
        case 3:
          if (!(v = RoundedInRange(element, -32768, 65535))) return false;
          AppendLe(bytes, static_cast<uint16_t>(static_cast<int32_t>(*v)), 2);
          break;
        case 4:
        case 9:
          if (!(v = RoundedInRange(element, kMinInt32, type == 4 ? kMaxUint32 : kMaxInt32))) return false;
          AppendLe(bytes, Bits32(*v), 4);
          break;
        case 5:
        case 10:
          if (!ParseRationalElement(element, kMinInt32, type == 5 ? kMaxUint32 : kMaxInt32, bytes)) return false;
          break;
        default:
          return false;
      }
    }
  }
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
  out.id = id;
  out.type = static_cast<uint16_t>(type);
  out.value = std::move(bytes);
  return true;
}

}  // namespace tessivo
