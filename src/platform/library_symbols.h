// Symbols of a system library opened on first use (dlopen), bound into a table of function
// pointers typed by the library's own headers.
#pragma once
#include <dlfcn.h>

namespace tessivo::platform {

// Points `slot` at the symbol `name` of `handle`; false when the library lacks it.
template <typename Fn>
bool BindSymbol(void* handle, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(dlsym(handle, name));
  return slot != nullptr;
}

}  // namespace tessivo::platform
