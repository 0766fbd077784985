// Every format besides JPEG and TIFF goes through ImageMagick's MagickWand. Files are handed
// over as bytes with the format named explicitly, so ImageMagick never guesses a coder from
// content (no surprise delegates), and only the first frame is read.
#include <wand/MagickWand.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

#include "codecs.h"
#include "decode_limits.h"
#include "magick_limits.h"
#include "metadata.h"

namespace tvimg {
namespace {

const char* MagickName(int32_t format) {
  switch (format) {
    case TVIMG_BMP: return "BMP";
    case TVIMG_ICO: return "ICO";
    case TVIMG_JNG: return "JNG";
    case TVIMG_MNG: return "MNG";
    case TVIMG_PBM: case TVIMG_PBMRAW: case TVIMG_PGM: case TVIMG_PGMRAW:
    case TVIMG_PPM: case TVIMG_PPMRAW: return "PNM";
    case TVIMG_PCD: return "PCD";
    case TVIMG_PCX: return "PCX";
    case TVIMG_PNG: return "PNG";
    case TVIMG_RAS: return "SUN";
    case TVIMG_TARGA: return "TGA";
    case TVIMG_WBMP: return "WBMP";
    case TVIMG_PSD: return "PSD";
    case TVIMG_CUT: return "CUT";
    case TVIMG_XBM: return "XBM";
    case TVIMG_XPM: return "XPM";
    case TVIMG_DDS: return "DDS";
    case TVIMG_GIF: return "GIF";
    case TVIMG_HDR: return "HDR";
    case TVIMG_FAXG3: return "FAX";
    case TVIMG_SGI: return "SGI";
    case TVIMG_EXR: return "EXR";
    case TVIMG_J2K: return "J2K";
    case TVIMG_JP2: return "JP2";
    case TVIMG_PFM: return "PFM";
    case TVIMG_PICT: return "PICT";
    case TVIMG_RAW: return "DNG";
    case TVIMG_JBIG: return "JBIG";
    case TVIMG_WMF: return "WMF";
    default: return nullptr;
  }
}

bool IsFloatFormat(int32_t format) {
  return format == TVIMG_EXR || format == TVIMG_HDR || format == TVIMG_PFM;
}

// A wand that is destroyed with its scope.
class Wand {
 public:
  Wand() : wand_(NewMagickWand()) {}
  ~Wand() {
    if (wand_) DestroyMagickWand(wand_);
  }
  Wand(const Wand&) = delete;
  Wand& operator=(const Wand&) = delete;
  MagickWand* get() const { return wand_; }

