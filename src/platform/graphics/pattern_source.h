// A raster source that a Graphics draw paints with instead of a colour: a premultiplied Cairo
// surface holding (part of) a bitmap, the map from image pixel coordinates (pixel k spans
// [k, k+1)) to surface pixels, how it is sampled and what lies beyond its edges. Images drawn
// into a rectangle extend their edge pixels outwards (so a scaled image keeps its colour up to
// its border instead of fading), textures repeat.
#pragma once
#include <cairo.h>

#include <cstdint>

#include "platform/bitmap.h"
#include "platform/graphics/image_attributes.h"
#include "platform/graphics/matrix.h"
#include "platform/status.h"

namespace tessivo::platform {

class PatternSource {
 public:
  enum class Sampling { Nearest, Bilinear };
  enum class Edge { Pad, Repeat };

  PatternSource() = default;
  ~PatternSource();
  PatternSource(const PatternSource&) = delete;
  PatternSource& operator=(const PatternSource&) = delete;

  // Copies `area` of `source` (inside it, non-empty, at most 32767 pixels a side) through the
  // attributes (null: none) into the surface. Failures: OutOfMemory or the mapped Cairo status.
  Status Load(const Bitmap& source, const Rect& area, const ImageAttributes* attributes);

  // Image pixel coordinates to source-bitmap pixel coordinates; the loaded area's offset is
  // taken care of here.
  void SetImageToSource(const Matrix& imageToSource) { imageToSource_ = imageToSource; }
  void SetSampling(Sampling s) { sampling_ = s; }
  void SetEdge(Edge e) { edge_ = e; }

  // Makes this the source of `cr`, whose device space is the image shifted by (-tileX, -tileY).
  void Apply(cairo_t* cr, int64_t tileX, int64_t tileY) const;

 private:
  cairo_surface_t* surface_ = nullptr;
  Rect area_;
  Matrix imageToSource_;
  Sampling sampling_ = Sampling::Bilinear;
  Edge edge_ = Edge::Pad;
};

}  // namespace tessivo::platform
