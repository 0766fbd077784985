#include "core/document_save.h"

#include <algorithm>
#include <memory>

#include "core/codec_bitmaps.h"
#include "core/codec_plugin.h"
#include "core/document_pages.h"
#include "core/documents.h"
#include "core/image_registry.h"
#include "core/load_pipeline.h"
#include "core/multiframe_tiff.h"
#include "core/pending_file.h"
#include "core/raw_page_files.h"
#include "core/save_routes.h"
#include "core/temp_files.h"
#include "pixel/convert_indexed.h"
#include "pixel/filter_codes.h"
#include "pixel/filter_engine.h"
#include "pixel/filter_registry.h"

namespace tessivo {
namespace {

// The colour transparent pixels are given before a GIF page is reduced to 256 colours, so that
// the reduction can find them again: pure blue.
constexpr uint32_t kTransparentMarker = 0xFF0000FFu;
constexpr int32_t kMaxGifLoopCount = 65535;

// A registered image released when it goes out of scope.
class ScopedImage {
 public:
  ScopedImage() = default;
  explicit ScopedImage(int32_t id) : id_(id) {}
  ~ScopedImage() { reset(); }
  ScopedImage(const ScopedImage&) = delete;
  ScopedImage& operator=(const ScopedImage&) = delete;
  int32_t get() const { return id_; }
  int32_t* out() { reset(); return &id_; }
  void reset() {
    if (id_ != 0) ImageRegistry::Current().Release(id_);
    id_ = 0;
  }

