#include "formats/indexed_read.h"

namespace tessivo {

platform::Status ReadWholeBitmap(platform::Bitmap& bitmap, platform::PixelFormat format,
                                 std::vector<uint8_t>& pixels) {
  const int32_t stride = platform::StrideFor(format, bitmap.Width());
  if (stride <= 0) return platform::Status::InvalidParameter;
  pixels.assign(static_cast<size_t>(stride) * static_cast<size_t>(bitmap.Height()), 0);
  platform::BitmapData data;
  data.stride = stride;
  data.scan0 = pixels.data();
  platform::Status s = bitmap.LockBits(
      nullptr, platform::ImageLockModeRead | platform::ImageLockModeUserInputBuf, format, data);
  if (s != platform::Status::Ok) return s;
  return bitmap.UnlockBits(data);
}

}  // namespace tessivo
