// libFuzzer target: pages from a scanner that announces and sends anything. The scanning
// module is loaded as an application loads it, pointed at a scripted scanner library
// (fake_sane_backend.cpp) that plays the input back as frame parameters and reads. A page the
// module accepts must hold exactly the rows it reports; anything else is a refused transfer.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tessivo/plugins/tvtwain.h"

namespace {

struct Module {
  void (*script)(const uint8_t*, size_t) = nullptr;
  int32_t (*setLibrary)(const char*) = nullptr;
  int32_t (*openManager)(intptr_t) = nullptr;
  int32_t (*closeManager)() = nullptr;
  int32_t (*openDefault)() = nullptr;
  int32_t (*closeSource)() = nullptr;
  int32_t (*hideUI)(int32_t) = nullptr;
  tvtwain_image* (*acquire)(intptr_t) = nullptr;
  int32_t (*info)(const tvtwain_image*, tvtwain_image_info*) = nullptr;
  void (*release)(tvtwain_image*) = nullptr;
};

template <typename Fn>
void Bind(void* library, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(dlsym(library, name));
  if (!fn) {
    std::fprintf(stderr, "fuzz_sane_frames: %s is missing\n", name);
    std::abort();
  }
}

const Module& Loaded() {
  static const Module module = [] {
    Module m;
    void* scanner = dlopen(FAKE_SANE_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    void* scanning = dlopen(TVTWAIN_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!scanner || !scanning) {
      std::fprintf(stderr, "fuzz_sane_frames: %s\n", dlerror());
      std::abort();
    }
    Bind(scanner, "fake_sane_script", m.script);
    Bind(scanning, "TVTWAIN_SetDSMPath", m.setLibrary);
    Bind(scanning, "TVTWAIN_OpenSourceManager", m.openManager);
    Bind(scanning, "TVTWAIN_CloseSourceManager", m.closeManager);
    Bind(scanning, "TVTWAIN_OpenDefaultSource", m.openDefault);
    Bind(scanning, "TVTWAIN_CloseSource", m.closeSource);
    Bind(scanning, "TVTWAIN_SetHideUI", m.hideUI);
    Bind(scanning, "TVTWAIN_AcquireNative", m.acquire);
    Bind(scanning, "TVTWAIN_GetImageInfo", m.info);
    Bind(scanning, "TVTWAIN_FreeNative", m.release);
    if (m.setLibrary(FAKE_SANE_PATH) != 1) std::abort();
    return m;
  }();
  return module;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Module& m = Loaded();
  m.script(data, size);
  if (m.openManager(0) != 1 || m.openDefault() != 1) std::abort();
  m.hideUI(1);
  // A batch of up to three pages, as a feeder gives them.
  for (int page = 0; page < 3; ++page) {
    tvtwain_image* image = m.acquire(0);
    if (!image) break;
    tvtwain_image_info info{};
    if (m.info(image, &info) != 1 || info.width < 1 || info.height < 1 || !info.bits) std::abort();
    const int64_t rowBytes = (int64_t{info.width} * info.bits_per_pixel + 7) / 8;
    if (info.stride < rowBytes) std::abort();
    // Every reported row is there: touching the last byte of the last row must be safe.
    volatile uint8_t last = info.bits[int64_t{info.stride} * (info.height - 1) + rowBytes - 1];
    (void)last;
    m.release(image);
  }
  m.closeSource();
  m.closeManager();
  return 0;
}
