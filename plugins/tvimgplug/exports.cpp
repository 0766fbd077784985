// The plug-in's C interface (tessivo/plugins/tvimgplug.h). Each function is a thin wrapper:
// handles are checked against the live objects first, so a stale or foreign handle is a
// failure, never a crash, and no C++ exception crosses the boundary.
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_set>

#include "bitmap.h"
#include "codecs.h"
#include "conversions.h"
#include "decode_limits.h"
#include "file_type.h"
#include "metadata.h"
#include "platform/file_mapping.h"
#include "tessivo/plugins/plugin_abi.h"
#include "tessivo/plugins/tvimgplug.h"

#define TVIMG_EXPORT extern "C" __attribute__((visibility("default")))

struct tvimg_file {
  // Shared with the documents opened from it, so closing the file first is harmless.
  std::shared_ptr<tvimg::MappedFile> contents;
  explicit tvimg_file(const char* path) : contents(std::make_shared<tvimg::MappedFile>(path)) {}
};

struct tvimg_multibitmap {
  int32_t format = TVIMG_UNKNOWN;
  // Opened for reading, over the bytes of an open file.
  std::shared_ptr<tvimg::MappedFile> source;
  tvimg::TiffDocument* tiff = nullptr;
  // Created for writing.
  bool created = false;
  std::string path;
  std::vector<tvimg::BitmapPtr> pages;
};

namespace {

using tvimg::BitmapPtr;

// Objects handed out and not yet released.
struct LiveObjects {
  std::mutex mutex;
  std::unordered_set<const void*> objects;
};
LiveObjects& Live() {
  static LiveObjects* live = new LiveObjects;  // never destroyed: calls may come during exit
  return *live;
}
template <typename T>
T* Track(T* object) {
  if (!object) return nullptr;
  std::lock_guard<std::mutex> lock(Live().mutex);
  Live().objects.insert(object);
  return object;
}
bool IsLive(const void* object) {
  if (!object) return false;
  std::lock_guard<std::mutex> lock(Live().mutex);
  return Live().objects.count(object) != 0;
}
bool Forget(const void* object) {
  if (!object) return false;
  std::lock_guard<std::mutex> lock(Live().mutex);
  return Live().objects.erase(object) != 0;
}

tvimg_bitmap* Handout(BitmapPtr bitmap) { return Track(bitmap.release()); }

int JpegQualityFromFlags(int32_t flags) {
  const int32_t q = flags & 0x7F;
  if (q >= 1 && q <= 100) return q;
  if (flags & 0x80) return 100;
  if (flags & 0x200) return 50;
  if (flags & 0x400) return 25;
  if (flags & 0x800) return 10;
  return 75;
}

int32_t MallocCopy(const std::vector<uint8_t>& bytes, uint8_t** out, uint32_t* outLength) {
  if (bytes.size() > UINT32_MAX) return 1;
  auto* buffer = static_cast<uint8_t*>(std::malloc(std::max<size_t>(bytes.size(), 1)));
  if (!buffer) return 1;
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  *out = buffer;
  *outLength = static_cast<uint32_t>(bytes.size());
  return 0;
}

}  // namespace

TVIMG_EXPORT const char* tv_plugin_file_version(void) { return "1.0.0.1"; }
TVIMG_EXPORT int32_t tvimgplug_GetVersion(void) { return 100; }

TVIMG_EXPORT void tvimgplug_SetMemoryLimit(uint64_t bytes) {
  tvimg::DecodeLimits limits;
  if (bytes > 0) {
    limits.maxBytes = std::min(limits.maxBytes, bytes);
    limits.maxAllocation = std::min(limits.maxAllocation, bytes);
    limits.maxPixels = std::min(limits.maxPixels, bytes);
  }
  try {
    tvimg::SetDecodeLimits(limits);
  } catch (...) {
  }
}

TVIMG_EXPORT int32_t tvimgplug_GetFileType(const char* path) {
  try {
    return tvimg::FormatOfFile(path);
  } catch (...) {
    return TVIMG_UNKNOWN;
  }
}

TVIMG_EXPORT int32_t tvimgplug_GetFileTypeFromFilename(const char* path) {
  try {
    return tvimg::FormatFromFilename(path);
  } catch (...) {
    return TVIMG_UNKNOWN;
  }
}

