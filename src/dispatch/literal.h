// Literal values as the type library's defaults and the script host write them: numbers
// (decimal with optional fraction and exponent, 0x / &H hexadecimal), "quoted strings" with ""
// for a quote inside, True and False. Identifiers (enumeration members) are left to the caller.
#pragma once
#include <optional>
#include <string_view>

#include "tessivo/variant.h"

namespace tessivo::dispatch {

// An integer that fits 32 bits is a Long, a wider one a 64-bit Long; up to eight hexadecimal
// digits are a 32-bit pattern (0xFF000000 is -16777216, as automation reads &HFF000000); a
// number with a fraction or exponent is a Double. nullopt when `text` is not one literal.
std::optional<Variant> ParseNumber(std::string_view text);
std::optional<Variant> ParseLiteral(std::string_view text);

// The text of a quoted string literal ("a""b" -> a"b); nullopt when not one.
std::optional<std::string> UnquoteString(std::string_view text);

}  // namespace tessivo::dispatch
