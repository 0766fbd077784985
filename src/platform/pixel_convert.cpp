#include "platform/pixel_convert.h"

#include <algorithm>
#include <cstring>

#include "platform/pixel_rows.h"

namespace tessivo::platform {

using rows::GetIndex;
using rows::Load32;
using rows::PutIndex;
using rows::Store32;

enum class PixelConverter::Path {
  Copy,              // same layout
  IndexCopy,         // indexed to indexed through the same palette
  Rgb24To32,         // 24 bpp to any 32 bpp format (opaque)
  Rgb32To24,         // 32 bpp RGB / ARGB to 24 bpp (alpha dropped)
  Opaque32,          // 32 bpp RGB to ARGB / PARGB, ARGB to RGB
  Premultiply32,     // ARGB to PARGB
  Unpremultiply32,   // PARGB to ARGB
  IndexedTo32,       // palette lookup into a 32 bpp format
  IndexedTo24,       // palette lookup into 24 bpp
  DirectToIndexed,   // 24 / 32 bpp RGB / ARGB to the nearest palette entry
  Generic,           // through the 8- or 16-bit ARGB intermediate
};

namespace {

constexpr int32_t kChunk = 1024;

bool Is32Direct(PixelFormat f) {
  return f == kPixelFormat32bppRGB || f == kPixelFormat32bppARGB || f == kPixelFormat32bppPARGB;
}

// Copies `count` pixels of a format with `bpp` bits between rows at pixel offsets.
void CopyPixels(int bpp, const uint8_t* src, int32_t srcX, uint8_t* dst, int32_t dstX, int32_t count) {
  if (bpp >= 8) {
    const size_t size = static_cast<size_t>(bpp / 8);
    std::memmove(dst + dstX * size, src + srcX * size, size * static_cast<size_t>(count));
    return;
  }
  const int32_t perByte = 8 / bpp;
  if (srcX % perByte == 0 && dstX % perByte == 0) {
    const int32_t whole = count / perByte;
    std::memmove(dst + dstX / perByte, src + srcX / perByte, static_cast<size_t>(whole));
    for (int32_t i = whole * perByte; i < count; ++i) {
      PutIndex(bpp, dst, dstX + i, GetIndex(bpp, src, srcX + i));
    }
    return;
  }
  for (int32_t i = 0; i < count; ++i) PutIndex(bpp, dst, dstX + i, GetIndex(bpp, src, srcX + i));
}

}  // namespace

int64_t RowBytes(PixelFormat format, int32_t width) {
  return (static_cast<int64_t>(width) * BitsPerPixel(format) + 7) / 8;
}

PixelConverter::PixelConverter(PixelFormat from, std::span<const uint32_t> fromPalette, PixelFormat to,
                               std::span<const uint32_t> toPalette)
    : from_(from), to_(to) {
  std::fill(std::begin(fromLut_), std::end(fromLut_), 0xFF000000u);
  std::copy_n(fromPalette.begin(), std::min<size_t>(fromPalette.size(), 256), fromLut_);
  if (IsIndexed(to)) {
    mapper_ = std::make_unique<NearestPaletteMapper>(toPalette, PaletteCapacity(to));
  }
  const bool samePalette = std::equal(fromPalette.begin(), fromPalette.end(), toPalette.begin(),
                                      toPalette.end());
  wide_ = IsExtended(from) || IsExtended(to);

  if (from == to && (!IsIndexed(from) || samePalette)) {
    path_ = Path::Copy;
  } else if (IsIndexed(from) && IsIndexed(to) && samePalette) {
    path_ = Path::IndexCopy;
  } else if (from == kPixelFormat24bppRGB && Is32Direct(to)) {
    path_ = Path::Rgb24To32;
  } else if ((from == kPixelFormat32bppRGB || from == kPixelFormat32bppARGB) && to == kPixelFormat24bppRGB) {
    path_ = Path::Rgb32To24;
  } else if ((from == kPixelFormat32bppRGB && Is32Direct(to)) ||
             (from == kPixelFormat32bppARGB && to == kPixelFormat32bppRGB)) {
    path_ = Path::Opaque32;
  } else if (from == kPixelFormat32bppARGB && to == kPixelFormat32bppPARGB) {
    path_ = Path::Premultiply32;
  } else if (from == kPixelFormat32bppPARGB && to == kPixelFormat32bppARGB) {
    path_ = Path::Unpremultiply32;
  } else if (IsIndexed(from) && Is32Direct(to)) {
    path_ = Path::IndexedTo32;
    for (int i = 0; i < 256; ++i) rows::Encode32(to, &fromLut_[i], 1, reinterpret_cast<uint8_t*>(&targetLut_[i]), 0, nullptr);
  } else if (IsIndexed(from) && to == kPixelFormat24bppRGB) {
    path_ = Path::IndexedTo24;
  } else if (IsIndexed(to) && (from == kPixelFormat24bppRGB || from == kPixelFormat32bppRGB ||
                               from == kPixelFormat32bppARGB)) {
    path_ = Path::DirectToIndexed;
  } else {
    path_ = Path::Generic;
  }
}

PixelConverter::~PixelConverter() = default;

void PixelConverter::ConvertRow(const uint8_t* src, int32_t srcX, uint8_t* dst, int32_t dstX,
                                int32_t count) {
  if (path_ == Path::Copy) {
    CopyPixels(BitsPerPixel(from_), src, srcX, dst, dstX, count);
    return;
  }
  for (int32_t done = 0; done < count; done += kChunk) {
    ConvertChunk(src, srcX + done, dst, dstX + done, std::min(kChunk, count - done));
  }
}

void PixelConverter::ConvertChunk(const uint8_t* src, int32_t srcX, uint8_t* dst, int32_t dstX,
                                  int32_t n) {
  const int fromBpp = BitsPerPixel(from_);
  const int toBpp = BitsPerPixel(to_);
  switch (path_) {
    case Path::Copy:
      CopyPixels(fromBpp, src, srcX, dst, dstX, n);
      return;
    case Path::IndexCopy: {
      const uint32_t capacity = static_cast<uint32_t>(PaletteCapacity(to_));
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t index = GetIndex(fromBpp, src, srcX + i);
        PutIndex(toBpp, dst, dstX + i, index < capacity ? index : mapper_->Map(fromLut_[index]));
      }
      return;
    }
    case Path::Rgb24To32: {
      const uint8_t* s = src + 3 * srcX;
      uint8_t* d = dst + 4 * dstX;
      // A 4-byte load takes one byte of the next pixel, replaced by the opaque alpha; the last
      // pixel is read bytewise so nothing past the row is touched.
      int32_t i = 0;
      for (; i + 1 < n; ++i) Store32(d + 4 * i, Load32(s + 3 * i) | 0xFF000000u);
      if (i < n) Store32(d + 4 * i, 0xFF000000u | uint32_t{s[3 * i + 2]} << 16 | uint32_t{s[3 * i + 1]} << 8 | s[3 * i]);
      return;
    }
    case Path::Rgb32To24: {
      const uint8_t* s = src + 4 * srcX;
      uint8_t* d = dst + 3 * dstX;
      for (int32_t i = 0; i < n; ++i, s += 4, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
      return;
    }
    case Path::Opaque32:
      for (int32_t i = 0; i < n; ++i) Store32(dst + 4 * (dstX + i), Load32(src + 4 * (srcX + i)) | 0xFF000000u);
      return;
    case Path::Premultiply32:
      for (int32_t i = 0; i < n; ++i) Store32(dst + 4 * (dstX + i), rows::Premultiply(Load32(src + 4 * (srcX + i))));
      return;
    case Path::Unpremultiply32:
      for (int32_t i = 0; i < n; ++i) {
        Store32(dst + 4 * (dstX + i), rows::Unpremultiply(Load32(src + 4 * (srcX + i))));
      }
      return;
    case Path::IndexedTo32:
      if (fromBpp == 8) {
        const uint8_t* s = src + srcX;
        for (int32_t i = 0; i < n; ++i) Store32(dst + 4 * (dstX + i), targetLut_[s[i]]);
      } else {
        for (int32_t i = 0; i < n; ++i) Store32(dst + 4 * (dstX + i), targetLut_[GetIndex(fromBpp, src, srcX + i)]);
      }
      return;
    case Path::IndexedTo24: {
      uint8_t* d = dst + 3 * dstX;
      for (int32_t i = 0; i < n; ++i, d += 3) {
        const uint32_t v = fromLut_[GetIndex(fromBpp, src, srcX + i)];
        d[0] = static_cast<uint8_t>(v);
        d[1] = static_cast<uint8_t>(v >> 8);
        d[2] = static_cast<uint8_t>(v >> 16);
      }
      return;
    }
    case Path::DirectToIndexed:
      if (from_ == kPixelFormat24bppRGB) {
        const uint8_t* s = src + 3 * srcX;
        for (int32_t i = 0; i < n; ++i, s += 3) {
          const uint32_t c = 0xFF000000u | uint32_t{s[2]} << 16 | uint32_t{s[1]} << 8 | s[0];
          PutIndex(toBpp, dst, dstX + i, mapper_->Map(c));
        }
      } else {
        const uint32_t opaque = from_ == kPixelFormat32bppRGB ? 0xFF000000u : 0;
        const uint8_t* s = src + 4 * srcX;
        for (int32_t i = 0; i < n; ++i) PutIndex(toBpp, dst, dstX + i, mapper_->Map(Load32(s + 4 * i) | opaque));
      }
      return;
    case Path::Generic:
      if (scratch32_.empty()) scratch32_.resize(kChunk);
      if (wide_) {
        if (scratch64_.empty()) scratch64_.resize(4 * kChunk);
        rows::Decode64(from_, src, srcX, n, scratch64_.data(), fromLut_, scratch32_.data());
        rows::Encode64(to_, scratch64_.data(), n, dst, dstX, mapper_.get(), scratch32_.data());
      } else {
        rows::Decode32(from_, src, srcX, n, scratch32_.data(), fromLut_);
        rows::Encode32(to_, scratch32_.data(), n, dst, dstX, mapper_.get());
      }
      return;
  }
}

uint32_t ReadPixelArgb(PixelFormat format, const uint8_t* row, int32_t x, std::span<const uint32_t> palette) {
  if (IsIndexed(format)) {
    const uint32_t index = GetIndex(BitsPerPixel(format), row, x);
    return index < palette.size() ? palette[index] : 0xFF000000u;
  }
  uint32_t argb = 0;
  rows::Decode32(format, row, x, 1, &argb, nullptr);
  return argb;
}

void WritePixelArgb(PixelFormat format, uint8_t* row, int32_t x, uint32_t argb) {
  if (IsIndexed(format)) return;
  rows::Encode32(format, &argb, 1, row, x, nullptr);
}

}  // namespace tessivo::platform
