#include "core/documents.h"

#include <cstring>

#include "core/codec_bitmaps.h"
#include "core/codec_plugin.h"
#include "core/iptc_records.h"
#include "core/load_pipeline.h"
#include "core/platform_result.h"
#include "core/raw_page_files.h"
#include "core/save_routes.h"
#include "core/temp_files.h"
#include "platform/codecs/property_tags.h"
#include "tessivo/enums_io.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::FrameDimension;
using platform::PropertyItem;

constexpr int32_t kDefaultFrameDelay = 25;
// The comment as documents store it on their pages (EXIF user comment).
constexpr uint32_t kCommentTag = platform::kPropertyTagExifUserComment;

FrameDimension DimensionOf(DocumentFormat format) {
  return format == DocumentFormat::Tiff ? FrameDimension::Page : FrameDimension::Time;
}

bool IsDocumentOf(const ImageEntry& e, DocumentFormat format) {
  return format == DocumentFormat::Tiff ? e.multiPageTiff : e.multiPageGif;
}

std::string CommentText(const PropertyItem& item) {
  std::string text(item.value.begin(), item.value.end());
  // An EXIF user comment starts with an 8-byte character code ("ASCII\0\0\0").
  if (item.type == platform::PropertyTagTypeUndefined && text.size() >= 8 &&
      text.compare(0, 5, "ASCII") == 0)
    text.erase(0, 8);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// Writes the document's frame attributes onto the page image, as a GIF decoder would have
// left them on the frame.
void WriteGifAttributes(const ImageEntry& document, Bitmap& page) {
  PropertyItem delays{platform::kPropertyTagFrameDelay, platform::PropertyTagTypeLong, {}};
  delays.value.resize(document.frameDelays.size() * 4);
  for (size_t i = 0; i < document.frameDelays.size(); ++i)
    std::memcpy(&delays.value[4 * i], &document.frameDelays[i], 4);
  page.SetProperty(delays);
  const auto loop = static_cast<uint16_t>(document.loopCount);
  page.SetProperty({platform::kPropertyTagLoopCount, platform::PropertyTagTypeShort,
                    {static_cast<uint8_t>(loop), static_cast<uint8_t>(loop >> 8)}});
  if (!document.comment.empty()) {
    PropertyItem comment{kCommentTag, platform::PropertyTagTypeASCII,
                         {document.comment.begin(), document.comment.end()}};
    comment.value.push_back(0);
    page.SetProperty(comment);
  }
}

}  // namespace

TessivoStatus LeaveCurrentPage(int32_t documentId) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* doc = registry.Entry(documentId);
  if (!doc || doc->currentPage < 0) return OK;
  const auto current = static_cast<size_t>(doc->currentPage);
  const int32_t pageId = current < doc->pageIds.size() ? doc->pageIds[current] : 0;
  if (pageId != 0) {
    std::string newFile;
    ImageEntry* page = registry.Entry(pageId);
    if (page && page->image && doc->readOnly == 0 && page->pageModified) {
      const DocumentFormat format = doc->multiPageTiff ? DocumentFormat::Tiff : DocumentFormat::Gif;
      // The edits live only in the loaded page: when they cannot be stored, the page stays
      // loaded and current, so nothing is lost and the caller learns why.
      const TessivoStatus stored = SavePageFile(*page->image, format, newFile);
      if (stored != OK) return stored;
      doc->pageBitDepths[current] = BitDepthFromPixelFormat(page->image->Format());
    }
    registry.Release(pageId);
    doc = registry.Entry(documentId);  // releasing may move entries
    if (!doc) return OK;
    if (!newFile.empty()) {
      DeleteFileQuietly(doc->pageFiles[current]);
      doc->pageFiles[current] = newFile;
    }
    doc->pageIds[current] = 0;
  }
  doc->currentPage = -1;
  return OK;
}

