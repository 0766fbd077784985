// Saving methods of cImaging: the native image (the current page of a document) written to a
// file through the platform encoders or the codec plug-in, or to a stream, bytes or a string.
#include <vector>

#include "core/ansi.h"
#include "core/boundary.h"
#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/save_routes.h"
#include "core/stream_handles.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
namespace pf = platform;

// Runs `save` on the native image and stores its status. No native image: GenericError; a
// native ID that is not registered: InvalidParameter, nothing written.
template <typename Save>
TessivoStatus SaveNative(ImagingState& st, Save&& save) {
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    Bitmap* image = ResolveImage(st.nativeImage);
    if (!image) return st.Set(InvalidParameter);
    return st.Set(save(*image));
  });
}

}  // namespace

TessivoStatus cImaging::SaveAsBmp(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) { return SaveWithPattern(image, sFilePath, "*.bmp"); });
}

TessivoStatus cImaging::SaveAsPNG(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) { return SaveWithPattern(image, sFilePath, "*.png"); });
}

TessivoStatus cImaging::SaveAsGIF(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) { return SaveWithPattern(image, sFilePath, "*.gif"); });
}

TessivoStatus cImaging::SaveAsJPEG(const std::string& sFilePath, int32_t nQuality) {
  const bool codecAllowed = !state_->disableCodecPlugin;
  return SaveNative(*state_, [&](Bitmap& image) {
    return SaveJpeg(image, sFilePath, nQuality, codecAllowed);
  });
}

TessivoStatus cImaging::SaveAsTIFF(const std::string& sFilePath, TifCompression nCompression) {
  return SaveNative(*state_, [&](Bitmap& image) { return SaveTiff(image, sFilePath, nCompression, 0); });
}

TessivoStatus cImaging::SaveAsTIFFjpg(const std::string& sFilePath) {
  return SaveAsTIFFjpgEx(sFilePath, 75);
}

TessivoStatus cImaging::SaveAsTIFFjpgEx(const std::string& sFilePath, int32_t nQuality) {
  return SaveNative(*state_, [&](Bitmap& image) { return CodecSaveTiffJpeg(image, sFilePath, nQuality); });
}

TessivoStatus cImaging::SaveAsWBMP(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_WBMP, 0, {pf::kPixelFormat1bppIndexed});
  });
}

TessivoStatus cImaging::SaveAsXPM(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_XPM, 0,
                     {pf::kPixelFormat8bppIndexed, pf::kPixelFormat24bppRGB});
  });
}

TessivoStatus cImaging::SaveAsTGA(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_TARGA, 0,
                     {pf::kPixelFormat8bppIndexed, pf::kPixelFormat16bppGrayScale,
                      pf::kPixelFormat16bppRGB555, pf::kPixelFormat16bppRGB565,
                      pf::kPixelFormat16bppARGB1555, pf::kPixelFormat24bppRGB,
                      pf::kPixelFormat32bppRGB, pf::kPixelFormat32bppARGB,
                      pf::kPixelFormat32bppPARGB});
  });
}

TessivoStatus cImaging::SaveAsPBM(const std::string& sFilePath) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_PBM, 0,
                     {pf::kPixelFormat1bppIndexed, pf::kPixelFormat8bppIndexed,
                      pf::kPixelFormat24bppRGB, pf::kPixelFormat32bppRGB});
  });
}

namespace {
const std::vector<pf::PixelFormat> kJpeg2000Formats = {
    pf::kPixelFormat8bppIndexed, pf::kPixelFormat24bppRGB, pf::kPixelFormat32bppRGB,
    pf::kPixelFormat32bppARGB};
}  // namespace

TessivoStatus cImaging::SaveAsJ2K(const std::string& sFilePath, int32_t nRate) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_J2K, nRate, kJpeg2000Formats);
  });
}

TessivoStatus cImaging::SaveAsJP2(const std::string& sFilePath, int32_t nRate) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_JP2, nRate, kJpeg2000Formats);
  });
}

TessivoStatus cImaging::SaveAsEXR(const std::string& sFilePath, ExrCompression nCompression) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return CodecSave(image, sFilePath, TVIMG_EXR, nCompression, {}, true);
  });
}

TessivoStatus cImaging::SaveAsICO(const std::string& sFilePath, bool bTransparent,
                                  int32_t nTransparentColor) {
  return SaveNative(*state_, [&](Bitmap& image) {
    return SaveIcon(image, sFilePath, bTransparent, static_cast<uint32_t>(nTransparentColor));
  });
}

TessivoStatus cImaging::SaveAsStream(int32_t& oStream, const std::string& sFormat,
                                     int32_t nParameter) {
  return SaveNative(*state_, [&](Bitmap& image) {
    auto stream = std::make_shared<platform::MemoryStream>();
    TessivoStatus status = SaveToStream(image, sFormat, nParameter, *stream);
    if (status != OK) return status;
    // Handed over ready to be read, as a loader expects it.
    stream->Seek(0, platform::SeekOrigin::Begin);
    oStream = AddStreamHandle(std::move(stream));
    return OK;
  });
}

TessivoStatus cImaging::SaveAsByteArray(SafeArray<uint8_t>& arBytes, int32_t& nLength,
                                        const std::string& sFormat, int32_t nParameter) {
  const bool codecAllowed = !state_->disableCodecPlugin;
  return SaveNative(*state_, [&](Bitmap& image) {
    std::vector<uint8_t> bytes;
    TessivoStatus status = SaveToBytes(image, sFormat, nParameter, codecAllowed, bytes);
    if (status != OK) return status;
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return OutOfMemory;
    nLength = static_cast<int32_t>(bytes.size());
    arBytes = SafeArray<uint8_t>::FromVector(std::move(bytes));
    return OK;
  });
}

std::string cImaging::SaveAsString(const std::string& sFormat, int32_t nParameter) {
  ImagingState& st = *state_;
  return Guarded(st, std::string(), [&] {
    std::string text;
    const bool codecAllowed = !st.disableCodecPlugin;
    SaveNative(st, [&](Bitmap& image) {
      std::vector<uint8_t> bytes;
      TessivoStatus status = SaveToBytes(image, sFormat, nParameter, codecAllowed, bytes);
      if (status == OK) text = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      return status;
    });
    return text;
  });
}

}  // namespace tessivo
