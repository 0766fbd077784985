// Filters driven by the pseudo-random source: additive noise and pixel diffusion. Both work in
// place, so diffusion may pick up a pixel that was itself already moved.
#include "pixel/filter_routines.h"
#include "pixel/random_source.h"
#include "pixel/rounding.h"

namespace tessivo {

TessivoStatus AddNoiseRoutine(FilterJob& job) {
  const int32_t n = RoundToInt32(job.params.p);
  const double spread = 2.0 * n + 1.0;
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    // One draw per channel, in the order red, green, blue.
    const int red = ClampByte(RoundToInt32(Red(v) + (spread * NextUniform() - n)));
    const int green = ClampByte(RoundToInt32(Green(v) + (spread * NextUniform() - n)));
    const int blue = ClampByte(RoundToInt32(Blue(v) + (spread * NextUniform() - n)));
    job.pixels[i] = WithRGB(v, red, green, blue);
  }
  return OK;
}

TessivoStatus DiffuseRoutine(FilterJob& job) {
  int32_t n = RoundToInt32(job.params.p);
  if (n <= 0) n = 6;
  const double half = RoundHalfEven(n / 2.0);
  const int W = job.width, H = job.height;
  for (int y = 1; y <= H; ++y) {
    for (int x = 1; x <= W; ++x) {
      int dx = RoundToInt32(NextUniform() * n - half);
      int dy = RoundToInt32(NextUniform() * n - half);
      // A displacement that leaves the zone is dropped on that axis only.
      if (x + dx < 1 || x + dx > W) dx = 0;
      if (y + dy < 1 || y + dy > H) dy = 0;
      uint32_t& px = job.At(x, y);
      px = (px & 0xFF000000u) | (job.At(x + dx, y + dy) & kRGBMask);
    }
  }
  return OK;
}

}  // namespace tessivo
