// Late binding through the type library: find the method, check the argument count, fill in
// defaults, convert, call, and report what went wrong as an automation error.
#pragma once
#include <string_view>
#include <vector>

#include "dispatch/catalog.h"
#include "tessivo/invoke_result.h"

namespace tessivo::dispatch {

// Never throws. By-reference arguments the caller passed receive the method's values; omitted
// optional arguments take their defaults.
InvokeResult InvokeMethod(const Catalog& catalog, cImaging& object, std::string_view name,
                          std::vector<Variant>& args);

// The same for a method already found (bindings that keep catalog entries skip the lookup by
// name).
InvokeResult InvokeEntry(const MethodEntry& method, cImaging& object, std::vector<Variant>& args);

}  // namespace tessivo::dispatch
