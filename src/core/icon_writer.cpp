#include "core/icon_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/platform_result.h"
#include "platform/stream.h"

namespace tessivo {
namespace {

using platform::Bitmap;

// Keys' cubic convolution kernel with a = -0.5.
double Cubic(double x) {
  x = std::fabs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

struct Tap {
  int32_t first = 0;
  std::vector<double> weights;
};

// Weights of each destination sample over the source samples along one axis.
std::vector<Tap> Taps(int32_t srcSize, int32_t dstSize) {
  const double scale = static_cast<double>(srcSize) / dstSize;
  const double widen = std::max(1.0, scale);
  const double support = 2 * widen;
  std::vector<Tap> taps(static_cast<size_t>(dstSize));
  for (int32_t d = 0; d < dstSize; ++d) {
    const double centre = (d + 0.5) * scale - 0.5;
    const int32_t lo = static_cast<int32_t>(std::floor(centre - support)) + 1;
    const int32_t hi = static_cast<int32_t>(std::floor(centre + support));
    Tap& tap = taps[static_cast<size_t>(d)];
    tap.first = lo;
    double sum = 0;
    for (int32_t s = lo; s <= hi; ++s) {
      double w = Cubic((s - centre) / widen);
      tap.weights.push_back(w);
      sum += w;
    }
    if (sum != 0)
      for (double& w : tap.weights) w /= sum;
  }
  return taps;
}

uint8_t ClampByte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Resamples premultiplied 32-bit pixels (b, g, r, a bytes) of `src` to `dst`, clamping at the
// edges.
void Resample(const Bitmap& src, Bitmap& dst) {
  const int32_t sw = src.Width(), sh = src.Height(), dw = dst.Width(), dh = dst.Height();
  const std::vector<Tap> tx = Taps(sw, dw), ty = Taps(sh, dh);
  // Horizontal pass into floating rows, then vertical.
  std::vector<double> mid(static_cast<size_t>(sh) * dw * 4);
  for (int32_t y = 0; y < sh; ++y) {
    const uint8_t* row = src.Row(y);
    for (int32_t x = 0; x < dw; ++x) {
      const Tap& tap = tx[static_cast<size_t>(x)];
      double acc[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < tap.weights.size(); ++k) {
        const int32_t sx = std::clamp(tap.first + static_cast<int32_t>(k), 0, sw - 1);
        for (int c = 0; c < 4; ++c) acc[c] += tap.weights[k] * row[4 * sx + c];
      }
      std::memcpy(&mid[(static_cast<size_t>(y) * dw + x) * 4], acc, sizeof acc);
    }
  }
  for (int32_t y = 0; y < dh; ++y) {
    const Tap& tap = ty[static_cast<size_t>(y)];
    uint8_t* out = dst.Row(y);
    for (int32_t x = 0; x < dw; ++x) {
      double acc[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < tap.weights.size(); ++k) {
        const int32_t sy = std::clamp(tap.first + static_cast<int32_t>(k), 0, sh - 1);
        const double* p = &mid[(static_cast<size_t>(sy) * dw + x) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += tap.weights[k] * p[c];
      }
      const uint8_t a = ClampByte(acc[3]);
      for (int c = 0; c < 3; ++c) out[4 * x + c] = std::min(ClampByte(acc[c]), a);
      out[4 * x + 3] = a;
    }
  }
}

void PutLE16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLE32(std::vector<uint8_t>& b, uint32_t v) {
  PutLE16(b, v & 0xFFFF);
  PutLE16(b, v >> 16);
}

}  // namespace

TessivoStatus MakeIconImage(const Bitmap& image, bool transparent, uint32_t transparentColor,
                            std::unique_ptr<Bitmap>& out) {
  const platform::Rect all{0, 0, image.Width(), image.Height()};
  std::unique_ptr<Bitmap> icon;
  if (image.Width() == kIconSize && image.Height() == kIconSize) {
    TessivoStatus status = StatusOf(image.CloneArea(all, platform::kPixelFormat32bppARGB, icon));
    if (status != OK) return status;
  } else {
    // Interpolating premultiplied samples keeps transparent pixels from bleeding colour.
    std::unique_ptr<Bitmap> source, scaled;
    TessivoStatus status =
        StatusOf(image.CloneArea(all, platform::kPixelFormat32bppPARGB, source));
    if (status == OK)
      status = StatusOf(
          Bitmap::Create(kIconSize, kIconSize, platform::kPixelFormat32bppPARGB, scaled));
    if (status != OK) return status;
    Resample(*source, *scaled);
    const platform::Rect iconArea{0, 0, kIconSize, kIconSize};
    status = StatusOf(scaled->CloneArea(iconArea, platform::kPixelFormat32bppARGB, icon));
    if (status != OK) return status;
  }
  if (transparent) {
    for (int32_t y = 0; y < kIconSize; ++y) {
      uint8_t* row = icon->Row(y);
      for (int32_t x = 0; x < kIconSize; ++x) {
        uint8_t* p = row + 4 * x;
        const uint32_t rgb = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
        if (rgb == (transparentColor & 0x00FFFFFFu)) p[3] = 0;
      }
    }
  }
  icon->SetResolution(image.HorizontalResolution(), image.VerticalResolution());
  out = std::move(icon);
  return OK;
}

TessivoStatus WriteIconFile(const Bitmap& icon, const std::string& path) {
  if (icon.Width() != kIconSize || icon.Height() != kIconSize ||
      icon.Format() != platform::kPixelFormat32bppARGB)
    return InvalidParameter;
  constexpr uint32_t kColourBytes = kIconSize * kIconSize * 4;
  constexpr uint32_t kMaskBytes = kIconSize * 4;  // 32 bits per row: already 4-byte aligned
  constexpr uint32_t kHeaderBytes = 40;
  constexpr uint32_t kImageOffset = 6 + 16;

  std::vector<uint8_t> file;
  // Icon directory with one entry.
  PutLE16(file, 0);
  PutLE16(file, 1);
  PutLE16(file, 1);
  file.push_back(kIconSize);
  file.push_back(kIconSize);
  file.push_back(0);  // colour count: none (true colour)
  file.push_back(0);
  PutLE16(file, 1);   // planes
  PutLE16(file, 32);  // bits per pixel
  PutLE32(file, kHeaderBytes + kColourBytes + kMaskBytes);
  PutLE32(file, kImageOffset);
  // Bitmap header: the height counts colour rows and mask rows together.
  PutLE32(file, kHeaderBytes);
  PutLE32(file, kIconSize);
  PutLE32(file, 2 * kIconSize);
  PutLE16(file, 1);
  PutLE16(file, 32);
  PutLE32(file, 0);
  PutLE32(file, kColourBytes + kMaskBytes);
  for (int i = 0; i < 4; ++i) PutLE32(file, 0);
  // Colour rows bottom-up, straight alpha; fully transparent pixels black, as the mask expects.
  for (int32_t y = kIconSize - 1; y >= 0; --y) {
    const uint8_t* row = icon.Row(y);
    for (int32_t x = 0; x < kIconSize; ++x) {
      const uint8_t* p = row + 4 * x;
      for (int c = 0; c < 3; ++c) file.push_back(p[3] == 0 ? 0 : p[c]);
      file.push_back(p[3]);
    }
  }
  // Mask rows bottom-up: 1 = transparent.
  for (int32_t y = kIconSize - 1; y >= 0; --y) {
    const uint8_t* row = icon.Row(y);
    uint32_t bits = 0;
    for (int32_t x = 0; x < kIconSize; ++x)
      if (row[4 * x + 3] < 128) bits |= 0x80000000u >> x;
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(bits >> shift));
  }

  std::unique_ptr<platform::FileStream> stream;
  TessivoStatus status = StatusOf(
      platform::FileStream::Open(path, platform::FileStream::Mode::Create, stream));
  if (status != OK) return status;
  status = StatusOf(stream->Write(file.data(), file.size()));
  if (status == OK) status = StatusOf(stream->Flush());
  stream.reset();
  if (status != OK) std::remove(path.c_str());
  return status;
}

}  // namespace tessivo
