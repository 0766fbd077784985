// The record a bitmap keeps of its one active pixel lock.
#pragma once
#include "platform/pixel_buffer.h"

#include "platform/bitmap.h"

namespace tessivo::platform {

struct Bitmap::LockState {
  Rect rect;
  uint32_t flags = 0;
  PixelFormat format = kPixelFormatUndefined;
  // The caller's rows point straight into the bitmap (same format, byte-aligned start).
  bool direct = false;
  uint8_t* scan0 = nullptr;
  int32_t stride = 0;
  PixelBuffer buffer;  // rows of a converted lock without a user buffer
  Palette palette;              // the palette of an indexed lock format
};

}  // namespace tessivo::platform
