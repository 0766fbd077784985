// SaveAsPNM's work on a bitmap: a raw PNM file through the toolkit's own writer. 1-bit images
// become P4, other images of at most 8 bits P5 (4-bit ones quantized to 8 bits first, on a
// copy), deeper ones P6.
#pragma once
#include <string>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

TessivoStatus SaveBitmapAsPNM(platform::Bitmap& image, const std::string& path);

}  // namespace tessivo
