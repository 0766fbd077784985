// ICO/CUR decoding: the largest, deepest image of the directory, stored as a DIB with its
// AND mask or as an embedded PNG, always delivered as 32bppARGB.
#include <cstring>

#include "platform/codecs/decoders.h"

namespace tessivo::platform::codecs {

namespace {

struct IconEntry {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  uint32_t size = 0;
  uint32_t offset = 0;
};

}  // namespace

Status DecodeIco(const uint8_t* data, size_t size, std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (size < 6 || ReadLe16(data) != 0) return Status::UnknownImageFormat;
  uint16_t type = ReadLe16(data + 2);
  uint16_t count = ReadLe16(data + 4);
  if ((type != 1 && type != 2) || count == 0) return Status::UnknownImageFormat;
  // The best image: largest area first, then most bits per pixel. Entries whose data lies
  // outside the file are skipped.
  IconEntry best;
  bool found = false;
  for (uint16_t i = 0; i < count; ++i) {
    size_t at = 6 + 16 * static_cast<size_t>(i);
    if (at + 16 > size) break;
    const uint8_t* e = data + at;
    IconEntry entry;
    entry.width = e[0] == 0 ? 256 : e[0];
    entry.height = e[1] == 0 ? 256 : e[1];
    entry.bitCount = type == 1 ? ReadLe16(e + 6) : 0;
    entry.size = ReadLe32(e + 8);
    entry.offset = ReadLe32(e + 12);
    if (entry.offset >= size || entry.size == 0 || entry.size > size - entry.offset) continue;
    int64_t area = int64_t{entry.width} * entry.height;
    int64_t bestArea = int64_t{best.width} * best.height;
    if (!found || area > bestArea || (area == bestArea && entry.bitCount > best.bitCount)) {
      best = entry;
      found = true;
    }
  }
  if (!found) return Status::UnknownImageFormat;
  const uint8_t* image = data + best.offset;
  std::unique_ptr<Bitmap> decoded;
  static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Status s;
  if (best.size >= 8 && std::memcmp(image, kPngSignature, 8) == 0) {
    s = DecodePng(image, best.size, false, decoded);
    if (s == Status::Ok && decoded->Format() != kPixelFormat32bppARGB) {
      std::unique_ptr<Bitmap> argb;
      Rect all{0, 0, decoded->Width(), decoded->Height()};
      s = decoded->CloneArea(all, kPixelFormat32bppARGB, argb);
      decoded = std::move(argb);
    }
  } else {
    s = DecodeDib(image, best.size, true, decoded);
  }
  if (s != Status::Ok) return s;
  decoded->SetResolution(96.0f, 96.0f);
  decoded->SetFlags(0);
  while (!decoded->Properties().empty()) decoded->RemoveProperty(decoded->Properties()[0].id);
  FinishDecodedBitmap(*decoded, RawFormat::Icon, ImageFlagsColorSpaceRGB);
  out = std::move(decoded);
  return Status::Ok;
}

}  // namespace tessivo::platform::codecs
