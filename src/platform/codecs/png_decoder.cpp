// PNG decoding with libpng: every colour type and bit depth, Adam7, transparency chunks,
// pHYs resolution, gamma, ICC profile and EXIF (eXIf chunk or the "Raw profile" text form).
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <string>

#include "platform/codecs/decoders.h"
#include "platform/codecs/icc.h"
#include "platform/codecs/metadata.h"
#include "platform/codecs/property_tags.h"
#include "platform/file_mapping.h"

namespace tessivo::platform::codecs {

namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 16u << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t position;
  size_t released = 0;  // input before this offset has been handed back (mapped files)
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->position) png_error(png, "truncated");
  std::memcpy(out, reader->data + reader->position, length);
  reader->position += length;
  if (reader->position - reader->released >= kMappedInputReleaseStep) {
    ReleaseMappedInput(reader->data + reader->released, reader->data + reader->position);
    reader->released = reader->position;
  }
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// What the decode found out, filled inside the setjmp region (plain data only there).
struct PngLayout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colorType = 0;
  bool hasTrns = false;
  PixelFormat format = kPixelFormatUndefined;
  bool repack2to4 = false;  // 2-bit palette indices widened to 4 bits
};

PixelFormat ChooseFormat(PngLayout& l) {
  bool wide = l.bitDepth == 16;
  switch (l.colorType) {
    case PNG_COLOR_TYPE_PALETTE:
      if (l.bitDepth == 1) return kPixelFormat1bppIndexed;
      if (l.bitDepth == 2) l.repack2to4 = true;
      return l.bitDepth <= 4 ? kPixelFormat4bppIndexed : kPixelFormat8bppIndexed;
    case PNG_COLOR_TYPE_GRAY:
      if (l.hasTrns) return wide ? kPixelFormat64bppARGB : kPixelFormat32bppARGB;
      if (wide) return kPixelFormat48bppRGB;
      return l.bitDepth == 1 ? kPixelFormat1bppIndexed : kPixelFormat8bppIndexed;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return wide ? kPixelFormat64bppARGB : kPixelFormat32bppARGB;
    case PNG_COLOR_TYPE_RGB:
      if (l.hasTrns) return wide ? kPixelFormat64bppARGB : kPixelFormat32bppARGB;
      return wide ? kPixelFormat48bppRGB : kPixelFormat24bppRGB;
    default:
      return kPixelFormatUndefined;
  }
}

void SetTransforms(png_structp png, const PngLayout& l) {
  if (l.repack2to4) png_set_packing(png);  // one index per byte, packed again afterwards
  if (l.colorType == PNG_COLOR_TYPE_GRAY && !l.hasTrns && l.bitDepth > 1 && l.bitDepth < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (l.colorType != PNG_COLOR_TYPE_PALETTE && l.hasTrns) png_set_tRNS_to_alpha(png);
  bool grey = l.colorType == PNG_COLOR_TYPE_GRAY || l.colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
  if (grey && (l.bitDepth == 16 || l.hasTrns || l.colorType == PNG_COLOR_TYPE_GRAY_ALPHA)) {
    png_set_gray_to_rgb(png);
  }
  if (l.colorType != PNG_COLOR_TYPE_PALETTE) png_set_bgr(png);
  if (l.bitDepth == 16) png_set_swap(png);  // bitmaps hold 16-bit samples little-endian
  png_set_interlace_handling(png);
}

// Reads the header (may longjmp, so nothing with a destructor lives here). Returns 0 when the
// header is read and usable, 1 on a libpng error, 2 for a colour type no format fits.
int ReadHeader(png_structp png, png_infop info, PngLayout& l) {
  if (setjmp(png_jmpbuf(png))) return 1;
  png_read_info(png, info);
  int interlace = 0;
  png_get_IHDR(png, info, &l.width, &l.height, &l.bitDepth, &l.colorType, &interlace, nullptr,
               nullptr);
  l.hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  l.format = ChooseFormat(l);
  return l.format == kPixelFormatUndefined ? 2 : 0;
}

Palette ReadPalette(png_structp png, png_infop info, int capacity) {
  Palette palette;
  palette.entries.assign(static_cast<size_t>(capacity), 0xFF000000u);
  png_colorp colours = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &colours, &count) == PNG_INFO_PLTE) {
    for (int i = 0; i < count && i < capacity; ++i) {
      palette.entries[static_cast<size_t>(i)] = 0xFF000000u | (uint32_t{colours[i].red} << 16) |
                                                (uint32_t{colours[i].green} << 8) |
                                                colours[i].blue;
    }
  }
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) == PNG_INFO_tRNS && alpha) {
    for (int i = 0; i < alphaCount && i < capacity; ++i) {
      uint32_t& e = palette.entries[static_cast<size_t>(i)];
      e = (e & 0x00FFFFFFu) | (uint32_t{alpha[i]} << 24);
      if (alpha[i] != 0xFF) palette.flags |= PaletteFlagsHasAlpha;
    }
  }
  return palette;
}

