// Number and string formatting of the PDF writer. Numbers always use "." as the decimal
// separator whatever the process locale (std::to_chars never consults it).
#pragma once
#include <string>
#include <string_view>

namespace tessivo::pdf {

// The producer banner: the second header comment, the Info dictionary's /Producer and the
// XMP packet's pdf:Producer.
inline constexpr std::string_view kProducer = "Tessivo ActiveX 5.13.07 edition. - https://tessivo.dev";

// `value` rounded to `decimals` places (ties to even), as the shortest text: no trailing zeros,
// no trailing ".", never "-0" ("595.2", "612", "0.502").
std::string FormatRounded(double value, int decimals);

// `value` with exactly `decimals` places ("595.20", "0.00").
std::string FormatFixed(double value, int decimals);

// `value` left-padded with zeros to `width` digits (cross-reference offsets).
std::string ZeroPadded(unsigned long long value, int width);

// Literal-string escapes: "\" "(" ")" always, and CR and LF as "\r" and "\n" unless `basic`.
std::string EscapeText(std::string_view text);
std::string EscapeBasic(std::string_view text);

}  // namespace tessivo::pdf
