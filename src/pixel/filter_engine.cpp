#include "pixel/filter_engine.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "pixel/adjust/table_mapping.h"
#include "pixel/filter_codes.h"
#include "pixel/palette_mapping.h"

namespace tessivo {
namespace {

using platform::BitmapData;
using platform::Bitmap;
using platform::Rect;

// Buffers of the engine, one set per thread, kept between calls so that repeated filters on
// images of the same size allocate nothing.
struct EngineBuffers {
  std::vector<uint32_t> work;
  std::vector<uint32_t> source;
  std::vector<uint8_t> bytes;  // packed 1-bpp rows or 8-bpp indices
  bool busy = false;
};

EngineBuffers& Buffers() {
  thread_local EngineBuffers buffers;
  return buffers;
}

template <typename T>
T* Sized(std::vector<T>& v, size_t n) {
  if (v.size() < n) v.resize(n);
  return v.data();
}

TessivoStatus ToStatus(platform::Status s) { return static_cast<TessivoStatus>(s); }

// Copies `rect` of the image into (flags Read) or out of (flags Write) `rows`, in `format`,
// with `stride` bytes per row. The first failing lock or unlock status is the result.
TessivoStatus Transfer(Bitmap& image, const Rect& rect, uint32_t mode, platform::PixelFormat format,
                       void* rows, int32_t stride) {
  BitmapData data;
  data.width = static_cast<uint32_t>(rect.width);
  data.height = static_cast<uint32_t>(rect.height);
  data.stride = stride;
  data.pixelFormat = format;
  data.scan0 = rows;
  platform::Status s = image.LockBits(&rect, mode | platform::ImageLockModeUserInputBuf, format, data);
  if (s != platform::Status::Ok) return ToStatus(s);
  return ToStatus(image.UnlockBits(data));
}

class BusyGuard {
 public:
  explicit BusyGuard(EngineBuffers& b) : b_(b) { b_.busy = true; }
  ~BusyGuard() { b_.busy = false; }

