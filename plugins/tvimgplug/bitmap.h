// The plug-in's image: pixel rows bottom-up (the first row in memory is the bottom row of the
// picture), each padded to 4 bytes, with palette, transparency table, resolution, metadata and
// the GIF frame attributes a writer needs.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixel_buffer.h"
#include "tessivo/plugins/tvimgplug.h"

namespace tvimg {

// One metadata item: a property tag (EXIF) or an IPTC dataset, with its value bytes
// (little-endian for numbers).
struct MetadataItem {
  uint32_t id = 0;
  uint16_t type = 0;
  std::vector<uint8_t> value;
};

// Limits every decoder checks before it allocates pixels, so that a hostile header cannot ask
// for more memory than an honest picture needs.
inline constexpr uint32_t kMaxDimension = 1u << 17;           // pixels per side
inline constexpr uint64_t kMaxPixelBytes = uint64_t{3} << 30;  // bytes of one bitmap

}  // namespace tvimg

struct tvimg_bitmap {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bpp = 0;    // bits per pixel: 1, 4, 8, 24, 32 (BITMAP), 16 (UINT16), 48, 64 (RGB16,
                       // RGBA16), 96, 128 (RGBF, RGBAF)
  uint32_t pitch = 0;  // bytes per row, a multiple of 4
  int32_t type = TVIMG_TYPE_BITMAP;
  tvimg::PixelBuffer bits;
  std::array<uint8_t, 1024> palette{};  // blue, green, red, 0 per entry
  std::vector<uint8_t> transparency;    // alpha per palette entry; empty when opaque
  bool cmykSource = false;              // pixels were converted from CMYK samples
  bool minIsWhite = false;              // 1-bit: index 0 is white (fax convention)
  uint32_t dotsPerMeterX = 0;           // 0 when the file gave none
  uint32_t dotsPerMeterY = 0;
  std::vector<tvimg::MetadataItem> exif;
  std::vector<tvimg::MetadataItem> iptc;
  std::vector<uint8_t> iccProfile;
  int32_t frameDelayMs = -1;  // GIF frame attributes for writers; -1: not set
  int32_t frameDisposal = -1;
  int32_t loopCount = -1;
};

namespace tvimg {

using BitmapPtr = std::unique_ptr<tvimg_bitmap>;

// Bytes per row of `width` pixels of `bpp` bits, padded to 4; 0 when it would overflow.
uint32_t PitchFor(uint32_t width, uint32_t bpp);

// A zeroed bitmap of the given type and depth, or null when the size is unreasonable (zero, over
// the limits above) or memory runs out. Indexed bitmaps get a grey ramp palette.
BitmapPtr AllocateBitmap(uint32_t width, uint32_t height, uint32_t bpp,
                         int32_t type = TVIMG_TYPE_BITMAP);

// Number of palette entries a bitmap of `bpp` bits has (2, 16, 256; 0 above 8 bits).
uint32_t PaletteSize(uint32_t bpp);

// Sets palette entry `index` (ARGB is split into the BGR0 entry and, when the alpha is not
// opaque, the transparency table).
void SetPaletteEntry(tvimg_bitmap& bitmap, uint32_t index, uint8_t red, uint8_t green,
                     uint8_t blue);

// The photometric interpretation (TvimgColorType) of a bitmap, judged from its contents.
int32_t ColorTypeOf(const tvimg_bitmap& bitmap);

// Row `y` counted from the top of the picture.
inline uint8_t* TopRow(tvimg_bitmap& b, uint32_t y) {
  return b.bits.data() + static_cast<size_t>(b.height - 1 - y) * b.pitch;
}
inline const uint8_t* TopRow(const tvimg_bitmap& b, uint32_t y) {
  return b.bits.data() + static_cast<size_t>(b.height - 1 - y) * b.pitch;
}

// Copies the attributes that travel with pixels (resolution, metadata, profile, GIF frame
// attributes, CMYK origin) from one bitmap to a converted one.
void CopyAttributes(const tvimg_bitmap& from, tvimg_bitmap& to);

}  // namespace tvimg
