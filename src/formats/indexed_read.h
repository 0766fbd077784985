// Reading a whole bitmap into a caller-owned buffer in a given format, rows padded to 4 bytes,
// as the file writers need it.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace tessivo {

platform::Status ReadWholeBitmap(platform::Bitmap& bitmap, platform::PixelFormat format,
                                 std::vector<uint8_t>& pixels);

}  // namespace tessivo
