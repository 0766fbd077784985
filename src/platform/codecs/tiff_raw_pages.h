// TIFF pages handled as their compressed strips, without decoding: a document's pages are split
// into page files and written into multi-page files by copying those strips. Only pages whose
// every field is one the TIFF encoder itself writes qualify (bilevel or 8-bit RGB, stripped,
// contiguous, top-left, whole-number resolution in dots per inch, no metadata): for them the
// encoder, given the decoded page, would write the same fields, so copying loses nothing and
// changes nothing. Everything else is left to decoding.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pixel_format.h"
#include "platform/status.h"

namespace tessivo::platform {

struct RawTiffPage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t compression = 0;  // libtiff's COMPRESSION_* value
  uint16_t photometric = 0;
  uint16_t bitsPerSample = 1;
  uint16_t samplesPerPixel = 1;
  uint16_t predictor = 1;
  uint32_t group3Options = 0;  // T4 options (CCITT group 3 only)
  uint32_t group4Options = 0;  // T6 options (CCITT group 4 only)
  uint32_t rowsPerStrip = 0;
  float dpiX = 0;
  float dpiY = 0;
  // The page number field, carried as the decoder keeps it among a page's properties.
  bool hasPageNumber = false;
  uint16_t pageNumber[2] = {0, 0};
  std::vector<std::vector<uint8_t>> strips;

  // The format the page decodes to: 1bppIndexed or 24bppRGB.
  PixelFormat Format() const;
  bool MinIsWhite() const;
};

// The pages of one TIFF file, read from memory in increasing order.
class RawTiffPages {
 public:
  // nullptr when the file cannot be read or is no classic TIFF.
  static std::unique_ptr<RawTiffPages> Open(const std::string& path);
  ~RawTiffPages();
  uint32_t Count() const { return count_; }
  // Page `index` when it qualifies for copying; false otherwise (the page must be decoded).
  bool Read(uint32_t index, RawTiffPage& page);

 private:
  RawTiffPages() = default;
  struct State;
  std::unique_ptr<State> state_;
  uint32_t count_ = 0;
};

// The only page of the TIFF file `path`, when it qualifies for copying.
bool ReadRawTiffFile(const std::string& path, RawTiffPage& page);

// Writes `page` as a one-page TIFF at `path` (created or truncated) with the fields it was read
// with.
Status WriteRawTiffFile(const RawTiffPage& page, const std::string& path);

}  // namespace tessivo::platform
