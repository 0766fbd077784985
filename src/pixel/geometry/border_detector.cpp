#include "pixel/geometry/border_detector.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace tessivo {
namespace {

using platform::Status;

// Matching pixels of every line along one axis, indexed from the front edge.
struct AxisCounts {
  std::vector<int64_t> matches;
  int32_t length = 0;  // pixels per line
};

struct AxisBorder {
  int32_t front = 0;
  int32_t back = 0;
};

AxisBorder ScanAxis(const AxisCounts& axis, const BorderScan& scan) {
  const int32_t n = static_cast<int32_t>(axis.matches.size());
  const int32_t skip = std::max(scan.skipLines, 0);
  auto isBorder = [&](int32_t i) {
    return static_cast<double>(axis.matches[static_cast<size_t>(i)]) * 100.0 / axis.length >= scan.confidence;
  };
  // The front edge never takes the last line, as the back edge never takes the front's lines
  // nor the one line left between them.
  int32_t t = skip;
  while (t < n - 1 && isBorder(t)) ++t;
  AxisBorder result;
  if (t > skip) {
    if (t == n - 1 && isBorder(n - 1)) return result;  // every tested line is border: nothing to cut
    result.front = t;
  }  // else no tested line joined: no border, the skipped lines stay
  int32_t u = skip;
  while (u < n - 1 - result.front && isBorder(n - 1 - u)) ++u;
  if (u > skip) result.back = u;
  return result;
}

}  // namespace

int32_t ToleranceForConfidence(int32_t confidence) {
  const double tolerance = (100.0 - static_cast<double>(confidence)) * 7.65;
  if (tolerance < 0) return -1;
  return static_cast<int32_t>(std::min(tolerance, 765.0));
}

Status CornerColor(platform::Bitmap& image, int32_t corner, uint32_t& argb) {
  const int32_t right = image.Width() - 1, bottom = image.Height() - 1;
  platform::Rect at{0, 0, 1, 1};
  if (corner == 2) at = {right, 0, 1, 1};
  if (corner == 3) at = {right, bottom, 1, 1};
  if (corner == 4) at = {0, bottom, 1, 1};
  uint32_t pixel = 0;
  platform::BitmapData data;
  data.scan0 = &pixel;
  data.stride = 4;
  Status s = image.LockBits(&at, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                            platform::kPixelFormat32bppARGB, data);
  if (s != Status::Ok) return s;
  s = image.UnlockBits(data);
  if (s == Status::Ok) argb = pixel;
  return s;
}

Status FindBorders(platform::Bitmap& image, const BorderScan& scan, BorderFrame& frame) {
  frame = BorderFrame{};
  const int32_t width = image.Width(), height = image.Height();
  if (width < kBorderMinimumSide || height < kBorderMinimumSide) return Status::Ok;
  if (int64_t{width} * 4 > INT32_MAX) return Status::OutOfMemory;

  AxisCounts rows, columns;
  rows.matches.assign(static_cast<size_t>(height), 0);
  rows.length = width;
  columns.matches.assign(static_cast<size_t>(width), 0);
  columns.length = height;

  const int32_t refR = (scan.reference >> 16) & 0xFF, refG = (scan.reference >> 8) & 0xFF,
                refB = scan.reference & 0xFF;
  // The image is read as ARGB in bands of rows, so the whole page never needs a second copy.
  const int32_t bandRows = std::max<int32_t>(1, std::min<int32_t>(height, (1 << 22) / width));
  std::vector<uint32_t> band(static_cast<size_t>(width) * static_cast<size_t>(bandRows));
  for (int32_t y0 = 0; y0 < height; y0 += bandRows) {
    const int32_t n = std::min(bandRows, height - y0);
    platform::Rect r{0, y0, width, n};
    platform::BitmapData data;
    data.scan0 = band.data();
    data.stride = width * 4;
    Status s = image.LockBits(&r, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                              platform::kPixelFormat32bppARGB, data);
    if (s != Status::Ok) return s;
    s = image.UnlockBits(data);
    if (s != Status::Ok) return s;
    for (int32_t y = 0; y < n; ++y) {
      const uint32_t* px = band.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
      int64_t inRow = 0;
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t p = px[x];
        const int32_t diff = std::abs(static_cast<int32_t>((p >> 16) & 0xFF) - refR) +
                             std::abs(static_cast<int32_t>((p >> 8) & 0xFF) - refG) +
                             std::abs(static_cast<int32_t>(p & 0xFF) - refB);
        const int match = diff <= scan.tolerance ? 1 : 0;
        inRow += match;
        columns.matches[static_cast<size_t>(x)] += match;
      }
      rows.matches[static_cast<size_t>(y0 + y)] = inRow;
    }
  }

  const AxisBorder vertical = ScanAxis(rows, scan);
  const AxisBorder horizontal = ScanAxis(columns, scan);
  frame.top = vertical.front;
  frame.bottom = vertical.back;
  frame.left = horizontal.front;
  frame.right = horizontal.back;
  return Status::Ok;
}

}  // namespace tessivo
