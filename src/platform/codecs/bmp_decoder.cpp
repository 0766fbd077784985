// BMP and DIB decoding: OS/2 core and Windows info headers (40 to 124 bytes), 1/4/8-bit
// palettes, 16/32-bit bit fields, 24-bit, RLE4/RLE8, top-down rows, embedded JPEG/PNG.
#include <algorithm>
#include <cstring>

#include "platform/codecs/decoders.h"

namespace tessivo::platform::codecs {

namespace {

enum BmpCompression : uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitfields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitfields = 6,
};

struct DibHeader {
  uint32_t headerSize = 0;
  int64_t width = 0;
  int64_t height = 0;  // positive: bottom-up
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t imageSize = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool hasMasks = false;
  size_t paletteOffset = 0;  // from the start of the header
  int paletteEntrySize = 4;
};

Status ParseHeader(const uint8_t* data, size_t size, DibHeader& h) {
  if (size < 12) return Status::UnknownImageFormat;
  h.headerSize = ReadLe32(data);
  if (h.headerSize == 12) {
    h.width = ReadLe16(data + 4);
    h.height = static_cast<int16_t>(ReadLe16(data + 6));
    h.bitCount = ReadLe16(data + 10);
    h.paletteEntrySize = 3;
    h.paletteOffset = 12;
  } else {
    if (h.headerSize < 16 || h.headerSize > size) return Status::UnknownImageFormat;
    uint8_t header[124] = {};
    std::memcpy(header, data, std::min<size_t>(h.headerSize, sizeof header));
    h.width = static_cast<int32_t>(ReadLe32(header + 4));
    h.height = static_cast<int32_t>(ReadLe32(header + 8));
    h.bitCount = ReadLe16(header + 14);
    h.compression = ReadLe32(header + 16);
    h.imageSize = ReadLe32(header + 20);
    h.xPelsPerMeter = static_cast<int32_t>(ReadLe32(header + 24));
    h.yPelsPerMeter = static_cast<int32_t>(ReadLe32(header + 28));
    h.colorsUsed = ReadLe32(header + 32);
    h.paletteOffset = h.headerSize;
    bool bitfields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
    if (h.headerSize >= 52) {
      for (int i = 0; i < 3; ++i) h.masks[i] = ReadLe32(header + 40 + 4 * i);
      if (h.headerSize >= 56) h.masks[3] = ReadLe32(header + 52);
      h.hasMasks = bitfields;
    } else if (bitfields) {
      // Masks follow a 40-byte header (three, four for alpha bit fields).
      int count = h.compression == kBiAlphaBitfields ? 4 : 3;
      if (h.headerSize + 4u * count > size) return Status::UnknownImageFormat;
      for (int i = 0; i < count; ++i) h.masks[i] = ReadLe32(data + h.headerSize + 4 * i);
      h.paletteOffset += 4u * count;
      h.hasMasks = true;
    }
  }
  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;
  }
  switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    case 0: if (h.compression == kBiJpeg || h.compression == kBiPng) break; [[fallthrough]];
    default: return Status::UnknownImageFormat;
  }
  if (h.compression == kBiRle8 && h.bitCount != 8) return Status::UnknownImageFormat;
  if (h.compression == kBiRle4 && h.bitCount != 4) return Status::UnknownImageFormat;
  if ((h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) &&
      h.bitCount != 16 && h.bitCount != 32) {
    return Status::UnknownImageFormat;
  }
  if (h.compression > kBiAlphaBitfields) return Status::UnknownImageFormat;
  if (h.topDown && (h.compression == kBiRle4 || h.compression == kBiRle8)) {
    return Status::UnknownImageFormat;  // RLE bitmaps are bottom-up by definition
  }
  return Status::Ok;
}

