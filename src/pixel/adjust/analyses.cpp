// The pixel analyses as read-only routines of the filter engine: the engine never writes their
// working buffer back, so an analysis cannot change a byte of the image (16-bit channels and
// duplicate palette entries included).
#include <cstdint>

#include "pixel/adjust/adjust_codes.h"
#include "pixel/adjust/integer_rounding.h"
#include "pixel/filter_registry.h"

namespace tessivo {
namespace {

size_t PixelCount(const FilterJob& job) {
  return static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
}

TessivoStatus GrayscaleTestRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  job.result = 1.0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    if (Red(v) != Green(v) || Green(v) != Blue(v)) {
      job.result = 0.0;
      break;
    }
  }
  return OK;
}

TessivoStatus BitonalTestRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  job.result = 1.0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int sum = Red(v) + Green(v) + Blue(v);
    if (sum != 0 && sum < 765) {
      job.result = 0.0;
      break;
    }
  }
  return OK;
}

// The answer is the lightness in tenths of a percent, 1000 - dark * 1000 / count rounded half to
// even, computed exactly; p = 1 marks a 1-bpp image (dark: blue byte 0).
TessivoStatus BlankLightnessRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  if (count == 0) {
    job.result = 1000;
    return OK;
  }
  const bool bitonal = job.params.p == 1;
  uint64_t dark = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    if (bitonal ? Blue(v) == 0 : 0.114 * Blue(v) + 0.299 * Red(v) + 0.587 * Green(v) < 140) ++dark;
  }
  const int64_t n = static_cast<int64_t>(count);
  job.result = static_cast<double>(DivRoundHalfEven((n - static_cast<int64_t>(dark)) * 1000, n));
  return OK;
}

TessivoStatus CountColorRoutine(FilterJob& job) {
  const uint32_t colour = static_cast<uint32_t>(static_cast<int64_t>(job.params.p));
  const size_t count = PixelCount(job);
  uint64_t n = 0;
  for (size_t i = 0; i < count; ++i) n += job.pixels[i] == colour;
  job.result = static_cast<double>(n);
  return OK;
}

// The average colour as an ARGB value, each channel's 64-bit sum divided by the pixel count,
// rounded half to even.
TessivoStatus AverageColorRoutine(FilterJob& job) {
  const size_t count = PixelCount(job);
  if (count == 0) return OK;
  uint64_t sums[4] = {0, 0, 0, 0};
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    sums[0] += v & 0xFF;
    sums[1] += (v >> 8) & 0xFF;
    sums[2] += (v >> 16) & 0xFF;
    sums[3] += v >> 24;
  }
  uint32_t argb = 0;
  for (int k = 0; k < 4; ++k)
    argb |= static_cast<uint32_t>(DivRoundHalfEven(static_cast<int64_t>(sums[k]), static_cast<int64_t>(count)))
            << (8 * k);
  job.result = static_cast<double>(static_cast<int32_t>(argb));
  return OK;
}

// Code, routine, reads a source copy, analysis only, maps colour palettes.
const FilterRegistration kRegistrations[] = {
    FilterRegistration({kAnalyseGrayscale, GrayscaleTestRoutine, false, true, false}),
    FilterRegistration({kAnalyseBitonal, BitonalTestRoutine, false, true, false}),
    FilterRegistration({kAnalyseBlank, BlankLightnessRoutine, false, true, false}),
    FilterRegistration({kAnalyseCountColor, CountColorRoutine, false, true, false}),
    FilterRegistration({kAnalyseAverageColor, AverageColorRoutine, false, true, false}),
};

}  // namespace
}  // namespace tessivo
