// Point filters: each pixel's new value depends on that pixel alone. Channels that map through
// a fixed function go through tables built once per call.
#include <array>
#include <cmath>
#include <cstdlib>

#include "pixel/filter_routines.h"
#include "pixel/hsl.h"
#include "pixel/rounding.h"

namespace tessivo {

TessivoStatus NegativeRoutine(FilterJob& job) {
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) job.pixels[i] ^= kRGBMask;  // 255 - c on each colour byte
  return OK;
}

TessivoStatus GrayscaleRoutine(FilterJob& job) {
  // Grey of every channel sum 0..765: sum / 3 rounded half to even.
  std::array<uint8_t, 766> grey;
  for (int s = 0; s <= 765; ++s) grey[s] = static_cast<uint8_t>(RoundHalfEven(s / 3.0));
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const uint32_t g = grey[Red(v) + Green(v) + Blue(v)];
    job.pixels[i] = (v & 0xFF000000u) | g * 0x010101u;
  }
  return OK;
}

TessivoStatus ColorizeRoutine(FilterJob& job) {
  // The colour depends only on red + green + blue, so the 766 possible colours are made first.
  // An HSL overflow (a lightness scale above 1, a hue far outside [-1, 5]) fails the routine.
  std::array<uint32_t, 766> colour;
  for (int s = 0; s <= 765; ++s) {
    const float lightness = static_cast<float>(s / 765.0 * job.params.f3);
    RGBBytes rgb;
    try {
      rgb = HSLToRGB(job.params.f1, job.params.f2, lightness);
    } catch (const std::overflow_error&) {
      return GenericError;
    }
    colour[s] = WithRGB(0, rgb.red, rgb.green, rgb.blue);
  }
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.source[i];
    job.pixels[i] = (job.pixels[i] & 0xFF000000u) | colour[Red(v) + Green(v) + Blue(v)];
  }
  return OK;
}

TessivoStatus FireRoutine(FilterJob& job) {
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int red = Red(v), green = Green(v), blue = Blue(v);
    if (blue < red) continue;
    // The unclamped red enters the blue formula.
    const double newRed = RoundHalfEven((red + green + blue) / 3.0 + red);
    const double newBlue = RoundHalfEven(std::fabs(newRed - (blue + green + newRed) / 3.0));
    job.pixels[i] = WithRGB(v, RoundClampByte(newRed), green, RoundClampByte(newBlue));
  }
  return OK;
}

TessivoStatus RedEyesRoutine(FilterJob& job) {
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const int red = Red(v), green = Green(v), blue = Blue(v);
    if (red < 60) continue;
    const int lum = RoundToByte(0.587 * green + 0.114 * blue + 0.299 * red);
    if (red > 1.5 * lum && (blue < lum || green < lum)) {
      const int grey = RoundToByte((blue + green) / 2.0);
      job.pixels[i] = WithRGB(v, grey, grey, grey);
    }
  }
  return OK;
}

TessivoStatus ScanLineRoutine(FilterJob& job) {
  std::array<uint8_t, 256> lighter, darker;
  for (int c = 0; c < 256; ++c) {
    lighter[c] = RoundClampByte(c * 1.2);
    darker[c] = RoundClampByte(c * 0.8);
  }
  auto mapRow = [&](int y, const std::array<uint8_t, 256>& t) {
    uint32_t* row = &job.At(1, y);
    for (int x = 0; x < job.width; ++x) {
      const uint32_t v = row[x];
      row[x] = WithRGB(v, t[Red(v)], t[Green(v)], t[Blue(v)]);
    }
  };
  // Rows 1, 3, 5, ... lighter, the row after each darker; an odd last row stays.
  for (int y = 1; y + 1 <= job.height; y += 2) {
    mapRow(y, lighter);
    mapRow(y + 1, darker);
  }
  return OK;
}

TessivoStatus ThresholdRoutine(FilterJob& job) {
  const uint32_t t = static_cast<uint32_t>(static_cast<int64_t>(job.params.p));
  const int tRed = static_cast<int>(t & 0xFF), tGreen = static_cast<int>((t >> 8) & 0xFF),
            tBlue = static_cast<int>((t >> 16) & 0xFF);
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = job.pixels[i];
    const bool black = Blue(v) < tBlue && Green(v) < tGreen && Red(v) < tRed;
    job.pixels[i] = (v & 0xFF000000u) | (black ? 0u : kRGBMask);
  }
  return OK;
}

TessivoStatus MarkTransparentRoutine(FilterJob& job) {
  const size_t count = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
  double marked = 0;
  for (size_t i = 0; i < count; ++i) {
    if ((job.pixels[i] >> 24) == 0) {
      job.pixels[i] = 0x000000FFu;  // blue 255, green 0, red 0, alpha stays 0
      ++marked;
    }
  }
  job.result = marked;
  return OK;
}

}  // namespace tessivo
