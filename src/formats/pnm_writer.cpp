#include "formats/pnm_writer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "formats/file_output.h"

namespace tessivo {
namespace {

int64_t PaddedRow(int32_t width, int32_t bitsPerPixel) {
  return ((static_cast<int64_t>(width) * bitsPerPixel + 31) & ~int64_t{31}) / 8;
}

}  // namespace

bool EncodePNM(int32_t width, int32_t height, const std::vector<uint8_t>& pixels, int32_t bits,
               const std::vector<PaletteRecord>& palette, int32_t paletteCount, int32_t options,
               std::vector<uint8_t>& out) {
  out.clear();
  if (width < 1 || height < 1) return false;
  const bool indexed = paletteCount != 0;
  const int64_t stride = PaddedRow(width, indexed ? 8 : 24);
  if (static_cast<int64_t>(pixels.size()) < stride * height) return false;

  const char* magic = bits == 1                                                ? "P4"
                      : ((options & kPnmIndexedAsGraymap) != 0 && bits <= 8) ? "P5"
                                                                              : "P6";
  std::string header = std::string(magic) + "\n" + std::to_string(width) + " " +
                       std::to_string(height) + "\n";
  if (bits != 1) header += "255\n";

  const int channels = bits == 1 ? 0 : (magic[1] == '5' ? 1 : 3);
  const int64_t rowBytes = bits == 1 ? (width + 7) / 8 : static_cast<int64_t>(width) * channels;
  out.reserve(header.size() + static_cast<size_t>(rowBytes * height));
  out.assign(header.begin(), header.end());

  // Colour of a palette index; indices past the palette read as black.
  const size_t usable = std::min(palette.size(), static_cast<size_t>(paletteCount > 0 ? paletteCount : 0));
  auto record = [&](uint8_t index) {
    return index < usable ? palette[index] : PaletteRecord{};
  };

  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels.data() + stride * y;
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(rowBytes));
    uint8_t* dst = out.data() + start;
    if (bits == 1) {
      std::memset(dst, 0, static_cast<size_t>(rowBytes));
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t index = indexed ? row[x] : row[3 * x];
        if (index == 0) dst[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
      }
    } else if (channels == 1) {
      for (int32_t x = 0; x < width; ++x) dst[x] = indexed ? record(row[x]).green : row[3 * x];
    } else {
      for (int32_t x = 0; x < width; ++x, dst += 3) {
        if (indexed) {
          const PaletteRecord rec = record(row[x]);
          dst[0] = rec.red;
          dst[1] = rec.green;
          dst[2] = rec.blue;
        } else {
          dst[0] = row[3 * x + 2];
          dst[1] = row[3 * x + 1];
          dst[2] = row[3 * x];
        }
      }
    }
  }
  return true;
}

bool WritePNM(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint8_t>& pixels, int32_t bits,
              const std::vector<PaletteRecord>& palette, int32_t paletteCount, int32_t options) {
  std::vector<uint8_t> bytes;
  if (!EncodePNM(width, height, pixels, bits, palette, paletteCount, options, bytes)) return false;
  return WriteWholeFile(path, bytes);
}

}  // namespace tessivo
