#include "conversions.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace tvimg {
namespace {

// Every conversion reads rows as red, green, blue, alpha floats: standard samples scaled to
// 0..1, floating-point samples as they are.
void ReadRow(const tvimg_bitmap& b, uint32_t memoryRow, float* out) {
  const uint8_t* row = b.bits.data() + static_cast<size_t>(memoryRow) * b.pitch;
  const uint32_t w = b.width;
  switch (b.type) {
    case TVIMG_TYPE_BITMAP:
      if (b.bpp <= 8) {
        for (uint32_t x = 0; x < w; ++x) {
          const uint32_t index = b.bpp == 8   ? row[x]
                                 : b.bpp == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F
                                              : (row[x / 8] >> (7 - x % 8)) & 1;
          const uint8_t* e = b.palette.data() + 4 * index;
          out[4 * x] = e[2] / 255.f;
          out[4 * x + 1] = e[1] / 255.f;
          out[4 * x + 2] = e[0] / 255.f;
          out[4 * x + 3] = index < b.transparency.size() ? b.transparency[index] / 255.f : 1.f;
        }
      } else {
        const uint32_t step = b.bpp / 8;
        for (uint32_t x = 0; x < w; ++x) {
          const uint8_t* p = row + x * step;
          out[4 * x] = p[2] / 255.f;
          out[4 * x + 1] = p[1] / 255.f;
          out[4 * x + 2] = p[0] / 255.f;
          out[4 * x + 3] = step == 4 ? p[3] / 255.f : 1.f;
        }
      }
      return;
    case TVIMG_TYPE_UINT16: {
      const auto* p = reinterpret_cast<const uint16_t*>(row);
      for (uint32_t x = 0; x < w; ++x) {
        out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = p[x] / 65535.f;
        out[4 * x + 3] = 1.f;
      }
      return;
    }
    case TVIMG_TYPE_RGB16:
    case TVIMG_TYPE_RGBA16: {
      const auto* p = reinterpret_cast<const uint16_t*>(row);
      const uint32_t n = b.type == TVIMG_TYPE_RGBA16 ? 4 : 3;
      for (uint32_t x = 0; x < w; ++x) {
        for (uint32_t c = 0; c < 3; ++c) out[4 * x + c] = p[n * x + c] / 65535.f;
        out[4 * x + 3] = n == 4 ? p[n * x + 3] / 65535.f : 1.f;
      }
      return;
    }
    case TVIMG_TYPE_FLOAT: {
      const auto* p = reinterpret_cast<const float*>(row);
      for (uint32_t x = 0; x < w; ++x) {
        out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = p[x];
        out[4 * x + 3] = 1.f;
      }
      return;
    }
    case TVIMG_TYPE_RGBF:
    case TVIMG_TYPE_RGBAF: {
      const auto* p = reinterpret_cast<const float*>(row);
      const uint32_t n = b.type == TVIMG_TYPE_RGBAF ? 4 : 3;
      for (uint32_t x = 0; x < w; ++x) {
        for (uint32_t c = 0; c < 3; ++c) out[4 * x + c] = p[n * x + c];
        out[4 * x + 3] = n == 4 ? p[n * x + 3] : 1.f;
      }
      return;
    }
    default:
      std::fill(out, out + 4 * w, 0.f);
  }
}

bool Readable(const tvimg_bitmap& b) {
  switch (b.type) {
    case TVIMG_TYPE_BITMAP:
      return b.bpp == 1 || b.bpp == 4 || b.bpp == 8 || b.bpp == 24 || b.bpp == 32;
    case TVIMG_TYPE_UINT16: case TVIMG_TYPE_RGB16: case TVIMG_TYPE_RGBA16:
    case TVIMG_TYPE_FLOAT: case TVIMG_TYPE_RGBF: case TVIMG_TYPE_RGBAF:
      return true;
    default:
      return false;
  }
}

uint8_t ToByte(float v) {
  if (!(v > 0)) return 0;  // NaN too
  if (v >= 1) return 255;
  return static_cast<uint8_t>(v * 255.f + 0.5f);
}
uint16_t ToWord(float v) {
  if (!(v > 0)) return 0;
  if (v >= 1) return 65535;
  return static_cast<uint16_t>(v * 65535.f + 0.5f);
}

// A new bitmap of `bpp`/`type` whose rows are written by `write` from the source's float rows,
// optionally passing through `map` (used to stretch floating-point ranges).
template <typename Write>
BitmapPtr Transform(const tvimg_bitmap& source, uint32_t bpp, int32_t type, Write write) {
  if (!Readable(source)) return nullptr;
  BitmapPtr out = AllocateBitmap(source.width, source.height, bpp, type);
  if (!out) return nullptr;
  CopyAttributes(source, *out);
  std::vector<float> row(static_cast<size_t>(source.width) * 4);
  for (uint32_t y = 0; y < source.height; ++y) {
    ReadRow(source, y, row.data());
    write(row.data(), out->bits.data() + static_cast<size_t>(y) * out->pitch, source.width);
  }
  return out;
}

void WriteBgr(const float* in, uint8_t* out, uint32_t w) {
  for (uint32_t x = 0; x < w; ++x) {
    out[3 * x] = ToByte(in[4 * x + 2]);
    out[3 * x + 1] = ToByte(in[4 * x + 1]);
    out[3 * x + 2] = ToByte(in[4 * x]);
  }
}
void WriteBgra(const float* in, uint8_t* out, uint32_t w) {
  for (uint32_t x = 0; x < w; ++x) {
    out[4 * x] = ToByte(in[4 * x + 2]);
    out[4 * x + 1] = ToByte(in[4 * x + 1]);
    out[4 * x + 2] = ToByte(in[4 * x]);
    out[4 * x + 3] = ToByte(in[4 * x + 3]);
  }
}
float Luma(const float* p) { return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]; }

