// TIFF through libtiff, always over memory: pages are read from the bytes of an open file, and
// files are assembled in memory and written in one piece.
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "codecs.h"
#include "metadata.h"
#include "platform/file_mapping.h"

namespace tvimg {

namespace {

// Bytes libtiff may allocate at once for one file (strips, tiles, tag arrays).
constexpr tmsize_t kMaxSingleAllocation = tmsize_t{1} << 30;

struct MemoryIo {
  const uint8_t* data = nullptr;        // reading only
  std::vector<uint8_t>* out = nullptr;  // writing, or reading and writing
  uint64_t size = 0;
  uint64_t pos = 0;
  uint64_t released = 0;  // input before this offset has been handed back (mapped files)
};

tmsize_t IoRead(thandle_t h, void* buf, tmsize_t n) {
  auto* io = static_cast<MemoryIo*>(h);
  const uint8_t* data = io->out ? io->out->data() : io->data;
  if (!data || n < 0 || io->pos >= io->size) return 0;
  const uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(n), io->size - io->pos);
  // Strips already copied out of a mapped file need not stay resident. Counted from the start
  // of the current run of reads: a seek (to a directory, say) starts a new run.
  constexpr uint64_t kStep = tessivo::platform::kMappedInputReleaseStep;
  if (io->pos < io->released || io->pos > io->released + kStep) io->released = io->pos;
  std::memcpy(buf, data + io->pos, count);
  io->pos += count;
  if (!io->out && io->pos >= io->released + kStep) {
    tessivo::platform::ReleaseMappedInput(data + io->released, data + io->pos);
    io->released = io->pos;
  }
  return static_cast<tmsize_t>(count);
}

tmsize_t IoWrite(thandle_t h, void* buf, tmsize_t n) {
  auto* io = static_cast<MemoryIo*>(h);
  if (!io->out || n < 0) return -1;
  const uint64_t end = io->pos + static_cast<uint64_t>(n);
  if (end > kMaxFileBytes) return -1;
  if (end > io->out->size()) io->out->resize(end);
  std::memcpy(io->out->data() + io->pos, buf, static_cast<size_t>(n));
  io->pos = end;
  io->size = std::max<uint64_t>(io->size, end);
  return n;
}

toff_t IoSeek(thandle_t h, toff_t off, int whence) {
  auto* io = static_cast<MemoryIo*>(h);
  uint64_t base = whence == SEEK_CUR ? io->pos : whence == SEEK_END ? io->size : 0;
  const uint64_t target = base + off;
  if (target > kMaxFileBytes) return static_cast<toff_t>(-1);
  io->pos = target;
  return target;
}

int IoClose(thandle_t) { return 0; }
toff_t IoSize(thandle_t h) { return static_cast<MemoryIo*>(h)->size; }
int IoMap(thandle_t h, void** base, toff_t* size) {
  auto* io = static_cast<MemoryIo*>(h);
  if (!io->data || io->out) return 0;
  *base = const_cast<uint8_t*>(io->data);
  *size = io->size;
  return 1;
}
void IoUnmap(thandle_t, void*, toff_t) {}

int Silent(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* OpenOver(MemoryIo& io, const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options, Silent, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, Silent, nullptr);
  TIFF* tif = TIFFClientOpenExt("memory", mode, &io, IoRead, IoWrite, IoSeek, IoClose, IoSize,
                                IoMap, IoUnmap, options);
  TIFFOpenOptionsFree(options);
  return tif;
}

thread_local int32_t tiffJpegQuality = 75;

}  // namespace

struct TiffDocument {
  MemoryIo io;
  TIFF* tif = nullptr;
  int32_t pages = 0;
};

TiffDocument* OpenTiff(const uint8_t* data, size_t size) {
  if (!data || size < 8) return nullptr;
  auto document = std::make_unique<TiffDocument>();
  document->io.data = data;
  document->io.size = size;
  document->tif = OpenOver(document->io, "rm");
  if (!document->tif) return nullptr;
  // Count directories without trusting a loop in the IFD chain (libtiff detects loops).
  int32_t pages = 1;
  while (pages < 100000 && TIFFReadDirectory(document->tif)) ++pages;
  document->pages = pages;
  TIFFSetDirectory(document->tif, 0);
  return document.release();
}

