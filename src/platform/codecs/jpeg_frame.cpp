#include "platform/codecs/jpeg_frame.h"

#include <cstring>

namespace tessivo::platform {

bool ReadJpegFrame(const uint8_t* data, size_t size, JpegFrame& frame) {
  frame = JpegFrame();
  if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  size_t at = 2;
  while (at + 4 <= size) {
    if (data[at] != 0xFF) return false;
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
      return false;  // no frame before the image ends or its data starts
    const size_t length = static_cast<size_t>(data[at + 2]) << 8 | data[at + 3];
    if (length < 2 || at + 2 + length > size) return false;
    const uint8_t* body = data + at + 4;
    const size_t bodySize = length - 2;
    if (marker == 0xE0 && bodySize >= 5 && std::memcmp(body, "JFIF\0", 5) == 0) frame.jfif = true;
    if (marker == 0xEE && bodySize >= 12 && std::memcmp(body, "Adobe", 5) == 0) {
      frame.adobe = true;
      frame.adobeTransform = body[11];
    }
    const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof) {
      if (bodySize < 6) return false;
      frame.sofMarker = marker;
      frame.precision = body[0];
      frame.height = static_cast<uint32_t>(body[1]) << 8 | body[2];
      frame.width = static_cast<uint32_t>(body[3]) << 8 | body[4];
      frame.components = body[5];
      if (bodySize < 6 + 3 * static_cast<size_t>(frame.components)) return false;
      for (int c = 0; c < frame.components && c < 4; ++c) frame.componentIds[c] = body[6 + 3 * c];
      return true;
    }
    if (marker == 0xDA) return false;  // scan data before any frame
    at += 2 + length;
  }
  return false;
}

bool IsPlainDctStream(const JpegFrame& frame) {
  if (frame.sofMarker != 0xC0 && frame.sofMarker != 0xC1 && frame.sofMarker != 0xC2) return false;
  if (frame.precision != 8 || frame.width == 0 || frame.height == 0) return false;
  if (frame.components == 1) return true;
  if (frame.components != 3) return false;
  // Colour without a JFIF marker is YCbCr only when an Adobe marker says so or, without one,
  // the components are numbered 1, 2, 3; RGB-stored streams are left out.
  if (frame.adobe) return frame.adobeTransform == 1;
  if (frame.jfif) return true;
  return frame.componentIds[0] == 1 && frame.componentIds[1] == 2 && frame.componentIds[2] == 3;
}

}  // namespace tessivo::platform
