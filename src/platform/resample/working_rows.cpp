#include "platform/resample/working_rows.h"

#include <algorithm>

namespace tessivo::platform {

namespace {

// Working-format intermediates: 8-bit or 16-bit ARGB, not premultiplied.
PixelFormat WorkFormat(bool wide) { return wide ? kPixelFormat64bppARGB : kPixelFormat32bppARGB; }

bool PaletteOpaque(std::span<const uint32_t> palette) {
  return std::all_of(palette.begin(), palette.end(), [](uint32_t c) { return (c >> 24) == 0xFF; });
}

template <typename T>
void ToWorking(const T* in, int32_t n, bool opaque, float max, float* out) {
  if (opaque) {
    for (int32_t i = 0; i < 4 * n; ++i) out[i] = static_cast<float>(in[i]);
    return;
  }
  const float inv = 1.0f / max;
  for (int32_t i = 0; i < n; ++i) {
    const float a = static_cast<float>(in[4 * i + 3]);
    const float f = a * inv;
    out[4 * i] = static_cast<float>(in[4 * i]) * f;
    out[4 * i + 1] = static_cast<float>(in[4 * i + 1]) * f;
    out[4 * i + 2] = static_cast<float>(in[4 * i + 2]) * f;
    out[4 * i + 3] = a;
  }
}

template <typename T>
void FromWorking(const float* in, int32_t n, float max, T* out) {
  for (int32_t i = 0; i < n; ++i) {
    const float a = std::clamp(in[4 * i + 3], 0.0f, max);
    const float ra = static_cast<float>(static_cast<int32_t>(a + 0.5f));
    out[4 * i + 3] = static_cast<T>(ra);
    if (ra >= max) {
      for (int c = 0; c < 3; ++c) out[4 * i + c] = static_cast<T>(static_cast<int32_t>(std::clamp(in[4 * i + c], 0.0f, max) + 0.5f));
    } else if (a <= 0.0f) {
      for (int c = 0; c < 3; ++c) out[4 * i + c] = 0;
    } else {
      const float f = max / a;
      for (int c = 0; c < 3; ++c) out[4 * i + c] = static_cast<T>(static_cast<int32_t>(std::clamp(in[4 * i + c] * f, 0.0f, max) + 0.5f));
    }
  }
}

}  // namespace

bool NeedsWideWorkingRows(PixelFormat from, PixelFormat to) {
  return BitsPerPixel(from) >= 48 || BitsPerPixel(to) >= 48 || from == kPixelFormat16bppGrayScale ||
         to == kPixelFormat16bppGrayScale;
}

WorkingRowDecoder::WorkingRowDecoder(PixelFormat format, std::span<const uint32_t> palette, bool wide)
    : converter_(format, palette, WorkFormat(wide), {}),
      wide_(wide),
      opaque_(!HasAlpha(format) && (!IsIndexed(format) || PaletteOpaque(palette))),
      max_(wide ? 65535.0f : 255.0f) {}

void WorkingRowDecoder::Decode(const uint8_t* row, int32_t x0, int32_t n, float* out) {
  const size_t channels = static_cast<size_t>(n) * 4;
  if (wide_) {
    if (wideScratch_.size() < channels) wideScratch_.resize(channels);
    converter_.ConvertRow(row, x0, reinterpret_cast<uint8_t*>(wideScratch_.data()), 0, n);
    ToWorking(wideScratch_.data(), n, opaque_, max_, out);
  } else {
    if (scratch_.size() < channels) scratch_.resize(channels);
    converter_.ConvertRow(row, x0, scratch_.data(), 0, n);
    ToWorking(scratch_.data(), n, opaque_, max_, out);
  }
}

void WorkingRowDecoder::DecodeColor(uint32_t argb, float out[4]) const {
  const float scale = wide_ ? 257.0f : 1.0f;
  const float a = static_cast<float>(argb >> 24) * scale;
  const float f = a / max_;
  out[0] = static_cast<float>(argb & 0xFF) * scale * f;
  out[1] = static_cast<float>((argb >> 8) & 0xFF) * scale * f;
  out[2] = static_cast<float>((argb >> 16) & 0xFF) * scale * f;
  out[3] = a;
}

WorkingRowEncoder::WorkingRowEncoder(PixelFormat format, std::span<const uint32_t> palette, bool wide)
    : converter_(WorkFormat(wide), {}, format, palette), wide_(wide), max_(wide ? 65535.0f : 255.0f) {}

void WorkingRowEncoder::Encode(const float* in, int32_t n, uint8_t* row, int32_t x0) {
  const size_t channels = static_cast<size_t>(n) * 4;
  if (wide_) {
    if (wideScratch_.size() < channels) wideScratch_.resize(channels);
    FromWorking(in, n, max_, wideScratch_.data());
    converter_.ConvertRow(reinterpret_cast<const uint8_t*>(wideScratch_.data()), 0, row, x0, n);
  } else {
    if (scratch_.size() < channels) scratch_.resize(channels);
    FromWorking(in, n, max_, scratch_.data());
    converter_.ConvertRow(scratch_.data(), 0, row, x0, n);
  }
}

}  // namespace tessivo::platform
