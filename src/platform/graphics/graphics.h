// Graphics: a drawing surface on a platform Bitmap of any pixel format, rendered by Cairo.
//
// Each draw works on the device-space bounding box of the shape, clipped to the bitmap and the
// clip rectangle, in tiles of at most kTileSize pixels a side (Cairo surfaces stop at 32767
// pixels, and tiles bound the scratch memory). A tile is read into a premultiplied 32-bit
// scratch, drawn on, and compared with what was read: only pixels that changed are written
// back, in the bitmap's own format (indexed bitmaps take the nearest palette entry); every
// other pixel keeps its bytes exactly (16-bit channels, partial alpha, duplicate palette
// entries). A draw that fails part-way restores what it wrote, so a failure writes nothing.
// An opaque solid colour drawn aliased needs no read: Cairo renders its coverage alone, and only
// covered pixels that do not already show the colour are written (tile_writer.h).
//
// Pixel model: pixel centres lie at integer coordinates. Without anti-aliasing a fill of the
// rectangle (x, y, w, h) sets exactly columns x..x+w−1 and rows y..y+h−1 (left and top edges
// inside, right and bottom outside), and a 1-px pen centred on x sets column x only, so a
// rectangle's 1-px outline covers columns x and x+w and rows y and y+h. With the pixel offset
// mode Half (or HighQuality) pixel centres move to half coordinates, as on the platform.
//
// Points more than 2^22 pixels away from the part of the image a draw touches are beyond the
// rasteriser's fixed-point range: such a draw is ValueOverflow and writes nothing (shapes wholly
// off the image are simply nothing to draw).
#pragma once
#include <cstdint>
#include <optional>

#include "platform/bitmap.h"
#include "platform/graphics/graphics_path.h"
#include "platform/graphics/matrix.h"
#include "platform/graphics/text_layout.h"
#include "platform/status.h"

namespace tessivo::platform {

class PatternSource;
struct ImageDrawOptions;  // graphics_image.h
struct DestinationPoints;
struct TextureBrush;      // texture_brush.h

enum class SmoothingMode : int32_t { Default = 0, HighSpeed = 1, HighQuality = 2, None = 3, AntiAlias = 4 };
enum class PixelOffsetMode : int32_t { Default = 0, HighSpeed = 1, HighQuality = 2, None = 3, Half = 4 };

// End caps: flat, square, round, triangle, and the filled arrow head (anchor) whose tip is
// the line's end point, 4 pen widths long and 4 wide (at least 4 px).
enum class LineCap : int32_t { Flat = 0, Square = 1, Round = 2, Triangle = 3, ArrowAnchor = 20 };

// Colours blended linearly from `from` (fromArgb) to `to` (toArgb) in world coordinates, the
// band repeating beyond both ends.
struct LinearGradient {
  PointF from, to;
  uint32_t fromArgb = 0, toArgb = 0;
};

struct Pen {
  uint32_t argb = 0xFF000000u;
  std::optional<LinearGradient> gradient;  // when set, the pen paints with it instead of argb
  float width = 1.0f;  // below 1 (including 0) draws 1 px wide
  LineCap startCap = LineCap::Flat;
  LineCap endCap = LineCap::Flat;
};

struct SolidBrush {
  uint32_t argb = 0xFF000000u;
};

// Fills with a linear gradient (linear_gradient.h builds the common ones).
struct LinearGradientBrush {
  LinearGradient gradient;
};

// How strings are rasterised: the single-bit hints draw aliased, the others anti-aliased.
enum class TextRenderingHint : int32_t {
  SystemDefault = 0,
  SingleBitPerPixelGridFit = 1,
  SingleBitPerPixel = 2,
  AntiAliasGridFit = 3,
  AntiAlias = 4,
  ClearTypeGridFit = 5,
};

// The gradient of an ellipse's path (world coordinates): along every ray from `centre`, the
// centre colour up to `focusScale` of the way to the ellipse's edge, then blending linearly
// to the surround colour at the edge.
struct EllipseGradientBrush {
  double left = 0, top = 0, width = 0, height = 0;
  PointF centre;
  uint32_t centreArgb = 0, surroundArgb = 0;
  double focusScale = 0;  // clamped to 0..1
};

class Graphics {
 public:
  static constexpr int32_t kTileSize = 4096;

  explicit Graphics(Bitmap& target) : target_(target) {}

  // HighQuality and AntiAlias turn anti-aliasing on; the other modes draw aliased.
  Status SetSmoothingMode(SmoothingMode mode);
  SmoothingMode GetSmoothingMode() const { return smoothing_; }
  Status SetPixelOffsetMode(PixelOffsetMode mode);
  PixelOffsetMode GetPixelOffsetMode() const { return pixelOffset_; }

  const Matrix& GetTransform() const { return transform_; }
  // A transform that cannot be inverted: InvalidParameter, unchanged.
  Status SetTransform(const Matrix& m);
  Status RotateTransform(double degrees, MatrixOrder order = MatrixOrder::Prepend);
  Status TranslateTransform(double dx, double dy, MatrixOrder order = MatrixOrder::Prepend);
  void ResetTransform() { transform_ = Matrix{}; }
  // Maps a device (image) point into world coordinates through the inverse transform.
  PointF DeviceToWorld(PointF device) const { return transform_.Inverse().Apply(device); }

  // The clip is a device rectangle (intersected with the previous one), or none.
  void IntersectClip(const Rect& device);
  void ResetClip() { clip_.reset(); }

  Status SetTextRenderingHint(TextRenderingHint hint);
  TextRenderingHint GetTextRenderingHint() const { return textHint_; }

  Status DrawPath(const Pen& pen, const GraphicsPath& path);
  Status FillPath(const SolidBrush& brush, const GraphicsPath& path);
  Status FillPath(const EllipseGradientBrush& brush, const GraphicsPath& path);
  Status FillPath(const LinearGradientBrush& brush, const GraphicsPath& path);

  // Strings laid out by TextLayout, filled with the brush under the text rendering hint.
  Status DrawString(const TextLayout& text, const SolidBrush& brush);
  Status DrawString(const TextLayout& text, const LinearGradientBrush& brush);

  // Images and textures (graphics_image.cpp, texture_brush.cpp; rules in their headers).
  Status DrawImage(const Bitmap& image, const Rect& sourceArea, const DestinationPoints& dest,
                   const ImageDrawOptions& options);
  Status FillPath(const TextureBrush& brush, const GraphicsPath& path);
  Status DrawPath(const Pen& pen, const TextureBrush& brush, const GraphicsPath& path);
  // A string painted with a texture, under the text rendering hint.
  Status DrawString(const TextLayout& text, const TextureBrush& brush);

 private:
  struct Job;
  Status Render(const Job& job);
  // Fills (pen null) or strokes `path` with `source`, optionally inside the world polygon `clip`;
  // `text` anti-aliases by the text rendering hint instead of the smoothing mode.
  Status RenderPattern(const GraphicsPath& path, const PatternSource& source, const Pen* pen,
                       const GraphicsPath* clip, bool text = false);
  // Image pixel coordinates (pixel k spans [k, k+1)) of world coordinates.
  Matrix WorldToImage() const;
  Matrix ImageToTexture() const;  // texture_brush.cpp

  Bitmap& target_;
  SmoothingMode smoothing_ = SmoothingMode::Default;
  PixelOffsetMode pixelOffset_ = PixelOffsetMode::Default;
  TextRenderingHint textHint_ = TextRenderingHint::SystemDefault;
  Matrix transform_;
  std::optional<Rect> clip_;
};

}  // namespace tessivo::platform
