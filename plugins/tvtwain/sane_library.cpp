#include "sane_library.h"

#include <dlfcn.h>

namespace tvtwain {

namespace {
template <typename Fn>
bool Resolve(void* handle, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(dlsym(handle, name));
  return fn != nullptr;
}
}  // namespace

bool SaneLibrary::Load(const std::string& path) {
  if (handle) return true;
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) return false;
  bool ok = Resolve(h, "sane_init", init) && Resolve(h, "sane_exit", exit) &&
            Resolve(h, "sane_get_devices", get_devices) && Resolve(h, "sane_open", open) &&
            Resolve(h, "sane_close", close) &&
            Resolve(h, "sane_get_option_descriptor", get_option_descriptor) &&
            Resolve(h, "sane_control_option", control_option) &&
            Resolve(h, "sane_get_parameters", get_parameters) && Resolve(h, "sane_start", start) &&
            Resolve(h, "sane_read", read) && Resolve(h, "sane_cancel", cancel);
  if (!ok) {
    dlclose(h);
    *this = SaneLibrary{};
    return false;
  }
  handle = h;
  return true;
}

void SaneLibrary::Unload() {
  if (handle) dlclose(handle);
  *this = SaneLibrary{};
}

}  // namespace tvtwain
