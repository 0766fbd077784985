#include "sane_library.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

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
  // RTLD_NODELETE: SANE keeps a few strings from sane_init for the life of the process; with
  // the library still mapped at exit, a leak checker can name where they came from.
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
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

namespace tvtwain {

void SaneLibrary::PinLoadedBackends() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        // The backends live in SANE's own folder: .../sane/libsane-NAME.so.1.
        if (info->dlpi_name && std::strstr(info->dlpi_name, "/sane/libsane-"))
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

}  // namespace tvtwain
