// Measuring the skew of a scanned page: a Hough transform over the lower edges of dark strokes
// (dark pixels above light ones) in the middle half of the rows, restricted to angles of
// -20..+19.8 degrees in steps of 0.2. The ten strongest (distance, angle) cells decide: when
// their angles agree within 4 degrees, and their spread is no larger than their mean, the mean
// is the skew; otherwise the page is taken as straight (0).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"
#include "platform/status.h"

namespace tessivo {

class cAutoDeskew {
 public:
  static constexpr double kMaximumAngle = 20.0;  // half the search range, degrees
  static constexpr double kAngleStep = 0.2;
  static constexpr int32_t kAngleCount = 200;  // 2 * kMaximumAngle / kAngleStep
  static constexpr int32_t kMinimumSide = 51;  // smaller images are not measured
  static constexpr int kTopCells = 10;

  // Angle of the i-th cell column in degrees (i = 0..199).
  static double AngleOf(int32_t i) { return (i - kAngleCount / 2) * kAngleStep; }

  // Measures `image` (any pixel format readable as ARGB). The angle is positive when the text
  // lines run down to the right (y grows downwards). An image with a side below kMinimumSide:
  // Aborted and angle 0; memory exhausted: OutOfMemory and angle 0.
  platform::Status Measure(platform::Bitmap& image);
  double SkewAngle() const { return skewAngle_; }

  // The strongest cells of the last measurement, strongest first (equal votes: smaller
  // distance, then smaller angle index first); at most kTopCells.
  struct Cell {
    uint32_t votes = 0;
    int64_t distance = 0;
    int32_t angleIndex = 0;
  };
  const std::vector<Cell>& StrongestCells() const { return strongest_; }

 private:
  double skewAngle_ = 0.0;
  std::vector<Cell> strongest_;
};

}  // namespace tessivo
