#include "core/codec_decode.h"

#include "core/codec_bitmaps.h"
#include "core/codec_plugin.h"
#include "core/documents.h"
#include "core/iptc_records.h"
#include "core/image_registry.h"
#include "core/raw_page_files.h"
#include "core/temp_files.h"
#include "platform/codecs/codecs.h"

namespace tessivo {
namespace {

// Stores every page of an open codec document in its own page file and registers an
// editable document over them.
TessivoStatus RegisterEditableCodecDocument(const TvimgplugApi& codec, tvimg_multibitmap* document,
                                            int32_t pageCount, const std::string& path,
                                            bool codecDisabled, int32_t& id) {
  ImageRegistry& registry = ImageRegistry::Current();
  int32_t documentId = 0;
  registry.Register(documentId, nullptr, "TIFF", path, OriginMemory);
  MakeDocument(*registry.Entry(documentId), DocumentFormat::Tiff, pageCount, false);

  int32_t stored = 0;
  TessivoStatus last = OK;
  RawPageSplitter splitter(path);
  for (int32_t i = 0; i < pageCount; ++i) {
    std::string copied;
    int32_t copiedDepth = 0;
    if (splitter.Split(i, copied, copiedDepth)) {
      ImageEntry* doc = registry.Entry(documentId);
      doc->pageFiles[static_cast<size_t>(i)] = copied;
      doc->pageBitDepths[static_cast<size_t>(i)] = copiedDepth;
      ++stored;
      continue;
    }
    tvimg_bitmap* locked = codec.LockPage(document, i);
    if (!locked) {
      last = OutOfMemory;
      continue;
    }
    std::string file;
    int32_t bitDepth = static_cast<int32_t>(codec.GetBPP(locked));
    std::unique_ptr<platform::Bitmap> page;
    last = FromCodecBitmap(codec, locked, page);
    if (last == OK) {
      bitDepth = BitDepthFromPixelFormat(page->Format());
      last = SavePageFile(*page, DocumentFormat::Tiff, file);
    }
    if (last != OK) {
      // The plug-in writes pages the platform cannot take as they are.
      file = NewTempFile();
      last = !file.empty() && codec.Save(TVIMG_TIFF, locked, file.c_str(), TVIMG_SAVE_TIFF_LZW)
                 ? OK
                 : GenericError;
      if (last != OK) {
        DeleteFileQuietly(file);
        file.clear();
      }
    }
    codec.UnlockPage(document, locked, 0);
    if (last == OK) {
      ImageEntry* doc = registry.Entry(documentId);
      doc->pageFiles[static_cast<size_t>(i)] = file;
      doc->pageBitDepths[static_cast<size_t>(i)] = bitDepth;
      ++stored;
    }
  }
  if (stored == 0 || last != OK) {
    registry.Release(documentId);
    return stored == 0 ? UnknownImageFormat : last;
  }
  TessivoStatus status = SelectPage(documentId, 0, DocumentFormat::Tiff, codecDisabled);
  if (status != OK) {
    registry.Release(documentId);
    return status;
  }
  id = documentId;
  return OK;
}

}  // namespace

int32_t CodecFileFormat(const std::string& path) {
  const TvimgplugApi* codec = CodecPlugin();
  if (!codec) return TVIMG_UNKNOWN;
  const int32_t bySignature = codec->GetFileType(path.c_str());
  const int32_t byName = codec->GetFileTypeFromFilename(path.c_str());
  if (bySignature == TVIMG_UNKNOWN) return TVIMG_UNKNOWN;
  if (bySignature != byName && byName == TVIMG_TIFF) return TVIMG_TIFF;
  return bySignature;
}

TessivoStatus CodecDecodeFile(const std::string& path, bool icm, bool tiffReadOnly,
                              bool codecDisabled, int32_t& id) {
  id = 0;
  const TvimgplugApi* codec = CodecPlugin();
  if (!codec) return Aborted;
  const int32_t format = CodecFileFormat(path);
  if (format < 0 || format == TVIMG_BMP || format == TVIMG_PNG || format == TVIMG_GIF)
    return UnknownImageFormat;
  const int32_t flags = (format == TVIMG_TIFF && icm) ? TVIMG_LOAD_TIFF_CMYK_TO_RGB_ICM : 0;
  ImageRegistry& registry = ImageRegistry::Current();

  // A document is opened only for a file of several pages; the directories alone tell, and
  // opening the document would first read the whole file into memory.
  if (format == TVIMG_TIFF && platform::CountTiffPages(path) != 1) {
    tvimg_file* file = codec->OpenFile(path.c_str());
    tvimg_multibitmap* document =
        file ? codec->OpenMultiBitmapFromFile(TVIMG_TIFF, file, flags) : nullptr;
    const int32_t pageCount = document ? codec->GetPageCount(document) : 0;
    if (pageCount > 1 && tiffReadOnly) {
      int32_t documentId = 0;
      registry.Register(documentId, nullptr, "TIFF", path, OriginCodecBitmap);
      ImageEntry* doc = registry.Entry(documentId);
      MakeDocument(*doc, DocumentFormat::Tiff, pageCount, true);
      doc->codecBitmap = reinterpret_cast<intptr_t>(document);
      doc->codecFileHandle = reinterpret_cast<intptr_t>(file);
      TessivoStatus status = SelectPage(documentId, 0, DocumentFormat::Tiff, codecDisabled);
      if (status != OK) {
        registry.Release(documentId);
        return status;
      }
      id = documentId;
      return OK;
    }
    TessivoStatus status = OK;
    if (pageCount > 1)
      status = RegisterEditableCodecDocument(*codec, document, pageCount, path, codecDisabled, id);
    if (document) codec->CloseMultiBitmap(document, 0);
    if (file) codec->CloseFile(file);
    if (pageCount > 1) return status;
  }

  CodecBitmap bitmap(*codec, codec->Load(format, path.c_str(), flags));
  if (!bitmap) return OutOfMemory;
  std::unique_ptr<platform::Bitmap> image;
  bool shared = false;
  TessivoStatus status = FromCodecBitmap(*codec, bitmap.get(), image, &shared);
  if (status != OK) return status;
  // A bitmap over the codec's own rows keeps the codec bitmap with the entry until release.
  registry.Register(id, std::move(image), CodecFormatName(format), path,
                    shared ? OriginCodecBitmap : OriginMemory);
  AttachIptcRecords(id, ReadIptcRecords(*codec, bitmap.get()));
  if (shared) registry.Entry(id)->codecBitmap = reinterpret_cast<intptr_t>(bitmap.release());
  return OK;
}

}  // namespace tessivo
