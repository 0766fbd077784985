// Images to and from window-system handles: bitmaps, icons, windows, packed DIBs and picture
// objects. Images made from a handle own a copy of its pixels; handles handed out are the
// caller's to release with the matching Delete / Remove method.
#include <memory>

#include "core/boundary.h"
#include "core/image_handles.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/platform_result.h"
#include "platform/win/gdi_objects.h"
#include "platform/win/packed_dib.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace win = platform::win;
using platform::Bitmap;

namespace {

int32_t Loaded(ImagingState& st, platform::Status s, std::unique_ptr<Bitmap> image, ImageOrigin origin) {
  if (s != platform::Status::Ok || !image) return st.Set(s == platform::Status::Ok ? GenericError : StatusOf(s)), 0;
  int32_t id = 0;
  RegisterImage(id, std::move(image), "", "", origin);
  st.Set(OK);
  st.nativeImage = id;
  return id;
}

// A copy of a bitmap handle's pixels.
platform::Status FromGdiBitmap(win::Handle handle, std::unique_ptr<Bitmap>& out) {
  std::shared_ptr<win::GdiBitmap> bitmap = win::HandleTable::Instance().Get<win::GdiBitmap>(handle);
  if (!bitmap) return platform::Status::InvalidParameter;
  platform::Status s = bitmap->pixels->Clone(out);
  if (s == platform::Status::Ok) out->SetRawFormat(platform::RawFormat::MemoryBMP);
  return s;
}

// Handle 0 is no block at all; a handle naming no live block is one that cannot be locked.
platform::Status FromDib(win::Handle handle, std::unique_ptr<Bitmap>& out) {
  if (handle == 0) return platform::Status::InvalidParameter;
  std::shared_ptr<win::GlobalBlock> block = win::GlobalLock(handle);
  if (!block) return platform::Status::GenericError;
  platform::Status s = win::UnpackDib(block->bytes.data(), block->bytes.size(), out);
  win::GlobalUnlock(handle);
  return s;
}

platform::Status FromPicture(win::Handle handle, std::unique_ptr<Bitmap>& out) {
  std::shared_ptr<win::PictureObject> picture = win::HandleTable::Instance().Get<win::PictureObject>(handle);
  if (!picture) return platform::Status::InvalidParameter;
  if (picture->type == win::PictureBitmap) return FromGdiBitmap(picture->handle, out);
  if (picture->type == win::PictureIcon) return win::IconToBitmap(picture->handle, out);
  return platform::Status::InvalidParameter;
}

// The native image's bitmap (the current page of a document), or null.
std::shared_ptr<Bitmap> NativeBitmap(int32_t id) {
  ImageEntry* e = ImageRegistry::Current().Entry(ResolvePageID(id));
  return e ? e->image : nullptr;
}

int32_t PictureOf(ImagingState& st, int32_t id) {
  std::shared_ptr<Bitmap> image = NativeBitmap(id);
  if (!image) return st.Set(InvalidParameter), 0;
  win::Handle bitmap = 0, picture = 0;
  platform::Status s = win::CreateGdiBitmap(*image, bitmap);
  if (s == platform::Status::Ok) s = win::CreatePicture(win::PictureBitmap, bitmap, picture);
  if (s != platform::Status::Ok) {
    if (bitmap) win::DeleteGdiBitmap(bitmap);
    return st.Set(StatusOf(s)), 0;
  }
  st.Set(OK);
  return picture;
}

TessivoStatus Released(ImagingState& st, platform::Status s) { return st.Set(StatusOf(s)); }

}  // namespace

// --- Images from handles ------------------------------------------------------------------

int32_t cImaging::CreateImageFromHBitmap(int32_t hBitmap) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::unique_ptr<Bitmap> image;
    platform::Status s = FromGdiBitmap(hBitmap, image);
    return Loaded(st, s, std::move(image), OriginHBitmap);
  });
}

