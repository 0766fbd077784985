// The image codecs of the platform layer: decoders for BMP, PNG, JPEG, TIFF, GIF and ICO,
// encoders for BMP, JPEG, GIF, TIFF and PNG, the encoder list, encoder parameters, multi-frame
// TIFF writing and lossless JPEG transforms.
//
// Decoding is eager: the returned bitmap owns its pixels and no longer needs the source. A
// multi-frame TIFF or GIF keeps its encoded bytes in the bitmap's FrameSource, which decodes
// another frame when Bitmap::SelectActiveFrame asks for it (TIFF: FrameDimension::Page, GIF:
// FrameDimension::Time).
//
// What a decoded bitmap carries:
//  - pixel format: BMP as stored (1/4/8 bpp indexed, 16 bpp RGB555/565/ARGB1555, 24bppRGB,
//    32bppRGB, or 32bppARGB when bit-field masks include alpha); PNG 1/2/4/8-bit palette ->
//    1/4/8bppIndexed (2-bit widens to 4) with tRNS alphas in the palette, grey -> 8bppIndexed
//    grey ramp (1-bit: 1bppIndexed), RGB -> 24bppRGB, alpha or a colour key -> 32bppARGB,
//    16-bit channels -> 48bppRGB / 64bppARGB; JPEG grey -> 8bppIndexed grey ramp, colour ->
//    24bppRGB, CMYK/YCCK -> 32bppRGB (converted to RGB); TIFF bilevel -> 1bppIndexed,
//    palette/grey -> 1/4/8bppIndexed, 16-bit grey -> 48bppRGB, RGB -> 24bppRGB or 48bppRGB,
//    with alpha -> 32/64bpp ARGB (PARGB for associated alpha), CMYK -> 32bppRGB, anything
//    else libtiff renders (YCbCr, LAB, ...) -> 32bppRGB/ARGB; GIF -> 8bppIndexed with the
//    transparent index's alpha 0 (a frame composited from other colours: 32bppARGB);
//    ICO -> 32bppARGB (the largest, deepest image of the file).
//  - resolution: JFIF density, PNG pHYs, TIFF/BMP resolution fields; 96 x 96 dpi when the file
//    gives none (then ImageFlagsHasRealDPI is not set).
//  - flags: one colour-space bit (RGB, CMYK, GRAY, YCBCR, YCCK) as stored in the file,
//    ImageFlagsHasRealPixelSize, ImageFlagsHasRealDPI when the file carries a resolution,
//    ImageFlagsHasAlpha/HasTranslucent when the pixels have alpha, ImageFlagsReadOnly.
//  - property items: EXIF, GPS and thumbnail tags (JPEG, TIFF, PNG) with their tag ids and
//    types; ICC profile (kPropertyTagICCProfile); GIF frame delays, loop count and comment.
//    See property_tags.h.
//  - raw format: RawFormat::BMP, PNG, JPEG, TIFF, GIF or Icon.
//
// Failures: a path that does not exist: FileNotFound; bytes that are no known format:
// UnknownImageFormat; a known format whose header is invalid (bad dimensions, bad fields):
// UnknownImageFormat; damaged or truncated pixel data that cannot be decoded: GenericError
// (decoders that can recover, as JPEG does, deliver what they could read); pixels above
// kMaxPixelBytes: OutOfMemory. No input crashes a decoder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/status.h"
#include "platform/stream.h"

