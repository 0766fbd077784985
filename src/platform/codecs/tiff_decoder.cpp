// TIFF decoding with libtiff. Bilevel, grey, palette, RGB(A) and CMYK pages of 1 to 16 bits
// per sample, striped or tiled, contiguous or planar, are read sample-exact into the matching
// pixel format; everything else libtiff can render (YCbCr, LAB, LogLuv, floating point, odd
// depths) goes through its RGBA interface. Pages are the frames of the page dimension.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/codecs/decoders.h"
#include "platform/codecs/icc.h"
#include "platform/codecs/metadata.h"
#include "platform/codecs/property_tags.h"
#include "platform/codecs/tiff_io.h"

namespace tessivo::platform::codecs {

namespace {

// Largest single allocation libtiff may make for a hostile file's tables and strips.
int64_t TiffAllocationLimit() { return DecodePixelLimit() + (int64_t{64} << 20); }

struct PageInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t bitsPerSample = 1;
  uint16_t samplesPerPixel = 1;
  uint16_t photometric = PHOTOMETRIC_MINISWHITE;
  uint16_t planar = PLANARCONFIG_CONTIG;
  uint16_t sampleFormat = SAMPLEFORMAT_UINT;
  uint16_t compression = COMPRESSION_NONE;
  uint16_t inkSet = INKSET_CMYK;
  uint16_t orientation = ORIENTATION_TOPLEFT;
  uint16_t extraCount = 0;
  uint16_t extraType = EXTRASAMPLE_UNSPECIFIED;  // of the first extra sample
  bool tiled = false;
};

void ReadPageInfo(TIFF* tif, PageInfo& p) {
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &p.bitsPerSample);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &p.samplesPerPixel);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &p.photometric)) {
    p.photometric = p.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &p.planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &p.sampleFormat);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &p.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &p.inkSet);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &p.orientation);
  uint16_t* extraTypes = nullptr;
  if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &p.extraCount, &extraTypes) && p.extraCount > 0 &&
      extraTypes != nullptr) {
    p.extraType = extraTypes[0];
  }
  p.tiled = TIFFIsTiled(tif) != 0;
}

// How a page's samples map onto a pixel format when they can be taken exactly.
enum class Layout {
  Unsupported,  // through the RGBA interface
  Bilevel,      // 1-bit grey: rows copied
  GreyIndexed,  // 2/4/8-bit grey: indices into a grey ramp
  Palette,      // 1/2/4/8-bit palette
  Grey16,       // 16-bit grey: 48bppRGB
  Rgb,          // 8/16-bit RGB with optional alpha
  Cmyk,         // 8/16-bit CMYK: 32bppRGB
};

struct Plan {
  Layout layout = Layout::Unsupported;
  PixelFormat format = kPixelFormatUndefined;
  bool alpha = false;
  bool premultiplied = false;
};

Plan ChoosePlan(const PageInfo& p) {
  Plan plan;
  if (p.sampleFormat != SAMPLEFORMAT_UINT && p.sampleFormat != SAMPLEFORMAT_VOID) return plan;
  const uint16_t bps = p.bitsPerSample;
  const uint16_t spp = p.samplesPerPixel;
  bool greyPhotometric =
      p.photometric == PHOTOMETRIC_MINISWHITE || p.photometric == PHOTOMETRIC_MINISBLACK;
  if (greyPhotometric && spp == 1) {
    if (bps == 1) plan = {Layout::Bilevel, kPixelFormat1bppIndexed};
    else if (bps == 2 || bps == 4) plan = {Layout::GreyIndexed, kPixelFormat4bppIndexed};
    else if (bps == 8) plan = {Layout::GreyIndexed, kPixelFormat8bppIndexed};
    else if (bps == 16) plan = {Layout::Grey16, kPixelFormat48bppRGB};
    return plan;
  }
  if (p.photometric == PHOTOMETRIC_PALETTE && spp == 1) {
    if (bps == 1) plan = {Layout::Palette, kPixelFormat1bppIndexed};
    else if (bps == 2 || bps == 4) plan = {Layout::Palette, kPixelFormat4bppIndexed};
    else if (bps == 8) plan = {Layout::Palette, kPixelFormat8bppIndexed};
    return plan;
  }
  if (p.photometric == PHOTOMETRIC_RGB && (bps == 8 || bps == 16) && spp >= 3 &&
      spp - 3 == p.extraCount) {
    plan.layout = Layout::Rgb;
    plan.alpha = p.extraCount > 0 && p.extraType != EXTRASAMPLE_UNSPECIFIED;
    plan.premultiplied = plan.alpha && p.extraType == EXTRASAMPLE_ASSOCALPHA;
    if (bps == 8) {
      plan.format = !plan.alpha ? kPixelFormat24bppRGB
                    : plan.premultiplied ? kPixelFormat32bppPARGB : kPixelFormat32bppARGB;
    } else {
      plan.format = !plan.alpha ? kPixelFormat48bppRGB
                    : plan.premultiplied ? kPixelFormat64bppPARGB : kPixelFormat64bppARGB;
    }
    return plan;
  }
  if (p.photometric == PHOTOMETRIC_SEPARATED && p.inkSet == INKSET_CMYK &&
      (bps == 8 || bps == 16) && spp == 4 + p.extraCount) {
    plan = {Layout::Cmyk, kPixelFormat32bppRGB};
  }
  return plan;
}

