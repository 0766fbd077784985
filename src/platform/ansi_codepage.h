// One byte per character ("ANSI") text in code page Windows-1252, the platform's conversions
// between it and UTF-8. All 256 byte values survive a round trip: the five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same
// number. Characters the code page cannot hold become '?'.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessivo::platform {

std::vector<uint8_t> Utf8ToAnsi(const std::string& text);
std::string AnsiToUtf8(const uint8_t* bytes, size_t size);

}  // namespace tessivo::platform
