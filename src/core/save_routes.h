// The savers' routes: platform encoders found by file-name pattern and driven by encoder
// parameters, and the codec plug-in for the formats the platform does not write. They act on a
// bitmap, so the public SaveAs methods, page files of documents and the byte-array loaders all
// share them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "platform/stream.h"
#include "tessivo/status.h"

namespace tessivo {

// Platform save with the encoder found by `pattern` ("*.png"): UnknownImageFormat when there
// is none, else the encoder's status.
TessivoStatus SaveWithPattern(platform::Bitmap& image, const std::string& path,
                              const std::string& pattern,
                              const std::vector<platform::EncoderParameter>& params = {});

// Before a JPEG or TIFF platform save: a resolution below 0.5 dpi is scaled up by the smallest
// factor 1.0, 1.1, 1.2, ... that brings it to 0.5 (both axes alike; 0 stays 0), and the
// property items with tag 34858 are removed.
void PrepareForEncoding(platform::Bitmap& image);

// True for an 8-bit indexed image whose palette is the 256-entry grey ramp.
bool IsGreyRamp8(const platform::Bitmap& image);

// CCITT3, CCITT4 and RLE exist for 1-bit images only: for 2 or more bits per pixel the
// compression becomes LZW; others are returned unchanged.
int32_t CompressionForDepth(int32_t compression, int bitsPerPixel);

// JPEG: an 8-bit grey ramp goes to the codec plug-in when `codecAllowed` and it is present;
// otherwise the platform encoder, with Quality = min(quality, 100) when quality >= 0 and the
// encoder's default when it is negative.
TessivoStatus SaveJpeg(platform::Bitmap& image, const std::string& path, int32_t quality,
                       bool codecAllowed);

// TIFF: `compression` (0 = encoder default) and `colorDepth` (0 = the image's own). CCITT3,
// CCITT4 and RLE become LZW for images of 2 or more bits per pixel (judged by colorDepth when
// given); a colour depth of 16 becomes 24.
TessivoStatus SaveTiff(platform::Bitmap& image, const std::string& path, int32_t compression,
                       int32_t colorDepth);

// The memory stream rule: the encoder for "*.<format>" (trimmed, lower case), BMP when none;
// a non-zero `parameter` is the JPEG quality (below 1: 75) or the TIFF compression.
TessivoStatus SaveToStream(platform::Bitmap& image, const std::string& format, int32_t parameter,
                           platform::Stream& stream);

// The byte array rule: an 8-bit grey ramp asked as "JPEG"/"JPG" goes through the JPEG rule (so
// the codec writes it); everything else through the memory stream rule. An empty result is
// GenericError.
TessivoStatus SaveToBytes(platform::Bitmap& image, const std::string& format, int32_t parameter,
                          bool codecAllowed, std::vector<uint8_t>& bytes);

// Icons are 32 x 32: the image is scaled into a 32-bit ARGB copy (high-quality bicubic); with
// `transparent`, pixels of the RGB colour of `transparentColor` become transparent. With the
// codec plug-in the copy is written by the codec; without it the toolkit writes a 32-bit icon
// with its 1-bit mask itself.
TessivoStatus SaveIcon(const platform::Bitmap& image, const std::string& path, bool transparent,
                       uint32_t transparentColor);

// A save through the codec plug-in: TvimgplugDllRequired when it is absent, UnsupportedPixelFormat
// when `allowed` (non-empty) does not hold the image's format, else OK or GenericError as the
// codec reports. `toFloat` converts to floating-point RGB first (EXR; failure: OutOfMemory).
TessivoStatus CodecSave(const platform::Bitmap& image, const std::string& path, int32_t format,
                        int32_t flags, const std::vector<platform::PixelFormat>& allowed,
                        bool toFloat = false);

// TIFF with JPEG compression through the codec plug-in (8 or 24 bits per pixel).
TessivoStatus CodecSaveTiffJpeg(const platform::Bitmap& image, const std::string& path,
                                int32_t quality);

}  // namespace tessivo
