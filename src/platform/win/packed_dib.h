// Packed device-independent bitmaps: a BITMAPINFOHEADER (or a V4/V5 header), the colour
// table, then the pixel rows (bottom-up for a positive height, top-down for a negative one),
// each padded to 4 bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo::platform::win {

inline constexpr size_t kBitmapInfoHeaderSize = 40;

// A packed DIB of `image`: 40-byte header (resolution in pixels per metre), the palette for
// 1, 4 and 8 bpp, then the rows bottom-up. RGB565 is written with bit-field masks; formats a
// DIB cannot hold are converted first (DibFormatOf). A 32-bit DIB of an image without alpha
// carries alpha bytes 0.
Status PackDib(const Bitmap& image, std::vector<uint8_t>& out);

// The image of a packed DIB of `size` bytes. Every header field is checked against the size
// before a pixel is read: header size 40, 108 or 124; width above 0; height not 0; one plane;
// 1, 4, 8, 16, 24 or 32 bits per pixel; no compression, or bit fields of the RGB555, RGB565 or
// 8-bit-per-channel layouts; a colour table of at most 2^bits entries. Anything else, or rows
// that do not fit the block: InvalidParameter (an unknown compression: UnknownImageFormat).
// The rows start after the colour table the header announces. A 32-bit DIB whose alpha bytes
// are all 0 is 32bppRGB, else 32bppARGB. A 1-bit DIB with the table (white, black) becomes
// (black, white) with its bits inverted, so the image looks the same and 0 is black.
Status UnpackDib(const uint8_t* data, size_t size, std::unique_ptr<Bitmap>& out);

}  // namespace tessivo::platform::win
