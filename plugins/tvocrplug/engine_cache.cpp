#include "engine_cache.h"

#include <memory>

namespace tvocrplug {
namespace {

struct CachedEngine {
  std::unique_ptr<tesseract::TessBaseAPI> api;
  std::string language, folder;
};

thread_local CachedEngine textEngine, orientationEngine;

}  // namespace

tesseract::TessBaseAPI* ThreadEngine(EngineKind kind, const std::string& language, const std::string& folder) {
  CachedEngine& cached = kind == EngineKind::Text ? textEngine : orientationEngine;
  if (cached.api && cached.language == language && cached.folder == folder) return cached.api.get();
  cached.api.reset();
  auto api = std::make_unique<tesseract::TessBaseAPI>();
  // Orientation data is a legacy model; text is read by the LSTM engine the language data carries.
  const auto mode = kind == EngineKind::Text ? tesseract::OEM_DEFAULT : tesseract::OEM_TESSERACT_ONLY;
  if (api->Init(folder.c_str(), language.c_str(), mode) != 0) return nullptr;
  // Tesseract would otherwise write notes such as "Estimating resolution" to stderr of the host.
  api->SetVariable("debug_file", "/dev/null");
  cached = {std::move(api), language, folder};
  return cached.api.get();
}

void DropThreadEngines() {
  textEngine = {};
  orientationEngine = {};
}

}  // namespace tvocrplug
