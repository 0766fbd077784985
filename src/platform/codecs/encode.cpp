// The encoding entry points: parameter checks, dispatch to the encoders, file handling and
// the multi-frame TIFF encoder.
#include <cstdio>
#include <new>

#include "platform/codecs/codecs.h"
#include "platform/codecs/encoders.h"

namespace tessivo::platform {

namespace codecs {

Status ReadEncoderParameters(RawFormat format, const std::vector<EncoderParameter>& params,
                             EncodeSettings& settings) {
  for (const EncoderParameter& p : params) {
    switch (p.id) {
      case EncoderParameterId::Quality:
        if (format != RawFormat::JPEG || p.value < 0) return Status::InvalidParameter;
        settings.quality = p.value > 100 ? 100 : p.value;
        break;
      case EncoderParameterId::Transformation:
        if (format != RawFormat::JPEG || p.value < EncoderValueTransformRotate90 ||
            p.value > EncoderValueTransformFlipVertical) {
          return Status::InvalidParameter;
        }
        settings.transformation = p.value;
        break;
      case EncoderParameterId::Compression:
        if (format != RawFormat::TIFF || p.value < EncoderValueCompressionLZW ||
            p.value > EncoderValueCompressionNone) {
          return Status::InvalidParameter;
        }
        settings.compression = p.value;
        break;
      case EncoderParameterId::ColorDepth:
        if (format != RawFormat::TIFF) return Status::InvalidParameter;
        switch (p.value) {
          case 1: case 4: case 8: case 16: case 24: case 32: case 48: case 64: break;
          default: return Status::InvalidParameter;
        }
        settings.colorDepth = p.value;
        break;
      case EncoderParameterId::SaveFlag:
        if (format != RawFormat::TIFF) return Status::InvalidParameter;
        if (p.value != EncoderValueMultiFrame && p.value != EncoderValueFrameDimensionPage &&
            p.value != EncoderValueLastFrame && p.value != EncoderValueFlush) {
          return Status::InvalidParameter;
        }
        settings.saveFlag = p.value;
        break;
      default:
        return Status::InvalidParameter;
    }
  }
  return Status::Ok;
}

}  // namespace codecs

namespace {

using codecs::EncodeSettings;

Status ValidImage(const Bitmap& image) {
  if (image.Width() < 1 || image.Height() < 1 || image.Scan0() == nullptr) {
    return Status::InvalidParameter;
  }
  return Status::Ok;
}

Status Encode(const Bitmap& image, Stream& out, const ImageCodecInfo& codec,
              const EncodeSettings& settings) {
  switch (codec.format) {
    case RawFormat::BMP: return codecs::EncodeBmp(image, out);
    case RawFormat::PNG: return codecs::EncodePng(image, out);
    case RawFormat::JPEG: return codecs::EncodeJpeg(image, out, settings);
    case RawFormat::GIF: return codecs::EncodeGif(image, out);
    case RawFormat::TIFF: {
      Status s = codecs::TiffWriter::CheckPage(image, settings);
      if (s != Status::Ok) return s;
      std::unique_ptr<codecs::TiffWriter> writer;
      s = codecs::TiffWriter::Open(out, writer);
      if (s == Status::Ok) s = writer->WritePage(image, settings);
      Status closed = writer ? writer->Close() : Status::Ok;
      return s != Status::Ok ? s : closed;
    }
    default: return Status::UnknownImageFormat;
  }
}

// Looks up the encoder and reads the parameters.
Status Prepare(const Bitmap& image, const std::string& clsid,
               const std::vector<EncoderParameter>& params, const ImageCodecInfo*& codec,
               EncodeSettings& settings) {
  Status s = ValidImage(image);
  if (s != Status::Ok) return s;
  codec = FindEncoder(clsid);
  if (codec == nullptr) return Status::UnknownImageFormat;
  return codecs::ReadEncoderParameters(codec->format, params, settings);
}

template <typename Body>
Status Guard(Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  } catch (...) {
    return Status::GenericError;
  }
}

}  // namespace

