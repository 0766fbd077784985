#include "platform/print/cups_library.h"

#include <dlfcn.h>

namespace tessivo::platform {
namespace {

// The ABI name the development package links against.
constexpr const char* kLibraryName = "libcups.so.2";

template <typename Fn>
bool Bind(void* handle, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(dlsym(handle, name));
  return slot != nullptr;
}

const CupsLibrary* Load() {
  // Never closed: libcups keeps per-process state (the default connection, the last error).
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  static CupsLibrary api{};
  const bool bound = Bind(handle, "cupsGetDests2", api.getDests2) && Bind(handle, "cupsFreeDests", api.freeDests) &&
                     Bind(handle, "cupsGetDest", api.getDest) && Bind(handle, "cupsCopyDestInfo", api.copyDestInfo) &&
                     Bind(handle, "cupsFreeDestInfo", api.freeDestInfo) &&
                     Bind(handle, "cupsGetOption", api.getOption) &&
                     Bind(handle, "cupsGetDestMediaDefault", api.getDestMediaDefault) &&
                     Bind(handle, "cupsGetDestMediaByName", api.getDestMediaByName) &&
                     Bind(handle, "cupsGetDestMediaBySize", api.getDestMediaBySize) &&
                     Bind(handle, "cupsFindDestDefault", api.findDestDefault) &&
                     Bind(handle, "cupsCheckDestSupported", api.checkDestSupported) &&
                     Bind(handle, "ippGetString", api.ippGetString) &&
                     Bind(handle, "ippGetInteger", api.ippGetInteger) &&
                     Bind(handle, "cupsLastErrorString", api.lastErrorString) &&
                     Bind(handle, "cupsAddOption", api.addOption) && Bind(handle, "cupsFreeOptions", api.freeOptions) &&
                     Bind(handle, "cupsCreateDestJob", api.createDestJob) &&
                     Bind(handle, "cupsStartDestDocument", api.startDestDocument) &&
                     Bind(handle, "cupsWriteRequestData", api.writeRequestData) &&
                     Bind(handle, "cupsFinishDestDocument", api.finishDestDocument) &&
                     Bind(handle, "cupsCancelDestJob", api.cancelDestJob);
  if (!bound) {
    dlclose(handle);
    return nullptr;
  }
  return &api;
}

}  // namespace

const CupsLibrary* Cups() {
  static const CupsLibrary* const loaded = Load();
  return loaded;
}

}  // namespace tessivo::platform
