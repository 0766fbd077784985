// Two opposite edges of a DataMatrix symbol are solid (the finder) and the other two alternate
// dark and light once per module (the clock tracks), starting dark at the finder's corner. The
// number of dark runs along a clock track, doubled, is the module count of that side. The track
// is sampled on a line slightly inside the edge, tried at several depths, and a depth counts only
// when it lies well inside the first module row it implies.
#include "matrix_size.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace tvbarcode {
namespace {

struct PointD {
  double x, y;
};

uint8_t Luma(const TvbarcodeImage& image, double fx, double fy) {
  const int x = std::clamp(static_cast<int>(std::lround(fx)), 0, image.width - 1);
  const int y = std::clamp(static_cast<int>(std::lround(fy)), 0, image.height - 1);
  const uint8_t* p = image.pixels + static_cast<size_t>(y) * image.stride + static_cast<size_t>(x) * image.channels;
  if (image.channels == 1) return p[0];
  return static_cast<uint8_t>((p[0] * 114 + p[1] * 587 + p[2] * 299) / 1000);
}

// Dark runs along a..b, `depth` pixels towards `centre`.
int DarkRuns(const TvbarcodeImage& image, PointD a, PointD b, PointD centre, double depth) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (length < 4) return 0;
  double nx = -dy / length, ny = dx / length;
  const PointD mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
  if ((centre.x - mid.x) * nx + (centre.y - mid.y) * ny < 0) nx = -nx, ny = -ny;
  const int steps = static_cast<int>(length * 2);
  std::vector<uint8_t> samples;
  samples.reserve(steps + 1);
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    samples.push_back(Luma(image, a.x + dx * t + nx * depth, a.y + dy * t + ny * depth));
  }
  const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
  if (*hi - *lo < 48) return 1;  // one colour: a solid edge
  const int threshold = (*lo + *hi) / 2;
  int runs = 0;
  bool dark = false;
  for (uint8_t s : samples) {
    const bool d = s < threshold;
    if (d && !dark) ++runs;
    dark = d;
  }
  return runs;
}

bool ValidSide(int modules) { return modules >= 8 && modules <= 144 && modules % 2 == 0; }

// The most frequent plausible module count of the clock track between a and b.
int ClockModules(const TvbarcodeImage& image, PointD a, PointD b, PointD centre) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  std::map<int, int> votes;
  for (double depth = 0.5; depth <= std::min(24.0, length / 8); depth += 0.5) {
    const int modules = DarkRuns(image, a, b, centre, depth) * 2;
    if (!ValidSide(modules)) continue;
    const double module = length / modules;
    if (depth < 0.2 * module || depth > 0.8 * module) continue;
    ++votes[modules];
  }
  int best = 0, bestVotes = 0;
  for (auto [modules, count] : votes)
    if (count > bestVotes) best = modules, bestVotes = count;
  return best;
}

}  // namespace

MatrixSize MeasureDataMatrix(const TvbarcodeImage& image, const ZXing::Position& corners) {
  PointD p[4];
  PointD centre{0, 0};
  for (int i = 0; i < 4; ++i) {
    p[i] = {static_cast<double>(corners[i].x), static_cast<double>(corners[i].y)};
    centre.x += p[i].x / 4;
    centre.y += p[i].y / 4;
  }
  // Edges 0-1 and 2-3 span the columns, 1-2 and 3-0 the rows; of each pair, the clock track is
  // the one with the most runs (the finder edge has one).
  MatrixSize size;
  size.columns = std::max(ClockModules(image, p[0], p[1], centre), ClockModules(image, p[3], p[2], centre));
  size.rows = std::max(ClockModules(image, p[1], p[2], centre), ClockModules(image, p[0], p[3], centre));
  if (size.rows == 0 || size.columns == 0) size = {};
  return size;
}

}  // namespace tvbarcode