 private:
  MagickWand* wand_;
};

// A profile of the current image, released after use.
std::vector<uint8_t> Profile(MagickWand* wand, const char* name) {
  size_t length = 0;
  unsigned char* data = MagickGetImageProfile(wand, name, &length);
  std::vector<uint8_t> bytes;
  if (data && length > 0) bytes.assign(data, data + length);
  if (data) MagickRelinquishMemory(data);
  return bytes;
}

void ReadMetadata(MagickWand* wand, tvimg_bitmap& b) {
  double x = 0, y = 0;
  if (MagickGetImageResolution(wand, &x, &y) && x > 0 && y > 0 && std::isfinite(x) &&
      std::isfinite(y) && x < 1e6 && y < 1e6) {
    const ResolutionType units = MagickGetImageUnits(wand);
    const double factor = units == PixelsPerInchResolution        ? 1 / 0.0254
                          : units == PixelsPerCentimeterResolution ? 100
                                                                   : 0;
    b.dotsPerMeterX = static_cast<uint32_t>(x * factor + 0.5);
    b.dotsPerMeterY = static_cast<uint32_t>(y * factor + 0.5);
  }
  const std::vector<uint8_t> exif = Profile(wand, "exif");
  if (!exif.empty()) b.exif = ParseExif(exif.data(), exif.size());
  std::vector<uint8_t> iim = Profile(wand, "iptc");
  if (iim.empty()) {
    const std::vector<uint8_t> resources = Profile(wand, "8bim");
    iim = IptcFromPhotoshopResources(resources.data(), resources.size());
  }
  b.iptc = ParseIptc(iim.data(), iim.size());
  b.iccProfile = Profile(wand, "icc");
  if (!b.iccProfile.empty()) {
    MetadataItem icc;
    icc.id = kTagICCProfile;
    icc.type = 1;
    icc.value = b.iccProfile;
    SetItem(b.exif, icc);
  }
}

bool ExportRows(MagickWand* wand, tvimg_bitmap& b, const char* map, StorageType storage) {
  for (uint32_t y = 0; y < b.height; ++y)
    if (!MagickExportImagePixels(wand, 0, y, b.width, 1, map, storage, TopRow(b, y))) return false;
  return true;
}

// 8-bit pixels with at most 256 distinct colours become an indexed bitmap with a transparency
// table; more colours give null, and the caller keeps true colour.
BitmapPtr Indexed(const std::vector<uint8_t>& bgra, uint32_t width, uint32_t height) {
  BitmapPtr b = AllocateBitmap(width, height, 8);
  if (!b) return nullptr;
  std::vector<uint32_t> colours;
  bool translucent = false;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* src = bgra.data() + static_cast<size_t>(y) * width * 4;
    uint8_t* dst = TopRow(*b, y);
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t c;
      std::memcpy(&c, src + 4 * x, 4);
      auto it = std::find(colours.begin(), colours.end(), c);
      if (it == colours.end()) {
        if (colours.size() == 256) return nullptr;
        colours.push_back(c);
        it = colours.end() - 1;
        translucent |= (c >> 24) != 0xFF;
      }
      dst[x] = static_cast<uint8_t>(it - colours.begin());
    }
  }
  b->palette.fill(0);
  for (size_t i = 0; i < colours.size(); ++i)
    SetPaletteEntry(*b, static_cast<uint32_t>(i), static_cast<uint8_t>(colours[i] >> 16),
                    static_cast<uint8_t>(colours[i] >> 8), static_cast<uint8_t>(colours[i]));
  if (translucent) {
    b->transparency.assign(256, 0xFF);
    for (size_t i = 0; i < colours.size(); ++i) b->transparency[i] = static_cast<uint8_t>(colours[i] >> 24);
  }
  return b;
}

