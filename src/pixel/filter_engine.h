// The filter engine: copies a zone of an image into a 32-bit ARGB working buffer, runs one
// routine over it and writes the result back in a way that suits the image's pixel format.
// Routines of limited reach on 24- and 32-bit images run band by band instead, so that the
// working buffers hold a few rows rather than a 32-bit copy of the whole zone, and lookup-table
// adjustments on those images map the rows where they lie, with no working buffer at all.
//
// The engine's buffers are per thread and reused from call to call; the engine is not
// re-entrant (a routine must not run another filter).
#pragma once
#include <cstdint>

#include "pixel/filter_job.h"
#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

struct ZoneRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct FilterOutcome {
  TessivoStatus status = OK;
  double value = 0;    // the analyses' result
  bool wrote = false;  // pixels or palette of the image were written
};

// Runs `filter` on `zone` of `image`. An empty zone is OK and changes nothing; a zone outside
// the image is InvalidParameter; a routine failure (GenericError) or any run-time failure
// (OutOfMemory, GenericError) leaves the image as it was.
FilterOutcome RunFilter(platform::Bitmap& image, const ZoneRect& zone,
                        const FilterDescriptor& filter, const FilterParams& params);

}  // namespace tessivo
