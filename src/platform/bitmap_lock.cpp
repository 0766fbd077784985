// Pixel locks: the caller sees a rectangle of the bitmap in the format it asks for; rows are
// converted on the way in (read locks) and back on unlock (write locks). A lock in the bitmap's
// own format whose rectangle starts on a byte points straight into the pixels.
#include <cstdlib>
#include <new>

#include "platform/bitmap.h"
#include "platform/bitmap_lock_state.h"
#include "platform/conversion_palette.h"
#include "platform/pixel_convert.h"

namespace tessivo::platform {

namespace {

constexpr uint32_t kKnownLockFlags = ImageLockModeRead | ImageLockModeWrite | ImageLockModeUserInputBuf;

void ConvertRows(PixelConverter& converter, const uint8_t* srcScan0, int32_t srcStride, int32_t srcX,
                 uint8_t* dstScan0, int32_t dstStride, int32_t dstX, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    converter.ConvertRow(srcScan0 + static_cast<intptr_t>(y) * srcStride, srcX,
                         dstScan0 + static_cast<intptr_t>(y) * dstStride, dstX, width);
  }
}

}  // namespace

Status Bitmap::LockBits(const Rect* rect, uint32_t flags, PixelFormat format, BitmapData& data) {
  if (lock_) return Status::WrongState;
  if ((flags & ~kKnownLockFlags) != 0 || (flags & (ImageLockModeRead | ImageLockModeWrite)) == 0) {
    return Status::InvalidParameter;
  }
  if (!IsValidPixelFormat(format)) return Status::InvalidParameter;
  const Rect r = rect ? *rect : Rect{0, 0, width_, height_};
  if (!RectInside(r, width_, height_)) return Status::InvalidParameter;
  const bool userBuffer = (flags & ImageLockModeUserInputBuf) != 0;
  if (userBuffer &&
      (data.scan0 == nullptr || std::llabs(static_cast<long long>(data.stride)) < RowBytes(format, r.width))) {
    return Status::InvalidParameter;
  }
  const int bpp = BitsPerPixel(format);

  try {
    auto state = std::make_unique<LockState>();
    state->rect = r;
    state->flags = flags;
    state->format = format;
    state->palette = ConversionPalette(*this, format);
    if (!userBuffer && format == format_ && (static_cast<int64_t>(r.x) * bpp) % 8 == 0) {
      state->direct = true;
      state->scan0 = Row(r.y) + static_cast<intptr_t>(r.x) * bpp / 8;
      state->stride = stride_;
    } else {
      if (userBuffer) {
        state->scan0 = static_cast<uint8_t*>(data.scan0);
        state->stride = data.stride;
      } else {
        const int32_t stride = StrideFor(format, r.width);
        if (stride < 0 || static_cast<int64_t>(stride) * r.height > kMaxPixelBytes) return Status::OutOfMemory;
        if (!state->buffer.Allocate(static_cast<size_t>(stride) * static_cast<size_t>(r.height))) {
          return Status::OutOfMemory;
        }
        state->scan0 = state->buffer.data();
        state->stride = stride;
      }
      // A write-only lock without a user buffer also starts from the current pixels, so rows
      // the caller leaves alone are written back unchanged.
      if (!userBuffer || (flags & ImageLockModeRead)) {
        PixelConverter converter(format_, palette_.entries, format, state->palette.entries);
        ConvertRows(converter, Row(r.y), stride_, r.x, state->scan0, state->stride, 0, r.width, r.height);
      }
    }
    data.width = static_cast<uint32_t>(r.width);
    data.height = static_cast<uint32_t>(r.height);
    data.stride = state->stride;
    data.pixelFormat = format;
    data.scan0 = state->scan0;
    data.reserved = reinterpret_cast<intptr_t>(state.get());
    lock_ = std::move(state);
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status Bitmap::UnlockBits(BitmapData& data) {
  if (!lock_) return Status::WrongState;
  if (data.reserved != reinterpret_cast<intptr_t>(lock_.get())) return Status::InvalidParameter;
  const std::unique_ptr<LockState> state = std::move(lock_);
  data.reserved = 0;
  if (state->direct || !(state->flags & ImageLockModeWrite)) return Status::Ok;
  // The content may have been replaced while locked (a frame decoded into the bitmap).
  if (!RectInside(state->rect, width_, height_)) return Status::WrongState;
  try {
    const Rect& r = state->rect;
    PixelConverter converter(state->format, state->palette.entries, format_, palette_.entries);
    ConvertRows(converter, state->scan0, state->stride, 0, Row(r.y), stride_, r.x, r.width, r.height);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

}  // namespace tessivo::platform
