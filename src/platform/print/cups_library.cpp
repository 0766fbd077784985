#include "platform/print/cups_library.h"

#include <dlfcn.h>

#include "platform/library_symbols.h"

namespace tessivo::platform {
namespace {

// The ABI name the development package links against.
constexpr const char* kLibraryName = "libcups.so.2";

const CupsLibrary* Load() {
  // Never closed: libcups keeps per-process state (the default connection, the last error).
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  static CupsLibrary api{};
  const bool bound = BindSymbol(handle, "cupsGetDests2", api.getDests2) && BindSymbol(handle, "cupsFreeDests", api.freeDests) &&
                     BindSymbol(handle, "cupsGetDest", api.getDest) && BindSymbol(handle, "cupsCopyDestInfo", api.copyDestInfo) &&
                     BindSymbol(handle, "cupsFreeDestInfo", api.freeDestInfo) &&
                     BindSymbol(handle, "cupsGetOption", api.getOption) &&
                     BindSymbol(handle, "cupsGetDestMediaDefault", api.getDestMediaDefault) &&
                     BindSymbol(handle, "cupsGetDestMediaByName", api.getDestMediaByName) &&
                     BindSymbol(handle, "cupsGetDestMediaBySize", api.getDestMediaBySize) &&
                     BindSymbol(handle, "cupsFindDestDefault", api.findDestDefault) &&
                     BindSymbol(handle, "cupsCheckDestSupported", api.checkDestSupported) &&
                     BindSymbol(handle, "ippGetString", api.ippGetString) &&
                     BindSymbol(handle, "ippGetInteger", api.ippGetInteger) &&
                     BindSymbol(handle, "cupsLastErrorString", api.lastErrorString) &&
                     BindSymbol(handle, "cupsAddOption", api.addOption) && BindSymbol(handle, "cupsFreeOptions", api.freeOptions) &&
                     BindSymbol(handle, "cupsCreateDestJob", api.createDestJob) &&
                     BindSymbol(handle, "cupsStartDestDocument", api.startDestDocument) &&
                     BindSymbol(handle, "cupsWriteRequestData", api.writeRequestData) &&
                     BindSymbol(handle, "cupsFinishDestDocument", api.finishDestDocument) &&
                     BindSymbol(handle, "cupsCancelDestJob", api.cancelDestJob);
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
