// What `tessivo` prints for each call: a text line "Method = RESULT  [STATUS]" followed by one
// "  &param = VALUE" line per by-reference argument, or one JSON object per line.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "dispatch/catalog.h"
#include "tessivo/variant.h"

namespace tessivo::cli {

struct CallReport {
  const dispatch::MethodEntry* method = nullptr;
  Variant result;
  int32_t status = 0;
  // By-reference arguments the call filled: parameter index and value.
  std::vector<std::pair<std::size_t, Variant>> outputs;
};

// "OK" for 0, else "InvalidParameter (2)"; a value without a name shows as "Status 999".
std::string StatusText(int32_t status);

// A value as the text output shows it: strings quoted ("a\r\n"), Booleans True / False,
// enumeration values by member name with the number, arrays as [a, b, c] (long ones cut
// short, with their bounds and element count).
std::string TextValue(const Variant& value, const dispatch::AutomationType& type);

// A value as JSON: numbers, strings, true / false, null for Empty or a non-finite number,
// arrays as nested arrays (the first index outermost).
std::string JsonValue(const Variant& value);
std::string JsonString(const std::string& text);

void PrintCall(std::ostream& out, const CallReport& report, bool json);

}  // namespace tessivo::cli
