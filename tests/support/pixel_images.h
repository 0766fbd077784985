// Small images for the pixel tests: made from explicit ARGB values, read back as values.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/image_registry.h"
#include "tessivo/imaging.h"

namespace tessivo::testing {

// Opaque grey (or any colour) as ARGB.
constexpr uint32_t Grey(uint32_t g) { return 0xFF000000u | g << 16 | g << 8 | g; }
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }
inline constexpr uint32_t kBlack = 0xFF000000u;
inline constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A 32 bpp ARGB image of `width` x `height` holding `pixels` row by row; it becomes native.
inline int32_t MakeImage(cImaging& im, int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                         int16_t bitDepth = 32) {
  const int32_t id = im.CreateNewImage(width, height, bitDepth);
  EXPECT_NE(id, 0);
  SafeArray<int32_t> values = SafeArray<int32_t>::FromVector(std::vector<int32_t>(pixels.begin(), pixels.end()));
  EXPECT_EQ(im.SetPixelArray(values, 0, 0, width, height), OK);
  return id;
}

inline int32_t UniformImage(cImaging& im, int32_t width, int32_t height, uint32_t colour) {
  return MakeImage(im, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, colour));
}

// Every pixel of the native image as ARGB, row by row.
inline std::vector<uint32_t> Pixels(cImaging& im) {
  platform::Bitmap* image = ResolveImage(im.GetNativeImage());
  EXPECT_NE(image, nullptr);
  if (image == nullptr) return {};
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < image->Height(); ++y)
    for (int32_t x = 0; x < image->Width(); ++x) {
      uint32_t v = 0;
      image->GetPixel(x, y, v);
      out.push_back(v);
    }
  return out;
}

// 0-based pixel of the native image.
inline uint32_t PixelAt(cImaging& im, int32_t x, int32_t y) {
  uint32_t v = 0;
  EXPECT_EQ(ResolveImage(im.GetNativeImage())->GetPixel(x, y, v), platform::Status::Ok);
  return v;
}

// A pseudo-random opaque image (fixed seed) for tests that compare whole images.
inline std::vector<uint32_t> NoisePixels(size_t count, uint32_t seed = 12345) {
  std::vector<uint32_t> out(count);
  uint32_t s = seed;
  for (uint32_t& v : out) {
    s = s * 1664525u + 1013904223u;
    v = 0xFF000000u | (s >> 8);
  }
  return out;
}

}  // namespace tessivo::testing
