// Helpers shared by the decoders and encoders (internal to the codec layer).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/status.h"
#include "platform/stream.h"

namespace tessivo::platform::codecs {

// An encoded file held in memory. Its buffer is not zero-filled first: a decode of a large
// file then touches its bytes once (the read) instead of twice.
class EncodedBytes {
 public:
  static std::shared_ptr<const EncodedBytes> Copy(const uint8_t* data, size_t size);
  // The stream from its current position to its end.
  static Status Read(Stream& stream, std::shared_ptr<const EncodedBytes>& out);
  static Status ReadFile(const std::string& path, std::shared_ptr<const EncodedBytes>& out);

  const uint8_t* data() const { return bytes_.get(); }
  size_t size() const { return size_; }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  size_t size_ = 0;
};

// Encoded bytes shared between a decoded bitmap's frame source and the decoder.
using SharedBytes = std::shared_ptr<const EncodedBytes>;

// Largest pixel buffer a decoder creates: kMaxPixelBytes unless lowered (the fuzz targets
// lower it so that a forged header cannot make them allocate gigabytes).
int64_t DecodePixelLimit();
void SetDecodePixelLimit(int64_t bytes);

// A zero-filled bitmap for decoded pixels, after checking the dimensions a file declares:
// a width or height below 1 or above 2^31 - 1: UnknownImageFormat; more pixel bytes than
// DecodePixelLimit(): OutOfMemory.
Status NewDecodedBitmap(int64_t width, int64_t height, PixelFormat format,
                        std::unique_ptr<Bitmap>& out);

// Bytes a row of `width` pixels of `bitsPerPixel` occupies without padding, or -1 on overflow.
int64_t PackedRowBytes(int64_t width, int bitsPerPixel);

// The grey ramp palette of `entries` (2, 16 or 256) entries, flagged grey-scale.
Palette GreyRampPalette(int entries);
// True when `palette` has 256 entries and entry i is the opaque grey (i, i, i).
bool IsGreyRamp256(const Palette& palette);

// Resolution from a file: positive finite values become the bitmap's resolution and set
// ImageFlagsHasRealDPI; anything else keeps the default 96 dpi. Returns whether it applied.
bool ApplyFileResolution(Bitmap& image, double dpiX, double dpiY);

// The flags and raw format every decoded bitmap gets: the colour-space bit, real pixel size,
// read-only, alpha flags read off the pixels and palette (ImageFlagsHasRealDPI is kept).
void FinishDecodedBitmap(Bitmap& image, RawFormat format, uint32_t colorSpaceFlag);

// Adds a property item (type and raw little-endian value bytes).
void AddProperty(Bitmap& image, uint32_t id, uint16_t type, const void* data, size_t size);
void AddAsciiProperty(Bitmap& image, uint32_t id, const std::string& text);

// The bitmap's pixels in `format`: `view` points at `image` itself when it already has that
// format, else at a converted copy kept in `holder`.
Status PixelsInFormat(const Bitmap& image, PixelFormat format, std::unique_ptr<Bitmap>& holder,
                      const Bitmap*& view);

// Little-endian and big-endian reads from a byte buffer (the caller checks bounds).
inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t ReadBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t ReadBe32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline void WriteLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace tessivo::platform::codecs