TVIMG_EXPORT tvimg_bitmap* tvimgplug_Load(int32_t format, const char* path, int32_t flags) {
  try {
    // Decoded in place from a read-only mapping; a file the system cannot map is read.
    std::unique_ptr<tessivo::platform::FileMapping> mapping;
    if (tessivo::platform::FileMapping::Open(path ? path : "", mapping) == tessivo::platform::Status::Ok) {
      if (mapping->size() == 0) return nullptr;
      BitmapPtr bitmap = format == TVIMG_WMF && flags > 0
                             ? tvimg::LoadMetafile(mapping->data(), mapping->size(), flags / 1000.0)
                             : tvimg::LoadFromMemory(format, mapping->data(), mapping->size());
      // The file shrank while it was decoded: part of what was read were zeros.
      if (!mapping->Intact()) return nullptr;
      return Handout(std::move(bitmap));
    }
    tvimg::MappedFile file(path);
    if (!file.ok()) return nullptr;
    if (format == TVIMG_WMF && flags > 0)
      return Handout(tvimg::LoadMetafile(file.data(), file.size(), flags / 1000.0));
    return Handout(tvimg::LoadFromMemory(format, file.data(), file.size()));
  } catch (...) {
    return nullptr;
  }
}

TVIMG_EXPORT int32_t tvimgplug_Save(int32_t format, tvimg_bitmap* bitmap, const char* path,
                                    int32_t flags) {
  try {
    if (!IsLive(bitmap) || !path || !*path) return 0;
    switch (format) {
      case TVIMG_JPEG:
        return tvimg::SaveJpeg(*bitmap, path, JpegQualityFromFlags(flags)) ? 1 : 0;
      case TVIMG_TIFF:
        return tvimg::SaveTiff({bitmap}, path, tvimg::TiffCompressionFromFlags(flags)) ? 1 : 0;
      default:
        return tvimg::SaveWithMagick(format, *bitmap, path, flags) ? 1 : 0;
    }
  } catch (...) {
    return 0;
  }
}

TVIMG_EXPORT tvimg_bitmap* tvimgplug_Allocate(int32_t width, int32_t height, int32_t bpp) {
  try {
    if (width <= 0 || height <= 0) return nullptr;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
    return Handout(tvimg::AllocateBitmap(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                         static_cast<uint32_t>(bpp)));
  } catch (...) {
    return nullptr;
  }
}

TVIMG_EXPORT void tvimgplug_Unload(tvimg_bitmap* bitmap) {
  if (Forget(bitmap)) delete bitmap;
}

TVIMG_EXPORT tvimg_file* tvimgplug_OpenFile(const char* path) {
  try {
    auto* file = new tvimg_file(path);
    if (!file->contents->ok()) {
      delete file;
      return nullptr;
    }
    return Track(file);
  } catch (...) {
    return nullptr;
  }
}

TVIMG_EXPORT void tvimgplug_CloseFile(tvimg_file* file) {
  if (Forget(file)) delete file;
}

TVIMG_EXPORT tvimg_multibitmap* tvimgplug_OpenMultiBitmapFromFile(int32_t format, tvimg_file* file,
                                                                  int32_t /*flags*/) {
  try {
    if (format != TVIMG_TIFF || !IsLive(file)) return nullptr;
    tvimg::TiffDocument* tiff = tvimg::OpenTiff(file->contents->data(), file->contents->size());
    if (!tiff) return nullptr;
    auto* document = new tvimg_multibitmap;
    document->format = format;
    document->source = file->contents;
    document->tiff = tiff;
    return Track(document);
  } catch (...) {
    return nullptr;
  }
}

TVIMG_EXPORT tvimg_multibitmap* tvimgplug_CreateMultiBitmap(int32_t format, const char* path) {
  try {
    if ((format != TVIMG_TIFF && format != TVIMG_GIF) || !path || !*path) return nullptr;
    auto* document = new tvimg_multibitmap;
    document->format = format;
    document->created = true;
    document->path = path;
    return Track(document);
  } catch (...) {
    return nullptr;
  }
}

TVIMG_EXPORT int32_t tvimgplug_GetPageCount(tvimg_multibitmap* document) {
  if (!IsLive(document)) return 0;
  return document->created ? static_cast<int32_t>(document->pages.size())
                           : tvimg::TiffPageCount(document->tiff);
}

