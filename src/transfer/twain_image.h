// A scanned image block made into a platform bitmap.
#pragma once
#include <memory>

#include "platform/bitmap.h"
#include "tessivo/plugins/tvtwain.h"
#include "tessivo/status.h"

namespace tessivo {

// Copies the block's top-down rows into a new bitmap with the block's resolution: 1 bit →
// 1bpp indexed (black, white), 8 → 8bpp indexed grey, 16 → 16bpp grey, 24 → 24bpp RGB,
// 48 → 48bpp RGB. Other depths: UnsupportedPixelFormat; a geometry the block cannot hold:
// InvalidParameter; more than 2^31 bytes of pixels: OutOfMemory, before anything is allocated.
TessivoStatus BitmapFromScan(const tvtwain_image_info& info,
                             std::unique_ptr<platform::Bitmap>& out);
// The same bitmap laid over the block's rows instead of a copy of them, for a page that is
// only read (written to a file) while the block is still held: it must not outlive the block.
TessivoStatus BitmapOverScan(const tvtwain_image_info& info,
                             std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
