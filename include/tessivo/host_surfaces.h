// What a host embedding the toolkit uses to see what it drew: windows are in-process surfaces
// the host creates with a size and reads back as pixels; the desktop window is a virtual
// screen the host may set; the clipboard is in-process and can be read and filled here.
// Handles are those the toolkit's methods take (hwnd, hdc, hDib ...). Pixels are ARGB values,
// row by row from the top; windows are opaque (alpha 0xFF).
//
// Every call checks its handles: a wrong or released one answers 0 / false and changes
// nothing. The functions may be called from any thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessivo::host {

struct Pixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> argb;  // width * height values

  uint32_t At(int32_t x, int32_t y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// A window of the given size filled with `argb` (its alpha is ignored); 0 for a size below 1
// or a surface too large to allocate.
int32_t CreateWindowSurface(int32_t width, int32_t height, uint32_t argb = 0xFFFFFFFFu);
bool DestroyWindowSurface(int32_t hwnd);
// What the window (0: the desktop) shows.
bool ReadWindowPixels(int32_t hwnd, Pixels& out);
// A device context of the window (0: the desktop), released with ReleaseDC.
int32_t GetWindowDC(int32_t hwnd);
bool ReleaseDC(int32_t hdc);
// What a device context's surface holds (a window's, or an image's for an image DC).
bool ReadDCPixels(int32_t hdc, Pixels& out);

// The desktop window's handle, and its virtual screen replaced by `screen` (any size >= 1).
int32_t DesktopWindow();
bool SetVirtualScreen(const Pixels& screen);

// The clipboard: the image it holds (as a bitmap, else as a DIB), and filling it with a
// packed DIB the host made.
bool ReadClipboardImage(Pixels& out);
bool SetClipboardDib(const std::vector<uint8_t>& packedDib);
bool ClipboardHasFormat(int32_t format);  // 2 bitmap, 8 DIB

// Memory blocks (the hDib of the toolkit's DIB methods): a new block holding a copy of the
// bytes, and a copy of a block's bytes.
int32_t GlobalAllocCopy(const void* bytes, size_t size);
bool ReadGlobalBlock(int32_t block, std::vector<uint8_t>& out);

}  // namespace tessivo::host
