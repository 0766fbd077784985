#include "pixel/geometry/auto_deskew.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "pixel/rounding.h"
#include "platform/pixel_format.h"

namespace tessivo {

namespace {

using platform::Status;

constexpr double kPi = 3.141592657;  // the toolkit's historical value, kept for identical angles

// Dark for the measurement: black in a bitonal image, else luma (0.299 r + 0.587 g + 0.114 b)
// below 140, worked out in integers so that no rounding moves the threshold.
inline bool IsDark(uint32_t argb, bool bitonal) {
  const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  if (bitonal) return r == 0;
  return 587 * g + 299 * r + 114 * b < 140000;
}

// Round half to even of |v| < 2^51 in integers: adding 1.5 * 2^52 leaves the rounded value in
// the low mantissa bits. The same result as RoundHalfEven (the default rounding mode), without
// the library call that dominated the vote loop.
inline int32_t RoundToInt(double v) {
  const double shifted = v + 6755399441055744.0;
  int64_t bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  return static_cast<int32_t>(bits);
}

// One cell of the accumulator: its votes and its place in distance-major order (d * 200 + i),
// which breaks ties between equal counts (the earlier cell first).
struct RankedCell {
  uint32_t votes = 0;
  uint64_t index = 0;
};

bool Stronger(const RankedCell& a, const RankedCell& b) { return a.votes != b.votes ? a.votes > b.votes : a.index < b.index; }

// Dark pixels of one row as bits, LSB first in 64-bit words; bits past the width stay 0.
using DarkRow = std::vector<uint64_t>;

// Reads rows as dark bits. Formats whose colour is plain in the stored bytes (indexed, 24- and
// 32-bit RGB) are read in place through a lock in their own format (no copy); the others are
// converted to ARGB in bands, as the platform converts them.
class DarkRowReader {
 public:
  DarkRowReader(platform::Bitmap& image, bool bitonal) : image_(image), bitonal_(bitonal) {
    const platform::PixelFormat f = image.Format();
    native_ = platform::IsIndexed(f) || f == platform::kPixelFormat24bppRGB ||
              f == platform::kPixelFormat32bppRGB || f == platform::kPixelFormat32bppARGB;
    if (platform::IsIndexed(f)) {
      // Indices past the palette read as opaque black, as in the conversion to ARGB.
      const std::vector<uint32_t>& entries = image.GetPalette().entries;
      for (size_t i = 0; i < darkIndex_.size(); ++i)
        darkIndex_[i] = IsDark(i < entries.size() ? entries[i] : 0xFF000000u, bitonal) ? 1 : 0;
    }
  }

  // Locks rows first .. first + count - 1 (a native lock points straight into the pixels).
  Status Begin(int32_t first, int32_t count) {
    first_ = first;
    const int32_t w = image_.Width();
    if (native_) {
      platform::Rect r{0, first, w, count};
      Status s = image_.LockBits(&r, platform::ImageLockModeRead, image_.Format(), data_);
      locked_ = s == Status::Ok;
      return s;
    }
    bandRows_ = std::max<int32_t>(1, std::min<int32_t>(count, (1 << 20) / w + 1));
    band_.resize(static_cast<size_t>(w) * static_cast<size_t>(bandRows_));
    bandFirst_ = -1;
    end_ = first + count;
    return Status::Ok;
  }

  Status End() {
    if (!locked_) return Status::Ok;
    locked_ = false;
    return image_.UnlockBits(data_);
  }

  Status Read(int32_t y, DarkRow& out) {
    const int32_t w = image_.Width();
    std::fill(out.begin(), out.end(), 0);
    if (native_) {
      const uint8_t* row = static_cast<const uint8_t*>(data_.scan0) + static_cast<intptr_t>(y - first_) * data_.stride;
      ReadNative(row, w, out);
      return Status::Ok;
    }
    if (bandFirst_ < 0 || y >= bandFirst_ + bandRows_) {
      const int32_t n = std::min(bandRows_, end_ - y);
      platform::Rect r{0, y, w, n};
      platform::BitmapData data;
      data.scan0 = band_.data();
      data.stride = w * 4;
      Status s = image_.LockBits(&r, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                                 platform::kPixelFormat32bppARGB, data);
      if (s != Status::Ok) return s;
      s = image_.UnlockBits(data);
      if (s != Status::Ok) return s;
      bandFirst_ = y;
    }
    const uint32_t* px = band_.data() + static_cast<size_t>(y - bandFirst_) * static_cast<size_t>(w);
    for (int32_t x = 0; x < w; ++x)
      if (IsDark(px[x], bitonal_)) out[static_cast<size_t>(x >> 6)] |= uint64_t{1} << (x & 63);
    return Status::Ok;
  }

