#include "transfer/twain_image.h"

#include <cstring>

namespace tessivo {

namespace {

bool FormatFor(const tvtwain_image_info& info, platform::PixelFormat& format) {
  switch (info.bits_per_pixel) {
    case 1: format = platform::kPixelFormat1bppIndexed; return true;
    case 8: format = platform::kPixelFormat8bppIndexed; return true;
    case 16: format = platform::kPixelFormat16bppGrayScale; return true;
    case 24: format = platform::kPixelFormat24bppRGB; return true;
    case 48: format = platform::kPixelFormat48bppRGB; return true;
    default: return false;
  }
}

TessivoStatus MakeBitmap(const tvtwain_image_info& info, bool overBlock,
                         std::unique_ptr<platform::Bitmap>& out) {
  platform::PixelFormat format;
  if (!FormatFor(info, format)) return UnsupportedPixelFormat;
  if (info.width < 1 || info.height < 1 || !info.bits) return InvalidParameter;
  const int64_t rowBytes = (int64_t{info.width} * info.bits_per_pixel + 7) / 8;
  if (info.stride < rowBytes) return InvalidParameter;
  const int64_t paddedRow = (int64_t{info.width} * info.bits_per_pixel + 31) / 32 * 4;
  if (paddedRow * info.height > platform::kMaxPixelBytes ||
      int64_t{info.stride} * info.height > platform::kMaxPixelBytes)
    return OutOfMemory;
  std::unique_ptr<platform::Bitmap> bitmap;
  platform::Status s =
      overBlock ? platform::Bitmap::CreateOver(info.width, info.height, info.stride, format,
                                               const_cast<uint8_t*>(info.bits), bitmap)
                : platform::Bitmap::Create(info.width, info.height, format, bitmap);
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
  if (!overBlock) {
    for (int32_t y = 0; y < info.height; ++y)
      std::memcpy(bitmap->Row(y), info.bits + static_cast<int64_t>(y) * info.stride,
                  static_cast<size_t>(rowBytes));
  }
  if (info.bits_per_pixel == 8) {
    platform::Palette grey;
    grey.flags = platform::PaletteFlagsGrayScale;
    for (uint32_t v = 0; v < 256; ++v) grey.entries.push_back(0xFF000000u | v << 16 | v << 8 | v);
    bitmap->SetPalette(grey);
  } else if (info.bits_per_pixel == 1) {
    platform::Palette bw;
    bw.flags = platform::PaletteFlagsGrayScale;
    bw.entries = {0xFF000000u, 0xFFFFFFFFu};
    bitmap->SetPalette(bw);
  }
  if (info.x_resolution > 0 && info.y_resolution > 0)
    bitmap->SetResolution(static_cast<float>(info.x_resolution),
                          static_cast<float>(info.y_resolution));
  out = std::move(bitmap);
  return OK;
}

}  // namespace

TessivoStatus BitmapFromScan(const tvtwain_image_info& info,
                             std::unique_ptr<platform::Bitmap>& out) {
  return MakeBitmap(info, false, out);
}

TessivoStatus BitmapOverScan(const tvtwain_image_info& info,
                             std::unique_ptr<platform::Bitmap>& out) {
  return MakeBitmap(info, true, out);
}

}  // namespace tessivo
