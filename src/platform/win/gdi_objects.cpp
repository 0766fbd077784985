#include "platform/win/gdi_objects.h"

#include <cmath>
#include <cstring>

namespace tessivo::platform::win {
namespace {

HandleTable& Table() { return HandleTable::Instance(); }

constexpr size_t kMaxBlockBytes = size_t{1} << 31;

// A copy in `format` with the image's resolution.
Status CopyAs(const Bitmap& image, PixelFormat format, std::unique_ptr<Bitmap>& out) {
  if (image.Format() == format) return image.Clone(out);
  Status s = image.CloneArea(Rect{0, 0, image.Width(), image.Height()}, format, out);
  if (s == Status::Ok) out->SetResolution(image.HorizontalResolution(), image.VerticalResolution());
  return s;
}

int32_t Himetric(int32_t pixels, float dpi) {
  if (!(dpi > 0)) dpi = 96;
  return static_cast<int32_t>(std::lround(pixels * 2540.0 / dpi));
}

std::mutex& DesktopMutex() {
  static std::mutex m;
  return m;
}
Handle& DesktopHandle() {
  static Handle h = 0;
  return h;
}

}  // namespace

// --- Memory blocks ------------------------------------------------------------------------

Handle GlobalAlloc(size_t size) {
  if (size == 0 || size > kMaxBlockBytes) return 0;
  auto block = std::make_shared<GlobalBlock>();
  block->bytes.assign(size, 0);
  return Table().Add(std::move(block));
}

Handle GlobalAllocCopy(const void* bytes, size_t size) {
  if (!bytes || size == 0 || size > kMaxBlockBytes) return 0;
  auto block = std::make_shared<GlobalBlock>();
  block->bytes.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size);
  return Table().Add(std::move(block));
}

std::shared_ptr<GlobalBlock> GlobalLock(Handle block) {
  std::shared_ptr<GlobalBlock> b = Table().Get<GlobalBlock>(block);
  if (b) ++b->locks;
  return b;
}

Status GlobalUnlock(Handle block) {
  std::shared_ptr<GlobalBlock> b = Table().Get<GlobalBlock>(block);
  if (!b) return Status::InvalidParameter;
  if (b->locks == 0) return Status::WrongState;
  --b->locks;
  return Status::Ok;
}

size_t GlobalSize(Handle block) {
  std::shared_ptr<GlobalBlock> b = Table().Get<GlobalBlock>(block);
  return b ? b->bytes.size() : 0;
}

Status GlobalFree(Handle block) {
  return Table().Take<GlobalBlock>(block) ? Status::Ok : Status::InvalidParameter;
}

// --- Bitmaps and icons ----------------------------------------------------------------------

PixelFormat DibFormatOf(PixelFormat f) {
  if (f == kPixelFormat16bppGrayScale || f == kPixelFormat48bppRGB) return kPixelFormat24bppRGB;
  if (f == kPixelFormat16bppARGB1555 || f == kPixelFormat32bppPARGB || f == kPixelFormat64bppARGB ||
      f == kPixelFormat64bppPARGB)
    return kPixelFormat32bppARGB;
  return f;
}

Status CopyInDibFormat(const Bitmap& image, std::unique_ptr<Bitmap>& out) {
  return CopyAs(image, DibFormatOf(image.Format()), out);
}

Status CreateGdiBitmap(const Bitmap& image, Handle& out) {
  out = 0;
  std::unique_ptr<Bitmap> copy;
  Status s = CopyInDibFormat(image, copy);
  if (s != Status::Ok) return s;
  auto bitmap = std::make_shared<GdiBitmap>();
  bitmap->pixels = std::move(copy);
  out = Table().Add(std::move(bitmap));
  return out ? Status::Ok : Status::OutOfMemory;
}

Status DeleteGdiBitmap(Handle bitmap) {
  return Table().Take<GdiBitmap>(bitmap) ? Status::Ok : Status::InvalidParameter;
}

