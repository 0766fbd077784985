#include "core/document_pages.h"

#include <algorithm>
#include <utility>

#include "core/image_registry.h"
#include "core/load_pipeline.h"
#include "core/temp_files.h"

namespace tessivo {
namespace {

constexpr int32_t kInsertedFrameDelay = 25;

bool IsDocumentOfFormat(const ImageEntry& e, DocumentFormat format) {
  return format == DocumentFormat::Tiff ? e.multiPageTiff : e.multiPageGif;
}

// GenericError for an unknown id, UnsupportedImageFormat for anything but an editable document
// of the format, else OK with `doc` set.
TessivoStatus EditableDocument(int32_t id, DocumentFormat format, ImageEntry*& doc) {
  doc = ImageRegistry::Current().Entry(id);
  if (!doc) return GenericError;
  if (!IsDocumentOfFormat(*doc, format) || doc->readOnly != 0) return UnsupportedImageFormat;
  return OK;
}

template <typename T>
void InsertAt(std::vector<T>& values, size_t index, T value) {
  values.insert(values.begin() + static_cast<std::ptrdiff_t>(std::min(index, values.size())),
                std::move(value));
}

template <typename T>
void EraseAt(std::vector<T>& values, size_t index) {
  if (index < values.size()) values.erase(values.begin() + static_cast<std::ptrdiff_t>(index));
}

template <typename T>
void SwapAt(std::vector<T>& values, size_t a, size_t b) {
  if (a < values.size() && b < values.size()) std::swap(values[a], values[b]);
}

// The per-page arrays always have page count elements; documents made elsewhere may have left
// some shorter, so they are brought to size before an edit.
void NormaliseArrays(ImageEntry& doc) {
  const auto n = static_cast<size_t>(std::max(doc.pageCount, 0));
  doc.pageFiles.resize(n);
  doc.pageIds.resize(n, 0);
  doc.frameDelays.resize(n, kInsertedFrameDelay);
  doc.frameDisposals.resize(n, -1);
  doc.pageBitDepths.resize(n, 0);
}

}  // namespace

bool IsEditableDocument(int32_t id, DocumentFormat format) {
  ImageEntry* doc = nullptr;
  return EditableDocument(id, format, doc) == OK;
}

TessivoStatus CreateDocumentFromImage(int32_t imageId, DocumentFormat format, bool codecDisabled,
                                      int32_t& documentId) {
  documentId = 0;
  ImageRegistry& registry = ImageRegistry::Current();
  platform::Bitmap* image = registry.Resolve(imageId);
  if (!image) return registry.Entry(imageId) ? GenericError : InvalidParameter;
  std::string file;
  TessivoStatus status = SavePageFile(*image, format, file);
  if (status != OK) return status;
  const int32_t bitDepth = BitDepthFromPixelFormat(image->Format());

  int32_t id = 0;
  registry.Register(id, nullptr, format == DocumentFormat::Tiff ? "TIFF" : "GIF", "", OriginMemory);
  ImageEntry* doc = registry.Entry(id);
  MakeDocument(*doc, format, 1, false);
  doc->pageFiles[0] = file;
  doc->frameDelays[0] = kInsertedFrameDelay;
  doc->pageBitDepths[0] = bitDepth;
  status = SelectPage(id, 0, format, codecDisabled);
  if (status != OK) {
    registry.Release(id);  // deletes the page file too
    return status;
  }
  documentId = id;
  return OK;
}

TessivoStatus InsertPage(int32_t documentId, DocumentFormat format, int32_t position,
                         int32_t addId) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* doc = nullptr;
  TessivoStatus status = EditableDocument(documentId, format, doc);
  if (status != OK) return status;
  const int32_t count = std::max(doc->pageCount, 0);
  position = std::clamp(position, 1, count + 1);
  platform::Bitmap* image = registry.Entry(addId) ? registry.Resolve(addId) : nullptr;
  if (!image) return GenericError;
  std::string file;
  status = SavePageFile(*image, format, file);
  if (status != OK) return status;
  const int32_t bitDepth = BitDepthFromPixelFormat(image->Format());