void CloseTiff(TiffDocument* document) {
  if (!document) return;
  if (document->tif) TIFFClose(document->tif);
  delete document;
}

int32_t TiffPageCount(TiffDocument* document) { return document ? document->pages : 0; }

namespace {

struct PageLayout {
  uint32_t width = 0, height = 0;
  uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
  uint16_t sampleFormat = SAMPLEFORMAT_UINT, compression = COMPRESSION_NONE;
  uint16_t extraCount = 0;
  const uint16_t* extraTypes = nullptr;
  bool tiled = false;
};

bool ReadScanlines(TIFF* tif, tvimg_bitmap& b, std::vector<uint8_t>& row,
                   void (*convert)(const uint8_t*, uint8_t*, uint32_t)) {
  const tmsize_t lineSize = TIFFScanlineSize(tif);
  if (lineSize <= 0) return false;
  if (convert) row.resize(static_cast<size_t>(lineSize));
  else if (static_cast<uint64_t>(lineSize) > b.pitch) row.resize(static_cast<size_t>(lineSize));
  for (uint32_t y = 0; y < b.height; ++y) {
    uint8_t* dst = TopRow(b, y);
    uint8_t* target = row.empty() ? dst : row.data();
    if (TIFFReadScanline(tif, target, y, 0) < 0) return false;
    if (convert) convert(row.data(), dst, b.width);
    else if (!row.empty()) std::memcpy(dst, row.data(), b.pitch);
  }
  return true;
}

void RgbToBgr(const uint8_t* src, uint8_t* dst, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    dst[3 * x] = src[3 * x + 2];
    dst[3 * x + 1] = src[3 * x + 1];
    dst[3 * x + 2] = src[3 * x];
  }
}

void RgbaToBgra(const uint8_t* src, uint8_t* dst, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    dst[4 * x] = src[4 * x + 2];
    dst[4 * x + 1] = src[4 * x + 1];
    dst[4 * x + 2] = src[4 * x];
    dst[4 * x + 3] = src[4 * x + 3];
  }
}

// Associated (premultiplied) alpha back to straight alpha.
void PremultipliedRgbaToBgra(const uint8_t* src, uint8_t* dst, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t* p = src + 4 * x;
    const unsigned a = p[3];
    auto un = [a](unsigned c) {
      return static_cast<uint8_t>(a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a));
    };
    dst[4 * x] = un(p[2]);
    dst[4 * x + 1] = un(p[1]);
    dst[4 * x + 2] = un(p[0]);
    dst[4 * x + 3] = static_cast<uint8_t>(a);
  }
}

void Invert16(tvimg_bitmap& b) {
  for (uint32_t y = 0; y < b.height; ++y) {
    auto* row = reinterpret_cast<uint16_t*>(b.bits.data() + static_cast<size_t>(y) * b.pitch);
    for (uint32_t x = 0; x < b.width; ++x) row[x] = static_cast<uint16_t>(65535 - row[x]);
  }
}

