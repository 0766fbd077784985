// The drawing surface of the cImaging draw methods: a Graphics on the native image (a
// document's current page), marked changed when the draw succeeded.
#pragma once
#include "core/boundary.h"
#include "pixel/native_image.h"
#include "pixel/pixel_changes.h"
#include "platform/graphics/graphics.h"

namespace tessivo {

// Opens a surface on the native image with the smoothing asked for, runs `body` on it and marks
// the image changed when the draw succeeded.
template <typename Body>
TessivoStatus WithSurface(ImagingState& state, bool antiAlias, Body&& body) {
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(state, failure);
    if (image == nullptr) return state.Set(failure);
    platform::Graphics g(*image);
    g.SetSmoothingMode(antiAlias ? platform::SmoothingMode::AntiAlias : platform::SmoothingMode::None);
    const auto s = static_cast<TessivoStatus>(body(g));
    if (s == OK) NotePixelsChanged(state.nativeImage);
    return state.Set(s);
  });
}

// Guards that run before the surface opens, so bad input draws nothing. The native-image check
// comes first, as for every method that needs one.
inline TessivoStatus RejectDraw(ImagingState& state, TessivoStatus status = InvalidParameter) {
  TessivoStatus failure = OK;
  if (NativeBitmap(state, failure) == nullptr) return state.Set(failure);
  return state.Set(status);
}

}  // namespace tessivo
