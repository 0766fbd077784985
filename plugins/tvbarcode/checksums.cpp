// Optional check characters of the symbologies that may or may not carry one. The decoder is
// asked not to require them, so whether the last character is a valid check is decided here.
#include <string_view>

#include "scanner.h"

namespace tvbarcode {

bool EndsWithCode39Check(const std::string& text) {
  static constexpr std::string_view kAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  if (text.size() < 2) return false;
  int sum = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const size_t at = kAlphabet.find(text[i]);
    if (at == std::string_view::npos) return false;
    sum += static_cast<int>(at);
  }
  return kAlphabet.find(text.back()) == static_cast<size_t>(sum % 43);
}

bool EndsWithInterleaved2of5Check(const std::string& text) {
  if (text.size() < 2) return false;
  int sum = 0;
  bool weighted = true;  // the digit left of the check character weighs 3
  for (size_t i = text.size() - 1; i-- > 0;) {
    if (text[i] < '0' || text[i] > '9') return false;
    sum += (text[i] - '0') * (weighted ? 3 : 1);
    weighted = !weighted;
  }
  const char last = text.back();
  return last >= '0' && last <= '9' && (10 - sum % 10) % 10 == last - '0';
}

}  // namespace tvbarcode
