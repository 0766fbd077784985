// cImaging: drawing registered images and image files on the native image.
#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/load_pipeline.h"
#include "imaging/texture_file.h"
#include "pixel/native_image.h"
#include "pixel/pixel_changes.h"
#include "pixel/transparency_keys.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_image.h"
#include "platform/graphics/texture_brush.h"
#include "platform/pixel_convert.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;

TessivoStatus AsStatus(pf::Status s) { return static_cast<TessivoStatus>(s); }

pf::Rect Whole(const pf::Bitmap& b) { return {0, 0, b.Width(), b.Height()}; }

// The image draw: bilinear-capable modes at half-pixel offset without smoothing (unless asked);
// a draw the platform cannot do that way is tried once more with nearest sampling.
pf::Status DrawOnce(pf::Graphics& g, const pf::Bitmap& source, const pf::Rect& area, const pf::DestinationPoints& dest,
                    pf::ImageDrawOptions options) {
  g.SetPixelOffsetMode(pf::PixelOffsetMode::Half);
  pf::Status s = g.DrawImage(source, area, dest, options);
  if (s == pf::Status::Ok || s == pf::Status::InvalidParameter) return s;
  g.SetPixelOffsetMode(pf::PixelOffsetMode::None);
  options.interpolation = pf::kInterpolationNearestNeighbor;
  return g.DrawImage(source, area, dest, options);
}

// Runs `body(target, source)` with the native image and the registered source, in that order
// of checks (no native image: GenericError; unknown source: InvalidParameter); marks the
// native image changed when the body succeeds.
template <typename Body>
TessivoStatus WithSource(ImagingState& state, int32_t sourceId, Body&& body) {
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    pf::Bitmap* target = NativeBitmap(state, failure);
    if (target == nullptr) return state.Set(failure);
    const pf::Bitmap* source = sourceId == 0 ? nullptr : ResolveImage(sourceId);
    if (source == nullptr) return state.Set(InvalidParameter);
    const TessivoStatus s = AsStatus(body(*target, *source));
    if (s == OK) NotePixelsChanged(state.nativeImage);
    return state.Set(s);
  });
}

pf::Status DrawArea(pf::Bitmap& target, const pf::Bitmap& source, const pf::Rect& area,
                    const pf::DestinationPoints& dest, int32_t mode, bool antiAlias = false,
                    const pf::GraphicsPath* clip = nullptr) {
  pf::Graphics g(target);
  g.SetSmoothingMode(antiAlias ? pf::SmoothingMode::AntiAlias : pf::SmoothingMode::None);
  pf::ImageDrawOptions options;
  options.interpolation = mode;
  options.clip = clip;
  return DrawOnce(g, source, area, dest, options);
}

bool ValidMode(int32_t mode) { return mode >= 0 && mode <= 7; }

// A 32bppARGB copy of the source changed by `adjust` (straight ARGB rows), drawn whole.
template <typename Adjust>
pf::Status DrawAdjustedCopy(pf::Bitmap& target, const pf::Bitmap& source, const pf::DestinationPoints& dest,
                            int32_t mode, Adjust&& adjust) {
  if (!ValidMode(mode)) return pf::Status::InvalidParameter;
  std::unique_ptr<pf::Bitmap> copy;
  if (pf::Status s = source.CloneArea(Whole(source), pf::kPixelFormat32bppARGB, copy); s != pf::Status::Ok) return s;
  for (int32_t y = 0; y < copy->Height(); ++y)
    adjust(std::span<uint32_t>(reinterpret_cast<uint32_t*>(copy->Row(y)), static_cast<size_t>(copy->Width())));
  return DrawArea(target, *copy, Whole(*copy), dest, mode);
}

