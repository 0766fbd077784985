// The codec plug-in as the tests reach it: the real tvimgplug.so from the build, its entry
// points resolved by name, and the sample files the build made with ImageMagick.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/codec_plugin.h"
#include "platform/plugin_library.h"
#include "support/io_fixtures.h"  // ReadBytes, WriteBytes

namespace tessivo::testing {

// Loads build/lib/tvimgplug.so and resolves every entry point; fails the test when any is
// missing (the plug-in is part of the build, so it must be there).
class CodecPluginLibrary {
 public:
  CodecPluginLibrary();
  const TvimgplugApi& api() const { return api_; }
  bool complete() const { return complete_; }

 private:
  platform::PluginLibrary library_;
  TvimgplugApi api_;
  bool complete_ = false;
};

// A sample made by tests/fixtures/make_codec_samples.sh.
std::string CodecSample(const std::string& name);

// A fresh empty folder under the test's temporary folder.
std::string FreshFolder(const std::string& name);

}  // namespace tessivo::testing

namespace tessivo {
// `jpeg` with an APP13 Photoshop segment of IPTC records: record version 4 (2:0), caption
// "A caption" (2:120), keywords "one" and "two" (2:25).
std::vector<uint8_t> JpegWithIptc(const std::vector<uint8_t>& jpeg);
}  // namespace tessivo
