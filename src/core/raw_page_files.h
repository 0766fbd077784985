// Page files of editable TIFF documents made and written without decoding. A page that was
// not changed since it was read keeps its compressed strips: splitting a document copies them
// into the page file, and saving or merging copies them on into the destination when the
// destination wants the same compression (platform/codecs/tiff_raw_pages.h says which pages
// qualify). Every other page is decoded and encoded as before.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/codecs/tiff_raw_pages.h"

namespace tessivo {

// The pages of a multi-page TIFF being split into page files.
class RawPageSplitter {
 public:
  // A splitter that splits nothing when `path` cannot be read as a classic TIFF.
  explicit RawPageSplitter(const std::string& path);
  ~RawPageSplitter();
  // Copies page `index` into a new page file when it qualifies: true with `file` and the
  // page's bit depth set; false with nothing left behind, and the page must be decoded.
  bool Split(int32_t index, std::string& file, int32_t& bitDepth);

 private:
  std::unique_ptr<platform::RawTiffPages> pages_;
};

// The page file `file` as its compressed strips, when writing them unchanged gives what
// decoding the file (the way `codecDisabled` chooses) and encoding it would give.
bool ReadCopyablePageFile(const std::string& file, bool codecDisabled, platform::RawTiffPage& page);

}  // namespace tessivo