BitmapPtr Convert(MagickWand* wand, int32_t format) {
  const size_t width = MagickGetImageWidth(wand), height = MagickGetImageHeight(wand);
  if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return nullptr;
  const auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
  bool cmyk = false;
  const ColorspaceType space = MagickGetImageColorspace(wand);
  if (space == CMYKColorspace) {
    cmyk = true;
    if (!MagickTransformImageColorspace(wand, sRGBColorspace)) return nullptr;
  } else if (space != sRGBColorspace && space != GRAYColorspace && space != RGBColorspace &&
             space != TransparentColorspace && space != UndefinedColorspace) {
    if (!MagickTransformImageColorspace(wand, sRGBColorspace)) return nullptr;
  }
  const bool alpha = MagickGetImageAlphaChannel(wand) == MagickTrue;
  // The depth the pixels need, not the depth field: several coders report 16 for 8-bit data.
  const size_t depth = MagickGetImageChannelDepth(wand, AllChannels);
  const ImageType type = MagickGetImageType(wand);
  const bool grey = type == GrayscaleType || type == BilevelType;
  // Fax and bitmap formats hold black and white only, whatever grey the coder reports.
  const bool bilevelFormat = format == TVIMG_FAXG3 || format == TVIMG_WBMP || format == TVIMG_XBM ||
                             format == TVIMG_PBM || format == TVIMG_PBMRAW || format == TVIMG_JBIG;
  BitmapPtr b;

  if (IsFloatFormat(format)) {
    b = AllocateBitmap(w, h, alpha ? 128 : 96, alpha ? TVIMG_TYPE_RGBAF : TVIMG_TYPE_RGBF);
    if (!b || !ExportRows(wand, *b, alpha ? "RGBA" : "RGB", FloatPixel)) return nullptr;
  } else if (depth > 8 && grey && !alpha) {
    b = AllocateBitmap(w, h, 16, TVIMG_TYPE_UINT16);
    if (!b || !ExportRows(wand, *b, "R", ShortPixel)) return nullptr;
  } else if (depth > 8) {
    b = AllocateBitmap(w, h, alpha ? 64 : 48, alpha ? TVIMG_TYPE_RGBA16 : TVIMG_TYPE_RGB16);
    if (!b || !ExportRows(wand, *b, alpha ? "RGBA" : "RGB", ShortPixel)) return nullptr;
  } else if ((type == BilevelType || bilevelFormat) && !alpha) {
    b = AllocateBitmap(w, h, 1);
    std::vector<uint8_t> row(w);
    if (!b) return nullptr;
    for (uint32_t y = 0; y < h; ++y) {
      if (!MagickExportImagePixels(wand, 0, y, w, 1, "R", CharPixel, row.data())) return nullptr;
      uint8_t* dst = TopRow(*b, y);
      for (uint32_t x = 0; x < w; ++x)
        if (row[x] >= 128) dst[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  } else if (type == GrayscaleType && !alpha) {
    b = AllocateBitmap(w, h, 8);
    if (!b || !ExportRows(wand, *b, "R", CharPixel)) return nullptr;
  } else {
    std::vector<uint8_t> bgra;
    if (uint64_t{w} * h * 4 > kMaxPixelBytes) return nullptr;
    bgra.resize(static_cast<size_t>(w) * h * 4);
    if (!MagickExportImagePixels(wand, 0, 0, w, h, "BGRA", CharPixel, bgra.data())) return nullptr;
    const bool palette =
        type == PaletteType || type == PaletteMatteType || type == PaletteBilevelMatteType ||
        type == GrayscaleMatteType;
    if (palette) b = Indexed(bgra, w, h);
    if (!b) {
      b = AllocateBitmap(w, h, alpha ? 32 : 24);
      if (!b) return nullptr;
      const uint32_t step = alpha ? 4 : 3;
      for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* src = bgra.data() + static_cast<size_t>(y) * w * 4;
        uint8_t* dst = TopRow(*b, y);
        for (uint32_t x = 0; x < w; ++x) std::memcpy(dst + x * step, src + 4 * x, step);
      }
    }
  }
  b->cmykSource = cmyk;
  ReadMetadata(wand, *b);
  return b;
}

}  // namespace

BitmapPtr LoadMetafile(const uint8_t* data, size_t size, double scale) {
  HeaderClaim claim;
  if (!(scale > 0) || !std::isfinite(scale) || !ReadHeaderClaim(TVIMG_WMF, data, size, claim)) return nullptr;
  // The claim is one pixel per metafile unit; the scale applies to each side, rounded.
  const double w = std::round(static_cast<double>(claim.width) * scale);
  const double h = std::round(static_cast<double>(claim.height) * scale);
  const DecodeLimits& l = CurrentDecodeLimits();
  if (w < 1 || h < 1 || w > static_cast<double>(l.maxSide) || h > static_cast<double>(l.maxSide) ||
      w * h > static_cast<double>(l.maxPixels) || w * h * 8 > static_cast<double>(l.maxBytes))
    return nullptr;
  // Units per inch from the placeable header: rendering at that density (times the scale)
  // gives one pixel per unit.
  const double unitsPerInch = static_cast<double>(data[14] | data[15] << 8);
  EnsureMagickReady();
  Wand wand;
  if (!wand.get()) return nullptr;
  Deadline deadline;
  WatchDeadline(wand.get(), deadline);
  MagickSetResolution(wand.get(), unitsPerInch * scale, unitsPerInch * scale);
  MagickSetFormat(wand.get(), "WMF");
  MagickSetFilename(wand.get(), "image[0]");
  if (!MagickReadImageBlob(wand.get(), data, size)) return nullptr;
  MagickResetIterator(wand.get());
  if (!MagickNextImage(wand.get())) return nullptr;
  // The renderer rounds the density its own way: the size asked is the size given.
  const auto width = static_cast<size_t>(w), height = static_cast<size_t>(h);
  if ((MagickGetImageWidth(wand.get()) != width || MagickGetImageHeight(wand.get()) != height) &&
      !MagickResizeImage(wand.get(), width, height, TriangleFilter, 1.0))
    return nullptr;
  // Rendered colours are 8-bit (the coder reports 16, which would send them through tone
  // mapping): exported as 8-bit BGRA straight into a 32-bit bitmap.
  BitmapPtr b = AllocateBitmap(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 32);
  if (!b) return nullptr;
  for (uint32_t y = 0; y < static_cast<uint32_t>(height); ++y)
    if (!MagickExportImagePixels(wand.get(), 0, y, width, 1, "BGRA", CharPixel, TopRow(*b, y))) return nullptr;
  return b;
}

