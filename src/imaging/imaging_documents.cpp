// Document methods of cImaging: the read-only options, queries, page selection, creation and
// page editing of multi-page TIFF and GIF documents (src/core/documents.*, document_pages.*).
#include "core/boundary.h"
#include "core/document_pages.h"
#include "core/documents.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "imaging/document_access.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

constexpr DocumentFormat kTiff = DocumentFormat::Tiff;
constexpr DocumentFormat kGif = DocumentFormat::Gif;

bool IsMultiPage(int32_t id, DocumentFormat format) { return DocumentEntry(id, format) != nullptr; }

bool IsEditable(int32_t id, DocumentFormat format) {
  const ImageEntry* e = DocumentEntry(id, format);
  return e && e->readOnly == 0;
}

int32_t PageCount(ImagingState& st, int32_t id, DocumentFormat format) {
  const ImageEntry* e = DocumentEntry(id, format);
  if (!e) return st.Set(ImageRegistry::Current().Entry(id) ? UnsupportedImageFormat : GenericError), 0;
  st.Set(OK);
  return e->pageCount;
}

int32_t CurrentPage(int32_t id, DocumentFormat format) {
  const ImageEntry* e = DocumentEntry(id, format);
  return e ? e->currentPage + 1 : 0;
}

// Page numbers are checked as 64-bit values, so no public number can wrap when made 0-based.
TessivoStatus Select(ImagingState& st, int32_t id, int32_t page, DocumentFormat format) {
  return GuardedStatus(st, [&] {
    const int64_t index = int64_t{page} - 1;
    const int32_t zeroBased = index < 0 ? -1 : static_cast<int32_t>(index);
    return st.Set(SelectPage(id, zeroBased, format, st.disableCodecPlugin));
  });
}

// Stores the outcome of a creation and, on OK, makes the new document native.
int32_t Created(ImagingState& st, TessivoStatus status, int32_t id) {
  st.Set(status);
  if (status != OK) return 0;
  st.nativeImage = id;
  return id;
}

int32_t CreateFromImage(ImagingState& st, int32_t id, DocumentFormat format) {
  return Guarded(st, 0, [&] {
    int32_t documentId = 0;
    const TessivoStatus status = CreateDocumentFromImage(id, format, st.disableCodecPlugin, documentId);
    return Created(st, status, documentId);
  });
}

// Loads a file as a document of `format`: a file that loads as an editable document of that
// format is taken as it is, anything else becomes a one-page document of its (current) page.
int32_t CreateFromFile(ImagingState& st, const std::string& path, bool icm, DocumentFormat format) {
  return Guarded(st, 0, [&] {
    LoadOptions options;
    options.icm = icm;
    options.codecDisabled = st.disableCodecPlugin;
    options.tiffReadOnly = format != kTiff;
    options.gifReadOnly = format != kGif;
    int32_t loaded = 0;
    TessivoStatus status = LoadImageFile(path, options, loaded);
    if (status != OK) return Created(st, status, 0);
    if (IsEditable(loaded, format)) return Created(st, OK, loaded);
    int32_t documentId = 0;
    status = CreateDocumentFromImage(loaded, format, st.disableCodecPlugin, documentId);
    ImageRegistry::Current().Release(loaded);
    return Created(st, status, documentId);
  });
}

int32_t AppendPosition(int32_t id, DocumentFormat format) {
  const ImageEntry* e = DocumentEntry(id, format);
  return e ? e->pageCount + 1 : 1;
}

}  // namespace

void cImaging::TiffOpenMultiPageAsReadOnly(bool bReadOnly) { state_->tiffOpenReadOnly = bReadOnly; }
void cImaging::GifOpenMultiPageAsReadOnly(bool bReadOnly) { state_->gifOpenReadOnly = bReadOnly; }

