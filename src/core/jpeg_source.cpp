#include "core/jpeg_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "core/image_registry.h"
#include "platform/codecs/jpeg_frame.h"
#include "platform/codecs/property_tags.h"
#include "platform/content_hash.h"
#include "platform/pixel_format.h"

namespace tessivo {
namespace {

// Files larger than this are not worth keeping a second copy of for the print job.
constexpr uint64_t kMaxStreamBytes = uint64_t{1} << 30;

struct FileBytes {
  std::shared_ptr<std::vector<uint8_t>> bytes;
  uint64_t size = 0;
  int64_t modifiedNs = 0;
};

// The whole file with the size and time its descriptor reports, or nothing (also for a file
// that does not start as a JPEG stream).
std::optional<FileBytes> ReadJpegFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<FileBytes> out;
  struct stat info;
  uint8_t signature[3] = {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 3 &&
      static_cast<uint64_t>(info.st_size) <= kMaxStreamBytes && ::pread(fd, signature, 3, 0) == 3 &&
      signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF) {
    FileBytes file;
    file.size = static_cast<uint64_t>(info.st_size);
    file.modifiedNs = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    file.bytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(file.size));
    size_t got = 0;
    while (got < file.size) {
      const ssize_t n = ::read(fd, file.bytes->data() + got, file.size - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    if (got == file.size) out = std::move(file);
  }
  ::close(fd);
  return out;
}

bool IsGreyRamp(const platform::Palette& palette) {
  if (palette.entries.size() != 256) return false;
  for (uint32_t i = 0; i < 256; ++i)
    if (palette.entries[i] != (0xFF000000u | i * 0x010101u)) return false;
  return true;
}

// Whether `image` is what the loaders make of the stream `frame` without changing anything.
bool IsPlainDecode(const platform::Bitmap& image, const platform::JpegFrame& frame, bool icm) {
  if (!platform::IsPlainDctStream(frame) || image.Width() != static_cast<int32_t>(frame.width) ||
      image.Height() != static_cast<int32_t>(frame.height))
    return false;
  const bool formatMatches = frame.components == 1
                                 ? image.Format() == platform::kPixelFormat8bppIndexed && IsGreyRamp(image.GetPalette())
                                 : image.Format() == platform::kPixelFormat24bppRGB;
  if (!formatMatches) return false;
  platform::PropertyItem item;
  // Colour management converts the pixels by the embedded profile.
  if (icm && image.GetProperty(platform::kPropertyTagICCProfile, item) == platform::Status::Ok) return false;
  // An orientation other than "as stored" is for the viewer to apply: the stream would print
  // one way, and anything honouring the tag another.
  if (image.GetProperty(platform::kPropertyTagOrientation, item) == platform::Status::Ok &&
      !(item.value.size() >= 2 && item.value[0] == 1 && item.value[1] == 0))
    return false;
  return true;
}

}  // namespace

uint64_t PixelContentHash(const platform::Bitmap& image) {
  platform::ContentHasher hasher;
  const int64_t header[3] = {image.Width(), image.Height(), static_cast<int64_t>(image.Format())};
  hasher.Update(header, sizeof header);
  const auto& palette = image.GetPalette().entries;
  if (!palette.empty()) hasher.Update(palette.data(), palette.size() * sizeof palette[0]);
  const size_t rowBytes = (static_cast<size_t>(image.Width()) * static_cast<size_t>(platform::BitsPerPixel(image.Format())) + 7) / 8;
  for (int32_t y = 0; y < image.Height(); ++y) hasher.Update(image.Row(y), rowBytes);
  return hasher.Digest();
}

void RecordJpegSource(ImageEntry& entry, const std::string& path, bool icm) {
  entry.jpegSource.reset();
  if (entry.IsDocument() || !entry.image) return;
  std::optional<FileBytes> file = ReadJpegFile(path);
  platform::JpegFrame frame;
  if (!file || !platform::ReadJpegFrame(file->bytes->data(), file->bytes->size(), frame) ||
      !IsPlainDecode(*entry.image, frame, icm))
    return;
  auto record = std::make_shared<JpegSourceRecord>();
  record->path = path;
  record->fileSize = file->size;
  record->modifiedNs = file->modifiedNs;
  record->fileHash = platform::HashBytes(file->bytes->data(), file->bytes->size());
  record->pixelHash = PixelContentHash(*entry.image);
  entry.jpegSource = std::move(record);
}

std::optional<platform::EncodedImage> UnchangedJpegSource(const ImageEntry& entry, const platform::Bitmap& image) {
  const JpegSourceRecord* record = entry.jpegSource.get();
  if (!record || entry.image.get() != &image) return std::nullopt;
  std::optional<FileBytes> file = ReadJpegFile(record->path);
  if (!file || file->size != record->fileSize || file->modifiedNs != record->modifiedNs ||
      platform::HashBytes(file->bytes->data(), file->bytes->size()) != record->fileHash ||
      PixelContentHash(image) != record->pixelHash)
    return std::nullopt;
  platform::EncodedImage out;
  out.kind = platform::EncodedImage::Kind::Jpeg;
  out.width = image.Width();
  out.height = image.Height();
  out.parts.push_back(std::move(file->bytes));
  return out;
}

}  // namespace tessivo