namespace {

// Copies page `page` out of the open codec document of `documentId` into an entry of its own.
TessivoStatus LoadCodecPage(int32_t documentId, int32_t page, int32_t& pageId) {
  const TvimgplugApi* codec = CodecPlugin();
  ImageEntry* doc = ImageRegistry::Current().Entry(documentId);
  if (!codec || !doc || doc->codecBitmap == 0) return TvimgplugDllRequired;
  auto* document = reinterpret_cast<tvimg_multibitmap*>(doc->codecBitmap);
  const std::string formatName = doc->formatName;
  tvimg_bitmap* locked = codec->LockPage(document, page);
  if (!locked) return OutOfMemory;
  std::unique_ptr<Bitmap> image;
  TessivoStatus status = FromCodecBitmap(*codec, locked, image);
  std::shared_ptr<const IptcRecords> iptc = ReadIptcRecords(*codec, locked);
  codec->UnlockPage(document, locked, 0);  // the conversion copied the pixels
  if (status != OK) return status;
  RegisterImage(pageId, std::move(image), formatName, "", OriginMemory);
  AttachIptcRecords(pageId, std::move(iptc));
  return OK;
}

}  // namespace

GifAttributes ReadGifAttributes(const Bitmap& image, int32_t frameCount) {
  GifAttributes a;
  a.delays.assign(static_cast<size_t>(frameCount), kDefaultFrameDelay);
  PropertyItem item;
  if (image.GetProperty(platform::kPropertyTagFrameDelay, item) == platform::Status::Ok &&
      item.type == platform::PropertyTagTypeLong) {
    for (size_t i = 0; i < a.delays.size() && 4 * i + 4 <= item.value.size(); ++i) {
      int32_t delay;
      std::memcpy(&delay, &item.value[4 * i], 4);
      a.delays[i] = delay < 1 ? kDefaultFrameDelay : delay;
    }
  }
  if (image.GetProperty(platform::kPropertyTagLoopCount, item) == platform::Status::Ok &&
      item.type == platform::PropertyTagTypeShort && item.value.size() >= 2)
    a.loopCount = item.value[0] | item.value[1] << 8;
  if (image.GetProperty(kCommentTag, item) == platform::Status::Ok ||
      image.GetProperty(platform::kPropertyTagGifComment, item) == platform::Status::Ok)
    a.comment = CommentText(item);
  return a;
}

void MakeDocument(ImageEntry& entry, DocumentFormat format, int32_t pageCount, bool readOnly) {
  const auto n = static_cast<size_t>(pageCount);
  entry.multiPageTiff = format == DocumentFormat::Tiff;
  entry.multiPageGif = format == DocumentFormat::Gif;
  entry.pageCount = pageCount;
  entry.pageFiles.assign(n, std::string());
  entry.pageIds.assign(n, 0);
  entry.frameDelays.assign(n, 0);
  entry.frameDisposals.assign(n, -1);
  entry.pageBitDepths.assign(n, 0);
  entry.currentPage = -1;
  entry.readOnly = readOnly ? 1 : 0;
}

TessivoStatus SavePageFile(Bitmap& page, DocumentFormat format, std::string& path) {
  path = NewTempFile();
  if (path.empty()) return GenericError;
  TessivoStatus status = format == DocumentFormat::Tiff
                             ? SaveTiff(page, path, CompressionLZW, 0)
                             : SaveWithPattern(page, path, "*.gif");
  if (status != OK) {
    DeleteFileQuietly(path);
    path.clear();
  }
  return status;
}

