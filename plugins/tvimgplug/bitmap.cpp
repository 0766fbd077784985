#include "bitmap.h"

#include <new>

namespace tvimg {

uint32_t PitchFor(uint32_t width, uint32_t bpp) {
  const uint64_t bytes = ((uint64_t{width} * bpp + 31) / 32) * 4;
  return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}

uint32_t PaletteSize(uint32_t bpp) { return bpp <= 8 ? (1u << bpp) : 0; }

BitmapPtr AllocateBitmap(uint32_t width, uint32_t height, uint32_t bpp, int32_t type) {
  if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return nullptr;
  const uint32_t pitch = PitchFor(width, bpp);
  if (pitch == 0 || uint64_t{pitch} * height > kMaxPixelBytes) return nullptr;
  BitmapPtr bitmap(new (std::nothrow) tvimg_bitmap);
  if (!bitmap) return nullptr;
  if (!bitmap->bits.Allocate(static_cast<size_t>(pitch) * height)) return nullptr;
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bpp = bpp;
  bitmap->pitch = pitch;
  bitmap->type = type;
  const uint32_t entries = type == TVIMG_TYPE_BITMAP ? PaletteSize(bpp) : 0;
  for (uint32_t i = 0; i < entries; ++i) {
    const auto v = static_cast<uint8_t>(i * 255 / (entries - 1));
    SetPaletteEntry(*bitmap, i, v, v, v);
  }
  return bitmap;
}

void SetPaletteEntry(tvimg_bitmap& bitmap, uint32_t index, uint8_t red, uint8_t green,
                     uint8_t blue) {
  if (index >= 256) return;
  uint8_t* e = bitmap.palette.data() + 4 * index;
  e[0] = blue;
  e[1] = green;
  e[2] = red;
  e[3] = 0;
}

namespace {

bool IsGreyRamp(const tvimg_bitmap& b, bool descending) {
  const uint32_t n = PaletteSize(b.bpp);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t expect = (descending ? n - 1 - i : i) * 255 / (n - 1);
    const uint8_t* e = b.palette.data() + 4 * i;
    if (e[0] != expect || e[1] != expect || e[2] != expect) return false;
  }
  return true;
}

bool HasTranslucentPixel(const tvimg_bitmap& b) {
  for (uint32_t y = 0; y < b.height; ++y) {
    const uint8_t* row = b.bits.data() + static_cast<size_t>(y) * b.pitch;
    for (uint32_t x = 0; x < b.width; ++x)
      if (row[4 * x + 3] != 0xFF) return true;
  }
  return false;
}

}  // namespace

int32_t ColorTypeOf(const tvimg_bitmap& b) {
  if (b.cmykSource) return TVIMG_CMYK;
  switch (b.type) {
    case TVIMG_TYPE_BITMAP:
      if (b.bpp <= 8) {
        if (b.bpp == 1 && b.minIsWhite) return TVIMG_MINISWHITE;
        if (!b.transparency.empty()) return TVIMG_PALETTE;
        if (IsGreyRamp(b, false)) return TVIMG_MINISBLACK;
        if (IsGreyRamp(b, true)) return TVIMG_MINISWHITE;
        return TVIMG_PALETTE;
      }
      if (b.bpp == 32) return HasTranslucentPixel(b) ? TVIMG_RGBALPHA : TVIMG_RGB;
      return TVIMG_RGB;
    case TVIMG_TYPE_RGBA16:
    case TVIMG_TYPE_RGBAF:
      return TVIMG_RGBALPHA;
    case TVIMG_TYPE_RGB16:
    case TVIMG_TYPE_RGBF:
      return TVIMG_RGB;
    default:
      return TVIMG_MINISBLACK;
  }
}

void CopyAttributes(const tvimg_bitmap& from, tvimg_bitmap& to) {
  to.dotsPerMeterX = from.dotsPerMeterX;
  to.dotsPerMeterY = from.dotsPerMeterY;
  to.exif = from.exif;
  to.iptc = from.iptc;
  to.iccProfile = from.iccProfile;
  to.frameDelayMs = from.frameDelayMs;
  to.frameDisposal = from.frameDisposal;
  to.loopCount = from.loopCount;
  to.cmykSource = from.cmykSource;
}

}  // namespace tvimg