// EXIF kept in a text chunk by older tools: "\nexif\n  <length>\n<hex digits>", the bytes
// beginning with "Exif\0\0" (or directly with the TIFF header).
bool ParseRawProfileText(const char* text, size_t length, std::vector<uint8_t>& exif) {
  std::string s(text, length);
  size_t p = s.find('\n', 1);
  if (p == std::string::npos) return false;
  size_t digitsEnd = s.find('\n', p + 1);
  if (digitsEnd == std::string::npos) return false;
  unsigned long declared = std::strtoul(s.c_str() + p + 1, nullptr, 10);
  if (declared == 0 || declared > s.size()) return false;
  exif.clear();
  exif.reserve(declared);
  int high = -1;
  for (size_t i = digitsEnd + 1; i < s.size() && exif.size() < declared; ++i) {
    char c = s[i];
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      exif.push_back(static_cast<uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  if (exif.size() >= 6 && std::memcmp(exif.data(), "Exif\0\0", 6) == 0) {
    exif.erase(exif.begin(), exif.begin() + 6);
  }
  return exif.size() >= 8;
}

void ReadMetadata(png_structp png, png_infop info, Bitmap& image, std::vector<uint8_t>& icc) {
  png_uint_32 resX = 0, resY = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &resX, &resY, &unit) == PNG_INFO_pHYs) {
    uint8_t unitByte = static_cast<uint8_t>(unit == PNG_RESOLUTION_METER ? 1 : 0);
    uint8_t x[4], y[4];
    WriteLe32(x, resX);
    WriteLe32(y, resY);
    AddProperty(image, kPropertyTagPixelUnit, PropertyTagTypeByte, &unitByte, 1);
    AddProperty(image, kPropertyTagPixelPerUnitX, PropertyTagTypeLong, x, 4);
    AddProperty(image, kPropertyTagPixelPerUnitY, PropertyTagTypeLong, y, 4);
    if (unit == PNG_RESOLUTION_METER) ApplyFileResolution(image, resX * 0.0254, resY * 0.0254);
  }
  png_fixed_point gamma = 0;
  if (png_get_gAMA_fixed(png, info, &gamma) == PNG_INFO_gAMA && gamma > 0) {
    uint8_t rational[8];
    WriteLe32(rational, 100000);
    WriteLe32(rational + 4, static_cast<uint32_t>(gamma));
    AddProperty(image, kPropertyTagGamma, PropertyTagTypeRational, rational, 8);
  }
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 profileLength = 0;
  if (png_get_iCCP(png, info, &name, &compression, &profile, &profileLength) == PNG_INFO_iCCP &&
      profile && profileLength > 0) {
    icc.assign(profile, profile + profileLength);
    AddProperty(image, kPropertyTagICCProfile, PropertyTagTypeUndefined, profile, profileLength);
  }
  png_bytep exif = nullptr;
  png_uint_32 exifLength = 0;
  if (png_get_eXIf_1(png, info, &exifLength, &exif) != 0 && exif && exifLength > 0) {
    ReadExifProperties(exif, exifLength, image);
    return;
  }
  png_textp texts = nullptr;
  int textCount = 0;
  png_get_text(png, info, &texts, &textCount);
  for (int i = 0; i < textCount; ++i) {
    if (std::strcmp(texts[i].key, "Raw profile type exif") != 0 &&
        std::strcmp(texts[i].key, "Raw profile type APP1") != 0) {
      continue;
    }
    std::vector<uint8_t> blob;
    if (ParseRawProfileText(texts[i].text, texts[i].text_length, blob)) {
      ReadExifProperties(blob.data(), blob.size(), image);
      return;
    }
  }
}

// The part of the file libpng gets to see: it ends before the first chunk that claims more
// bytes than the file has left. libpng allocates (and clears) a chunk's buffer before reading
// it, so a forged length would otherwise cost gigabytes before the read fails.
size_t UsableLength(const uint8_t* data, size_t size) {
  size_t at = 8;
  while (at + 8 <= size) {
    uint64_t length = ReadBe32(data + at);
    if (length > size - at - 8) return at;  // its data alone would run past the end
    if (std::memcmp(data + at + 4, "IEND", 4) == 0) {
      return std::min(size, at + 12 + static_cast<size_t>(length));
    }
    if (length + 12 > size - at) return size;  // the last chunk lacks its checksum
    at += 12 + static_cast<size_t>(length);
  }
  return size;
}

