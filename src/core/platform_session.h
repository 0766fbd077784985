// Per-thread start-up and shut-down of the platform, counted over the cImaging instances of the
// thread: the first instance starts it and records the platform and codec plug-in versions;
// the last one to end releases every registered image.
#pragma once
#include <cstdint>
#include <string>

namespace tessivo {

struct PlatformSession {
  int32_t instanceCount = 0;
  bool started = false;
  std::string platformVersion;     // taken at start-up
  std::string codecPluginVersion;  // "Unknown"/"Undefined" (value 0) when the plug-in is absent

  static PlatformSession& Current();
  bool CodecPluginPresent() const;
};

void StartPlatform();
void StopPlatform();

}  // namespace tessivo
