// Rank filters over the source copy: maximum, minimum, medians and the Kuwahara choice. Each
// colour channel is ranked on its own; alpha keeps its value.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pixel/filter_routines.h"

namespace tessivo {
namespace {

// Applies `rank(bytes of the 3x3 neighbourhood of one channel)` to every interior pixel.
// `Rank` receives the centre byte's address in the source and the source row length in bytes.
template <typename Rank>
void Rank3x3(FilterJob& job, Rank rank) {
  const int W = job.width, H = job.height;
  const uint8_t* src = reinterpret_cast<const uint8_t*>(job.source);
  uint8_t* dst = reinterpret_cast<uint8_t*>(job.pixels);
  const ptrdiff_t row = static_cast<ptrdiff_t>(W) * 4;
  for (int y = 1; y < H - 1; ++y) {
    for (int x = 1; x < W - 1; ++x) {
      const ptrdiff_t at = y * row + x * 4;
      for (int ch = 0; ch < 3; ++ch) dst[at + ch] = rank(src + at + ch, row);
    }
  }
}

// Sixteen bytes at once: the exchange network below runs on these as on single bytes, with
// element-wise minimum and maximum.
using Bytes16 = uint8_t __attribute__((vector_size(16)));

inline Bytes16 Load16(const uint8_t* p) {
  Bytes16 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Order(uint8_t& a, uint8_t& b) {
  const uint8_t lo = std::min(a, b), hi = std::max(a, b);
  a = lo;
  b = hi;
}

inline void Order(Bytes16& a, Bytes16& b) {
  const Bytes16 lo = a < b ? a : b;
  const Bytes16 hi = a < b ? b : a;
  a = lo;
  b = hi;
}

// Median of nine by the 19-exchange network (Paeth): p[4] ends as the median.
template <typename T>
inline T Median9(T p[9]) {
  Order(p[1], p[2]); Order(p[4], p[5]); Order(p[7], p[8]);
  Order(p[0], p[1]); Order(p[3], p[4]); Order(p[6], p[7]);
  Order(p[1], p[2]); Order(p[4], p[5]); Order(p[7], p[8]);
  Order(p[0], p[3]); Order(p[5], p[8]); Order(p[4], p[7]);
  Order(p[3], p[6]); Order(p[1], p[4]); Order(p[2], p[5]);
  Order(p[4], p[7]); Order(p[4], p[2]); Order(p[6], p[4]);
  Order(p[4], p[2]);
  return p[4];
}

}  // namespace

TessivoStatus DilateRoutine(FilterJob& job) {
  Rank3x3(job, [](const uint8_t* c, ptrdiff_t row) {
    uint8_t m = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) m = std::max(m, c[dy * row + dx * 4]);
    return m;
  });
  return OK;
}

TessivoStatus ErodeRoutine(FilterJob& job) {
  Rank3x3(job, [](const uint8_t* c, ptrdiff_t row) {
    uint8_t m = 255;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) m = std::min(m, c[dy * row + dx * 4]);
    return m;
  });
  return OK;
}

TessivoStatus ConnectedContourRoutine(FilterJob& job) {
  Rank3x3(job, [](const uint8_t* c, ptrdiff_t row) {
    uint8_t m = 255;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) m = std::min(m, c[dy * row + dx * 4]);
    return static_cast<uint8_t>(c[0] - m);
  });
  return OK;
}

TessivoStatus DespeckleRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  if (W < 3 || H < 3) return OK;
  const uint8_t* src = reinterpret_cast<const uint8_t*>(job.source);
  const ptrdiff_t row = static_cast<ptrdiff_t>(W) * 4;
  // The network runs on all bytes of the interior row, alpha included, so that the loop is one
  // straight pass over contiguous bytes; the alpha results are simply not stored.
  thread_local std::vector<uint8_t> medians;
  if (medians.size() < static_cast<size_t>(row)) medians.resize(static_cast<size_t>(row));
  for (int y = 1; y < H - 1; ++y) {
    const uint8_t* up = src + (y - 1) * row;
    const uint8_t* mid = up + row;
    const uint8_t* dn = mid + row;
    uint8_t* out = medians.data();
    ptrdiff_t i = 4;
    for (; i + 16 <= row - 4; i += 16) {
      Bytes16 p[9] = {Load16(up + i - 4),  Load16(up + i),  Load16(up + i + 4),
                      Load16(mid + i - 4), Load16(mid + i), Load16(mid + i + 4),
                      Load16(dn + i - 4),  Load16(dn + i),  Load16(dn + i + 4)};
      const Bytes16 m = Median9(p);
      std::memcpy(out + i, &m, sizeof m);
    }
    for (; i < row - 4; ++i) {
      uint8_t p[9] = {up[i - 4], up[i], up[i + 4], mid[i - 4], mid[i], mid[i + 4], dn[i - 4], dn[i], dn[i + 4]};
      out[i] = Median9(p);
    }
    uint32_t* target = job.pixels + static_cast<ptrdiff_t>(y) * W;
    for (int x = 1; x < W - 1; ++x) {
      uint32_t m;
      std::memcpy(&m, out + 4 * x, sizeof m);
      target[x] = (target[x] & 0xFF000000u) | (m & kRGBMask);
    }
  }
  return OK;
}

TessivoStatus DespeckleMoreRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const uint8_t* src = reinterpret_cast<const uint8_t*>(job.source);
  uint8_t* dst = reinterpret_cast<uint8_t*>(job.pixels);
  const ptrdiff_t row = static_cast<ptrdiff_t>(W) * 4;
  for (int y = 2; y < H - 2; ++y) {
    for (int x = 2; x < W - 2; ++x) {
      const ptrdiff_t at = y * row + x * 4;
      for (int ch = 0; ch < 3; ++ch) {
        // Median (13th of 25) by counting: the smallest value v with at least 13 values <= v.
        int histogram[256] = {};
        const uint8_t* c = src + at + ch;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) ++histogram[c[dy * row + dx * 4]];
        int seen = 0, v = 0;
        for (; v < 256; ++v) {
          seen += histogram[v];
          if (seen >= 13) break;
        }
        dst[at + ch] = static_cast<uint8_t>(v);
      }
    }
  }
  return OK;
}

TessivoStatus AquaRoutine(FilterJob& job) {
  const int W = job.width, H = job.height;
  const uint8_t* src = reinterpret_cast<const uint8_t*>(job.source);
  uint8_t* dst = reinterpret_cast<uint8_t*>(job.pixels);
  const ptrdiff_t row = static_cast<ptrdiff_t>(W) * 4;
  // Window origins relative to the pixel: up-left, up-right, down-left, down-right.
  static constexpr int kWindows[4][2] = {{-2, -2}, {0, -2}, {-2, 0}, {0, 0}};
  for (int y = 2; y < H - 2; ++y) {
    for (int x = 2; x < W - 2; ++x) {
      for (int ch = 0; ch < 3; ++ch) {
        int bestMean = 0, bestSpread = 1 << 30;
        for (const auto& w : kWindows) {
          const uint8_t* origin = src + (y + w[1]) * row + (x + w[0]) * 4 + ch;
          int sum = 0;
          for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) sum += origin[j * row + i * 4];
          const int mean = sum / 9;
          int spread = 0;
          for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) spread += std::abs(origin[j * row + i * 4] - mean);
          if (spread < bestSpread) {  // strictly smaller: the first window wins a tie
            bestSpread = spread;
            bestMean = mean;
          }
        }
        dst[y * row + x * 4 + ch] = static_cast<uint8_t>(bestMean);
      }
    }
  }
  return OK;
}

}  // namespace tessivo
