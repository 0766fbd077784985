// tessivo._native: toolkit instances and the one call path every generated method goes through.
#include <pybind11/pybind11.h>

#include <memory>
#include <thread>

#include "core/imaging_state.h"
#include "dispatch/catalog.h"
#include "dispatch/invoke.h"
#include "pixels.h"
#include "tessivo/facade.h"
#include "values.h"

namespace tessivo::python {

namespace {

using dispatch::Catalog;
using dispatch::MethodEntry;

PyObject* g_statusError = nullptr;  // tessivo.StatusError, set by the package

// One Imaging control or one cImaging. Images live in the registry of the thread that created
// the instance, so the instance is used on that thread only.
class Instance {
 public:
  Instance(bool control, bool raiseOnError) : raiseOnError_(raiseOnError), owner_(std::this_thread::get_id()) {
    if (control) control_ = std::make_unique<Imaging>();
    else object_ = std::make_unique<cImaging>();
  }
  ~Instance() {
    // Ending an instance on another thread would count it off that thread's registry and could
    // release images still in use there: it is left alone instead.
    if (std::this_thread::get_id() != owner_) {
      (void)control_.release();
      (void)object_.release();
    }
  }

  void CheckThread() const {
    if (std::this_thread::get_id() != owner_)
      throw std::runtime_error("a tessivo instance is used on the thread that created it only");
  }
  cImaging& Object() { return control_ ? control_->Object() : *object_; }
  InvokeResult Invoke(const MethodEntry& method, std::vector<Variant>& args) {
    if (!control_) return dispatch::InvokeEntry(method, *object_, args);
    // The control creates its object on first use, which can fail like any call.
    cImaging* object = nullptr;
    try {
      object = &control_->Object();
    } catch (const std::bad_alloc&) {
      InvokeResult r;
      r.error = DispatchOutOfMemory;
      r.message = "out of memory creating the imaging object";
      return r;
    }
    return dispatch::InvokeEntry(method, *object, args);
  }
  bool raiseOnError() const { return raiseOnError_; }