 private:
  void ReadNative(const uint8_t* row, int32_t w, DarkRow& out) const {
    const platform::PixelFormat f = image_.Format();
    const int bpp = platform::BitsPerPixel(f);
    if (bpp == 1) {
      // Whole bytes at a time: each byte reversed to LSB-first order, then inverted when index 1
      // is the light one.
      const uint64_t ones = darkIndex_[1] ? ~uint64_t{0} : 0, zeros = darkIndex_[0] ? ~uint64_t{0} : 0;
      const int32_t bytes = (w + 7) / 8;
      for (size_t word = 0; word < out.size(); ++word) {
        uint64_t bits = 0;
        const int32_t first = static_cast<int32_t>(word) * 8;
        if (first + 8 <= bytes) {
          bits = ReversedBytes(LoadLittleEndian(row + first));
        } else {
          for (int32_t b = first; b < bytes; ++b) bits |= uint64_t{ReversedByte(row[b])} << (8 * (b - first));
        }
        out[word] = (bits & ones) | (~bits & zeros);
      }
      if (w % 64 != 0) out.back() &= (uint64_t{1} << (w % 64)) - 1;
      return;
    }
    if (bpp == 4 || bpp == 8) {
      for (int32_t x0 = 0; x0 < w; x0 += 64) {
        const int32_t n = std::min(64, w - x0);
        uint64_t bits = 0;
        if (bpp == 8) {
          for (int32_t k = 0; k < n; ++k) bits |= uint64_t{darkIndex_[row[x0 + k]]} << k;
        } else {
          for (int32_t k = 0; k < n; ++k) {
            const int32_t x = x0 + k;
            bits |= uint64_t{darkIndex_[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]} << k;
          }
        }
        out[static_cast<size_t>(x0 >> 6)] = bits;
      }
      return;
    }
    const int step = bpp / 8;  // 24 or 32 bits: blue, green, red first
    for (int32_t x0 = 0; x0 < w; x0 += 64) {
      const int32_t n = std::min(64, w - x0);
      const uint8_t* p = row + static_cast<size_t>(x0) * static_cast<size_t>(step);
      uint64_t bits = 0;
      for (int32_t k = 0; k < n; ++k, p += step) {
        const bool dark = bitonal_ ? p[2] == 0 : 587u * p[1] + 299u * p[2] + 114u * p[0] < 140000u;
        bits |= uint64_t{dark} << k;
      }
      out[static_cast<size_t>(x0 >> 6)] = bits;
    }
  }

  // Eight bytes, the first in the lowest bits.
  static uint64_t LoadLittleEndian(const uint8_t* p) {
    uint64_t v = 0;
    for (int k = 7; k >= 0; --k) v = v << 8 | p[k];  // one load on little-endian machines
    return v;
  }

  // Each of the eight bytes with its bits reversed in place.
  static uint64_t ReversedBytes(uint64_t v) {
    v = (v & 0xF0F0F0F0F0F0F0F0u) >> 4 | (v & 0x0F0F0F0F0F0F0F0Fu) << 4;
    v = (v & 0xCCCCCCCCCCCCCCCCu) >> 2 | (v & 0x3333333333333333u) << 2;
    return (v & 0xAAAAAAAAAAAAAAAAu) >> 1 | (v & 0x5555555555555555u) << 1;
  }

  static uint8_t ReversedByte(uint8_t b) {
    b = static_cast<uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
  }

