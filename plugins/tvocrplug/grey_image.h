// The 8-bit grey copy of a rectangle of a plug-in image that Tesseract is given.
#pragma once
#include <cstdint>
#include <vector>

#include "tessivo/plugins/tvocrplug.h"

namespace tvocrplug {

struct PixelRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// True when the image's fields describe a readable buffer (known channel count, rows long enough).
bool IsUsableImage(const TvocrImage* image);

// The rectangle to read: all zeros is the whole image, anything else is clipped to it (empty
// when nothing of it lies inside).
PixelRect ClipToImage(const TvocrImage& image, int32_t left, int32_t top, int32_t width, int32_t height);

// The rectangle's pixels as grey rows `rect.width` bytes apart. Transparent pixels count as white
// paper, so a clear background never reads as ink.
std::vector<uint8_t> GreyRows(const TvocrImage& image, const PixelRect& rect);

// The resolution Tesseract is told: the image's, or 300 dpi when it carries none.
int32_t SourceResolution(const TvocrImage& image);

}  // namespace tvocrplug