BitmapPtr LoadWithMagick(int32_t format, const uint8_t* data, size_t size) {
  if (format == TVIMG_WMF) return LoadMetafile(data, size, 1.0);
  const char* name = MagickName(format);
  if (!name || !data || size == 0) return nullptr;
  if (CheckHeader(format, data, size) == HeaderVerdict::Refused) return nullptr;
  EnsureMagickReady();
  Wand wand;
  if (!wand.get()) return nullptr;
  Deadline deadline;
  WatchDeadline(wand.get(), deadline);
  MagickSetFormat(wand.get(), name);
  // "[0]": the first frame only, so a file of thousands of frames costs one.
  MagickSetFilename(wand.get(), "image[0]");
  if (!MagickReadImageBlob(wand.get(), data, size)) return nullptr;
  MagickResetIterator(wand.get());
  if (!MagickNextImage(wand.get())) return nullptr;
  return Convert(wand.get(), format);
}

namespace {

// The bitmap's pixels handed to a wand as a new image.
bool Constitute(MagickWand* wand, const tvimg_bitmap& b) {
  const uint32_t w = b.width, h = b.height;
  bool ok = false;
  if (b.type == TVIMG_TYPE_BITMAP && b.bpp <= 8) {
    const bool alpha = !b.transparency.empty();
    const uint32_t step = alpha ? 4 : 3;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * step);
    for (uint32_t y = 0; y < h; ++y) {
      const uint8_t* src = TopRow(b, y);
      uint8_t* dst = pixels.data() + static_cast<size_t>(y) * w * step;
      for (uint32_t x = 0; x < w; ++x) {
        const uint32_t index = b.bpp == 8   ? src[x]
                               : b.bpp == 4 ? (src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F
                                            : (src[x / 8] >> (7 - x % 8)) & 1;
        std::memcpy(dst + x * step, b.palette.data() + 4 * index, 3);
        if (alpha) dst[x * step + 3] = index < b.transparency.size() ? b.transparency[index] : 0xFF;
      }
    }
    ok = MagickConstituteImage(wand, w, h, alpha ? "BGRA" : "BGR", CharPixel, pixels.data());
  } else {
    const char* map = nullptr;
    StorageType storage = CharPixel;
    uint32_t rowBytes = 0;
    switch (b.type) {
      case TVIMG_TYPE_BITMAP:
        if (b.bpp != 24 && b.bpp != 32) return false;
        map = b.bpp == 32 ? "BGRA" : "BGR";
        rowBytes = w * (b.bpp / 8);
        break;
      case TVIMG_TYPE_UINT16: map = "I"; storage = ShortPixel; rowBytes = w * 2; break;
      case TVIMG_TYPE_RGB16: map = "RGB"; storage = ShortPixel; rowBytes = w * 6; break;
      case TVIMG_TYPE_RGBA16: map = "RGBA"; storage = ShortPixel; rowBytes = w * 8; break;
      case TVIMG_TYPE_FLOAT: map = "I"; storage = FloatPixel; rowBytes = w * 4; break;
      case TVIMG_TYPE_RGBF: map = "RGB"; storage = FloatPixel; rowBytes = w * 12; break;
      case TVIMG_TYPE_RGBAF: map = "RGBA"; storage = FloatPixel; rowBytes = w * 16; break;
      default: return false;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes) * h);
    for (uint32_t y = 0; y < h; ++y)
      std::memcpy(pixels.data() + static_cast<size_t>(y) * rowBytes, TopRow(b, y), rowBytes);
    ok = MagickConstituteImage(wand, w, h, map, storage, pixels.data());
  }
  if (!ok) return false;
  if (b.dotsPerMeterX > 0 && b.dotsPerMeterY > 0) {
    MagickSetImageUnits(wand, PixelsPerInchResolution);
    MagickSetImageResolution(wand, b.dotsPerMeterX * 0.0254, b.dotsPerMeterY * 0.0254);
  }
  if (!b.iccProfile.empty())
    MagickSetImageProfile(wand, "icc", b.iccProfile.data(), b.iccProfile.size());
  return true;
}

