// The exported C functions of the OCR plug-in. Nothing thrown inside crosses them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <vector>

#include "engine_cache.h"
#include "grey_image.h"
#include "recognizer.h"
#include "tessivo/plugins/plugin_abi.h"
#include "tessivo/plugins/tvocrplug.h"

#define TVOCRPLUG_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Runs `body`, turning anything thrown into a status.
template <typename Body>
int32_t Shielded(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return TVOCRPLUG_OUT_OF_MEMORY;
  } catch (...) {
    return TVOCRPLUG_GENERIC_ERROR;
  }
}

}  // namespace

TVOCRPLUG_EXPORT const char* tv_plugin_file_version(void) { return "1.0.0.0"; }

TVOCRPLUG_EXPORT int32_t tvocrplug_GetVersion(void) { return TVOCRPLUG_VERSION; }

TVOCRPLUG_EXPORT int32_t tvocrplug_OCR(const TvocrImage* image, int32_t left, int32_t top, int32_t width,
                                       int32_t height, int32_t dictionary, const char* dictionaryPath,
                                       const char* whiteList, TvocrCharRecord** records, int32_t* count) {
  if (records != nullptr) *records = nullptr;
  if (count != nullptr) *count = 0;
  if (records == nullptr || count == nullptr || !tvocrplug::IsUsableImage(image)) return TVOCRPLUG_INVALID_PARAMETER;
  return Shielded([&] {
    std::vector<TvocrCharRecord> found;
    const int32_t status = tvocrplug::RecognizeText(*image, left, top, width, height, dictionary, dictionaryPath,
                                                    whiteList, found);
    if (status != TVOCRPLUG_OK || found.empty()) return status;
    auto* block = static_cast<TvocrCharRecord*>(std::malloc(found.size() * sizeof(TvocrCharRecord)));
    if (block == nullptr) return TVOCRPLUG_OUT_OF_MEMORY;
    std::memcpy(block, found.data(), found.size() * sizeof(TvocrCharRecord));
    *records = block;
    *count = static_cast<int32_t>(found.size());
    return TVOCRPLUG_OK;
  });
}

TVOCRPLUG_EXPORT void tvocrplug_CLEAR(TvocrCharRecord* records) { std::free(records); }

TVOCRPLUG_EXPORT void tvocrplug_REINIT(void) {
  try {
    tvocrplug::DropThreadEngines();
  } catch (...) {
  }
}

TVOCRPLUG_EXPORT int32_t tvocrplug_ORIENTATION(const TvocrImage* image, int32_t dictionary, const char* dictionaryPath,
                                               float accuracy, int32_t* degrees) {
  if (degrees != nullptr) *degrees = -1;
  if (degrees == nullptr || !tvocrplug::IsUsableImage(image)) return TVOCRPLUG_INVALID_PARAMETER;
  return Shielded([&] { return tvocrplug::DetectOrientation(*image, dictionary, dictionaryPath, accuracy, *degrees); });
}