 private:
  EngineBuffers& b_;
};

bool IsGreyPalette(const platform::Palette& palette) {
  for (uint32_t e : palette.entries)
    if (Red(e) != Green(e) || Green(e) != Blue(e)) return false;
  return true;
}

// 1 bpp, negative: the zone's packed bits are complemented byte by byte, the bits after the
// zone's last pixel in each row's last byte included.
TessivoStatus InvertPackedBits(Bitmap& image, const Rect& rect, EngineBuffers& buf) {
  const int32_t stride = ((rect.width + 31) / 32) * 4;
  const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(rect.height);
  uint8_t* bits = Sized(buf.bytes, size);
  TessivoStatus s = Transfer(image, rect, platform::ImageLockModeRead, platform::kPixelFormat1bppIndexed,
                             bits, stride);
  if (s != OK) return s;
  for (size_t i = 0; i < size; ++i) bits[i] = static_cast<uint8_t>(~bits[i]);
  return Transfer(image, rect, platform::ImageLockModeWrite, platform::kPixelFormat1bppIndexed, bits,
                  stride);
}

// Colour-palette images under a point routine: the routine runs over the palette entries.
FilterOutcome MapPalette(Bitmap& image, const FilterDescriptor& filter, const FilterParams& params) {
  platform::Palette palette = image.GetPalette();
  std::vector<uint32_t> entries = palette.entries;
  std::vector<uint32_t> source = entries;
  FilterJob job;
  job.pixels = entries.data();
  job.source = filter.sourceCopy ? source.data() : nullptr;
  job.width = static_cast<int32_t>(entries.size());
  job.height = 1;
  job.params = params;
  FilterOutcome out;
  if (entries.empty()) return out;
  out.status = filter.routine(job);
  if (out.status != OK) return out;
  palette.entries = std::move(entries);
  out.status = ToStatus(image.SetPalette(palette));
  out.wrote = out.status == OK;
  return out;
}

// 1 bpp write-back: a pixel's bit is set exactly when its blue byte is 255; the first pixel of
// each group of eight is the most significant bit.
TessivoStatus WritePackedBits(Bitmap& image, const Rect& rect, const uint32_t* work, EngineBuffers& buf) {
  const int32_t stride = ((rect.width + 31) / 32) * 4;
  uint8_t* bits = Sized(buf.bytes, static_cast<size_t>(stride) * static_cast<size_t>(rect.height));
  for (int32_t y = 0; y < rect.height; ++y) {
    const uint32_t* row = work + static_cast<size_t>(y) * static_cast<size_t>(rect.width);
    uint8_t* out = bits + static_cast<size_t>(y) * static_cast<size_t>(stride);
    std::memset(out, 0, static_cast<size_t>(stride));
    for (int32_t x = 0; x < rect.width; ++x)
      if ((row[x] & 0xFF) == 255) out[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
  }
  return Transfer(image, rect, platform::ImageLockModeWrite, platform::kPixelFormat1bppIndexed, bits,
                  stride);
}

// 8 bpp grey-palette write-back: each pixel's grey value is its blue byte, mapped to the
// palette entry of that grey (the entry's own index for the 256-entry ramp).
TessivoStatus WriteGreyIndices(Bitmap& image, const Rect& rect, const uint32_t* work,
                               const platform::Palette& palette, EngineBuffers& buf) {
  const std::array<uint8_t, 256> indexOfGrey = GreyIndexTable(palette);
  const size_t count = static_cast<size_t>(rect.width) * static_cast<size_t>(rect.height);
  uint8_t* indices = Sized(buf.bytes, count);
  for (size_t i = 0; i < count; ++i) indices[i] = indexOfGrey[work[i] & 0xFF];
  return Transfer(image, rect, platform::ImageLockModeWrite, platform::kPixelFormat8bppIndexed,
                  indices, rect.width);
}

// Formats whose rows convert to 32-bit ARGB and back without loss, pixel by pixel: a band
// written back and read again is exactly what the whole-zone buffer would have held.
bool ConvertsLosslessly(platform::PixelFormat format) {
  return format == platform::kPixelFormat24bppRGB || format == platform::kPixelFormat32bppRGB ||
         format == platform::kPixelFormat32bppARGB;
}

// Lookup-table adjustments on 24- and 32-bit images: the zone's rows are mapped where they lie,
// through a lock in the image's own format (which points into the pixels). The result is the
// working buffer's, written back: the same channel bytes, alpha kept, and for 32bppRGB the
// fourth byte of each pixel of the zone set to 255 as that format's write-back sets it.
FilterOutcome MapTablesInPlace(Bitmap& image, const Rect& rect, const TableMapping& mapping,
                               const FilterParams& params) {
  FilterOutcome out;
  const platform::PixelFormat format = image.Format();
  BitmapData data;
  out.status = ToStatus(image.LockBits(&rect, platform::ImageLockModeRead | platform::ImageLockModeWrite, format, data));
  if (out.status != OK) return out;
  ChannelRows rows;
  rows.scan0 = static_cast<uint8_t*>(data.scan0);
  rows.stride = data.stride;
  rows.width = rect.width;
  rows.height = rect.height;
  rows.pixelBytes = format == platform::kPixelFormat24bppRGB ? 3 : 4;
  rows.opaqueFourthByte = format == platform::kPixelFormat32bppRGB;
  try {
    MapThroughTables(rows, mapping, params);
  } catch (...) {
    // Only the tables' memory can fail, before any pixel is written: the image is as it was.
    image.UnlockBits(data);
    throw;
  }
  out.status = ToStatus(image.UnlockBits(data));
  out.wrote = out.status == OK;
  return out;
}

// Working buffers of about this size hold one band of rows.
constexpr size_t kBandBytes = size_t{4} << 20;

// The zone band by band, for routines of limited reach: the working buffers hold one band and
// the context rows around it instead of the whole zone, so the memory a filter needs beyond
// the image is a few rows. Each band's buffer starts with the last 2 * reach rows of the one
// before: the rows just replaced (the context above, as the whole-zone sweep sees them) and
// the rows still as they were (in the source copy, unchanged originals).
FilterOutcome RunBanded(Bitmap& image, const Rect& rect, const FilterDescriptor& filter,
                        const FilterParams& params, bool zoneCoversImage, EngineBuffers& buf) {
  FilterOutcome out;
  const int32_t reach = filter.bandReach;
  const int32_t height = rect.height;
  const size_t width = static_cast<size_t>(rect.width);
  const int32_t stride = rect.width * 4;
  const int32_t bandRows = std::max<int32_t>(
      static_cast<int32_t>(kBandBytes / (width * 4)), 4 * reach + 8);
  const int32_t capacity = std::min(height, bandRows + 2 * reach);
  uint32_t* work = Sized(buf.work, width * static_cast<size_t>(capacity));
  uint32_t* source = filter.sourceCopy ? Sized(buf.source, width * static_cast<size_t>(capacity)) : nullptr;

  int32_t top = 0;   // zone row of the buffer's first row
  int32_t held = 0;  // rows carried over from the band before
  while (true) {
    const int32_t bottom = std::min(height - 1, top + capacity - 1);
    const int32_t count = bottom - top + 1;
    // Rows below the carried ones come from the image, not yet written by any band.
    const int32_t fresh = count - held;
    if (fresh > 0) {
      const Rect rows{rect.x, rect.y + top + held, rect.width, fresh};
      uint32_t* at = work + width * static_cast<size_t>(held);
      out.status = Transfer(image, rows, platform::ImageLockModeRead, platform::kPixelFormat32bppARGB,
                            at, stride);
      if (out.status != OK) return out;
      if (source) std::memcpy(source + width * static_cast<size_t>(held), at, width * static_cast<size_t>(fresh) * 4);
    }
    FilterJob job;
    job.pixels = work;
    job.source = source;
    job.width = rect.width;
    job.height = count;
    job.zoneCoversImage = zoneCoversImage;
    job.params = params;
    out.status = filter.routine(job);
    if (out.status != OK) return out;

    const bool last = bottom == height - 1;
    const int32_t firstOut = top == 0 ? 0 : top + reach;
    const int32_t lastOut = last ? bottom : bottom - reach;
    if (lastOut >= firstOut) {
      const Rect rows{rect.x, rect.y + firstOut, rect.width, lastOut - firstOut + 1};
      out.status = Transfer(image, rows, platform::ImageLockModeWrite, platform::kPixelFormat32bppARGB,
                            work + width * static_cast<size_t>(firstOut - top), stride);
      if (out.status != OK) return out;
      out.wrote = true;
    }
    if (last) break;
    held = 2 * reach;
    const int32_t nextTop = bottom - held + 1;
    const size_t from = width * static_cast<size_t>(nextTop - top);
    std::memmove(work, work + from, width * static_cast<size_t>(held) * 4);
    if (source) std::memmove(source, source + from, width * static_cast<size_t>(held) * 4);
    top = nextTop;
  }
  out.value = 0;
  return out;
}

FilterOutcome Run(Bitmap& image, const ZoneRect& zone, const FilterDescriptor& filter,
                  const FilterParams& params, EngineBuffers& buf) {
  FilterOutcome out;
  const Rect rect{zone.left, zone.top, zone.width, zone.height};
  // A zone the image does not contain is refused before any buffer is sized for it.
  if (static_cast<int64_t>(zone.left) < 0 || static_cast<int64_t>(zone.top) < 0 ||
      static_cast<int64_t>(zone.left) + zone.width > image.Width() ||
      static_cast<int64_t>(zone.top) + zone.height > image.Height()) {
    out.status = InvalidParameter;
    return out;
  }
  const platform::PixelFormat format = image.Format();
  if (format == platform::kPixelFormat1bppIndexed && filter.code == kFilterNegative) {
    out.status = InvertPackedBits(image, rect, buf);
    out.wrote = out.status == OK;
    return out;
  }
  const bool indexed = platform::IsIndexed(format);
  const bool greyPalette = indexed && IsGreyPalette(image.GetPalette());
  if (indexed && !greyPalette && filter.mapsColourPalette && format != platform::kPixelFormat1bppIndexed)
    return MapPalette(image, filter, params);

  if (filter.tables != nullptr && ConvertsLosslessly(format))
    return MapTablesInPlace(image, rect, *filter.tables, params);

  const bool coversImage = zone.left == 0 && zone.top == 0 && zone.width == image.Width() &&
                          zone.height == image.Height();
  if (filter.bandReach >= 0 && !filter.readOnly && ConvertsLosslessly(format))
    return RunBanded(image, rect, filter, params, coversImage, buf);

  const size_t count = static_cast<size_t>(zone.width) * static_cast<size_t>(zone.height);
  const int32_t stride = zone.width * 4;
  uint32_t* work = Sized(buf.work, count);
  out.status = Transfer(image, rect, platform::ImageLockModeRead, platform::kPixelFormat32bppARGB,
                        work, stride);
  if (out.status != OK) return out;

  FilterJob job;
  job.pixels = work;
  job.width = zone.width;
  job.height = zone.height;
  job.zoneCoversImage = coversImage;
  job.params = params;
  if (filter.sourceCopy) {
    uint32_t* source = Sized(buf.source, count);
    std::memcpy(source, work, count * sizeof(uint32_t));
    job.source = source;
  }
  out.status = filter.routine(job);
  out.value = job.result;
  if (out.status != OK || filter.readOnly) return out;

  if (format == platform::kPixelFormat1bppIndexed) {
    out.status = WritePackedBits(image, rect, work, buf);
  } else if (format == platform::kPixelFormat8bppIndexed && greyPalette &&
             !image.GetPalette().entries.empty()) {
    out.status = WriteGreyIndices(image, rect, work, image.GetPalette(), buf);
  } else {
    // Every other format, 8 bpp with a colour palette included: the platform converts,
    // mapping to the nearest palette entry for indexed images.
    out.status = Transfer(image, rect, platform::ImageLockModeWrite, platform::kPixelFormat32bppARGB,
                          work, stride);
  }
  out.wrote = out.status == OK;
  return out;
}

}  // namespace

FilterOutcome RunFilter(Bitmap& image, const ZoneRect& zone, const FilterDescriptor& filter,
                        const FilterParams& params) {
  FilterOutcome out;
  if (zone.width <= 0 || zone.height <= 0) return out;
  EngineBuffers& buf = Buffers();
  if (buf.busy) {
    out.status = ObjectBusy;
    return out;
  }
  BusyGuard guard(buf);
  try {
    return Run(image, zone, filter, params, buf);
  } catch (const std::bad_alloc&) {
    out.status = OutOfMemory;
  } catch (...) {
    out.status = GenericError;
  }
  out.value = 0;
  return out;
}

}  // namespace tessivo
