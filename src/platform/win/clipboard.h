// The in-process clipboard. It holds at most one item per format: a bitmap (CF_BITMAP, a
// bitmap the clipboard owns) and a packed DIB with a 40-byte header (CF_DIB, bytes the
// clipboard owns). Putting a bitmap on the clipboard also offers it as CF_DIB, as the window
// system synthesises one format from the other.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/status.h"
#include "platform/win/handle_table.h"

namespace tessivo::platform::win {

inline constexpr int32_t kClipboardBitmap = 2;
inline constexpr int32_t kClipboardDib = 8;
inline constexpr int32_t kClipboardPalette = 9;
inline constexpr int32_t kClipboardMetafile = 3;

// Clears the clipboard, releasing what it owned.
void EmptyClipboard();
// Replaces the clipboard's content by a copy of `image` (as CF_BITMAP and CF_DIB).
Status SetClipboardImage(const Bitmap& image);
// Replaces the clipboard's content by a packed DIB (as CF_DIB only); the bytes are copied.
Status SetClipboardDib(const std::vector<uint8_t>& packedDib);
bool IsClipboardFormatAvailable(int32_t format);
// A copy of the clipboard's data in `format`: the bitmap handle's pixels for CF_BITMAP, the
// packed DIB bytes for CF_DIB. Not available: InvalidParameter.
Status GetClipboardBitmap(std::unique_ptr<Bitmap>& out);
Status GetClipboardDib(std::vector<uint8_t>& out);

}  // namespace tessivo::platform::win
