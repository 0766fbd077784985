#include "formats/gif_save.h"

#include <memory>
#include <vector>

#include "formats/gif89a_writer.h"
#include "formats/indexed_read.h"
#include "pixel/convert_indexed.h"

namespace tessivo {
namespace {

platform::PixelFormat IndexedFormatFor(int32_t bits) {
  switch (bits) {
    case 1: return platform::kPixelFormat1bppIndexed;
    case 4: return platform::kPixelFormat4bppIndexed;
    default: return platform::kPixelFormat8bppIndexed;
  }
}

}  // namespace

TessivoStatus SaveBitmapAsGIFi(platform::Bitmap& image, const std::string& path) {
  int32_t bits = platform::BitsPerPixel(image.Format());
  platform::Bitmap* source = &image;
  std::unique_ptr<platform::Bitmap> quantized;  // released on every path
  if (bits > 8) {
    bits = 8;
    platform::Status s = QuantizeToBitmap(image, 256, quantized);
    if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
    source = quantized.get();
  }

  const std::vector<PaletteRecord> palette = PaletteRecordsFromArgb(source->GetPalette().entries);
  // The entry that is itself transparent, not the first one that shares its colour: palettes
  // may repeat a colour in an opaque entry.
  int32_t transparentIndex = -1;
  for (size_t i = 0; i < palette.size(); ++i)
    if (palette[i].alpha == 0) transparentIndex = static_cast<int32_t>(i);

  std::vector<uint8_t> pixels;
  platform::Status s = ReadWholeBitmap(*source, IndexedFormatFor(bits), pixels);
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);

  GifImage gif;
  gif.width = source->Width();
  gif.height = source->Height();
  gif.bits = bits;
  gif.pixels = &pixels;
  gif.palette = &palette;
  gif.interlaced = true;
  gif.transparentIndex = transparentIndex;
  return WriteGIF89a(gif, path) ? OK : GenericError;
}

}  // namespace tessivo
