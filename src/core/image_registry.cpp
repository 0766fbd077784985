#include "core/image_registry.h"

#include <cmath>
#include <cstdio>

#include "core/multiframe_tiff.h"
#include "core/random_ids.h"
#include "platform/win/gdi_objects.h"

namespace tessivo {

namespace {

void RemoveFileQuietly(const std::string& path) {
  if (!path.empty()) std::remove(path.c_str());
}

}  // namespace

ImageRegistry& ImageRegistry::Current() {
  thread_local ImageRegistry registry;
  return registry;
}

int32_t ImageRegistry::Find(int32_t id) const {
  if (id == 0) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].id == id) return static_cast<int32_t>(i);
  return -1;
}

ImageEntry* ImageRegistry::Entry(int32_t id) {
  int32_t slot = Find(id);
  return slot < 0 ? nullptr : &entries_[static_cast<size_t>(slot)];
}

// IDs come from the per-thread generator shared with the other ID owners; 0 (no image) and live
// IDs are drawn again.
int32_t ImageRegistry::NewImageId() {
  return DrawRandomId([this](int32_t id) { return Find(id) >= 0; });
}

int32_t ImageRegistry::Register(int32_t& id, std::shared_ptr<platform::Bitmap> image,
                                const std::string& formatName, const std::string& sourcePath,
                                ImageOrigin origin) {
  int32_t slot = -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].id == 0) {
      slot = static_cast<int32_t>(i);
      break;
    }
  }
  if (slot < 0) {
    entries_.emplace_back();
    slot = static_cast<int32_t>(entries_.size() - 1);
  }
  id = NewImageId();
  ImageEntry& e = entries_[static_cast<size_t>(slot)];
  e = ImageEntry{};
  e.marker = 1;
  e.id = id;
  e.origin = origin;
  e.image = std::move(image);
  if (!sourcePath.empty()) e.filePath = sourcePath;
  e.formatName = formatName;
  if (e.image) {
    e.image->ForceValidation();
    if (e.formatName.empty()) e.formatName = FormatNameFromRawFormat(e.image->GetRawFormat());
    e.bitDepth = BitDepthFromPixelFormat(e.image->Format());
  }
  return slot;
}

TessivoStatus ImageRegistry::Release(int32_t id) {
  int32_t slot = Find(id);
  if (slot < 0) return InvalidParameter;
  TessivoStatus status = OK;

  // Pages first: releasing them may shrink the table, so the entry is found again afterwards.
  if (entries_[static_cast<size_t>(slot)].IsDocument()) {
    std::vector<int32_t> pages = entries_[static_cast<size_t>(slot)].pageIds;
    std::vector<std::string> files = entries_[static_cast<size_t>(slot)].pageFiles;
    for (size_t i = 0; i < pages.size(); ++i) {
      if (pages[i] != 0) status = Release(pages[i]);
      if (i < files.size()) RemoveFileQuietly(files[i]);
    }
    slot = Find(id);
    if (slot < 0) return status;
  }

  ImageEntry& e = entries_[static_cast<size_t>(slot)];
  TessivoStatus written = OK;
  if (e.multiPageWriter) {
    std::shared_ptr<MultiPageTiffWriter> writer = std::move(e.multiPageWriter);
    written = writer->Finish();
  }
  if (e.codecFileHandle != 0 && releaser_.closeCodecFile) releaser_.closeCodecFile(e.codecFileHandle);
  // A device context drawing into the image dies with it.
  if (e.deviceContext != 0) platform::win::ReleaseDC(static_cast<platform::win::Handle>(e.deviceContext));
  if (e.image) {
    e.image.reset();
    status = OK;
  }
  if (written != OK) status = written;
  // The pixel buffer is freed only once the bitmap built over it is gone, whether or not the
  // image still points into it (a rebuilt image no longer does, and the buffer would leak).
  e.ownedPixels.reset();
  switch (e.origin) {
    case OriginGlobalMemory:
      if (e.globalMemory != 0 && releaser_.freeGlobalMemory) releaser_.freeGlobalMemory(e.globalMemory);
      break;
    case OriginCodecBitmap:
      if (e.codecBitmap != 0 && releaser_.unloadCodecBitmap)
        releaser_.unloadCodecBitmap(e.codecBitmap, e.IsDocument());
      break;
    case OriginCodecPage:
      if (e.codecPage != 0 && releaser_.unlockCodecPage)
        releaser_.unlockCodecPage(e.codecBitmap, e.codecPage);
      break;
    default:
      break;
  }
  if (e.deleteFileOnClose) RemoveFileQuietly(e.filePath);

  if (static_cast<size_t>(slot) == entries_.size() - 1) {
    entries_.pop_back();
  } else {
    e = ImageEntry{};
  }
  return status;
}

void ImageRegistry::ReleaseAll() {
  while (!entries_.empty()) {
    if (entries_.back().id == 0) {
      entries_.pop_back();
    } else {
      Release(entries_.back().id);
    }
  }
}