  doc = registry.Entry(documentId);
  NormaliseArrays(*doc);
  const auto index = static_cast<size_t>(position - 1);
  InsertAt(doc->pageFiles, index, file);
  InsertAt(doc->pageIds, index, 0);
  InsertAt(doc->frameDelays, index, kInsertedFrameDelay);
  InsertAt(doc->frameDisposals, index, -1);
  InsertAt(doc->pageBitDepths, index, bitDepth);
  doc->pageCount = count + 1;
  if (doc->currentPage >= position - 1) ++doc->currentPage;
  return OK;
}

TessivoStatus InsertPageFromFile(int32_t documentId, DocumentFormat format, int32_t position,
                                 const std::string& path, bool codecDisabled) {
  ImageEntry* doc = nullptr;
  TessivoStatus status = EditableDocument(documentId, format, doc);
  if (status != OK) return status;
  LoadOptions options;
  options.codecDisabled = codecDisabled;
  options.tiffReadOnly = options.gifReadOnly = true;  // a multi-page file gives its first page
  int32_t loaded = 0;
  status = LoadImageFile(path, options, loaded);
  if (status != OK) return status;
  status = InsertPage(documentId, format, position, loaded);
  ImageRegistry::Current().Release(loaded);
  return status;
}

TessivoStatus DeletePage(int32_t documentId, DocumentFormat format, int32_t page,
                         bool codecDisabled) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* doc = nullptr;
  TessivoStatus status = EditableDocument(documentId, format, doc);
  if (status != OK) return status;
  if (page < 1 || page > doc->pageCount) return InvalidParameter;
  NormaliseArrays(*doc);
  const auto index = static_cast<size_t>(page - 1);
  const bool wasCurrent = doc->currentPage == page - 1;
  if (wasCurrent) doc->currentPage = -1;
  const int32_t pageId = doc->pageIds[index];
  const std::string file = doc->pageFiles[index];
  doc->pageIds[index] = 0;
  if (pageId != 0) registry.Release(pageId);
  DeleteFileQuietly(file);

  doc = registry.Entry(documentId);
  EraseAt(doc->pageFiles, index);
  EraseAt(doc->pageIds, index);
  EraseAt(doc->frameDelays, index);
  EraseAt(doc->frameDisposals, index);
  EraseAt(doc->pageBitDepths, index);
  doc->pageCount -= 1;
  if (!wasCurrent) {
    if (doc->currentPage > page - 1) --doc->currentPage;
    return OK;
  }
  if (doc->pageCount == 0) return OK;
  return SelectPage(documentId, std::min(page - 1, doc->pageCount - 1), format, codecDisabled);
}

TessivoStatus SwapPages(int32_t documentId, DocumentFormat format, int32_t page1, int32_t page2) {
  ImageEntry* doc = nullptr;
  TessivoStatus status = EditableDocument(documentId, format, doc);
  if (status != OK) return status;
  if (page1 < 1 || page1 > doc->pageCount || page2 < 1 || page2 > doc->pageCount)
    return InvalidParameter;
  NormaliseArrays(*doc);
  const auto a = static_cast<size_t>(page1 - 1), b = static_cast<size_t>(page2 - 1);
  SwapAt(doc->pageFiles, a, b);
  SwapAt(doc->pageIds, a, b);
  SwapAt(doc->frameDelays, a, b);
  SwapAt(doc->frameDisposals, a, b);
  SwapAt(doc->pageBitDepths, a, b);
  if (doc->currentPage == page1 - 1) doc->currentPage = page2 - 1;
  else if (doc->currentPage == page2 - 1) doc->currentPage = page1 - 1;
  return OK;
}

TessivoStatus StoreCurrentPage(int32_t documentId, DocumentFormat format, bool codecDisabled) {
  ImageEntry* doc = ImageRegistry::Current().Entry(documentId);
  if (!doc || doc->currentPage < 0) return OK;
  const int32_t current = doc->currentPage;
  const int32_t pageId = static_cast<size_t>(current) < doc->pageIds.size()
                             ? doc->pageIds[static_cast<size_t>(current)]
                             : 0;
  const ImageEntry* page = ImageRegistry::Current().Entry(pageId);
  if (!page || !page->pageModified) return OK;
  TessivoStatus status = LeaveCurrentPage(documentId);
  if (status != OK) return status;
  return SelectPage(documentId, current, format, codecDisabled);
}

}  // namespace tessivo
