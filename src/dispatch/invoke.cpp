// Late binding through the type library.
#include "dispatch/invoke.h"

#include <new>
#include <stdexcept>

namespace tessivo::dispatch {

namespace {

InvokeResult Failure(DispatchErrorCode code, std::string message, int32_t argument = -1) {
  InvokeResult r;
  r.error = code;
  r.message = std::move(message);
  r.argumentIndex = argument;
  return r;
}

std::string CountText(const MethodEntry& m) {
  std::size_t required = m.RequiredCount(), all = m.params.size();
  std::string n = required == all ? std::to_string(all) : std::to_string(required) + " to " + std::to_string(all);
  return n + (all == 1 && required == all ? " argument" : " arguments");
}

}  // namespace

InvokeResult InvokeMethod(const Catalog& catalog, cImaging& object, std::string_view name,
                          std::vector<Variant>& args) {
  const MethodEntry* method = catalog.Find(name);
  if (!method) return Failure(DispatchUnknownName, "unknown method \"" + std::string(name) + "\"");
  return InvokeEntry(*method, object, args);
}

InvokeResult InvokeEntry(const MethodEntry& entry, cImaging& object, std::vector<Variant>& args) {
  const MethodEntry* method = &entry;
  if (args.size() < method->RequiredCount() || args.size() > method->params.size())
    return Failure(DispatchBadParamCount, method->name + " takes " + CountText(*method) + ", " +
                                              std::to_string(args.size()) + " given");

  // The caller's arguments move into the full list and back, so by-value arguments come back
  // unchanged and by-reference ones carry the method's values.
  // With every argument given, the caller's list is the full list.
  const std::size_t passed = args.size();
  const bool complete = passed == method->params.size();
  std::vector<Variant> defaulted;
  if (!complete) {
    defaulted.reserve(method->params.size());
    for (Variant& a : args) defaulted.push_back(std::move(a));
    for (std::size_t i = passed; i < method->params.size(); ++i) defaulted.push_back(method->params[i].defaultValue);
  }
  std::vector<Variant>& full = complete ? args : defaulted;
  auto giveBack = [&] {
    if (complete) return;
    for (std::size_t i = 0; i < passed; ++i) args[i] = std::move(full[i]);
  };

  InvokeResult result;
  try {
    result.value = method->invoke(object, full);
  } catch (const ArgumentError& e) {
    giveBack();
    const Parameter& p = method->params[e.index];
    return Failure(e.code(), method->name + ": parameter " + p.name + " (" + p.type.Name() + "): " + e.what(),
                   static_cast<int32_t>(e.index));
  } catch (const std::overflow_error& e) {
    giveBack();
    return Failure(DispatchRuntimeOverflow, method->name + ": run-time error: overflow (" + e.what() + ")");
  } catch (const std::invalid_argument& e) {
    giveBack();
    return Failure(DispatchRuntimeInvalidArgument,
                   method->name + ": run-time error: invalid argument (" + e.what() + ")");
  } catch (const std::bad_alloc&) {
    giveBack();
    return Failure(DispatchOutOfMemory, method->name + ": out of memory");
  } catch (const std::exception& e) {
    giveBack();
    return Failure(DispatchException, method->name + ": " + e.what());
  } catch (...) {
    giveBack();
    return Failure(DispatchException, method->name + ": unexpected failure");
  }
  giveBack();
  return result;
}

}  // namespace tessivo::dispatch

namespace tessivo {

InvokeResult cImaging::Invoke(std::string_view name, std::vector<Variant>& args) {
  return dispatch::InvokeMethod(dispatch::Catalog::Instance(), *this, name, args);
}

}  // namespace tessivo