platform::Bitmap* ImageRegistry::Resolve(int32_t id) {
  // The page walk ends at a plain image, or at a read-only document whose bitmap shows the
  // platform decoder's active frame.
  ImageEntry* e = Entry(ResolvePageId(id));
  return e ? e->image.get() : nullptr;
}

int32_t ImageRegistry::ResolvePageId(int32_t id) {
  ImageEntry* e = Entry(id);
  if (!e) return 0;
  if (!e->IsDocument()) return id;
  if (e->pageCount < 1) return 0;
  const bool validPage = e->currentPage >= 0 && static_cast<size_t>(e->currentPage) < e->pageIds.size();
  const int32_t page = validPage ? e->pageIds[static_cast<size_t>(e->currentPage)] : 0;
  // A read-only platform document shows its decoder's active frame, unless an operation that
  // rebuilds the bitmap gave the current page an entry of its own (see ReplaceImageBitmap).
  if (e->origin == OriginFile && e->readOnly != 0 && e->image) return page != 0 && page != id ? ResolvePageId(page) : id;
  if (!validPage) return 0;
  if (page == id) return 0;  // a document never pages onto itself
  return ResolvePageId(page);
}

int32_t FindImage(int32_t id) { return ImageRegistry::Current().Find(id); }
platform::Bitmap* ResolveImage(int32_t id) { return ImageRegistry::Current().Resolve(id); }
int32_t ResolvePageID(int32_t id) { return ImageRegistry::Current().ResolvePageId(id); }
int32_t RegisterImage(int32_t& id, std::shared_ptr<platform::Bitmap> image,
                      const std::string& formatName, const std::string& sourcePath,
                      ImageOrigin origin) {
  return ImageRegistry::Current().Register(id, std::move(image), formatName, sourcePath, origin);
}
TessivoStatus ReleaseImageEntry(int32_t id) { return ImageRegistry::Current().Release(id); }
void ReleaseAllImages() { ImageRegistry::Current().ReleaseAll(); }

std::string FormatNameFromRawFormat(platform::RawFormat f) {
  using platform::RawFormat;
  switch (f) {
    case RawFormat::Undefined: return "UNKNOWN";
    case RawFormat::MemoryBMP: return "Memory BMP";
    case RawFormat::BMP: return "BMP";
    case RawFormat::EMF: return "EMF";
    case RawFormat::WMF: return "WMF";
    case RawFormat::JPEG: return "JPEG";
    case RawFormat::PNG: return "PNG";
    case RawFormat::GIF: return "GIF";
    case RawFormat::TIFF: return "TIFF";
    case RawFormat::EXIF: return "EXIF";
    case RawFormat::Icon: return "ICON";
  }
  return "Undefined";
}

int32_t BitDepthFromPixelFormat(platform::PixelFormat f) {
  using namespace platform;
  switch (f) {
    case kPixelFormat1bppIndexed: return 1;
    case kPixelFormat4bppIndexed: return 4;
    case kPixelFormat8bppIndexed: return 8;
    case kPixelFormat16bppGrayScale:
    case kPixelFormat16bppRGB555:
    case kPixelFormat16bppRGB565:
    case kPixelFormat16bppARGB1555: return 16;
    case kPixelFormat24bppRGB: return 24;
    case kPixelFormat32bppRGB:
    case kPixelFormat32bppARGB:
    case kPixelFormat32bppPARGB: return 32;
    case kPixelFormat48bppRGB: return 48;
    case kPixelFormat64bppARGB:
    case kPixelFormat64bppPARGB: return 64;
    default: return 0;
  }
}

void CaptureTags(CapturedTags& store, bool preserve, int32_t id) {
  store = CapturedTags{};
  platform::Bitmap* image = ResolveImage(id);
  if (!image) return;
  image->ForceValidation();
  store.width = image->Width();
  store.height = image->Height();
  store.dpiX = image->HorizontalResolution();
  store.dpiY = image->VerticalResolution();
  store.format = image->Format();
  if (preserve) store.items = image->Properties();
}

void RestoreTags(CapturedTags& store, bool preserve, int32_t id, bool skipIccProfile) {
  constexpr uint32_t kIccProfileTag = 34675;
  platform::Bitmap* image = ResolveImage(id);
  if (!image) return;
  if ((image->HorizontalResolution() != store.dpiX || image->VerticalResolution() != store.dpiY) &&
      store.dpiX > 0 && store.dpiY > 0)
    image->SetResolution(store.dpiX, store.dpiY);
  if (preserve && !store.items.empty()) {
    for (const platform::PropertyItem& item : store.items) {
      if (skipIccProfile && item.id == kIccProfileTag) continue;
      image->SetProperty(item);  // a single item's failure is ignored
    }
    store.items.clear();
  }
}

}  // namespace tessivo