BitmapPtr ReadIndexed(TIFF* tif, const PageLayout& l) {
  BitmapPtr b = AllocateBitmap(l.width, l.height, l.bps);
  if (!b) return nullptr;
  const uint32_t entries = PaletteSize(l.bps);
  if (l.photometric == PHOTOMETRIC_PALETTE) {
    uint16_t *r = nullptr, *g = nullptr, *bl = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &bl) || !r || !g || !bl) return nullptr;
    // Some writers store 8-bit values in the 16-bit colour map.
    bool eightBit = true;
    for (uint32_t i = 0; i < entries; ++i) eightBit &= r[i] < 256 && g[i] < 256 && bl[i] < 256;
    const int shift = eightBit ? 0 : 8;
    for (uint32_t i = 0; i < entries; ++i)
      SetPaletteEntry(*b, i, static_cast<uint8_t>(r[i] >> shift), static_cast<uint8_t>(g[i] >> shift),
                      static_cast<uint8_t>(bl[i] >> shift));
  } else if (l.photometric == PHOTOMETRIC_MINISWHITE) {
    for (uint32_t i = 0; i < entries; ++i) {
      const auto v = static_cast<uint8_t>((entries - 1 - i) * 255 / (entries - 1));
      SetPaletteEntry(*b, i, v, v, v);
    }
    b->minIsWhite = l.bps == 1;
  }
  std::vector<uint8_t> row;
  if (!ReadScanlines(tif, *b, row, nullptr)) return nullptr;
  return b;
}

// Anything libtiff's RGBA interface understands (YCbCr, CMYK, Lab, odd depths, tiles, planes).
BitmapPtr ReadThroughRgba(TIFF* tif, const PageLayout& l) {
  char message[1024];
  if (!TIFFRGBAImageOK(tif, message)) return nullptr;
  if (uint64_t{l.width} * l.height * 4 > kMaxPixelBytes) return nullptr;
  const bool alpha = l.extraCount > 0;
  BitmapPtr b = AllocateBitmap(l.width, l.height, alpha ? 32 : 24);
  if (!b) return nullptr;
  std::vector<uint32_t> raster;
  try {
    raster.resize(static_cast<size_t>(l.width) * l.height);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!TIFFReadRGBAImageOriented(tif, l.width, l.height, raster.data(), ORIENTATION_BOTLEFT, 0))
    return nullptr;
  for (uint32_t y = 0; y < l.height; ++y) {  // raster row 0 is the bottom row, as ours
    const uint32_t* src = raster.data() + static_cast<size_t>(y) * l.width;
    uint8_t* dst = b->bits.data() + static_cast<size_t>(y) * b->pitch;
    for (uint32_t x = 0; x < l.width; ++x) {
      const uint32_t p = src[x];
      uint8_t* d = dst + x * (alpha ? 4 : 3);
      d[0] = static_cast<uint8_t>(TIFFGetB(p));
      d[1] = static_cast<uint8_t>(TIFFGetG(p));
      d[2] = static_cast<uint8_t>(TIFFGetR(p));
      if (alpha) d[3] = static_cast<uint8_t>(TIFFGetA(p));
    }
  }
  b->cmykSource = l.photometric == PHOTOMETRIC_SEPARATED;
  return b;
}