namespace tessivo::platform {

// ---------------------------------------------------------------------------------------------
// Decoding

// The format of encoded bytes judged by their signature (at least the first 16 bytes are
// needed for a sure answer); RawFormat::Undefined when none is known.
RawFormat DetectImageFormat(const uint8_t* data, size_t size);

// `icm`: when the file embeds an ICC profile, convert the pixels from that profile to sRGB
// (Little CMS). The profile is kept as a property item either way.
Status DecodeImageFile(const std::string& path, bool icm, std::unique_ptr<Bitmap>& out);
// The number of pages (image file directories) of a TIFF file, read from its directories only;
// -1 when the file is no readable TIFF.
int32_t CountTiffPages(const std::string& path);
Status DecodeImageMemory(const uint8_t* data, size_t size, bool icm,
                         std::unique_ptr<Bitmap>& out);
// Reads the stream from its current position to its end.
Status DecodeImageStream(Stream& stream, bool icm, std::unique_ptr<Bitmap>& out);

// ---------------------------------------------------------------------------------------------
// Encoder list

struct RawTiffPage;  // platform/codecs/tiff_raw_pages.h

struct ImageCodecInfo {
  std::string clsid;              // the encoder's identifier, braced upper-case GUID
  std::string formatId;           // the raw format's GUID (RawFormatGuid)
  std::string codecName;          // "Built-in BMP Codec", ...
  std::string formatDescription;  // "BMP", "JPEG", "GIF", "TIFF", "PNG"
  std::string filenameExtension;  // "*.BMP;*.DIB;*.RLE", ... (upper case, ";"-separated)
  std::string mimeType;           // "image/bmp", ...
  RawFormat format = RawFormat::Undefined;
};

// The encoders in their fixed order: BMP, JPEG, GIF, TIFF, PNG.
const std::vector<ImageCodecInfo>& ImageEncoders();
// The decoders in their fixed order: BMP, JPEG, GIF, TIFF, PNG, ICO.
const std::vector<ImageCodecInfo>& ImageDecoders();
// The encoder with identifier `clsid` (compared without regard to case), or nullptr.
const ImageCodecInfo* FindEncoder(const std::string& clsid);

// ---------------------------------------------------------------------------------------------
// Encoder parameters

enum class EncoderParameterId {
  Quality,         // JPEG: 0..100 (values above 100 are taken as 100); default 75
  Compression,     // TIFF: an EncoderValue compression (LZW default)
  ColorDepth,      // TIFF: 1, 4, 8, 24, 32, 48, 64 bits per pixel (16 is taken as 24); the
                   // image is converted to 1/4/8bppIndexed, 24bppRGB, 32bppARGB, 48bppRGB
                   // or 64bppARGB first
  SaveFlag,        // EncoderValueMultiFrame / FrameDimensionPage / Flush (see MultiFrameEncoder)
  Transformation,  // JPEG: EncoderValueTransform*, applied to the pixels before encoding
                   // (TransformJpegFile transforms an encoded file without loss)
};

// Parameter identifiers as the platform spells them (braced lower-case GUIDs), both ways.
const char* EncoderParameterGuid(EncoderParameterId id);
bool EncoderParameterFromGuid(const std::string& guid, EncoderParameterId& id);

struct EncoderParameter {
  EncoderParameterId id;
  int32_t value;
};

// The platform's encoder values (numbering fixed: callers pass them unchanged).
enum EncoderValue : int32_t {
  EncoderValueColorTypeCMYK = 0,
  EncoderValueColorTypeYCCK = 1,
  EncoderValueCompressionLZW = 2,
  EncoderValueCompressionCCITT3 = 3,
  EncoderValueCompressionCCITT4 = 4,
  EncoderValueCompressionRle = 5,  // TIFF CCITT modified Huffman run lengths (1-bit)
  EncoderValueCompressionNone = 6,
  EncoderValueScanMethodInterlaced = 7,
  EncoderValueScanMethodNonInterlaced = 8,
  EncoderValueVersionGif87 = 9,
  EncoderValueVersionGif89 = 10,
  EncoderValueRenderProgressive = 11,
  EncoderValueRenderNonProgressive = 12,
  EncoderValueTransformRotate90 = 13,
  EncoderValueTransformRotate180 = 14,
  EncoderValueTransformRotate270 = 15,
  EncoderValueTransformFlipHorizontal = 16,
  EncoderValueTransformFlipVertical = 17,
  EncoderValueMultiFrame = 18,
  EncoderValueLastFrame = 19,
  EncoderValueFlush = 20,
  EncoderValueFrameDimensionTime = 21,
  EncoderValueFrameDimensionResolution = 22,
  EncoderValueFrameDimensionPage = 23,
};

// ---------------------------------------------------------------------------------------------
// Encoding
//
// Each encoder writes the bitmap's current frame, with its resolution and (JPEG, TIFF, PNG) its
// EXIF/GPS property items and ICC profile. Pixel formats: every one of the 14 is accepted;
// an encoder converts what its format cannot store (BMP: 16bppGrayScale and 48bpp become
// 24bppRGB, PARGB and 64bpp 32bppARGB (written with alpha masks); JPEG: anything to 24-bit
// colour, 8bppIndexed grey ramps stay grey; PNG: indexed stay indexed (palette alpha as tRNS),
// 16bppGrayScale becomes 16-bit grey, 48/64bpp stay 16-bit, 555/565 become 24-bit, PARGB
// straight alpha; TIFF: as PNG, but 1-bit pages stay bilevel, 8-bit grey ramps are written as
// grey and premultiplied formats as associated alpha; GIF: everything becomes 8-bit indices,
// other than indexed images mapped to the default (halftone) palette, pixels below half
// alpha transparent).
// TIFF compression CCITT3, CCITT4 and Rle apply to 1-bit images only (InvalidParameter
// otherwise). An unknown encoder: UnknownImageFormat; an unknown parameter for an encoder:
// InvalidParameter; a file that cannot be created: Win32Error (AccessDenied when permission
// is refused). A failed file save leaves no file behind.

Status EncodeImageFile(const Bitmap& image, const std::string& path, const std::string& clsid,
                       const std::vector<EncoderParameter>& params = {});
// Writes at the stream's current position.
Status EncodeImageStream(const Bitmap& image, Stream& stream, const std::string& clsid,
                         const std::vector<EncoderParameter>& params = {});

// A multi-frame TIFF being written. Begin writes the first frame; its parameters must include
// SaveFlag = EncoderValueMultiFrame (else InvalidParameter; an encoder other than TIFF:
// InvalidParameter). AddFrame appends a frame; it accepts SaveFlag
// EncoderValueFrameDimensionPage (optional) or EncoderValueLastFrame (the frame is the last:
// the file is completed after it), and Compression/ColorDepth for that frame (the first
// frame's compression otherwise). Flush, or the destructor, completes the file; afterwards
// AddFrame is WrongState. A file that fails to begin is removed.
class MultiFrameEncoder {
 public:
  static Status Begin(const Bitmap& first, const std::string& path, const std::string& clsid,
                      const std::vector<EncoderParameter>& params,
                      std::unique_ptr<MultiFrameEncoder>& out);
  // `stream` must outlive the encoder.
  static Status Begin(const Bitmap& first, Stream& stream, const std::string& clsid,
                      const std::vector<EncoderParameter>& params,
                      std::unique_ptr<MultiFrameEncoder>& out);
  ~MultiFrameEncoder();
  MultiFrameEncoder(const MultiFrameEncoder&) = delete;
  MultiFrameEncoder& operator=(const MultiFrameEncoder&) = delete;

