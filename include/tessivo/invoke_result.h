// The outcome of a late-bound call (cImaging::Invoke, Imaging::Invoke): the method's result, or
// the automation error that kept it from running or that it raised.
#pragma once
#include <cstdint>
#include <string>

#include "tessivo/variant.h"

namespace tessivo {

struct InvokeResult {
  Variant value;  // the method's result; Empty for a method without one
  DispatchErrorCode error = DispatchOK;
  int32_t argumentIndex = -1;  // zero-based argument that could not be converted, else -1
  std::string message;         // names the method and, for a conversion, the parameter

  bool ok() const { return error == DispatchOK; }
};

}  // namespace tessivo
