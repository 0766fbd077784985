// The per-format encoders behind EncodeImage* and MultiFrameEncoder (internal to the codec
// layer). Each writes one complete file for the bitmap's current frame to the stream.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "platform/codecs/tiff_raw_pages.h"
#include "platform/stream.h"

namespace tessivo::platform::codecs {

struct EncodeSettings {
  int32_t quality = 75;         // JPEG
  int32_t compression = EncoderValueCompressionLZW;  // TIFF
  int32_t colorDepth = 0;       // TIFF, 0 = the image's own
  int32_t transformation = -1;  // JPEG, -1 = none
  int32_t saveFlag = -1;        // -1 = none given
};

// Checks `params` against what the encoder for `format` accepts and fills `settings`
// (InvalidParameter for a parameter it does not take or a value out of range).
Status ReadEncoderParameters(RawFormat format, const std::vector<EncoderParameter>& params,
                             EncodeSettings& settings);

Status EncodeBmp(const Bitmap& image, Stream& out);
Status EncodePng(const Bitmap& image, Stream& out);
Status EncodeJpeg(const Bitmap& image, Stream& out, const EncodeSettings& settings);
Status EncodeGif(const Bitmap& image, Stream& out);

// A TIFF file written page by page.
class TiffWriter {
 public:
  ~TiffWriter();
  static Status Open(Stream& out, std::unique_ptr<TiffWriter>& writer);
  // Whether WritePage would accept `image` with `settings` (checked before anything is
  // written): InvalidParameter for a compression the page's depth does not allow.
  static Status CheckPage(const Bitmap& image, const EncodeSettings& settings);
  Status WritePage(const Bitmap& image, const EncodeSettings& settings);
  // Writes a page from its compressed strips, when WritePage given the page decoded would
  // write the same fields (CheckRawPage tells beforehand); NotImplemented, with nothing
  // written, when it would store the page otherwise.
  static Status CheckRawPage(const RawTiffPage& page, const EncodeSettings& settings);
  Status WriteRawPage(const RawTiffPage& page, const EncodeSettings& settings);
  // Completes the file; the writer accepts no more pages.
  Status Close();
  uint32_t Pages() const { return pages_; }

 private:
  TiffWriter() = default;
  struct State;
  std::unique_ptr<State> state_;
  uint32_t pages_ = 0;
};

}  // namespace tessivo::platform::codecs
