#include "pixel/adjust/histogram.h"

#include <algorithm>
#include <vector>

namespace tessivo {
namespace {

using platform::Bitmap;

bool Inside(const Bitmap& image, const ZoneRect& zone) {
  return zone.left >= 0 && zone.top >= 0 && static_cast<int64_t>(zone.left) + zone.width <= image.Width() &&
         static_cast<int64_t>(zone.top) + zone.height <= image.Height();
}

// Rows of at most this many bytes are locked at a time, so a huge zone needs no copy of itself.
constexpr size_t kStripBytes = size_t{4} << 20;

// Locks `zone` strip by strip in `format` (bytesPerPixel wide) and hands each row to `count`.
template <typename CountRow>
TessivoStatus ForEachLockedRow(Bitmap& image, const ZoneRect& zone, platform::PixelFormat format,
                               int32_t bytesPerPixel, CountRow&& count) {
  const int32_t stride = ((zone.width * bytesPerPixel + 3) / 4) * 4;
  const int32_t rowsPerStrip =
      static_cast<int32_t>(std::max<size_t>(1, kStripBytes / static_cast<size_t>(stride)));
  std::vector<uint8_t> strip;
  for (int32_t top = 0; top < zone.height; top += rowsPerStrip) {
    const int32_t rows = std::min(rowsPerStrip, zone.height - top);
    strip.resize(static_cast<size_t>(stride) * static_cast<size_t>(rows));
    const platform::Rect rect{zone.left, zone.top + top, zone.width, rows};
    platform::BitmapData data;
    data.width = static_cast<uint32_t>(zone.width);
    data.height = static_cast<uint32_t>(rows);
    data.stride = stride;
    data.pixelFormat = format;
    data.scan0 = strip.data();
    platform::Status s =
        image.LockBits(&rect, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf, format, data);
    if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
    s = image.UnlockBits(data);
    if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
    for (int32_t y = 0; y < rows; ++y) count(strip.data() + static_cast<size_t>(y) * static_cast<size_t>(stride));
  }
  return OK;
}

}  // namespace

TessivoStatus ChannelHistogramOfZone(Bitmap& image, const ZoneRect& zone, ChannelHistograms& out) {
  out = ChannelHistograms{};
  if (zone.width <= 0 || zone.height <= 0) return OK;
  if (!Inside(image, zone)) return InvalidParameter;
  const size_t width = static_cast<size_t>(zone.width);
  const platform::PixelFormat format = image.Format();
  // 24- and 32-bit rows are read in place: their bytes already are blue, green, red (alpha).
  if (format == platform::kPixelFormat24bppRGB || format == platform::kPixelFormat32bppRGB ||
      format == platform::kPixelFormat32bppARGB) {
    const size_t bpp = format == platform::kPixelFormat24bppRGB ? 3 : 4;
    const bool hasAlpha = format == platform::kPixelFormat32bppARGB;
    for (int32_t y = 0; y < zone.height; ++y) {
      const uint8_t* p = image.Row(zone.top + y) + static_cast<size_t>(zone.left) * bpp;
      for (size_t x = 0; x < width; ++x, p += bpp) {
        ++out.blue[p[0]];
        ++out.green[p[1]];
        ++out.red[p[2]];
        if (hasAlpha) ++out.alpha[p[3]];
      }
    }
    if (!hasAlpha) out.alpha[255] = width * static_cast<uint64_t>(zone.height);
    return OK;
  }
  return ForEachLockedRow(image, zone, platform::kPixelFormat32bppARGB, 4, [&](const uint8_t* p) {
    for (size_t x = 0; x < width; ++x, p += 4) {
      ++out.blue[p[0]];
      ++out.green[p[1]];
      ++out.red[p[2]];
      ++out.alpha[p[3]];
    }
  });
}

TessivoStatus PaletteIndexHistogramOfZone(Bitmap& image, const ZoneRect& zone, Histogram256& out) {
  out = Histogram256{};
  if (image.Format() != platform::kPixelFormat8bppIndexed) return NotIndexedPixelFormat;
  if (zone.width <= 0 || zone.height <= 0) return OK;
  if (!Inside(image, zone)) return InvalidParameter;
  const size_t width = static_cast<size_t>(zone.width);
  return ForEachLockedRow(image, zone, platform::kPixelFormat8bppIndexed, 1, [&](const uint8_t* p) {
    for (size_t x = 0; x < width; ++x) ++out[p[x]];
  });
}

}  // namespace tessivo
