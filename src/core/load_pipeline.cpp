#include "core/load_pipeline.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "core/codec_decode.h"
#include "core/documents.h"
#include "core/image_registry.h"
#include "core/jpeg_source.h"
#include "core/platform_result.h"
#include "core/temp_files.h"
#include "platform/codecs/codecs.h"
#include "platform/host_services.h"

namespace tessivo {
namespace {

std::string TrimBlanks(const std::string& s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The platform route: decode, register as a file image, then the multi-page step.
TessivoStatus PlatformDecodeFile(const std::string& path, const LoadOptions& options,
                                 int32_t& id) {
  std::unique_ptr<platform::Bitmap> image;
  TessivoStatus status = StatusOf(platform::DecodeImageFile(path, options.icm, image));
  if (status != OK) return status;
  if (image->Format() == platform::kPixelFormatUndefined) return UnknownImageFormat;
  RegisterImage(id, std::move(image), "", path, OriginFile);
  return ApplyMultiPageStep(id, options.tiffReadOnly, options.gifReadOnly, options.codecDisabled);
}

// True for a file the codec plug-in would hand straight back to the platform decoder: a PNG,
// GIF or BMP signature (the plug-in refuses those formats) and a name that does not make the
// plug-in take it for TIFF. Such files are decoded without loading the plug-in at all, which
// with its libraries costs more than decoding a small picture.
bool PlatformOwnsSignature(const std::string& path) {
  std::string extension;
  const size_t dot = path.rfind('.'), slash = path.rfind('/');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "tif" || extension == "tiff") return false;
  uint8_t head[26];
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ssize_t got = 0;
  while (got < static_cast<ssize_t>(sizeof head)) {
    const ssize_t n = ::read(fd, head + got, sizeof head - static_cast<size_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  ::close(fd);
  const platform::RawFormat format = platform::DetectImageFormat(head, static_cast<size_t>(got));
  return format == platform::RawFormat::PNG || format == platform::RawFormat::GIF ||
         format == platform::RawFormat::BMP;
}

}  // namespace

std::string NormalisePath(const std::string& path) {
  std::string p = TrimBlanks(path);
  if (p.size() > 3) {
    while (p.compare(0, 3, "///") == 0) p.erase(0, 1);
    for (size_t pos = p.find("//", 2); pos != std::string::npos; pos = p.find("//", 2))
      p.erase(pos, 1);
  }
  return p;
}

bool IsReadableFile(const std::string& path) {
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

namespace {

TessivoStatus LoadThroughRoutes(const std::string& path, const LoadOptions& options, int32_t& id) {
  bool platformTried = false;
  if (options.icm || options.codecDisabled) {
    TessivoStatus status = PlatformDecodeFile(path, options, id);
    platformTried = true;
    if (status == OK || options.codecDisabled) return status;
  }
  // What the plug-in would refuse goes to the platform first; only a failure there takes the
  // whole route below, so statuses stay those of the plug-in's answer.
  if (!platformTried && PlatformOwnsSignature(path)) {
    if (PlatformDecodeFile(path, options, id) == OK) return OK;
    id = 0;
    platformTried = true;
  }
  const TessivoStatus codecStatus =
      CodecDecodeFile(path, options.icm, options.tiffReadOnly, options.codecDisabled, id);
  if (codecStatus == OK) return OK;
  // The codec refused the file or is absent: the platform decoder takes over. When it fails
  // as well, the codec's answer is the status (Aborted while the plug-in is absent).
  if (!platformTried && PlatformDecodeFile(path, options, id) == OK) return OK;
  id = 0;
  return codecStatus;
}

}  // namespace

TessivoStatus LoadImageFile(const std::string& requested, const LoadOptions& options,
                            int32_t& id) {
  id = 0;
  std::string path = requested;
  if (options.allowDialog && TrimBlanks(path).empty()) {
    std::optional<std::string> chosen =
        platform::Host().OpenFileDialog("Open File", "All files (*.*)|*.*");
    if (chosen) path = *chosen;
  }
  path = NormalisePath(path);
  if (path.empty() || !IsReadableFile(path)) return FileNotFound;

  const TessivoStatus status = LoadThroughRoutes(path, options, id);
  // A JPEG loaded as one image may print as its own stream while it stays unchanged.
  if (status == OK)
    if (ImageEntry* entry = ImageRegistry::Current().Entry(id)) RecordJpegSource(*entry, path, options.icm);
  return status;
}

TessivoStatus LoadImageStream(platform::Stream& stream, bool icm, const LoadOptions& pageOptions,
                              int32_t& id) {
  id = 0;
  std::unique_ptr<platform::Bitmap> image;
  TessivoStatus status = StatusOf(platform::DecodeImageStream(stream, icm, image));
  if (status != OK) return status;
  RegisterImage(id, std::move(image), "", "", OriginMemory);
  return ApplyMultiPageStep(id, false, false, pageOptions.codecDisabled);
}

TessivoStatus LoadImageBytes(const uint8_t* data, size_t size, const LoadOptions& options,
                             int32_t& id) {
  id = 0;
  const std::string temp = NewTempFile();
  if (temp.empty()) return GenericError;
  TessivoStatus status = OK;
  {
    std::unique_ptr<platform::FileStream> file;
    status = StatusOf(platform::FileStream::Open(temp, platform::FileStream::Mode::Create, file));
    if (status == OK && size > 0) status = StatusOf(file->Write(data, size));
    if (status == OK) status = StatusOf(file->Flush());
  }
  if (status == OK) {
    LoadOptions fileOptions = options;
    fileOptions.allowDialog = false;
    fileOptions.codecDisabled = false;
    status = LoadImageFile(temp, fileOptions, id);
  }
  if (status != OK) {
    DeleteFileQuietly(temp);
    return status;
  }
  ImageEntry* entry = ImageRegistry::Current().Entry(id);
  entry->filePath = temp;
  entry->deleteFileOnClose = true;
  return OK;
}

}  // namespace tessivo
