// The window-system objects of the handle table and the calls that make and release them.
// Every call validates its handles: an unknown, released or wrong-kind handle is
// InvalidParameter and changes nothing. Every object is released exactly once; a second
// release of the same handle is InvalidParameter.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/status.h"
#include "platform/win/handle_table.h"

namespace tessivo::platform::win {

// A movable memory block (a packed DIB, clipboard data): bytes with a lock count.
struct GlobalBlock {
  static constexpr HandleKind kKind = HandleKind::GlobalMemory;
  std::vector<uint8_t> bytes;
  int32_t locks = 0;
};

// A device-independent bitmap: its pixels in a format a DIB can hold (DibFormatOf).
struct GdiBitmap {
  static constexpr HandleKind kKind = HandleKind::Bitmap;
  std::shared_ptr<Bitmap> pixels;
};

// An icon: 32bppARGB colour and a 1bpp mask of the same size (bit set: transparent).
struct IconObject {
  static constexpr HandleKind kKind = HandleKind::Icon;
  std::shared_ptr<Bitmap> color;
  std::shared_ptr<Bitmap> mask;
};

enum PictureType : int32_t { PictureNone = 0, PictureBitmap = 1, PictureMetafile = 2, PictureIcon = 3,
                             PictureEnhMetafile = 4 };

// A picture object owning one bitmap or icon handle; its size is in HIMETRIC (0.01 mm).
struct PictureObject {
  static constexpr HandleKind kKind = HandleKind::Picture;
  int32_t type = PictureNone;
  Handle handle = 0;
  int32_t himetricWidth = 0;
  int32_t himetricHeight = 0;
};

// A window: an in-process 32bppRGB surface a host creates and reads back. The desktop window is
// the virtual screen.
struct WindowObject {
  static constexpr HandleKind kKind = HandleKind::Window;
  std::shared_ptr<Bitmap> surface;
  bool desktop = false;
};

// A device context drawing into a surface: a window's, or an image's own bitmap. `imageId`
// names the image of an image DC (0 otherwise); the toolkit resolves it again on each use, as
// the image's bitmap may be rebuilt while the DC lives.
struct DeviceContext {
  static constexpr HandleKind kKind = HandleKind::DeviceContext;
  std::shared_ptr<Bitmap> surface;
  Handle window = 0;
  int32_t imageId = 0;
};

// --- Memory blocks ------------------------------------------------------------------------
// A block of `size` bytes (zero-filled); size 0 or above 2^31: 0.
Handle GlobalAlloc(size_t size);
Handle GlobalAllocCopy(const void* bytes, size_t size);
// The block's bytes with the lock count raised; null for a bad handle. Unlock lowers it.
std::shared_ptr<GlobalBlock> GlobalLock(Handle block);
Status GlobalUnlock(Handle block);
size_t GlobalSize(Handle block);  // 0 for a bad handle
Status GlobalFree(Handle block);

// --- Bitmaps and icons ----------------------------------------------------------------------
// The pixel format a DIB keeps for an image of format `f`: indexed, RGB555/565, 24 and 32 bit
// formats stay; 16-bit grey and 48 bpp become 24bppRGB; ARGB1555 and the 64-bit and
// premultiplied formats become 32bppARGB.
PixelFormat DibFormatOf(PixelFormat f);
// A copy of `image` (pixels, palette, resolution) in DibFormatOf its format.
Status CopyInDibFormat(const Bitmap& image, std::unique_ptr<Bitmap>& out);
// A bitmap handle holding a copy of `image` in DibFormatOf its format.
Status CreateGdiBitmap(const Bitmap& image, Handle& out);
Status DeleteGdiBitmap(Handle bitmap);
// An icon of `image`: colour in 32bppARGB, mask set where alpha is 0.
Status CreateIcon(const Bitmap& image, Handle& out);
Status DestroyIcon(Handle icon);
// The icon as one 32bppARGB bitmap: alpha 0 where the mask is set; colours without any alpha
// (every alpha byte 0) count as opaque elsewhere.
Status IconToBitmap(Handle icon, std::unique_ptr<Bitmap>& out);

// --- Picture objects ------------------------------------------------------------------------
// A picture owning `handle` (a bitmap for PictureBitmap, an icon for PictureIcon); its HIMETRIC
// size from the pixel size and resolution.
Status CreatePicture(int32_t type, Handle handle, Handle& out);
// Releases the picture and the handle it owns.
Status DeletePicture(Handle picture);

// --- Windows and device contexts ------------------------------------------------------------
Status CreateWindowSurface(int32_t width, int32_t height, uint32_t argb, Handle& out);
Status DestroyWindowSurface(Handle window);  // the desktop cannot be destroyed
// The desktop window (made on first use, 1024 x 768 black).
Handle DesktopWindow();
// Replaces the virtual screen (the desktop's surface) by a copy of `screen` in 32bppRGB.
Status SetVirtualScreen(const Bitmap& screen);
// The surface of a window (0: the desktop), or null.
std::shared_ptr<Bitmap> WindowSurface(Handle window);
// A DC for a window (0: the desktop); for an image's bitmap.
Status GetWindowDC(Handle window, Handle& out);
Status CreateImageDC(std::shared_ptr<Bitmap> image, int32_t imageId, Handle& out);
Status ReleaseDC(Handle dc);
std::shared_ptr<DeviceContext> LookupDC(Handle dc);

}  // namespace tessivo::platform::win
