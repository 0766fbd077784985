// cImaging: pixel arrays, single pixels, row layout and the region of interest.
#include <type_traits>

#include "core/boundary.h"
#include "pixel/native_image.h"
#include "pixel/pixel_access.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

template <typename Array>
TessivoStatus CopyOut(ImagingState& state, Array& array, PixelArrayLayout layout, const PixelRect& rect) {
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) return state.Set(failure);
    if (layout == PixelArrayLayout::Indices8bpp && platform::BitsPerPixel(image->Format()) != 8)
      return state.Set(UnsupportedPixelFormat);
    return state.Set(CopyPixelsOut(*image, array, layout, rect));
  });
}

template <typename Array>
TessivoStatus CopyIn(ImagingState& state, const Array& array, PixelArrayLayout layout, const PixelRect& rect) {
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) return state.Set(failure);
    if (layout == PixelArrayLayout::Indices8bpp && platform::BitsPerPixel(image->Format()) != 8)
      return state.Set(UnsupportedPixelFormat);
    TessivoStatus s;
    if constexpr (std::is_same_v<Array, SafeArray<int32_t>>)
      s = CopyPixelsIn(*image, array, rect);
    else
      s = CopyPixelsIn(*image, array, layout, rect);
    if (s == OK) NotePixelsChanged(state.nativeImage);
    return state.Set(s);
  });
}

}  // namespace

TessivoStatus cImaging::GetPixelArray1D(SafeArray<int32_t>& arPixels, int32_t nSrcLeft, int32_t nSrcTop,
                                        int32_t nWidth, int32_t nHeight) {
  return CopyOut(State(), arPixels, PixelArrayLayout::Pixels1D, {nSrcLeft, nSrcTop, nWidth, nHeight});
}

TessivoStatus cImaging::GetPixelArray2D(SafeArray<int32_t>& arPixels, int32_t nSrcLeft, int32_t nSrcTop,
                                        int32_t nWidth, int32_t nHeight) {
  return CopyOut(State(), arPixels, PixelArrayLayout::Pixels2D, {nSrcLeft, nSrcTop, nWidth, nHeight});
}

TessivoStatus cImaging::GetPixelArrayARGB(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                          int32_t nWidth, int32_t nHeight) {
  return CopyOut(State(), arBytes, PixelArrayLayout::ChannelsXY, {nSrcLeft, nSrcTop, nWidth, nHeight});
}

TessivoStatus cImaging::GetPixelArrayBytesARGB(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                               int32_t nWidth, int32_t nHeight) {
  return CopyOut(State(), arBytes, PixelArrayLayout::BytesARGB, {nSrcLeft, nSrcTop, nWidth, nHeight});
}

TessivoStatus cImaging::GetPixelArrayBytesRGB(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                              int32_t nWidth, int32_t nHeight) {
  return CopyOut(State(), arBytes, PixelArrayLayout::BytesRGB, {nSrcLeft, nSrcTop, nWidth, nHeight});
}

TessivoStatus cImaging::GetPixelArray8bpp1D(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                            int32_t nWidth, int32_t nHeight) {
  return CopyOut(State(), arBytes, PixelArrayLayout::Indices8bpp, {nSrcLeft, nSrcTop, nWidth, nHeight});
}

TessivoStatus cImaging::SetPixelArray(SafeArray<int32_t>& arPixels, int32_t nDstLeft, int32_t nDstTop,
                                      int32_t nWidth, int32_t nHeight) {
  return CopyIn(State(), arPixels, PixelArrayLayout::Pixels1D, {nDstLeft, nDstTop, nWidth, nHeight});
}

TessivoStatus cImaging::SetPixelArrayARGB(SafeArray<uint8_t>& arBytes, int32_t nDstLeft, int32_t nDstTop,
                                          int32_t nWidth, int32_t nHeight) {
  return CopyIn(State(), arBytes, PixelArrayLayout::ChannelsXY, {nDstLeft, nDstTop, nWidth, nHeight});
}

TessivoStatus cImaging::SetPixelArrayBytesARGB(SafeArray<uint8_t>& arBytes, int32_t nDstLeft,
                                               int32_t nDstTop, int32_t nWidth, int32_t nHeight) {
  return CopyIn(State(), arBytes, PixelArrayLayout::BytesARGB, {nDstLeft, nDstTop, nWidth, nHeight});
}

TessivoStatus cImaging::SetPixelArrayBytesRGB(SafeArray<uint8_t>& arBytes, int32_t nDstLeft,
                                              int32_t nDstTop, int32_t nWidth, int32_t nHeight) {
  return CopyIn(State(), arBytes, PixelArrayLayout::BytesRGB, {nDstLeft, nDstTop, nWidth, nHeight});
}

TessivoStatus cImaging::SetPixelArray8bpp1D(SafeArray<uint8_t>& arBytes, int32_t nDstLeft,
                                            int32_t nDstTop, int32_t nWidth, int32_t nHeight) {
  return CopyIn(State(), arBytes, PixelArrayLayout::Indices8bpp, {nDstLeft, nDstTop, nWidth, nHeight});
}

int32_t cImaging::PixelGetColor(int32_t nSrcLeft, int32_t nSrcTop) {
  ImagingState& state = State();
  return Guarded(state, int32_t{0}, [&]() -> int32_t {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) {
      state.Set(failure);
      return 0;
    }
    uint32_t argb = 0;
    const TessivoStatus s = static_cast<TessivoStatus>(image->GetPixel(nSrcLeft, nSrcTop, argb));
    state.Set(s);
    return s == OK ? static_cast<int32_t>(argb) : 0;
  });
}

TessivoStatus cImaging::PixelSetColor(int32_t nDstLeft, int32_t nDstTop, int32_t nARGBColor) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) return state.Set(failure);
    const TessivoStatus s =
        static_cast<TessivoStatus>(image->SetPixel(nDstLeft, nDstTop, static_cast<uint32_t>(nARGBColor)));
    if (s == OK) NotePixelsChanged(state.nativeImage);
    return state.Set(s);
  });
}

int32_t cImaging::GetImageStride() {
  ImagingState& state = State();
  return Guarded(state, int32_t{0}, [&]() -> int32_t {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) {
      state.Set(failure);
      return 0;
    }
    int32_t stride = 0;
    intptr_t firstRow = 0;
    return state.Set(ImageRowLayout(*image, stride, firstRow)) == OK ? stride : 0;
  });
}

intptr_t cImaging::GetImageBits() {
  ImagingState& state = State();
  return Guarded(state, intptr_t{0}, [&]() -> intptr_t {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) {
      state.Set(failure);
      return 0;
    }
    int32_t stride = 0;
    intptr_t firstRow = 0;
    return state.Set(ImageRowLayout(*image, stride, firstRow)) == OK ? firstRow : 0;
  });
}

TessivoStatus cImaging::SetROI(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight) {
  State().pixel.roi.Set(nLeft, nTop, nWidth, nHeight);
  return State().lastStatus;
}

TessivoStatus cImaging::FiltersToZone(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight) {
  return SetROI(nLeft, nTop, nWidth, nHeight);
}

TessivoStatus cImaging::ResetROI() {
  State().pixel.roi.Reset();
  return State().lastStatus;
}

TessivoStatus cImaging::FiltersToImage() { return ResetROI(); }

}  // namespace tessivo
