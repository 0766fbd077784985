#include "pixel/convert_platform.h"

#include "platform/conversion_palette.h"

namespace tessivo {

platform::Status ConvertWithPlatform(platform::Bitmap& source, platform::PixelFormat target,
                                     std::unique_ptr<platform::Bitmap>& out) {
  using platform::Status;
  std::unique_ptr<platform::Bitmap> converted;
  Status s = platform::Bitmap::Create(source.Width(), source.Height(), target, converted);
  if (s != Status::Ok) return s;
  if (platform::IsIndexed(target)) {
    s = converted->SetPalette(platform::ConversionPalette(source, target));
    if (s != Status::Ok) return s;
  }
  platform::BitmapData data;
  data.stride = converted->Stride();
  data.scan0 = converted->Scan0();
  s = source.LockBits(nullptr, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf,
                      target, data);
  if (s != Status::Ok) return s;
  s = source.UnlockBits(data);
  if (s != Status::Ok) return s;
  out = std::move(converted);
  return Status::Ok;
}

}  // namespace tessivo