 private:
  std::unique_ptr<Imaging> control_;
  std::unique_ptr<cImaging> object_;
  bool raiseOnError_;
  std::thread::id owner_;
};

[[noreturn]] void Raise(PyObject* type, const std::string& message) {
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

[[noreturn]] void RaiseInvokeError(const InvokeResult& r) {
  switch (r.error) {
    case DispatchTypeMismatch:
    case DispatchBadParamCount:
    case DispatchParamNotOptional:
    case DispatchUnknownName:
      Raise(PyExc_TypeError, r.message);
    case DispatchOverflow:
    case DispatchRuntimeOverflow:
      Raise(PyExc_OverflowError, r.message);
    case DispatchRuntimeInvalidArgument:
      Raise(PyExc_ValueError, r.message);
    case DispatchOutOfMemory:
      Raise(PyExc_MemoryError, r.message);
    default:
      Raise(PyExc_RuntimeError, r.message);
  }
}

// call(instance, index, arg...): the generated methods' one way in. It is a plain vectorcall
// function rather than a pybind11 binding, because pybind11's overload dispatch would cost
// more than the toolkit call it wraps for the cheap methods.
py::object Call(py::handle self, PyObject* const* args, std::size_t count) {
  if (count < 2 || !py::isinstance<Instance>(py::handle(args[0])))
    throw py::type_error("call(instance, index, *arguments)");
  Instance& instance = py::cast<Instance&>(py::handle(args[0]));
  instance.CheckThread();
  std::size_t index = PyLong_AsSize_t(args[1]);
  if (index == static_cast<std::size_t>(-1) && PyErr_Occurred()) throw py::error_already_set();
  (void)self;
  const auto& methods = Catalog::Instance().Methods();
  if (index >= methods.size()) throw py::index_error("no method with that index");
  const MethodEntry& m = methods[index];
  if (count - 2 != m.params.size())
    throw py::type_error(m.name + "() takes " + std::to_string(m.params.size()) + " arguments");
  std::vector<Variant> values;
  values.reserve(m.params.size());
  for (std::size_t i = 0; i < m.params.size(); ++i) values.push_back(ArgumentFor(m, m.params[i], args[i + 2]));

  const bool raising = instance.raiseOnError();
  const bool isGetStat = m.name == "GetStat";
  InvokeResult r;
  TessivoStatus status = OK;
  {
    py::gil_scoped_release unlocked;
    cImaging& object = instance.Object();
    // In raising mode each call starts from OK, so a status left by an earlier failure (already
    // raised) is not raised again by the getters that follow.
    if (raising && !isGetStat) object.State().Set(OK);
    r = instance.Invoke(m, values);
    if (raising) status = object.GetStat();
  }
  if (!r.ok()) RaiseInvokeError(r);

  if (raising && !isGetStat) {
    TessivoStatus failure = status;
    if (failure == OK && m.result.kind == dispatch::ValueKind::Enum && m.result.enumName == "TessivoStatus" &&
        r.value.ToLong() != OK)
      failure = static_cast<TessivoStatus>(r.value.ToLong());
    if (failure != OK && g_statusError) {
      py::object error = py::reinterpret_borrow<py::object>(g_statusError)(
          EnumMember("TessivoStatus", failure), StatusName(failure), m.name);
      PyErr_SetObject(g_statusError, error.ptr());
      throw py::error_already_set();
    }
  }

  py::object result = ToPython(r.value, m.result);
  std::size_t refs = 0;
  for (const auto& p : m.params) refs += p.byRef;
  if (refs == 0) return result;
  py::tuple out(refs + 1);
  out[0] = result;
  std::size_t k = 1;
  for (std::size_t i = 0; i < m.params.size(); ++i)
    if (m.params[i].byRef) out[k++] = ToPython(values[i], m.params[i].type);
  return out;
}

const char* KindName(dispatch::ValueKind kind) {
  switch (kind) {
    case dispatch::ValueKind::Void: return "none";
    case dispatch::ValueKind::Boolean: return "bool";
    case dispatch::ValueKind::String: return "str";
    case dispatch::ValueKind::Single:
    case dispatch::ValueKind::Double: return "float";
    case dispatch::ValueKind::Enum: return "enum";
    default: return "int";
  }
}

// The type library as plain data: (name, family, signature, result type, result enum,
// [(name, type name, kind, enum, array, by-reference, optional, default)]).
py::list Methods() {
  py::list out;
  for (const MethodEntry& m : Catalog::Instance().Methods()) {
    py::list params;
    for (const auto& p : m.params)
      params.append(py::make_tuple(p.name, p.type.Name(), KindName(p.type.kind), p.type.enumName, p.type.array,
                                   p.byRef, p.optional, p.optional ? ToPython(p.defaultValue, p.type) : py::none()));
    out.append(py::make_tuple(m.name, m.family, m.Signature(), m.result.Name(), m.result.enumName, params));
  }
  return out;
}

py::list Constants() {
  py::list out;
  for (const auto& c : Catalog::Instance().Constants()) out.append(py::make_tuple(c.enumName, c.name, c.value));
  return out;
}

PyObject* FastCall(PyObject* self, PyObject* const* args, Py_ssize_t count) {
  try {
    return Call(self, args, static_cast<std::size_t>(count)).release().ptr();
  } catch (py::error_already_set& e) {
    e.restore();
  } catch (const py::builtin_exception& e) {
    e.set_error();
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  }
  return nullptr;
}

PyMethodDef g_callDefinition = {"call", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&FastCall)),
                                METH_FASTCALL,
                                "call(instance, index, *arguments): the method of that catalog index, with one "
                                "argument per parameter."};

}  // namespace

}  // namespace tessivo::python

PYBIND11_MODULE(_native, m) {
  using namespace tessivo::python;
  m.doc() = "Native part of the tessivo package: instances and the type library.";
  py::class_<Instance>(m, "Instance")
      .def(py::init<bool, bool>(), py::arg("control"), py::arg("raise_on_error") = false)
      .def_property_readonly("raise_on_error", &Instance::raiseOnError)
      .def("to_numpy", [](Instance& self) {
            self.CheckThread();
            return NativeToNumpy(self.Object());
          }, "The native image's pixels: shape (height, width, 3 or 4), RGB(A), uint8 or uint16.")
      .def("from_numpy", [](Instance& self, py::handle array) {
            self.CheckThread();
            return NativeFromNumpy(self.Object(), array);
          }, py::arg("array"),
          "A new native image from an array of shape (height, width[, 1 | 3 | 4]), uint8 or uint16; "
          "returns its image ID.");
  m.add_object("call", py::reinterpret_steal<py::object>(PyCFunction_New(&g_callDefinition, nullptr)));
  m.def("methods", &Methods);
  m.def("constants", &Constants);
  m.def("set_enum_classes", &SetEnumClasses);
  m.def("set_status_error", [](py::object cls) { g_statusError = cls.release().ptr(); });
}
