// Writing one Unicode code point as UTF-8, for the texts the toolkit hands out.
#pragma once
#include <cstdint>
#include <string>

namespace tessivo {

// Appends `code` to `text` in UTF-8. Values that are no character (0, surrogates, past U+10FFFF)
// are written as U+FFFD, so a text built from outside data is always valid UTF-8.
void AppendUtf8(std::string& text, uint32_t code);

}  // namespace tessivo
