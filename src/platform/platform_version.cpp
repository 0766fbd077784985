#include "platform/platform_version.h"

namespace tessivo::platform {

const char* PlatformVersion() { return "6.1.0.0"; }

}  // namespace tessivo::platform
