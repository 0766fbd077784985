// Registry, status and lifecycle methods of cImaging: the native image, closing, cloning,
// blank images and the version queries.
#include <cstring>
#include <memory>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/platform_result.h"
#include "core/platform_session.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace tessivo {

namespace {

using platform::Bitmap;
using platform::BitmapData;
using platform::PixelFormat;

constexpr uint32_t kOpaqueBlack = 0xFF000000u;

PixelFormat FormatForBitDepth(int16_t bitDepth) {
  switch (bitDepth) {
    case 1: return platform::kPixelFormat1bppIndexed;
    case 4: return platform::kPixelFormat4bppIndexed;
    case 8: return platform::kPixelFormat8bppIndexed;
    case 16: return platform::kPixelFormat16bppRGB555;
    case 24: return platform::kPixelFormat24bppRGB;
    case 32: return platform::kPixelFormat32bppARGB;
    case 48: return platform::kPixelFormat48bppRGB;
    case 64: return platform::kPixelFormat64bppARGB;
    default: return platform::kPixelFormatUndefined;
  }
}

// Fills the whole bitmap with one ARGB colour, written as 32-bit pixels and converted to the
// bitmap's own format on the way back (indexed formats take the nearest palette entry).
platform::Status FillWithColor(Bitmap& image, uint32_t argb) {
  BitmapData data;
  platform::Status s =
      image.LockBits(nullptr, platform::ImageLockModeWrite, platform::kPixelFormat32bppARGB, data);
  if (s != platform::Status::Ok) return s;
  for (uint32_t y = 0; y < data.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.scan0) +
                                            static_cast<intptr_t>(y) * data.stride);
    for (uint32_t x = 0; x < data.width; ++x) row[x] = argb;
  }
  return image.UnlockBits(data);
}

// A deep copy of `source` in `format`, over a pixel buffer allocated for it and registered with
// origin OriginOwnedBuffer; the palette (indexed formats), resolution and property items follow.
int32_t RegisterDeepCopy(ImagingState& state, const Bitmap& source, PixelFormat format) {
  int32_t stride = platform::StrideFor(format, source.Width());
  if (stride <= 0) return state.Set(InvalidParameter), 0;
  int64_t bytes = static_cast<int64_t>(stride) * source.Height();
  if (bytes > platform::kMaxPixelBytes) return state.Set(OutOfMemory), 0;
  auto pixels = std::make_unique<uint8_t[]>(static_cast<size_t>(bytes));

  std::unique_ptr<Bitmap> copy;
  platform::Status s =
      Bitmap::CreateOver(source.Width(), source.Height(), stride, format, pixels.get(), copy);
  if (s == platform::Status::Ok && platform::IsIndexed(format) && format == source.Format())
    s = copy->SetPalette(source.GetPalette());
  if (s == platform::Status::Ok) {
    // Read the source straight into the new buffer, converting on the way when asked to.
    BitmapData data;
    data.stride = stride;
    data.scan0 = pixels.get();
    s = const_cast<Bitmap&>(source).LockBits(
        nullptr, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf, format, data);
    if (s == platform::Status::Ok) s = const_cast<Bitmap&>(source).UnlockBits(data);
  }
  if (s == platform::Status::Ok) s = copy->SetResolution(source.HorizontalResolution(),
                                                        source.VerticalResolution());
  if (s != platform::Status::Ok) return state.Set(StatusOf(s)), 0;
  for (const platform::PropertyItem& item : source.Properties()) copy->SetProperty(item);
  copy->SetRawFormat(source.GetRawFormat());

  int32_t id = 0;
  ImageRegistry& registry = ImageRegistry::Current();
  int32_t slot = registry.Register(id, std::move(copy), "", "", OriginOwnedBuffer);
  registry.Slot(slot).ownedPixels = std::move(pixels);
  state.Set(OK);
  return id;
}

}  // namespace

void cImaging::SetNativeImage(int32_t nImageID) { state_->nativeImage = nImageID; }

int32_t cImaging::GetNativeImage() { return state_->nativeImage; }

TessivoStatus cImaging::CloseImage(int32_t nImageID) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (nImageID == 0) return st.Set(InvalidParameter);
    if (nImageID == st.nativeMultiPageTiffTarget) return st.Set(Aborted);
    TessivoStatus s = ReleaseImageEntry(nImageID);
    if (s == OK && nImageID == st.nativeImage) st.nativeImage = 0;
    return st.Set(s);
  });
}

