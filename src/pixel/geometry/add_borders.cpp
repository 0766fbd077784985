#include "pixel/geometry/add_borders.h"

#include <climits>
#include <cstring>
#include <utility>

#include "pixel/geometry/fill_area.h"
#include "platform/pixel_rows.h"

namespace tessivo {

using platform::Status;

Status AddFrame(const platform::Bitmap& image, const BorderFrame& sides, uint32_t argb,
                std::unique_ptr<platform::Bitmap>& out) {
  if (sides.left < 0 || sides.top < 0 || sides.right < 0 || sides.bottom < 0) return Status::InvalidParameter;
  const int64_t width = int64_t{image.Width()} + sides.left + sides.right;
  const int64_t height = int64_t{image.Height()} + sides.top + sides.bottom;
  const platform::PixelFormat format = image.Format();
  if (width > INT32_MAX || height > INT32_MAX) return Status::OutOfMemory;
  const int32_t stride = platform::StrideFor(format, static_cast<int32_t>(width));
  if (stride < 0 || int64_t{stride} * height > platform::kMaxPixelBytes) return Status::OutOfMemory;

  std::unique_ptr<platform::Bitmap> framed;
  Status s = platform::Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height), format, framed);
  if (s != Status::Ok) return s;
  if (platform::IsIndexed(format)) {
    s = framed->SetPalette(image.GetPalette());
    if (s != Status::Ok) return s;
  }
  // One row in the frame colour, encoded by the platform, then repeated: every row starts as
  // frame and the old pixels are laid over the middle.
  s = FillArea(*framed, platform::Rect{0, 0, framed->Width(), 1}, argb);
  if (s != Status::Ok) return s;
  const size_t rowBytes = static_cast<size_t>(framed->Stride());
  for (int32_t y = 1; y < framed->Height(); ++y) std::memcpy(framed->Row(y), framed->Row(0), rowBytes);

  const int bpp = platform::BitsPerPixel(format);
  const int64_t offsetBits = int64_t{sides.left} * bpp;
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* from = image.Row(y);
    uint8_t* to = framed->Row(y + sides.top);
    int32_t x = 0;
    if (offsetBits % 8 == 0) {
      // Whole bytes at a byte offset; a last partial byte of a 1 or 4 bpp row is left to the
      // loop below so the frame pixels sharing it are kept.
      const size_t wholeBytes = static_cast<size_t>(int64_t{image.Width()} * bpp / 8);
      std::memcpy(to + offsetBits / 8, from, wholeBytes);
      x = static_cast<int32_t>(wholeBytes * 8 / static_cast<size_t>(bpp));
    }
    for (; x < image.Width(); ++x)
      platform::rows::PutIndex(bpp, to, x + sides.left, platform::rows::GetIndex(bpp, from, x));
  }
  framed->SetFlags(image.Flags());
  framed->SetRawFormat(image.GetRawFormat());
  out = std::move(framed);
  return Status::Ok;
}

}  // namespace tessivo