bool IsBilevel(const tvimg_bitmap& b) { return b.type == TVIMG_TYPE_BITMAP && b.bpp == 1; }
bool IsGreyImage(const tvimg_bitmap& b) {
  if (b.type == TVIMG_TYPE_UINT16) return true;
  if (b.type != TVIMG_TYPE_BITMAP || b.bpp > 8 || !b.transparency.empty()) return false;
  const int32_t colorType = ColorTypeOf(b);
  return colorType == TVIMG_MINISBLACK || colorType == TVIMG_MINISWHITE;
}

// Format-specific settings; false when the format cannot be written.
bool PrepareFormat(MagickWand* wand, int32_t format, const tvimg_bitmap& b, int32_t flags,
                   std::string& magick) {
  switch (format) {
    case TVIMG_PBM: case TVIMG_PBMRAW: case TVIMG_PGM: case TVIMG_PGMRAW:
    case TVIMG_PPM: case TVIMG_PPMRAW: {
      // The depth of the file follows the image: bitmap, graymap or pixmap; the "plain"
      // numbers write text, the RAW numbers bytes.
      magick = IsBilevel(b) ? "PBM" : IsGreyImage(b) ? "PGM" : "PPM";
      const bool plain = format == TVIMG_PBM || format == TVIMG_PGM || format == TVIMG_PPM;
      if (plain) MagickSetCompression(wand, NoCompression);
      if (magick == "PBM") MagickSetImageType(wand, BilevelType);
      return true;
    }
    case TVIMG_WBMP: case TVIMG_XBM: case TVIMG_FAXG3: case TVIMG_JBIG:
      MagickSetImageType(wand, BilevelType);
      break;
    case TVIMG_J2K: case TVIMG_JP2: {
      // The flags are the compression ratio (16 means 16:1); 0 or 1 is lossless.
      const int32_t rate = flags > 1 ? std::min(flags, 1000) : 1;
      MagickSetOption(wand, "jp2:rate", std::to_string(rate).c_str());
      break;
    }
    case TVIMG_EXR: {
      CompressionType compression = PizCompression;
      if (flags & 2) compression = NoCompression;
      else if (flags & 4) compression = ZipCompression;
      else if (flags & 8) compression = PizCompression;
      else if (flags & 16) compression = Pxr24Compression;
      else if (flags & 32) compression = B44Compression;
      else if (flags & 64) compression = B44ACompression;
      MagickSetImageCompression(wand, compression);
      MagickSetCompression(wand, compression);
      break;
    }
    case TVIMG_JPEG: case TVIMG_TIFF: case TVIMG_KOALA: case TVIMG_LBM: case TVIMG_CUT:
    case TVIMG_RAW:
      return false;
    default:
      break;
  }
  const char* name = MagickName(format);
  if (!name) return false;
  magick = format == TVIMG_RAS ? "SUN" : name;
  return true;
}