TVIMG_EXPORT tvimg_bitmap* tvimgplug_LockPage(tvimg_multibitmap* document, int32_t page) {
  try {
    if (!IsLive(document)) return nullptr;
    if (document->created) return nullptr;  // pages of a document being written are its own
    return Handout(tvimg::LoadTiffPage(document->tiff, page));
  } catch (...) {
    return nullptr;
  }
}

TVIMG_EXPORT void tvimgplug_UnlockPage(tvimg_multibitmap* document, tvimg_bitmap* page,
                                       int32_t /*changed*/) {
  // Documents opened for reading never change their file: a locked page is a decoded copy.
  if (IsLive(document)) tvimgplug_Unload(page);
}

TVIMG_EXPORT int32_t tvimgplug_AppendPage(tvimg_multibitmap* document, tvimg_bitmap* page) {
  try {
    if (!IsLive(document) || !document->created || !IsLive(page)) return 0;
    if (document->pages.size() >= 65535) return 0;
    document->pages.push_back(std::make_unique<tvimg_bitmap>(*page));
    return 1;
  } catch (...) {
    return 0;
  }
}

TVIMG_EXPORT int32_t tvimgplug_CloseMultiBitmap(tvimg_multibitmap* document, int32_t flags) {
  if (!Forget(document)) return 0;
  int32_t result = 1;
  try {
    if (document->created) {
      std::vector<const tvimg_bitmap*> pages;
      for (const BitmapPtr& p : document->pages) pages.push_back(p.get());
      const bool written =
          document->format == TVIMG_GIF
              ? tvimg::SaveGifFrames(pages, document->path)
              : tvimg::SaveTiff(pages, document->path, tvimg::TiffCompressionFromFlags(flags));
      result = written ? 1 : 0;
    }
  } catch (...) {
    result = 0;
  }
  tvimg::CloseTiff(document->tiff);
  delete document;
  return result;
}

TVIMG_EXPORT uint32_t tvimgplug_GetWidth(tvimg_bitmap* b) { return IsLive(b) ? b->width : 0; }
TVIMG_EXPORT uint32_t tvimgplug_GetHeight(tvimg_bitmap* b) { return IsLive(b) ? b->height : 0; }
TVIMG_EXPORT uint32_t tvimgplug_GetPitch(tvimg_bitmap* b) { return IsLive(b) ? b->pitch : 0; }
TVIMG_EXPORT uint32_t tvimgplug_GetBPP(tvimg_bitmap* b) { return IsLive(b) ? b->bpp : 0; }
TVIMG_EXPORT uint8_t* tvimgplug_GetBits(tvimg_bitmap* b) { return IsLive(b) ? b->bits.data() : nullptr; }
TVIMG_EXPORT int32_t tvimgplug_GetColorType(tvimg_bitmap* b) {
  return IsLive(b) ? tvimg::ColorTypeOf(*b) : TVIMG_MINISBLACK;
}
TVIMG_EXPORT int32_t tvimgplug_GetImageType(tvimg_bitmap* b) {
  return IsLive(b) ? b->type : TVIMG_TYPE_UNKNOWN;
}
TVIMG_EXPORT uint32_t tvimgplug_GetColorsUsed(tvimg_bitmap* b) {
  return IsLive(b) && b->type == TVIMG_TYPE_BITMAP ? tvimg::PaletteSize(b->bpp) : 0;
}
TVIMG_EXPORT uint8_t* tvimgplug_GetPalette(tvimg_bitmap* b) {
  return tvimgplug_GetColorsUsed(b) > 0 ? b->palette.data() : nullptr;
}
TVIMG_EXPORT int32_t tvimgplug_IsTransparent(tvimg_bitmap* b) {
  if (!IsLive(b)) return 0;
  if (b->type == TVIMG_TYPE_RGBA16 || b->type == TVIMG_TYPE_RGBAF) return 1;
  if (b->type == TVIMG_TYPE_BITMAP && b->bpp == 32) return 1;
  for (uint8_t a : b->transparency)
    if (a != 0xFF) return 1;
  return 0;
}
TVIMG_EXPORT uint32_t tvimgplug_GetTransparencyCount(tvimg_bitmap* b) {
  return IsLive(b) ? static_cast<uint32_t>(b->transparency.size()) : 0;
}
TVIMG_EXPORT uint8_t* tvimgplug_GetTransparencyTable(tvimg_bitmap* b) {
  return IsLive(b) && !b->transparency.empty() ? b->transparency.data() : nullptr;
}
TVIMG_EXPORT void tvimgplug_SetTransparencyTable(tvimg_bitmap* b, const uint8_t* table, int32_t count) {
  if (!IsLive(b) || b->type != TVIMG_TYPE_BITMAP || b->bpp > 8) return;
  try {
    if (!table || count <= 0) {
      b->transparency.clear();
      return;
    }
    const auto n = static_cast<size_t>(std::min(count, 256));
    b->transparency.assign(table, table + n);
  } catch (...) {
  }
}

