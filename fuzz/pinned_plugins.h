// Plug-ins of a fuzz run: loaded once for the whole process (a plug-in unloaded between inputs
// would be reported as leaking what it keeps, and reloading it on every input is slow), with
// the codec plug-in held to the fuzz driver's memory budget so that a forged header is refused
// before a decoder allocates for it.
#pragma once
#include <dlfcn.h>

#include <cstdint>
#include <filesystem>

#include "platform/plugin_library.h"

namespace tessivo::fuzzing {

// Decoded bytes a forged header may ask for (libFuzzer stops a run at 2.5 GB of memory, and a
// decoded frame is copied a few times on its way into a document).
inline constexpr uint64_t kFuzzMemoryLimit = uint64_t{64} << 20;

inline void PinPlugins(uint64_t codecMemoryLimit) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(platform::PluginDirectory(), error)) {
    if (entry.path().extension() != ".so") continue;
    void* library = dlopen(entry.path().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) continue;
    using SetMemoryLimit = void (*)(uint64_t);
    if (auto limit = reinterpret_cast<SetMemoryLimit>(dlsym(library, "tvimgplug_SetMemoryLimit")))
      limit(codecMemoryLimit);
  }
}

}  // namespace tessivo::fuzzing