// Floating-point samples stretched from their own range to 0..1, in place on a float copy.
BitmapPtr StretchedCopy(const tvimg_bitmap& source) {
  float lo = std::numeric_limits<float>::max(), hi = std::numeric_limits<float>::lowest();
  std::vector<float> row(static_cast<size_t>(source.width) * 4);
  for (uint32_t y = 0; y < source.height; ++y) {
    ReadRow(source, y, row.data());
    for (uint32_t x = 0; x < source.width; ++x)
      for (uint32_t c = 0; c < 3; ++c) {
        const float v = row[4 * x + c];
        if (std::isfinite(v)) {
          lo = std::min(lo, v);
          hi = std::max(hi, v);
        }
      }
  }
  const float range = hi > lo ? hi - lo : 1.f;
  const bool alpha = source.type == TVIMG_TYPE_RGBAF;
  return Transform(source, alpha ? 128 : 96, alpha ? TVIMG_TYPE_RGBAF : TVIMG_TYPE_RGBF,
                   [&](const float* in, uint8_t* out, uint32_t w) {
                     auto* o = reinterpret_cast<float*>(out);
                     const uint32_t n = alpha ? 4 : 3;
                     for (uint32_t x = 0; x < w; ++x) {
                       for (uint32_t c = 0; c < 3; ++c) o[n * x + c] = (in[4 * x + c] - lo) / range;
                       if (alpha) o[n * x + 3] = in[4 * x + 3];
                     }
                   });
}

}  // namespace

BitmapPtr ConvertTo24Bits(const tvimg_bitmap& source) {
  return Transform(source, 24, TVIMG_TYPE_BITMAP, WriteBgr);
}

BitmapPtr ConvertTo32Bits(const tvimg_bitmap& source) {
  return Transform(source, 32, TVIMG_TYPE_BITMAP, WriteBgra);
}

BitmapPtr ConvertToGreyscale(const tvimg_bitmap& source) {
  BitmapPtr out = Transform(source, 8, TVIMG_TYPE_BITMAP, [](const float* in, uint8_t* o, uint32_t w) {
    for (uint32_t x = 0; x < w; ++x) o[x] = ToByte(Luma(in + 4 * x));
  });
  if (out) out->cmykSource = false;
  return out;
}

