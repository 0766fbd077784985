// The JPEG file a single image was loaded from, for printing it as its own stream. A load
// records the file (size, modification time, a hash of its bytes) and a hash of the decoded
// pixels, but only when the loader gave exactly the plain decode of the stream: grey or YCbCr
// colour, no colour-profile conversion, no orientation to apply. Whether the image still is
// that decode is decided by hashing its pixels again, never by change flags: pixels can be
// written in place by many operations and through raw pointers handed to callers.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/bitmap.h"
#include "platform/print/encoded_image.h"

namespace tessivo {

struct ImageEntry;

struct JpegSourceRecord {
  std::string path;
  uint64_t fileSize = 0;
  int64_t modifiedNs = 0;
  uint64_t fileHash = 0;
  uint64_t pixelHash = 0;
};

// Records the source of the single image in `entry`, just loaded from `path` (with colour
// management when `icm`), when its pixels are the stream's plain decode; leaves the entry
// without a record otherwise.
void RecordJpegSource(ImageEntry& entry, const std::string& path, bool icm);

// The stream of the recorded file when the file and the pixels of `image` (the entry's image)
// are both unchanged since the load; nothing otherwise.
std::optional<platform::EncodedImage> UnchangedJpegSource(const ImageEntry& entry, const platform::Bitmap& image);

// Hash of what makes up the pixels of `image`: size, format, palette and each row's pixel
// bytes (not the padding at the row ends).
uint64_t PixelContentHash(const platform::Bitmap& image);

}  // namespace tessivo