// Reads the page's sample rows (contiguous samples, or one plane at a time) and hands each to
// `sink(plane, y, row)`. Strips and tiles both; false on a read error or absurd sizes.
template <typename Sink>
bool ForEachRow(TIFF* tif, const PageInfo& p, Sink&& sink) {
  const int planes = p.planar == PLANARCONFIG_SEPARATE ? p.samplesPerPixel : 1;
  const int samplesPerRow = p.planar == PLANARCONFIG_SEPARATE ? 1 : p.samplesPerPixel;
  int64_t rowBytes = PackedRowBytes(p.width, p.bitsPerSample * samplesPerRow);
  if (rowBytes <= 0 || rowBytes > DecodePixelLimit()) return false;
  if (!p.tiled) {
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0 || rowsPerStrip > p.height) rowsPerStrip = p.height;
    int64_t stripBytes = rowBytes * rowsPerStrip;
    if (stripBytes > TiffAllocationLimit()) return false;
    std::vector<uint8_t> strip(static_cast<size_t>(stripBytes));
    uint32_t stripsPerPlane = (p.height + rowsPerStrip - 1) / rowsPerStrip;
    for (int plane = 0; plane < planes; ++plane) {
      for (uint32_t s = 0; s < stripsPerPlane; ++s) {
        uint32_t first = s * rowsPerStrip;
        uint32_t rows = std::min(rowsPerStrip, p.height - first);
        tstrip_t index = TIFFComputeStrip(tif, first, static_cast<uint16_t>(plane));
        tmsize_t got = TIFFReadEncodedStrip(tif, index, strip.data(),
                                            static_cast<tmsize_t>(rowBytes * rows));
        if (got < 0) return false;
        for (uint32_t r = 0; r < rows; ++r) sink(plane, first + r, strip.data() + rowBytes * r);
      }
    }
    return true;
  }
  uint32_t tileWidth = 0, tileHeight = 0;
  TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
  if (tileWidth == 0 || tileHeight == 0) return false;
  int64_t bitsPerPixel = int64_t{p.bitsPerSample} * samplesPerRow;
  if ((tileWidth * bitsPerPixel) % 8 != 0) return false;  // tiles must start on a byte
  int64_t tileRowBytes = tileWidth * bitsPerPixel / 8;
  int64_t tileBytes = tileRowBytes * tileHeight;
  int64_t bandRows = std::min(tileHeight, p.height);
  int64_t bandBytes = rowBytes * bandRows;
  if (tileBytes > TiffAllocationLimit() || bandBytes > TiffAllocationLimit()) return false;
  std::vector<uint8_t> tile(static_cast<size_t>(tileBytes));
  std::vector<uint8_t> band(static_cast<size_t>(bandBytes));
  for (int plane = 0; plane < planes; ++plane) {
    for (uint64_t y0 = 0; y0 < p.height; y0 += tileHeight) {
      uint32_t rows = static_cast<uint32_t>(std::min<uint64_t>(tileHeight, p.height - y0));
      for (uint64_t x0 = 0; x0 < p.width; x0 += tileWidth) {
        ttile_t index = TIFFComputeTile(tif, static_cast<uint32_t>(x0), static_cast<uint32_t>(y0),
                                        0, static_cast<uint16_t>(plane));
        if (TIFFReadEncodedTile(tif, index, tile.data(), static_cast<tmsize_t>(tileBytes)) < 0) {
          return false;
        }
        int64_t offset = static_cast<int64_t>(x0) * bitsPerPixel / 8;
        int64_t bytes = std::min<int64_t>(tileRowBytes, rowBytes - offset);
        for (uint32_t r = 0; r < rows; ++r) {
          std::memcpy(band.data() + rowBytes * r + offset, tile.data() + tileRowBytes * r,
                      static_cast<size_t>(bytes));
        }
      }
      for (uint32_t r = 0; r < rows; ++r) {
        sink(plane, static_cast<uint32_t>(y0) + r, band.data() + rowBytes * r);
      }
    }
  }
  return true;
}