int32_t cImaging::CreateImageFromHICON(int32_t hIcon) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::unique_ptr<Bitmap> image;
    platform::Status s = win::IconToBitmap(hIcon, image);
    return Loaded(st, s, std::move(image), OriginHIcon);
  });
}

int32_t cImaging::CreateImageFromHwnd(int32_t hwnd) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::shared_ptr<Bitmap> surface = win::WindowSurface(hwnd);
    if (!surface) return st.Set(InvalidParameter), 0;
    std::unique_ptr<Bitmap> image;
    platform::Status s = surface->Clone(image);
    if (s == platform::Status::Ok) image->SetRawFormat(platform::RawFormat::MemoryBMP);
    return Loaded(st, s, std::move(image), OriginHBitmap);
  });
}

int32_t cImaging::CreateImageFromDIB(int32_t hDib) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::unique_ptr<Bitmap> image;
    platform::Status s = FromDib(hDib, image);
    return Loaded(st, s, std::move(image), OriginMemory);
  });
}

int32_t cImaging::CreateImageFromPicture(int32_t oPicture) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::unique_ptr<Bitmap> image;
    platform::Status s = FromPicture(oPicture, image);
    return Loaded(st, s, std::move(image), OriginHBitmap);
  });
}

// --- Handles out ----------------------------------------------------------------------------

int32_t cImaging::GetHBitmap() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::shared_ptr<Bitmap> image = NativeBitmap(st.nativeImage);
    if (!image) return st.Set(InvalidParameter), 0;
    win::Handle h = 0;
    st.Set(StatusOf(win::CreateGdiBitmap(*image, h)));
    return h;
  });
}

int32_t cImaging::GetPicture() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] { return PictureOf(st, st.nativeImage); });
}

int32_t cImaging::GetPictureFromTessivoImage(int32_t nImageID) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] { return PictureOf(st, nImageID); });
}

int32_t cImaging::GetDib() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::shared_ptr<Bitmap> image = NativeBitmap(st.nativeImage);
    if (!image) return st.Set(InvalidParameter), 0;
    std::vector<uint8_t> dib;
    platform::Status s = win::PackDib(*image, dib);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s)), 0;
    win::Handle h = win::GlobalAllocCopy(dib.data(), dib.size());
    st.Set(h ? OK : OutOfMemory);
    return h;
  });
}

intptr_t cImaging::GetGdiplusImage() {
  ImagingState& st = *state_;
  return Guarded(st, intptr_t{0}, [&]() -> intptr_t {
    std::shared_ptr<Bitmap> image = NativeBitmap(st.nativeImage);
    if (!image) return st.Set(InvalidParameter), 0;
    st.Set(OK);
    return IssueImageHandle(image);
  });
}

int32_t cImaging::GetHICON() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    std::shared_ptr<Bitmap> image = NativeBitmap(st.nativeImage);
    if (!image) return st.Set(InvalidParameter), 0;
    win::Handle h = 0;
    st.Set(StatusOf(win::CreateIcon(*image, h)));
    return h;
  });
}

int32_t cImaging::GetDesktopHwnd() { return win::DesktopWindow(); }

TessivoStatus cImaging::DeleteHBitmap(int32_t hBitmap) {
  return Released(*state_, win::DeleteGdiBitmap(hBitmap));
}

TessivoStatus cImaging::DeleteHICON(int32_t hIcon) { return Released(*state_, win::DestroyIcon(hIcon)); }

TessivoStatus cImaging::DeletePictureObject(int32_t oPicture) {
  return Released(*state_, win::DeletePicture(oPicture));
}

TessivoStatus cImaging::RemoveDib(int32_t hDib) { return Released(*state_, win::GlobalFree(hDib)); }

TessivoStatus cImaging::SupportFunc(int32_t, double&, double&, double&, int32_t&, int32_t&, int32_t&,
                                    std::string&, std::string&, std::string&) {
  return state_->Set(NotImplemented);
}

}  // namespace tessivo
