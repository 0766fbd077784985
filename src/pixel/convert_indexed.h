// The toolkit's own conversions to indexed formats. Each reads the whole bitmap as 32-bit
// pixels, computes one index per pixel by its rule and builds a new indexed bitmap of the same
// size with the rule's palette. Resolution and property items are left to the caller.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/bitmap.h"

namespace tessivo {

using BitmapPtr = std::unique_ptr<platform::Bitmap>;

// 1 bpp with the default black-and-white palette: white when blue, green and red are >= 126.
platform::Status ConvertTo1BppThreshold(platform::Bitmap& source, BitmapPtr& out);
// 1 bpp: white only for opaque pure white.
platform::Status ConvertTo1BppOpaqueWhite(platform::Bitmap& source, BitmapPtr& out);
// 8 bpp grey (256 greys, flags 2) from the channel average, the weighted sum, or blue alone.
platform::Status ConvertToGrayAverage(platform::Bitmap& source, BitmapPtr& out);
platform::Status ConvertToGrayWeighted(platform::Bitmap& source, BitmapPtr& out);
platform::Status ConvertToGrayFromBlue(platform::Bitmap& source, BitmapPtr& out);
// 8 bpp with the 216-colour cube.
platform::Status ConvertToCube216(platform::Bitmap& source, BitmapPtr& out);
// 4 bpp, each pixel the nearest of the first min(16, size) colours of `palette` (flags 4).
// An empty palette is InvalidParameter.
platform::Status ConvertTo4BppNearest(platform::Bitmap& source, const std::vector<uint32_t>& palette,
                                      BitmapPtr& out);

// 8 bpp with an adaptive palette of at most nColors (clamped to 8..256) from the octree
// quantizer; the source is read as 24-bit pixels.
platform::Status QuantizeToBitmap(platform::Bitmap& source, int32_t nColors, BitmapPtr& out,
                                  std::optional<uint32_t> transparentArgb = std::nullopt);
// 4 bpp with an adaptive palette of 16 colours: quantized to 16 colours, then mapped to that
// palette by the nearest-entry rule.
platform::Status QuantizeTo4Bpp(platform::Bitmap& source, BitmapPtr& out);

}  // namespace tessivo
