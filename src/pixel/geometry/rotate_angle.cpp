#include "pixel/geometry/rotate_angle.h"

#include <cmath>
#include <utility>

#include "platform/resample/affine_sample.h"

namespace tessivo {

namespace {

constexpr double kPi = 3.141592657;  // the toolkit's historical value, kept for identical canvases

struct Turn {
  double cos, sin;
  int quarter;  // 0..3 for whole quarter turns, -1 otherwise
};

Turn TurnFor(float angle) {
  // fmod is exact, so whole turns vanish without rounding, also for huge angles.
  const double turn = std::fmod(static_cast<double>(angle), 360.0);
  if (std::fmod(turn, 90.0) == 0.0) {
    // Exact values: a quarter turn must land every pixel on a pixel.
    const int q = (static_cast<int>(turn / 90.0) + 4) % 4;
    static constexpr double kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
    return {kCos[q], kSin[q], q};
  }
  const double a = turn * kPi / 180.0;
  return {std::cos(a), std::sin(a), -1};
}

bool CanvasSide(double side, int32_t& out) {
  // A hair below a whole number is rounding noise of sin/cos, not a partial pixel.
  side = std::ceil(side - 1e-9);
  if (!(side <= static_cast<double>(INT32_MAX))) return false;
  out = side < 1.0 ? 1 : static_cast<int32_t>(side);
  return true;
}

}  // namespace

bool FitCanvasSize(int32_t width, int32_t height, float angle, int32_t& canvasWidth, int32_t& canvasHeight) {
  if (!std::isfinite(angle)) return false;
  const Turn t = TurnFor(angle);
  const double c = std::fabs(t.cos), s = std::fabs(t.sin);
  return CanvasSide(s * height + c * width, canvasWidth) && CanvasSide(s * width + c * height, canvasHeight);
}

platform::Status RotateCopy(const platform::Bitmap& image, float angle, uint32_t backgroundArgb,
                            RotationCanvas canvas, std::unique_ptr<platform::Bitmap>& out) {
  if (!std::isfinite(angle)) return platform::Status::InvalidParameter;
  const Turn t = TurnFor(angle);
  const int32_t w = image.Width(), h = image.Height();
  std::unique_ptr<platform::Bitmap> result;
  platform::Status s;
  if (canvas == RotationCanvas::Fit && t.quarter >= 0) {
    // The platform's own quarter turn: the same pixels, no resampling.
    // An exact copy (a same-format conversion would tidy premultiplied values); the copy is a
    // new image, not another view of the source's frames.
    s = image.Clone(result);
    if (s != platform::Status::Ok) return s;
    result->SetFrameSource(nullptr);
    static constexpr platform::RotateFlipType kTurns[4] = {platform::RotateNoneFlipNone, platform::Rotate90FlipNone,
                                                           platform::Rotate180FlipNone, platform::Rotate270FlipNone};
    s = result->RotateFlip(kTurns[t.quarter]);
    if (s != platform::Status::Ok) return s;
    for (const platform::PropertyItem& item : image.Properties()) result->RemoveProperty(item.id);
  } else {
    int32_t cw = w, ch = h;
    if (canvas == RotationCanvas::Fit && !FitCanvasSize(w, h, angle, cw, ch)) return platform::Status::OutOfMemory;
    s = platform::Bitmap::Create(cw, ch, image.Format(), result);
    if (s != platform::Status::Ok) return s;
    if (platform::IsIndexed(image.Format())) {
      s = result->SetPalette(image.GetPalette());
      if (s != platform::Status::Ok) return s;
    }
    // Target position p maps back to the source through the inverse rotation.
    platform::AffineMap m;
    m.xx = t.cos, m.xy = t.sin, m.yx = -t.sin, m.yy = t.cos;
    if (canvas != RotationCanvas::KeepSizeCorner) {
      const double hx = cw / 2.0, hy = ch / 2.0;
      m.x0 = -t.cos * hx - t.sin * hy + w / 2.0;
      m.y0 = t.sin * hx - t.cos * hy + h / 2.0;
    }
    const platform::ResampleFilter filter =
        t.quarter >= 0 ? platform::ResampleFilter::Nearest : platform::ResampleFilter::Bilinear;
    s = platform::SampleAffine(image, *result, m, filter, backgroundArgb);
    if (s != platform::Status::Ok) return s;
  }
  result->SetResolution(image.HorizontalResolution(), image.VerticalResolution());
  result->SetFlags(image.Flags());
  result->SetRawFormat(image.GetRawFormat());
  out = std::move(result);
  return platform::Status::Ok;
}

}  // namespace tessivo
