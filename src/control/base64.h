// Base64 of byte strings in the form the toolkit's string methods use.
#pragma once
#include <string>
#include <string_view>

namespace tessivo {

// Standard alphabet. A CR LF follows every 40th base64 character (also the last one when the
// count is a multiple of 40); then "=" pads the characters, line breaks not counted, to a
// multiple of 4. So 30 bytes give one 40-character line and CR LF, 31 bytes give that line
// and "xx==".
std::string Base64EncodeLines(std::string_view bytes);

// Skips every character outside the alphabet (padding, line breaks, blanks, anything else);
// the characters left decode in groups of four, a final group of 2 or 3 giving 1 or 2 bytes.
std::string Base64DecodeLenient(std::string_view text);

}  // namespace tessivo
