// Barcode data arrives as UTF-8 and is encoded character by character, a character being one
// Unicode code point ("é" is one character, not two bytes).
#pragma once
#include <string>
#include <string_view>

namespace tessivo::barcode {

// Each malformed byte becomes one U+FFFD, so broken text still counts as characters that no
// symbology accepts as data (Code 39 draws them as blanks, like any unknown character).
std::u32string DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(std::u32string_view text);
// Removes leading and trailing blanks (U+0020 only, not other white space).
std::u32string_view TrimBlanks(std::u32string_view text);

}  // namespace tessivo::barcode
