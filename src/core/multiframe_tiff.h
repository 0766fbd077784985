// Multi-page TIFF files written page by page: the document savers, the merges and the native
// multi-page target of an instance. The file is written beside its destination and renamed
// over it when it is complete, so a failure never leaves a partial document in its place.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/pending_file.h"
#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "platform/codecs/tiff_raw_pages.h"
#include "tessivo/status.h"

namespace tessivo {

class MultiPageTiffWriter {
 public:
  // Starts `path` with `first` as page 1. CCITT3, CCITT4 and RLE become LZW for a first page of
  // more than 1 bit per pixel; the compression chosen is kept for the pages that follow. No
  // TIFF encoder: UnknownImageFormat; a destination folder that takes no new file:
  // AccessDenied (permission refused) or Win32Error, and nothing is created.
  static TessivoStatus Begin(platform::Bitmap& first, const std::string& path, int32_t compression,
                             std::unique_ptr<MultiPageTiffWriter>& out);
  // The same with a first page given as its compressed strips, copied unchanged. `copied`
  // false (and OK): the page would be stored otherwise when decoded, nothing is created, and
  // the caller decodes it and calls Begin.
  static TessivoStatus BeginRaw(const platform::RawTiffPage& first, const std::string& path,
                                int32_t compression, std::unique_ptr<MultiPageTiffWriter>& out,
                                bool& copied);
  ~MultiPageTiffWriter();  // an unfinished file is discarded

  // Appends a page with the compression of the first page (LZW when that compression exists for
  // 1-bit pages only and this page is deeper).
  TessivoStatus AddPage(platform::Bitmap& page);
  // Appends a page from its compressed strips; `copied` false (and OK): nothing was written and
  // the page must be decoded and given to AddPage.
  TessivoStatus AddRawPage(const platform::RawTiffPage& page, bool& copied);
  // Completes the file and puts it in place of the destination.
  TessivoStatus Finish();
  int32_t Compression() const { return compression_; }

 private:
  MultiPageTiffWriter() = default;
  PendingFile file_;
  std::unique_ptr<platform::MultiFrameEncoder> encoder_;
  int32_t compression_ = 0;
};

}  // namespace tessivo
