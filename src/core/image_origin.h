// What an image was made from, and so what must be released with it.
#pragma once
#include <cstdint>

namespace tessivo {

enum ImageOrigin : int32_t {
  OriginMemory = 0,        // clones, areas, conversions, metafiles, streams, page containers
  OriginGlobalMemory = 2,  // decoded from a memory block handed over to the toolkit (scans)
  OriginCodecBitmap = 3,   // decoded by the codec plug-in
  OriginHBitmap = 4,
  OriginHIcon = 5,
  OriginFile = 6,          // files decoded by the platform
  OriginThumbnail = 7,     // thumbnails, new images and bitmaps over a caller's buffer
  OriginCodecPage = 8,     // one locked page of a codec plug-in document
  OriginOwnedBuffer = 9,   // bitmaps over a pixel buffer allocated for them
};

}  // namespace tessivo
