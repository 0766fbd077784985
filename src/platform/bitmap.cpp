#include "platform/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/bitmap_lock_state.h"
#include "platform/conversion_palette.h"
#include "platform/pixel_convert.h"

namespace tessivo::platform {

namespace {

bool IsKnownPropertyType(uint16_t type) {
  switch (type) {
    case 1: case 2: case 3: case 4: case 5: case 7: case 9: case 10:
      return true;
    default:
      return false;
  }
}

uint32_t InitialFlags(PixelFormat format) { return HasAlpha(format) ? ImageFlagsHasAlpha : ImageFlagsNone; }

}  // namespace

bool RectInside(const Rect& r, int32_t width, int32_t height) {
  return r.width > 0 && r.height > 0 && r.x >= 0 && r.y >= 0 &&
         static_cast<int64_t>(r.x) + r.width <= width && static_cast<int64_t>(r.y) + r.height <= height;
}

Palette ConversionPalette(const Bitmap& bitmap, PixelFormat target) {
  if (!IsIndexed(target)) return {};
  const Palette& own = bitmap.GetPalette();
  if (target == bitmap.Format()) return own;
  if (IsIndexed(bitmap.Format()) && !own.entries.empty() &&
      own.entries.size() <= static_cast<size_t>(PaletteCapacity(target))) {
    return own;
  }
  return DefaultPalette(target);
}

Bitmap::~Bitmap() = default;

Status Bitmap::Create(int32_t width, int32_t height, PixelFormat format, std::unique_ptr<Bitmap>& out) {
  if (width < 1 || height < 1 || !IsValidPixelFormat(format)) return Status::InvalidParameter;
  const int32_t stride = StrideFor(format, width);
  if (stride < 0 || static_cast<int64_t>(stride) * height > kMaxPixelBytes) return Status::OutOfMemory;
  try {
    std::unique_ptr<Bitmap> bitmap(new Bitmap());
    if (!bitmap->owned_.Allocate(static_cast<size_t>(stride) * static_cast<size_t>(height))) {
      return Status::OutOfMemory;
    }
    bitmap->width_ = width;
    bitmap->height_ = height;
    bitmap->format_ = format;
    bitmap->stride_ = stride;
    bitmap->scan0_ = bitmap->owned_.data();
    bitmap->palette_ = DefaultPalette(format);
    bitmap->flags_ = InitialFlags(format);
    out = std::move(bitmap);
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status Bitmap::CreateOver(int32_t width, int32_t height, int32_t stride, PixelFormat format, void* scan0,
                          std::unique_ptr<Bitmap>& out) {
  if (width < 1 || height < 1 || !IsValidPixelFormat(format) || scan0 == nullptr) {
    return Status::InvalidParameter;
  }
  if (std::abs(static_cast<int64_t>(stride)) < RowBytes(format, width)) return Status::InvalidParameter;
  try {
    std::unique_ptr<Bitmap> bitmap(new Bitmap());
    bitmap->width_ = width;
    bitmap->height_ = height;
    bitmap->format_ = format;
    bitmap->stride_ = stride;
    bitmap->scan0_ = static_cast<uint8_t*>(scan0);
    bitmap->palette_ = DefaultPalette(format);
    bitmap->flags_ = InitialFlags(format);
    out = std::move(bitmap);
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status Bitmap::Clone(std::unique_ptr<Bitmap>& out) const {
  std::unique_ptr<Bitmap> copy;
  const Status status = Create(width_, height_, format_, copy);
  if (status != Status::Ok) return status;
  try {
    const size_t rowBytes = static_cast<size_t>(RowBytes(format_, width_));
    for (int32_t y = 0; y < height_; ++y) std::memcpy(copy->Row(y), Row(y), rowBytes);
    copy->palette_ = palette_;
    copy->dpiX_ = dpiX_;
    copy->dpiY_ = dpiY_;
    copy->properties_ = properties_;
    copy->flags_ = flags_;
    copy->rawFormat_ = rawFormat_;
    copy->frames_ = frames_;
    copy->activeFrame_ = activeFrame_;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  out = std::move(copy);
  return Status::Ok;
}

Status Bitmap::GetPixel(int32_t x, int32_t y, uint32_t& argb) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Status::InvalidParameter;
  argb = ReadPixelArgb(format_, Row(y), x, palette_.entries);
  return Status::Ok;
}

Status Bitmap::SetPixel(int32_t x, int32_t y, uint32_t argb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || IsIndexed(format_)) return Status::InvalidParameter;
  WritePixelArgb(format_, Row(y), x, argb);
  return Status::Ok;
}

Status Bitmap::SetPalette(const Palette& palette) {
  if (palette.entries.size() > 256) return Status::InvalidParameter;
  try {
    palette_ = palette;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status Bitmap::SetResolution(float dpiX, float dpiY) {
  // NaN fails both comparisons, so it is rejected too.
  if (!(dpiX > 0.0f) || !(dpiY > 0.0f) || !std::isfinite(dpiX) || !std::isfinite(dpiY)) {
    return Status::InvalidParameter;
  }
  dpiX_ = dpiX;
  dpiY_ = dpiY;
  return Status::Ok;
}

Status Bitmap::GetProperty(uint32_t id, PropertyItem& out) const {
  for (const PropertyItem& item : properties_) {
    if (item.id == id) {
      try {
        out = item;
      } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
      }
      return Status::Ok;
    }
  }
  return Status::PropertyNotFound;
}

Status Bitmap::SetProperty(const PropertyItem& item) {
  if (!IsKnownPropertyType(item.type)) return Status::InvalidParameter;
  try {
    for (PropertyItem& existing : properties_) {
      if (existing.id == item.id) {
        existing = item;
        return Status::Ok;
      }
    }
    properties_.push_back(item);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status Bitmap::RemoveProperty(uint32_t id) {
  const auto it = std::find_if(properties_.begin(), properties_.end(),
                               [id](const PropertyItem& item) { return item.id == id; });
  if (it == properties_.end()) return Status::PropertyNotFound;
  properties_.erase(it);
  return Status::Ok;
}

uint32_t Bitmap::FrameCount(FrameDimension dimension) const {
  return frames_ ? frames_->FrameCount(dimension) : 1;
}

Status Bitmap::SelectActiveFrame(FrameDimension dimension, uint32_t index) {
  if (lock_) return Status::WrongState;
  if (index >= FrameCount(dimension)) return Status::InvalidParameter;
  if (!frames_) {
    activeFrame_ = index;
    return Status::Ok;
  }
  // Keep the source alive even if decoding replaces it.
  const std::shared_ptr<FrameSource> source = frames_;
  const Status status = source->DecodeFrame(dimension, index, *this);
  if (status == Status::Ok) activeFrame_ = index;
  return status;
}

void Bitmap::TakeContentFrom(Bitmap& other) {
  if (&other == this) return;
  // Swapping leaves `other` a valid bitmap holding the replaced content.
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(format_, other.format_);
  std::swap(stride_, other.stride_);
  std::swap(scan0_, other.scan0_);
  owned_.swap(other.owned_);
  std::swap(palette_, other.palette_);
  std::swap(dpiX_, other.dpiX_);
  std::swap(dpiY_, other.dpiY_);
  properties_.swap(other.properties_);
  std::swap(flags_, other.flags_);
}

}  // namespace tessivo::platform
