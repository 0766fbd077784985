#include "recognition/ard/layout_signature.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/pixel_format.h"

namespace tessivo::recognition {
namespace {

constexpr int32_t kBandRows = 96;  // rows read per lock: a multiple of the cell height
constexpr uint32_t kOpaqueBlack = 0xFF000000u;

inline bool Dark(uint32_t argb, InkRule rule) {
  if (rule == InkRule::Bitonal) return argb == kOpaqueBlack;
  return ((argb >> 16) & 0xFF) < 127 && ((argb >> 8) & 0xFF) < 127 && (argb & 0xFF) < 127;
}

// Pixel flags of one band: 1 for dark, 0 for light, so a cell's pattern is a weighted sum.
void MarkDark(const platform::BitmapData& data, InkRule rule, std::vector<uint8_t>& dark) {
  const auto* base = static_cast<const uint8_t*>(data.scan0);
  for (uint32_t y = 0; y < data.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(base + static_cast<intptr_t>(y) * data.stride);
    uint8_t* out = dark.data() + static_cast<size_t>(y) * data.width;
    for (uint32_t x = 0; x < data.width; ++x) out[x] = Dark(row[x], rule) ? 1 : 0;
  }
}

int32_t Clamped(int64_t v) {
  return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
}

}  // namespace

InkRule InkRuleFor(const platform::Bitmap& image) {
  return platform::BitsPerPixel(image.Format()) == 1 ? InkRule::Bitonal : InkRule::Color;
}

TessivoStatus ComputeSignature(platform::Bitmap& image, InkRule rule, LayoutSignature& out) {
  out = LayoutSignature{};
  const int32_t width = image.Width();
  const int32_t height = image.Height();
  if (width < 1 || height < 1) return OK;
  const auto topBand = static_cast<int64_t>(std::floor(height * 0.2));
  // Complete cells only: a centre in the last column or row has no neighbour beyond it.
  const int32_t cellColumns = width / 3;
  const int32_t cellRows = height / 3;
  std::array<int64_t, kPatternCount> counters{};
  int64_t ink = 0;
  int64_t topInk = 0;
  std::vector<uint8_t> dark;
  for (int32_t bandTop = 0; bandTop < cellRows * 3; bandTop += kBandRows) {
    const int32_t bandHeight = std::min(kBandRows, cellRows * 3 - bandTop);
    platform::Rect band{0, bandTop, width, bandHeight};
    platform::BitmapData data;
    const auto lock = static_cast<TessivoStatus>(
        image.LockBits(&band, platform::ImageLockModeRead, platform::kPixelFormat32bppARGB, data));
    if (lock != OK) return lock;
    dark.resize(static_cast<size_t>(width) * static_cast<size_t>(bandHeight));
    MarkDark(data, rule, dark);
    const auto unlock = static_cast<TessivoStatus>(image.UnlockBits(data));
    if (unlock != OK) return unlock;
    for (int32_t cy = 0; cy < bandHeight; cy += 3) {
      const uint8_t* r0 = dark.data() + static_cast<size_t>(cy) * width;
      const uint8_t* r1 = r0 + width;
      const uint8_t* r2 = r1 + width;
      const int64_t centreRowFrom1 = bandTop + cy + 2;
      const bool inTop = centreRowFrom1 <= topBand;
      for (int32_t cx = 0; cx < cellColumns * 3; cx += 3) {
        const int pattern = (r0[cx] << 8) | (r0[cx + 1] << 7) | (r0[cx + 2] << 6) | (r1[cx] << 5) |
                            (r1[cx + 1] << 4) | (r1[cx + 2] << 3) | (r2[cx] << 2) | (r2[cx + 1] << 1) |
                            r2[cx + 2];
        ++counters[static_cast<size_t>(pattern)];
        if (pattern != 0) {
          const int dots = __builtin_popcount(static_cast<unsigned>(pattern));
          ink += dots;
          if (inTop) topInk += dots;
        }
      }
    }
  }
  for (int i = 0; i < kPatternCount; ++i) out.counters[static_cast<size_t>(i)] = Clamped(counters[static_cast<size_t>(i)]);
  out.ink = Clamped(ink);
  out.topInk = Clamped(topInk);
  return OK;
}

}  // namespace tessivo::recognition
