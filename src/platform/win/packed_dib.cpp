#include "platform/win/packed_dib.h"

#include <cmath>
#include <cstring>

#include "platform/win/gdi_objects.h"

namespace tessivo::platform::win {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitFields = 3;

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

int32_t PixelsPerMetre(float dpi) {
  if (!(dpi > 0) || dpi > 1e6f) return 0;
  return static_cast<int32_t>(std::lround(dpi / 0.0254));
}

}  // namespace

Status PackDib(const Bitmap& image, std::vector<uint8_t>& out) {
  const PixelFormat format = DibFormatOf(image.Format());
  std::unique_ptr<Bitmap> converted;
  const Bitmap* src = &image;
  if (format != image.Format()) {
    Status s = image.CloneArea(Rect{0, 0, image.Width(), image.Height()}, format, converted);
    if (s != Status::Ok) return s;
    src = converted.get();
  }
  const int bits = BitsPerPixel(format);
  const size_t colors = IsIndexed(format) ? size_t{1} << bits : 0;
  const bool bitFields = format == kPixelFormat16bppRGB565;
  const size_t tableBytes = colors * 4 + (bitFields ? 12 : 0);
  const size_t rowBytes = (static_cast<size_t>(src->Width()) * bits + 31) / 32 * 4;
  const size_t pixelBytes = rowBytes * static_cast<size_t>(src->Height());
  out.assign(kBitmapInfoHeaderSize + tableBytes + pixelBytes, 0);

  Put32(out, 0, kBitmapInfoHeaderSize);
  Put32(out, 4, static_cast<uint32_t>(src->Width()));
  Put32(out, 8, static_cast<uint32_t>(src->Height()));
  Put16(out, 12, 1);
  Put16(out, 14, static_cast<uint16_t>(bits));
  Put32(out, 16, bitFields ? kBiBitFields : kBiRgb);
  Put32(out, 20, static_cast<uint32_t>(pixelBytes));
  Put32(out, 24, static_cast<uint32_t>(PixelsPerMetre(image.HorizontalResolution())));
  Put32(out, 28, static_cast<uint32_t>(PixelsPerMetre(image.VerticalResolution())));
  Put32(out, 32, static_cast<uint32_t>(colors));
  size_t at = kBitmapInfoHeaderSize;
  if (bitFields) {
    Put32(out, at, 0xF800), Put32(out, at + 4, 0x07E0), Put32(out, at + 8, 0x001F);
    at += 12;
  }
  const std::vector<uint32_t>& palette = src->GetPalette().entries;
  for (size_t i = 0; i < colors; ++i) {
    // RGBQUAD: blue, green, red, reserved (0).
    Put32(out, at + 4 * i, i < palette.size() ? palette[i] & 0x00FFFFFFu : 0);
  }
  at += colors * 4;
  const size_t copy = (static_cast<size_t>(src->Width()) * bits + 7) / 8;
  const bool clearAlpha = bits == 32 && !HasAlpha(format);
  for (int32_t y = 0; y < src->Height(); ++y) {
    uint8_t* dst = out.data() + at + rowBytes * static_cast<size_t>(src->Height() - 1 - y);
    std::memcpy(dst, src->Row(y), copy);
    if (clearAlpha)
      for (int32_t x = 0; x < src->Width(); ++x) dst[4 * x + 3] = 0;
  }
  return Status::Ok;
}

