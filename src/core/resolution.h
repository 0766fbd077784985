// Setting an image's resolution together with its EXIF resolution tags.
#pragma once
#include <cstdint>

#include "tessivo/status.h"

namespace tessivo {

// The smallest k >= 0 for which x * 10^k, rounded to a float, is whole; -1 when there is none
// below 10 (so the value has no exact 32-bit rational).
int32_t DecimalPlaces(float x);

// Writes XResolution / YResolution (tags 282 / 283) as RATIONAL values (numerator
// round(10^k x), denominator 10^k; values without such a rational are not written) and sets the
// bitmap's resolution, whose status is the result. Unknown id: InvalidParameter.
TessivoStatus SetResolution(int32_t id, float horizontal, float vertical);

}  // namespace tessivo
