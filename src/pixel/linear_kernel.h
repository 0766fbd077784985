// The in-place 3x3 linear rule shared by sharpen, edge enhance, blur, smooth and soften:
// per channel c' = clamp((a*c + b*S) div d) over the interior of the zone, S the sum of the
// eight (or four edge) neighbours as the buffer holds them when the pixel is reached, division
// truncating toward zero.
#pragma once
#include <cstdint>

#include "pixel/filter_job.h"

namespace tessivo {

struct LinearRule {
  int64_t a = 0;  // weight of the centre
  int64_t b = 0;  // weight of each neighbour
  int64_t d = 1;  // divisor
  bool eightNeighbours = true;
};

// GenericError without touching a pixel when d is 0; GenericError when an intermediate value
// leaves the 32-bit range (the pixels are then partly written: the engine discards them).
TessivoStatus InPlaceLinear3x3(FilterJob& job, const LinearRule& rule);

}  // namespace tessivo