// 2-bit indices widened to 4 bits per pixel.
void Widen2To4(const uint8_t* src, uint8_t* dst, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t v = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
    uint8_t& d = dst[x / 2];
    d = (x & 1) ? static_cast<uint8_t>((d & 0xF0) | v) : static_cast<uint8_t>((d & 0x0F) | (v << 4));
  }
}

Palette ReadColorMap(TIFF* tif, int bits, int capacity) {
  Palette palette;
  palette.entries.assign(static_cast<size_t>(capacity), 0xFF000000u);
  uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b) return palette;
  int count = std::min(1 << bits, capacity);
  // Some writers store 8-bit values in the 16-bit map.
  bool eightBit = true;
  for (int i = 0; i < count; ++i) {
    if (r[i] > 255 || g[i] > 255 || b[i] > 255) eightBit = false;
  }
  int shift = eightBit ? 0 : 8;
  for (int i = 0; i < count; ++i) {
    uint32_t red = r[i] >> shift, green = g[i] >> shift, blue = b[i] >> shift;
    palette.entries[static_cast<size_t>(i)] = 0xFF000000u | (red << 16) | (green << 8) | blue;
  }
  return palette;
}

Palette GreyPalette(int bits, int capacity, bool minIsWhite) {
  Palette palette;
  palette.flags = PaletteFlagsGrayScale;
  palette.entries.assign(static_cast<size_t>(capacity), 0xFF000000u);
  int levels = 1 << bits;
  for (int i = 0; i < levels && i < capacity; ++i) {
    uint32_t v = static_cast<uint32_t>(i * 255 / (levels - 1));
    if (minIsWhite) v = 255 - v;
    palette.entries[static_cast<size_t>(i)] = 0xFF000000u | (v << 16) | (v << 8) | v;
  }
  return palette;
}

// An ink sample reduced to 8 bits (16-bit samples arrive in native byte order).
uint8_t InkByte(const uint8_t* sample, int bytesPerSample) {
  if (bytesPerSample == 1) return *sample;
  uint16_t v;
  std::memcpy(&v, sample, 2);
  return static_cast<uint8_t>(v >> 8);
}

