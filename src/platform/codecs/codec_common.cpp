#include "platform/codecs/codec_common.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace tessivo::platform::codecs {

std::shared_ptr<const EncodedBytes> EncodedBytes::Copy(const uint8_t* data, size_t size) {
  auto bytes = std::make_shared<EncodedBytes>();
  bytes->bytes_.reset(new uint8_t[size > 0 ? size : 1]);
  if (size > 0) std::memcpy(bytes->bytes_.get(), data, size);
  bytes->size_ = size;
  return bytes;
}

Status EncodedBytes::Read(Stream& stream, std::shared_ptr<const EncodedBytes>& out) {
  out.reset();
  uint64_t size = 0;
  Status s = stream.Size(size);
  if (s != Status::Ok) return s;
  uint64_t position = stream.Position();
  uint64_t remaining = position < size ? size - position : 0;
  if (remaining > static_cast<uint64_t>(std::numeric_limits<ptrdiff_t>::max())) {
    return Status::OutOfMemory;
  }
  auto bytes = std::make_shared<EncodedBytes>();
  bytes->bytes_.reset(new uint8_t[remaining > 0 ? remaining : 1]);
  s = stream.Read(bytes->bytes_.get(), static_cast<size_t>(remaining), bytes->size_);
  if (s != Status::Ok) return s;
  out = std::move(bytes);
  return Status::Ok;
}

Status EncodedBytes::ReadFile(const std::string& path, std::shared_ptr<const EncodedBytes>& out) {
  out.reset();
  std::unique_ptr<FileStream> file;
  Status s = FileStream::Open(path, FileStream::Mode::Read, file);
  if (s != Status::Ok) return s;
  return Read(*file, out);
}

namespace {
int64_t& PixelLimit() {
  static int64_t limit = kMaxPixelBytes;
  return limit;
}
}  // namespace

int64_t DecodePixelLimit() { return PixelLimit(); }
void SetDecodePixelLimit(int64_t bytes) {
  PixelLimit() = bytes > 0 && bytes < kMaxPixelBytes ? bytes : kMaxPixelBytes;
}

int64_t PackedRowBytes(int64_t width, int bitsPerPixel) {
  if (width < 0 || bitsPerPixel <= 0) return -1;
  if (width > std::numeric_limits<int64_t>::max() / 64) return -1;
  return (width * bitsPerPixel + 7) / 8;
}

Status NewDecodedBitmap(int64_t width, int64_t height, PixelFormat format,
                        std::unique_ptr<Bitmap>& out) {
  out.reset();
  constexpr int64_t kMaxSide = std::numeric_limits<int32_t>::max();
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    return Status::UnknownImageFormat;
  }
  int64_t stride = (PackedRowBytes(width, BitsPerPixel(format)) + 3) & ~int64_t{3};
  if (stride <= 0 || stride > DecodePixelLimit() / height) return Status::OutOfMemory;
  return Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height), format, out);
}

Palette GreyRampPalette(int entries) {
  Palette p;
  p.flags = PaletteFlagsGrayScale;
  p.entries.resize(static_cast<size_t>(entries));
  for (int i = 0; i < entries; ++i) {
    uint32_t v = static_cast<uint32_t>(entries == 1 ? 0 : i * 255 / (entries - 1));
    p.entries[static_cast<size_t>(i)] = 0xFF000000u | (v << 16) | (v << 8) | v;
  }
  return p;
}

bool IsGreyRamp256(const Palette& palette) {
  if (palette.entries.size() != 256) return false;
  for (uint32_t i = 0; i < 256; ++i) {
    if (palette.entries[i] != (0xFF000000u | (i << 16) | (i << 8) | i)) return false;
  }
  return true;
}

bool ApplyFileResolution(Bitmap& image, double dpiX, double dpiY) {
  auto usable = [](double v) { return std::isfinite(v) && v > 0.0 && v < 1e7; };
  if (!usable(dpiX) || !usable(dpiY)) return false;
  if (image.SetResolution(static_cast<float>(dpiX), static_cast<float>(dpiY)) != Status::Ok) {
    return false;
  }
  image.SetFlags(image.Flags() | ImageFlagsHasRealDPI);
  return true;
}

namespace {

// Whether any pixel is partly transparent (alpha strictly between 0 and the maximum).
bool HasTranslucentPixels(const Bitmap& image) {
  PixelFormat f = image.Format();
  bool wide = f == kPixelFormat64bppARGB || f == kPixelFormat64bppPARGB;
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      if (wide) {
        uint16_t a = ReadLe16(row + 8 * x + 6);
        if (a != 0 && a != 0xFFFF) return true;
      } else {
        uint8_t a = row[4 * x + 3];
        if (a != 0 && a != 0xFF) return true;
      }
    }
  }
  return false;
}

}  // namespace

void FinishDecodedBitmap(Bitmap& image, RawFormat format, uint32_t colorSpaceFlag) {
  uint32_t flags = (image.Flags() & ImageFlagsHasRealDPI) | colorSpaceFlag |
                   ImageFlagsHasRealPixelSize | ImageFlagsReadOnly;
  PixelFormat f = image.Format();
  if (HasAlpha(f) && f != kPixelFormat16bppARGB1555) {
    flags |= ImageFlagsHasAlpha;
    if (HasTranslucentPixels(image)) flags |= ImageFlagsHasTranslucent;
  } else if (f == kPixelFormat16bppARGB1555) {
    flags |= ImageFlagsHasAlpha;
  } else if (IsIndexed(f)) {
    const Palette& p = image.GetPalette();
    for (uint32_t c : p.entries) {
      uint32_t a = c >> 24;
      if (a != 0xFF) flags |= ImageFlagsHasAlpha;
      if (a != 0 && a != 0xFF) flags |= ImageFlagsHasTranslucent;
    }
  }
  image.SetFlags(flags);
  image.SetRawFormat(format);
}

void AddProperty(Bitmap& image, uint32_t id, uint16_t type, const void* data, size_t size) {
  PropertyItem item;
  item.id = id;
  item.type = type;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  if (size > 0) item.value.assign(bytes, bytes + size);
  image.SetProperty(item);
}

void AddAsciiProperty(Bitmap& image, uint32_t id, const std::string& text) {
  std::string withNul = text;
  withNul.push_back('\0');
  AddProperty(image, id, 2, withNul.data(), withNul.size());
}

Status PixelsInFormat(const Bitmap& image, PixelFormat format, std::unique_ptr<Bitmap>& holder,
                      const Bitmap*& view) {
  view = nullptr;
  if (image.Format() == format) {
    view = &image;
    return Status::Ok;
  }
  Rect all{0, 0, image.Width(), image.Height()};
  Status s = image.CloneArea(all, format, holder);
  if (s == Status::Ok) view = holder.get();
  return s;
}

}  // namespace tessivo::platform::codecs