Status ReadPalette(const uint8_t* data, size_t size, const DibHeader& h, Palette& palette) {
  uint32_t capacity = 1u << h.bitCount;
  uint32_t count = h.colorsUsed == 0 || h.colorsUsed > capacity ? capacity : h.colorsUsed;
  size_t entry = static_cast<size_t>(h.paletteEntrySize);
  if (h.paletteOffset > size) return Status::UnknownImageFormat;
  size_t available = (size - h.paletteOffset) / entry;
  if (available == 0) return Status::UnknownImageFormat;
  if (count > available) count = static_cast<uint32_t>(available);
  // The bitmap's palette always has the format's full size so that every index is valid;
  // entries the file leaves out are black.
  palette.flags = 0;
  palette.entries.assign(capacity, 0xFF000000u);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* p = data + h.paletteOffset + i * entry;
    palette.entries[i] = 0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  }
  return Status::Ok;
}

// Channel extraction for arbitrary bit-field masks.
struct MaskChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit MaskChannel(uint32_t m) : mask(m) {
    if (m == 0) return;
    while (((m >> shift) & 1u) == 0) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1u) != 0) ++bits;
  }
  uint8_t Extract(uint32_t v, uint8_t absent) const {
    if (mask == 0) return absent;
    uint32_t raw = (v & mask) >> shift;
    uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
    uint64_t scaled = (static_cast<uint64_t>(raw) * 255u + max / 2) / max;
    return static_cast<uint8_t>(scaled > 255 ? 255 : scaled);  // non-contiguous masks
  }
};

PixelFormat DirectFormat(const DibHeader& h) {
  if (h.bitCount == 24) return kPixelFormat24bppRGB;
  if (h.bitCount == 16) {
    if (!h.hasMasks) return kPixelFormat16bppRGB555;
    const uint32_t* m = h.masks;
    if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F && m[3] == 0) {
      return kPixelFormat16bppRGB565;
    }
    if (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F) {
      if (m[3] == 0) return kPixelFormat16bppRGB555;
      if (m[3] == 0x8000) return kPixelFormat16bppARGB1555;
    }
    return h.masks[3] != 0 ? kPixelFormat32bppARGB : kPixelFormat32bppRGB;
  }
  // 32 bits: plain BGRX unless the masks say there is alpha.
  if (h.hasMasks && h.masks[3] != 0) return kPixelFormat32bppARGB;
  return kPixelFormat32bppRGB;
}

// Whether rows can be copied as they are (the file's layout equals the pixel format's).
bool CopiesRows(const DibHeader& h) {
  if (h.bitCount <= 8 || h.bitCount == 24) return true;
  if (!h.hasMasks) return true;
  const uint32_t* m = h.masks;
  if (h.bitCount == 32) {
    return m[0] == 0x00FF0000 && m[1] == 0x0000FF00 && m[2] == 0x000000FF &&
           (m[3] == 0 || m[3] == 0xFF000000);
  }
  PixelFormat f = DirectFormat(h);
  return f == kPixelFormat16bppRGB555 || f == kPixelFormat16bppRGB565 ||
         f == kPixelFormat16bppARGB1555;
}

Status DecodeUncompressed(const uint8_t* pixels, size_t available, const DibHeader& h,
                          Bitmap& image) {
  int64_t rowBytes = PackedRowBytes(h.width, h.bitCount);
  int64_t fileStride = (rowBytes + 3) & ~int64_t{3};
  // The last row may lack its padding; anything shorter is truncated data.
  if (rowBytes < 0 || static_cast<int64_t>(available) < fileStride * (h.height - 1) + rowBytes) {
    return Status::GenericError;
  }
  bool copy = CopiesRows(h);
  MaskChannel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(h.masks[3]);
  for (int64_t y = 0; y < h.height; ++y) {
    const uint8_t* src = pixels + fileStride * y;
    int32_t target = static_cast<int32_t>(h.topDown ? y : h.height - 1 - y);
    uint8_t* dst = image.Row(target);
    if (copy) {
      std::memcpy(dst, src, static_cast<size_t>(rowBytes));
      continue;
    }
    for (int64_t x = 0; x < h.width; ++x) {
      uint32_t v = h.bitCount == 16 ? ReadLe16(src + 2 * x) : ReadLe32(src + 4 * x);
      dst[4 * x + 0] = b.Extract(v, 0);
      dst[4 * x + 1] = g.Extract(v, 0);
      dst[4 * x + 2] = r.Extract(v, 0);
      dst[4 * x + 3] = a.Extract(v, 0xFF);
    }
  }
  return Status::Ok;
}

