// SaveAsGIFi's work on a bitmap: an interlaced GIF89a file of it through the toolkit's own
// writer. Images of more than 8 bits per pixel are quantized to 256 colours first (on a copy).
// The palette's last entry with alpha 0 becomes the file's transparent index.
#pragma once
#include <string>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

TessivoStatus SaveBitmapAsGIFi(platform::Bitmap& image, const std::string& path);

}  // namespace tessivo
