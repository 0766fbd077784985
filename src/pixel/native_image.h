// The bitmap a pixel operation of cImaging acts on: the native image (the current page of a
// document). No native image is GenericError; an ID the registry does not know (or an empty
// document) is InvalidParameter.
#pragma once
#include "core/image_registry.h"
#include "core/imaging_state.h"

namespace tessivo {

inline platform::Bitmap* NativeBitmap(const ImagingState& state, TessivoStatus& failure) {
  if (state.nativeImage == 0) {
    failure = GenericError;
    return nullptr;
  }
  platform::Bitmap* image = ResolveImage(state.nativeImage);
  if (image == nullptr) failure = InvalidParameter;
  return image;
}

}  // namespace tessivo
