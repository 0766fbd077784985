// The frame header of a JPEG stream, read from its markers without decoding: enough to tell
// whether a PDF reader's DCT filter would reproduce what the decoder makes of the stream.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tessivo::platform {

struct JpegFrame {
  uint8_t sofMarker = 0;  // 0xC0 baseline, 0xC1 extended, 0xC2 progressive, ...
  uint8_t precision = 0;
  uint32_t width = 0, height = 0;
  int components = 0;
  uint8_t componentIds[4] = {};
  bool jfif = false;
  bool adobe = false;
  uint8_t adobeTransform = 0;
};

// Reads the markers up to the first start-of-frame. False for anything that is not a
// well-formed JPEG stream up to there.
bool ReadJpegFrame(const uint8_t* data, size_t size, JpegFrame& frame);

// Whether the stream is 8-bit baseline, extended or progressive Huffman-coded greyscale or
// YCbCr colour, as PDF's DCTDecode reads it and as libjpeg decodes it to grey or RGB (which
// colour transform libjpeg picks is decided from the same markers a PDF reader looks at).
bool IsPlainDctStream(const JpegFrame& frame);

}  // namespace tessivo::platform
