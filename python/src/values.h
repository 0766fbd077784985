// Conversions between Python objects and the type library's Variant values.
#pragma once
#include <pybind11/pybind11.h>

#include <string>

#include "dispatch/catalog.h"

namespace tessivo::python {

namespace py = pybind11;

// The argument for parameter `p`, checked against its type. A value of the wrong kind throws
// py::type_error naming the method and the parameter; None is Empty for by-reference and array
// parameters only.
Variant ArgumentFor(const dispatch::MethodEntry& method, const dispatch::Parameter& p, py::handle value);

// A result or by-reference value as Python: None, bool, int, float, str, numpy arrays (the
// dimensions reversed, so an (x, y) array has shape (height, width)), lists of str. `enumType`
// names the enumeration whose Python IntEnum member is returned for a known value.
py::object ToPython(const Variant& value, const dispatch::AutomationType& type);

// The IntEnum classes made by the Python package, by enumeration name.
void SetEnumClasses(py::dict classes);
py::object EnumMember(const std::string& enumName, int32_t value);

}  // namespace tessivo::python