BitmapPtr ConvertToRgbf(const tvimg_bitmap& source) {
  return Transform(source, 96, TVIMG_TYPE_RGBF, [](const float* in, uint8_t* out, uint32_t w) {
    auto* o = reinterpret_cast<float*>(out);
    for (uint32_t x = 0; x < w; ++x)
      for (uint32_t c = 0; c < 3; ++c) o[3 * x + c] = in[4 * x + c];
  });
}

BitmapPtr ConvertToType(const tvimg_bitmap& source, int32_t type, bool scaleLinear) {
  const bool isFloat = source.type == TVIMG_TYPE_FLOAT || source.type == TVIMG_TYPE_RGBF ||
                       source.type == TVIMG_TYPE_RGBAF;
  switch (type) {
    case TVIMG_TYPE_BITMAP: {
      if (isFloat && scaleLinear) {
        BitmapPtr stretched = StretchedCopy(source);
        return stretched ? ConvertToType(*stretched, type, false) : nullptr;
      }
      switch (source.type) {
        case TVIMG_TYPE_BITMAP: {
          BitmapPtr copy = AllocateBitmap(source.width, source.height, source.bpp);
          if (copy) *copy = source;
          return copy;
        }
        case TVIMG_TYPE_UINT16:
        case TVIMG_TYPE_FLOAT:
          return ConvertToGreyscale(source);
        case TVIMG_TYPE_RGBA16:
        case TVIMG_TYPE_RGBAF:
          return ConvertTo32Bits(source);
        default:
          return ConvertTo24Bits(source);
      }
    }
    case TVIMG_TYPE_UINT16:
      return Transform(source, 16, type, [](const float* in, uint8_t* out, uint32_t w) {
        auto* o = reinterpret_cast<uint16_t*>(out);
        for (uint32_t x = 0; x < w; ++x) o[x] = ToWord(Luma(in + 4 * x));
      });
    case TVIMG_TYPE_RGB16:
    case TVIMG_TYPE_RGBA16: {
      const uint32_t n = type == TVIMG_TYPE_RGBA16 ? 4 : 3;
      return Transform(source, n * 16, type, [n](const float* in, uint8_t* out, uint32_t w) {
        auto* o = reinterpret_cast<uint16_t*>(out);
        for (uint32_t x = 0; x < w; ++x)
          for (uint32_t c = 0; c < n; ++c) o[n * x + c] = ToWord(in[4 * x + c]);
      });
    }
    case TVIMG_TYPE_FLOAT:
      return Transform(source, 32, type, [](const float* in, uint8_t* out, uint32_t w) {
        auto* o = reinterpret_cast<float*>(out);
        for (uint32_t x = 0; x < w; ++x) o[x] = Luma(in + 4 * x);
      });
    case TVIMG_TYPE_RGBF:
      return ConvertToRgbf(source);
    case TVIMG_TYPE_RGBAF:
      return Transform(source, 128, type, [](const float* in, uint8_t* out, uint32_t w) {
        std::memcpy(out, in, static_cast<size_t>(w) * 16);
      });
    default:
      return nullptr;
  }
}

