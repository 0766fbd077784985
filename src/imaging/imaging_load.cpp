// Loading methods of cImaging: files, bytes, strings, streams, raw pixels and platform images
// become registered images, and the new image becomes the native image.
#include <cstring>
#include <vector>

#include "core/ansi.h"
#include "core/boundary.h"
#include "core/image_handles.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "core/platform_result.h"
#include "core/stream_handles.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

LoadOptions FileOptions(const ImagingState& st, bool icm) {
  LoadOptions o;
  o.icm = icm;
  o.codecDisabled = st.disableCodecPlugin;
  o.tiffReadOnly = st.tiffOpenReadOnly;
  o.gifReadOnly = st.gifOpenReadOnly;
  o.allowDialog = true;
  return o;
}

// Stores the outcome and, on OK, makes the new image native.
int32_t Finish(ImagingState& st, TessivoStatus status, int32_t id) {
  st.Set(status);
  if (status != OK) return 0;
  st.nativeImage = id;
  return id;
}

int32_t LoadFile(ImagingState& st, const std::string& path, bool icm) {
  return Guarded(st, 0, [&] {
    int32_t id = 0;
    TessivoStatus status = LoadImageFile(path, FileOptions(st, icm), id);
    return Finish(st, status, id);
  });
}

int32_t LoadBytes(ImagingState& st, const uint8_t* data, size_t size, bool icm) {
  int32_t id = 0;
  LoadOptions options = FileOptions(st, icm);
  TessivoStatus status = LoadImageBytes(data, size, options, id);
  return Finish(st, status, id);
}

int32_t LoadString(ImagingState& st, const std::string& text, bool icm) {
  return Guarded(st, 0, [&] {
    if (text.empty()) return Finish(st, GenericError, 0);
    const std::string bytes = Utf8ToAnsi(text);
    if (bytes.size() < 2) return Finish(st, ProfileNotFound, 0);
    return LoadBytes(st, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), icm);
  });
}

int32_t LoadStream(ImagingState& st, int32_t handle, bool icm) {
  return Guarded(st, 0, [&] {
    std::shared_ptr<platform::Stream> stream = LookupStreamHandle(handle);
    if (!stream) return Finish(st, InvalidParameter, 0);
    int32_t id = 0;
    TessivoStatus status = LoadImageStream(*stream, icm, FileOptions(st, icm), id);
    return Finish(st, status, id);
  });
}

}  // namespace

int32_t cImaging::CreateImageFromFile(const std::string& sFilePath) {
  return LoadFile(*state_, sFilePath, false);
}

int32_t cImaging::CreateImageFromFileICM(const std::string& sFilePath) {
  return LoadFile(*state_, sFilePath, true);
}

int32_t cImaging::CreateImageFromByteArray(const SafeArray<uint8_t>& arBytes) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] { return LoadBytes(st, arBytes.data(), arBytes.size(), false); });
}

int32_t cImaging::CreateImageFromByteArrayICM(const SafeArray<uint8_t>& arBytes) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] { return LoadBytes(st, arBytes.data(), arBytes.size(), true); });
}

int32_t cImaging::CreateImageFromMemory(intptr_t nAddress, int32_t nLength) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    if (nLength < 1 || nAddress == 0) return Finish(st, InvalidParameter, 0);
    // Copied first, as the caller's block may change or go once the call returns.
    std::vector<uint8_t> bytes(static_cast<size_t>(nLength));
    std::memcpy(bytes.data(), reinterpret_cast<const void*>(nAddress), bytes.size());
    return LoadBytes(st, bytes.data(), bytes.size(), false);
  });
}

int32_t cImaging::CreateImageFromString(const std::string& sData) {
  return LoadString(*state_, sData, false);
}

int32_t cImaging::CreateImageFromStringICM(const std::string& sData) {
  return LoadString(*state_, sData, true);
}

int32_t cImaging::CreateImageFromStream(int32_t oStream) {
  return LoadStream(*state_, oStream, false);
}

int32_t cImaging::CreateImageFromStreamICM(int32_t oStream) {
  return LoadStream(*state_, oStream, true);
}

int32_t cImaging::CreateImageFromRawBits(int32_t nWidth, int32_t nHeight, int32_t nStride,
                                         PixelFormats nPixelFormat, intptr_t nBits) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    if (nBits == 0) return Finish(st, InvalidParameter, 0);
    std::unique_ptr<platform::Bitmap> image;
    TessivoStatus status = StatusOf(platform::Bitmap::CreateOver(
        nWidth, nHeight, nStride, nPixelFormat, reinterpret_cast<void*>(nBits), image));
    if (status != OK) return Finish(st, status, 0);
    int32_t id = 0;
    RegisterImage(id, std::move(image), "", "", OriginThumbnail);
    return Finish(st, OK, id);
  });
}

int32_t cImaging::CreateImageFromGdiPlusImage(intptr_t hImage) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::shared_ptr<platform::Bitmap> image = LookupImageHandle(hImage);
    if (hImage == 0 || !image) return Finish(st, InvalidParameter, 0);
    image->ForceValidation();
    int32_t id = 0;
    RegisterImage(id, std::move(image), "", "", OriginMemory);
    return Finish(st, OK, id);
  });
}

}  // namespace tessivo
