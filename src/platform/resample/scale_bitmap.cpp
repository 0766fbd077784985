#include "platform/resample/scale_bitmap.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/conversion_palette.h"
#include "platform/pixel_rows.h"
#include "platform/resample/working_rows.h"

namespace tessivo::platform {

namespace {

// The working rows of one scale stay below this many bytes.
constexpr int64_t kMaxWorkBytes = int64_t{1} << 31;

bool SamePixels(const Bitmap& a, const Bitmap& b) {
  return a.Format() == b.Format() && (!IsIndexed(a.Format()) || a.GetPalette().entries == b.GetPalette().entries);
}

// A fixed pixel size lets the compiler turn each copy into plain loads and stores.
template <size_t kBytes>
void GatherPixels(const uint8_t* src, const int32_t* columns, int32_t count, uint8_t* dst) {
  for (int32_t x = 0; x < count; ++x, dst += kBytes)
    std::memcpy(dst, src + static_cast<size_t>(columns[x]) * kBytes, kBytes);
}

// Nearest-neighbour scaling between bitmaps of one format and palette copies pixel values
// exactly (an indexed pixel keeps its index even where the palette repeats a colour).
void CopyNearest(const Bitmap& source, const Rect& from, Bitmap& target, const Rect& to,
                 const AxisTaps& xs, const AxisTaps& ys) {
  const int bpp = BitsPerPixel(source.Format());
  const size_t bytes = static_cast<size_t>(bpp / 8);
  for (int32_t y = 0; y < to.height; ++y) {
    const uint8_t* src = source.Row(from.y + ys.first[static_cast<size_t>(y)]);
    uint8_t* dst = target.Row(to.y + y);
    if (bpp < 8) {
      for (int32_t x = 0; x < to.width; ++x)
        rows::PutIndex(bpp, dst, to.x + x, rows::GetIndex(bpp, src, from.x + xs.first[static_cast<size_t>(x)]));
      continue;
    }
    dst += static_cast<size_t>(to.x) * bytes;
    src += static_cast<size_t>(from.x) * bytes;
    switch (bytes) {
      case 1: GatherPixels<1>(src, xs.first.data(), to.width, dst); break;
      case 2: GatherPixels<2>(src, xs.first.data(), to.width, dst); break;
      case 3: GatherPixels<3>(src, xs.first.data(), to.width, dst); break;
      case 4: GatherPixels<4>(src, xs.first.data(), to.width, dst); break;
      case 6: GatherPixels<6>(src, xs.first.data(), to.width, dst); break;
      default: GatherPixels<8>(src, xs.first.data(), to.width, dst); break;
    }
  }
}

void FilterRow(const float* in, const AxisTaps& xs, int32_t width, float* out) {
  for (int32_t x = 0; x < width; ++x) {
    const size_t i = static_cast<size_t>(x);
    const float* w = &xs.weights[i * static_cast<size_t>(xs.stride)];
    const float* p = in + 4 * static_cast<size_t>(xs.first[i] - xs.lowest);
    float b = 0, g = 0, r = 0, a = 0;
    for (int32_t k = 0; k < xs.count[i]; ++k, p += 4) {
      b += w[k] * p[0];
      g += w[k] * p[1];
      r += w[k] * p[2];
      a += w[k] * p[3];
    }
    out[4 * i] = b;
    out[4 * i + 1] = g;
    out[4 * i + 2] = r;
    out[4 * i + 3] = a;
  }
}

}  // namespace

Status ScaleInto(const Bitmap& source, const Rect& from, Bitmap& target, const Rect& to,
                 const ScaleOptions& options) {
  if (&source == &target || !RectInside(from, source.Width(), source.Height()) ||
      !RectInside(to, target.Width(), target.Height()))
    return Status::InvalidParameter;
  const int64_t xTaps = AxisTapCount(from.width, to.width, options.filter);
  const int64_t yTaps = AxisTapCount(from.height, to.height, options.filter);
  // Tap tables, the decoded source row and the ring of filtered rows; in floating point, as
  // the products of two 31-bit sides and a tap count can pass 64 bits.
  const double work = double(to.width) * double(xTaps) * 4 + double(to.height) * double(yTaps) * 4 +
                      double(from.width) * 16 + double(to.width) * 16 * double(yTaps + 2);
  if (work > double(kMaxWorkBytes)) return Status::OutOfMemory;
  try {
    const AxisTaps xs = BuildAxisTaps(from.width, to.width, options.filter);
    const AxisTaps ys = BuildAxisTaps(from.height, to.height, options.filter);
    if (options.filter == ResampleFilter::Nearest && !options.blendOver && SamePixels(source, target)) {
      CopyNearest(source, from, target, to, xs, ys);
      return Status::Ok;
    }
    const bool wide = NeedsWideWorkingRows(source.Format(), target.Format());
    WorkingRowDecoder decoder(source.Format(), source.GetPalette().entries, wide);
    WorkingRowEncoder encoder(target.Format(), target.GetPalette().entries, wide);
    std::unique_ptr<WorkingRowDecoder> under;
    if (options.blendOver) under = std::make_unique<WorkingRowDecoder>(target.Format(), target.GetPalette().entries, wide);

    const size_t rowFloats = 4 * static_cast<size_t>(to.width);
    const int32_t span = xs.highest - xs.lowest + 1;
    std::vector<float> decoded(4 * static_cast<size_t>(span));
    const size_t slots = static_cast<size_t>(ys.stride);
    std::vector<float> ring(slots * rowFloats);
    std::vector<int32_t> ringRow(slots, -1);
    std::vector<float> out(rowFloats), below(options.blendOver ? rowFloats : 0);
    const float max = decoder.Max();

    for (int32_t y = 0; y < to.height; ++y) {
      const size_t yi = static_cast<size_t>(y);
      std::fill(out.begin(), out.end(), 0.0f);
      const float* w = &ys.weights[yi * slots];
      for (int32_t k = 0; k < ys.count[yi]; ++k) {
        const int32_t sy = ys.first[yi] + k;
        // A window of rows slides down monotonically, so a row's slot is free when it is needed.
        const size_t slot = static_cast<size_t>(sy) % slots;
        float* filtered = &ring[slot * rowFloats];
        if (ringRow[slot] != sy) {
          decoder.Decode(source.Row(from.y + sy), from.x + xs.lowest, span, decoded.data());
          FilterRow(decoded.data(), xs, to.width, filtered);
          ringRow[slot] = sy;
        }
        const float weight = w[k];
        for (size_t i = 0; i < rowFloats; ++i) out[i] += weight * filtered[i];
      }
      uint8_t* dstRow = target.Row(to.y + y);
      if (options.blendOver) {
        under->Decode(dstRow, to.x, to.width, below.data());
        for (size_t i = 0; i < rowFloats; i += 4) {
          const float keep = 1.0f - std::clamp(out[i + 3], 0.0f, max) / max;
          for (size_t c = 0; c < 4; ++c) out[i + c] += keep * below[i + c];
        }
      }
      encoder.Encode(out.data(), to.width, dstRow, to.x);
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status ScaleBitmap(const Bitmap& source, int32_t width, int32_t height, ResampleFilter filter,
                   std::unique_ptr<Bitmap>& out) {
  if (width < 1 || height < 1) return Status::InvalidParameter;
  std::unique_ptr<Bitmap> scaled;
  Status s = Bitmap::Create(width, height, source.Format(), scaled);
  if (s != Status::Ok) return s;
  if (IsIndexed(source.Format())) {
    s = scaled->SetPalette(source.GetPalette());
    if (s != Status::Ok) return s;
  }
  s = ScaleInto(source, Rect{0, 0, source.Width(), source.Height()}, *scaled, Rect{0, 0, width, height},
                ScaleOptions{filter, false});
  if (s != Status::Ok) return s;
  s = scaled->SetResolution(source.HorizontalResolution(), source.VerticalResolution());
  if (s != Status::Ok) return s;
  scaled->SetFlags(source.Flags());
  scaled->SetRawFormat(source.GetRawFormat());
  out = std::move(scaled);
  return Status::Ok;
}

}  // namespace tessivo::platform