  platform::Bitmap& image_;
  bool bitonal_;
  bool native_ = false, locked_ = false;
  std::array<uint8_t, 256> darkIndex_{};
  platform::BitmapData data_;
  int32_t first_ = 0, end_ = 0, bandFirst_ = -1, bandRows_ = 1;
  std::vector<uint32_t> band_;
};

// A block of voting pixels of one row: how many, and the columns they lie between.
struct VoteBlock {
  uint32_t count = 0;
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};
// Coarse blocks bound every angle cheaply; fine ones, of half the width, only the angles the
// coarse bound leaves in doubt. A block starts at a voting pixel and takes the row's next ones
// within its width, so that a short run of votes is never cut in two by a fixed grid.
constexpr int32_t kCoarseWidth = 64, kFineWidth = 32;

// Blocks as columns, four at a time for the vector arithmetic of the bounds.
struct BlockTable {
  std::vector<int32_t> xMin, xMax, yMin, yMax;
  std::vector<uint32_t> count;
  void Add(const VoteBlock& b) {
    xMin.push_back(b.xMin), xMax.push_back(b.xMax), yMin.push_back(b.yMin), yMax.push_back(b.yMax);
    count.push_back(b.count);
  }
};

// The voting pixels (dark above light) of the scanned rows: their columns, row by row.
struct Votes {
  std::vector<int32_t> columns;
  std::vector<int32_t> rowOf;      // image row of each non-empty row
  std::vector<size_t> rowStart;    // start of each non-empty row in columns, plus the end
  BlockTable coarse, fine;  // every voting pixel in exactly one block of each
};

// Cuts the voting columns of row y (ascending) into blocks no wider than `width` columns.
void AddRowBlocks(int32_t y, const int32_t* columns, size_t n, int32_t width, BlockTable& into) {
  for (size_t k = 0; k < n;) {
    VoteBlock b{0, columns[k], columns[k], y, y};
    for (; k < n && columns[k] < b.xMin + width; ++k) ++b.count, b.xMax = columns[k];
    into.Add(b);
  }
}

Status CollectVotes(platform::Bitmap& image, bool bitonal, Votes& votes) {
  const int32_t w = image.Width(), h = image.Height();
  // Rows round(H/4) .. round(3H/4), each compared with the row below it.
  const int32_t first = static_cast<int32_t>(RoundHalfEven(h / 4.0));
  const int32_t last = std::min(static_cast<int32_t>(RoundHalfEven(3.0 * h / 4.0)), h - 2);
  const size_t words = (static_cast<size_t>(w) + 63) / 64;
  // Columns 1 .. w-2 vote; the first and last never do.
  DarkRow inner(words, ~uint64_t{0});
  inner[0] &= ~uint64_t{1};
  inner[static_cast<size_t>((w - 1) >> 6)] &= ~(uint64_t{1} << ((w - 1) & 63));
  DarkRow above(words), below(words);

  DarkRowReader reader(image, bitonal);
  Status s = reader.Begin(first, last + 2 - first);
  if (s != Status::Ok) return s;
  s = reader.Read(first, above);
  for (int32_t y = first; s == Status::Ok && y <= last; ++y) {
    s = reader.Read(y + 1, below);
    if (s != Status::Ok) break;
    const size_t before = votes.columns.size();
    for (size_t word = 0; word < words; ++word) {
      const uint64_t bits = above[word] & ~below[word] & inner[word];
      if (bits == 0) continue;
      for (uint64_t b = bits; b != 0; b &= b - 1)
        votes.columns.push_back(static_cast<int32_t>(word * 64 + static_cast<size_t>(__builtin_ctzll(b))));
    }
    if (votes.columns.size() != before) {
      votes.rowOf.push_back(y);
      votes.rowStart.push_back(before);
      const size_t n = votes.columns.size() - before;
      AddRowBlocks(y, votes.columns.data() + before, n, kCoarseWidth, votes.coarse);
      AddRowBlocks(y, votes.columns.data() + before, n, kFineWidth, votes.fine);
    }
    above.swap(below);
  }
  const Status unlocked = reader.End();
  if (s != Status::Ok) return s;
  votes.rowStart.push_back(votes.columns.size());
  return unlocked;
}

// The distances the votes of one angle can reach, with a margin for rounding: lo .. hi.
void DistanceSpan(int32_t width, const Votes& votes, int64_t distances, double s, double c, int64_t& lo,
                  int64_t& hi) {
  const double yMin = votes.rowOf.front(), yMax = votes.rowOf.back(), w = width;
  const double vMin = w + yMin * c - (s >= 0 ? w * s : 0.0), vMax = w + yMax * c - (s >= 0 ? 0.0 : w * s);
  lo = std::max<int64_t>(0, static_cast<int64_t>(std::floor(vMin)) - 2);
  hi = std::min<int64_t>(distances - 1, static_cast<int64_t>(std::ceil(vMax)) + 2);
}

// Neighbouring blocks often change the same distances; spread over kLanes interleaved copies of
// the changes, their read-modify-writes do not wait for each other.
constexpr size_t kLanes = 4;

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Four integers as doubles (exactly).
__attribute__((target("avx2"))) inline __m256d Doubles(const int32_t* p) {
  return _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The ranges of blocks 0 .. 4k-1, as the plain loop below works them out (separate multiply and
// subtract, no fused multiply-add, so that the products round alike); returns how many it took.
template <typename Counter>
__attribute__((target("avx2"))) size_t ChangeRangesAvx2(int32_t width, const BlockTable& t, const int32_t* far,
                                                      const int32_t* near, double s, double c, int64_t lo,
                                                      int64_t span, Counter* change) {
  const size_t n = t.count.size() / 4 * 4;
  const __m256d vs = _mm256_set1_pd(s), vc = _mm256_set1_pd(c), w = _mm256_set1_pd(static_cast<double>(width));
  const __m256d magic = _mm256_set1_pd(6755399441055744.0);
  const __m256i lowDwords = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
  const __m128i low = _mm_set1_epi32(static_cast<int32_t>(lo)), zero = _mm_setzero_si128();
  const __m128i last = _mm_set1_epi32(static_cast<int32_t>(span - 1));
  auto ranges = [&](const int32_t* y, const int32_t* x, size_t k) __attribute__((target("avx2"))) {
    const __m256d t0 = _mm256_add_pd(
        _mm256_sub_pd(_mm256_add_pd(w, _mm256_mul_pd(Doubles(y + k), vc)), _mm256_mul_pd(Doubles(x + k), vs)), magic);
    const __m128i d = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(_mm256_castpd_si256(t0), lowDwords));
    return _mm_min_epi32(_mm_max_epi32(_mm_sub_epi32(d, low), zero), last);
  };
  alignas(16) int32_t d0[4], d1[4];
  for (size_t k = 0; k < n; k += 4) {
    _mm_store_si128(reinterpret_cast<__m128i*>(d0), ranges(t.yMin.data(), far, k));
    _mm_store_si128(reinterpret_cast<__m128i*>(d1), ranges(t.yMax.data(), near, k));
    for (size_t j = 0; j < 4; ++j) {
      change[static_cast<size_t>(d0[j]) * kLanes + j] += static_cast<Counter>(t.count[k + j]);
      change[(static_cast<size_t>(d1[j]) + 1) * kLanes + j] -= static_cast<Counter>(t.count[k + j]);
    }
  }
  return n;
}
#endif

// An upper bound of the votes of any cell of one angle, from the blocks alone: a distance is
// monotonic in x and in y, so the pixels of a block fall between the distances of its extreme
// corners, and a cell gets at most the counts of the blocks whose range holds it. Far from the
// page's angle the bound lies well below the strongest cells, so that angle need not be counted.
// Counter is a type that holds the total of all votes.
template <typename Counter>
uint32_t StrongestPossible(int32_t width, const Votes& votes, const BlockTable& blocks, int64_t distances, double s,
                           double c, std::vector<Counter>& change) {
  int64_t lo = 0, hi = 0;
  DistanceSpan(width, votes, distances, s, c, lo, hi);
  if (hi < lo) return 0;
  const int64_t span = hi - lo + 1;
  change.assign((static_cast<size_t>(span) + 1) * kLanes, 0);
  // Smallest distance at the top row and the column farthest along the sine, largest at the
  // bottom row and the nearest column.
  const int32_t* far = s >= 0 ? blocks.xMax.data() : blocks.xMin.data();
  const int32_t* near = s >= 0 ? blocks.xMin.data() : blocks.xMax.data();
  size_t k = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (span < INT32_MAX && __builtin_cpu_supports("avx2"))
    k = ChangeRangesAvx2(width, blocks, far, near, s, c, lo, span, change.data());
#endif
  for (; k < blocks.count.size(); ++k) {
    const double yMin = blocks.yMin[k], yMax = blocks.yMax[k], xFar = far[k], xNear = near[k];
    const int64_t d0 = std::clamp<int64_t>(RoundToInt(width + yMin * c - xFar * s) - lo, 0, span - 1);
    const int64_t d1 = std::clamp<int64_t>(RoundToInt(width + yMax * c - xNear * s) - lo, 0, span - 1);
    change[static_cast<size_t>(d0) * kLanes + k % kLanes] += static_cast<Counter>(blocks.count[k]);
    change[(static_cast<size_t>(d1) + 1) * kLanes + k % kLanes] -= static_cast<Counter>(blocks.count[k]);
  }
  int64_t running = 0, strongest = 0;
  for (int64_t d = 0; d < span; ++d) {
    const Counter* at = change.data() + static_cast<size_t>(d) * kLanes;
    running += int64_t{at[0]} + at[1] + at[2] + at[3];
    strongest = std::max(strongest, running);
  }
  return static_cast<uint32_t>(strongest);
}

// Counts the votes of a block of eight angles in one pass over the voting pixels: each pixel's
// distances for the eight angles are worked out together and go to eight separate tables, so
// neighbouring increments never wait for each other. Each table covers only the distances its
// angle can reach. Every distance is the same double expression, w + y cos - x sin, rounded half
// to even, whichever way it is computed.
class AngleBlockVoter {
 public:
  static constexpr int32_t kBlock = 8;

  AngleBlockVoter(int32_t width, const Votes& votes, int64_t distances)
      : width_(width), votes_(votes), distances_(distances) {}

  void Vote(const double* sines, const double* cosines) {
    for (int32_t a = 0; a < kBlock; ++a) {
      int64_t lo = 0, hi = 0;
      DistanceSpan(width_, votes_, distances_, sines[a], cosines[a], lo, hi);
      lowest_[a] = static_cast<int32_t>(lo);
      counts_[a].assign(static_cast<size_t>(std::max<int64_t>(0, hi - lo + 1)), 0u);
    }
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (__builtin_cpu_supports("avx2")) {
      VoteAvx2(sines, cosines);
      return;
    }
#endif
    VotePlain(sines, cosines);
  }

  const std::vector<uint32_t>& Counts(int32_t a) const { return counts_[static_cast<size_t>(a)]; }
  int64_t Lowest(int32_t a) const { return lowest_[static_cast<size_t>(a)]; }

 private:
  void VotePlain(const double* sines, const double* cosines) {
    uint32_t* table[kBlock];
    uint32_t span[kBlock];
    for (int32_t a = 0; a < kBlock; ++a) {
      table[a] = counts_[static_cast<size_t>(a)].data();
      span[a] = static_cast<uint32_t>(counts_[static_cast<size_t>(a)].size());
    }
    for (size_t r = 0; r < votes_.rowOf.size(); ++r) {
      double base[kBlock];
      for (int32_t a = 0; a < kBlock; ++a) base[a] = width_ + votes_.rowOf[r] * cosines[a];
      for (size_t k = votes_.rowStart[r]; k < votes_.rowStart[r + 1]; ++k) {
        const double x = votes_.columns[k];
        for (int32_t a = 0; a < kBlock; ++a) {
          const uint32_t d = static_cast<uint32_t>(RoundToInt(base[a] - x * sines[a]) - lowest_[a]);
          if (d < span[a]) ++table[a][d];
        }
      }
    }
  }

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // Separate multiply and subtract (no fused multiply-add), so the products round as above.
  __attribute__((target("avx2"))) void VoteAvx2(const double* sines, const double* cosines) {
    uint32_t* table[kBlock];
    uint32_t span[kBlock];
    for (int32_t a = 0; a < kBlock; ++a) {
      table[a] = counts_[static_cast<size_t>(a)].data();
      span[a] = static_cast<uint32_t>(counts_[static_cast<size_t>(a)].size());
    }
    const __m256d s0 = _mm256_loadu_pd(sines), s1 = _mm256_loadu_pd(sines + 4);
    const __m256d c0 = _mm256_loadu_pd(cosines), c1 = _mm256_loadu_pd(cosines + 4);
    const __m256d w = _mm256_set1_pd(static_cast<double>(width_)), magic = _mm256_set1_pd(6755399441055744.0);
    const __m256i lowDwords = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m256i lowest = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lowest_.data()));
    alignas(32) int32_t d[kBlock];
    for (size_t r = 0; r < votes_.rowOf.size(); ++r) {
      const __m256d y = _mm256_set1_pd(static_cast<double>(votes_.rowOf[r]));
      const __m256d b0 = _mm256_add_pd(w, _mm256_mul_pd(y, c0)), b1 = _mm256_add_pd(w, _mm256_mul_pd(y, c1));
      for (size_t k = votes_.rowStart[r]; k < votes_.rowStart[r + 1]; ++k) {
        const __m256d x = _mm256_set1_pd(static_cast<double>(votes_.columns[k]));
        const __m256d t0 = _mm256_add_pd(_mm256_sub_pd(b0, _mm256_mul_pd(x, s0)), magic);
        const __m256d t1 = _mm256_add_pd(_mm256_sub_pd(b1, _mm256_mul_pd(x, s1)), magic);
        const __m256i p0 = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(t0), lowDwords);
        const __m256i p1 = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(t1), lowDwords);
        const __m256i all = _mm256_inserti128_si256(p0, _mm256_castsi256_si128(p1), 1);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d), _mm256_sub_epi32(all, lowest));
        for (int32_t a = 0; a < kBlock; ++a)
          if (static_cast<uint32_t>(d[a]) < span[a]) ++table[a][static_cast<uint32_t>(d[a])];
      }
    }
  }
