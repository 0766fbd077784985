// Lossless JPEG rotation and flipping with libjpeg-turbo's transformer: the DCT blocks are
// rearranged, never re-encoded; partial blocks at the edges that cannot move are trimmed.
#include <turbojpeg.h>

#include <cstdio>
#include <new>

#include "platform/codecs/codecs.h"

namespace tessivo::platform {

namespace {

int TransformOperation(int32_t transformation) {
  switch (transformation) {
    case EncoderValueTransformRotate90: return TJXOP_ROT90;
    case EncoderValueTransformRotate180: return TJXOP_ROT180;
    case EncoderValueTransformRotate270: return TJXOP_ROT270;
    case EncoderValueTransformFlipHorizontal: return TJXOP_HFLIP;
    case EncoderValueTransformFlipVertical: return TJXOP_VFLIP;
    default: return -1;
  }
}

}  // namespace

Status TransformJpegMemory(const std::vector<uint8_t>& input, int32_t transformation,
                           std::vector<uint8_t>& output) {
  output.clear();
  int op = TransformOperation(transformation);
  if (op < 0) return Status::InvalidParameter;
  if (DetectImageFormat(input.data(), input.size()) != RawFormat::JPEG) {
    return Status::UnknownImageFormat;
  }
  tjhandle handle = tjInitTransform();
  if (handle == nullptr) return Status::OutOfMemory;
  tjtransform transform{};
  transform.op = op;
  transform.options = TJXOPT_TRIM;
  unsigned char* result = nullptr;
  unsigned long resultSize = 0;
  int rc = tjTransform(handle, input.data(), static_cast<unsigned long>(input.size()), 1, &result,
                       &resultSize, &transform, 0);
  Status s = Status::Ok;
  if (rc != 0 || result == nullptr) {
    s = Status::GenericError;
  } else {
    try {
      output.assign(result, result + resultSize);
    } catch (const std::bad_alloc&) {
      s = Status::OutOfMemory;
    }
  }
  tjFree(result);
  tjDestroy(handle);
  return s;
}

Status TransformJpegFile(const std::string& inputPath, const std::string& outputPath,
                         int32_t transformation) {
  if (TransformOperation(transformation) < 0) return Status::InvalidParameter;
  std::vector<uint8_t> input;
  Status s = ReadFileBytes(inputPath, input);
  if (s != Status::Ok) return s;
  std::vector<uint8_t> output;
  s = TransformJpegMemory(input, transformation, output);
  if (s != Status::Ok) return s;
  // Written beside the target first, so that the input survives a failed write even when
  // input and output are the same file.
  const std::string partial = outputPath + ".partial";
  std::unique_ptr<FileStream> file;
  s = FileStream::Open(partial, FileStream::Mode::Create, file);
  if (s == Status::FileNotFound) s = Status::Win32Error;
  if (s != Status::Ok) return s;
  s = file->Write(output.data(), output.size());
  if (s == Status::Ok) s = file->Flush();
  file.reset();
  if (s == Status::Ok && std::rename(partial.c_str(), outputPath.c_str()) != 0) {
    s = Status::Win32Error;
  }
  if (s != Status::Ok) std::remove(partial.c_str());
  return s;
}

}  // namespace tessivo::platform
