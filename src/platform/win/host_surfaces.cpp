// The host API over the handle table.
#include "tessivo/host_surfaces.h"

#include <cstring>

#include "platform/win/clipboard.h"
#include "platform/win/gdi_objects.h"
#include "platform/win/packed_dib.h"

namespace tessivo::host {
namespace win = platform::win;
namespace {

bool ToPixels(const platform::Bitmap& surface, Pixels& out) {
  std::unique_ptr<platform::Bitmap> argb;
  const platform::Bitmap* src = &surface;
  if (surface.Format() != platform::kPixelFormat32bppARGB) {
    if (surface.CloneArea(platform::Rect{0, 0, surface.Width(), surface.Height()},
                          platform::kPixelFormat32bppARGB, argb) != platform::Status::Ok)
      return false;
    src = argb.get();
  }
  out.width = src->Width();
  out.height = src->Height();
  out.argb.resize(static_cast<size_t>(out.width) * out.height);
  for (int32_t y = 0; y < out.height; ++y)
    std::memcpy(&out.argb[static_cast<size_t>(y) * out.width], src->Row(y), static_cast<size_t>(out.width) * 4);
  return true;
}

}  // namespace

int32_t CreateWindowSurface(int32_t width, int32_t height, uint32_t argb) {
  win::Handle h = 0;
  return win::CreateWindowSurface(width, height, argb, h) == platform::Status::Ok ? h : 0;
}

bool DestroyWindowSurface(int32_t hwnd) { return win::DestroyWindowSurface(hwnd) == platform::Status::Ok; }

bool ReadWindowPixels(int32_t hwnd, Pixels& out) {
  std::shared_ptr<platform::Bitmap> surface = win::WindowSurface(hwnd);
  return surface && ToPixels(*surface, out);
}

int32_t GetWindowDC(int32_t hwnd) {
  win::Handle h = 0;
  return win::GetWindowDC(hwnd, h) == platform::Status::Ok ? h : 0;
}

bool ReleaseDC(int32_t hdc) { return win::ReleaseDC(hdc) == platform::Status::Ok; }

bool ReadDCPixels(int32_t hdc, Pixels& out) {
  std::shared_ptr<win::DeviceContext> dc = win::LookupDC(hdc);
  return dc && dc->surface && ToPixels(*dc->surface, out);
}

int32_t DesktopWindow() { return win::DesktopWindow(); }

bool SetVirtualScreen(const Pixels& screen) {
  if (screen.width < 1 || screen.height < 1 ||
      screen.argb.size() != static_cast<size_t>(screen.width) * static_cast<size_t>(screen.height))
    return false;
  std::unique_ptr<platform::Bitmap> over;
  if (platform::Bitmap::CreateOver(screen.width, screen.height, screen.width * 4, platform::kPixelFormat32bppARGB,
                                   const_cast<uint32_t*>(screen.argb.data()), over) != platform::Status::Ok)
    return false;
  return win::SetVirtualScreen(*over) == platform::Status::Ok;
}

bool ReadClipboardImage(Pixels& out) {
  std::unique_ptr<platform::Bitmap> image;
  if (win::GetClipboardBitmap(image) != platform::Status::Ok) {
    std::vector<uint8_t> dib;
    if (win::GetClipboardDib(dib) != platform::Status::Ok ||
        win::UnpackDib(dib.data(), dib.size(), image) != platform::Status::Ok)
      return false;
  }
  return ToPixels(*image, out);
}

bool SetClipboardDib(const std::vector<uint8_t>& packedDib) {
  return win::SetClipboardDib(packedDib) == platform::Status::Ok;
}

bool ClipboardHasFormat(int32_t format) { return win::IsClipboardFormatAvailable(format); }

int32_t GlobalAllocCopy(const void* bytes, size_t size) { return win::GlobalAllocCopy(bytes, size); }

bool ReadGlobalBlock(int32_t block, std::vector<uint8_t>& out) {
  std::shared_ptr<win::GlobalBlock> b = win::GlobalLock(block);
  if (!b) return false;
  out = b->bytes;
  win::GlobalUnlock(block);
  return true;
}

}  // namespace tessivo::host
