// The per-format decoders behind DecodeImage* (internal to the codec layer). Each takes the
// whole encoded file and returns a finished bitmap (pixels, palette, resolution, flags, raw
// format, properties) or a status; none of them may crash on any input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/codecs/codec_common.h"

namespace tessivo::platform::codecs {

Status DecodeBmp(const uint8_t* data, size_t size, std::unique_ptr<Bitmap>& out);
// A device-independent bitmap without the 14-byte file header (icons embed these):
// `iconImage` asks for the 1-bit transparency mask that follows the pixels of an icon image,
// whose header height counts both.
Status DecodeDib(const uint8_t* data, size_t size, bool iconImage, std::unique_ptr<Bitmap>& out);
Status DecodePng(const uint8_t* data, size_t size, bool icm, std::unique_ptr<Bitmap>& out);
Status DecodeJpeg(const uint8_t* data, size_t size, bool icm, std::unique_ptr<Bitmap>& out);
Status DecodeTiff(const SharedBytes& data, bool icm, std::unique_ptr<Bitmap>& out);
Status DecodeGif(const SharedBytes& data, std::unique_ptr<Bitmap>& out);
Status DecodeIco(const uint8_t* data, size_t size, std::unique_ptr<Bitmap>& out);

}  // namespace tessivo::platform::codecs
