// Image information methods of cImaging: size, millimetre size, resolution, pixel format and
// colour space of the native image, the resolution setters, the CMYK file probe, clearing and
// lossless JPEG transforms.
#include "core/boundary.h"
#include "core/codec_bitmaps.h"
#include "core/codec_decode.h"
#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "core/platform_result.h"
#include "core/resolution.h"
#include "platform/codecs/codecs.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;

constexpr double kMillimetresPerInch = 25.4;

// The bitmap of the native image; null (with InvalidParameter stored) when it is not registered.
Bitmap* NativeBitmap(ImagingState& st) {
  Bitmap* image = ResolveImage(st.nativeImage);
  if (!image) st.Set(InvalidParameter);
  return image;
}

float Millimetres(int32_t pixels, float dpi) {
  return dpi > 0 ? static_cast<float>(pixels / static_cast<double>(dpi) * kMillimetresPerInch) : 0.0f;
}

}  // namespace

int32_t cImaging::GetWidth() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), image->Width()) : 0;
  });
}

int32_t cImaging::GetHeight() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), image->Height()) : 0;
  });
}

float cImaging::GetWidthMM() {
  ImagingState& st = *state_;
  return Guarded(st, 0.0f, [&] {
    Bitmap* image = NativeBitmap(st);
    if (!image) return 0.0f;
    st.Set(OK);
    return Millimetres(image->Width(), image->HorizontalResolution());
  });
}

float cImaging::GetHeightMM() {
  ImagingState& st = *state_;
  return Guarded(st, 0.0f, [&] {
    Bitmap* image = NativeBitmap(st);
    if (!image) return 0.0f;
    st.Set(OK);
    return Millimetres(image->Height(), image->VerticalResolution());
  });
}

float cImaging::GetHorizontalResolution() {
  ImagingState& st = *state_;
  return Guarded(st, 0.0f, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), image->HorizontalResolution()) : 0.0f;
  });
}

float cImaging::GetVerticalResolution() {
  ImagingState& st = *state_;
  return Guarded(st, 0.0f, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), image->VerticalResolution()) : 0.0f;
  });
}

TessivoStatus cImaging::SetHorizontalResolution(float nHorizontalresolution) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    const float vertical = GetVerticalResolution();
    return st.Set(SetResolution(st.nativeImage, nHorizontalresolution, vertical));
  });
}

TessivoStatus cImaging::SetVerticalResolution(float nVerticalresolution) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    const float horizontal = GetHorizontalResolution();
    return st.Set(SetResolution(st.nativeImage, horizontal, nVerticalresolution));
  });
}

PixelFormats cImaging::GetPixelFormat() {
  ImagingState& st = *state_;
  return Guarded(st, PixelFormatUndefined, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), static_cast<PixelFormats>(image->Format())) : PixelFormatUndefined;
  });
}

std::string cImaging::GetPixelFormatString() {
  ImagingState& st = *state_;
  return Guarded(st, std::string(), [&]() -> std::string {
    Bitmap* image = NativeBitmap(st);
    if (!image) return std::string();
    st.Set(OK);
    switch (image->Format()) {
      case PixelFormat1bppIndexed: return "1bppIndexed";
      case PixelFormat4bppIndexed: return "4bppIndexed";
      case PixelFormat8bppIndexed: return "8bppIndexed";
      case PixelFormat16bppGrayScale: return "16bppGrayScale";
      case PixelFormat16bppRGB555: return "16bppRGB555";
      case PixelFormat16bppRGB565: return "16bppRGB565";
      case PixelFormat16bppARGB1555: return "16bppARGB1555";
      case PixelFormat24bppRGB: return "24bppRGB";
      case PixelFormat32bppRGB: return "32bppRGB";
      case PixelFormat32bppARGB: return "32bppARGB";
      case PixelFormat32bppPARGB: return "32bppPARGB";
      case PixelFormat48bppRGB: return "48bppRGB";
      case PixelFormat64bppARGB: return "64bppARGB";
      case PixelFormat64bpppARGB: return "64bppPARGB";
      default: return "Undefined";
    }
  });
}

int32_t cImaging::GetPixelDepth() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    Bitmap* image = NativeBitmap(st);
    if (!image) return 0;
    st.Set(OK);
    const platform::PixelFormat format = image->Format();
    if (format == PixelFormatUndefined) return 0;
    const int32_t depth = BitDepthFromPixelFormat(format);
    return depth != 0 ? depth : 32;  // a format the table does not know counts as 32 bits
  });
}

