#include "core/codec_bitmaps.h"

#include <cmath>
#include <cstring>

#include "core/platform_result.h"
#include "platform/codecs/property_tags.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

constexpr double kMetresPerInch = 0.0254;

// Dots per metre to whole dots per inch, rounding halves up.
float DpiFromDotsPerMetre(uint32_t dpm) {
  return static_cast<float>(std::floor(dpm * kMetresPerInch + 0.5));
}
uint32_t DotsPerMetreFromDpi(float dpi) {
  return dpi > 0 ? static_cast<uint32_t>(std::lround(dpi / kMetresPerInch)) : 0;
}

size_t RowBytes(uint32_t width, uint32_t bpp) {
  return (static_cast<size_t>(width) * bpp + 7) / 8;
}

bool ReadRational(const platform::PropertyItem& item, double& value) {
  if (item.type != platform::PropertyTagTypeRational || item.value.size() < 8) return false;
  uint32_t num, den;
  std::memcpy(&num, item.value.data(), 4);
  std::memcpy(&den, item.value.data() + 4, 4);
  if (den == 0) return false;
  value = static_cast<double>(num) / den;
  return true;
}

// The resolution EXIF metadata gives (XResolution / YResolution in their unit), if any.
bool MetadataResolution(const Bitmap& image, double& dpiX, double& dpiY) {
  platform::PropertyItem x, y, unit;
  if (image.GetProperty(platform::kPropertyTagXResolution, x) != platform::Status::Ok ||
      image.GetProperty(platform::kPropertyTagYResolution, y) != platform::Status::Ok ||
      !ReadRational(x, dpiX) || !ReadRational(y, dpiY))
    return false;
  if (image.GetProperty(platform::kPropertyTagResolutionUnit, unit) == platform::Status::Ok &&
      unit.type == platform::PropertyTagTypeShort && unit.value.size() >= 2 &&
      (unit.value[0] | unit.value[1] << 8) == 3) {  // centimetres
    dpiX *= 2.54;
    dpiY *= 2.54;
  }
  return true;
}

// Brings a codec bitmap to a depth a platform bitmap can take directly: 1, 4, 8, 24 or 32 bits
// per pixel of standard samples. `holder` keeps any converted bitmap alive.
TessivoStatus NormaliseCodecBitmap(const TvimgplugApi& codec, tvimg_bitmap*& bitmap,
                                   CodecBitmap& holder) {
  auto replace = [&](tvimg_bitmap* converted) {
    if (!converted) return false;
    holder.reset(converted);
    bitmap = converted;
    return true;
  };
  const int32_t type = codec.GetImageType(bitmap);
  const uint32_t bpp = codec.GetBPP(bitmap);
  switch (type) {
    case TVIMG_TYPE_BITMAP:
      if (bpp == 8 && codec.IsTransparent(bitmap) && codec.GetTransparencyCount(bitmap) > 0) {
        if (!replace(codec.ConvertTo32Bits(bitmap))) return OutOfMemory;
      } else if (bpp == 16) {
        // 16-bit standard bitmaps may be RGB555 or RGB565; 24 bits holds either exactly.
        if (!replace(codec.ConvertTo24Bits(bitmap))) return OutOfMemory;
      }
      return OK;
    case TVIMG_TYPE_UINT16:
      if (!replace(codec.ConvertToType(bitmap, TVIMG_TYPE_BITMAP, 1))) return OutOfMemory;
      return OK;
    case TVIMG_TYPE_FLOAT:
    case TVIMG_TYPE_DOUBLE:
    case TVIMG_TYPE_RGB16:
    case TVIMG_TYPE_RGBA16:
    case TVIMG_TYPE_RGBF:
    case TVIMG_TYPE_RGBAF:
      if (!replace(codec.TmoReinhard05(bitmap, 0, 0))) return OutOfMemory;
      return OK;
    case TVIMG_TYPE_UNKNOWN:
      return UnknownImageFormat;
    default:
      if (!replace(codec.ConvertToType(bitmap, TVIMG_TYPE_BITMAP, 1))) return OutOfMemory;
      return OK;
  }
}

}  // namespace

std::string CodecFormatName(int32_t format) {
  static const char* const kNames[] = {
      "BMP",  "ICO",  "JPEG", "JNG",  "KOALA", "LBM",  "MNG", "PBM",  "PBMRAW", "PCD",
      "PCX",  "PGM",  "PGMRAW", "PNG", "PPM",  "PPMRAW", "RAS", "TARGA", "TIFF", "WBMP",
      "PSD",  "CUT",  "XBM",  "XPM",  "DDS",   "GIF",  "HDR", "FAXG3", "SGI",  "EXR",
      "J2K",  "JP2",  "PFM",  "PICT", "RAW",   "JBIG"};
  if (format == TVIMG_UNKNOWN) return "UNKNOWN";
  if (format < 0 || format >= static_cast<int32_t>(std::size(kNames))) return "";
  return kNames[format];
}

