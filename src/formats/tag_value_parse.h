// Tag values written as text: the value bytes of a property item of a given type, parsed
// from a script's string.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/bitmap.h"

namespace tessivo {

// Parses `text` for tag `id` as `type` (1 Byte, 2 ASCII, 3 Short, 4 Long, 5 Rational, 9 SLong,
// 10 SRational) into `out`. Numbers are comma-separated (spaces are ignored); each is read as
// far as it forms a number ("12abc" is 12, an empty element 0) and rounded half to even.
// Ranges: Byte 0..255, Short -32768..65535, Long and Rational terms -2^31..2^32-1, SLong and
// SRational terms signed 32-bit. A rational without "/" keeps its decimals (2.8 is 28/10).
// ASCII text is stored as Windows-1252 with a terminating zero; the user comment (37510) gets
// the header "ASCII" and three spaces unless it already starts with that header.
// False (nothing set) for another type, empty text, NaN, infinities or a value out of range.
bool ParseTagText(uint32_t id, int32_t type, std::string_view text, platform::PropertyItem& out);

}  // namespace tessivo
