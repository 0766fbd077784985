// BMP encoding: indexed formats with their palette, 16-bit RGB555/565 as stored, 24 and
// 32-bit as stored; alpha formats with a version 4 header whose masks include alpha. Formats
// BMP cannot hold (16-bit grey, 48/64-bit, premultiplied) are converted first.
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/encoders.h"

namespace tessivo::platform::codecs {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

PixelFormat StoredFormat(PixelFormat f) {
  switch (f) {
    case kPixelFormat1bppIndexed:
    case kPixelFormat4bppIndexed:
    case kPixelFormat8bppIndexed:
    case kPixelFormat16bppRGB555:
    case kPixelFormat16bppRGB565:
    case kPixelFormat16bppARGB1555:
    case kPixelFormat24bppRGB:
    case kPixelFormat32bppRGB:
    case kPixelFormat32bppARGB:
      return f;
    case kPixelFormat16bppGrayScale:
    case kPixelFormat48bppRGB:
      return kPixelFormat24bppRGB;
    default:
      return kPixelFormat32bppARGB;  // premultiplied and 64-bit formats
  }
}

int32_t PixelsPerMeter(float dpi) {
  double v = std::round(dpi / 0.0254);
  return v > 0 && v < 2147483647.0 ? static_cast<int32_t>(v) : 0;
}

}  // namespace

Status EncodeBmp(const Bitmap& source, Stream& out) {
  std::unique_ptr<Bitmap> holder;
  const Bitmap* image = nullptr;
  Status s = PixelsInFormat(source, StoredFormat(source.Format()), holder, image);
  if (s != Status::Ok) return s;
  const PixelFormat f = image->Format();
  const int bits = BitsPerPixel(f);
  const bool alphaMasks = f == kPixelFormat32bppARGB || f == kPixelFormat16bppARGB1555;
  const bool masks = alphaMasks || f == kPixelFormat16bppRGB565;
  const uint32_t headerSize = alphaMasks ? 108 : 40;
  const uint32_t maskBytes = masks && !alphaMasks ? 12 : 0;  // a version 4 header holds them
  const uint32_t paletteEntries = IsIndexed(f) ? static_cast<uint32_t>(PaletteCapacity(f)) : 0;
  const int64_t rowBytes = PackedRowBytes(image->Width(), bits);
  const int64_t stride = (rowBytes + 3) & ~int64_t{3};
  const int64_t pixelBytes = stride * image->Height();
  const uint32_t pixelOffset = 14 + headerSize + maskBytes + paletteEntries * 4;
  if (pixelOffset + pixelBytes > 0xFFFFFFFFll) return Status::ValueOverflow;

  std::vector<uint8_t> head(pixelOffset, 0);
  uint8_t* h = head.data();
  h[0] = 'B';
  h[1] = 'M';
  WriteLe32(h + 2, static_cast<uint32_t>(pixelOffset + pixelBytes));
  WriteLe32(h + 10, pixelOffset);
  uint8_t* info = h + 14;
  WriteLe32(info, headerSize);
  WriteLe32(info + 4, static_cast<uint32_t>(image->Width()));
  WriteLe32(info + 8, static_cast<uint32_t>(image->Height()));  // bottom-up rows
  WriteLe16(info + 12, 1);
  WriteLe16(info + 14, static_cast<uint16_t>(bits));
  WriteLe32(info + 16, masks ? kBiBitfields : kBiRgb);
  WriteLe32(info + 20, static_cast<uint32_t>(pixelBytes));
  WriteLe32(info + 24, static_cast<uint32_t>(PixelsPerMeter(image->HorizontalResolution())));
  WriteLe32(info + 28, static_cast<uint32_t>(PixelsPerMeter(image->VerticalResolution())));
  WriteLe32(info + 32, paletteEntries);
  if (masks) {
    uint32_t m[4] = {0xF800, 0x07E0, 0x001F, 0};
    if (f == kPixelFormat32bppARGB) {
      m[0] = 0x00FF0000; m[1] = 0x0000FF00; m[2] = 0x000000FF; m[3] = 0xFF000000;
    } else if (f == kPixelFormat16bppARGB1555) {
      m[0] = 0x7C00; m[1] = 0x03E0; m[2] = 0x001F; m[3] = 0x8000;
    }
    uint8_t* at = info + 40;
    for (int i = 0; i < (alphaMasks ? 4 : 3); ++i) WriteLe32(at + 4 * i, m[i]);
    if (alphaMasks) std::memcpy(info + 56, "BGRs", 4);  // LCS_sRGB, stored little-endian
  }
  if (paletteEntries > 0) {
    const Palette& palette = image->GetPalette();
    uint8_t* at = h + 14 + headerSize + maskBytes;
    for (uint32_t i = 0; i < paletteEntries; ++i) {
      uint32_t c = i < palette.entries.size() ? palette.entries[i] : 0xFF000000u;
      at[4 * i + 0] = static_cast<uint8_t>(c);
      at[4 * i + 1] = static_cast<uint8_t>(c >> 8);
      at[4 * i + 2] = static_cast<uint8_t>(c >> 16);
      at[4 * i + 3] = 0;
    }
  }
  s = out.Write(head.data(), head.size());
  if (s != Status::Ok) return s;
  std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
  for (int32_t y = image->Height() - 1; y >= 0; --y) {
    std::memcpy(row.data(), image->Row(y), static_cast<size_t>(rowBytes));
    s = out.Write(row.data(), row.size());
    if (s != Status::Ok) return s;
  }
  return Status::Ok;
}

}  // namespace tessivo::platform::codecs
