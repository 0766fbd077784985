// modGIFSave89a: single-image GIF89a files from a buffer of palette indices.
//
// The pixel buffer holds `height` rows, top row first, of (buffer size / height) bytes each, with
// 1, 4 or 8 bits per pixel (most significant bits first). The file carries a global colour table
// of 2^bits entries from the palette records (missing entries are black), a graphic control
// extension, and LZW data in the four interlace passes when asked.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "formats/palette_record.h"

namespace tessivo {

struct GifImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 8;  // 1, 4 or 8: colour depth of the file and sample width of `pixels`
  const std::vector<uint8_t>* pixels = nullptr;
  const std::vector<PaletteRecord>* palette = nullptr;
  bool interlaced = true;
  int32_t transparentIndex = -1;  // palette entry to mark transparent; -1: none
};

// Index of the first palette record whose red, green and blue equal those of `rgbColor` (red in
// the low byte, as a platform RGB value); -1 when `rgbColor` is -1 or nothing matches.
int32_t GifTransparentIndexForColor(const std::vector<PaletteRecord>& palette, int32_t rgbColor);

// The rows of an image in the order the file stores them: top to bottom, or the four interlace
// passes (rows 0, 8, …; 4, 12, …; 2, 6, …; 1, 3, …).
std::vector<int32_t> GifRowOrder(int32_t height, bool interlaced);

// The whole file. False (and `out` left empty) when the image cannot be written: bits other than
// 1, 4, 8, a size outside 1..65535 (the file's fields are 16 bits wide), rows shorter than the
// width needs, or no palette.
bool EncodeGIF89a(const GifImage& image, std::vector<uint8_t>& out);

// Writes the file at `path`, replacing an existing one. The transparent entry is the first
// record matching `transparentColor` (a platform RGB value, -1 for none).
bool WriteGIF89a(const std::string& path, int32_t width, int32_t height, int32_t bits,
                 const std::vector<uint8_t>& pixels, const std::vector<PaletteRecord>& palette,
                 bool interlaced, int32_t transparentColor);
// The same with the transparent entry given by index (-1 for none).
bool WriteGIF89a(const GifImage& image, const std::string& path);

}  // namespace tessivo
