// The palettes blank indexed bitmaps start with.
#include "platform/bitmap.h"

namespace tessivo::platform {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// The 16 VGA colours in the order the 4 bpp palette (and the head of the halftone palette)
// lists them: the eight dark colours with bit 0 red, bit 1 green, bit 2 blue (index 7 is the
// dark grey), then light grey, then the bright colours by the same bits.
void AppendVgaColours(std::vector<uint32_t>& out) {
  for (uint32_t i = 0; i < 8; ++i) {
    uint32_t c = kOpaque;
    if (i & 1) c |= 0x800000;
    if (i & 2) c |= 0x008000;
    if (i & 4) c |= 0x000080;
    out.push_back(c);
  }
  out.push_back(kOpaque | 0xC0C0C0);
  for (uint32_t i = 1; i < 8; ++i) {
    uint32_t c = kOpaque;
    if (i & 1) c |= 0xFF0000;
    if (i & 2) c |= 0x00FF00;
    if (i & 4) c |= 0x0000FF;
    out.push_back(c);
  }
}

// Halftone layout: the 16 VGA colours, 24 unused entries (opaque black), then the 6x6x6 cube
// on the levels 0x00, 0x33, ..., 0xFF with blue varying fastest and red slowest.
std::vector<uint32_t> HalftoneEntries() {
  static constexpr uint32_t kLevels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
  std::vector<uint32_t> entries;
  entries.reserve(256);
  AppendVgaColours(entries);
  while (entries.size() < 40) entries.push_back(kOpaque);
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        entries.push_back(kOpaque | kLevels[r] << 16 | kLevels[g] << 8 | kLevels[b]);
      }
    }
  }
  return entries;
}

}  // namespace

Palette DefaultPalette(PixelFormat f) {
  Palette p;
  if (f == kPixelFormat1bppIndexed) {
    p.flags = PaletteFlagsGrayScale;
    p.entries = {kOpaque, 0xFFFFFFFFu};
  } else if (f == kPixelFormat4bppIndexed) {
    AppendVgaColours(p.entries);
  } else if (f == kPixelFormat8bppIndexed) {
    p.flags = PaletteFlagsHalftone;
    p.entries = HalftoneEntries();
  }
  return p;
}

}  // namespace tessivo::platform