namespace {
template <typename Fn>
tvimg_bitmap* Converted(tvimg_bitmap* b, Fn convert) {
  try {
    return IsLive(b) ? Handout(convert(*b)) : nullptr;
  } catch (...) {
    return nullptr;
  }
}
}  // namespace

TVIMG_EXPORT tvimg_bitmap* tvimgplug_ConvertTo24Bits(tvimg_bitmap* b) {
  return Converted(b, [](const tvimg_bitmap& s) { return tvimg::ConvertTo24Bits(s); });
}
TVIMG_EXPORT tvimg_bitmap* tvimgplug_ConvertTo32Bits(tvimg_bitmap* b) {
  return Converted(b, [](const tvimg_bitmap& s) { return tvimg::ConvertTo32Bits(s); });
}
TVIMG_EXPORT tvimg_bitmap* tvimgplug_ConvertToGreyscale(tvimg_bitmap* b) {
  return Converted(b, [](const tvimg_bitmap& s) { return tvimg::ConvertToGreyscale(s); });
}
TVIMG_EXPORT tvimg_bitmap* tvimgplug_ConvertToType(tvimg_bitmap* b, int32_t type, int32_t scaleLinear) {
  return Converted(b, [=](const tvimg_bitmap& s) { return tvimg::ConvertToType(s, type, scaleLinear != 0); });
}
TVIMG_EXPORT tvimg_bitmap* tvimgplug_ConvertToRGBF(tvimg_bitmap* b) {
  return Converted(b, [](const tvimg_bitmap& s) { return tvimg::ConvertToRgbf(s); });
}
TVIMG_EXPORT tvimg_bitmap* tvimgplug_TmoReinhard05(tvimg_bitmap* b, double intensity, double contrast) {
  return Converted(b, [=](const tvimg_bitmap& s) { return tvimg::ToneMapReinhard05(s, intensity, contrast); });
}
TVIMG_EXPORT int32_t tvimgplug_Invert(tvimg_bitmap* b) { return IsLive(b) && tvimg::Invert(*b) ? 1 : 0; }
TVIMG_EXPORT int32_t tvimgplug_FlipVertical(tvimg_bitmap* b) {
  return IsLive(b) && tvimg::FlipVertical(*b) ? 1 : 0;
}

TVIMG_EXPORT uint32_t tvimgplug_GetDotsPerMeterX(tvimg_bitmap* b) { return IsLive(b) ? b->dotsPerMeterX : 0; }
TVIMG_EXPORT uint32_t tvimgplug_GetDotsPerMeterY(tvimg_bitmap* b) { return IsLive(b) ? b->dotsPerMeterY : 0; }
TVIMG_EXPORT void tvimgplug_SetDotsPerMeterX(tvimg_bitmap* b, uint32_t v) {
  if (IsLive(b)) b->dotsPerMeterX = v;
}
TVIMG_EXPORT void tvimgplug_SetDotsPerMeterY(tvimg_bitmap* b, uint32_t v) {
  if (IsLive(b)) b->dotsPerMeterY = v;
}

TVIMG_EXPORT int32_t tvimgplug_SetFrameDelay(tvimg_bitmap* b, int32_t milliseconds) {
  if (!IsLive(b) || milliseconds < 0) return 0;
  b->frameDelayMs = milliseconds;
  return 1;
}
TVIMG_EXPORT int32_t tvimgplug_SetFrameDisposal(tvimg_bitmap* b, int32_t disposal) {
  if (!IsLive(b) || disposal < 0 || disposal > 3) return 0;
  b->frameDisposal = disposal;
  return 1;
}
TVIMG_EXPORT int32_t tvimgplug_SetLoopCount(tvimg_bitmap* b, int32_t count) {
  if (!IsLive(b) || count < 0 || count > 65535) return 0;
  b->loopCount = count;
  return 1;
}

