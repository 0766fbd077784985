// Moving pixels between the codec plug-in's bitmaps and platform bitmaps. Codec bitmaps store
// their rows bottom-up; platform bitmaps top-down. Both conversions copy, so a platform bitmap
// never depends on memory the plug-in owns.
#pragma once
#include <memory>
#include <string>

#include "core/codec_plugin.h"
#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

// Owns one codec bitmap and unloads it when it goes.
class CodecBitmap {
 public:
  explicit CodecBitmap(const TvimgplugApi& codec, tvimg_bitmap* bitmap = nullptr)
      : codec_(&codec), bitmap_(bitmap) {}
  ~CodecBitmap() { reset(); }
  CodecBitmap(CodecBitmap&& other) noexcept : codec_(other.codec_), bitmap_(other.release()) {}
  CodecBitmap& operator=(CodecBitmap&& other) noexcept {
    if (this != &other) {
      reset(other.release());
      codec_ = other.codec_;
    }
    return *this;
  }
  CodecBitmap(const CodecBitmap&) = delete;
  CodecBitmap& operator=(const CodecBitmap&) = delete;

  tvimg_bitmap* get() const { return bitmap_; }
  explicit operator bool() const { return bitmap_ != nullptr; }
  tvimg_bitmap* release() {
    tvimg_bitmap* b = bitmap_;
    bitmap_ = nullptr;
    return b;
  }
  void reset(tvimg_bitmap* bitmap = nullptr) {
    if (bitmap_) codec_->Unload(bitmap_);
    bitmap_ = bitmap;
  }

 private:
  const TvimgplugApi* codec_;
  tvimg_bitmap* bitmap_;
};

// The toolkit's name of a codec format number ("JPEG", "TARGA", ...); "" for numbers outside
// the table.
std::string CodecFormatName(int32_t format);

// Copies a codec bitmap into a new platform bitmap: indexed images keep their palette (1-bit
// min-is-white images are inverted to min-is-black), 8-bit images with a transparency table
// become 32-bit ARGB, 16-bit grey becomes 8-bit grey, 16-bit-per-channel and floating-point
// images are tone-mapped to 24 bits. Metadata becomes property items; the resolution comes
// from the metadata, or from the bitmap when the metadata says 72 x 72 and the bitmap differs.
// More than 64 bits per pixel: UnknownImageFormat.
//
// With `sharesPixels`, a 24- or 32-bit bitmap that needs no conversion is not copied: the
// platform bitmap is made over the codec's rows (bottom-up, so with a negative stride) and
// *sharesPixels is set; the caller must then keep `source` loaded as long as the platform bitmap
// lives. Saves a copy and fresh memory for every large photograph.
TessivoStatus FromCodecBitmap(const TvimgplugApi& codec, tvimg_bitmap* source,
                              std::unique_ptr<platform::Bitmap>& out,
                              bool* sharesPixels = nullptr);

// Copies a platform bitmap into a new codec bitmap: 1/4/8-bit indexed keep their depth and
// palette, 32bppARGB/PARGB and 64-bit formats become 32-bit with alpha, every other format
// 24 bits. Resolution and property items go along.
TessivoStatus ToCodecBitmap(const TvimgplugApi& codec, const platform::Bitmap& source,
                            CodecBitmap& out);

}  // namespace tessivo
