// Bitmap operations that build new pixels: area clones in another format, thumbnails and the
// eight rotate-flip transforms.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/bitmap.h"
#include "platform/conversion_palette.h"
#include "platform/pixel_convert.h"
#include "platform/pixel_rows.h"

namespace tessivo::platform {

namespace {

// Where destination pixel (dx, dy) of a rotate-flip reads its source pixel: source x and y are
// affine in dx and dy.
struct SourceMap {
  int64_t x0, xPerDx, xPerDy;  // sx = x0 + xPerDx*dx + xPerDy*dy
  int64_t y0, yPerDx, yPerDy;  // sy = y0 + yPerDx*dx + yPerDy*dy
};

SourceMap MapFor(RotateFlipType type, int64_t w, int64_t h) {
  switch (type) {
    case Rotate90FlipNone: return {0, 0, 1, h - 1, -1, 0};        // clockwise
    case Rotate180FlipNone: return {w - 1, -1, 0, h - 1, 0, -1};
    case Rotate270FlipNone: return {w - 1, 0, -1, 0, 1, 0};       // counter-clockwise
    case RotateNoneFlipX: return {w - 1, -1, 0, 0, 0, 1};
    case Rotate90FlipX: return {0, 0, 1, 0, 1, 0};                // transpose
    case Rotate180FlipX: return {0, 1, 0, h - 1, 0, -1};          // vertical flip
    case Rotate270FlipX: return {w - 1, 0, -1, h - 1, -1, 0};     // anti-transpose
    default: return {0, 1, 0, 0, 0, 1};
  }
}

// Box-filter weights of one axis: destination cell i covers source [i*s/d, (i+1)*s/d).
struct AxisSpan {
  int32_t first;
  std::vector<float> weights;  // coverage of source first, first+1, ...
};

std::vector<AxisSpan> AreaSpans(int32_t source, int32_t target) {
  std::vector<AxisSpan> spans(static_cast<size_t>(target));
  const double scale = static_cast<double>(source) / target;
  for (int32_t i = 0; i < target; ++i) {
    const double lo = i * scale, hi = std::min<double>(source, (i + 1) * scale);
    AxisSpan& span = spans[static_cast<size_t>(i)];
    span.first = std::min(static_cast<int32_t>(lo), source - 1);
    for (int32_t s = span.first; s < source && s < hi; ++s) {
      const double coverage = std::min<double>(hi, s + 1) - std::max<double>(lo, s);
      if (coverage > 0) span.weights.push_back(static_cast<float>(coverage / scale));
      else span.weights.push_back(0.0f);
    }
    if (span.weights.empty()) span.weights.push_back(1.0f);
  }
  return spans;
}

}  // namespace

Status Bitmap::CloneArea(const Rect& area, PixelFormat format, std::unique_ptr<Bitmap>& out) const {
  if (!IsValidPixelFormat(format) || !RectInside(area, width_, height_)) return Status::InvalidParameter;
  std::unique_ptr<Bitmap> copy;
  const Status status = Create(area.width, area.height, format, copy);
  if (status != Status::Ok) return status;
  try {
    if (IsIndexed(format)) copy->palette_ = ConversionPalette(*this, format);
    PixelConverter converter(format_, palette_.entries, format, copy->palette_.entries);
    for (int32_t y = 0; y < area.height; ++y) {
      converter.ConvertRow(Row(area.y + y), area.x, copy->Row(y), 0, area.width);
    }
    copy->dpiX_ = dpiX_;
    copy->dpiY_ = dpiY_;
    copy->properties_ = properties_;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  out = std::move(copy);
  return Status::Ok;
}

Status Bitmap::Thumbnail(int32_t width, int32_t height, std::unique_ptr<Bitmap>& out) const {
  if (width < 0 || height < 0) return Status::InvalidParameter;
  constexpr double kDefaultSide = 120.0;
  const double aspect = static_cast<double>(width_) / height_;
  if (width == 0 && height == 0) {
    if (width_ >= height_) width = static_cast<int32_t>(kDefaultSide);
    else height = static_cast<int32_t>(kDefaultSide);
  }
  // A side derived from the other may not fit 32 bits: that is an image too large to make.
  const auto derived = [](double side) {
    side = std::max(1.0, std::nearbyint(side));
    return side > INT32_MAX ? int32_t{-1} : static_cast<int32_t>(side);
  };
  if (width == 0) width = derived(height * aspect);
  if (height == 0) height = derived(width / aspect);
  if (width < 0 || height < 0) return Status::OutOfMemory;

  std::unique_ptr<Bitmap> thumb;
  const Status status = Create(width, height, kPixelFormat32bppPARGB, thumb);
  if (status != Status::Ok) return status;
  try {
    const std::vector<AxisSpan> xSpans = AreaSpans(width_, width);
    const std::vector<AxisSpan> ySpans = AreaSpans(height_, height);
    PixelConverter toArgb(format_, palette_.entries, kPixelFormat32bppARGB, {});
    std::vector<uint32_t> sourceRow(static_cast<size_t>(width_));
    // Horizontally reduced premultiplied rows (4 floats per target pixel), cached for the last
    // two source rows: consecutive target rows share at most their boundary row.
    std::vector<float> reduced[2] = {std::vector<float>(4 * static_cast<size_t>(width)),
                                     std::vector<float>(4 * static_cast<size_t>(width))};
    int32_t reducedRow[2] = {-1, -1};
    int next = 0;
    auto reducedFor = [&](int32_t sy) -> const float* {
      for (int k = 0; k < 2; ++k) {
        if (reducedRow[k] == sy) return reduced[k].data();
      }
      toArgb.ConvertRow(Row(sy), 0, reinterpret_cast<uint8_t*>(sourceRow.data()), 0, width_);
      float* acc = reduced[next].data();
      for (int32_t tx = 0; tx < width; ++tx) {
        const AxisSpan& span = xSpans[static_cast<size_t>(tx)];
        float a = 0, r = 0, g = 0, b = 0;
        for (size_t k = 0; k < span.weights.size(); ++k) {
          const uint32_t c = sourceRow[static_cast<size_t>(span.first) + k];
          const float alpha = static_cast<float>(c >> 24);
          const float weight = span.weights[k] * alpha / 255.0f;
          a += span.weights[k] * alpha;
          r += weight * static_cast<float>((c >> 16) & 0xFF);
          g += weight * static_cast<float>((c >> 8) & 0xFF);
          b += weight * static_cast<float>(c & 0xFF);
        }
        acc[4 * tx] = b;
        acc[4 * tx + 1] = g;
        acc[4 * tx + 2] = r;
        acc[4 * tx + 3] = a;
      }
      reducedRow[next] = sy;
      const float* result = acc;
      next ^= 1;
      return result;
    };
    std::vector<float> sum(4 * static_cast<size_t>(width));
    for (int32_t ty = 0; ty < height; ++ty) {
      std::fill(sum.begin(), sum.end(), 0.0f);
      const AxisSpan& span = ySpans[static_cast<size_t>(ty)];
      for (size_t k = 0; k < span.weights.size(); ++k) {
        const float* row = reducedFor(span.first + static_cast<int32_t>(k));
        for (size_t i = 0; i < sum.size(); ++i) sum[i] += span.weights[k] * row[i];
      }
      uint8_t* out8 = thumb->Row(ty);
      for (int32_t tx = 0; tx < width; ++tx) {
        const float alpha = std::clamp(std::nearbyint(sum[4 * tx + 3]), 0.0f, 255.0f);
        out8[4 * tx + 3] = static_cast<uint8_t>(alpha);
        for (int c = 0; c < 3; ++c) {
          // Averages of premultiplied values never exceed the averaged alpha.
          out8[4 * tx + c] = static_cast<uint8_t>(std::clamp(std::nearbyint(sum[4 * tx + c]), 0.0f, alpha));
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  out = std::move(thumb);
  return Status::Ok;
}

Status Bitmap::RotateFlip(RotateFlipType type) {
  if (type < RotateNoneFlipNone || type > Rotate270FlipX) return Status::InvalidParameter;
  if (lock_) return Status::WrongState;
  if (type == RotateNoneFlipNone) return Status::Ok;
  const bool swapsAxes = type == Rotate90FlipNone || type == Rotate270FlipNone || type == Rotate90FlipX ||
                         type == Rotate270FlipX;
  const int32_t newWidth = swapsAxes ? height_ : width_;
  const int32_t newHeight = swapsAxes ? width_ : height_;
  const int32_t newStride = StrideFor(format_, newWidth);
  if (newStride < 0 || static_cast<int64_t>(newStride) * newHeight > kMaxPixelBytes) return Status::OutOfMemory;

  PixelBuffer pixels;
  if (!pixels.Allocate(static_cast<size_t>(newStride) * static_cast<size_t>(newHeight))) return Status::OutOfMemory;
  const SourceMap m = MapFor(type, width_, height_);
  const int bpp = BitsPerPixel(format_);
  const intptr_t pixelBytes = bpp / 8;
  for (int32_t dy = 0; dy < newHeight; ++dy) {
    uint8_t* dst = pixels.data() + static_cast<size_t>(dy) * static_cast<size_t>(newStride);
    const int64_t sx0 = m.x0 + m.xPerDy * dy, sy0 = m.y0 + m.yPerDy * dy;
    if (bpp < 8) {
      for (int32_t dx = 0; dx < newWidth; ++dx) {
        const int64_t sx = sx0 + m.xPerDx * dx, sy = sy0 + m.yPerDx * dx;
        rows::PutIndex(bpp, dst, dx,
                       rows::GetIndex(bpp, Row(static_cast<int32_t>(sy)), static_cast<int32_t>(sx)));
      }
      continue;
    }
    // Walk the source with a constant byte step per destination pixel.
    const uint8_t* src = Row(static_cast<int32_t>(sy0)) + sx0 * pixelBytes;
    const intptr_t step = static_cast<intptr_t>(m.xPerDx) * pixelBytes + static_cast<intptr_t>(m.yPerDx) * stride_;
    switch (pixelBytes) {
      case 1:
        for (int32_t dx = 0; dx < newWidth; ++dx, src += step) dst[dx] = *src;
        break;
      case 2:
        for (int32_t dx = 0; dx < newWidth; ++dx, src += step) std::memcpy(dst + 2 * dx, src, 2);
        break;
      case 3:
        for (int32_t dx = 0; dx < newWidth; ++dx, src += step) std::memcpy(dst + 3 * dx, src, 3);
        break;
      case 4:
        for (int32_t dx = 0; dx < newWidth; ++dx, src += step) std::memcpy(dst + 4 * dx, src, 4);
        break;
      default:
        for (int32_t dx = 0; dx < newWidth; ++dx, src += step) std::memcpy(dst + pixelBytes * dx, src, pixelBytes);
    }
  }

  if (!OwnsPixels() && !swapsAxes) {
    // Caller memory keeps its shape under flips and half turns: write the result in place,
    // pixel-exact so the caller's bits beyond the last pixel of a packed row stay as they were.
    PixelConverter copy(format_, palette_.entries, format_, palette_.entries);
    for (int32_t y = 0; y < height_; ++y) {
      copy.ConvertRow(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(newStride), 0, Row(y), 0, width_);
    }
    return Status::Ok;
  }
  // Quarter turns of caller memory cannot keep its layout: the bitmap takes its own pixels.
  owned_.swap(pixels);
  width_ = newWidth;
  height_ = newHeight;
  stride_ = newStride;
  scan0_ = owned_.data();
  return Status::Ok;
}

}  // namespace tessivo::platform