TVIMG_EXPORT void tvimgplug_SetTiffJpegCompression(int32_t quality) { tvimg::SetTiffJpegQuality(quality); }

namespace {
std::vector<tvimg::MetadataItem>* Model(int32_t model, tvimg_bitmap* b) {
  if (!IsLive(b)) return nullptr;
  if (model == TVIMG_METADATA_EXIF) return &b->exif;
  if (model == TVIMG_METADATA_IPTC) return &b->iptc;
  return nullptr;
}
}  // namespace

TVIMG_EXPORT uint32_t tvimgplug_GetMetadataCount(int32_t model, tvimg_bitmap* b) {
  const auto* items = Model(model, b);
  return items ? static_cast<uint32_t>(items->size()) : 0;
}

TVIMG_EXPORT int32_t tvimgplug_GetMetadataItem(int32_t model, tvimg_bitmap* b, uint32_t index,
                                               uint32_t* id, uint16_t* type, const uint8_t** value,
                                               uint32_t* length) {
  const auto* items = Model(model, b);
  if (!items || index >= items->size()) return 0;
  const tvimg::MetadataItem& item = (*items)[index];
  if (id) *id = item.id;
  if (type) *type = item.type;
  if (value) *value = item.value.empty() ? nullptr : item.value.data();
  if (length) *length = static_cast<uint32_t>(item.value.size());
  return 1;
}

TVIMG_EXPORT int32_t tvimgplug_SetMetadataItem(int32_t model, tvimg_bitmap* b, uint32_t id,
                                               uint16_t type, const uint8_t* value, uint32_t length) {
  try {
    auto* items = Model(model, b);
    if (!items || (length > 0 && !value) || length > (64u << 20)) return 0;
    tvimg::MetadataItem item;
    item.id = id;
    item.type = type;
    if (length > 0) item.value.assign(value, value + length);
    tvimg::SetItem(*items, item);
    if (model == TVIMG_METADATA_EXIF && id == tvimg::kTagICCProfile) b->iccProfile = item.value;
    return 1;
  } catch (...) {
    return 0;
  }
}

TVIMG_EXPORT int32_t tvimgplug_CompressCCITT4(const uint8_t* rows, int32_t width, int32_t height,
                                              int32_t rowBytes, uint8_t** out, uint32_t* outLength) {
  try {
    if (!out || !outLength) return 1;
    std::vector<uint8_t> encoded;
    if (!tvimg::CompressCcitt4(rows, width, height, rowBytes, encoded)) return 1;
    return MallocCopy(encoded, out, outLength);
  } catch (...) {
    return 1;
  }
}

TVIMG_EXPORT int32_t tvimgplug_Compress(const uint8_t* data, uint32_t length, int32_t level,
                                        uint8_t** out, uint32_t* outLength) {
  try {
    if (!out || !outLength || (!data && length > 0)) return 1;
    uLongf size = compressBound(length);
    std::vector<uint8_t> buffer(size);
    const int z = compress2(buffer.data(), &size, data, length, std::clamp(level, 0, 9));
    if (z != Z_OK) return 1;
    buffer.resize(size);
    return MallocCopy(buffer, out, outLength);
  } catch (...) {
    return 1;
  }
}

TVIMG_EXPORT void tvimgplug_FreeBuffer(uint8_t* buffer) { std::free(buffer); }

TVIMG_EXPORT int32_t tvimgplug_RemoveIccProfileFromFile(const char* imagePath) {
  try {
    return imagePath && tvimg::ReplaceIccProfileInFile(imagePath, {}) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

TVIMG_EXPORT int32_t tvimgplug_AddIccProfileToFile(const char* imagePath, const char* profilePath) {
  try {
    if (!imagePath || !profilePath) return 0;
    tvimg::MappedFile profile(profilePath);
    // An ICC profile: a 128-byte header with the signature "acsp" at offset 36.
    if (!profile.ok() || profile.size() < 132 || std::memcmp(profile.data() + 36, "acsp", 4) != 0)
      return 0;
    const std::vector<uint8_t> bytes(profile.data(), profile.data() + profile.size());
    return tvimg::ReplaceIccProfileInFile(imagePath, bytes) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}
