#include "values.h"

#include <pybind11/numpy.h>

#include <cstring>
#include <unordered_map>
#include <vector>

namespace tessivo::python {

namespace {

using dispatch::ValueKind;

// value -> member maps of the IntEnum classes; the references are kept for the life of the
// process (the module is never unloaded).
std::unordered_map<std::string, PyObject*>& EnumMaps() {
  static auto* maps = new std::unordered_map<std::string, PyObject*>();
  return *maps;
}

[[noreturn]] void WrongType(const dispatch::MethodEntry& m, const dispatch::Parameter& p, py::handle value) {
  throw py::type_error(m.name + "() parameter " + p.name + " must be " + p.type.Name() + ", not " +
                       std::string(py::str(py::type::of(value).attr("__name__"))));
}

std::string Utf8Of(py::handle text) {
  // Paths and texts round-trip bytes that are not UTF-8 (as os.fsencode does).
  PyObject* bytes = PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape");
  if (!bytes) throw py::error_already_set();
  std::string out(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
  Py_DECREF(bytes);
  return out;
}

py::object FromUtf8(const std::string& text) {
  PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
  if (!s) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(s);
}

template <typename T>
Variant ArrayFrom(const py::array& source) {
  auto contiguous = py::array_t<T, py::array::c_style>::ensure(source);
  if (!contiguous) throw py::error_already_set();
  std::vector<ArrayBound> bounds;
  for (py::ssize_t d = contiguous.ndim(); d-- > 0;) {
    if (contiguous.shape(d) > INT32_MAX) throw py::value_error("array dimension too large");
    bounds.push_back(ArrayBound{0, static_cast<int32_t>(contiguous.shape(d))});
  }
  SafeArray<T> out(bounds);
  if (out.size()) std::memcpy(out.data(), contiguous.data(), out.size() * sizeof(T));
  return Variant(std::move(out));
}

Variant NumericArray(const dispatch::MethodEntry& m, const dispatch::Parameter& p, py::handle value) {
  py::array a = py::array::ensure(value);
  if (!a) {
    PyErr_Clear();
    WrongType(m, p, value);
  }
  if (a.ndim() > 3) throw py::value_error(m.name + "() parameter " + p.name + ": at most 3 dimensions");
  if (a.ndim() == 0) WrongType(m, p, value);
  const char kind = a.dtype().kind();
  if (kind == 'f') return a.itemsize() == 4 ? ArrayFrom<float>(a) : ArrayFrom<double>(a.attr("astype")("float64"));
  if (kind != 'i' && kind != 'u' && kind != 'b') WrongType(m, p, value);
  if (a.dtype().is(py::dtype::of<uint8_t>())) return ArrayFrom<uint8_t>(a);
  if (a.dtype().is(py::dtype::of<int16_t>())) return ArrayFrom<int16_t>(a);
  if (a.dtype().is(py::dtype::of<int32_t>())) return ArrayFrom<int32_t>(a);
  // Other integer types: as Double, whose conversion to the element type checks the range.
  return ArrayFrom<double>(a.attr("astype")("float64"));
}

Variant StringArray(const dispatch::MethodEntry& m, const dispatch::Parameter& p, py::handle value) {
  if (py::isinstance<py::str>(value) || !py::isinstance<py::sequence>(value)) WrongType(m, p, value);
  py::sequence items = py::reinterpret_borrow<py::sequence>(value);
  std::vector<std::string> texts;
  for (py::handle item : items) {
    if (!py::isinstance<py::str>(item)) WrongType(m, p, item);
    texts.push_back(Utf8Of(item));
  }
  return Variant(SafeArray<std::string>::FromVector(std::move(texts)));
}

template <typename T>
py::object ArrayToPython(const SafeArray<T>& a) {
  if (!a.allocated()) return py::array_t<T>(std::vector<py::ssize_t>{0});
  std::vector<py::ssize_t> shape;
  for (int d = a.dims(); d >= 1; --d) shape.push_back(a.Count(d));
  py::array_t<T> out(shape);
  if (a.size()) std::memcpy(out.mutable_data(), a.data(), a.size() * sizeof(T));
  return out;
}

}  // namespace

Variant ArgumentFor(const dispatch::MethodEntry& m, const dispatch::Parameter& p, py::handle value) {
  if (value.is_none()) {
    if (p.byRef || p.type.array) return Variant();
    WrongType(m, p, value);
  }
  PyObject* o = value.ptr();
  if (p.type.array) {
    if (p.type.kind == ValueKind::String) return StringArray(m, p, value);
    if (p.type.kind == ValueKind::Byte && (PyBytes_Check(o) || PyByteArray_Check(o))) {
      std::string bytes = PyBytes_Check(o) ? std::string(PyBytes_AS_STRING(o), PyBytes_GET_SIZE(o))
                                           : std::string(PyByteArray_AS_STRING(o), PyByteArray_GET_SIZE(o));
      return Variant(SafeArray<uint8_t>::FromVector(std::vector<uint8_t>(bytes.begin(), bytes.end())));
    }
    if (PyUnicode_Check(o)) WrongType(m, p, value);
    return NumericArray(m, p, value);
  }
  switch (p.type.kind) {
    case ValueKind::String:
      if (PyUnicode_Check(o)) return Variant(Utf8Of(value));
      if (PyObject_HasAttrString(o, "__fspath__")) {
        py::object path = py::module_::import("os").attr("fspath")(value);
        if (py::isinstance<py::str>(path)) return Variant(Utf8Of(path));
        return Variant(std::string(py::bytes(path)));
      }
      WrongType(m, p, value);
    case ValueKind::Boolean:
      if (PyBool_Check(o)) return Variant(o == Py_True);
      if (PyIndex_Check(o)) return Variant(PyObject_IsTrue(o) != 0);
      WrongType(m, p, value);
    case ValueKind::Single:
    case ValueKind::Double:
      if (PyFloat_Check(o) || PyIndex_Check(o) || (!PyUnicode_Check(o) && PyNumber_Check(o) &&
                                                  PyObject_HasAttrString(o, "__float__"))) {
        double d = PyFloat_AsDouble(o);
        if (d == -1.0 && PyErr_Occurred()) throw py::error_already_set();
        return Variant(d);
      }
      WrongType(m, p, value);
    default: {  // Byte, Integer, Long, LongPtr, enumerations
      if (PyIndex_Check(o)) {
        int overflow = 0;
        py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(o));
        if (!index) throw py::error_already_set();
        long long v = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
        if (overflow) {
          PyErr_SetString(PyExc_OverflowError, (m.name + "() parameter " + p.name + ": value out of range").c_str());
          throw py::error_already_set();
        }
        return Variant(static_cast<int64_t>(v));
      }
      // A float rounds to nearest, ties to even, as the toolkit converts every number.
      if (PyFloat_Check(o)) return Variant(PyFloat_AS_DOUBLE(o));
      WrongType(m, p, value);
    }
  }
}

py::object ToPython(const Variant& value, const dispatch::AutomationType& type) {
  return value.Visit([&](const auto& v) -> py::object {
    using V = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<V, std::monostate>) return py::none();
    else if constexpr (std::is_same_v<V, bool>) return py::bool_(v);
    else if constexpr (std::is_same_v<V, std::string>) return FromUtf8(v);
    else if constexpr (std::is_same_v<V, float> || std::is_same_v<V, double>) return py::float_(v);
    else if constexpr (std::is_same_v<V, SafeArray<std::string>>) {
      py::list out;
      for (std::size_t i = 0; i < v.size(); ++i) out.append(FromUtf8(v.data()[i]));
      return out;
    } else if constexpr (dispatch::detail::IsSafeArray<V>::value) {
      return ArrayToPython(v);
    } else {  // integers
      if (type.kind == ValueKind::Enum && !type.array) return EnumMember(type.enumName, static_cast<int32_t>(v));
      return py::int_(static_cast<long long>(v));
    }
  });
}

void SetEnumClasses(py::dict classes) {
  for (auto [name, cls] : classes) {
    py::object map = cls.attr("_value2member_map_");
    EnumMaps()[py::str(name)] = map.release().ptr();
  }
}

py::object EnumMember(const std::string& enumName, int32_t value) {
  auto it = EnumMaps().find(enumName);
  if (it != EnumMaps().end()) {
    py::int_ key(value);
    PyObject* member = PyDict_GetItem(it->second, key.ptr());  // borrowed
    if (member) return py::reinterpret_borrow<py::object>(member);
  }
  return py::int_(value);
}

}  // namespace tessivo::python