BitmapPtr ReadPixels(TIFF* tif, const PageLayout& l) {
  const bool direct = !l.tiled && l.planar == PLANARCONFIG_CONTIG;
  const bool uintSamples = l.sampleFormat == SAMPLEFORMAT_UINT;
  const bool grey = l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE;
  std::vector<uint8_t> row;
  if (direct && uintSamples && l.spp == 1 && (l.bps == 1 || l.bps == 4 || l.bps == 8) &&
      (grey || l.photometric == PHOTOMETRIC_PALETTE))
    return ReadIndexed(tif, l);
  if (direct && uintSamples && grey && l.spp == 1 && l.bps == 16) {
    BitmapPtr b = AllocateBitmap(l.width, l.height, 16, TVIMG_TYPE_UINT16);
    if (!b || !ReadScanlines(tif, *b, row, nullptr)) return nullptr;
    if (l.photometric == PHOTOMETRIC_MINISWHITE) Invert16(*b);
    return b;
  }
  if (direct && l.photometric == PHOTOMETRIC_RGB && uintSamples && l.bps == 8 &&
      (l.spp == 3 || l.spp == 4)) {
    const bool alpha = l.spp == 4;
    const bool premultiplied =
        alpha && l.extraCount > 0 && l.extraTypes && l.extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    BitmapPtr b = AllocateBitmap(l.width, l.height, alpha ? 32 : 24);
    if (!b || !ReadScanlines(tif, *b, row,
                             !alpha ? RgbToBgr : premultiplied ? PremultipliedRgbaToBgra : RgbaToBgra))
      return nullptr;
    return b;
  }
  if (direct && l.photometric == PHOTOMETRIC_RGB && uintSamples && l.bps == 16 &&
      (l.spp == 3 || l.spp == 4)) {
    BitmapPtr b = AllocateBitmap(l.width, l.height, l.spp * 16u,
                                 l.spp == 4 ? TVIMG_TYPE_RGBA16 : TVIMG_TYPE_RGB16);
    if (!b || !ReadScanlines(tif, *b, row, nullptr)) return nullptr;
    return b;
  }
  if (direct && l.sampleFormat == SAMPLEFORMAT_IEEEFP && l.bps == 32 &&
      ((l.photometric == PHOTOMETRIC_RGB && (l.spp == 3 || l.spp == 4)) ||
       (l.photometric == PHOTOMETRIC_MINISBLACK && l.spp == 1))) {
    const int32_t type =
        l.spp == 1 ? TVIMG_TYPE_FLOAT : l.spp == 4 ? TVIMG_TYPE_RGBAF : TVIMG_TYPE_RGBF;
    BitmapPtr b = AllocateBitmap(l.width, l.height, l.spp * 32u, type);
    if (!b || !ReadScanlines(tif, *b, row, nullptr)) return nullptr;
    return b;
  }
  if (direct && l.photometric == PHOTOMETRIC_YCBCR && l.compression == COMPRESSION_JPEG &&
      l.bps == 8 && l.spp == 3) {
    // Let the JPEG codec convert to RGB; much faster than the RGBA interface.
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    BitmapPtr b = AllocateBitmap(l.width, l.height, 24);
    if (b && ReadScanlines(tif, *b, row, RgbToBgr)) return b;
  }
  return ReadThroughRgba(tif, l);
}

uint32_t DotsPerMetre(float value, uint16_t unit) {
  if (!(value > 0) || !std::isfinite(value)) return 0;
  double dpm = unit == RESUNIT_CENTIMETER ? value * 100.0 : unit == RESUNIT_INCH ? value / 0.0254 : 0;
  return dpm > 0 && dpm < 4e9 ? static_cast<uint32_t>(dpm + 0.5) : 0;
}

void ReadPageMetadata(TiffDocument& d, tvimg_bitmap& b) {
  TIFF* tif = d.tif;
  float xres = 0, yres = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres)) {
    b.dotsPerMeterX = DotsPerMetre(xres, unit);
    b.dotsPerMeterY = DotsPerMetre(yres, unit);
  }
  b.exif = ParseTiffIfd(d.io.data, d.io.size, TIFFCurrentDirOffset(tif));
  for (const MetadataItem& item : b.exif)
    if (item.id == kTagICCProfile) b.iccProfile = item.value;
  const uint64_t ifd = TIFFCurrentDirOffset(tif);
  const std::vector<uint8_t> iim = RawTiffTag(d.io.data, d.io.size, ifd, kTagIptcNaa);
  if (!iim.empty()) {
    b.iptc = ParseIptc(iim.data(), iim.size());
  } else {
    const std::vector<uint8_t> resources = RawTiffTag(d.io.data, d.io.size, ifd, kTagPhotoshop);
    const std::vector<uint8_t> wrapped = IptcFromPhotoshopResources(resources.data(), resources.size());
    b.iptc = ParseIptc(wrapped.data(), wrapped.size());
  }
}

}  // namespace

BitmapPtr LoadTiffPage(TiffDocument* document, int32_t page) {
  if (!document || page < 0 || page >= document->pages) return nullptr;
  TIFF* tif = document->tif;
  if (!TIFFSetDirectory(tif, static_cast<tdir_t>(page))) return nullptr;
  PageLayout l;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height))
    return nullptr;
  if (l.width == 0 || l.height == 0 || l.width > kMaxDimension || l.height > kMaxDimension)
    return nullptr;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.spp);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l.planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &l.extraCount, &l.extraTypes);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric))
    l.photometric = l.spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  l.tiled = TIFFIsTiled(tif);
  BitmapPtr bitmap = ReadPixels(tif, l);
  if (!bitmap) return nullptr;
  ReadPageMetadata(*document, *bitmap);
  return bitmap;
}

