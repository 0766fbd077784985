#include "platform/resample/working_rows.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessivo::platform {

namespace {

// Working-format intermediates: 8-bit or 16-bit ARGB, not premultiplied.
PixelFormat WorkFormat(bool wide) { return wide ? kPixelFormat64bppARGB : kPixelFormat32bppARGB; }

bool PaletteOpaque(std::span<const uint32_t> palette) {
  return std::all_of(palette.begin(), palette.end(), [](uint32_t c) { return (c >> 24) == 0xFF; });
}

// Opaque 8-bit channels to floats, sixteen at a time where SSE2 is there; returns how many
// channels are done.
int32_t BytesToFloats(const uint8_t* in, int32_t count, float* out) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
    _mm_storeu_ps(out + i, _mm_cvtepi32_ps(_mm_unpacklo_epi16(low, zero)));
    _mm_storeu_ps(out + i + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(low, zero)));
    _mm_storeu_ps(out + i + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(high, zero)));
    _mm_storeu_ps(out + i + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(high, zero)));
  }
#endif
  return i;
}
int32_t BytesToFloats(const uint16_t*, int32_t, float*) { return 0; }

template <typename T>
void ToWorking(const T* in, int32_t n, bool opaque, float max, float* out) {
  if (opaque) {
    for (int32_t i = BytesToFloats(in, 4 * n, out); i < 4 * n; ++i) out[i] = static_cast<float>(in[i]);
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