Status ReadExact(TIFF* tif, const PageInfo& p, const Plan& plan, const std::vector<uint8_t>& icc,
                 bool icm, Bitmap& image) {
  const uint32_t width = p.width;
  const bool separate = p.planar == PLANARCONFIG_SEPARATE;
  const int bytesPerSample = p.bitsPerSample / 8;
  std::vector<uint8_t> cmykRow;
  std::unique_ptr<CmykConverter> cmyk;
  if (plan.layout == Layout::Cmyk) {
    cmykRow.resize(static_cast<size_t>(width) * 4);
    cmyk = std::make_unique<CmykConverter>(icm && !icc.empty() ? icc.data() : nullptr, icc.size(),
                                           false);
  }
  // Channel positions of R, G, B, A in the bitmap's pixel (blue first).
  const int target[4] = {2, 1, 0, 3};
  auto sink = [&](int plane, uint32_t y, const uint8_t* row) {
    uint8_t* dst = image.Row(static_cast<int32_t>(y));
    switch (plan.layout) {
      case Layout::Bilevel:
      case Layout::Palette:
      case Layout::GreyIndexed:
        if (p.bitsPerSample == 2) {
          Widen2To4(row, dst, width);
        } else {
          std::memcpy(dst, row, static_cast<size_t>(PackedRowBytes(width, p.bitsPerSample)));
        }
        break;
      case Layout::Grey16: {
        bool invert = p.photometric == PHOTOMETRIC_MINISWHITE;
        for (uint32_t x = 0; x < width; ++x) {
          uint16_t v;
          std::memcpy(&v, row + 2 * x, 2);  // libtiff delivers native byte order
          if (invert) v = static_cast<uint16_t>(0xFFFF - v);
          for (int c = 0; c < 3; ++c) WriteLe16(dst + 6 * x + 2 * c, v);
        }
        break;
      }
      case Layout::Rgb: {
        const int channels = plan.alpha ? 4 : 3;
        const int pixelBytes = channels * bytesPerSample;
        const int samples = separate ? 1 : p.samplesPerPixel;
        if (!separate && bytesPerSample == 1 && samples == channels) {
          // The common case, RGB(A) bytes: swap red and blue in one pass.
          for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* src = row + static_cast<size_t>(x) * channels;
            uint8_t* d = dst + static_cast<size_t>(x) * channels;
            d[0] = src[2];
            d[1] = src[1];
            d[2] = src[0];
            if (channels == 4) d[3] = src[3];
          }
          break;
        }
        for (int s = 0; s < samples; ++s) {
          int channel = separate ? plane : s;
          if (channel >= channels) continue;
          int offset = target[channel] * bytesPerSample;
          for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* src = row + (static_cast<size_t>(x) * samples + s) * bytesPerSample;
            if (bytesPerSample == 1) {
              dst[static_cast<size_t>(x) * pixelBytes + offset] = *src;
            } else {
              uint16_t v;
              std::memcpy(&v, src, 2);
              WriteLe16(dst + static_cast<size_t>(x) * pixelBytes + offset, v);
            }
          }
        }
        break;
      }
      case Layout::Cmyk: {
        const int samples = separate ? 1 : p.samplesPerPixel;
        for (int s = 0; s < samples; ++s) {
          int channel = separate ? plane : s;
          if (channel >= 4) continue;
          for (uint32_t x = 0; x < width; ++x) {
            cmykRow[4 * static_cast<size_t>(x) + channel] =
                InkByte(row + (static_cast<size_t>(x) * samples + s) * bytesPerSample, bytesPerSample);
          }
        }
        if (!separate || plane == 3) cmyk->Convert(cmykRow.data(), dst, width);
        break;
      }
      case Layout::Unsupported:
        break;
    }
  };
  if (separate && plan.layout == Layout::Cmyk) {
    // Planes arrive one after another: keep the first three until the black plane comes.
    std::vector<uint8_t> planes(static_cast<size_t>(width) * p.height * 4);
    auto gather = [&](int plane, uint32_t y, const uint8_t* row) {
      if (plane >= 4) return;
      uint8_t* dst = planes.data() + (static_cast<size_t>(y) * width) * 4;
      for (uint32_t x = 0; x < width; ++x) {
        dst[4 * static_cast<size_t>(x) + plane] = InkByte(row + x * bytesPerSample, bytesPerSample);
      }
    };
    if (!ForEachRow(tif, p, gather)) return Status::GenericError;
    for (uint32_t y = 0; y < p.height; ++y) {
      cmyk->Convert(planes.data() + static_cast<size_t>(y) * width * 4,
                    image.Row(static_cast<int32_t>(y)), width);
    }
    return Status::Ok;
  }
  if (!ForEachRow(tif, p, sink)) return Status::GenericError;
  return Status::Ok;
}

