// modPNMFileIO: raw portable anymap files (P4 bitmap, P5 graymap, P6 pixmap), without comments.
//
// Pixel buffer: `height` rows, top row first. With a palette (paletteCount ≠ 0) one index byte
// per pixel, rows padded to 4 bytes; without one three bytes per pixel (blue, green, red), rows
// padded to 4 bytes.
//   bits 1                → P4: one bit per pixel, 1 where the palette index is 0.
//   bits ≤ 8, option 512  → P5: the green of the pixel's palette record (no palette: the blue byte).
//   otherwise             → P6: red, green, blue.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "formats/palette_record.h"

namespace tessivo {

// Option bit: an indexed image of at most 8 bits is written as a graymap.
inline constexpr int32_t kPnmIndexedAsGraymap = 512;

// The whole file. False when the buffer is shorter than the rows it must hold or the size is
// not positive.
bool EncodePNM(int32_t width, int32_t height, const std::vector<uint8_t>& pixels, int32_t bits,
               const std::vector<PaletteRecord>& palette, int32_t paletteCount, int32_t options,
               std::vector<uint8_t>& out);

// Writes the file at `path`, replacing an existing one; False when anything fails.
bool WritePNM(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint8_t>& pixels, int32_t bits,
              const std::vector<PaletteRecord>& palette, int32_t paletteCount, int32_t options);

}  // namespace tessivo
