// Editing the pages of documents: making a one-page document from an image, inserting,
// deleting and swapping pages. Public page numbers and positions count from 1; the document's
// arrays and current page from 0. Every number is checked before any array is touched.
#pragma once
#include <cstdint>
#include <string>

#include "core/documents.h"
#include "tessivo/status.h"

namespace tessivo {

// True when `id` is a document of `format` that is not read-only.
bool IsEditableDocument(int32_t id, DocumentFormat format);

// A new editable document of one page holding a copy of image `imageId` (the current page when
// it is a document): delay 25, disposal -1, the page selected. On failure nothing stays
// registered and `documentId` is 0.
TessivoStatus CreateDocumentFromImage(int32_t imageId, DocumentFormat format, bool codecDisabled,
                                      int32_t& documentId);

// Inserts a copy of image `addId` at `position` (clamped to 1 .. page count + 1). Unknown
// document or image: GenericError; not an editable document of `format`: UnsupportedImageFormat.
// The current page keeps showing the same page (its number moves up when the page is inserted
// before it).
TessivoStatus InsertPage(int32_t documentId, DocumentFormat format, int32_t position,
                         int32_t addId);
// The same with the first page of the file `path`, loaded for the occasion and released.
TessivoStatus InsertPageFromFile(int32_t documentId, DocumentFormat format, int32_t position,
                                 const std::string& path, bool codecDisabled);

// Deletes page `page`. When it was current, the page that takes its place is selected (the new
// last page when the last one went); a document left without pages has none current.
TessivoStatus DeletePage(int32_t documentId, DocumentFormat format, int32_t page,
                         bool codecDisabled);

// Exchanges pages `page1` and `page2`; the current page follows its page.
TessivoStatus SwapPages(int32_t documentId, DocumentFormat format, int32_t page1, int32_t page2);

// Stores the current page back to a new page file when it was changed and selects it again, so
// that every page of the document is in its file.
TessivoStatus StoreCurrentPage(int32_t documentId, DocumentFormat format, bool codecDisabled);

}  // namespace tessivo