bool cImaging::IsPixelFormatIndexed() {
  ImagingState& st = *state_;
  return Guarded(st, false, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), (image->Format() & platform::kPixelFormatIndexed) != 0) : false;
  });
}

bool cImaging::IsPixelFormatHasAlpha() {
  ImagingState& st = *state_;
  return Guarded(st, false, [&] {
    Bitmap* image = NativeBitmap(st);
    return image ? (st.Set(OK), (image->Format() & platform::kPixelFormatAlpha) != 0) : false;
  });
}

ImageColorSpaces cImaging::GetImageColorSpace() {
  ImagingState& st = *state_;
  return Guarded(st, ImageColorSpaceUnknown, [&] {
    Bitmap* image = NativeBitmap(st);
    if (!image) return ImageColorSpaceUnknown;
    st.Set(OK);
    // Tested in order, each match overwriting the last: the highest flag set wins.
    static const std::pair<uint32_t, ImageColorSpaces> kFlags[] = {
        {platform::ImageFlagsColorSpaceRGB, ImageColorSpaceRGB},
        {platform::ImageFlagsColorSpaceCMYK, ImageColorSpaceCMYK},
        {platform::ImageFlagsColorSpaceGRAY, ImageColorSpaceGRAY},
        {platform::ImageFlagsColorSpaceYCBCR, ImageColorSpaceYCBCR},
        {platform::ImageFlagsColorSpaceYCCK, ImageColorSpaceYCCK}};
    ImageColorSpaces space = ImageColorSpaceUnknown;
    for (const auto& [flag, value] : kFlags)
      if (image->Flags() & flag) space = value;
    return space;
  });
}

bool cImaging::IsCMYKFile(const std::string& sFilePath) {
  try {
    const TvimgplugApi* codec = CodecPlugin();
    if (!codec) return false;
    const std::string path = NormalisePath(sFilePath);
    if (!IsReadableFile(path)) return false;
    const int32_t format = CodecFileFormat(path);
    if (format < 0) return false;
    CodecBitmap bitmap(*codec, codec->Load(format, path.c_str(), 0));
    return bitmap && codec->GetColorType(bitmap.get()) == TVIMG_CMYK;
  } catch (...) {
    return false;  // a probe: the last status stays as it was
  }
}

TessivoStatus cImaging::ClearImage(int32_t nColorARGB) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    Bitmap* image = NativeBitmap(st);
    if (!image) return st.lastStatus;
    // Written as 32-bit ARGB and converted back to the image's own format on unlock (indexed
    // images take the nearest palette entry), which is what a clear through a drawing surface
    // gives.
    platform::BitmapData data;
    TessivoStatus status = StatusOf(image->LockBits(nullptr, platform::ImageLockModeWrite,
                                                     platform::kPixelFormat32bppARGB, data));
    if (status != OK) return st.Set(status);
    const auto argb = static_cast<uint32_t>(nColorARGB);
    for (uint32_t y = 0; y < data.height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.scan0) +
                                              static_cast<intptr_t>(y) * data.stride);
      for (uint32_t x = 0; x < data.width; ++x) row[x] = argb;
    }
    status = StatusOf(image->UnlockBits(data));
    if (status == OK) {
      if (ImageEntry* page = ImageRegistry::Current().Entry(ResolvePageID(st.nativeImage)))
        page->pageModified = true;
    }
    return st.Set(status);
  });
}

TessivoStatus cImaging::TransformJPEG(const std::string& sInputFile,
                                      const std::string& sOutputFile,
                                      JPEGTransformations nTransformation) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const std::string input = NormalisePath(sInputFile);
    if (!IsReadableFile(input)) return st.Set(FileNotFound);
    return st.Set(StatusOf(
        platform::TransformJpegFile(input, NormalisePath(sOutputFile), nTransformation)));
  });
}

int32_t cImaging::GetColorChannelFlagsC() { return 0; }
int32_t cImaging::GetColorChannelFlagsM() { return 1; }
int32_t cImaging::GetColorChannelFlagsY() { return 2; }
int32_t cImaging::GetColorChannelFlagsK() { return 3; }

}  // namespace tessivo
