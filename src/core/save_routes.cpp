#include "core/save_routes.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/codec_bitmaps.h"
#include "core/codec_plugin.h"
#include "core/encoder_lookup.h"
#include "core/icon_writer.h"
#include "core/platform_result.h"
#include "core/temp_files.h"
#include "platform/stream.h"
#include "tessivo/enums_io.h"

namespace tessivo {
namespace {

using platform::EncoderParameter;
using platform::EncoderParameterId;

// EXIF time-zone offset: the platform's JPEG and TIFF encoders are not given it.
constexpr uint32_t kTimeZoneOffsetTag = 34858;
constexpr int32_t kDefaultJpegQuality = 75;

std::string TrimBlanks(const std::string& s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsBilevelOnly(int32_t compression) {
  return compression == CompressionCCITT3 || compression == CompressionCCITT4 ||
         compression == CompressionRLE;
}

}  // namespace

int32_t CompressionForDepth(int32_t compression, int bitsPerPixel) {
  return (IsBilevelOnly(compression) && bitsPerPixel >= 2) ? CompressionLZW : compression;
}

TessivoStatus SaveWithPattern(platform::Bitmap& image, const std::string& path,
                              const std::string& pattern,
                              const std::vector<EncoderParameter>& params) {
  const platform::ImageCodecInfo* encoder = EncoderByPattern(pattern);
  if (!encoder) return UnknownImageFormat;
  return StatusOf(platform::EncodeImageFile(image, path, encoder->clsid, params));
}

void PrepareForEncoding(platform::Bitmap& image) {
  const double dpiX = image.HorizontalResolution();
  const double dpiY = image.VerticalResolution();
  const double smaller = std::min(dpiX, dpiY);
  if (smaller > 0 && smaller < 0.5) {
    // The smallest factor f = tenths / 10 (f >= 1) with f x smaller >= 0.5.
    double tenths = std::max(10.0, std::floor(5.0 / smaller));
    while (tenths > 10 && (tenths - 1) / 10.0 * smaller >= 0.5) tenths -= 1;
    while (tenths / 10.0 * smaller < 0.5) tenths += 1;
    const double f = tenths / 10.0;
    image.SetResolution(static_cast<float>(dpiX * f), static_cast<float>(dpiY * f));
  }
  while (image.RemoveProperty(kTimeZoneOffsetTag) == platform::Status::Ok) {
  }
}

bool IsGreyRamp8(const platform::Bitmap& image) {
  if (image.Format() != platform::kPixelFormat8bppIndexed) return false;
  const auto& entries = image.GetPalette().entries;
  if (entries.size() != 256) return false;
  for (uint32_t i = 0; i < 256; ++i)
    if ((entries[i] & 0x00FFFFFFu) != (i << 16 | i << 8 | i)) return false;
  return true;
}

TessivoStatus SaveJpeg(platform::Bitmap& image, const std::string& path, int32_t quality,
                       bool codecAllowed) {
  // The platform encoder would write a grey ramp through its colour path; the codec keeps it
  // a one-channel JPEG.
  if (codecAllowed && IsGreyRamp8(image) && CodecPlugin()) {
    if (CodecSave(image, path, TVIMG_JPEG, quality, {}) == OK) return OK;
  }
  const platform::ImageCodecInfo* encoder = EncoderByPattern("*.jpg");
  if (!encoder) return UnknownImageFormat;
  PrepareForEncoding(image);
  std::vector<EncoderParameter> params;
  if (quality >= 0) params.push_back({EncoderParameterId::Quality, std::min(quality, 100)});
  return StatusOf(platform::EncodeImageFile(image, path, encoder->clsid, params));
}

TessivoStatus SaveTiff(platform::Bitmap& image, const std::string& path, int32_t compression,
                       int32_t colorDepth) {
  const platform::ImageCodecInfo* encoder = EncoderByPattern("*.tif");
  if (!encoder) return UnknownImageFormat;
  PrepareForEncoding(image);
  if (colorDepth == 16) colorDepth = 24;
  const int depth = colorDepth != 0 ? colorDepth : platform::BitsPerPixel(image.Format());
  compression = CompressionForDepth(compression, depth);
  std::vector<EncoderParameter> params;
  if (compression != 0) params.push_back({EncoderParameterId::Compression, compression});
  if (colorDepth != 0) params.push_back({EncoderParameterId::ColorDepth, colorDepth});
  return StatusOf(platform::EncodeImageFile(image, path, encoder->clsid, params));
}

TessivoStatus SaveToStream(platform::Bitmap& image, const std::string& format, int32_t parameter,
                           platform::Stream& stream) {
  const std::string name = Lower(TrimBlanks(format));
  const platform::ImageCodecInfo* encoder = EncoderByPattern("*." + name);
  if (!encoder) encoder = EncoderByPattern("*.bmp");
  if (!encoder) return UnknownImageFormat;
  std::vector<EncoderParameter> params;
  if (parameter != 0) {
    if (name == "jpg" || name == "jpeg") {
      params.push_back(
          {EncoderParameterId::Quality, parameter >= 1 ? parameter : kDefaultJpegQuality});
    } else if (name == "tif" || name == "tiff") {
      params.push_back({EncoderParameterId::Compression,
                        CompressionForDepth(parameter, platform::BitsPerPixel(image.Format()))});
    }
  }
  return StatusOf(platform::EncodeImageStream(image, stream, encoder->clsid, params));
}

TessivoStatus SaveToBytes(platform::Bitmap& image, const std::string& format, int32_t parameter,
                          bool codecAllowed, std::vector<uint8_t>& bytes) {
  bytes.clear();
  const std::string name = Lower(TrimBlanks(format));
  if ((name == "jpeg" || name == "jpg") && IsGreyRamp8(image)) {
    const std::string temp = NewTempFile();
    if (temp.empty()) return GenericError;
    TessivoStatus status =
        SaveJpeg(image, temp, parameter >= 1 ? parameter : kDefaultJpegQuality, codecAllowed);
    if (status == OK) status = StatusOf(platform::ReadFileBytes(temp, bytes));
    DeleteFileQuietly(temp);
    if (status != OK) return status;
  } else {
    platform::MemoryStream stream;
    TessivoStatus status = SaveToStream(image, format, parameter, stream);
    if (status != OK) return status;
    bytes = stream.TakeBytes();
  }
  return bytes.empty() ? GenericError : OK;
}

TessivoStatus SaveIcon(const platform::Bitmap& image, const std::string& path, bool transparent,
                       uint32_t transparentColor) {
  std::unique_ptr<platform::Bitmap> icon;
  TessivoStatus status = MakeIconImage(image, transparent, transparentColor, icon);
  if (status != OK) return status;
  if (CodecPlugin()) return CodecSave(*icon, path, TVIMG_ICO, 0, {});
  return WriteIconFile(*icon, path);
}

TessivoStatus CodecSave(const platform::Bitmap& image, const std::string& path, int32_t format,
                        int32_t flags, const std::vector<platform::PixelFormat>& allowed,
                        bool toFloat) {
  const TvimgplugApi* codec = CodecPlugin();
  if (!codec) return TvimgplugDllRequired;
  if (!allowed.empty() &&
      std::find(allowed.begin(), allowed.end(), image.Format()) == allowed.end())
    return UnsupportedPixelFormat;
  CodecBitmap bitmap(*codec);
  TessivoStatus status = ToCodecBitmap(*codec, image, bitmap);
  if (status != OK) return status;
  if (toFloat) {
    CodecBitmap converted(*codec, codec->ConvertToRGBF(bitmap.get()));
    if (!converted) return OutOfMemory;
    bitmap = std::move(converted);
  }
  return codec->Save(format, bitmap.get(), path.c_str(), flags) ? OK : GenericError;
}

TessivoStatus CodecSaveTiffJpeg(const platform::Bitmap& image, const std::string& path,
                                int32_t quality) {
  const TvimgplugApi* codec = CodecPlugin();
  if (!codec) return TvimgplugDllRequired;
  const int bpp = platform::BitsPerPixel(image.Format());
  if (bpp != 8 && bpp != 24) return UnsupportedPixelFormat;
  codec->SetTiffJpegCompression(std::clamp(quality, 0, 100));
  return CodecSave(image, path, TVIMG_TIFF, TVIMG_SAVE_TIFF_JPEG, {});
}

}  // namespace tessivo
