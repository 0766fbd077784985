#include "core/raw_page_files.h"

#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "core/temp_files.h"

namespace tessivo {

RawPageSplitter::RawPageSplitter(const std::string& path)
    : pages_(path.empty() ? nullptr : platform::RawTiffPages::Open(path)) {}

RawPageSplitter::~RawPageSplitter() = default;

bool RawPageSplitter::Split(int32_t index, std::string& file, int32_t& bitDepth) {
  file.clear();
  platform::RawTiffPage page;
  if (!pages_ || index < 0 || !pages_->Read(static_cast<uint32_t>(index), page)) return false;
  std::string path = NewTempFile();
  if (path.empty()) return false;
  if (platform::WriteRawTiffFile(page, path) != platform::Status::Ok) {
    DeleteFileQuietly(path);
    return false;
  }
  file = path;
  bitDepth = BitDepthFromPixelFormat(page.Format());
  return true;
}

bool ReadCopyablePageFile(const std::string& file, bool codecDisabled, platform::RawTiffPage& page) {
  if (file.empty() || !platform::ReadRawTiffFile(file, page)) return false;
  // The codec plug-in turns min-is-white rows into min-is-black ones, which the encoder then
  // writes as such: those pages are only copied when the platform decoder reads page files.
  const bool codecReads = !codecDisabled && CodecPlugin() != nullptr;
  return !(codecReads && page.MinIsWhite());
}

}  // namespace tessivo