TiffCompression TiffCompressionFromFlags(int32_t flags) {
  if (flags & TVIMG_SAVE_TIFF_JPEG) return TiffCompression::Jpeg;
  if (flags & TVIMG_SAVE_TIFF_LZW) return TiffCompression::Lzw;
  if (flags & TVIMG_SAVE_TIFF_CCITT4) return TiffCompression::Ccitt4;
  if (flags & TVIMG_SAVE_TIFF_PACKBITS) return TiffCompression::PackBits;
  if (flags & TVIMG_SAVE_TIFF_DEFLATE) return TiffCompression::Deflate;
  if (flags & TVIMG_SAVE_TIFF_NONE) return TiffCompression::None;
  return TiffCompression::Default;
}

void SetTiffJpegQuality(int32_t quality) { tiffJpegQuality = std::clamp(quality, 0, 100); }

namespace {

bool IsGreyRamp(const tvimg_bitmap& b) {
  const uint32_t n = PaletteSize(b.bpp);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t v = i * 255 / (n - 1);
    const uint8_t* e = b.palette.data() + 4 * i;
    if (e[0] != v || e[1] != v || e[2] != v) return false;
  }
  return true;
}

// One page in the layout the compression allows; fills `row` per top-down line.
class PageWriter {
 public:
  PageWriter(const tvimg_bitmap& b, TiffCompression compression) : b_(b) {
    const bool indexed = b.type == TVIMG_TYPE_BITMAP && b.bpp <= 8;
    const bool greyRamp = indexed && IsGreyRamp(b);
    if (compression == TiffCompression::Jpeg) {
      // JPEG holds 8-bit grey or RGB only.
      jpeg_ = true;
      expand_ = !(b.bpp == 8 && greyRamp) && !(b.type == TVIMG_TYPE_BITMAP && b.bpp == 24);
      greyOut_ = b.bpp == 8 && greyRamp;
    } else if (compression == TiffCompression::Ccitt4 && b.bpp != 1) {
      compression = TiffCompression::Lzw;
    }
    compression_ = compression;
    if (jpeg_) {
      spp_ = greyOut_ ? 1 : 3;
      bps_ = 8;
      photometric_ = greyOut_ ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_YCBCR;
    } else if (indexed) {
      spp_ = 1;
      bps_ = static_cast<uint16_t>(b.bpp);
      photometric_ = b.bpp == 1 && b.minIsWhite ? PHOTOMETRIC_MINISWHITE
                     : greyRamp                 ? PHOTOMETRIC_MINISBLACK
                                                : PHOTOMETRIC_PALETTE;
    } else {
      switch (b.type) {
        case TVIMG_TYPE_BITMAP: spp_ = b.bpp == 32 ? 4 : 3; bps_ = 8; break;
        case TVIMG_TYPE_UINT16: spp_ = 1; bps_ = 16; break;
        case TVIMG_TYPE_RGB16: spp_ = 3; bps_ = 16; break;
        case TVIMG_TYPE_RGBA16: spp_ = 4; bps_ = 16; break;
        case TVIMG_TYPE_FLOAT: spp_ = 1; bps_ = 32; float_ = true; break;
        case TVIMG_TYPE_RGBF: spp_ = 3; bps_ = 32; float_ = true; break;
        case TVIMG_TYPE_RGBAF: spp_ = 4; bps_ = 32; float_ = true; break;
        default: valid_ = false; break;
      }
      photometric_ = spp_ == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB;
      swapRedBlue_ = b.type == TVIMG_TYPE_BITMAP;
    }
    if (b.type == TVIMG_TYPE_BITMAP && (b.bpp == 16 || b.bpp > 32)) valid_ = false;
  }

