#include "support/codec_plugin_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace tessivo::testing {

CodecPluginLibrary::CodecPluginLibrary()
    : library_(std::string(TESSIVO_BINARY_DIR) + "/lib/tvimgplug.so") {
  if (!library_.Loaded()) {
    ADD_FAILURE() << "tvimgplug.so not loadable: " << library_.Error();
    return;
  }
  bool complete = true;
#define TESSIVO_TEST_RESOLVE(name, ret, params)                        \
  api_.name = library_.Function<ret(*) params>("tvimgplug_" #name);    \
  if (!api_.name) {                                                    \
    ADD_FAILURE() << "tvimgplug_" #name " is not exported";            \
    complete = false;                                                  \
  }
  TESSIVO_TVIMGPLUG_FUNCTIONS(TESSIVO_TEST_RESOLVE)
#undef TESSIVO_TEST_RESOLVE
  complete_ = complete;
}

std::string CodecSample(const std::string& name) {
  return std::string(TESSIVO_CODEC_SAMPLES) + "/" + name;
}

std::string FreshFolder(const std::string& name) {
  const char* tmp = std::getenv("TMPDIR");
  std::filesystem::path dir = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") /
                              (name + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

}  // namespace tessivo::testing