Status EncodeImageStream(const Bitmap& image, Stream& stream, const std::string& clsid,
                         const std::vector<EncoderParameter>& params) {
  return Guard([&] {
    const ImageCodecInfo* codec = nullptr;
    EncodeSettings settings;
    Status s = Prepare(image, clsid, params, codec, settings);
    if (s != Status::Ok) return s;
    return Encode(image, stream, *codec, settings);
  });
}

Status EncodeImageFile(const Bitmap& image, const std::string& path, const std::string& clsid,
                       const std::vector<EncoderParameter>& params) {
  return Guard([&] {
    const ImageCodecInfo* codec = nullptr;
    EncodeSettings settings;
    Status s = Prepare(image, clsid, params, codec, settings);
    if (s != Status::Ok) return s;
    std::unique_ptr<FileStream> file;
    s = FileStream::Open(path, FileStream::Mode::Create, file);
    if (s == Status::FileNotFound) s = Status::Win32Error;  // a missing folder
    if (s != Status::Ok) return s;
    try {
      s = Encode(image, *file, *codec, settings);
      if (s == Status::Ok) s = file->Flush();
    } catch (...) {
      file.reset();
      std::remove(path.c_str());
      throw;
    }
    file.reset();
    if (s != Status::Ok) std::remove(path.c_str());
    return s;
  });
}

// --- MultiFrameEncoder ---

struct MultiFrameEncoder::Impl {
  std::unique_ptr<FileStream> file;  // when writing to a path
  std::string path;
  std::unique_ptr<codecs::TiffWriter> writer;
  EncodeSettings firstSettings;
  bool done = false;
};

MultiFrameEncoder::MultiFrameEncoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

MultiFrameEncoder::~MultiFrameEncoder() {
  if (impl_ && !impl_->done) Flush();
}

namespace {

Status BeginOn(const Bitmap& first, Stream& stream, const std::string& clsid,
               const std::vector<EncoderParameter>& params, std::unique_ptr<codecs::TiffWriter>& writer,
               EncodeSettings& settings) {
  const ImageCodecInfo* codec = nullptr;
  Status s = Prepare(first, clsid, params, codec, settings);
  if (s != Status::Ok) return s;
  if (codec->format != RawFormat::TIFF || settings.saveFlag != EncoderValueMultiFrame) {
    return Status::InvalidParameter;
  }
  s = codecs::TiffWriter::CheckPage(first, settings);
  if (s != Status::Ok) return s;
  s = codecs::TiffWriter::Open(stream, writer);
  if (s != Status::Ok) return s;
  return writer->WritePage(first, settings);
}

}  // namespace

Status MultiFrameEncoder::Begin(const Bitmap& first, Stream& stream, const std::string& clsid,
                                const std::vector<EncoderParameter>& params,
                                std::unique_ptr<MultiFrameEncoder>& out) {
  out.reset();
  return Guard([&] {
    auto impl = std::make_unique<Impl>();
    Status s = BeginOn(first, stream, clsid, params, impl->writer, impl->firstSettings);
    if (s != Status::Ok) return s;
    out.reset(new MultiFrameEncoder(std::move(impl)));
    return Status::Ok;
  });
}

Status MultiFrameEncoder::Begin(const Bitmap& first, const std::string& path,
                                const std::string& clsid,
                                const std::vector<EncoderParameter>& params,
                                std::unique_ptr<MultiFrameEncoder>& out) {
  out.reset();
  return Guard([&] {
    // Check everything that needs no file before creating one.
    const ImageCodecInfo* codec = nullptr;
    EncodeSettings settings;
    Status s = Prepare(first, clsid, params, codec, settings);
    if (s != Status::Ok) return s;
    if (codec->format != RawFormat::TIFF || settings.saveFlag != EncoderValueMultiFrame) {
      return Status::InvalidParameter;
    }
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    s = FileStream::Open(path, FileStream::Mode::Create, impl->file);
    if (s == Status::FileNotFound) s = Status::Win32Error;
    if (s != Status::Ok) return s;
    s = BeginOn(first, *impl->file, clsid, params, impl->writer, impl->firstSettings);
    if (s != Status::Ok) {
      impl->writer.reset();
      impl->file.reset();
      std::remove(path.c_str());
      return s;
    }
    out.reset(new MultiFrameEncoder(std::move(impl)));
    return Status::Ok;
  });
}

