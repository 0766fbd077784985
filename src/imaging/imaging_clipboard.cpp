// The in-process clipboard: the native image (or an area of it) goes on as a bitmap, and an
// image comes back from whichever image format the clipboard offers.
#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/platform_result.h"
#include "platform/win/clipboard.h"
#include "platform/win/packed_dib.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace win = platform::win;
using platform::Bitmap;

TessivoStatus cImaging::CopyToClipboard() {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const Bitmap* image = ResolveImage(st.nativeImage);
    if (!image) return st.Set(GenericError);
    win::EmptyClipboard();
    return st.Set(StatusOf(win::SetClipboardImage(*image)));
  });
}

TessivoStatus cImaging::CopyRegionToClipboard(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const Bitmap* image = ResolveImage(st.nativeImage);
    if (!image) return st.Set(GenericError);
    std::unique_ptr<Bitmap> area;
    platform::Status s = image->CloneArea(platform::Rect{nLeft, nTop, nWidth, nHeight}, image->Format(), area);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s));
    win::EmptyClipboard();
    return st.Set(StatusOf(win::SetClipboardImage(*area)));
  });
}

TessivoStatus cImaging::DeleteClipboardData() {
  win::EmptyClipboard();
  return OK;
}

int32_t cImaging::CreateImageFromClipboard() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    std::unique_ptr<Bitmap> image;
    platform::Status s = platform::Status::GenericError;
    if (win::IsClipboardFormatAvailable(win::kClipboardDib)) {
      std::vector<uint8_t> dib;
      s = win::GetClipboardDib(dib);
      if (s == platform::Status::Ok) s = win::UnpackDib(dib.data(), dib.size(), image);
    } else if (win::IsClipboardFormatAvailable(win::kClipboardBitmap)) {
      s = win::GetClipboardBitmap(image);
    }
    if (s != platform::Status::Ok) return st.Set(s == platform::Status::GenericError ? GenericError : StatusOf(s)), 0;
    int32_t id = 0;
    RegisterImage(id, std::move(image), "", "", OriginHBitmap);
    st.Set(OK);
    st.nativeImage = id;
    return id;
  });
}

}  // namespace tessivo
