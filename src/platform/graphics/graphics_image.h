// Drawing bitmaps on a Graphics surface.
//
// Graphics::DrawImage maps `sourceArea` of the image onto the parallelogram whose upper-left,
// upper-right and lower-left corners are dest[0], dest[1] and dest[2] (world coordinates); a
// rectangle (x, y, w, h) is (x, y), (x + w, y), (x, y + h) (see DestinationOf). Negative sizes,
// of the area or of the rectangle, mirror the image. The part of the area outside the image is
// not drawn. The parallelogram is filled like any path (so without anti-aliasing a rectangle
// covers exactly columns x..x+w−1 and rows y..y+h−1) and each pixel samples the image at its
// centre: drawn at its own size on whole pixels an image lands unchanged, and when image and
// target share their pixel format (and palette) such a copy keeps every byte, 16-bit channels
// included. Transparent pixels of the image are composited over the target.
//
// Interpolation, by the platform's modes: 5 nearest; 0, 1 and 3 bilinear; 4 bicubic; 2, 6 and 7
// prefiltered (the kernel widened by the reduction factor when shrinking). Bicubic and
// prefiltered draws first resample the image to its size on the target and place that result
// bilinearly; a result that would be larger than four times the target (a huge enlargement,
// mostly off the image) is drawn bilinear instead. Sampling clamps at the image's edges, so a
// scaled image keeps its edge colours up to its border rather than fading into the target.
//
// Sample positions are held in Cairo's 16.16 fixed point: under a large enlargement a nearest
// sample right at the seam between two source pixels may take its neighbour.
//
// Attributes (colour keys, remap tables) apply to the image's colours before any sampling. An
// optional clip polygon (world coordinates, alternate rule) is intersected with the surface's
// clip. The image may be the target itself: it is read from a copy taken before drawing.
//
// An interpolation mode outside 0..7, non-finite or collinear destination points and an empty
// area are InvalidParameter and draw nothing.
#pragma once
#include <cstdint>

#include "platform/graphics/graphics_path.h"
#include "platform/graphics/image_attributes.h"
#include "platform/graphics/matrix.h"
#include "platform/resample/resample_filter.h"

namespace tessivo::platform {

struct ImageDrawOptions {
  int32_t interpolation = kInterpolationBilinear;
  const ImageAttributes* attributes = nullptr;
  const GraphicsPath* clip = nullptr;
};

struct DestinationPoints {
  PointF points[3];
};

inline DestinationPoints DestinationOf(double x, double y, double width, double height) {
  return {{{x, y}, {x + width, y}, {x, y + height}}};
}

}  // namespace tessivo::platform
