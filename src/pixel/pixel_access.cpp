#include "pixel/pixel_access.h"

#include <cstdint>
#include <vector>

namespace tessivo {
namespace {

using platform::Bitmap;

struct LayoutInfo {
  platform::PixelFormat format;
  int32_t bytesPerPixel;  // of the exchanged rows
  int32_t dims;           // of a freshly allocated array
};

LayoutInfo Info(PixelArrayLayout layout) {
  switch (layout) {
    case PixelArrayLayout::Pixels1D: return {platform::kPixelFormat32bppARGB, 4, 1};
    case PixelArrayLayout::Pixels2D: return {platform::kPixelFormat32bppARGB, 4, 2};
    case PixelArrayLayout::ChannelsXY: return {platform::kPixelFormat32bppARGB, 4, 3};
    case PixelArrayLayout::BytesARGB: return {platform::kPixelFormat32bppARGB, 4, 1};
    case PixelArrayLayout::BytesRGB: return {platform::kPixelFormat24bppRGB, 3, 1};
    case PixelArrayLayout::Indices8bpp: return {platform::kPixelFormat8bppIndexed, 1, 1};
  }
  return {platform::kPixelFormat32bppARGB, 4, 1};
}

bool Contains(const Bitmap& image, const PixelRect& r) {
  return r.width > 0 && r.height > 0 && r.left >= 0 && r.top >= 0 &&
         static_cast<int64_t>(r.left) + r.width <= image.Width() &&
         static_cast<int64_t>(r.top) + r.height <= image.Height();
}

// Elements of T the rectangle fills.
template <typename T>
size_t NeededElements(PixelArrayLayout layout, const PixelRect& r) {
  const size_t pixels = static_cast<size_t>(r.width) * static_cast<size_t>(r.height);
  return pixels * static_cast<size_t>(Info(layout).bytesPerPixel) / sizeof(T);
}

template <typename T>
std::vector<ArrayBound> FreshShape(PixelArrayLayout layout, const PixelRect& r) {
  switch (layout) {
    case PixelArrayLayout::Pixels2D: return {ArrayBound{0, r.width}, ArrayBound{0, r.height}};
    case PixelArrayLayout::ChannelsXY: return {ArrayBound{0, 4}, ArrayBound{0, r.width}, ArrayBound{0, r.height}};
    default: return {ArrayBound{0, static_cast<int32_t>(NeededElements<T>(layout, r))}};
  }
}

template <typename T>
bool MustReallocate(const SafeArray<T>& a, PixelArrayLayout layout, const PixelRect& r) {
  const LayoutInfo info = Info(layout);
  if (!a.allocated() || a.dims() != info.dims) return true;
  if (info.dims == 1 && static_cast<int64_t>(a.UBound(1)) < static_cast<int64_t>(NeededElements<T>(layout, r)))
    return true;
  if (info.dims == 2 && (a.UBound(1) < r.width || a.UBound(2) < r.height)) return true;
  if (info.dims == 3 && (a.UBound(1) < 4 || a.UBound(2) < r.width || a.UBound(3) < r.height)) return true;
  // Upper bounds that exceed the needs with lower bounds that are high as well can still leave
  // too few elements: such an array is reallocated rather than overrun.
  return a.size() < NeededElements<T>(layout, r);
}

TessivoStatus Lock(Bitmap& image, const PixelRect& r, uint32_t mode, const LayoutInfo& info, void* rows) {
  const platform::Rect rect{r.left, r.top, r.width, r.height};
  platform::BitmapData data;
  data.width = static_cast<uint32_t>(r.width);
  data.height = static_cast<uint32_t>(r.height);
  data.stride = r.width * info.bytesPerPixel;  // rows not padded
  data.pixelFormat = info.format;
  data.scan0 = rows;
  platform::Status s = image.LockBits(&rect, mode | platform::ImageLockModeUserInputBuf, info.format, data);
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
  return static_cast<TessivoStatus>(image.UnlockBits(data));
}

template <typename T>
TessivoStatus Out(Bitmap& image, SafeArray<T>& array, PixelArrayLayout layout, const PixelRect& r) {
  if (!Contains(image, r)) return InvalidParameter;
  if (NeededElements<T>(layout, r) > static_cast<size_t>(INT32_MAX)) return OutOfMemory;
  if (MustReallocate(array, layout, r)) array.Redim(FreshShape<T>(layout, r));
  return Lock(image, r, platform::ImageLockModeRead, Info(layout), array.data());
}

template <typename T>
TessivoStatus In(Bitmap& image, const SafeArray<T>& array, PixelArrayLayout layout, const PixelRect& r) {
  if (!Contains(image, r)) return InvalidParameter;
  if (array.size() < NeededElements<T>(layout, r)) return InvalidParameter;
  // A write lock only reads the caller's rows.
  return Lock(image, r, platform::ImageLockModeWrite, Info(layout), const_cast<T*>(array.data()));
}

}  // namespace

TessivoStatus CopyPixelsOut(Bitmap& image, SafeArray<int32_t>& array, PixelArrayLayout layout, const PixelRect& rect) {
  return Out(image, array, layout, rect);
}

TessivoStatus CopyPixelsOut(Bitmap& image, SafeArray<uint8_t>& array, PixelArrayLayout layout, const PixelRect& rect) {
  return Out(image, array, layout, rect);
}

TessivoStatus CopyPixelsIn(Bitmap& image, const SafeArray<int32_t>& array, const PixelRect& rect) {
  return In(image, array, PixelArrayLayout::Pixels1D, rect);
}

TessivoStatus CopyPixelsIn(Bitmap& image, const SafeArray<uint8_t>& array, PixelArrayLayout layout,
                           const PixelRect& rect) {
  return In(image, array, layout, rect);
}

TessivoStatus ImageRowLayout(Bitmap& image, int32_t& stride, intptr_t& firstRow) {
  const platform::Rect whole{0, 0, image.Width(), image.Height()};
  platform::BitmapData data;
  platform::Status s = image.LockBits(&whole, platform::ImageLockModeRead, image.Format(), data);
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
  s = image.UnlockBits(data);
  if (s != platform::Status::Ok) return static_cast<TessivoStatus>(s);
  // The bitmap's own rows: a read lock in the image's format may hand out a copy that is gone
  // once unlocked, and the caller wants the memory that stays.
  stride = image.Stride();
  firstRow = reinterpret_cast<intptr_t>(image.Scan0());
  return OK;
}

}  // namespace tessivo