// Anything else libtiff can render: 8-bit RGBA rows in the file's own orientation.
Status ReadThroughRgba(TIFF* tif, const PageInfo& p, std::unique_ptr<Bitmap>& image) {
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif, message)) return Status::UnknownImageFormat;
  bool alpha = p.extraCount > 0;
  Status s = NewDecodedBitmap(p.width, p.height, alpha ? kPixelFormat32bppARGB : kPixelFormat32bppRGB,
                              image);
  if (s != Status::Ok) return s;
  std::vector<uint32_t> raster(static_cast<size_t>(p.width) * p.height);
  uint16_t orientation = p.orientation >= 1 && p.orientation <= 8 ? p.orientation : 1;
  if (!TIFFReadRGBAImageOriented(tif, p.width, p.height, raster.data(), orientation, 0)) {
    return Status::GenericError;
  }
  for (uint32_t y = 0; y < p.height; ++y) {
    uint8_t* dst = image->Row(static_cast<int32_t>(y));
    const uint32_t* src = raster.data() + static_cast<size_t>(y) * p.width;
    for (uint32_t x = 0; x < p.width; ++x) {
      uint32_t v = src[x];
      uint8_t a = static_cast<uint8_t>(TIFFGetA(v));
      uint8_t r = static_cast<uint8_t>(TIFFGetR(v)), g = static_cast<uint8_t>(TIFFGetG(v)),
              b = static_cast<uint8_t>(TIFFGetB(v));
      if (alpha && a != 0 && a != 255) {  // libtiff premultiplies; the bitmap is straight
        r = static_cast<uint8_t>(std::min(255, (r * 255 + a / 2) / a));
        g = static_cast<uint8_t>(std::min(255, (g * 255 + a / 2) / a));
        b = static_cast<uint8_t>(std::min(255, (b * 255 + a / 2) / a));
      }
      dst[4 * x] = b;
      dst[4 * x + 1] = g;
      dst[4 * x + 2] = r;
      dst[4 * x + 3] = alpha ? a : 0xFF;
    }
  }
  return Status::Ok;
}

void ApplyTiffResolution(TIFF* tif, Bitmap& image) {
  float x = 0, y = 0;
  uint16_t unit = RESUNIT_INCH;
  if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y)) {
    return;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (unit == RESUNIT_CENTIMETER) {
    ApplyFileResolution(image, x * 2.54, y * 2.54);
  } else if (unit == RESUNIT_INCH) {
    ApplyFileResolution(image, x, y);
  }
}

uint32_t ColorSpaceOf(const PageInfo& p) {
  switch (p.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK: return ImageFlagsColorSpaceGRAY;
    case PHOTOMETRIC_SEPARATED: return ImageFlagsColorSpaceCMYK;
    case PHOTOMETRIC_YCBCR: return ImageFlagsColorSpaceYCBCR;
    default: return ImageFlagsColorSpaceRGB;
  }
}

// The page's property items: Exiv2 reads IFD0, so a later page is read from a copy of the
// file whose header points at that page's directory.
// Exiv2 reads the first directory a TIFF header points to, so the properties of a later page
// are read from a copy of the file whose header points to that page. The copy is `patched`,
// made once and kept by the caller, so that walking a document's pages costs the file's size
// once instead of once per page.
void ReadPageProperties(const EncodedBytes& file, uint64_t directoryOffset, uint32_t page,
                        Bitmap& image, std::vector<uint8_t>& patched) {
  const uint8_t* bytes = file.data();
  if (page == 0 || file.size() < 8 || bytes[2] + bytes[3] * 256 == 43 ||
      bytes[3] + bytes[2] * 256 == 43) {  // BigTIFF has no classic header to redirect
    if (page == 0) ReadTiffFileProperties(bytes, file.size(), image);
    return;
  }
  if (directoryOffset > 0xFFFFFFFFu) return;
  if (patched.size() != file.size()) patched.assign(bytes, bytes + file.size());
  std::vector<uint8_t>& copy = patched;
  uint32_t offset = static_cast<uint32_t>(directoryOffset);
  bool little = copy[0] == 'I';
  for (int i = 0; i < 4; ++i) {
    copy[4 + (little ? i : 3 - i)] = static_cast<uint8_t>(offset >> (8 * i));
  }
  ReadTiffFileProperties(copy.data(), copy.size(), image);
}

