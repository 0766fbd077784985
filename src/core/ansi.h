// The one-byte-per-character ("ANSI") form of text: Windows-1252. Strings are UTF-8 inside the
// toolkit; where a method treats each character as one byte (base64, some file formats), the
// text goes through these two conversions.
#pragma once
#include <string>
#include <string_view>

namespace tessivo {

// UTF-8 text to Windows-1252 bytes. A character outside the code page, or a byte that is not
// part of valid UTF-8, becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same value, so every byte string
// survives the round trip.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace tessivo