bool cImaging::TiffIsMultiPage(int32_t nImageID) { return IsMultiPage(nImageID, kTiff); }
bool cImaging::GifIsMultiPage(int32_t nImageID) { return IsMultiPage(nImageID, kGif); }
bool cImaging::TiffIsEditableMultiPage(int32_t nImageID) { return IsEditable(nImageID, kTiff); }
bool cImaging::GifIsEditableMultiPage(int32_t nImageID) { return IsEditable(nImageID, kGif); }
int32_t cImaging::TiffGetPageCount(int32_t nImageID) { return PageCount(*state_, nImageID, kTiff); }
int32_t cImaging::GifGetPageCount(int32_t nImageID) { return PageCount(*state_, nImageID, kGif); }
int32_t cImaging::TiffGetCurrentPage(int32_t nImageID) { return CurrentPage(nImageID, kTiff); }
int32_t cImaging::GifGetCurrentPage(int32_t nImageID) { return CurrentPage(nImageID, kGif); }

TessivoStatus cImaging::TiffSelectPage(int32_t nImageID, int32_t nPage) {
  return Select(*state_, nImageID, nPage, kTiff);
}
TessivoStatus cImaging::GifSelectPage(int32_t nImageID, int32_t nPage) {
  return Select(*state_, nImageID, nPage, kGif);
}

int32_t cImaging::TiffCreateMultiPageFromFile(const std::string& sFilePath) {
  return CreateFromFile(*state_, sFilePath, false, kTiff);
}
int32_t cImaging::TiffCreateMultiPageFromFileICM(const std::string& sFilePath) {
  return CreateFromFile(*state_, sFilePath, true, kTiff);
}
int32_t cImaging::GifCreateMultiPageFromFile(const std::string& sFilePath) {
  return CreateFromFile(*state_, sFilePath, false, kGif);
}
int32_t cImaging::TiffCreateMultiPageFromTessivoImage(int32_t nImageID) {
  return CreateFromImage(*state_, nImageID, kTiff);
}
int32_t cImaging::GifCreateMultiPageFromTessivoImage(int32_t nImageID) {
  return CreateFromImage(*state_, nImageID, kGif);
}

#define TESSIVO_DOCUMENT_EDITS(Prefix, format)                                                    \
  TessivoStatus cImaging::Prefix##InsertPageFromTessivoImage(int32_t nImageID, int32_t nPosition, \
                                                             int32_t nAddImageID) {               \
    ImagingState& st = *state_;                                                                   \
    return GuardedStatus(st, [&] { return st.Set(InsertPage(nImageID, format, nPosition, nAddImageID)); }); \
  }                                                                                               \
  TessivoStatus cImaging::Prefix##InsertPageFromFile(int32_t nImageID, int32_t nPosition,         \
                                                     const std::string& sFilePath) {              \
    ImagingState& st = *state_;                                                                   \
    return GuardedStatus(st, [&] {                                                                \
      return st.Set(InsertPageFromFile(nImageID, format, nPosition, sFilePath, st.disableCodecPlugin)); \
    });                                                                                           \
  }                                                                                               \
  TessivoStatus cImaging::Prefix##AppendPageFromTessivoImage(int32_t nImageID, int32_t nAddImageID) { \
    return Prefix##InsertPageFromTessivoImage(nImageID, AppendPosition(nImageID, format), nAddImageID); \
  }                                                                                               \
  TessivoStatus cImaging::Prefix##AppendPageFromFile(int32_t nImageID, const std::string& sFilePath) { \
    return Prefix##InsertPageFromFile(nImageID, AppendPosition(nImageID, format), sFilePath);     \
  }                                                                                               \
  TessivoStatus cImaging::Prefix##DeletePage(int32_t nImageID, int32_t nPage) {                   \
    ImagingState& st = *state_;                                                                   \
    return GuardedStatus(st, [&] {                                                                \
      return st.Set(DeletePage(nImageID, format, nPage, st.disableCodecPlugin));                  \
    });                                                                                           \
  }                                                                                               \
  TessivoStatus cImaging::Prefix##SwapPages(int32_t nImageID, int32_t nPage1, int32_t nPage2) {   \
    ImagingState& st = *state_;                                                                   \
    return GuardedStatus(st, [&] { return st.Set(SwapPages(nImageID, format, nPage1, nPage2)); }); \
  }

// The TIFF and GIF forms differ only in the document format they ask for.
TESSIVO_DOCUMENT_EDITS(Tiff, kTiff)
TESSIVO_DOCUMENT_EDITS(Gif, kGif)
#undef TESSIVO_DOCUMENT_EDITS

}  // namespace tessivo
