#include "core/platform_session.h"

#include <exception>
#include <memory>
#include <new>
#include <string>

#include "core/image_registry.h"
#include "core/plugins.h"
#include "platform/bitmap.h"
#include "platform/host_services.h"
#include "platform/platform_version.h"
#include "platform/plugin_library.h"

namespace tessivo {

namespace {

// Error numbers as a script host counts them: 7 is "out of memory", 5 any other failure.
void ReportFailure(const char* what, const std::exception& e) {
  int number = dynamic_cast<const std::bad_alloc*>(&e) ? 7 : 5;
  std::string text =
      std::string(what) + " Err no: " + std::to_string(number) + ". Error: " + e.what();
  platform::Host().ShowMessage("Tessivo", text, platform::MessageIcon::Critical);
}

}  // namespace

PlatformSession& PlatformSession::Current() {
  thread_local PlatformSession session;
  return session;
}

bool PlatformSession::CodecPluginPresent() {
  if (platform::VersionValue(codecPluginVersion) == 0)
    codecPluginVersion = platform::FileVersionString(PluginPathFor(PluginKind::Codec));
  return platform::VersionValue(codecPluginVersion) != 0;
}

void StartPlatform() {
  PlatformSession& s = PlatformSession::Current();
  ++s.instanceCount;
  try {
    if (!s.started) {
      s.started = true;
      // The platform needs no global start-up; a 1x1 probe bitmap proves it works.
      std::unique_ptr<platform::Bitmap> probe;
      if (platform::Bitmap::Create(1, 1, platform::kPixelFormat24bppRGB, probe) ==
          platform::Status::Ok) {
        s.platformVersion = platform::PlatformVersion();
      } else {
        s.started = false;
      }
    }
  } catch (const std::exception& e) {
    s.started = false;
    ReportFailure("Error starting GDI+.", e);
  }
}

void StopPlatform() {
  PlatformSession& s = PlatformSession::Current();
  try {
    if (s.instanceCount > 0) --s.instanceCount;
    if (s.started && s.instanceCount == 0) {
      s.started = false;
      ReleaseAllImages();
    }
  } catch (const std::exception& e) {
    s.started = false;
    ReportFailure("Error shutting down GDI+.", e);
  }
}

}  // namespace tessivo
