#include "platform/resample/affine_sample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/pixel_convert.h"
#include "platform/pixel_rows.h"
#include "platform/resample/working_rows.h"

namespace tessivo::platform {

namespace {

// The decoded source stays below this many bytes.
constexpr int64_t kMaxDecodedBytes = int64_t{1} << 31;

// The whole source decoded once into 8- or 16-bit channels (blue, green, red, alpha, not
// premultiplied): rotation reads it in every direction.
template <typename T>
struct Decoded {
  std::vector<T> channels;
  int32_t width = 0, height = 0;
  bool opaque = true;
  float max = 255.0f;
  const T* At(int32_t x, int32_t y) const {
    return &channels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
  }
};

template <typename T>
void Accumulate(const Decoded<T>& d, int32_t x, int32_t y, float weight, const float* background, float* acc) {
  if (x < 0 || y < 0 || x >= d.width || y >= d.height) {
    for (int c = 0; c < 4; ++c) acc[c] += weight * background[c];
    return;
  }
  const T* p = d.At(x, y);
  if (d.opaque) {
    for (int c = 0; c < 4; ++c) acc[c] += weight * static_cast<float>(p[c]);
    return;
  }
  const float a = static_cast<float>(p[3]);
  const float f = weight * a / d.max;
  for (int c = 0; c < 3; ++c) acc[c] += f * static_cast<float>(p[c]);
  acc[3] += weight * a;
}

#if defined(__SSE2__)
// The four 8-bit channels of a pixel as four floats.
inline __m128 PixelLanes(const uint8_t* p) {
  int32_t bits;
  std::memcpy(&bits, p, sizeof bits);
  const __m128i zero = _mm_setzero_si128();
  const __m128i bytes = _mm_cvtsi32_si128(bits);
  return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
}

// The taps × taps window inside an opaque 8-bit source, all four channels at once: the same
// products and sums in the same order as channel by channel, so the same floats come out.
inline void SampleInside(const uint8_t* p, size_t rowStep, int taps, const float* wx, const float* wy, float* acc) {
  __m128 sum = _mm_setzero_ps();
  for (int j = 0; j < taps; ++j, p += rowStep) {
    __m128 row = _mm_setzero_ps();
    for (int i = 0; i < taps; ++i) row = _mm_add_ps(row, _mm_mul_ps(_mm_set1_ps(wx[i]), PixelLanes(p + 4 * i)));
    sum = _mm_add_ps(sum, _mm_mul_ps(_mm_set1_ps(wy[j]), row));
  }
  _mm_storeu_ps(acc, sum);
}
#endif

template <typename T>
void SampleRows(const Decoded<T>& d, Bitmap& target, const AffineMap& m, ResampleFilter filter,
                const float* background, WorkingRowEncoder& encoder, WorkingRowDecoder* under) {
  const int32_t width = target.Width();
  std::vector<float> out(4 * static_cast<size_t>(width)), below(under != nullptr ? out.size() : 0);
  const int radius = filter == ResampleFilter::Nearest ? 0 : filter == ResampleFilter::Bilinear ? 1 : 2;
  for (int32_t ty = 0; ty < target.Height(); ++ty) {
    const double cy = ty + 0.5;
    for (int32_t tx = 0; tx < width; ++tx) {
      const double cx = tx + 0.5;
      // Source position in pixel-index space (pixel centres on whole numbers).
      const double sx = m.xx * cx + m.xy * cy + m.x0 - 0.5;
      const double sy = m.yx * cx + m.yy * cy + m.y0 - 0.5;
      float* acc = &out[4 * static_cast<size_t>(tx)];
      acc[0] = acc[1] = acc[2] = acc[3] = 0.0f;
      if (!(sx > -radius - 1.0 && sy > -radius - 1.0 && sx < d.width + radius && sy < d.height + radius)) {
        for (int c = 0; c < 4; ++c) acc[c] = background[c];
        continue;
      }
      if (radius == 0) {
        Accumulate(d, static_cast<int32_t>(std::floor(sx + 0.5)), static_cast<int32_t>(std::floor(sy + 0.5)), 1.0f,
                   background, acc);
        continue;
      }
      const double fx0 = std::floor(sx), fy0 = std::floor(sy);
      const int32_t x0 = static_cast<int32_t>(fx0), y0 = static_cast<int32_t>(fy0);
      const double fx = sx - fx0, fy = sy - fy0;
      float wx[4], wy[4];
      if (radius == 1) {
        wx[0] = static_cast<float>(1.0 - fx), wx[1] = static_cast<float>(fx);
        wy[0] = static_cast<float>(1.0 - fy), wy[1] = static_cast<float>(fy);
      } else {
        for (int k = 0; k < 4; ++k) {
          wx[k] = static_cast<float>(CubicKernel(fx - (k - 1)));
          wy[k] = static_cast<float>(CubicKernel(fy - (k - 1)));
        }
      }
      const int taps = 2 * radius;
      const int32_t first = radius == 1 ? 0 : -1;
      if (d.opaque && x0 + first >= 0 && y0 + first >= 0 && x0 + first + taps <= d.width &&
          y0 + first + taps <= d.height) {
        // Inside the source: no background taps, no premultiplication.
        const size_t rowStep = 4 * static_cast<size_t>(d.width);
        const T* p = d.At(x0 + first, y0 + first);
#if defined(__SSE2__)
        if constexpr (sizeof(T) == 1) {
          SampleInside(p, rowStep, taps, wx, wy, acc);
          continue;
        }
#endif
        for (int j = 0; j < taps; ++j, p += rowStep) {
          float r[4] = {0, 0, 0, 0};
          for (int i = 0; i < taps; ++i)
            for (int c = 0; c < 4; ++c) r[c] += wx[i] * static_cast<float>(p[4 * i + c]);
          for (int c = 0; c < 4; ++c) acc[c] += wy[j] * r[c];
        }
        continue;
      }
      for (int j = 0; j < taps; ++j) {
        if (wy[j] == 0.0f) continue;
        for (int i = 0; i < taps; ++i) {
          if (wx[i] == 0.0f) continue;
          Accumulate(d, x0 + first + i, y0 + first + j, wx[i] * wy[j], background, acc);
        }
      }
    }
    if (under != nullptr) {
      // Source over: what the sample leaves uncovered shows the target's own pixel.
      under->Decode(target.Row(ty), 0, width, below.data());
      for (size_t i = 0; i < out.size(); i += 4) {
        const float keep = 1.0f - std::clamp(out[i + 3], 0.0f, d.max) / d.max;
        for (size_t c = 0; c < 4; ++c) out[i + c] += keep * below[i + c];
      }
    }
    encoder.Encode(out.data(), width, target.Row(ty), 0);
  }
}

template <typename T>
Status Run(const Bitmap& source, Bitmap& target, const AffineMap& map, ResampleFilter filter, uint32_t background,
           bool blendOver, bool wide) {
  WorkingRowDecoder decoder(source.Format(), source.GetPalette().entries, wide);
  WorkingRowEncoder encoder(target.Format(), target.GetPalette().entries, wide);
  Decoded<T> d;
  d.width = source.Width();
  d.height = source.Height();
  d.opaque = decoder.Opaque();
  d.max = decoder.Max();
  d.channels.resize(static_cast<size_t>(d.width) * static_cast<size_t>(d.height) * 4);
  // Straight (not premultiplied) values, premultiplied while sampling: premultiplying here
  // would lose precision at low alpha.
  PixelConverter straight(source.Format(), source.GetPalette().entries,
                          wide ? kPixelFormat64bppARGB : kPixelFormat32bppARGB, {});
  for (int32_t y = 0; y < d.height; ++y) {
    T* dst = &d.channels[static_cast<size_t>(y) * static_cast<size_t>(d.width) * 4];
    straight.ConvertRow(source.Row(y), 0, reinterpret_cast<uint8_t*>(dst), 0, d.width);
  }
  float bg[4];
  decoder.DecodeColor(background, bg);
  std::unique_ptr<WorkingRowDecoder> under;
  if (blendOver) under = std::make_unique<WorkingRowDecoder>(target.Format(), target.GetPalette().entries, wide);
  SampleRows(d, target, map, filter, bg, encoder, under.get());
  return Status::Ok;
}

// Nearest sampling between bitmaps of one format and palette copies pixel values exactly (an
// index stays the same index, premultiplied values are not re-rounded); the background is
// encoded once.
void CopyNearest(const Bitmap& source, Bitmap& target, const AffineMap& m, uint32_t background, bool wide) {
  const int bpp = BitsPerPixel(source.Format());
  const size_t bytes = static_cast<size_t>(bpp / 8);
  uint8_t fill[8] = {};
  WorkingRowDecoder colour(kPixelFormat32bppARGB, {}, wide);
  float bg[4];
  colour.DecodeColor(background, bg);
  WorkingRowEncoder(target.Format(), target.GetPalette().entries, wide).Encode(bg, 1, fill, 0);
  const uint32_t fillIndex = bpp < 8 ? rows::GetIndex(bpp, fill, 0) : 0;
  for (int32_t ty = 0; ty < target.Height(); ++ty) {
    uint8_t* dst = target.Row(ty);
    const double cy = ty + 0.5;
    for (int32_t tx = 0; tx < target.Width(); ++tx) {
      const double cx = tx + 0.5;
      const double sx = std::floor(m.xx * cx + m.xy * cy + m.x0);
      const double sy = std::floor(m.yx * cx + m.yy * cy + m.y0);
      const bool inside = sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height();
      const int32_t x = inside ? static_cast<int32_t>(sx) : 0, y = inside ? static_cast<int32_t>(sy) : 0;
      if (bpp < 8) {
        rows::PutIndex(bpp, dst, tx, inside ? rows::GetIndex(bpp, source.Row(y), x) : fillIndex);
      } else {
        std::memcpy(dst + static_cast<size_t>(tx) * bytes, inside ? source.Row(y) + static_cast<size_t>(x) * bytes : fill,
                    bytes);
      }
    }
  }
}

}  // namespace

Status SampleAffine(const Bitmap& source, Bitmap& target, const AffineMap& map, ResampleFilter filter,
                    uint32_t backgroundArgb, bool blendOver) {
  if (&source == &target) return Status::InvalidParameter;
  for (double v : {map.xx, map.xy, map.x0, map.yx, map.yy, map.y0})
    if (!std::isfinite(v)) return Status::InvalidParameter;
  const bool wide = NeedsWideWorkingRows(source.Format(), target.Format());
  const int64_t decodedBytes = int64_t{source.Width()} * source.Height() * (wide ? 8 : 4);
  if (decodedBytes > kMaxDecodedBytes || int64_t{target.Width()} * 16 > kMaxDecodedBytes) return Status::OutOfMemory;
  try {
    if (filter == ResampleFilter::Nearest && !blendOver && source.Format() == target.Format() &&
        (!IsIndexed(source.Format()) || source.GetPalette().entries == target.GetPalette().entries)) {
      CopyNearest(source, target, map, backgroundArgb, wide);
      return Status::Ok;
    }
    return wide ? Run<uint16_t>(source, target, map, filter, backgroundArgb, blendOver, true)
                : Run<uint8_t>(source, target, map, filter, backgroundArgb, blendOver, false);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessivo::platform
