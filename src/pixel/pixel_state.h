// Per-instance state of the pixel family: the region of interest and the list of 3x3 patterns
// made by MatrixCreate3x3x (numbered from 1).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "pixel/region_of_interest.h"

namespace tessivo {

using Pattern3x3 = std::array<uint32_t, 9>;

struct PixelState {
  RegionOfInterest roi;
  std::vector<Pattern3x3> matrices;
};

}  // namespace tessivo