  bool Write(TIFF* tif, int32_t page, int32_t pageCount) {
    if (!valid_) return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, b_.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, b_.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bps_);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp_);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric_);
    if (float_) TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    if (spp_ == 4) {
      const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
      TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (photometric_ == PHOTOMETRIC_PALETTE) {
      const uint32_t n = PaletteSize(bps_);
      std::vector<uint16_t> r(n), g(n), bl(n);
      for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* e = b_.palette.data() + 4 * i;
        r[i] = static_cast<uint16_t>(e[2] * 257);
        g[i] = static_cast<uint16_t>(e[1] * 257);
        bl[i] = static_cast<uint16_t>(e[0] * 257);
      }
      TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), bl.data());
    }
    uint16_t compression = COMPRESSION_LZW;
    switch (compression_) {
      case TiffCompression::Default:
        compression = bps_ == 1 && spp_ == 1 ? COMPRESSION_CCITTFAX4 : COMPRESSION_LZW;
        break;
      case TiffCompression::Lzw: compression = COMPRESSION_LZW; break;
      case TiffCompression::Jpeg: compression = COMPRESSION_JPEG; break;
      case TiffCompression::Ccitt4: compression = COMPRESSION_CCITTFAX4; break;
      case TiffCompression::PackBits: compression = COMPRESSION_PACKBITS; break;
      case TiffCompression::Deflate: compression = COMPRESSION_ADOBE_DEFLATE; break;
      case TiffCompression::None: compression = COMPRESSION_NONE; break;
    }
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    uint32_t rowsPerStrip = TIFFDefaultStripSize(tif, 0);
    if (compression == COMPRESSION_JPEG) {
      TIFFSetField(tif, TIFFTAG_JPEGQUALITY, tiffJpegQuality);
      if (photometric_ == PHOTOMETRIC_YCBCR) TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      rowsPerStrip = std::max<uint32_t>(16, rowsPerStrip / 16 * 16);
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    if (b_.dotsPerMeterX > 0 && b_.dotsPerMeterY > 0) {
      TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
      TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(b_.dotsPerMeterX * 0.0254));
      TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(b_.dotsPerMeterY * 0.0254));
    }
    if (!b_.iccProfile.empty())
      TIFFSetField(tif, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(b_.iccProfile.size()),
                   b_.iccProfile.data());
    if (pageCount > 1) {
      TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
      TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page),
                   static_cast<uint16_t>(pageCount));
    }
    std::vector<uint8_t> row(std::max<size_t>(static_cast<size_t>(TIFFScanlineSize(tif)), b_.pitch));
    for (uint32_t y = 0; y < b_.height; ++y) {
      FillRow(y, row.data());
      if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) return false;
    }
    return TIFFWriteDirectory(tif) != 0;
  }

 private:
  void FillRow(uint32_t y, uint8_t* out) const {
    const uint8_t* src = TopRow(b_, y);
    if (expand_) {  // palette or 32-bit to RGB for JPEG
      for (uint32_t x = 0; x < b_.width; ++x) {
        const uint8_t* p;
        if (b_.bpp >= 24) {
          p = src + x * (b_.bpp / 8);
        } else {
          uint32_t index = b_.bpp == 8   ? src[x]
                           : b_.bpp == 4 ? (src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F
                                         : (src[x / 8] >> (7 - x % 8)) & 1;
          p = b_.palette.data() + 4 * index;
        }
        out[3 * x] = p[2];
        out[3 * x + 1] = p[1];
        out[3 * x + 2] = p[0];
      }
      return;
    }
    if (swapRedBlue_ || (jpeg_ && spp_ == 3)) {
      const uint32_t step = b_.bpp / 8;
      for (uint32_t x = 0; x < b_.width; ++x) {
        const uint8_t* p = src + x * step;
        out[x * spp_] = p[2];
        out[x * spp_ + 1] = p[1];
        out[x * spp_ + 2] = p[0];
        if (spp_ == 4) out[x * spp_ + 3] = p[3];
      }
      return;
    }
    std::memcpy(out, src, b_.pitch);
  }

  const tvimg_bitmap& b_;
  TiffCompression compression_ = TiffCompression::Lzw;
  uint16_t spp_ = 1, bps_ = 8, photometric_ = PHOTOMETRIC_MINISBLACK;
  bool jpeg_ = false, expand_ = false, greyOut_ = false, float_ = false, swapRedBlue_ = false;
  bool valid_ = true;
};

}  // namespace

