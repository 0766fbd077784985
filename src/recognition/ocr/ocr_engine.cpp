#include "recognition/ocr/ocr_engine.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "core/plugins.h"
#include "platform/plugin_library.h"
#include "recognition/recognition_area.h"

namespace tessivo::recognition {
namespace {

struct OcrEntry {
  tvocrplug_OCR_fn ocr = nullptr;
  tvocrplug_CLEAR_fn clear = nullptr;
  tvocrplug_ORIENTATION_fn orientation = nullptr;  // optional export
};

// A plug-in stays loaded once found: it keeps recognition engines between calls, and a library
// unloaded under a thread's engine would leave that engine dangling. Each plug-in path has its
// own entry, so a host that points the plug-in folder elsewhere gets the library found there.
const OcrEntry* LoadedEntry() {
  struct Loaded {
    platform::PluginLibrary library;
    OcrEntry entry;
  };
  static std::mutex mutex;
  static std::map<std::string, Loaded>* loaded = new std::map<std::string, Loaded>;  // never unloaded
  const std::string path = PluginPathFor(PluginKind::Ocr);
  std::lock_guard<std::mutex> lock(mutex);
  if (auto it = loaded->find(path); it != loaded->end()) return &it->second.entry;
  platform::PluginLibrary candidate(path);
  if (!candidate.Loaded()) return nullptr;
  OcrEntry found;
  found.ocr = candidate.Function<tvocrplug_OCR_fn>("tvocrplug_OCR");
  found.clear = candidate.Function<tvocrplug_CLEAR_fn>("tvocrplug_CLEAR");
  found.orientation = candidate.Function<tvocrplug_ORIENTATION_fn>("tvocrplug_ORIENTATION");
  if (found.ocr == nullptr || found.clear == nullptr) return nullptr;
  Loaded& slot = (*loaded)[path];
  slot.library = std::move(candidate);
  slot.entry = found;
  return &slot.entry;
}

int32_t Dpi(float value) { return value > 0.f ? static_cast<int32_t>(value + 0.5f) : 0; }

// Rows for the plug-in: 24-bit, or 32-bit when the image has alpha, so that the plug-in can put
// transparent pixels on white paper; dropped alpha would turn a clear background into black ink.
TessivoStatus LockRows(platform::Bitmap& image, const platform::Rect& rect, platform::BitmapData& rows) {
  const platform::PixelFormat format =
      platform::HasAlpha(image.Format()) ? platform::kPixelFormat32bppARGB : platform::kPixelFormat24bppRGB;
  const platform::Status status = image.LockBits(&rect, platform::ImageLockModeRead, format, rows);
  return status == platform::Status::Ok ? OK : static_cast<TessivoStatus>(status);
}

TvocrImage PluginImage(platform::Bitmap& image, const platform::BitmapData& rows) {
  return TvocrImage{static_cast<const uint8_t*>(rows.scan0),
                    static_cast<int32_t>(rows.width),
                    static_cast<int32_t>(rows.height),
                    rows.stride,
                    rows.pixelFormat == platform::kPixelFormat32bppARGB ? 4 : 3,
                    Dpi(image.HorizontalResolution()),
                    Dpi(image.VerticalResolution())};
}

TessivoStatus FromPluginStatus(int32_t status) {
  switch (status) {
    case TVOCRPLUG_OK: return OK;
    case TVOCRPLUG_INVALID_PARAMETER: return InvalidParameter;
    case TVOCRPLUG_OUT_OF_MEMORY: return OutOfMemory;
    case TVOCRPLUG_DICTIONARY_NOT_FOUND: return OCRDictionaryNotFound;
    default: return GenericError;
  }
}

}  // namespace

TessivoStatus RecognizeCharacters(platform::Bitmap& image, const ZoneRect& area, int32_t dictionary,
                                  const std::string& dictionaryPath, const std::string& whiteList,
                                  std::vector<TvocrCharRecord>& records) {
  records.clear();
  if (dictionary < TVOCRPLUG_GERMAN || dictionary > TVOCRPLUG_POLISH) return InvalidParameter;
  if (!CheckPlugin(PluginKind::Ocr)) return GenericError;
  const OcrEntry* entry = LoadedEntry();
  if (entry == nullptr) return GenericError;
  const platform::Rect rect = RecognitionRect(area, image.Width(), image.Height());
  if (rect.width == 0 || rect.height == 0) return OK;

  // The rectangle in 24-bit rows (32-bit with alpha), one copy, released after recognition; the
  // plug-in sees it as a whole image, and its edges are moved back into image pixels below.
  platform::BitmapData rows;
  if (auto status = LockRows(image, rect, rows); status != OK) return status;
  const TvocrImage pixels = PluginImage(image, rows);
  TvocrCharRecord* block = nullptr;
  int32_t count = 0;
  const int32_t result = entry->ocr(&pixels, 0, 0, pixels.width, pixels.height, dictionary,
                                    dictionaryPath.c_str(), whiteList.c_str(), &block, &count);
  image.UnlockBits(rows);
  if (result != TVOCRPLUG_OK) {
    if (block != nullptr) entry->clear(block);
    return FromPluginStatus(result);
  }
  if (block != nullptr && count > 0) {
    records.assign(block, block + count);
    for (auto& r : records) {
      // Records hold 16-bit edges: positions past 32767 are pinned there rather than wrapped.
      const auto edge = [](int32_t value, int32_t offset, int32_t size) {
        return static_cast<int16_t>(std::clamp<int32_t>(value + offset, 0, std::min(size, 32767)));
      };
      r.left = edge(r.left, rect.x, image.Width());
      r.right = edge(r.right, rect.x, image.Width());
      r.top = edge(r.top, rect.y, image.Height());
      r.bottom = edge(r.bottom, rect.y, image.Height());
    }
  }
  if (block != nullptr) entry->clear(block);
  return OK;
}

TessivoStatus DetectPageOrientation(platform::Bitmap& image, int32_t dictionary, const std::string& dictionaryPath,
                                    float accuracy, int32_t& degrees) {
  degrees = -1;
  if (dictionary < TVOCRPLUG_GERMAN || dictionary > TVOCRPLUG_POLISH) return InvalidParameter;
  if (!CheckPlugin(PluginKind::Ocr)) return GenericError;
  const OcrEntry* entry = LoadedEntry();
  if (entry == nullptr || entry->orientation == nullptr) return GenericError;
  const platform::Rect whole{0, 0, image.Width(), image.Height()};
  platform::BitmapData rows;
  if (auto status = LockRows(image, whole, rows); status != OK) return status;
  const TvocrImage pixels = PluginImage(image, rows);
  int32_t found = -1;
  const int32_t result = entry->orientation(&pixels, dictionary, dictionaryPath.c_str(), accuracy, &found);
  image.UnlockBits(rows);
  if (result != TVOCRPLUG_OK) return FromPluginStatus(result);
  degrees = found;
  return OK;
}

}  // namespace tessivo::recognition
