#include <algorithm>

#include "codecs.h"
#include "file_type.h"

namespace tvimg {

BitmapPtr LoadFromMemory(int32_t format, const uint8_t* data, size_t size) {
  if (!data || size == 0) return nullptr;
  if (format == TVIMG_UNKNOWN) {
    const size_t tail = std::min<size_t>(size, 26);
    format = FormatFromSignature(data, std::min(size, kSignatureBytes), data + size - tail, tail, size);
  }
  switch (format) {
    case TVIMG_JPEG:
      return LoadJpeg(data, size);
    case TVIMG_TIFF: {
      TiffDocument* document = OpenTiff(data, size);
      BitmapPtr page = LoadTiffPage(document, 0);
      CloseTiff(document);
      return page;
    }
    case TVIMG_KOALA:
      return LoadKoala(data, size);
    default:
      return LoadWithMagick(format, data, size);
  }
}

}  // namespace tvimg
