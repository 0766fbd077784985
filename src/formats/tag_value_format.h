// The display text of a metadata tag value (EXIF property items and IPTC records alike).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tessivo {

// Bytes of one element of a tag type: 1, 2, 6, 7 -> 1; 3, 8 -> 2; 4, 9, 11 -> 4; 5, 10, 12 -> 8;
// others 0.
int32_t TagElementSize(int32_t type);

// Number of values a tag of `type` and `length` bytes holds: bytes for 1, 6, 7; one for ASCII;
// length / element size (rounded to nearest, halves to even) for the numeric types; else 0.
int32_t TagValueCount(int32_t type, int32_t length);

// The formatted value: values of the type joined with ", " (Byte as decimal, ASCII as text with
// every byte one Windows-1252 character, Short unsigned, Long signed, Rational as the quotient
// with up to 15 significant digits, Undefined as two upper-case hex digits per byte). IDs 700,
// 37510 and 50341 are always text; 37510 loses its 8-byte character-code header. 10000 bytes
// or more, and unknown types, show as the length followed by " Byte"; an empty text shows "0".
std::string FormatTagValue(int32_t id, int32_t type, int32_t length, int32_t count,
                           const std::vector<uint8_t>& bytes);

}  // namespace tessivo
