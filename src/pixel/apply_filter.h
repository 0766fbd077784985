// The filter engine as the rest of the toolkit calls it: a routine by code, run on an image
// over the instance's region of interest.
#pragma once
#include <cstdint>

#include "core/imaging_state.h"
#include "pixel/filter_engine.h"
#include "pixel/filter_job.h"

namespace tessivo {

// Resolves `imageId` (the current page of a document), refreshes the region of interest of
// `state` for it and runs filter `code`. Image 0: GenericError; an unknown image or code:
// InvalidParameter. The status is returned, not stored in `state`; a successful write marks
// the image's pixels changed in the registry.
FilterOutcome ApplyFilter(ImagingState& state, int32_t imageId, int32_t code,
                          const FilterParams& params = {});
FilterOutcome ApplyFilter(ImagingState& state, int32_t imageId, const FilterDescriptor& filter,
                          const FilterParams& params = {});

// The same on the native image of `state`, storing the status as the last status.
TessivoStatus ApplyNativeFilter(ImagingState& state, int32_t code, const FilterParams& params = {});

}  // namespace tessivo
