// Multi-page TIFF and GIF documents: the registry entry that stands for a whole file, with a
// current page on which ordinary operations act (see ImageRegistry::Resolve).
//
// Kinds of document:
//  - read-only, platform: the decoded image itself; pages are the decoder's frames, selected
//    by making a frame active;
//  - read-only, codec: an entry without bitmap that keeps the codec plug-in's document open;
//    each selected page is copied out of it into its own entry;
//  - editable: an entry without bitmap; every page lives in a temporary file of its own (TIFF
//    pages as LZW TIFF, GIF pages as GIF) and is loaded into its own entry when selected. The
//    document owns its page files and deletes them when it is released. Pages split from a
//    TIFF file keep their own compressed strips when they qualify (core/raw_page_files.h), so
//    that saving them unchanged needs no decoding.
#pragma once
#include <cstdint>
#include <string>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

enum class DocumentFormat { Tiff, Gif };

// The GIF frame attributes a document keeps: delays (hundredths of a second) per frame, loop
// count and comment.
struct GifAttributes {
  std::vector<int32_t> delays;
  int32_t loopCount = 0;
  std::string comment;
};
// Reads them from a decoded GIF: a missing or non-positive delay becomes 25.
GifAttributes ReadGifAttributes(const platform::Bitmap& image, int32_t frameCount);

// Gives `entry` the document fields of a document of `pageCount` pages (no page selected).
void MakeDocument(ImageEntry& entry, DocumentFormat format, int32_t pageCount, bool readOnly);

// The multi-page step, after a platform decode of a file or stream registered as `id`: a TIFF
// or GIF of two or more frames becomes a read-only document (when `readOnly`) or an editable
// one, and its first page is selected. Other images are left as they are. On failure nothing
// stays registered and `id` is 0.
TessivoStatus ApplyMultiPageStep(int32_t& id, bool tiffReadOnly, bool gifReadOnly,
                                 bool codecDisabled);

// Selects page `page` (0-based) of document `id`: GenericError for an unknown id,
// UnsupportedImageFormat when `id` is no document of `format`, InvalidParameter for a page out
// of range. The page left behind is stored back to a new page file first when it was changed.
// Pages of editable documents are loaded with the codec plug-in kept out when `codecDisabled`.
TessivoStatus SelectPage(int32_t id, int32_t page, DocumentFormat format, bool codecDisabled);

// Unloads the current page of document `documentId`; the page is stored back to a new page file
// first when it was changed (editable documents). When that store fails the page stays loaded
// and current and the failure is returned. Afterwards no page is current.
TessivoStatus LeaveCurrentPage(int32_t documentId);

// Saves `page` to a new temporary file as a document of `format` stores its pages. On failure
// the file is gone and `path` is empty.
TessivoStatus SavePageFile(platform::Bitmap& page, DocumentFormat format, std::string& path);

}  // namespace tessivo
