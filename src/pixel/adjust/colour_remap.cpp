#include "pixel/adjust/colour_remap.h"

#include <span>

#include "pixel/convert_platform.h"

namespace tessivo {

using platform::Bitmap;
using platform::ColorRemapPair;
using platform::Status;

std::optional<std::vector<ColorRemapPair>> RemapPairs(const SafeArray<int32_t>& table) {
  std::vector<ColorRemapPair> pairs;
  if (table.dims() == 1) {
    const int32_t count = table.Count(1);
    if (count == 0 || count % 2 != 0) return std::nullopt;
    for (int32_t i = 0; i < count; i += 2) {
      const int32_t at = table.LBound(1) + i;
      pairs.push_back({static_cast<uint32_t>(table(at)), static_cast<uint32_t>(table(at + 1))});
    }
    return pairs;
  }
  if (table.dims() == 2) {
    if (table.Count(1) == 0 || table.Count(2) != 2) return std::nullopt;
    const int32_t first = table.LBound(2);
    for (int32_t row = table.LBound(1); row <= table.UBound(1); ++row)
      pairs.push_back({static_cast<uint32_t>(table(row, first)), static_cast<uint32_t>(table(row, first + 1))});
    return pairs;
  }
  return std::nullopt;
}

namespace {

Status TransferWhole(Bitmap& image, uint32_t mode, std::vector<uint32_t>& pixels) {
  platform::BitmapData data;
  data.width = static_cast<uint32_t>(image.Width());
  data.height = static_cast<uint32_t>(image.Height());
  data.stride = image.Width() * 4;
  data.pixelFormat = platform::kPixelFormat32bppARGB;
  data.scan0 = pixels.data();
  Status s = image.LockBits(nullptr, mode | platform::ImageLockModeUserInputBuf, platform::kPixelFormat32bppARGB,
                            data);
  if (s != Status::Ok) return s;
  return image.UnlockBits(data);
}

}  // namespace

Status RemapImageColours(Bitmap& image, const platform::ImageAttributes& attributes, bool& changed) {
  changed = false;
  if (platform::IsIndexed(image.Format())) {
    platform::Palette palette = image.GetPalette();
    const std::vector<uint32_t> before = palette.entries;
    attributes.ApplyInPlace(palette.entries);
    if (palette.entries == before) return Status::Ok;
    const Status s = image.SetPalette(palette);
    changed = s == Status::Ok;
    return s;
  }
  std::vector<uint32_t> pixels(static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height()));
  Status s = TransferWhole(image, platform::ImageLockModeRead, pixels);
  if (s != Status::Ok) return s;
  const std::vector<uint32_t> before = pixels;
  attributes.ApplyInPlace(pixels);
  // An unchanged image is not written: a write through 32-bit pixels would cost 16-bit
  // channels their low bytes.
  if (pixels == before) return Status::Ok;
  s = TransferWhole(image, platform::ImageLockModeWrite, pixels);
  changed = s == Status::Ok;
  return s;
}

Status KeyedCopy(Bitmap& source, const platform::ImageAttributes& attributes, std::unique_ptr<Bitmap>& out) {
  std::unique_ptr<Bitmap> copy;
  const Status s = ConvertWithPlatform(source, platform::kPixelFormat32bppARGB, copy);
  if (s != Status::Ok) return s;
  for (int32_t y = 0; y < copy->Height(); ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(copy->Row(y));
    attributes.ApplyInPlace(std::span<uint32_t>(row, static_cast<size_t>(copy->Width())));
  }
  out = std::move(copy);
  return Status::Ok;
}

}  // namespace tessivo
