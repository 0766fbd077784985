// The 3x3 convolution family. Sharpen, edge enhance, blur, smooth and soften work in place:
// each pixel's neighbours above and to the left have already been replaced when it is computed,
// so a row is a chain along x. The relief family reads the source copy (or, for emboss and
// engrave, only the not yet visited pixel below-right).
#include <cstdlib>
#include <limits>
#include <vector>

#include "pixel/filter_routines.h"
#include "pixel/linear_kernel.h"
#include "pixel/rounding.h"

namespace tessivo {
namespace {

int OffsetByte(double rgbValue, int byte) {
  return static_cast<int>((static_cast<uint32_t>(static_cast<int64_t>(rgbValue)) >> (8 * byte)) & 0xFF);
}

int32_t RoundedParameter(double p) { return RoundToInt32(p); }

}  // namespace

TessivoStatus SharpenRoutine(FilterJob& job) {
  const int64_t k = RoundedParameter(job.params.p);
  return InPlaceLinear3x3(job, LinearRule{k + 24, -2, k + 8, true});
}

TessivoStatus EdgeEnhanceRoutine(FilterJob& job) {
  const int64_t k = RoundedParameter(job.params.p);
  return InPlaceLinear3x3(job, LinearRule{k + 9, -1, k + 1, true});
}

TessivoStatus BlurRoutine(FilterJob& job) { return InPlaceLinear3x3(job, LinearRule{0, 1, 8, true}); }

TessivoStatus SmoothRoutine(FilterJob& job) {
  return InPlaceLinear3x3(job, LinearRule{1, 1, 5, false});
}

TessivoStatus SoftenRoutine(FilterJob& job) {
  const int64_t s = RoundedParameter(job.params.p);
  return InPlaceLinear3x3(job, LinearRule{101 - s, 1, 105 - s, false});
}

TessivoStatus ReliefRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  for (int y = 2; y <= H - 1; ++y) {
    for (int x = 2; x <= W - 1; ++x) {
      int out[3];
      for (int ch = 0; ch < 3; ++ch) {
        auto c = [&](int px, int py) { return static_cast<int>((job.Source(px, py) >> (8 * ch)) & 0xFF); };
        int n = 2 * c(x - 1, y - 1) + c(x, y - 1) + c(x - 1, y) + c(x, y) - c(x + 1, y) - c(x, y + 1) -
                2 * c(x + 1, y + 1);
        out[ch] = ClampByte(n / 2 + 50);
      }
      uint32_t& px = job.At(x, y);
      px = WithRGB(px, out[2], out[1], out[0]);
    }
  }
  return OK;
}

TessivoStatus ContourRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int offset[3] = {OffsetByte(job.params.p, 0), OffsetByte(job.params.p, 1),
                         OffsetByte(job.params.p, 2)};  // blue, green, red computations
  for (int y = 2; y <= H - 1; ++y) {
    for (int x = 2; x <= W - 1; ++x) {
      int out[3];
      for (int ch = 0; ch < 3; ++ch) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0) sum += (job.Source(x + dx, y + dy) >> (8 * ch)) & 0xFF;
        int c = (job.Source(x, y) >> (8 * ch)) & 0xFF;
        out[ch] = ClampByte(8 * c - sum + offset[ch]);
      }
      uint32_t& px = job.At(x, y);
      px = WithRGB(px, out[2], out[1], out[0]);
    }
  }
  return OK;
}

// In the relief family the offset colour's bytes 0, 1, 2 go with the red, green and blue
// computations respectively, and the red and blue results trade places.

TessivoStatus EmbossRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int o0 = OffsetByte(job.params.p, 0), o1 = OffsetByte(job.params.p, 1);
  for (int y = 1; y <= H - 1; ++y) {
    for (int x = 1; x <= W - 1; ++x) {
      uint32_t& px = job.At(x, y);
      const uint32_t below = job.At(x + 1, y + 1);  // not visited yet: still the original
      const int red = ClampByte(std::abs(Blue(px) - Blue(below) + o0));
      const int greenBlue = ClampByte(std::abs(Green(px) - Green(below) + o1));
      px = WithRGB(px, red, greenBlue, greenBlue);
    }
  }
  return OK;
}

TessivoStatus EngraveRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int o0 = OffsetByte(job.params.p, 0), o1 = OffsetByte(job.params.p, 1),
            o2 = OffsetByte(job.params.p, 2);
  for (int y = 1; y <= H - 1; ++y) {
    for (int x = 1; x <= W - 1; ++x) {
      uint32_t& px = job.At(x, y);
      const uint32_t below = job.At(x + 1, y + 1);
      const int fromRed = ClampByte(std::abs(Red(below) - Red(px) + o2));
      const int fromGreen = ClampByte(std::abs(Green(below) - Green(px) + o1));
      const int fromBlue = ClampByte(std::abs(Blue(below) - Blue(px) + o0));
      px = WithRGB(px, fromBlue, fromGreen, fromRed);
    }
  }
  return OK;
}

namespace {

// Sum of column x, rows y-1..y+1, of one channel of the source copy.
int ColumnSum(const FilterJob& job, int x, int y, int shift) {
  return static_cast<int>(((job.Source(x, y - 1) >> shift) & 0xFF) + ((job.Source(x, y) >> shift) & 0xFF) +
                          ((job.Source(x, y + 1) >> shift) & 0xFF));
}

}  // namespace

TessivoStatus EmbossMoreRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int o0 = OffsetByte(job.params.p, 0), o1 = OffsetByte(job.params.p, 1),
            o2 = OffsetByte(job.params.p, 2);
  for (int y = 2; y <= H - 1; ++y) {
    for (int x = 2; x <= W - 1; ++x) {
      const int fromRed = ClampByte(ColumnSum(job, x - 1, y, 16) - ColumnSum(job, x + 1, y, 16) + o2);
      const int fromGreen = ClampByte(ColumnSum(job, x - 1, y, 8) - ColumnSum(job, x + 1, y, 8) + o1);
      const int fromBlue = ClampByte(ColumnSum(job, x - 1, y, 0) - ColumnSum(job, x + 1, y, 0) + o0);
      uint32_t& px = job.At(x, y);
      px = WithRGB(px, fromBlue, fromGreen, fromRed);
    }
  }
  return OK;
}

TessivoStatus EngraveMoreRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int o0 = OffsetByte(job.params.p, 0), o1 = OffsetByte(job.params.p, 1),
            o2 = OffsetByte(job.params.p, 2);
  for (int y = 2; y <= H - 1; ++y) {
    for (int x = 2; x <= W - 1; ++x) {
      const int fromRed = ClampByte(ColumnSum(job, x + 1, y, 16) - ColumnSum(job, x - 1, y, 16) + o2);
      const int fromGreen = ClampByte(ColumnSum(job, x + 1, y, 8) - ColumnSum(job, x - 1, y, 8) + o1);
      // The blue computation's left column leaves out its middle pixel and doubles the lower one.
      const int blueLeft = 2 * Blue(job.Source(x - 1, y + 1)) + Blue(job.Source(x - 1, y - 1));
      const int fromBlue = ClampByte(ColumnSum(job, x + 1, y, 0) - blueLeft + o0);
      uint32_t& px = job.At(x, y);
      px = WithRGB(px, fromBlue, fromGreen, fromRed);
    }
  }
  return OK;
}

}  // namespace tessivo
