#include "platform/crypto/crypto_library.h"

#include <dlfcn.h>

#include "platform/library_symbols.h"

namespace tessivo::platform {
namespace {

// The ABI name the development package links against.
constexpr const char* kLibraryName = "libcrypto.so.3";

const CryptoLibrary* Load() {
  // Never closed: OpenSSL keeps its initialised state until the process ends.
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  static CryptoLibrary api{};
  const bool bound = BindSymbol(handle, "EVP_Digest", api.digest) && BindSymbol(handle, "EVP_md5", api.md5) &&
                     BindSymbol(handle, "RC4_set_key", api.rc4SetKey) && BindSymbol(handle, "RC4", api.rc4);
  if (!bound) {
    dlclose(handle);
    return nullptr;
  }
  return &api;
}

}  // namespace

const CryptoLibrary* Crypto() {
  static const CryptoLibrary* const loaded = Load();
  return loaded;
}

}  // namespace tessivo::platform
