#include "pixel/geometry/auto_deskew.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

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

// One cell of the accumulator: its votes and its place in distance-major order (d * 200 + i),
// which breaks ties between equal counts (the earlier cell first).
struct Cell {
  uint32_t votes = 0;
  uint64_t index = 0;
};

bool Stronger(const Cell& a, const Cell& b) { return a.votes != b.votes ? a.votes > b.votes : a.index < b.index; }

// The voting pixels of the scanned rows, one bit per column.
struct VoteMask {
  int32_t width = 0, firstRow = 0, rows = 0;
  size_t words = 0;  // per row
  std::vector<uint64_t> bits;
  void Set(int32_t row, int32_t x) {
    bits[static_cast<size_t>(row) * words + static_cast<size_t>(x >> 6)] |= uint64_t{1} << (x & 63);
  }
};

Status CollectVotes(platform::Bitmap& image, bool bitonal, VoteMask& mask) {
  const int32_t w = image.Width(), h = image.Height();
  // Rows round(H/4) .. round(3H/4), each compared with the row below it.
  const int32_t first = static_cast<int32_t>(RoundHalfEven(h / 4.0));
  const int32_t last = std::min(static_cast<int32_t>(RoundHalfEven(3.0 * h / 4.0)), h - 2);
  mask.width = w;
  mask.firstRow = first;
  mask.rows = last - first + 1;
  mask.words = (static_cast<size_t>(w) + 63) / 64;
  mask.bits.assign(mask.words * static_cast<size_t>(mask.rows), 0);

  // Read as ARGB in bands of rows; the last row of a band is kept to compare with the next.
  const int32_t bandRows = std::max<int32_t>(2, std::min<int32_t>(last + 2 - first, (1 << 20) / w + 1));
  std::vector<uint32_t> band(static_cast<size_t>(w) * static_cast<size_t>(bandRows));
  std::vector<uint8_t> above(static_cast<size_t>(w)), below(static_cast<size_t>(w));
  bool haveAbove = false;
  for (int32_t y0 = first; y0 <= last + 1; y0 += bandRows) {
    const int32_t n = std::min(bandRows, last + 2 - y0);
    platform::Rect r{0, y0, w, n};
    platform::BitmapData data;
    data.scan0 = band.data();
    data.stride = w * 4;
    Status s = image.LockBits(&r, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                              platform::kPixelFormat32bppARGB, data);
    if (s != Status::Ok) return s;
    s = image.UnlockBits(data);
    if (s != Status::Ok) return s;
    for (int32_t k = 0; k < n; ++k) {
      const uint32_t* px = band.data() + static_cast<size_t>(k) * static_cast<size_t>(w);
      for (int32_t x = 0; x < w; ++x) below[static_cast<size_t>(x)] = IsDark(px[x], bitonal) ? 1 : 0;
      if (haveAbove) {
        const int32_t row = y0 + k - 1 - first;
        for (int32_t x = 1; x <= w - 2; ++x)
          if (above[static_cast<size_t>(x)] && !below[static_cast<size_t>(x)]) mask.Set(row, x);
      }
      above.swap(below);
      haveAbove = true;
    }
  }
  return Status::Ok;
}

}  // namespace

Status cAutoDeskew::Measure(platform::Bitmap& image) {
  skewAngle_ = 0.0;
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
    VoteMask mask;
    Status s = CollectVotes(image, bitonal, mask);
    if (s != Status::Ok) return s;

    // Distances run over 0 .. 2(W + H). The accumulator is filled one angle at a time (one row
    // of distances in memory, not all 200), and the strongest cells are kept as they appear;
    // the order of the kept cells is the one of the full table.
    const int64_t distances = 2 * (int64_t{w} + h) + 1;
    std::vector<uint32_t> votes(static_cast<size_t>(distances));
    std::vector<Cell> top;  // strongest first, at most kTopCells
    for (int32_t i = 0; i < kAngleCount; ++i) {
      std::fill(votes.begin(), votes.end(), 0u);
      const double c = cosines[static_cast<size_t>(i)], sn = sines[static_cast<size_t>(i)];
      bool any = false;
      for (int32_t row = 0; row < mask.rows; ++row) {
        const uint64_t* bits = mask.bits.data() + static_cast<size_t>(row) * mask.words;
        const double base = w + (mask.firstRow + row) * c;
        for (size_t word = 0; word < mask.words; ++word) {
          for (uint64_t b = bits[word]; b != 0; b &= b - 1) {
            const int32_t x = static_cast<int32_t>(word * 64 + static_cast<size_t>(__builtin_ctzll(b)));
            const double d = RoundHalfEven(base - x * sn);
            if (d < 0 || d >= static_cast<double>(distances)) continue;
            ++votes[static_cast<size_t>(d)];
            any = true;
          }
        }
      }
      if (!any) continue;
      for (int64_t d = 0; d < distances; ++d) {
        const uint32_t v = votes[static_cast<size_t>(d)];
        if (v == 0) continue;  // an empty cell is no evidence of any angle
        const Cell cell{v, static_cast<uint64_t>(d) * kAngleCount + static_cast<uint64_t>(i)};
        if (top.size() == kTopCells && !Stronger(cell, top.back())) continue;
        top.insert(std::upper_bound(top.begin(), top.end(), cell, Stronger), cell);
        if (top.size() > kTopCells) top.pop_back();
      }
    }
    if (top.empty()) return Status::Ok;  // nothing dark above light: a blank page is straight

    double sum = 0, largest = -1e9, smallest = 1e9;
    for (const Cell& cell : top) {
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
    return Status::OutOfMemory;
  }
}

}  // namespace tessivo
