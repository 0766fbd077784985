// cBarCode: turns data into the module string of a linear symbol, and computes check
// characters. A module string holds "1" (one module of bar) and "0" (one module of space); the
// EAN-13 string also holds "-" and "+", which lower and raise the bars that follow by the
// height step of the painter (shorter data bars under human-readable digits).
//
// Text arrives as Unicode code points (see utf8_code_points.h). Sums are reduced modulo as
// they go, so inputs of any length give the right check value.
#pragma once
#include <string>
#include <string_view>

namespace tessivo::barcode {

class cBarCode {
 public:
  // Code 128, code set B only: start B, the data, the modulo-103 check and the stop. Empty
  // when a character lies outside codes 32..126.
  static std::string c128_Binaire(std::u32string_view text);
  // 13 digits (the caller checks them) → guards, the six left digits in the parities the first
  // digit selects, the centre guard, the six right digits, the end guard.
  static std::string EAN13_Binaire(std::u32string_view digits);
  // Start "*", each character (those outside the 43-character set, lower case included, as the
  // blank), stop "*"; characters are separated by a one-module gap.
  static std::string Code39_Binaire(std::u32string_view text);
  // An even number of digits (the caller checks them): start, the digit pairs interleaved
  // (bars from the first, spaces from the second), stop.
  static std::string Code25i_Binaire(std::u32string_view digits);

  // 12 digits → the same 12 followed by the check digit; empty when one is not a digit.
  static std::u32string CalculNumControlCodeBarre(std::u32string_view digits);
  // True when there are 13 digits and the 13th is the check digit of the first 12.
  static bool CheckSumValideEAN13(std::u32string_view digits);
  // The modulo-43 check character (unknown characters count as the blank).
  static std::u32string C39_Mod43(std::u32string_view text);
  // Weights 3 and 1 from the right; non-digits count as 0.
  static std::u32string calculCheckSum2of5(std::u32string_view digits);
};

// The character set of Code 39 in table order; its index is the character's value.
inline constexpr std::u32string_view kCode39Alphabet = U"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

inline bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace tessivo::barcode
