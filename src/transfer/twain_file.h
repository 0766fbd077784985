// A scanned page written to the file the caller names, without ever leaving a half-written file
// in its place.
#pragma once
#include <string>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

// The format follows the name's extension: .bmp BMP, .png PNG, .jpg/.jpeg/.jfif JPEG, anything
// else TIFF (LZW). The image is written to a new file beside `path`, checked, and renamed over
// `path`; on any failure the sibling is deleted, an existing file at `path` is left as it was,
// and the result is TwainError.
TessivoStatus WriteScanFile(platform::Bitmap& image, const std::string& path);

}  // namespace tessivo
