#include "platform/transfer/curl_library.h"

#include <dlfcn.h>

#include "platform/library_symbols.h"

namespace tessivo::platform {
namespace {

// The ABI name the development package links against.
constexpr const char* kLibraryName = "libcurl.so.4";

const CurlLibrary* Load() {
  // Never closed: libcurl keeps global state (TLS back end, resolver) for the process's life.
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  static CurlLibrary api{};
  decltype(&::curl_global_init) globalInit = nullptr;
  const bool bound = BindSymbol(handle, "curl_global_init", globalInit) &&
                     BindSymbol(handle, "curl_easy_init", api.easy_init) &&
                     BindSymbol(handle, "curl_easy_cleanup", api.easy_cleanup) &&
                     BindSymbol(handle, "curl_easy_reset", api.easy_reset) &&
                     BindSymbol(handle, "curl_easy_setopt", api.easy_setopt) &&
                     BindSymbol(handle, "curl_easy_perform", api.easy_perform) &&
                     BindSymbol(handle, "curl_easy_getinfo", api.easy_getinfo) &&
                     BindSymbol(handle, "curl_url", api.url) && BindSymbol(handle, "curl_url_set", api.url_set) &&
                     BindSymbol(handle, "curl_url_get", api.url_get) &&
                     BindSymbol(handle, "curl_url_cleanup", api.url_cleanup) && BindSymbol(handle, "curl_free", api.free);
  if (!bound) {
    dlclose(handle);
    return nullptr;
  }
  if (globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
  return &api;
}

}  // namespace

const CurlLibrary* Curl() {
  static const CurlLibrary* const loaded = Load();
  return loaded;
}

}  // namespace tessivo::platform
