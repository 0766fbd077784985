// A DataMatrix symbol's border is fixed by its size alone: the left column and the bottom row
// are solid (the finder), the top row and the right column alternate dark and light starting
// dark at the finder's ends (the clock tracks), in every symbol size, whatever its data regions.
// So each standard size is laid over the four corners ZXing found, the border modules' centres
// are sampled, and the size whose expected border matches best wins. A wrong size samples the
// clock tracks out of step (about half of them wrong); the right one matches nearly all.
#include "matrix_size.h"

#include <algorithm>
#include <cmath>

namespace tvbarcode {
namespace {

struct PointD {
  double x, y;
};

struct Size {
  int rows, columns;
};

// Every size the standard defines (ECC 200): the squares, then the rectangles (rows < columns).
constexpr Size kSizes[] = {{10, 10},   {12, 12},   {14, 14},   {16, 16},   {18, 18},   {20, 20},   {22, 22},
                           {24, 24},   {26, 26},   {32, 32},   {36, 36},   {40, 40},   {44, 44},   {48, 48},
                           {52, 52},   {64, 64},   {72, 72},   {80, 80},   {88, 88},   {96, 96},   {104, 104},
                           {120, 120}, {132, 132}, {144, 144}, {8, 18},    {8, 32},    {12, 26},   {12, 36},
                           {16, 36},   {16, 48}};

// Below this share of matching border modules no size is reported.
constexpr double kMinimumMatch = 0.9;

uint8_t Luma(const TvbarcodeImage& image, double fx, double fy) {
  const int x = std::clamp(static_cast<int>(std::lround(fx)), 0, image.width - 1);
  const int y = std::clamp(static_cast<int>(std::lround(fy)), 0, image.height - 1);
  const uint8_t* p = image.pixels + static_cast<size_t>(y) * image.stride + static_cast<size_t>(x) * image.channels;
  if (image.channels == 1) return p[0];
  return static_cast<uint8_t>((p[0] * 114 + p[1] * 587 + p[2] * 299) / 1000);
}

// The symbol seen upright: its four corners with the finder's corner at bottom left.
struct Frame {
  PointD topLeft, topRight, bottomRight, bottomLeft;

  // The point at (u, v) of the unit square, u to the right and v downwards.
  PointD At(double u, double v) const {
    const PointD top{topLeft.x + (topRight.x - topLeft.x) * u, topLeft.y + (topRight.y - topLeft.y) * u};
    const PointD bottom{bottomLeft.x + (bottomRight.x - bottomLeft.x) * u,
                        bottomLeft.y + (bottomRight.y - bottomLeft.y) * u};
    return {top.x + (bottom.x - top.x) * v, top.y + (bottom.y - top.y) * v};
  }
};

// The share of border modules of `size` laid over `frame` that have the colour the border needs.
double BorderMatch(const TvbarcodeImage& image, const Frame& frame, Size size, int threshold) {
  int matching = 0, total = 0;
  const auto check = [&](int row, int column, bool dark) {
    const PointD p = frame.At((column + 0.5) / size.columns, (row + 0.5) / size.rows);
    matching += (Luma(image, p.x, p.y) < threshold) == dark;
    ++total;
  };
  for (int c = 0; c < size.columns; ++c) {
    check(size.rows - 1, c, true);  // bottom finder
    check(0, c, c % 2 == 0);        // top clock track
  }
  for (int r = 1; r < size.rows - 1; ++r) {
    check(r, 0, true);                                    // left finder
    check(r, size.columns - 1, (size.rows - 1 - r) % 2 == 0);  // right clock track
  }
  return total ? static_cast<double>(matching) / total : 0.0;
}

double Cross(PointD o, PointD a, PointD b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

}  // namespace

MatrixSize MeasureDataMatrix(const TvbarcodeImage& image, const ZXing::Position& corners) {
  PointD p[4];
  double minX = image.width, maxX = 0, minY = image.height, maxY = 0;
  for (int i = 0; i < 4; ++i) {
    p[i] = {static_cast<double>(corners[i].x), static_cast<double>(corners[i].y)};
    minX = std::min(minX, p[i].x), maxX = std::max(maxX, p[i].x);
    minY = std::min(minY, p[i].y), maxY = std::max(maxY, p[i].y);
  }
  if (maxX - minX < 8 || maxY - minY < 8) return {};
  // Dark and light: halfway between the darkest and lightest pixel of the symbol's bounds.
  int lo = 255, hi = 0;
  for (int y = static_cast<int>(minY); y <= static_cast<int>(maxY); ++y)
    for (int x = static_cast<int>(minX); x <= static_cast<int>(maxX); ++x) {
      const int l = Luma(image, x, y);
      lo = std::min(lo, l), hi = std::max(hi, l);
    }
  if (hi - lo < 48) return {};
  const int threshold = (lo + hi + 1) / 2;

  MatrixSize best;
  double bestMatch = kMinimumMatch;
  // Any of the four corners may be the finder's; the symbol's own "up" follows from it. Its two
  // neighbours are told apart by turning direction (the symbol is never mirrored).
  for (int k = 0; k < 4; ++k) {
    const PointD corner = p[k], a = p[(k + 1) % 4], b = p[(k + 3) % 4], across = p[(k + 2) % 4];
    const bool aIsRight = Cross(corner, a, b) < 0;
    const Frame frame{aIsRight ? b : a, across, aIsRight ? a : b, corner};
    for (const Size size : kSizes) {
      const double match = BorderMatch(image, frame, size, threshold);
      if (match > bestMatch) bestMatch = match, best = {size.rows, size.columns};
    }
  }
  return best;
}

}  // namespace tvbarcode