TessivoStatus ApplyMultiPageStep(int32_t& id, bool tiffReadOnly, bool gifReadOnly,
                                 bool codecDisabled) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* entry = registry.Entry(id);
  if (!entry || !entry->image) return OK;
  DocumentFormat format;
  if (entry->formatName == "TIFF") format = DocumentFormat::Tiff;
  else if (entry->formatName == "GIF") format = DocumentFormat::Gif;
  else return OK;
  std::shared_ptr<Bitmap> image = entry->image;
  const FrameDimension dimension = DimensionOf(format);
  const auto pageCount = static_cast<int32_t>(image->FrameCount(dimension));
  if (pageCount < 2) return OK;
  GifAttributes gif;
  if (format == DocumentFormat::Gif) gif = ReadGifAttributes(*image, pageCount);

  const bool readOnly = format == DocumentFormat::Tiff ? tiffReadOnly : gifReadOnly;
  if (readOnly) {
    MakeDocument(*entry, format, pageCount, true);
    if (format == DocumentFormat::Gif) {
      // Kept for read-only documents too: selecting a page writes them onto it.
      entry->frameDelays = gif.delays;
      entry->loopCount = gif.loopCount;
      entry->comment = gif.comment;
    }
    for (int32_t i = 0; i < pageCount; ++i) entry->pageBitDepths[static_cast<size_t>(i)] = entry->bitDepth;
    TessivoStatus status = SelectPage(id, 0, format, codecDisabled);
    if (status != OK) {
      registry.Release(id);
      id = 0;
    }
    return status;
  }

  const std::string formatName = entry->formatName;
  const std::string sourcePath = entry->filePath;
  int32_t documentId = 0;
  registry.Register(documentId, nullptr, formatName, sourcePath, OriginMemory);
  ImageEntry* doc = registry.Entry(documentId);
  MakeDocument(*doc, format, pageCount, false);
  if (format == DocumentFormat::Gif) {
    doc->frameDelays = gif.delays;
    doc->loopCount = gif.loopCount;
    doc->comment = gif.comment;
  }
  int32_t stored = 0;
  RawPageSplitter splitter(format == DocumentFormat::Tiff ? sourcePath : std::string());
  for (int32_t i = 0; i < pageCount; ++i) {
    std::string file;
    int32_t copiedDepth = 0;
    if (splitter.Split(i, file, copiedDepth)) {
      doc = registry.Entry(documentId);
      doc->pageFiles[static_cast<size_t>(i)] = file;
      doc->pageBitDepths[static_cast<size_t>(i)] = copiedDepth;
      ++stored;
      continue;
    }
    if (image->SelectActiveFrame(dimension, static_cast<uint32_t>(i)) != platform::Status::Ok ||
        SavePageFile(*image, format, file) != OK)
      continue;  // this page stays without a file; selecting it reports GenericError
    doc = registry.Entry(documentId);
    doc->pageFiles[static_cast<size_t>(i)] = file;
    doc->pageBitDepths[static_cast<size_t>(i)] = BitDepthFromPixelFormat(image->Format());
    ++stored;
  }
  // The decoded image is no longer needed: its pages live in their own files now.
  image.reset();
  registry.Release(id);
  id = 0;
  if (stored == 0) {
    registry.Release(documentId);
    return UnknownImageFormat;
  }
  TessivoStatus status = SelectPage(documentId, 0, format, codecDisabled);
  if (status != OK) {
    registry.Release(documentId);
    return status;
  }
  id = documentId;
  return OK;
}

TessivoStatus SelectPage(int32_t id, int32_t page, DocumentFormat format, bool codecDisabled) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* doc = registry.Entry(id);
  if (!doc) return GenericError;
  if (!IsDocumentOf(*doc, format)) return UnsupportedImageFormat;
  if (page < 0 || page >= doc->pageCount) return InvalidParameter;

  TessivoStatus status = OK;
  if (page != doc->currentPage) {
    status = LeaveCurrentPage(id);
    if (status != OK) return status;
    doc = registry.Entry(id);
    doc->currentPage = page;
    const auto index = static_cast<size_t>(page);
    if (doc->readOnly != 0 && doc->image) {
      status = StatusOf(doc->image->SelectActiveFrame(DimensionOf(format), static_cast<uint32_t>(page)));
    } else if (doc->readOnly != 0) {
      int32_t pageId = 0;
      status = LoadCodecPage(id, page, pageId);
      doc = registry.Entry(id);
      if (status == OK) doc->pageIds[index] = pageId;
    } else if (doc->pageIds[index] == 0) {
      const std::string file = doc->pageFiles[index];
      if (file.empty()) return GenericError;
      LoadOptions options;
      options.codecDisabled = codecDisabled;
      options.tiffReadOnly = options.gifReadOnly = true;
      int32_t pageId = 0;
      status = LoadImageFile(file, options, pageId);
      doc = registry.Entry(id);
      if (status == OK) doc->pageIds[index] = pageId;
    }
  }
  if (status == OK && format == DocumentFormat::Gif) {
    if (Bitmap* current = registry.Resolve(id)) WriteGifAttributes(*registry.Entry(id), *current);
  }
  return status;
}

}  // namespace tessivo