// Reads the chunks after the pixel data; their damage is ignored (may longjmp, so nothing
// with a destructor lives here).
void ReadEnd(png_structp png, png_infop endInfo) {
  if (setjmp(png_jmpbuf(png))) return;
  png_read_end(png, endInfo);
}

// Widens one-per-byte 2-bit indices to packed 4-bit indices.
void Repack2To4(const uint8_t* src, uint8_t* dst, png_uint_32 width) {
  for (png_uint_32 x = 0; x < width; x += 2) {
    uint8_t hi = src[x] & 0x0F;
    uint8_t lo = x + 1 < width ? (src[x + 1] & 0x0F) : 0;
    dst[x / 2] = static_cast<uint8_t>((hi << 4) | lo);
  }
}

struct PngHandles {
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_infop endInfo = nullptr;
  ~PngHandles() { png_destroy_read_struct(&png, &info, &endInfo); }
};

}  // namespace

Status DecodePng(const uint8_t* data, size_t size, bool icm, std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return Status::UnknownImageFormat;
  MemoryReader reader{data, UsableLength(data, size), 0, 0};
  PngHandles h;
  h.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (h.png == nullptr) return Status::OutOfMemory;
  h.info = png_create_info_struct(h.png);
  h.endInfo = png_create_info_struct(h.png);
  if (h.info == nullptr || h.endInfo == nullptr) return Status::OutOfMemory;
  png_set_read_fn(h.png, &reader, ReadFromMemory);
  png_set_user_limits(h.png, 0x7FFFFFFF, 0x7FFFFFFF);
  // A forged chunk length must not make libpng allocate (and clear) gigabytes for text or
  // profiles, nor thousands of chunks make it keep them all.
  png_set_chunk_malloc_max(h.png, kMaxChunkBytes);
  png_set_chunk_cache_max(h.png, kMaxAncillaryChunks);
  // Ancillary chunks with bad CRCs are skipped instead of failing the whole image.
  png_set_crc_action(h.png, PNG_CRC_DEFAULT, PNG_CRC_QUIET_USE);

  // First pass over the header only, to size the bitmap before any pixel is read.
  PngLayout layout;
  if (ReadHeader(h.png, h.info, layout) != 0) return Status::UnknownImageFormat;
  std::unique_ptr<Bitmap> image;
  Status s = NewDecodedBitmap(layout.width, layout.height, layout.format, image);
  if (s != Status::Ok) return s;
  if (IsIndexed(layout.format)) {
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
      image->SetPalette(ReadPalette(h.png, h.info, PaletteCapacity(layout.format)));
    } else {
      image->SetPalette(GreyRampPalette(PaletteCapacity(layout.format)));
    }
  }
  std::vector<png_bytep> rows(layout.height);
  std::vector<uint8_t> scratch;
  if (layout.repack2to4) scratch.resize(static_cast<size_t>(layout.width) * layout.height);
  std::vector<uint8_t> icc;

  // libpng errors in the pixel data come back here. Everything with a destructor in this
  // frame was constructed above, so the jump skips no destructor.
  if (setjmp(png_jmpbuf(h.png))) return Status::GenericError;
  SetTransforms(h.png, layout);
  png_read_update_info(h.png, h.info);
  size_t rowBytes = png_get_rowbytes(h.png, h.info);
  if (!layout.repack2to4 && rowBytes > static_cast<size_t>(image->Stride())) {
    return Status::GenericError;
  }
  if (layout.repack2to4 && rowBytes != layout.width) return Status::GenericError;
  for (png_uint_32 y = 0; y < layout.height; ++y) {
    rows[y] = layout.repack2to4 ? scratch.data() + static_cast<size_t>(y) * layout.width
                                : image->Row(static_cast<int32_t>(y));
  }
  png_read_image(h.png, rows.data());
  // Damage after the pixel data costs only the chunks that follow them.
  ReadEnd(h.png, h.endInfo);
  if (layout.repack2to4) {
    for (png_uint_32 y = 0; y < layout.height; ++y) {
      Repack2To4(rows[y], image->Row(static_cast<int32_t>(y)), layout.width);
    }
  }

  ReadMetadata(h.png, h.info, *image, icc);
  ReadMetadata(h.png, h.endInfo, *image, icc);  // chunks after the pixel data
  if (icm && !icc.empty()) ConvertToSrgb(*image, icc.data(), icc.size());
  bool grey = layout.colorType == PNG_COLOR_TYPE_GRAY ||
              layout.colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
  FinishDecodedBitmap(*image, RawFormat::PNG,
                      grey ? ImageFlagsColorSpaceGRAY : ImageFlagsColorSpaceRGB);
  out = std::move(image);
  return Status::Ok;
}

}  // namespace tessivo::platform::codecs