Status UnpackDib(const uint8_t* data, size_t size, std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (!data || size < kBitmapInfoHeaderSize) return Status::InvalidParameter;
  const uint32_t headerSize = Get32(data);
  const int32_t width = static_cast<int32_t>(Get32(data + 4));
  const int32_t rawHeight = static_cast<int32_t>(Get32(data + 8));
  const uint16_t planes = Get16(data + 12);
  const uint16_t bits = Get16(data + 14);
  const uint32_t compression = Get32(data + 16);
  const int32_t ppmX = static_cast<int32_t>(Get32(data + 24));
  const int32_t ppmY = static_cast<int32_t>(Get32(data + 28));
  const uint32_t clrUsed = Get32(data + 32);

  if (headerSize != 40 && headerSize != 108 && headerSize != 124) return Status::InvalidParameter;
  if (headerSize > size) return Status::InvalidParameter;
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || planes != 1) return Status::InvalidParameter;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return Status::InvalidParameter;
  if (compression != kBiRgb && compression != kBiBitFields) return Status::UnknownImageFormat;
  if (compression == kBiBitFields && bits != 16 && bits != 32) return Status::InvalidParameter;
  const int32_t height = rawHeight < 0 ? -rawHeight : rawHeight;
  const bool bottomUp = rawHeight > 0;

  size_t at = headerSize;
  // Bit-field masks follow a 40-byte header and sit inside the larger ones.
  uint32_t masks[3] = {0, 0, 0};
  if (compression == kBiBitFields) {
    const size_t maskAt = headerSize == 40 ? at : 40;
    if (maskAt + 12 > size) return Status::InvalidParameter;
    for (int i = 0; i < 3; ++i) masks[i] = Get32(data + maskAt + 4 * i);
    if (headerSize == 40) at += 12;
  }
  PixelFormat format = kPixelFormatUndefined;
  switch (bits) {
    case 1: format = kPixelFormat1bppIndexed; break;
    case 4: format = kPixelFormat4bppIndexed; break;
    case 8: format = kPixelFormat8bppIndexed; break;
    case 24: format = kPixelFormat24bppRGB; break;
    case 16:
      if (compression == kBiRgb || (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F))
        format = kPixelFormat16bppRGB555;
      else if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
        format = kPixelFormat16bppRGB565;
      else
        return Status::InvalidParameter;
      break;
    case 32:
      if (compression == kBiBitFields && !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF))
        return Status::InvalidParameter;
      format = kPixelFormat32bppRGB;
      break;
  }
  const uint64_t capacity = bits <= 8 ? uint64_t{1} << bits : 0;
  if (clrUsed > 256 || (bits <= 8 && clrUsed > capacity)) return Status::InvalidParameter;
  const uint64_t colors = bits <= 8 ? (clrUsed ? clrUsed : capacity) : clrUsed;
  if (at + colors * 4 > size) return Status::InvalidParameter;
  const uint8_t* table = data + at;
  at += static_cast<size_t>(colors) * 4;

  const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  if (rowBytes * static_cast<uint64_t>(height) > size - at) return Status::InvalidParameter;
  const uint8_t* rows = data + at;

  // 32-bit rows with any alpha byte set carry alpha.
  if (bits == 32) {
    for (int32_t y = 0; y < height && format == kPixelFormat32bppRGB; ++y)
      for (int32_t x = 0; x < width; ++x)
        if (rows[rowBytes * y + 4 * static_cast<uint64_t>(x) + 3] != 0) {
          format = kPixelFormat32bppARGB;
          break;
        }
  }
  std::unique_ptr<Bitmap> image;
  Status s = Bitmap::Create(width, height, format, image);
  if (s != Status::Ok) return s;
  const size_t copy = (static_cast<size_t>(width) * bits + 7) / 8;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = rows + rowBytes * static_cast<uint64_t>(bottomUp ? height - 1 - y : y);
    std::memcpy(image->Row(y), src, copy);
    if (format == kPixelFormat32bppRGB)
      for (int32_t x = 0; x < width; ++x) image->Row(y)[4 * x + 3] = 0xFF;
  }
  if (bits <= 8) {
    Palette palette;
    for (uint64_t i = 0; i < colors; ++i) palette.entries.push_back(0xFF000000u | (Get32(table + 4 * i) & 0xFFFFFF));
    // A table shorter than the depth is padded with black so every index has a colour.
    while (palette.entries.size() < capacity) palette.entries.push_back(0xFF000000u);
    if (bits == 1 && palette.entries[0] == 0xFFFFFFFFu && palette.entries[1] == 0xFF000000u) {
      std::swap(palette.entries[0], palette.entries[1]);
      for (int32_t y = 0; y < height; ++y)
        for (size_t i = 0; i < copy; ++i) image->Row(y)[i] = static_cast<uint8_t>(~image->Row(y)[i]);
    }
    s = image->SetPalette(palette);
    if (s != Status::Ok) return s;
  }
  // Pixels per metre to dots per inch, to three decimals.
  const double dpiX = std::round(ppmX / 100.0 * 2.54 * 1000) / 1000;
  const double dpiY = std::round(ppmY / 100.0 * 2.54 * 1000) / 1000;
  if (dpiX > 0 && dpiY > 0) image->SetResolution(static_cast<float>(dpiX), static_cast<float>(dpiY));
  image->SetRawFormat(RawFormat::MemoryBMP);
  out = std::move(image);
  return Status::Ok;
}

}  // namespace tessivo::platform::win