// The source area drawn bilinear into a 32bppARGB temporary of the visible part of the
// destination rectangle, then combined byte-wise with the target's ARGB values there.
pf::Status DrawCombined(pf::Bitmap& target, const pf::Bitmap& source, const pf::Rect& area, int32_t left, int32_t top,
                        int32_t width, int32_t height, int32_t op) {
  if (width < 1 || height < 1 || op < OperatorAND || op > OperatorXOR) return pf::Status::InvalidParameter;
  if (area.width == 0 || area.height == 0) return pf::Status::InvalidParameter;
  const int64_t x0 = std::max<int64_t>(0, left), y0 = std::max<int64_t>(0, top);
  const int64_t x1 = std::min<int64_t>(target.Width(), int64_t{left} + width);
  const int64_t y1 = std::min<int64_t>(target.Height(), int64_t{top} + height);
  if (x0 >= x1 || y0 >= y1) return pf::Status::Ok;
  const auto vw = static_cast<int32_t>(x1 - x0), vh = static_cast<int32_t>(y1 - y0);
  std::unique_ptr<pf::Bitmap> drawn;
  if (pf::Status s = pf::Bitmap::Create(vw, vh, pf::kPixelFormat32bppARGB, drawn); s != pf::Status::Ok) return s;
  const pf::DestinationPoints dest =
      pf::DestinationOf(double(int64_t{left} - x0), double(int64_t{top} - y0), double(width), double(height));
  if (pf::Status s = DrawArea(*drawn, source, area, dest, pf::kInterpolationBilinear); s != pf::Status::Ok) return s;

  const std::vector<uint32_t>& palette = target.GetPalette().entries;
  pf::PixelConverter decode(target.Format(), palette, pf::kPixelFormat32bppARGB, {});
  pf::PixelConverter encode(pf::kPixelFormat32bppARGB, {}, target.Format(), palette);
  std::vector<uint32_t> before(static_cast<size_t>(vw)), after(before.size());
  for (int32_t r = 0; r < vh; ++r) {
    uint8_t* row = target.Row(static_cast<int32_t>(y0) + r);
    decode.ConvertRow(row, static_cast<int32_t>(x0), reinterpret_cast<uint8_t*>(before.data()), 0, vw);
    const auto* over = reinterpret_cast<const uint32_t*>(drawn->Row(r));
    for (int32_t i = 0; i < vw; ++i) {
      const uint32_t a = before[static_cast<size_t>(i)], b = over[i];
      after[static_cast<size_t>(i)] = op == OperatorAND ? (a & b) : op == OperatorOR ? (a | b) : (a ^ b);
    }
    // Only changed pixels are written, so the others keep their bytes (16-bit channels,
    // duplicate palette entries).
    for (int32_t i = 0; i < vw;) {
      if (after[static_cast<size_t>(i)] == before[static_cast<size_t>(i)]) {
        ++i;
        continue;
      }
      int32_t j = i;
      while (j < vw && after[static_cast<size_t>(j)] != before[static_cast<size_t>(j)]) ++j;
      encode.ConvertRow(reinterpret_cast<const uint8_t*>(after.data()), i, row, static_cast<int32_t>(x0) + i, j - i);
      i = j;
    }
  }
  return pf::Status::Ok;
}

}  // namespace

TessivoStatus cImaging::DrawImage(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                  int32_t nDstHeight, InterpolationMode nInterpolationMode) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    return DrawArea(target, source, Whole(source), pf::DestinationOf(nDstLeft, nDstTop, nDstWidth, nDstHeight),
                    nInterpolationMode);
  });
}

TessivoStatus cImaging::DrawImageRect(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                      int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop, int32_t nSrcWidth,
                                      int32_t nSrcHeight, InterpolationMode nInterpolationMode) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    return DrawArea(target, source, pf::Rect{nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight},
                    pf::DestinationOf(nDstLeft, nDstTop, nDstWidth, nDstHeight), nInterpolationMode);
  });
}

TessivoStatus cImaging::DrawImageClipped(int32_t nSrcImageID, const SafeArray<int32_t>& arPoints,
                                         InterpolationMode nInterpolationMode) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    if (arPoints.dims() != 1 || arPoints.size() % 2 != 0 || arPoints.size() < 6) return pf::Status::InvalidParameter;
    std::vector<pf::PointF> points;
    for (size_t i = 0; i < arPoints.size(); i += 2)
      points.push_back({double(arPoints.data()[i]), double(arPoints.data()[i + 1])});
    pf::GraphicsPath clip;
    clip.AddPolygon(points);
    return DrawArea(target, source, Whole(source), pf::DestinationOf(0, 0, source.Width(), source.Height()),
                    nInterpolationMode, false, &clip);
  });
}