Status DecodePage(const SharedBytes& data, uint32_t page, bool icm, std::vector<uint8_t>& patched,
                  std::unique_ptr<Bitmap>& out) {
  out.reset();
  TiffHandle handle = TiffHandle::OpenMemory(data->data(), data->size(), TiffAllocationLimit());
  if (!handle) return Status::UnknownImageFormat;
  TIFF* tif = handle.get();
  if (page > 0 && !TIFFSetDirectory(tif, static_cast<tdir_t>(page))) return Status::GenericError;
  PageInfo info;
  ReadPageInfo(tif, info);
  if (info.width == 0 || info.height == 0) return Status::UnknownImageFormat;
  if (info.compression == COMPRESSION_JPEG && info.photometric == PHOTOMETRIC_YCBCR) {
    // libjpeg converts to RGB while decoding.
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    info.photometric = PHOTOMETRIC_RGB;
  }
  std::vector<uint8_t> icc;
  uint32_t iccLength = 0;
  void* iccData = nullptr;
  if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccLength, &iccData) && iccData && iccLength > 0) {
    const uint8_t* bytes = static_cast<const uint8_t*>(iccData);
    icc.assign(bytes, bytes + iccLength);
  }
  Plan plan = ChoosePlan(info);
  std::unique_ptr<Bitmap> image;
  Status s = Status::Ok;
  if (plan.layout == Layout::Unsupported) {
    s = ReadThroughRgba(tif, info, image);
  } else {
    s = NewDecodedBitmap(info.width, info.height, plan.format, image);
    if (s != Status::Ok) return s;
    int bits = info.bitsPerSample;
    if (plan.layout == Layout::Palette) {
      image->SetPalette(ReadColorMap(tif, bits, PaletteCapacity(plan.format)));
    } else if (plan.layout == Layout::Bilevel || plan.layout == Layout::GreyIndexed) {
      image->SetPalette(GreyPalette(bits, PaletteCapacity(plan.format),
                                    info.photometric == PHOTOMETRIC_MINISWHITE));
    }
    s = ReadExact(tif, info, plan, icc, icm, *image);
  }
  if (s != Status::Ok) return s;
  ApplyTiffResolution(tif, *image);
  ReadPageProperties(*data, TIFFCurrentDirOffset(tif), page, *image, patched);
  if (!icc.empty()) {
    image->RemoveProperty(kPropertyTagICCProfile);  // set once, from libtiff's reading
    AddProperty(*image, kPropertyTagICCProfile, PropertyTagTypeUndefined, icc.data(), icc.size());
    if (icm && plan.layout != Layout::Cmyk) ConvertToSrgb(*image, icc.data(), icc.size());
  }
  FinishDecodedBitmap(*image, RawFormat::TIFF, ColorSpaceOf(info));
  out = std::move(image);
  return Status::Ok;
}

class TiffFrames final : public FrameSource {
 public:
  TiffFrames(SharedBytes data, bool icm, uint32_t pages)
      : data_(std::move(data)), icm_(icm), pages_(pages) {}

  uint32_t FrameCount(FrameDimension dimension) const override {
    return dimension == FrameDimension::Page ? pages_ : 1;
  }

  Status DecodeFrame(FrameDimension dimension, uint32_t index, Bitmap& into) override {
    if (index >= FrameCount(dimension)) return Status::InvalidParameter;
    std::unique_ptr<Bitmap> page;
    // Bitmaps cloned from one another share this source, possibly across threads.
    std::lock_guard<std::mutex> lock(mutex_);
    Status s = DecodePage(data_, dimension == FrameDimension::Page ? index : 0, icm_, patched_, page);
    if (s != Status::Ok) return s;
    into.TakeContentFrom(*page);
    return Status::Ok;
  }

 private:
  SharedBytes data_;
  bool icm_;
  uint32_t pages_;
  std::mutex mutex_;
  std::vector<uint8_t> patched_;  // see ReadPageProperties
};

}  // namespace

Status DecodeTiff(const SharedBytes& data, bool icm, std::unique_ptr<Bitmap>& out) {
  out.reset();
  uint32_t pages = 0;
  {
    TiffHandle handle = TiffHandle::OpenMemory(data->data(), data->size(), TiffAllocationLimit());
    if (!handle) return Status::UnknownImageFormat;
    pages = TIFFNumberOfDirectories(handle.get());
  }
  std::vector<uint8_t> unused;  // the first page needs no patched copy
  Status s = DecodePage(data, 0, icm, unused, out);
  if (s != Status::Ok) return s;
  if (pages > 1) out->SetFrameSource(std::make_shared<TiffFrames>(data, icm, pages));
  return Status::Ok;
}

}  // namespace tessivo::platform::codecs