void PutIndex(Bitmap& image, int bits, int64_t x, int64_t y, uint8_t index) {
  uint8_t* row = image.Row(static_cast<int32_t>(y));
  if (bits == 8) {
    row[x] = index;
  } else {
    uint8_t& byte = row[x / 2];
    byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | (index & 0x0F))
                   : static_cast<uint8_t>((byte & 0x0F) | (index << 4));
  }
}

// RLE4/RLE8: runs and literal stretches; deltas and end-of-line/bitmap escapes. Pixels the
// stream never reaches stay index 0. Data running past the image or the input is clipped.
Status DecodeRle(const uint8_t* p, size_t size, const DibHeader& h, Bitmap& image) {
  int bits = h.bitCount;
  int64_t x = 0;
  int64_t line = 0;  // counted from the bottom
  size_t i = 0;
  auto put = [&](uint8_t index) {
    if (x < h.width && line < h.height) PutIndex(image, bits, x, h.height - 1 - line, index);
    ++x;
  };
  while (i + 1 < size && line < h.height) {
    uint8_t count = p[i];
    uint8_t value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) {
        put(bits == 8 ? value : static_cast<uint8_t>((k & 1) ? value & 0x0F : value >> 4));
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++line;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (i + 1 >= size) break;
      x += p[i];
      line += p[i + 1];
      i += 2;
    } else {  // literal stretch of `value` pixels, padded to 16 bits
      size_t bytes = bits == 8 ? value : (value + 1u) / 2u;
      if (i + bytes > size) return Status::GenericError;
      for (int k = 0; k < value; ++k) {
        put(bits == 8 ? p[i + k]
                      : static_cast<uint8_t>((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4));
      }
      i += (bytes + 1) & ~size_t{1};
    }
  }
  return Status::Ok;
}

// The 1-bit AND mask after an icon's colour pixels makes masked pixels transparent.
void ApplyIconMask(const uint8_t* mask, size_t available, const DibHeader& h, Bitmap& argb) {
  int64_t maskStride = ((h.width + 31) / 32) * 4;
  if (static_cast<int64_t>(available) < maskStride * h.height) return;  // no usable mask
  for (int64_t y = 0; y < h.height; ++y) {
    const uint8_t* src = mask + maskStride * y;
    uint8_t* dst = argb.Row(static_cast<int32_t>(h.height - 1 - y));
    for (int64_t x = 0; x < h.width; ++x) {
      if (src[x / 8] & (0x80 >> (x % 8))) dst[4 * x + 3] = 0;
    }
  }
}

bool HasAnyAlpha(const Bitmap& argb) {
  for (int32_t y = 0; y < argb.Height(); ++y) {
    const uint8_t* row = argb.Row(y);
    for (int32_t x = 0; x < argb.Width(); ++x) {
      if (row[4 * x + 3] != 0) return true;
    }
  }
  return false;
}

void MakeOpaque(Bitmap& argb) {
  for (int32_t y = 0; y < argb.Height(); ++y) {
    uint8_t* row = argb.Row(y);
    for (int32_t x = 0; x < argb.Width(); ++x) row[4 * x + 3] = 0xFF;
  }
}