bool SaveTiff(const std::vector<const tvimg_bitmap*>& pages, const std::string& path,
              TiffCompression compression) {
  if (pages.empty()) return false;
  std::vector<uint8_t> bytes;
  MemoryIo io;
  io.out = &bytes;
  TIFF* tif = OpenOver(io, "w");
  if (!tif) return false;
  bool ok = true;
  const auto count = static_cast<int32_t>(pages.size());
  for (int32_t i = 0; i < count && ok; ++i) {
    PageWriter writer(*pages[static_cast<size_t>(i)], compression);
    ok = writer.Write(tif, i, count);
  }
  TIFFClose(tif);
  return ok && WriteFileAtomically(path, bytes.data(), bytes.size());
}

bool ReplaceTiffIccProfile(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& profile) {
  MemoryIo io;
  io.out = &bytes;
  io.size = bytes.size();
  TIFF* tif = OpenOver(io, "r+");
  if (!tif) return false;
  bool ok = true;
  for (tdir_t page = 0; ok && page < 100000 && TIFFSetDirectory(tif, page); ++page) {
    if (profile.empty()) {
      uint32_t length = 0;
      void* existing = nullptr;
      if (!TIFFGetField(tif, TIFFTAG_ICCPROFILE, &length, &existing)) continue;
      TIFFUnsetField(tif, TIFFTAG_ICCPROFILE);
    } else {
      TIFFSetField(tif, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(profile.size()), profile.data());
    }
    ok = TIFFRewriteDirectory(tif) != 0;
  }
  TIFFClose(tif);
  bytes.resize(static_cast<size_t>(io.size));
  return ok;
}

bool CompressCcitt4(const uint8_t* rows, int32_t width, int32_t height, int32_t rowBytes,
                    std::vector<uint8_t>& out) {
  if (!rows || width <= 0 || height <= 0 || rowBytes < (width + 7) / 8 ||
      static_cast<uint32_t>(width) > kMaxDimension || static_cast<uint32_t>(height) > kMaxDimension)
    return false;
  std::vector<uint8_t> file;
  MemoryIo io;
  io.out = &file;
  TIFF* tif = OpenOver(io, "w");
  if (!tif) return false;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  // The fax coder codes 0 bits as white runs; the caller's rows have 0 = black, so they are
  // inverted on the way in, which is what a PDF decoder with BlackIs1 false expects.
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
  const size_t packed = static_cast<size_t>((width + 7) / 8);
  std::vector<uint8_t> line(packed);
  bool ok = true;
  for (int32_t y = 0; y < height && ok; ++y) {
    const uint8_t* src = rows + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    for (size_t i = 0; i < packed; ++i) line[i] = static_cast<uint8_t>(~src[i]);
    ok = TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(y), 0) >= 0;
  }
  ok = ok && TIFFWriteDirectory(tif);
  TIFFClose(tif);
  if (!ok) return false;

  MemoryIo in;
  in.data = file.data();
  in.size = file.size();
  TIFF* reader = OpenOver(in, "rm");
  if (!reader) return false;
  const tmsize_t size = TIFFRawStripSize(reader, 0);
  if (size > 0) {
    out.resize(static_cast<size_t>(size));
    ok = TIFFReadRawStrip(reader, 0, out.data(), size) == size;
  } else {
    ok = false;
  }
  TIFFClose(reader);
  return ok;
}

}  // namespace tvimg