TessivoStatus FromCodecBitmap(const TvimgplugApi& codec, tvimg_bitmap* source,
                              std::unique_ptr<Bitmap>& out, bool* sharesPixels) {
  if (sharesPixels) *sharesPixels = false;
  if (!source) return OutOfMemory;
  CodecBitmap holder(codec);
  tvimg_bitmap* bitmap = source;
  TessivoStatus status = NormaliseCodecBitmap(codec, bitmap, holder);
  if (status != OK) return status;

  const uint32_t bpp = codec.GetBPP(bitmap);
  if (bpp > 64) return UnknownImageFormat;
  const uint32_t width = codec.GetWidth(bitmap), height = codec.GetHeight(bitmap);
  const uint32_t pitch = codec.GetPitch(bitmap);
  const uint8_t* bits = codec.GetBits(bitmap);
  const int32_t colorType = codec.GetColorType(bitmap);
  PixelFormat format;
  switch (bpp) {
    case 1: format = platform::kPixelFormat1bppIndexed; break;
    case 4: format = platform::kPixelFormat4bppIndexed; break;
    case 8: format = platform::kPixelFormat8bppIndexed; break;
    case 24: format = platform::kPixelFormat24bppRGB; break;
    case 32:
      format = colorType == TVIMG_RGBALPHA ? platform::kPixelFormat32bppARGB
                                           : platform::kPixelFormat32bppRGB;
      break;
    default: return UnknownImageFormat;
  }
  // The plug-in is trusted code, but its answers still decide how much we read.
  if (!bits || width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX ||
      pitch < RowBytes(width, bpp))
    return UnknownImageFormat;

  std::unique_ptr<Bitmap> image;
  // Bilevel pages (fax documents) are shared too, unless their bits must be inverted.
  const bool invert = bpp == 1 && colorType == TVIMG_MINISWHITE;
  const bool share = sharesPixels && bitmap == source && (bpp >= 24 || (bpp == 1 && !invert)) && pitch <= INT32_MAX;
  if (share) {
    // The top row is the last one in the codec's memory.
    uint8_t* top = codec.GetBits(source) + static_cast<size_t>(height - 1) * pitch;
    status = StatusOf(Bitmap::CreateOver(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                         -static_cast<int32_t>(pitch), format, top, image));
  } else {
    status = StatusOf(Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                     format, image));
  }
  if (status != OK) return status;
  if (share) *sharesPixels = true;

  const size_t rowBytes = RowBytes(width, bpp);
  for (uint32_t y = 0; y < height && !share; ++y) {
    const uint8_t* src = bits + static_cast<size_t>(height - 1 - y) * pitch;  // bottom-up
    uint8_t* dst = image->Row(static_cast<int32_t>(y));
    std::memcpy(dst, src, rowBytes);
    if (invert)
      for (size_t i = 0; i < rowBytes; ++i) dst[i] = static_cast<uint8_t>(~dst[i]);
  }

  if (platform::IsIndexed(format)) {
    platform::Palette palette;
    const size_t capacity = static_cast<size_t>(platform::PaletteCapacity(format));
    const uint8_t* entries = codec.GetPalette(bitmap);
    const size_t used = std::min<size_t>(codec.GetColorsUsed(bitmap), capacity);
    if (invert || !entries || used == 0) {
      // Min-is-white rows were inverted above, so black is index 0 again; a missing palette
      // is taken as a grey ramp.
      for (size_t i = 0; i < capacity; ++i) {
        uint32_t v = static_cast<uint32_t>(i * 255 / (capacity - 1));
        palette.entries.push_back(0xFF000000u | v << 16 | v << 8 | v);
      }
      palette.flags = platform::PaletteFlagsGrayScale;
    } else {
      for (size_t i = 0; i < used; ++i) {
        const uint8_t* e = entries + 4 * i;  // blue, green, red, reserved
        palette.entries.push_back(0xFF000000u | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0]);
      }
    }
    image->SetPalette(palette);
  }

  uint32_t flags = platform::ImageFlagsHasRealPixelSize;
  if (colorType == TVIMG_CMYK) flags |= platform::ImageFlagsColorSpaceCMYK;
  else if (colorType == TVIMG_MINISBLACK || colorType == TVIMG_MINISWHITE)
    flags |= platform::ImageFlagsColorSpaceGRAY;
  else flags |= platform::ImageFlagsColorSpaceRGB;
  if (format == platform::kPixelFormat32bppARGB) flags |= platform::ImageFlagsHasAlpha;
  image->SetFlags(flags);

  // Metadata of the source as loaded (conversions may not carry it).
  const uint32_t count = codec.GetMetadataCount(TVIMG_METADATA_EXIF, source);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = 0, length = 0;
    uint16_t type = 0;
    const uint8_t* value = nullptr;
    if (!codec.GetMetadataItem(TVIMG_METADATA_EXIF, source, i, &id, &type, &value, &length))
      continue;
    platform::PropertyItem item;
    item.id = id;
    item.type = type;
    if (value && length > 0) item.value.assign(value, value + length);
    image->SetProperty(item);
  }

  const float ownX = DpiFromDotsPerMetre(codec.GetDotsPerMeterX(source));
  const float ownY = DpiFromDotsPerMetre(codec.GetDotsPerMeterY(source));
  double dpiX = ownX, dpiY = ownY;
  double metaX, metaY;
  if (MetadataResolution(*image, metaX, metaY)) {
    // Writers that know no resolution often put 72 x 72 in EXIF; the file's own fields win.
    const bool defaultExif = metaX == 72 && metaY == 72;
    if (!(defaultExif && (ownX != 72 || ownY != 72))) {
      dpiX = metaX;
      dpiY = metaY;
    }
  }
  if (dpiX > 0 && dpiY > 0) image->SetResolution(static_cast<float>(dpiX), static_cast<float>(dpiY));

  out = std::move(image);
  return OK;
}