Status DecodeDibBody(const uint8_t* dib, size_t dibSize, const uint8_t* pixels,
                     size_t pixelBytes, bool iconImage, std::unique_ptr<Bitmap>& out) {
  DibHeader h;
  Status s = ParseHeader(dib, dibSize, h);
  if (s != Status::Ok) return s;
  if (h.compression == kBiJpeg || h.compression == kBiPng) {
    return h.compression == kBiJpeg ? DecodeJpeg(pixels, pixelBytes, false, out)
                                    : DecodePng(pixels, pixelBytes, false, out);
  }
  if (iconImage) h.height /= 2;  // the header counts colour rows and mask rows
  PixelFormat format = kPixelFormatUndefined;
  switch (h.bitCount) {
    case 1: format = kPixelFormat1bppIndexed; break;
    case 4: format = kPixelFormat4bppIndexed; break;
    case 8: format = kPixelFormat8bppIndexed; break;
    default: format = DirectFormat(h); break;
  }
  // 32-bit icon images keep alpha in the fourth byte.
  bool iconAlpha = iconImage && h.bitCount == 32 && CopiesRows(h);
  if (iconAlpha) format = kPixelFormat32bppARGB;
  std::unique_ptr<Bitmap> image;
  s = NewDecodedBitmap(h.width, h.height, format, image);
  if (s != Status::Ok) return s;
  if (IsIndexed(format)) {
    Palette palette;
    s = ReadPalette(dib, dibSize, h, palette);
    if (s != Status::Ok) return s;
    image->SetPalette(palette);
  }
  if (h.compression == kBiRle4 || h.compression == kBiRle8) {
    s = DecodeRle(pixels, pixelBytes, h, *image);
  } else {
    s = DecodeUncompressed(pixels, pixelBytes, h, *image);
  }
  if (s != Status::Ok) return s;
  double dpm = 0.0254;
  ApplyFileResolution(*image, h.xPelsPerMeter * dpm, h.yPelsPerMeter * dpm);
  if (iconImage) {
    // Icons are shown through their mask: every icon image gets straight alpha. 32-bit
    // images carry their own alpha unless it is all zero (written before alpha existed).
    bool ownAlpha = iconAlpha && HasAnyAlpha(*image);
    if (!ownAlpha) {
      std::unique_ptr<Bitmap> argb;
      if (iconAlpha) {
        MakeOpaque(*image);
        argb = std::move(image);
      } else {
        Rect all{0, 0, image->Width(), image->Height()};
        s = image->CloneArea(all, kPixelFormat32bppARGB, argb);
        if (s != Status::Ok) return s;
      }
      int64_t rowBytes = PackedRowBytes(h.width, h.bitCount);
      size_t colourBytes = static_cast<size_t>(((rowBytes + 3) & ~int64_t{3}) * h.height);
      if (colourBytes <= pixelBytes) {
        ApplyIconMask(pixels + colourBytes, pixelBytes - colourBytes, h, *argb);
      }
      image = std::move(argb);
    }
  }
  FinishDecodedBitmap(*image, RawFormat::BMP, ImageFlagsColorSpaceRGB);
  out = std::move(image);
  return Status::Ok;
}

}  // namespace

Status DecodeDib(const uint8_t* data, size_t size, bool iconImage, std::unique_ptr<Bitmap>& out) {
  out.reset();
  DibHeader h;
  Status s = ParseHeader(data, size, h);
  if (s != Status::Ok) return s;
  // Pixels follow the header, the masks and the palette.
  size_t paletteEntries = 0;
  if (h.bitCount <= 8) {
    uint32_t capacity = 1u << h.bitCount;
    paletteEntries = h.colorsUsed == 0 || h.colorsUsed > capacity ? capacity : h.colorsUsed;
  }
  size_t offset = h.paletteOffset + paletteEntries * static_cast<size_t>(h.paletteEntrySize);
  if (offset > size) return Status::UnknownImageFormat;
  return DecodeDibBody(data, size, data + offset, size - offset, iconImage, out);
}

Status DecodeBmp(const uint8_t* data, size_t size, std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return Status::UnknownImageFormat;
  uint32_t pixelOffset = ReadLe32(data + 10);
  const uint8_t* dib = data + 14;
  size_t dibSize = size - 14;
  if (pixelOffset < 14 || pixelOffset > size) {
    // A bad offset: assume the pixels follow the palette, as most readers do.
    DibHeader h;
    Status s = ParseHeader(dib, dibSize, h);
    if (s != Status::Ok) return s;
    return DecodeDib(dib, dibSize, false, out);
  }
  return DecodeDibBody(dib, dibSize, data + pixelOffset, size - pixelOffset, false, out);
}

}  // namespace tessivo::platform::codecs