Status MultiFrameEncoder::AddFrame(const Bitmap& frame, const std::vector<EncoderParameter>& params) {
  if (impl_->done) return Status::WrongState;
  return Guard([&] {
    Status s = ValidImage(frame);
    if (s != Status::Ok) return s;
    EncodeSettings settings;
    settings.compression = impl_->firstSettings.compression;
    s = codecs::ReadEncoderParameters(RawFormat::TIFF, params, settings);
    if (s != Status::Ok) return s;
    if (settings.saveFlag != -1 && settings.saveFlag != EncoderValueFrameDimensionPage &&
        settings.saveFlag != EncoderValueLastFrame) {
      return Status::InvalidParameter;
    }
    s = impl_->writer->WritePage(frame, settings);
    if (s != Status::Ok) return s;
    return settings.saveFlag == EncoderValueLastFrame ? Flush() : Status::Ok;
  });
}

Status MultiFrameEncoder::BeginRaw(const RawTiffPage& first, const std::string& path,
                                   const std::string& clsid,
                                   const std::vector<EncoderParameter>& params,
                                   std::unique_ptr<MultiFrameEncoder>& out) {
  out.reset();
  return Guard([&] {
    const ImageCodecInfo* codec = FindEncoder(clsid);
    if (codec == nullptr) return Status::UnknownImageFormat;
    EncodeSettings settings;
    Status s = codecs::ReadEncoderParameters(codec->format, params, settings);
    if (s != Status::Ok) return s;
    if (codec->format != RawFormat::TIFF || settings.saveFlag != EncoderValueMultiFrame) {
      return Status::InvalidParameter;
    }
    // Decided before the file exists, so that the decoding way can still create it.
    s = codecs::TiffWriter::CheckRawPage(first, settings);
    if (s != Status::Ok) return s;
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->firstSettings = settings;
    s = FileStream::Open(path, FileStream::Mode::Create, impl->file);
    if (s == Status::FileNotFound) s = Status::Win32Error;
    if (s != Status::Ok) return s;
    s = codecs::TiffWriter::Open(*impl->file, impl->writer);
    if (s == Status::Ok) s = impl->writer->WriteRawPage(first, settings);
    if (s != Status::Ok) {
      impl->writer.reset();
      impl->file.reset();
      std::remove(path.c_str());
      return s == Status::NotImplemented ? Status::GenericError : s;
    }
    out.reset(new MultiFrameEncoder(std::move(impl)));
    return Status::Ok;
  });
}

Status MultiFrameEncoder::AddRawFrame(const RawTiffPage& frame,
                                      const std::vector<EncoderParameter>& params) {
  if (impl_->done) return Status::WrongState;
  return Guard([&] {
    EncodeSettings settings;
    settings.compression = impl_->firstSettings.compression;
    Status s = codecs::ReadEncoderParameters(RawFormat::TIFF, params, settings);
    if (s != Status::Ok) return s;
    if (settings.saveFlag != -1 && settings.saveFlag != EncoderValueFrameDimensionPage) {
      return Status::InvalidParameter;
    }
    return impl_->writer->WriteRawPage(frame, settings);
  });
}

Status MultiFrameEncoder::Flush() {
  if (impl_->done) return Status::WrongState;
  impl_->done = true;
  Status s = impl_->writer->Close();
  if (impl_->file) {
    Status flushed = impl_->file->Flush();
    if (s == Status::Ok) s = flushed;
    impl_->file.reset();
  }
  return s;
}

uint32_t MultiFrameEncoder::FramesWritten() const {
  return impl_->writer ? impl_->writer->Pages() : 0;
}

}  // namespace tessivo::platform
