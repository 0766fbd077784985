// Koala Painter pictures (Commodore 64 multicolour bitmaps), which ImageMagick does not read:
// 2 bytes of load address, 8000 bytes of bitmap, 1000 of screen colours, 1000 of colour RAM
// and one background colour. 160 x 200 double-wide pixels become a 320 x 200 indexed image.
#include "codecs.h"

namespace tvimg {
namespace {

constexpr size_t kKoalaSize = 10003;
constexpr uint32_t kC64Palette[16] = {
    0x000000, 0xFFFFFF, 0x68372B, 0x70A4B2, 0x6F3D86, 0x588D43, 0x352879, 0xB8C76F,
    0x6F4F25, 0x433900, 0x9A6759, 0x444444, 0x6C6C6C, 0x9AD284, 0x6C5EB5, 0x959595};

}  // namespace

BitmapPtr LoadKoala(const uint8_t* data, size_t size) {
  if (!data || size != kKoalaSize) return nullptr;
  const uint8_t* bitmap = data + 2;
  const uint8_t* screen = data + 8002;
  const uint8_t* colour = data + 9002;
  const uint8_t background = data[10002] & 0x0F;
  BitmapPtr b = AllocateBitmap(320, 200, 8);
  if (!b) return nullptr;
  for (uint32_t i = 0; i < 16; ++i)
    SetPaletteEntry(*b, i, static_cast<uint8_t>(kC64Palette[i] >> 16),
                    static_cast<uint8_t>(kC64Palette[i] >> 8), static_cast<uint8_t>(kC64Palette[i]));
  for (uint32_t i = 16; i < 256; ++i) SetPaletteEntry(*b, i, 0, 0, 0);
  for (uint32_t y = 0; y < 200; ++y) {
    uint8_t* row = TopRow(*b, y);
    for (uint32_t cell = 0; cell < 40; ++cell) {
      const uint32_t cellIndex = (y / 8) * 40 + cell;
      const uint8_t bits = bitmap[cellIndex * 8 + y % 8];
      for (uint32_t p = 0; p < 4; ++p) {
        const uint32_t code = (bits >> (6 - 2 * p)) & 3;
        const uint8_t value = code == 0   ? background
                              : code == 1 ? static_cast<uint8_t>(screen[cellIndex] >> 4)
                              : code == 2 ? static_cast<uint8_t>(screen[cellIndex] & 0x0F)
                                          : static_cast<uint8_t>(colour[cellIndex] & 0x0F);
        row[cell * 8 + p * 2] = value;
        row[cell * 8 + p * 2 + 1] = value;
      }
    }
  }
  return b;
}

}  // namespace tvimg
