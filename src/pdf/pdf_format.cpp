#include "pdf/pdf_format.h"

#include <charconv>
#include <cmath>

namespace tessivo::pdf {
namespace {

// Rounds to `decimals` places with ties to even. The decimal expansion of the binary value
// decides first (so 595.2f, stored as 595.20001..., is 595.2); only an exact tie of the
// scaled value goes to the even neighbour.
double RoundHalfEven(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = value * scale;
  return std::nearbyint(scaled) / scale;  // default rounding mode: to nearest, ties to even
}

std::string ToFixed(double value, int decimals) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                              decimals);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string FormatRounded(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  if (decimals < 0) decimals = 0;
  std::string text = ToFixed(RoundHalfEven(value, decimals), decimals);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  if (decimals < 0) decimals = 0;
  std::string text = ToFixed(RoundHalfEven(value, decimals), decimals);
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string ZeroPadded(unsigned long long value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

namespace {
std::string Escape(std::string_view text, bool lineBreaks) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '(': out += "\\("; break;
      case ')': out += "\\)"; break;
      case '\r': out += lineBreaks ? "\\r" : "\r"; break;
      case '\n': out += lineBreaks ? "\\n" : "\n"; break;
      default: out += c;
    }
  }
  return out;
}
}  // namespace

std::string EscapeText(std::string_view text) { return Escape(text, true); }
std::string EscapeBasic(std::string_view text) { return Escape(text, false); }

}  // namespace tessivo::pdf
