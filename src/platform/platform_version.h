// The version the platform layer reports to the toolkit (major.minor.build.revision). Its
// major number is 6 or more, so the toolkit takes its "platform version 6 and later" paths.
#pragma once

namespace tessivo::platform {

const char* PlatformVersion();

}  // namespace tessivo::platform
