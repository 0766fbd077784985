#include "pixel/index_rules.h"

#include <array>
#include <cstring>

namespace tessivo {
namespace {

// Runs `indexOf` over every pixel, writing one byte per pixel.
template <typename IndexOf>
void ForEachPixelToByte(const PixelRows& in, const IndexRows& out, IndexOf indexOf) {
  for (int32_t y = 0; y < in.height; ++y) {
    const uint8_t* src = in.bgra + static_cast<intptr_t>(y) * in.stride;
    uint8_t* dst = out.indices + static_cast<intptr_t>(y) * out.stride;
    for (int32_t x = 0; x < in.width; ++x, src += 4) dst[x] = indexOf(src);
  }
}

// Packs one bit per pixel, most significant bit first; `isWhite` decides each bit.
template <typename IsWhite>
void ForEachPixelToBit(const PixelRows& in, const IndexRows& out, IsWhite isWhite) {
  const int32_t rowBytes = (in.width + 7) / 8;
  for (int32_t y = 0; y < in.height; ++y) {
    const uint8_t* src = in.bgra + static_cast<intptr_t>(y) * in.stride;
    uint8_t* dst = out.indices + static_cast<intptr_t>(y) * out.stride;
    std::memset(dst, 0, static_cast<size_t>(rowBytes));
    for (int32_t x = 0; x < in.width; ++x, src += 4)
      if (isWhite(src)) dst[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
  }
}

uint8_t RoundHalfEven(uint32_t numerator, uint32_t denominator) {
  uint32_t q = numerator / denominator;
  const uint32_t twiceRemainder = 2 * (numerator % denominator);
  if (twiceRemainder > denominator || (twiceRemainder == denominator && (q & 1))) ++q;
  return static_cast<uint8_t>(q);
}

uint32_t Opaque(uint32_t red, uint32_t green, uint32_t blue) {
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

}  // namespace

int32_t PaddedStride(int32_t width, int32_t bitsPerPixel) {
  return static_cast<int32_t>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
}

void ThresholdTo1Bpp(const PixelRows& in, const IndexRows& out) {
  ForEachPixelToBit(in, out, [](const uint8_t* p) { return p[0] >= 126 && p[1] >= 126 && p[2] >= 126; });
}

void OpaqueWhiteTo1Bpp(const PixelRows& in, const IndexRows& out) {
  ForEachPixelToBit(in, out, [](const uint8_t* p) {
    return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF && p[3] == 0xFF;
  });
}

void AverageToGray(const PixelRows& in, const IndexRows& out) {
  static const std::array<uint8_t, 766> table = [] {
    std::array<uint8_t, 766> t{};
    for (uint32_t sum = 0; sum < t.size(); ++sum) t[sum] = RoundHalfEven(sum, 3);
    return t;
  }();
  ForEachPixelToByte(in, out, [](const uint8_t* p) { return table[p[0] + p[1] + p[2]]; });
}

void WeightedToGray(const PixelRows& in, const IndexRows& out) {
  ForEachPixelToByte(in, out, [](const uint8_t* p) {
    return RoundHalfEven(222u * p[2] + 707u * p[1] + 71u * p[0], 1000);
  });
}

void BlueToGray(const PixelRows& in, const IndexRows& out) {
  ForEachPixelToByte(in, out, [](const uint8_t* p) { return p[0]; });
}

platform::Palette GrayPalette() {
  platform::Palette palette;
  palette.flags = platform::PaletteFlagsGrayScale;
  palette.entries.resize(256);
  for (uint32_t i = 0; i < 256; ++i) palette.entries[i] = Opaque(i, i, i);
  return palette;
}

void CubeIndex216(const PixelRows& in, const IndexRows& out) {
  static const std::array<uint8_t, 256> level = [] {
    std::array<uint8_t, 256> t{};
    for (uint32_t v = 0; v < t.size(); ++v) t[v] = RoundHalfEven(v, 51);
    return t;
  }();
  ForEachPixelToByte(in, out, [](const uint8_t* p) {
    return static_cast<uint8_t>(36 * level[p[0]] + 6 * level[p[1]] + level[p[2]]);
  });
}

platform::Palette CubePalette216() {
  platform::Palette palette;
  palette.flags = platform::PaletteFlagsHalftone;
  palette.entries.resize(216);
  for (uint32_t b = 0; b < 6; ++b)
    for (uint32_t g = 0; g < 6; ++g)
      for (uint32_t r = 0; r < 6; ++r) palette.entries[r + 6 * g + 36 * b] = Opaque(51 * r, 51 * g, 51 * b);
  return palette;
}

void NearestTo4Bpp(const PixelRows& in, const IndexRows& out, const std::vector<uint32_t>& palette) {
  static const std::array<int32_t, 511> squares = [] {
    std::array<int32_t, 511> t{};
    for (int d = -255; d <= 255; ++d) t[static_cast<size_t>(d + 255)] = d * d;
    return t;
  }();
  const size_t count = palette.size() < 16 ? palette.size() : 16;
  int32_t pr[16], pg[16], pb[16];
  for (size_t i = 0; i < count; ++i) {
    pr[i] = static_cast<int32_t>(palette[i] >> 16 & 0xFF);
    pg[i] = static_cast<int32_t>(palette[i] >> 8 & 0xFF);
    pb[i] = static_cast<int32_t>(palette[i] & 0xFF);
  }
  auto nearest = [&](const uint8_t* p) {
    uint8_t best = 0;
    int32_t bestDistance = INT32_MAX;
    for (size_t i = 0; i < count; ++i) {
      const int32_t d = squares[static_cast<size_t>(p[2] - pr[i] + 255)] +
                        squares[static_cast<size_t>(p[1] - pg[i] + 255)] +
                        squares[static_cast<size_t>(p[0] - pb[i] + 255)];
      if (d < bestDistance) {
        bestDistance = d;
        best = static_cast<uint8_t>(i);
        if (d == 0) break;
      }
    }
    return best;
  };

  for (int32_t y = 0; y < in.height; ++y) {
    const uint8_t* src = in.bgra + static_cast<intptr_t>(y) * in.stride;
    uint8_t* dst = out.indices + static_cast<intptr_t>(y) * out.stride;
    std::memset(dst, 0, static_cast<size_t>((in.width + 1) / 2));
    uint32_t previous = 0xFFFFFFFFu;  // alpha is ignored, so no pixel key equals this
    uint8_t index = 0;
    for (int32_t x = 0; x < in.width; ++x, src += 4) {
      const uint32_t key = static_cast<uint32_t>(src[0]) | static_cast<uint32_t>(src[1]) << 8 |
                           static_cast<uint32_t>(src[2]) << 16;
      if (key != previous) {
        previous = key;
        index = nearest(src);
      }
      dst[x >> 1] |= static_cast<uint8_t>((x & 1) ? index : index << 4);
    }
  }
}

platform::Palette Fixed16Palette() {
  platform::Palette palette;
  palette.flags = platform::PaletteFlagsHalftone;
  palette.entries = {Opaque(0, 0, 0),       Opaque(0, 0, 128),     Opaque(0, 128, 0),
                     Opaque(0, 128, 128),   Opaque(128, 0, 0),     Opaque(128, 0, 128),
                     Opaque(128, 128, 0),   Opaque(128, 128, 128), Opaque(192, 192, 192),
                     Opaque(0, 0, 255),     Opaque(0, 255, 0),     Opaque(0, 255, 255),
                     Opaque(255, 0, 0),     Opaque(255, 0, 255),   Opaque(255, 255, 0),
                     Opaque(255, 255, 255)};
  return palette;
}

}  // namespace tessivo