TessivoStatus cImaging::CloseNativeImage() {
  ImagingState& st = *state_;
  if (st.nativeImage == 0) return st.lastStatus;
  if (st.nativeImage == st.nativeMultiPageTiffTarget) return st.Set(Aborted);
  return CloseImage(st.nativeImage);
}

void cImaging::RemoveAllImage() {
  try {
    ReleaseAllImages();
    state_->nativeMultiPageTiffTarget = 0;  // released (and so completed) with the others
  } catch (...) {
    // Leaves the status as it was, like every pure lifecycle call.
  }
}

int32_t cImaging::CreateClonedImage(int32_t nImageID) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    CaptureTags(st.capturedTags, st.preserveTags, nImageID);
    Bitmap* source = ResolveImage(nImageID);
    if (!source) return st.Set(InvalidParameter), 0;
    std::unique_ptr<Bitmap> clone;
    platform::Status s = source->Clone(clone);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s)), 0;
    int32_t id = 0;
    RegisterImage(id, std::move(clone), "", "", OriginMemory);
    RestoreTags(st.capturedTags, st.preserveTags, id, false);
    st.Set(OK);
    return id;
  });
}

int32_t cImaging::CreateClonedImageI(int32_t nImageID) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    Bitmap* source = ResolveImage(nImageID);
    if (!source) return st.Set(InvalidParameter), 0;
    return RegisterDeepCopy(st, *source, source->Format());
  });
}

int32_t cImaging::CreateClonedImageARGB(int32_t nImageID) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    Bitmap* source = ResolveImage(nImageID);
    if (!source) return st.Set(InvalidParameter), 0;
    return RegisterDeepCopy(st, *source, platform::kPixelFormat32bppARGB);
  });
}

int32_t cImaging::CreateClonedImageArea(int32_t nImageID, int32_t nLeft, int32_t nTop,
                                        int32_t nWidth, int32_t nHeight) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    if (nImageID == 0) return st.Set(GenericError), 0;
    Bitmap* source = ResolveImage(nImageID);
    if (!source) return st.Set(InvalidParameter), 0;
    std::unique_ptr<Bitmap> area;
    platform::Status s =
        source->CloneArea(platform::Rect{nLeft, nTop, nWidth, nHeight}, source->Format(), area);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s)), 0;
    int32_t id = 0;
    RegisterImage(id, std::move(area), "", "", OriginMemory);
    st.Set(OK);
    return id;
  });
}

int32_t cImaging::CreateNewImage(int32_t nWidth, int32_t nHeight, int16_t nBitDepth,
                                 int32_t nBackColor) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    PixelFormat format = FormatForBitDepth(nBitDepth);
    if (format == platform::kPixelFormatUndefined) return st.Set(InvalidParameter), 0;
    std::unique_ptr<Bitmap> image;
    platform::Status s = Bitmap::Create(nWidth, nHeight, format, image);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s)), 0;
    Bitmap& pixels = *image;
    int32_t id = 0;
    RegisterImage(id, std::move(image), "", "", OriginThumbnail);
    st.nativeImage = id;
    auto color = static_cast<uint32_t>(nBackColor);
    // A new image asked to be opaque black is left as created below 32 bits per pixel.
    if (color != kOpaqueBlack || nBitDepth >= 32) s = FillWithColor(pixels, color);
    st.Set(StatusOf(s));
    return id;
  });
}

TessivoStatus cImaging::GetStat() { return state_->lastStatus; }

double cImaging::GetVersion() { return 5.9901307; }

std::string cImaging::GetGdiplusVersion() { return PlatformSession::Current().platformVersion; }

std::string cImaging::GetImageFormat() {
  const ImageEntry* e = ImageRegistry::Current().Entry(state_->nativeImage);
  return e ? e->formatName : std::string();
}

TessivoStatus cImaging::ForceImageValidation(int32_t nImageID) {
  if (FindImage(nImageID) < 0) return InvalidParameter;
  Bitmap* image = ResolveImage(nImageID);
  return image ? StatusOf(image->ForceValidation()) : InvalidParameter;
}

void cImaging::TagsSetPreserve(bool bPreserve) { state_->preserveTags = bPreserve; }

void cImaging::DisableTvimgplugCodecs(bool bDisable) { state_->disableCodecPlugin = bDisable; }

}  // namespace tessivo