BitmapPtr ToneMapReinhard05(const tvimg_bitmap& source, double intensity, double contrast) {
  BitmapPtr rgbf = ConvertToRgbf(source);
  if (!rgbf) return nullptr;
  const uint32_t w = rgbf->width, h = rgbf->height;
  const size_t count = static_cast<size_t>(w) * h;
  auto pixel = [&](uint32_t y, uint32_t x) {
    return reinterpret_cast<float*>(rgbf->bits.data() + static_cast<size_t>(y) * rgbf->pitch) + 3 * x;
  };
  // Negative or non-finite radiance has no meaning here.
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      float* p = pixel(y, x);
      for (int c = 0; c < 3; ++c)
        if (!(p[c] > 0) || !std::isfinite(p[c])) p[c] = 0;
    }

  // Luminance statistics (Rec. 709 weights), in the log domain for the contrast.
  constexpr double kEpsilon = 1e-6;
  double logSum = 0, logMin = std::numeric_limits<double>::max(), logMax = -logMin;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const float* p = pixel(y, x);
      const double l = std::log(0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2] + kEpsilon);
      logSum += l;
      logMin = std::min(logMin, l);
      logMax = std::max(logMax, l);
    }
  const double logAverage = logSum / static_cast<double>(count);
  const double f = std::exp(-std::clamp(intensity, -8.0, 8.0));
  double m = contrast;
  if (m <= 0) {
    const double k = logMax > logMin ? (logMax - logAverage) / (logMax - logMin) : 0;
    m = 0.3 + 0.7 * std::pow(k, 1.4);
  }
  m = std::clamp(m, 0.3, 1.0);

  // Light adaptation 1, colour adaptation 0: each channel adapts to its pixel's luminance.
  float lo = std::numeric_limits<float>::max(), hi = 0;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      float* p = pixel(y, x);
      const double adapt = 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
      const double sigma = std::pow(f * adapt, m);
      for (int c = 0; c < 3; ++c) {
        const double denominator = p[c] + sigma;
        p[c] = denominator > 0 ? static_cast<float>(p[c] / denominator) : 0.f;
        lo = std::min(lo, p[c]);
        hi = std::max(hi, p[c]);
      }
    }
  // The responses are normalised to the full display range.
  const float range = hi > lo ? hi - lo : 1.f;
  if (hi > lo)
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        float* p = pixel(y, x);
        for (int c = 0; c < 3; ++c) p[c] = (p[c] - lo) / range;
      }
  return ConvertTo24Bits(*rgbf);
}

bool Invert(tvimg_bitmap& b) {
  if (!Readable(b)) return false;
  if (b.type == TVIMG_TYPE_BITMAP && b.bpp <= 8) {
    for (uint32_t i = 0; i < PaletteSize(b.bpp); ++i)
      for (int c = 0; c < 3; ++c) b.palette[4 * i + c] = static_cast<uint8_t>(255 - b.palette[4 * i + c]);
    return true;
  }
  for (uint32_t y = 0; y < b.height; ++y) {
    uint8_t* row = b.bits.data() + static_cast<size_t>(y) * b.pitch;
    for (uint32_t x = 0; x < b.width; ++x) {
      switch (b.type) {
        case TVIMG_TYPE_BITMAP: {
          uint8_t* p = row + x * (b.bpp / 8);
          for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(255 - p[c]);
          break;
        }
        case TVIMG_TYPE_UINT16: case TVIMG_TYPE_RGB16: case TVIMG_TYPE_RGBA16: {
          const uint32_t n = b.type == TVIMG_TYPE_UINT16 ? 1 : b.type == TVIMG_TYPE_RGB16 ? 3 : 4;
          auto* p = reinterpret_cast<uint16_t*>(row) + n * x;
          for (uint32_t c = 0; c < std::min(n, 3u); ++c) p[c] = static_cast<uint16_t>(65535 - p[c]);
          break;
        }
        default: {
          const uint32_t n = b.type == TVIMG_TYPE_FLOAT ? 1 : b.type == TVIMG_TYPE_RGBF ? 3 : 4;
          auto* p = reinterpret_cast<float*>(row) + n * x;
          for (uint32_t c = 0; c < std::min(n, 3u); ++c) p[c] = 1.f - p[c];
          break;
        }
      }
    }
  }
  return true;
}

bool FlipVertical(tvimg_bitmap& b) {
  if (b.bits.empty()) return false;
  std::vector<uint8_t> swap(b.pitch);
  for (uint32_t top = 0, bottom = b.height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = b.bits.data() + static_cast<size_t>(top) * b.pitch;
    uint8_t* c = b.bits.data() + static_cast<size_t>(bottom) * b.pitch;
    std::memcpy(swap.data(), a, b.pitch);
    std::memcpy(a, c, b.pitch);
    std::memcpy(c, swap.data(), b.pitch);
  }
  return true;
}

}  // namespace tvimg