 private:
  int32_t id_ = 0;
};

// Temporary files deleted when they go out of scope.
class ScopedFiles {
 public:
  ~ScopedFiles() {
    for (const std::string& f : files_) DeleteFileQuietly(f);
  }
  void Add(const std::string& f) { files_.push_back(f); }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::vector<std::string> files_;
};

TessivoStatus LoadPageFile(const std::string& file, bool codecDisabled, ScopedImage& into) {
  if (file.empty()) return GenericError;
  LoadOptions options;
  options.codecDisabled = codecDisabled;
  options.tiffReadOnly = options.gifReadOnly = true;
  return LoadImageFile(file, options, *into.out());
}

// Writes `files` in order as the pages of one TIFF at `path`. Pages whose compressed strips
// can go into the file as they are skip decoding and encoding.
TessivoStatus WriteTiffPages(const std::vector<std::string>& files, const std::string& path,
                             int32_t compression, bool codecDisabled) {
  if (files.empty()) return GenericError;
  std::unique_ptr<MultiPageTiffWriter> writer;
  for (size_t i = 0; i < files.size(); ++i) {
    platform::RawTiffPage raw;
    if (ReadCopyablePageFile(files[i], codecDisabled, raw)) {
      bool copied = false;
      TessivoStatus status = i == 0 ? MultiPageTiffWriter::BeginRaw(raw, path, compression, writer, copied)
                                    : writer->AddRawPage(raw, copied);
      if (status != OK) return status;
      if (copied) continue;
    }
    ScopedImage page;
    TessivoStatus status = LoadPageFile(files[i], codecDisabled, page);
    if (status != OK) return status;
    platform::Bitmap* image = ResolveImage(page.get());
    if (!image) return GenericError;
    status = i == 0 ? MultiPageTiffWriter::Begin(*image, path, compression, writer)
                    : writer->AddPage(*image);
    if (status != OK) return status;
  }
  return writer->Finish();
}

bool IsBilevelOnlyCompression(int32_t compression) {
  return compression == 3 || compression == 4 || compression == 5;  // CCITT3, CCITT4, RLE
}

// Reduces a page that is not 8-bit indexed to 256 colours, keeping transparent pixels
// transparent.
TessivoStatus ReduceForGif(platform::Bitmap& page, std::unique_ptr<platform::Bitmap>& out) {
  std::optional<uint32_t> transparent;
  if (platform::HasAlpha(page.Format())) {
    const FilterDescriptor* mark = FindFilter(kFilterMarkTransparent);
    if (!mark) return GenericError;
    const FilterOutcome marked =
        RunFilter(page, ZoneRect{0, 0, page.Width(), page.Height()}, *mark, FilterParams{});
    if (marked.status != OK) return marked.status;
    if (marked.value > 0) transparent = kTransparentMarker;
  }
  return static_cast<TessivoStatus>(QuantizeToBitmap(page, 256, out, transparent));
}

}  // namespace

TessivoStatus SaveTiffDocument(int32_t documentId, const std::string& path, int32_t compression,
                               bool codecDisabled) {
  ImageEntry* doc = ImageRegistry::Current().Entry(documentId);
  if (!doc) return GenericError;
  if (!IsEditableDocument(documentId, DocumentFormat::Tiff)) return UnsupportedImageFormat;
  TessivoStatus status = StoreCurrentPage(documentId, DocumentFormat::Tiff, codecDisabled);
  if (status != OK) return status;
  doc = ImageRegistry::Current().Entry(documentId);
  int32_t maxBits = 0;
  for (int32_t bits : doc->pageBitDepths) maxBits = std::max(maxBits, bits);
  if (IsBilevelOnlyCompression(compression) && maxBits > 1) compression = 2;  // LZW
  std::vector<std::string> files;
  for (const std::string& f : doc->pageFiles)
    if (!f.empty()) files.push_back(f);
  return WriteTiffPages(files, path, compression, codecDisabled);
}

TessivoStatus SaveGifDocument(int32_t documentId, const std::string& path, bool codecDisabled) {
  ImageRegistry& registry = ImageRegistry::Current();
  if (!registry.Entry(documentId)) return InvalidParameter;
  if (!IsEditableDocument(documentId, DocumentFormat::Gif)) return UnsupportedImageFormat;
  const TvimgplugApi* codec = CodecPlugin();
  if (!codec) return TvimgplugDllRequired;
  TessivoStatus status = StoreCurrentPage(documentId, DocumentFormat::Gif, codecDisabled);
  if (status != OK) return status;

  PendingFile file;
  if (!file.Open(path)) return CanNotCreateFile;
  tvimg_multibitmap* document = codec->CreateMultiBitmap(TVIMG_GIF, file.Path().c_str());
  if (!document) return CanNotCreateFile;
  auto discard = [&](TessivoStatus failure) {
    codec->CloseMultiBitmap(document, 0);  // writes what it has; the pending file is dropped
    file.Discard();
    return failure;
  };

  const ImageEntry& doc = *registry.Entry(documentId);
  const std::vector<std::string> files = doc.pageFiles;
  const std::vector<int32_t> delays = doc.frameDelays;
  const std::vector<int32_t> disposals = doc.frameDisposals;
  const int32_t loopCount = std::min(doc.loopCount, kMaxGifLoopCount);
  bool first = true;
  for (size_t i = 0; i < files.size(); ++i) {
    if (files[i].empty()) continue;
    ScopedImage page;
    status = LoadPageFile(files[i], codecDisabled, page);
    if (status != OK) return discard(status);
    platform::Bitmap* image = ResolveImage(page.get());
    if (!image) return discard(GenericError);
    std::unique_ptr<platform::Bitmap> reduced;
    if (platform::BitsPerPixel(image->Format()) != 8) {
      status = ReduceForGif(*image, reduced);
      if (status != OK) return discard(status);
      image = reduced.get();
    }
    CodecBitmap frame(*codec);
    status = ToCodecBitmap(*codec, *image, frame);
    if (status != OK) return discard(status);
    const int32_t delay = i < delays.size() ? delays[i] : 25;
    codec->SetFrameDelay(frame.get(), static_cast<int32_t>(std::min<int64_t>(int64_t{delay} * 10, INT32_MAX)));
    if (i < disposals.size() && disposals[i] != -1) codec->SetFrameDisposal(frame.get(), disposals[i]);
    if (first) codec->SetLoopCount(frame.get(), loopCount);
    if (!codec->AppendPage(document, frame.get())) return discard(GenericError);
    first = false;
  }
  if (first) return discard(GenericError);  // no page has a file
  if (!codec->CloseMultiBitmap(document, 0)) {
    file.Discard();
    return CanNotCreateFile;
  }
  return file.Commit() ? OK : CanNotCreateFile;
}

TessivoStatus MergeTiffFiles(const std::vector<std::string>& paths, const std::string& destination,
                             int32_t compression, bool codecDisabled) {
  std::vector<std::string> sources;
  for (const std::string& p : paths) {
    if (p.empty()) break;
    const std::string normalised = NormalisePath(p);
    if (normalised.empty() || !IsReadableFile(normalised)) return FileNotFound;
    sources.push_back(normalised);
  }
  ImageRegistry& registry = ImageRegistry::Current();
  ScopedFiles pages;  // every page in a file of its own, so the destination may be a source
  int32_t maxBits = 0;
  for (const std::string& source : sources) {
    LoadOptions options;
    options.codecDisabled = codecDisabled;
    options.tiffReadOnly = false;
    options.gifReadOnly = true;
    ScopedImage loaded;
    TessivoStatus status = LoadImageFile(source, options, *loaded.out());
    if (status != OK) return status;
    ImageEntry* entry = registry.Entry(loaded.get());
    if (entry && entry->multiPageTiff && entry->readOnly == 0) {
      status = StoreCurrentPage(loaded.get(), DocumentFormat::Tiff, codecDisabled);
      if (status != OK) return status;
      entry = registry.Entry(loaded.get());
      for (size_t i = 0; i < entry->pageFiles.size(); ++i) {
        if (entry->pageFiles[i].empty()) return GenericError;
        // The page files are the merge's own from here: the loaded document, released below,
        // no longer deletes them, and they do not depend on the source, so the destination may
        // be that source.
        pages.Add(entry->pageFiles[i]);
        entry->pageFiles[i].clear();
        if (i < entry->pageBitDepths.size()) maxBits = std::max(maxBits, entry->pageBitDepths[i]);
      }
    } else {
      platform::Bitmap* image = ResolveImage(loaded.get());
      if (!image) return GenericError;
      const std::string copy = NewTempFile();
      if (copy.empty()) return GenericError;
      pages.Add(copy);
      status = SaveWithPattern(*image, copy, "*.png");
      if (status != OK) return status;
      maxBits = std::max(maxBits, BitDepthFromPixelFormat(image->Format()));
    }
  }
  if (IsBilevelOnlyCompression(compression) && maxBits > 1) compression = 2;  // LZW
  return WriteTiffPages(pages.Files(), destination, compression, codecDisabled);
}

}  // namespace tessivo
