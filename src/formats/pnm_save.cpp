#include "formats/pnm_save.h"

#include <memory>
#include <vector>

#include "formats/indexed_read.h"
#include "formats/pnm_writer.h"
#include "pixel/convert_indexed.h"

namespace tessivo {
namespace {

uint32_t Luminance(uint32_t argb) {
  return 299 * (argb >> 16 & 0xFF) + 587 * (argb >> 8 & 0xFF) + 114 * (argb & 0xFF);
}

// A bitmap file sets 1 for ink. The ink of a 1-bit image is the darker of its two palette
// colours (the first on a tie); the quantized copy lists the colours actually present, in
// any order, so its indices are renumbered: 0 for ink, 1 for paper.
void NumberInkZero(const platform::Palette& bilevel, const platform::Palette& quantized,
                   std::vector<uint8_t>& indices) {
  const std::vector<uint32_t>& two = bilevel.entries;
  if (two.empty()) return;
  const uint32_t ink = (two.size() < 2 || Luminance(two[0]) <= Luminance(two[1])) ? two[0] : two[1];
  uint8_t renumber[256];
  for (size_t i = 0; i < 256; ++i) {
    const bool isInk = i < quantized.entries.size() &&
                       (quantized.entries[i] & 0x00FFFFFFu) == (ink & 0x00FFFFFFu);
    renumber[i] = isInk ? 0 : 1;
  }
  for (uint8_t& index : indices) index = renumber[index];
}

}  // namespace

TessivoStatus SaveBitmapAsPNM(platform::Bitmap& image, const std::string& path) {
  const int32_t depth = platform::BitsPerPixel(image.Format());
  int32_t bits = depth;
  platform::Bitmap* source = &image;
  std::unique_ptr<platform::Bitmap> quantized;  // released on every path
  if (depth < 8) {
    if (depth != 1) bits = 8;
    platform::Status s = QuantizeToBitmap(image, 256, quantized);
    if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
    source = quantized.get();
  }

  std::vector<PaletteRecord> palette;
  int32_t paletteCount = 0;
  std::vector<uint8_t> pixels;
  platform::Status s;
  if (bits <= 8) {
    palette = PaletteRecordsFromArgb(source->GetPalette().entries);
    paletteCount = static_cast<int32_t>(palette.size());
    s = ReadWholeBitmap(*source, platform::kPixelFormat8bppIndexed, pixels);
  } else {
    bits = 24;
    s = ReadWholeBitmap(*source, platform::kPixelFormat24bppRGB, pixels);
  }
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
  if (bits == 1) NumberInkZero(image.GetPalette(), source->GetPalette(), pixels);

  return WritePNM(path, source->Width(), source->Height(), pixels, bits, palette, paletteCount,
                  kPnmIndexedAsGraymap)
             ? OK
             : GenericError;
}

}  // namespace tessivo
