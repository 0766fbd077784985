// Geometric distortions: each pixel of the zone takes a pixel of the source copy found by a
// coordinate mapping (pixelize, twirl, swirl, rounded mirror, waves).
#include <algorithm>
#include <cmath>
#include <vector>

#include "pixel/filter_routines.h"
#include "pixel/rounding.h"

namespace tessivo {
namespace {

int32_t ClampInt(int64_t v, int32_t lo, int32_t hi) {
  return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, lo), hi));
}

int32_t ClampedParameter(double p, int32_t lo, int32_t hi) {
  if (std::isnan(p)) return lo;
  return ClampInt(static_cast<int64_t>(RoundHalfEven(std::clamp(p, -1e12, 1e12))), lo, hi);
}

// The first column of the zone is a block of its own; the blocks after it are n columns wide,
// aligned on the second column. Rows are blocked from the top edge.
std::vector<int32_t> BlockStarts(int32_t length, int32_t n, bool firstAlone) {
  std::vector<int32_t> starts;
  int32_t at = 1;
  if (firstAlone) {
    starts.push_back(1);
    at = 2;
  }
  for (; at <= length; at += n) starts.push_back(at);
  starts.push_back(length + 1);  // end sentinel
  return starts;
}

}  // namespace

TessivoStatus PixelizeRoutine(FilterJob& job) {
  int32_t n = RoundToInt32(job.params.p);
  if (n < 1) n = 3;
  const std::vector<int32_t> columns = BlockStarts(job.width, n, true);
  const std::vector<int32_t> rows = BlockStarts(job.height, n, false);
  for (size_t by = 0; by + 1 < rows.size(); ++by) {
    for (size_t bx = 0; bx + 1 < columns.size(); ++bx) {
      int64_t sum[3] = {0, 0, 0};
      int64_t count = 0;
      for (int32_t y = rows[by]; y < rows[by + 1]; ++y)
        for (int32_t x = columns[bx]; x < columns[bx + 1]; ++x) {
          const uint32_t v = job.Source(x, y);
          sum[0] += Red(v);
          sum[1] += Green(v);
          sum[2] += Blue(v);
          ++count;
        }
      const int red = static_cast<int>(sum[0] / count), green = static_cast<int>(sum[1] / count),
                blue = static_cast<int>(sum[2] / count);
      for (int32_t y = rows[by]; y < rows[by + 1]; ++y)
        for (int32_t x = columns[bx]; x < columns[bx + 1]; ++x) {
          uint32_t& px = job.At(x, y);
          px = WithRGB(px, red, green, blue);
        }
    }
  }
  return OK;
}

TessivoStatus TwirlRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int32_t factor = ClampedParameter(job.params.p, 1, 100);
  const double scale = factor / 10.0 * 3.141592657;
  const int cx = W / 2, cy = H / 2;  // both positive: division rounds down
  const double D = std::max(W, H);
  for (int y = 1; y <= H; ++y) {
    for (int x = 1; x <= W; ++x) {
      const double dx = x - cx, dy = y - cy;
      const double a = std::sqrt(dx * dx + dy * dy) / D * scale;
      const double ca = std::cos(a), sa = std::sin(a);
      const double sx = std::floor(dx * ca + cx - dy * sa);
      const double sy = std::floor(dy * ca + cy + dx * sa);
      uint32_t& px = job.At(x, y);
      if (sx >= 1 && sx <= W && sy >= 1 && sy <= H) {
        px = (px & 0xFF000000u) | (job.Source(static_cast<int>(sx), static_cast<int>(sy)) & kRGBMask);
      } else if (job.zoneCoversImage) {
        px |= kRGBMask;  // white
      }
    }
  }
  return OK;
}

TessivoStatus SwirlRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const int32_t strength = ClampedParameter(job.params.p, 1, 100);
  const double radius = std::sqrt(static_cast<double>(W) * W + static_cast<double>(H) * H) / 2.0;
  const double halfW = W / 2.0, halfH = H / 2.0;
  for (int x = 1; x <= W; ++x) {
    for (int y = 1; y <= H; ++y) {
      const double dx = RoundHalfEven(halfW - x), dy = RoundHalfEven(halfH - y);
      const double d = std::sqrt(dx * dx + dy * dy);
      if (!(d < radius)) continue;
      double theta = 0;
      if (dx != 0 || dy != 0) {
        const double ddx = dx == 0 ? 0.0001 : dx;
        theta = std::atan(dy / ddx);
        if (ddx < 0) theta += 3.14159265358979323846;
      }
      const double angle = d / (radius / strength) + theta;
      const int sx = ClampInt(static_cast<int64_t>(RoundHalfEven(d * std::cos(angle) + halfW)), 1, W);
      const int sy = ClampInt(static_cast<int64_t>(RoundHalfEven(halfH - d * std::sin(angle))), 1, H);
      job.At(x, y) = job.Source(sx, sy);  // all four bytes
    }
  }
  return OK;
}

TessivoStatus MirrorRoundedRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const double hx = RoundHalfEven(W / 2.0);
  const double cy = RoundHalfEven(H / 2.0);
  // A one-row zone has its centre on row 0: the distance from it cannot be scaled.
  if (cy == 0) return GenericError;
  if (job.zoneCoversImage) {
    const size_t count = static_cast<size_t>(W) * static_cast<size_t>(H);
    for (size_t i = 0; i < count; ++i) job.pixels[i] |= kRGBMask;
  }
  for (int y = 1; y <= H; ++y) {
    double v = (y - cy) / cy;
    v = std::min(v * v, 1.0);
    const double s = std::sqrt(1.0 - v);
    const double m = std::floor((1.0 - s) * hx) - 1.0;
    const double q = (W - 2.0 * m) / W;
    uint32_t* row = &job.At(1, y);
    for (int x = 1; x <= W; ++x) {
      const int column = ClampInt(static_cast<int64_t>(RoundHalfEven((x - 1) * q + m)), 0, W - 1);
      row[column] = job.Source(x, y);
    }
  }
  return OK;
}

namespace {

struct Wave {
  double width;
  double height;
};

Wave WaveParameters(const FilterJob& job) {
  // Parameters below 1 count as 1.
  return Wave{std::max(job.params.d1, 1.0), std::max(job.params.d2, 1.0)};
}

int64_t WaveOffset(const Wave& w, int position) {
  return static_cast<int64_t>(RoundHalfEven(w.height * std::sin(position / w.width)));
}

}  // namespace

TessivoStatus HorizontalWavesRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const Wave wave = WaveParameters(job);
  for (int x = 1; x <= W; ++x) {
    const int64_t offset = WaveOffset(wave, x);
    for (int y = 1; y <= H; ++y) {
      const int64_t target = y - offset;
      if (target >= 1 && target <= H) job.At(x, static_cast<int>(target)) = job.Source(x, y);
    }
  }
  return OK;
}

TessivoStatus VerticalWavesRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const Wave wave = WaveParameters(job);
  const int64_t count = static_cast<int64_t>(W) * H;
  for (int y = 1; y <= H; ++y) {
    const int64_t offset = WaveOffset(wave, y);
    for (int x = 1; x <= W; ++x) {
      // The target is a row-major index: a pixel moved past the row's start lands on the row
      // above; only targets outside the whole zone are dropped.
      const int64_t target = static_cast<int64_t>(y - 1) * W + (x - 1) - offset;
      if (target >= 0 && target < count) job.pixels[target] = job.Source(x, y);
    }
  }
  return OK;
}

}  // namespace tessivo
