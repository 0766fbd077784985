// Shared body of the decoder fuzz targets: decode, touch every pixel row, walk the frames.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/decoders.h"

namespace tessivo::fuzzing {

// Forged headers may ask for up to this many pixel bytes (libFuzzer's default memory limit
// is 2 GB).
inline constexpr int64_t kFuzzPixelLimit = int64_t{64} << 20;

inline void Exercise(platform::Bitmap& image) {
  using platform::FrameDimension;
  volatile uint8_t sink = 0;
  for (int32_t y = 0; y < image.Height(); ++y) sink = sink + image.Row(y)[0];
  for (FrameDimension d : {FrameDimension::Page, FrameDimension::Time}) {
    uint32_t frames = image.FrameCount(d);
    for (uint32_t i = 0; i < frames && i < 8; ++i) image.SelectActiveFrame(d, i);
  }
}

template <typename Decode>
int FuzzDecoder(const uint8_t* data, size_t size, Decode&& decode) {
  platform::codecs::SetDecodePixelLimit(kFuzzPixelLimit);
  std::unique_ptr<platform::Bitmap> image;
  if (decode(data, size, image) == platform::Status::Ok && image) Exercise(*image);
  return 0;
}

inline platform::codecs::SharedBytes Share(const uint8_t* data, size_t size) {
  return platform::codecs::EncodedBytes::Copy(data, size);
}

}  // namespace tessivo::fuzzing
