// Per-thread start-up and shut-down of the platform, counted over the cImaging instances of the
// thread: the first instance starts it and records the platform version; the last one to end
// releases every registered image. The codec plug-in's version is read when first asked for:
// reading it means loading the plug-in with all its libraries, which costs a process that never
// needs the plug-in more than decoding a small picture.
#pragma once
#include <cstdint>
#include <string>

namespace tessivo {

struct PlatformSession {
  int32_t instanceCount = 0;
  bool started = false;
  std::string platformVersion;     // taken at start-up
  std::string codecPluginVersion;  // "Unknown"/"Undefined" (value 0) when the plug-in is absent;
                                   // empty until CodecPluginPresent asks

  static PlatformSession& Current();
  bool CodecPluginPresent();
};

void StartPlatform();
void StopPlatform();

}  // namespace tessivo
