#include "pixel/apply_filter.h"

#include "core/image_registry.h"
#include "pixel/filter_registry.h"
#include "pixel/pixel_changes.h"

namespace tessivo {

FilterOutcome ApplyFilter(ImagingState& state, int32_t imageId, const FilterDescriptor& filter,
                          const FilterParams& params) {
  FilterOutcome out;
  if (imageId == 0) {
    out.status = GenericError;
    return out;
  }
  platform::Bitmap* image = ResolveImage(imageId);
  if (image == nullptr) {
    out.status = InvalidParameter;
    return out;
  }
  const ZoneRect zone = state.pixel.roi.Refresh(image->Width(), image->Height());
  out = RunFilter(*image, zone, filter, params);
  if (out.wrote) NotePixelsChanged(imageId);
  return out;
}

FilterOutcome ApplyFilter(ImagingState& state, int32_t imageId, int32_t code, const FilterParams& params) {
  const FilterDescriptor* filter = FindFilter(code);
  if (filter == nullptr) {
    FilterOutcome out;
    out.status = imageId == 0 ? GenericError : InvalidParameter;
    return out;
  }
  return ApplyFilter(state, imageId, *filter, params);
}

TessivoStatus ApplyNativeFilter(ImagingState& state, int32_t code, const FilterParams& params) {
  return state.Set(ApplyFilter(state, state.nativeImage, code, params).status);
}

}  // namespace tessivo