Status CreateIcon(const Bitmap& image, Handle& out) {
  out = 0;
  std::unique_ptr<Bitmap> color, mask;
  Status s = CopyAs(image, kPixelFormat32bppARGB, color);
  if (s == Status::Ok) s = Bitmap::Create(image.Width(), image.Height(), kPixelFormat1bppIndexed, mask);
  if (s != Status::Ok) return s;
  for (int32_t y = 0; y < color->Height(); ++y) {
    const uint8_t* src = color->Row(y);
    uint8_t* bits = mask->Row(y);
    for (int32_t x = 0; x < color->Width(); ++x)
      if (src[4 * x + 3] == 0) bits[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
  }
  auto icon = std::make_shared<IconObject>();
  icon->color = std::move(color);
  icon->mask = std::move(mask);
  out = Table().Add(std::move(icon));
  return out ? Status::Ok : Status::OutOfMemory;
}

Status DestroyIcon(Handle icon) {
  return Table().Take<IconObject>(icon) ? Status::Ok : Status::InvalidParameter;
}

Status IconToBitmap(Handle handle, std::unique_ptr<Bitmap>& out) {
  std::shared_ptr<IconObject> icon = Table().Get<IconObject>(handle);
  if (!icon) return Status::InvalidParameter;
  Status s = icon->color->Clone(out);
  if (s != Status::Ok) return s;
  bool anyAlpha = false;
  for (int32_t y = 0; y < out->Height() && !anyAlpha; ++y)
    for (int32_t x = 0; x < out->Width(); ++x)
      if (out->Row(y)[4 * x + 3] != 0) {
        anyAlpha = true;
        break;
      }
  for (int32_t y = 0; y < out->Height(); ++y) {
    uint8_t* px = out->Row(y);
    const uint8_t* bits = icon->mask->Row(y);
    for (int32_t x = 0; x < out->Width(); ++x) {
      const bool transparent = bits[x >> 3] & (0x80u >> (x & 7));
      if (transparent) std::memset(px + 4 * x, 0, 4);
      else if (!anyAlpha) px[4 * x + 3] = 0xFF;
    }
  }
  out->SetRawFormat(RawFormat::Icon);
  return Status::Ok;
}

// --- Picture objects ------------------------------------------------------------------------

Status CreatePicture(int32_t type, Handle handle, Handle& out) {
  out = 0;
  auto picture = std::make_shared<PictureObject>();
  picture->type = type;
  picture->handle = handle;
  const Bitmap* pixels = nullptr;
  std::shared_ptr<GdiBitmap> bitmap;
  std::shared_ptr<IconObject> icon;
  if (type == PictureBitmap && (bitmap = Table().Get<GdiBitmap>(handle))) pixels = bitmap->pixels.get();
  if (type == PictureIcon && (icon = Table().Get<IconObject>(handle))) pixels = icon->color.get();
  if (!pixels) return Status::InvalidParameter;
  picture->himetricWidth = Himetric(pixels->Width(), pixels->HorizontalResolution());
  picture->himetricHeight = Himetric(pixels->Height(), pixels->VerticalResolution());
  out = Table().Add(std::move(picture));
  return out ? Status::Ok : Status::OutOfMemory;
}

Status DeletePicture(Handle handle) {
  std::shared_ptr<PictureObject> picture = Table().Take<PictureObject>(handle);
  if (!picture) return Status::InvalidParameter;
  if (picture->type == PictureBitmap) DeleteGdiBitmap(picture->handle);
  if (picture->type == PictureIcon) DestroyIcon(picture->handle);
  return Status::Ok;
}

// --- Windows and device contexts ------------------------------------------------------------

namespace {

Status NewSurface(int32_t width, int32_t height, uint32_t argb, std::shared_ptr<Bitmap>& out) {
  std::unique_ptr<Bitmap> surface;
  Status s = Bitmap::Create(width, height, kPixelFormat32bppRGB, surface);
  if (s != Status::Ok) return s;
  argb |= 0xFF000000u;
  for (int32_t y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(surface->Row(y));
    for (int32_t x = 0; x < width; ++x) row[x] = argb;
  }
  out = std::move(surface);
  return Status::Ok;
}

}  // namespace

Status CreateWindowSurface(int32_t width, int32_t height, uint32_t argb, Handle& out) {
  out = 0;
  auto window = std::make_shared<WindowObject>();
  Status s = NewSurface(width, height, argb, window->surface);
  if (s != Status::Ok) return s;
  out = Table().Add(std::move(window));
  return out ? Status::Ok : Status::OutOfMemory;
}

Status DestroyWindowSurface(Handle handle) {
  std::shared_ptr<WindowObject> window = Table().Get<WindowObject>(handle);
  if (!window || window->desktop) return Status::InvalidParameter;
  return Table().Take<WindowObject>(handle) ? Status::Ok : Status::InvalidParameter;
}

Handle DesktopWindow() {
  std::lock_guard<std::mutex> lock(DesktopMutex());
  Handle& h = DesktopHandle();
  if (h == 0) {
    auto window = std::make_shared<WindowObject>();
    window->desktop = true;
    if (NewSurface(1024, 768, 0xFF000000u, window->surface) == Status::Ok) h = Table().Add(std::move(window));
  }
  return h;
}

Status SetVirtualScreen(const Bitmap& screen) {
  std::unique_ptr<Bitmap> copy;
  Status s = CopyAs(screen, kPixelFormat32bppRGB, copy);
  if (s != Status::Ok) return s;
  std::shared_ptr<WindowObject> desktop = Table().Get<WindowObject>(DesktopWindow());
  if (!desktop) return Status::OutOfMemory;
  std::lock_guard<std::mutex> lock(DesktopMutex());
  desktop->surface = std::move(copy);  // DCs taken before keep drawing into the old screen
  return Status::Ok;
}

std::shared_ptr<Bitmap> WindowSurface(Handle handle) {
  std::shared_ptr<WindowObject> window = Table().Get<WindowObject>(handle == 0 ? DesktopWindow() : handle);
  if (!window) return nullptr;
  std::lock_guard<std::mutex> lock(DesktopMutex());
  return window->surface;
}

Status GetWindowDC(Handle window, Handle& out) {
  out = 0;
  std::shared_ptr<Bitmap> surface = WindowSurface(window);
  if (!surface) return Status::InvalidParameter;
  auto dc = std::make_shared<DeviceContext>();
  dc->surface = std::move(surface);
  dc->window = window == 0 ? DesktopWindow() : window;
  out = Table().Add(std::move(dc));
  return out ? Status::Ok : Status::OutOfMemory;
}

Status CreateImageDC(std::shared_ptr<Bitmap> image, int32_t imageId, Handle& out) {
  out = 0;
  if (!image) return Status::InvalidParameter;
  auto dc = std::make_shared<DeviceContext>();
  dc->surface = std::move(image);
  dc->imageId = imageId;
  out = Table().Add(std::move(dc));
  return out ? Status::Ok : Status::OutOfMemory;
}

Status ReleaseDC(Handle dc) {
  return Table().Take<DeviceContext>(dc) ? Status::Ok : Status::InvalidParameter;
}

std::shared_ptr<DeviceContext> LookupDC(Handle dc) { return Table().Get<DeviceContext>(dc); }

}  // namespace tessivo::platform::win