bool WriteBlob(MagickWand* wand, const std::string& magick, const std::string& path, bool all) {
  MagickSetFormat(wand, magick.c_str());
  MagickResetIterator(wand);
  while (MagickNextImage(wand)) MagickSetImageFormat(wand, magick.c_str());
  size_t length = 0;
  unsigned char* blob = all ? MagickGetImagesBlob(wand, &length) : MagickGetImageBlob(wand, &length);
  if (!blob) return false;
  const bool ok = length > 0 && WriteFileAtomically(path, blob, length);
  MagickRelinquishMemory(blob);
  return ok;
}

}  // namespace

bool SaveWithMagick(int32_t format, const tvimg_bitmap& bitmap, const std::string& path,
                    int32_t flags) {
  EnsureMagickReady();
  Wand wand;
  if (!wand.get()) return false;
  Deadline deadline;
  WatchDeadline(wand.get(), deadline);
  if (!Constitute(wand.get(), bitmap)) return false;
  std::string magick;
  if (!PrepareFormat(wand.get(), format, bitmap, flags, magick)) return false;
  return WriteBlob(wand.get(), magick, path, false);
}

bool SaveGifFrames(const std::vector<const tvimg_bitmap*>& frames, const std::string& path) {
  if (frames.empty()) return false;
  EnsureMagickReady();
  Wand wand;
  if (!wand.get()) return false;
  Deadline deadline;
  WatchDeadline(wand.get(), deadline);
  for (const tvimg_bitmap* frame : frames) {
    if (!Constitute(wand.get(), *frame)) return false;
    if (frame->frameDelayMs >= 0) MagickSetImageDelay(wand.get(), static_cast<size_t>(frame->frameDelayMs / 10));
    if (frame->frameDisposal >= 0 && frame->frameDisposal <= 3)
      MagickSetImageDispose(wand.get(), frame->frameDisposal == 1   ? NoneDispose
                                        : frame->frameDisposal == 2 ? BackgroundDispose
                                        : frame->frameDisposal == 3 ? PreviousDispose
                                                                    : UndefinedDispose);
  }
  MagickResetIterator(wand.get());
  MagickNextImage(wand.get());
  // The loop count is the GIF's own repeat count (0: forever); ImageMagick counts plays, one
  // more than the repeats.
  const int32_t loops = frames.front()->loopCount;
  MagickSetImageIterations(wand.get(), loops > 0 ? static_cast<size_t>(loops) + 1 : 0);
  return WriteBlob(wand.get(), "GIF", path, true);
}

bool ReplaceIccProfileWithMagick(int32_t format, const std::string& path,
                                 const std::vector<uint8_t>& profile) {
  const char* name = MagickName(format);
  std::string magick;
  if (!name) return false;
  MappedFile file(path.c_str());
  if (!file.ok() || CheckHeader(format, file.data(), file.size()) == HeaderVerdict::Refused)
    return false;
  EnsureMagickReady();
  Wand wand;
  if (!wand.get()) return false;
  Deadline deadline;
  WatchDeadline(wand.get(), deadline);
  MagickSetFormat(wand.get(), name);
  if (!MagickReadImageBlob(wand.get(), file.data(), file.size())) return false;
  MagickResetIterator(wand.get());
  while (MagickNextImage(wand.get())) {
    if (profile.empty()) {
      size_t length = 0;
      unsigned char* removed = MagickRemoveImageProfile(wand.get(), "icc", &length);
      if (removed) MagickRelinquishMemory(removed);
    } else if (!MagickSetImageProfile(wand.get(), "icc", profile.data(), profile.size())) {
      return false;
    }
  }
  return WriteBlob(wand.get(), name, path, true);
}

}  // namespace tvimg
