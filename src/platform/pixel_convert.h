// Row conversion between any two of the 14 pixel formats.
//
// Rules: 48/64-bit formats hold 16-bit sRGB-encoded channels (8-bit v <-> v*257, back with
// rounding); colour to grey uses the Rec. 601 luma weights (0.299, 0.587, 0.114); alpha is
// dropped (not composited) when the target has none; premultiplied formats are converted
// exactly both ways, rounding to nearest; 5- and 6-bit channels expand by bit replication and
// narrow by rounding; indexed sources read through their palette, indexed targets take the
// nearest palette entry. Conversions run through an 8-bit ARGB intermediate, or a 16-bit one
// when either side has 16-bit channels, with direct loops for the common pairs.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/palette_mapper.h"
#include "platform/pixel_format.h"

namespace tessivo::platform {

// Bytes holding `width` pixels of a row, without padding.
int64_t RowBytes(PixelFormat format, int32_t width);

class PixelConverter {
 public:
  // The palettes belong to the indexed side(s) and are copied; an index beyond a source
  // palette reads as opaque black.
  PixelConverter(PixelFormat from, std::span<const uint32_t> fromPalette, PixelFormat to,
                 std::span<const uint32_t> toPalette);
  ~PixelConverter();

  // Converts `count` pixels starting at pixel `srcX` of `src` into `dst` from pixel `dstX`.
  // Pixels of `dst` outside the range are left untouched (also in packed formats).
  void ConvertRow(const uint8_t* src, int32_t srcX, uint8_t* dst, int32_t dstX, int32_t count);

 private:
  enum class Path;
  void ConvertChunk(const uint8_t* src, int32_t srcX, uint8_t* dst, int32_t dstX, int32_t count);

  PixelFormat from_;
  PixelFormat to_;
  Path path_;
  bool wide_ = false;
  uint32_t fromLut_[256];   // source palette (ARGB), padded with opaque black
  uint32_t targetLut_[256]; // source palette already encoded in the 32-bit target format
  std::unique_ptr<NearestPaletteMapper> mapper_;
  std::vector<uint32_t> scratch32_;
  std::vector<uint16_t> scratch64_;
};

// One pixel as 8-bit ARGB, and one direct-format pixel from 8-bit ARGB.
uint32_t ReadPixelArgb(PixelFormat format, const uint8_t* row, int32_t x,
                       std::span<const uint32_t> palette);
void WritePixelArgb(PixelFormat format, uint8_t* row, int32_t x, uint32_t argb);

}  // namespace tessivo::platform