  Status AddFrame(const Bitmap& frame, const std::vector<EncoderParameter>& params = {});

  // The same from a TIFF page's compressed strips, copied unchanged. The file comes out as
  // Begin/AddFrame would write it with the page decoded; when it would not (another
  // compression, strip height or coding option), NotImplemented, nothing is written (BeginRaw
  // creates no file) and the page must be decoded and given to Begin/AddFrame.
  static Status BeginRaw(const RawTiffPage& first, const std::string& path,
                         const std::string& clsid, const std::vector<EncoderParameter>& params,
                         std::unique_ptr<MultiFrameEncoder>& out);
  Status AddRawFrame(const RawTiffPage& frame, const std::vector<EncoderParameter>& params = {});
  Status Flush();
  uint32_t FramesWritten() const;

 private:
  struct Impl;
  explicit MultiFrameEncoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// Lossless JPEG transforms

// Rotates or flips a JPEG file without re-encoding (`transformation` is one of
// EncoderValueTransformRotate90 ... EncoderValueTransformFlipVertical). Edge blocks that
// cannot be transformed losslessly are trimmed. EXIF and other markers are kept; the EXIF
// orientation is left as it was. The output may be the input path. Not a JPEG:
// UnknownImageFormat; another value: InvalidParameter.
Status TransformJpegFile(const std::string& inputPath, const std::string& outputPath,
                         int32_t transformation);
Status TransformJpegMemory(const std::vector<uint8_t>& input, int32_t transformation,
                           std::vector<uint8_t>& output);

}  // namespace tessivo::platform
