#include "platform/graphics/texture_brush.h"

#include "platform/graphics/graphics.h"
#include "platform/graphics/pattern_source.h"
#include "platform/graphics/text_layout.h"

namespace tessivo::platform {
namespace {

constexpr int32_t kCairoSideLimit = 32767;

Status LoadTexture(const TextureBrush& brush, const Matrix& imageToWorld, PatternSource& source) {
  if (brush.image == nullptr || brush.image->Width() > kCairoSideLimit || brush.image->Height() > kCairoSideLimit)
    return Status::InvalidParameter;
  ResampleFilter filter;
  if (!FilterForInterpolationMode(brush.interpolation, filter)) return Status::InvalidParameter;
  const Bitmap& image = *brush.image;
  if (Status s = source.Load(image, Rect{0, 0, image.Width(), image.Height()}, nullptr); s != Status::Ok) return s;
  source.SetImageToSource(imageToWorld);
  source.SetSampling(filter == ResampleFilter::Nearest ? PatternSource::Sampling::Nearest
                                                       : PatternSource::Sampling::Bilinear);
  source.SetEdge(PatternSource::Edge::Repeat);
  return Status::Ok;
}

}  // namespace

// Texture pixel (i, j) lies where world pixel (i, j) does: world coordinates shifted by the
// pixel centre's offset under the current pixel offset mode.
Matrix Graphics::ImageToTexture() const {
  const bool halfOffset = pixelOffset_ == PixelOffsetMode::Half || pixelOffset_ == PixelOffsetMode::HighQuality;
  const double centre = halfOffset ? 0.0 : 0.5;
  return Matrix::Then(WorldToImage().Inverse(), Matrix::Translation(centre, centre));
}

Status Graphics::FillPath(const TextureBrush& brush, const GraphicsPath& path) {
  if (!transform_.Invertible()) return Status::InvalidParameter;
  PatternSource source;
  if (Status s = LoadTexture(brush, ImageToTexture(), source); s != Status::Ok) return s;
  return RenderPattern(path, source, nullptr, nullptr);
}

Status Graphics::DrawPath(const Pen& pen, const TextureBrush& brush, const GraphicsPath& path) {
  if (!transform_.Invertible()) return Status::InvalidParameter;
  PatternSource source;
  if (Status s = LoadTexture(brush, ImageToTexture(), source); s != Status::Ok) return s;
  return RenderPattern(path, source, &pen, nullptr);
}

Status Graphics::DrawString(const TextLayout& text, const TextureBrush& brush) {
  if (!transform_.Invertible()) return Status::InvalidParameter;
  PatternSource source;
  if (Status s = LoadTexture(brush, ImageToTexture(), source); s != Status::Ok) return s;
  return RenderPattern(text.Outline(), source, nullptr, nullptr, true);
}

}  // namespace tessivo::platform