TessivoStatus ToCodecBitmap(const TvimgplugApi& codec, const Bitmap& source, CodecBitmap& out) {
  const PixelFormat own = source.Format();
  PixelFormat format;
  int32_t bpp;
  if (platform::IsIndexed(own)) {
    format = own;
    bpp = platform::BitsPerPixel(own);
  } else if (platform::HasAlpha(own)) {
    format = platform::kPixelFormat32bppARGB;
    bpp = 32;
  } else {
    format = platform::kPixelFormat24bppRGB;
    bpp = 24;
  }
  std::unique_ptr<Bitmap> converted;
  const Bitmap* rows = &source;
  if (format != own) {
    platform::Rect all{0, 0, source.Width(), source.Height()};
    TessivoStatus status = StatusOf(source.CloneArea(all, format, converted));
    if (status != OK) return status;
    rows = converted.get();
  }

  CodecBitmap bitmap(codec, codec.Allocate(source.Width(), source.Height(), bpp));
  if (!bitmap) return OutOfMemory;
  uint8_t* bits = codec.GetBits(bitmap.get());
  const uint32_t pitch = codec.GetPitch(bitmap.get());
  const size_t rowBytes = RowBytes(static_cast<uint32_t>(source.Width()), static_cast<uint32_t>(bpp));
  if (!bits || pitch < rowBytes || codec.GetBPP(bitmap.get()) != static_cast<uint32_t>(bpp))
    return GenericError;
  const int32_t height = source.Height();
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(bits + static_cast<size_t>(height - 1 - y) * pitch, rows->Row(y), rowBytes);

  if (platform::IsIndexed(format)) {
    const auto& entries = source.GetPalette().entries;
    uint8_t* palette = codec.GetPalette(bitmap.get());
    const size_t slots = palette ? codec.GetColorsUsed(bitmap.get()) : 0;
    std::vector<uint8_t> alpha;
    bool translucent = false;
    for (size_t i = 0; i < entries.size() && i < slots; ++i) {
      const uint32_t argb = entries[i];
      palette[4 * i + 0] = static_cast<uint8_t>(argb);
      palette[4 * i + 1] = static_cast<uint8_t>(argb >> 8);
      palette[4 * i + 2] = static_cast<uint8_t>(argb >> 16);
      palette[4 * i + 3] = 0;
      alpha.push_back(static_cast<uint8_t>(argb >> 24));
      translucent |= alpha.back() != 0xFF;
    }
    if (translucent)
      codec.SetTransparencyTable(bitmap.get(), alpha.data(), static_cast<int32_t>(alpha.size()));
  }

  codec.SetDotsPerMeterX(bitmap.get(), DotsPerMetreFromDpi(source.HorizontalResolution()));
  codec.SetDotsPerMeterY(bitmap.get(), DotsPerMetreFromDpi(source.VerticalResolution()));
  for (const platform::PropertyItem& item : source.Properties())
    codec.SetMetadataItem(TVIMG_METADATA_EXIF, bitmap.get(), item.id, item.type,
                          item.value.data(), static_cast<uint32_t>(item.value.size()));
  out = std::move(bitmap);
  return OK;
}

}  // namespace tessivo
