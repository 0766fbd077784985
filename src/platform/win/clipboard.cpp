#include "platform/win/clipboard.h"

#include <mutex>

#include "platform/win/gdi_objects.h"
#include "platform/win/packed_dib.h"

namespace tessivo::platform::win {
namespace {

struct ClipboardContent {
  std::shared_ptr<const Bitmap> bitmap;              // CF_BITMAP
  std::shared_ptr<const std::vector<uint8_t>> dib;   // CF_DIB
};

std::mutex& ClipboardMutex() {
  static std::mutex m;
  return m;
}
ClipboardContent& Content() {
  static ClipboardContent* c = new ClipboardContent;  // outlives every static user
  return *c;
}

}  // namespace

void EmptyClipboard() {
  std::lock_guard<std::mutex> lock(ClipboardMutex());
  Content() = ClipboardContent{};
}

Status SetClipboardImage(const Bitmap& image) {
  std::unique_ptr<Bitmap> copy;
  Status s = CopyInDibFormat(image, copy);
  auto dib = std::make_shared<std::vector<uint8_t>>();
  if (s == Status::Ok) s = PackDib(*copy, *dib);
  if (s != Status::Ok) return s;
  std::lock_guard<std::mutex> lock(ClipboardMutex());
  Content() = ClipboardContent{std::shared_ptr<const Bitmap>(std::move(copy)), std::move(dib)};
  return Status::Ok;
}

Status SetClipboardDib(const std::vector<uint8_t>& packedDib) {
  if (packedDib.empty()) return Status::InvalidParameter;
  auto dib = std::make_shared<const std::vector<uint8_t>>(packedDib);
  std::lock_guard<std::mutex> lock(ClipboardMutex());
  Content() = ClipboardContent{nullptr, std::move(dib)};
  return Status::Ok;
}

bool IsClipboardFormatAvailable(int32_t format) {
  std::lock_guard<std::mutex> lock(ClipboardMutex());
  if (format == kClipboardBitmap) return Content().bitmap != nullptr;
  if (format == kClipboardDib) return Content().dib != nullptr;
  return false;
}

Status GetClipboardBitmap(std::unique_ptr<Bitmap>& out) {
  std::shared_ptr<const Bitmap> bitmap;
  {
    std::lock_guard<std::mutex> lock(ClipboardMutex());
    bitmap = Content().bitmap;
  }
  if (!bitmap) return Status::InvalidParameter;
  return bitmap->Clone(out);
}

Status GetClipboardDib(std::vector<uint8_t>& out) {
  std::lock_guard<std::mutex> lock(ClipboardMutex());
  if (!Content().dib) return Status::InvalidParameter;
  out = *Content().dib;
  return Status::Ok;
}

}  // namespace tessivo::platform::win
