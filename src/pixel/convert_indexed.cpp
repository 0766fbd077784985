#include "pixel/convert_indexed.h"

#include <algorithm>

#include "pixel/index_rules.h"
#include "pixel/octree.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::BitmapData;
using platform::PixelFormat;
using platform::Status;

// Holds a read lock on a whole bitmap and releases it on every path.
class ReadLock {
 public:
  ReadLock(Bitmap& bitmap, PixelFormat format) : bitmap_(bitmap) {
    status_ = bitmap_.LockBits(nullptr, platform::ImageLockModeRead, format, data_);
  }
  ~ReadLock() {
    if (status_ == Status::Ok) bitmap_.UnlockBits(data_);
  }
  ReadLock(const ReadLock&) = delete;
  ReadLock& operator=(const ReadLock&) = delete;

  Status status() const { return status_; }
  const uint8_t* rows() const { return static_cast<const uint8_t*>(data_.scan0); }
  int32_t stride() const { return data_.stride; }

 private:
  Bitmap& bitmap_;
  BitmapData data_;
  Status status_;
};

template <typename Rule>
Status ConvertWithRule(Bitmap& source, PixelFormat readFormat, PixelFormat target,
                       const platform::Palette* palette, Rule rule, BitmapPtr& out) {
  BitmapPtr converted;
  Status s = Bitmap::Create(source.Width(), source.Height(), target, converted);
  if (s != Status::Ok) return s;
  if (palette) {
    s = converted->SetPalette(*palette);
    if (s != Status::Ok) return s;
  }
  {
    ReadLock lock(source, readFormat);
    if (lock.status() != Status::Ok) return lock.status();
    rule(PixelRows{lock.rows(), source.Width(), source.Height(), lock.stride()},
         IndexRows{converted->Scan0(), converted->Stride()});
  }
  out = std::move(converted);
  return Status::Ok;
}

}  // namespace

Status ConvertTo1BppThreshold(Bitmap& source, BitmapPtr& out) {
  return ConvertWithRule(source, platform::kPixelFormat32bppRGB, platform::kPixelFormat1bppIndexed,
                         nullptr, ThresholdTo1Bpp, out);
}

Status ConvertTo1BppOpaqueWhite(Bitmap& source, BitmapPtr& out) {
  return ConvertWithRule(source, platform::kPixelFormat32bppARGB, platform::kPixelFormat1bppIndexed,
                         nullptr, OpaqueWhiteTo1Bpp, out);
}

Status ConvertToGrayAverage(Bitmap& source, BitmapPtr& out) {
  const platform::Palette grey = GrayPalette();
  return ConvertWithRule(source, platform::kPixelFormat32bppARGB, platform::kPixelFormat8bppIndexed,
                         &grey, AverageToGray, out);
}

Status ConvertToGrayWeighted(Bitmap& source, BitmapPtr& out) {
  const platform::Palette grey = GrayPalette();
  return ConvertWithRule(source, platform::kPixelFormat32bppARGB, platform::kPixelFormat8bppIndexed,
                         &grey, WeightedToGray, out);
}

Status ConvertToGrayFromBlue(Bitmap& source, BitmapPtr& out) {
  const platform::Palette grey = GrayPalette();
  return ConvertWithRule(source, platform::kPixelFormat32bppARGB, platform::kPixelFormat8bppIndexed,
                         &grey, BlueToGray, out);
}

Status ConvertToCube216(Bitmap& source, BitmapPtr& out) {
  const platform::Palette cube = CubePalette216();
  return ConvertWithRule(source, platform::kPixelFormat32bppARGB, platform::kPixelFormat8bppIndexed,
                         &cube, CubeIndex216, out);
}

Status ConvertTo4BppNearest(Bitmap& source, const std::vector<uint32_t>& palette, BitmapPtr& out) {
  if (palette.empty()) return Status::InvalidParameter;
  platform::Palette used;
  used.flags = platform::PaletteFlagsHalftone;
  used.entries.assign(palette.begin(), palette.begin() + static_cast<long>(std::min<size_t>(16, palette.size())));
  return ConvertWithRule(source, platform::kPixelFormat32bppARGB, platform::kPixelFormat4bppIndexed,
                         &used,
                         [&](const PixelRows& in, const IndexRows& indices) {
                           NearestTo4Bpp(in, indices, used.entries);
                         },
                         out);
}

Status QuantizeToBitmap(Bitmap& source, int32_t nColors, BitmapPtr& out,
                        std::optional<uint32_t> transparentArgb) {
  BitmapPtr quantized;
  Status s = Bitmap::Create(source.Width(), source.Height(), platform::kPixelFormat8bppIndexed, quantized);
  if (s != Status::Ok) return s;
  platform::Palette palette;
  {
    ReadLock lock(source, platform::kPixelFormat24bppRGB);
    if (lock.status() != Status::Ok) return lock.status();
    palette = QuantizeOctree(lock.rows(), source.Width(), source.Height(), lock.stride(), nColors,
                             quantized->Scan0(), quantized->Stride(), transparentArgb);
  }
  s = quantized->SetPalette(palette);
  if (s != Status::Ok) return s;
  out = std::move(quantized);
  return Status::Ok;
}

Status QuantizeTo4Bpp(Bitmap& source, BitmapPtr& out) {
  BitmapPtr quantized;
  Status s = QuantizeToBitmap(source, 16, quantized);
  if (s != Status::Ok) return s;
  const std::vector<uint32_t> palette = quantized->GetPalette().entries;
  return ConvertTo4BppNearest(*quantized, palette, out);
}

}  // namespace tessivo