TessivoStatus cImaging::DrawImageSkewing(int32_t nSrcImageID, int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2,
                                         int32_t nX3, int32_t nY3, InterpolationMode nInterpolationMode,
                                         bool bAntiAlias) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    const pf::DestinationPoints dest{{{double(nX1), double(nY1)}, {double(nX2), double(nY2)}, {double(nX3), double(nY3)}}};
    return DrawArea(target, source, Whole(source), dest, nInterpolationMode, bAntiAlias);
  });
}

TessivoStatus cImaging::DrawImageTransparency(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop,
                                              int32_t nDstWidth, int32_t nDstHeight, int32_t nTransparency,
                                              InterpolationMode nInterpolationMode) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    return DrawAdjustedCopy(target, source, pf::DestinationOf(nDstLeft, nDstTop, nDstWidth, nDstHeight),
                            nInterpolationMode, [&](std::span<uint32_t> row) { ScaleAlpha(row, nTransparency); });
  });
}

TessivoStatus cImaging::DrawImageTransparencyColor(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop,
                                                   int32_t nDstWidth, int32_t nDstHeight,
                                                   int32_t nTransparentColorARGB,
                                                   InterpolationMode nInterpolationMode) {
  return DrawImageTransparencyColorEx(nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nTransparentColorARGB,
                                      100, nInterpolationMode);
}

TessivoStatus cImaging::DrawImageTransparencyColorEx(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop,
                                                     int32_t nDstWidth, int32_t nDstHeight,
                                                     int32_t nTransparentColorARGB, int32_t nThreshold,
                                                     InterpolationMode nInterpolationMode) {
  // Distances beyond any colour difference (3 · 255) match everything anyway.
  const double k = std::clamp<double>(nThreshold, -1, 2048);
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    return DrawAdjustedCopy(target, source, pf::DestinationOf(nDstLeft, nDstTop, nDstWidth, nDstHeight),
                            nInterpolationMode, [&](std::span<uint32_t> row) {
                              KeyTransparentColour(row, static_cast<uint32_t>(nTransparentColorARGB), k);
                            });
  });
}

TessivoStatus cImaging::DrawImageOP(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                    int32_t nDstHeight, Operators nOperator) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    return DrawCombined(target, source, Whole(source), nDstLeft, nDstTop, nDstWidth, nDstHeight, nOperator);
  });
}

TessivoStatus cImaging::DrawImageOPRect(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                        int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop, int32_t nSrcWidth,
                                        int32_t nSrcHeight, Operators nOperator) {
  return WithSource(State(), nSrcImageID, [&](pf::Bitmap& target, const pf::Bitmap& source) {
    return DrawCombined(target, source, pf::Rect{nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight}, nDstLeft, nDstTop,
                        nDstWidth, nDstHeight, nOperator);
  });
}

TessivoStatus cImaging::DrawTexturedLine(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                                         const std::string& sTextureFilePath, bool bAntiAlias) {
  ImagingState& state = State();
  return GuardedStatus(state, [&] {
    TessivoStatus failure = OK;
    pf::Bitmap* target = NativeBitmap(state, failure);
    if (target == nullptr) return state.Set(failure);
    TextureFile texture;
    if (TessivoStatus s = texture.Load(state, sTextureFilePath); s != OK) return state.Set(s);
    const pf::Bitmap* image = texture.Image();
    pf::GraphicsPath path;
    path.AddLine({double(nX1), double(nY1)}, {double(nX2), double(nY2)});
    pf::Pen pen;
    pen.width = static_cast<float>(nPenWidth);
    pf::Graphics g(*target);
    g.SetSmoothingMode(bAntiAlias ? pf::SmoothingMode::AntiAlias : pf::SmoothingMode::None);
    const TessivoStatus s = AsStatus(g.DrawPath(pen, pf::TextureBrush{image, pf::kInterpolationBilinear}, path));
    if (s == OK) NotePixelsChanged(state.nativeImage);
    return state.Set(s);
  });
}

}  // namespace tessivo
