// libFuzzer target: metadata written by the encoders. The input is a list of property items
// (id, type, value) and a tag text; the items go onto a small image, which is saved as JPEG,
// PNG and TIFF. Whatever an encoder accepts must decode again: an encoder that writes a file
// its own decoder refuses has corrupted the file.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "formats/tag_value_parse.h"
#include "platform/codecs/codecs.h"

namespace {

using namespace tessivo::platform;

// Every tag id of the EXIF, GPS and thumbnail IFDs the decoders read is in 0..0xFFFF; the ids
// below are drawn from there, with a bias towards the ones that point to sub-IFDs or carry
// offsets, which are the risky ones to write.
uint32_t DrawTagId(uint8_t selector, uint16_t raw) {
  static constexpr uint32_t kRisky[] = {0x8769, 0x8825, 0xA005, 0x0201, 0x0202, 0x0111,
                                        0x0117, 0x927C, 0x9286, 0x8773, 0x0132, 0x010F};
  if (selector < 96) return kRisky[selector % (sizeof kRisky / sizeof kRisky[0])];
  return raw;
}

void CheckRoundTrip(const Bitmap& image, const char* clsid) {
  MemoryStream out;
  if (EncodeImageStream(image, out, clsid) != Status::Ok) return;
  std::unique_ptr<Bitmap> back;
  const auto& bytes = out.Bytes();
  if (DecodeImageMemory(bytes.data(), bytes.size(), false, back) != Status::Ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<Bitmap> image;
  if (Bitmap::Create(9, 5, kPixelFormat24bppRGB, image) != Status::Ok) return 0;
  size_t at = 0;
  // Items: selector, id (2 bytes), type, length, then `length` value bytes; at most 24 items.
  for (int items = 0; items < 24 && at + 5 <= size; ++items) {
    uint8_t selector = data[at];
    uint16_t raw = static_cast<uint16_t>(data[at + 1] | data[at + 2] << 8);
    PropertyItem item;
    item.id = DrawTagId(selector, raw);
    item.type = static_cast<uint16_t>(data[at + 3] % 12);
    size_t length = data[at + 4];
    at += 5;
    if (length > size - at) length = size - at;
    item.value.assign(data + at, data + at + length);
    at += length;
    image->SetProperty(item);
  }
  // The rest is a tag written as text, as scripts write them.
  if (at + 2 <= size) {
    PropertyItem parsed;
    std::string_view text(reinterpret_cast<const char*>(data + at + 2), size - at - 2);
    uint32_t id = DrawTagId(data[at], static_cast<uint16_t>(data[at + 1] * 257));
    if (tessivo::ParseTagText(id, data[at + 1] % 12, text, parsed)) image->SetProperty(parsed);
  }
  for (const auto& codec : ImageEncoders()) {
    if (codec.format == RawFormat::JPEG || codec.format == RawFormat::PNG ||
        codec.format == RawFormat::TIFF)
      CheckRoundTrip(*image, codec.clsid.c_str());
  }
  return 0;
}
