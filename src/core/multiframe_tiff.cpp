#include "core/multiframe_tiff.h"

#include <cerrno>

#include "core/encoder_lookup.h"
#include "core/platform_result.h"
#include "core/save_routes.h"

namespace tessivo {

using platform::EncoderParameterId;

TessivoStatus MultiPageTiffWriter::Begin(platform::Bitmap& first, const std::string& path,
                                         int32_t compression,
                                         std::unique_ptr<MultiPageTiffWriter>& out) {
  out.reset();
  const platform::ImageCodecInfo* encoder = EncoderByPattern("*.tif");
  if (!encoder) return UnknownImageFormat;
  std::unique_ptr<MultiPageTiffWriter> writer(new MultiPageTiffWriter());
  if (!writer->file_.Open(path)) return (errno == EACCES || errno == EPERM) ? AccessDenied : Win32Error;
  PrepareForEncoding(first);
  writer->compression_ = CompressionForDepth(compression, platform::BitsPerPixel(first.Format()));
  const platform::Status s = platform::MultiFrameEncoder::Begin(
      first, writer->file_.Path(), encoder->clsid,
      {{EncoderParameterId::SaveFlag, platform::EncoderValueMultiFrame},
       {EncoderParameterId::Compression, writer->compression_}},
      writer->encoder_);
  if (s != platform::Status::Ok) return StatusOf(s);
  out = std::move(writer);
  return OK;
}

TessivoStatus MultiPageTiffWriter::BeginRaw(const platform::RawTiffPage& first,
                                            const std::string& path, int32_t compression,
                                            std::unique_ptr<MultiPageTiffWriter>& out,
                                            bool& copied) {
  out.reset();
  copied = false;
  const platform::ImageCodecInfo* encoder = EncoderByPattern("*.tif");
  if (!encoder) return UnknownImageFormat;
  std::unique_ptr<MultiPageTiffWriter> writer(new MultiPageTiffWriter());
  writer->compression_ = CompressionForDepth(compression, platform::BitsPerPixel(first.Format()));
  const std::vector<platform::EncoderParameter> params = {
      {EncoderParameterId::SaveFlag, platform::EncoderValueMultiFrame},
      {EncoderParameterId::Compression, writer->compression_}};
  if (!writer->file_.Open(path)) return (errno == EACCES || errno == EPERM) ? AccessDenied : Win32Error;
  const platform::Status s = platform::MultiFrameEncoder::BeginRaw(
      first, writer->file_.Path(), encoder->clsid, params, writer->encoder_);
  // A page the encoder would store otherwise: the pending file goes with `writer`.
  if (s == platform::Status::NotImplemented) return OK;
  if (s != platform::Status::Ok) return StatusOf(s);
  copied = true;
  out = std::move(writer);
  return OK;
}

MultiPageTiffWriter::~MultiPageTiffWriter() {
  encoder_.reset();  // closes the partial file before it is removed
  file_.Discard();
}

TessivoStatus MultiPageTiffWriter::AddPage(platform::Bitmap& page) {
  if (!encoder_) return WrongState;
  PrepareForEncoding(page);
  const int32_t compression = CompressionForDepth(compression_, platform::BitsPerPixel(page.Format()));
  return StatusOf(encoder_->AddFrame(
      page, {{EncoderParameterId::SaveFlag, platform::EncoderValueFrameDimensionPage},
             {EncoderParameterId::Compression, compression}}));
}

TessivoStatus MultiPageTiffWriter::AddRawPage(const platform::RawTiffPage& page, bool& copied) {
  copied = false;
  if (!encoder_) return WrongState;
  const int32_t compression = CompressionForDepth(compression_, platform::BitsPerPixel(page.Format()));
  const platform::Status s = encoder_->AddRawFrame(
      page, {{EncoderParameterId::SaveFlag, platform::EncoderValueFrameDimensionPage},
             {EncoderParameterId::Compression, compression}});
  if (s == platform::Status::NotImplemented) return OK;
  copied = s == platform::Status::Ok;
  return StatusOf(s);
}

TessivoStatus MultiPageTiffWriter::Finish() {
  if (!encoder_) return WrongState;
  const platform::Status s = encoder_->Flush();
  encoder_.reset();
  if (s != platform::Status::Ok) {
    file_.Discard();
    return StatusOf(s);
  }
  return file_.Commit() ? OK : Win32Error;
}

}  // namespace tessivo
