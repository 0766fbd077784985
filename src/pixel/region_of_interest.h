// The region of interest of one cImaging instance: the whole image (mode 1, the initial state)
// or a stored rectangle (mode 2) that filters, adjustments and analyses are confined to.
#pragma once
#include <cstdint>

#include "pixel/filter_engine.h"

namespace tessivo {

class RegionOfInterest {
 public:
  static constexpr int32_t kWholeImage = 1;
  static constexpr int32_t kRectangle = 2;

  // A rectangle of all zeros leaves the region as it was.
  void Set(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left == 0 && top == 0 && width == 0 && height == 0) return;
    mode_ = kRectangle;
    zone_ = ZoneRect{left, top, width, height};
  }
  void Reset() {
    mode_ = kWholeImage;
    zone_ = ZoneRect{};
  }
  // The zone for an image of the given size: the whole image in mode 1 (remembered as the
  // current rectangle), else the stored rectangle unchanged, not clipped to the image.
  ZoneRect Refresh(int32_t imageWidth, int32_t imageHeight) {
    if (mode_ == kWholeImage) zone_ = ZoneRect{0, 0, imageWidth, imageHeight};
    return zone_;
  }
  // The rectangle recognition reads: the one SetROI gave while it is in force, else all zeros
  // (the whole image). In mode 1 the stored rectangle is whatever image a filter last refreshed
  // it for, which says nothing about the image read now.
  ZoneRect RecognitionArea() const { return mode_ == kRectangle ? zone_ : ZoneRect{}; }
  int32_t mode() const { return mode_; }
  const ZoneRect& zone() const { return zone_; }

 private:
  int32_t mode_ = kWholeImage;
  ZoneRect zone_{};
};

}  // namespace tessivo
