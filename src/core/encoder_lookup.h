// The encoder list as the savers use it: each platform encoder found by any single pattern of
// its file-name pattern list ("*.jpg", "*.TIF", ...), compared without regard to case.
#pragma once
#include <string>

#include "platform/codecs/codecs.h"

namespace tessivo {

// The encoder whose pattern list holds `pattern`, or nullptr.
const platform::ImageCodecInfo* EncoderByPattern(const std::string& pattern);

}  // namespace tessivo
