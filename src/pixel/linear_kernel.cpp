#include "pixel/linear_kernel.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "pixel/rounding.h"

namespace tessivo {
namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
// Largest numerator range served by a division table (bytes).
constexpr int64_t kMaxTable = int64_t{1} << 20;

struct Scratch {
  std::vector<uint8_t> table;   // clamp(n div d) for n = lo .. hi
  std::vector<int32_t> partial; // per byte of a row: a*c + b*(neighbours but the left) - lo
};

Scratch& ThreadScratch() {
  thread_local Scratch scratch;
  return scratch;
}

// Every numerator evaluated as it comes, for rules whose range is too wide for a table.
TessivoStatus Direct(FilterJob& job, const LinearRule& r) {
  const int W = job.width, H = job.height;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(job.pixels);
  const ptrdiff_t row = static_cast<ptrdiff_t>(W) * 4;
  for (int y = 1; y < H - 1; ++y) {
    for (int x = 1; x < W - 1; ++x) {
      uint8_t* p = bytes + y * row + x * 4;
      for (int ch = 0; ch < 3; ++ch) {
        const uint8_t* c = p + ch;
        int64_t sum = c[-row] + c[row] + c[-4] + c[4];
        if (r.eightNeighbours) sum += c[-row - 4] + c[-row + 4] + c[row - 4] + c[row + 4];
        const int64_t n = r.a * c[0] + r.b * sum;
        if (n < kInt32Min || n > kInt32Max) return GenericError;
        p[ch] = static_cast<uint8_t>(ClampByte(static_cast<int32_t>(n / r.d)));
      }
    }
  }
  return OK;
}

// The part of each byte's numerator that does not depend on its left neighbour, for the bytes
// 4 .. last-1 of a row: a*cur + b*(the other neighbours) + bias. Where the processor has AVX2,
// eight bytes at a time in 32-bit lanes (the sums and products are exact there), from `from`
// on; returns the first byte left for the scalar loop.
#if defined(__x86_64__)
__attribute__((target("avx2"))) inline __m256i Widened8(const uint8_t* p) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

__attribute__((target("avx2"))) int PartialRowAvx2(const uint8_t* up, const uint8_t* cur, const uint8_t* dn,
                                                   int32_t* partial, int last, int32_t a, int32_t b, int32_t bias,
                                                   bool eightNeighbours) {
  const __m256i va = _mm256_set1_epi32(a), vb = _mm256_set1_epi32(b), vbias = _mm256_set1_epi32(bias);
  int i = 4;
  for (; i + 8 <= last; i += 8) {
    __m256i sum = _mm256_add_epi32(_mm256_add_epi32(Widened8(up + i), Widened8(dn + i)), Widened8(cur + i + 4));
    if (eightNeighbours) {
      sum = _mm256_add_epi32(sum, _mm256_add_epi32(Widened8(up + i - 4), Widened8(up + i + 4)));
      sum = _mm256_add_epi32(sum, _mm256_add_epi32(Widened8(dn + i - 4), Widened8(dn + i + 4)));
    }
    const __m256i n = _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(va, Widened8(cur + i)),
                                                        _mm256_mullo_epi32(vb, sum)),
                                       vbias);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(partial + i), n);
  }
  return i;
}
#endif

void PartialRow(const uint8_t* up, const uint8_t* cur, const uint8_t* dn, int32_t* partial, int last, int32_t a,
                int32_t b, int32_t bias, bool eightNeighbours) {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  int i = avx2 ? PartialRowAvx2(up, cur, dn, partial, last, a, b, bias, eightNeighbours) : 4;
#else
  int i = 4;
#endif
  if (eightNeighbours) {
    for (; i < last; ++i) {
      const int32_t sum = up[i - 4] + up[i] + up[i + 4] + cur[i + 4] + dn[i - 4] + dn[i] + dn[i + 4];
      partial[i] = a * cur[i] + b * sum + bias;
    }
  } else {
    for (; i < last; ++i) {
      const int32_t sum = up[i] + cur[i + 4] + dn[i];
      partial[i] = a * cur[i] + b * sum + bias;
    }
  }
}

// The same through a table of results by numerator. The part of each numerator that does not
// depend on the left neighbour is computed for the whole row first; the left neighbour (just
// replaced) is then added pixel by pixel.
template <int kB>
void TableRows(FilterJob& job, const LinearRule& r, int64_t lo, Scratch& s) {
  const int W = job.width, H = job.height;
  const int32_t b = kB != 0 ? kB : static_cast<int32_t>(r.b);
  const int32_t a = static_cast<int32_t>(r.a);
  const int32_t bias = static_cast<int32_t>(-lo);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(job.pixels);
  const ptrdiff_t row = static_cast<ptrdiff_t>(W) * 4;
  const uint8_t* table = s.table.data();
  int32_t* partial = s.partial.data();
  const int last = (W - 1) * 4;  // first byte of the right frame pixel
  for (int y = 1; y < H - 1; ++y) {
    uint8_t* cur = bytes + y * row;
    const uint8_t* up = cur - row;
    const uint8_t* dn = cur + row;
    PartialRow(up, cur, dn, partial, last, a, b, bias, r.eightNeighbours);
    int32_t left0 = cur[0], left1 = cur[1], left2 = cur[2];
    for (int i = 4; i < last; i += 4) {
      left0 = table[partial[i] + b * left0];
      left1 = table[partial[i + 1] + b * left1];
      left2 = table[partial[i + 2] + b * left2];
      cur[i] = static_cast<uint8_t>(left0);
      cur[i + 1] = static_cast<uint8_t>(left1);
      cur[i + 2] = static_cast<uint8_t>(left2);
    }
  }
}

}  // namespace

TessivoStatus InPlaceLinear3x3(FilterJob& job, const LinearRule& r) {
  // A zero divisor is refused before anything is divided or written.
  if (r.d == 0) return GenericError;
  if (r.a < kInt32Min || r.a > kInt32Max || r.b < kInt32Min || r.b > kInt32Max || r.d < kInt32Min ||
      r.d > kInt32Max)
    return GenericError;
  if (job.width < 3 || job.height < 3) return OK;
  const int64_t neighbours = r.eightNeighbours ? 8 : 4;
  const int64_t lo = std::min<int64_t>(0, r.a * 255) + std::min<int64_t>(0, r.b * neighbours * 255);
  const int64_t hi = std::max<int64_t>(0, r.a * 255) + std::max<int64_t>(0, r.b * neighbours * 255);
  if (lo < kInt32Min || hi > kInt32Max || hi - lo + 1 > kMaxTable) return Direct(job, r);

  Scratch& s = ThreadScratch();
  s.table.resize(static_cast<size_t>(hi - lo + 1));
  for (int64_t n = lo; n <= hi; ++n)
    s.table[static_cast<size_t>(n - lo)] = static_cast<uint8_t>(ClampByte(static_cast<int32_t>(n / r.d)));
  if (s.partial.size() < static_cast<size_t>(job.width) * 4) s.partial.resize(static_cast<size_t>(job.width) * 4);
  switch (r.b) {
    case 1: TableRows<1>(job, r, lo, s); break;
    case -1: TableRows<-1>(job, r, lo, s); break;
    case -2: TableRows<-2>(job, r, lo, s); break;
    default: TableRows<0>(job, r, lo, s); break;
  }
  return OK;
}

}  // namespace tessivo