#endif

  int32_t width_;
  const Votes& votes_;
  int64_t distances_;
  std::array<int32_t, kBlock> lowest_{};
  std::array<std::vector<uint32_t>, kBlock> counts_;
};

}  // namespace

Status cAutoDeskew::Measure(platform::Bitmap& image) {
  skewAngle_ = 0.0;
  strongest_.clear();
  const int32_t w = image.Width(), h = image.Height();
  if (w < kMinimumSide || h < kMinimumSide) return Status::Aborted;
  if (int64_t{w} * 4 > INT32_MAX) return Status::OutOfMemory;  // one ARGB row must fit a lock
  try {
    std::array<double, kAngleCount> sines{}, cosines{};
    for (int32_t i = 0; i < kAngleCount; ++i) {
      const double radians = AngleOf(i) * kPi / 180.0;
      sines[static_cast<size_t>(i)] = std::sin(radians);
      cosines[static_cast<size_t>(i)] = std::cos(radians);
    }
    const bool bitonal = platform::BitsPerPixel(image.Format()) == 1;
    Votes v;
    Status s = CollectVotes(image, bitonal, v);
    if (s != Status::Ok) return s;
    if (v.columns.empty()) return Status::Ok;  // nothing dark above light: a blank page is straight

    // Distances run over 0 .. 2(W + H). Angles are counted strongest bound first, eight at a
    // time, until no angle left can reach the weakest of the ten cells kept: the kept cells are
    // then those of the full table, in its order (skipped cells all have fewer votes). An angle
    // no vote reaches is no evidence.
    const int64_t distances = 2 * (int64_t{w} + h) + 1;
    // The bounds' changes in 32 bits when all votes together fit (half the memory to clear and
    // to touch), else in 64.
    std::vector<int32_t> change32;
    std::vector<int64_t> change64;
    const bool narrow = v.columns.size() <= static_cast<size_t>(INT32_MAX);
    auto boundOf = [&](const BlockTable& blocks, int32_t i) {
      const double s = sines[static_cast<size_t>(i)], c = cosines[static_cast<size_t>(i)];
      return narrow ? StrongestPossible(w, v, blocks, distances, s, c, change32)
                    : StrongestPossible(w, v, blocks, distances, s, c, change64);
    };
    std::array<uint32_t, kAngleCount> bound{};
    std::array<bool, kAngleCount> refined{};
    std::vector<int32_t> pending;  // a heap, the largest bound on top
    for (int32_t i = 0; i < kAngleCount; ++i) {
      bound[static_cast<size_t>(i)] = boundOf(v.coarse, i);
      pending.push_back(i);
    }
    auto looser = [&](int32_t a, int32_t b) { return bound[static_cast<size_t>(a)] < bound[static_cast<size_t>(b)]; };
    std::make_heap(pending.begin(), pending.end(), looser);

    AngleBlockVoter voter(w, v, distances);
    std::vector<RankedCell> top;  // strongest first, at most kTopCells
    for (;;) {
      const uint32_t weakest = top.size() == kTopCells ? top.back().votes : 1;
      std::array<int32_t, AngleBlockVoter::kBlock> angles{};
      int32_t n = 0;
      while (n < AngleBlockVoter::kBlock && !pending.empty() && bound[static_cast<size_t>(pending.front())] >= weakest) {
        std::pop_heap(pending.begin(), pending.end(), looser);
        const int32_t i = pending.back();
        pending.pop_back();
        if (!refined[static_cast<size_t>(i)]) {  // a coarse bound in reach: look closer first
          refined[static_cast<size_t>(i)] = true;
          bound[static_cast<size_t>(i)] = std::min(bound[static_cast<size_t>(i)], boundOf(v.fine, i));
          pending.push_back(i);
          std::push_heap(pending.begin(), pending.end(), looser);
          continue;
        }
        angles[static_cast<size_t>(n++)] = i;
      }
      if (n == 0) break;
      std::array<double, AngleBlockVoter::kBlock> s8{}, c8{};
      for (int32_t a = 0; a < AngleBlockVoter::kBlock; ++a) {
        const size_t i = static_cast<size_t>(angles[static_cast<size_t>(std::min(a, n - 1))]);
        s8[static_cast<size_t>(a)] = sines[i];
        c8[static_cast<size_t>(a)] = cosines[i];
      }
      voter.Vote(s8.data(), c8.data());
      for (int32_t a = 0; a < n; ++a) {
        const std::vector<uint32_t>& counts = voter.Counts(a);
        const uint64_t lo = static_cast<uint64_t>(voter.Lowest(a)), i = static_cast<uint64_t>(angles[static_cast<size_t>(a)]);
        for (size_t k = 0; k < counts.size(); ++k) {
          const uint32_t votes = counts[k];
          if (votes == 0) continue;  // an empty cell is no evidence of any angle
          if (top.size() == kTopCells && votes < top.back().votes) continue;
          const RankedCell cell{votes, (lo + k) * kAngleCount + i};
          if (top.size() == kTopCells && !Stronger(cell, top.back())) continue;
          top.insert(std::upper_bound(top.begin(), top.end(), cell, Stronger), cell);
          if (top.size() > kTopCells) top.pop_back();
        }
      }
    }
    if (top.empty()) return Status::Ok;
    for (const RankedCell& cell : top)
      strongest_.push_back({cell.votes, static_cast<int64_t>(cell.index / kAngleCount),
                            static_cast<int32_t>(cell.index % kAngleCount)});

    double sum = 0, largest = -1e9, smallest = 1e9;
    for (const RankedCell& cell : top) {
      const double a = AngleOf(static_cast<int32_t>(cell.index % kAngleCount));
      sum += a;
      largest = std::max(largest, a);
      smallest = std::min(smallest, a);
    }
    const double spread = largest - smallest;
    const double mean = sum / static_cast<double>(top.size());
    if (spread < 4.0 && spread <= std::fabs(mean)) skewAngle_ = mean;
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    skewAngle_ = 0.0;
    strongest_.clear();
    return Status::OutOfMemory;
  }
}

}  // namespace tessivo
