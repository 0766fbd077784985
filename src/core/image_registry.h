// The per-thread image registry: every image the toolkit works on, addressed by a random ID.
// All cImaging instances of one thread share it; it is never touched from another thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/image_origin.h"
#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

struct IptcRecords;
struct JpegSourceRecord;
class MultiPageTiffWriter;

// Hooks through which a registry entry releases what other subsystems attached to it (codec
// plug-in bitmaps, pages and file handles, memory blocks). Each returns nothing: release
// continues whatever they do.
struct EntryReleaser {
  std::function<void(intptr_t handle)> freeGlobalMemory;
  std::function<void(intptr_t codecBitmap, bool isDocument)> unloadCodecBitmap;
  std::function<void(intptr_t codecDocument, intptr_t codecPage)> unlockCodecPage;
  std::function<void(intptr_t fileHandle)> closeCodecFile;
};

struct ImageEntry {
  int32_t marker = 0;   // 1 once registered
  int32_t id = 0;       // 0: free slot
  ImageOrigin origin = OriginMemory;
  intptr_t globalMemory = 0;
  std::shared_ptr<platform::Bitmap> image;  // null for a page container
  // A buffer allocated for this image's pixels (origin 9); freed with the entry.
  std::unique_ptr<uint8_t[]> ownedPixels;
  int32_t savedTiffCompression = 0;
  // A multi-page TIFF started with this image as its first page; releasing the entry completes
  // the file.
  std::shared_ptr<MultiPageTiffWriter> multiPageWriter;
  intptr_t codecBitmap = 0;
  intptr_t codecPage = 0;
  std::string filePath;
  bool deleteFileOnClose = false;
  // The JPEG file a single image was decoded from, while it may stand for the pixels
  // (core/jpeg_source.h); checked against the file and the pixels before every use.
  std::shared_ptr<const JpegSourceRecord> jpegSource;
  std::string formatName;
  int32_t bitDepth = 0;
  // Documents (multi-page TIFF / GIF).
  bool multiPageTiff = false;
  bool multiPageGif = false;
  int32_t pageCount = 0;
  std::vector<std::string> pageFiles;
  std::vector<int32_t> pageIds;
  std::vector<int32_t> frameDelays;
  std::vector<int32_t> frameDisposals;
  std::vector<int32_t> pageBitDepths;
  int32_t currentPage = -1;
  int32_t readOnly = 0;
  int32_t loopCount = 0;
  std::string comment;
  std::shared_ptr<const IptcRecords> iptc;  // records from the codec plug-in (iptc_records.h)
  bool pageModified = false;
  intptr_t deviceContext = 0;
  intptr_t deviceContextGraphics = 0;
  intptr_t codecFileHandle = 0;

  bool IsDocument() const { return multiPageTiff || multiPageGif; }
};

class ImageRegistry {
 public:
  // The calling thread's registry.
  static ImageRegistry& Current();

  // Slot index of `id`, or -1. ID 0 is never found.
  int32_t Find(int32_t id) const;
  ImageEntry* Entry(int32_t id);
  ImageEntry& Slot(int32_t slot) { return entries_[static_cast<size_t>(slot)]; }
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }

  // Registers `image` under a fresh ID (written to `id`) in the first free slot, growing the
  // table by one when none is free. An empty `formatName` is taken from the image's raw format.
  int32_t Register(int32_t& id, std::shared_ptr<platform::Bitmap> image,
                   const std::string& formatName, const std::string& sourcePath,
                   ImageOrigin origin);
  TessivoStatus Release(int32_t id);
  void ReleaseAll();

  // The bitmap operations act on: the image itself, or the current page of a document.
  platform::Bitmap* Resolve(int32_t id);
  int32_t ResolvePageId(int32_t id);

  EntryReleaser& Releaser() { return releaser_; }

 private:
  int32_t NewImageId();
  std::vector<ImageEntry> entries_;
  EntryReleaser releaser_;
};

// Registry routines by their toolkit names, on the calling thread's registry.
int32_t FindImage(int32_t id);
platform::Bitmap* ResolveImage(int32_t id);
int32_t ResolvePageID(int32_t id);
int32_t RegisterImage(int32_t& id, std::shared_ptr<platform::Bitmap> image,
                      const std::string& formatName, const std::string& sourcePath,
                      ImageOrigin origin);
TessivoStatus ReleaseImageEntry(int32_t id);
void ReleaseAllImages();

// Name of a raw format ("BMP", "Memory BMP", ..., "Undefined").
std::string FormatNameFromRawFormat(platform::RawFormat f);
// Bits per pixel recorded in an entry (0 for an unknown format).
int32_t BitDepthFromPixelFormat(platform::PixelFormat f);

// Resolution and (when preserving) property items of an image about to be rebuilt, and their
// restoration onto the rebuilt image.
struct CapturedTags {
  int32_t width = 0;
  int32_t height = 0;
  float dpiX = 0;
  float dpiY = 0;
  platform::PixelFormat format = 0;
  std::vector<platform::PropertyItem> items;
};
void CaptureTags(CapturedTags& store, bool preserve, int32_t id);
void RestoreTags(CapturedTags& store, bool preserve, int32_t id, bool skipIccProfile);

}  // namespace tessivo
