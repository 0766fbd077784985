// The codec plug-in's load path on arbitrary bytes: format detection, every decoder (libjpeg,
// libtiff, ImageMagick, Koala), the metadata parsers and the conversions the toolkit applies to
// decoded bitmaps.
#include <cstddef>
#include <cstdint>

#include "codecs.h"
#include "conversions.h"
#include "file_type.h"
#include "metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks a decoder, so formats without a signature are reached too.
  if (size < 2) return 0;
  const int32_t forced = static_cast<int32_t>(data[0] % 37) - 1;
  data += 1;
  size -= 1;
  tvimg::ParseExif(data, size);
  tvimg::ParseIptc(data, size);
  tvimg::IptcFromPhotoshopResources(data, size);
  tvimg::BitmapPtr bitmap = tvimg::LoadFromMemory(forced, data, size);
  if (!bitmap) return 0;
  tvimg::ColorTypeOf(*bitmap);
  if (bitmap->width <= 512 && bitmap->height <= 512) {
    tvimg::ConvertTo32Bits(*bitmap);
    tvimg::ToneMapReinhard05(*bitmap, 0, 0);
  }
  return 0;
}
