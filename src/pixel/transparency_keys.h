// Making straight ARGB pixels transparent: by a colour and a distance, or by a uniform factor.
// Shared by the transparency adjustments of the native image and by the image draws that make
// a transparent copy of their source.
#pragma once
#include <cstdint>
#include <span>

namespace tessivo {

// The distance k is a whole number. k = 0: alpha becomes 0 where red, green and blue equal the
// colour's; otherwise where the sum of the absolute differences of red, green and blue is at
// most k (a negative k matches nothing). Colour channels are kept.
void KeyTransparentColour(std::span<uint32_t> argbPixels, uint32_t colourArgb, double k);

// alpha' = round(alpha · t / 255) with t clamped to 0..255 (255 keeps the pixels as they are).
void ScaleAlpha(std::span<uint32_t> argbPixels, int32_t transparency);

}  // namespace tessivo
