// Reading and changing the palette of an indexed bitmap. Every operation answers
// NotIndexedPixelFormat for a direct-colour bitmap and leaves it unchanged. A transparent entry
// is one whose alpha is 0.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

TessivoStatus PaletteOf(const platform::Bitmap& bitmap, const platform::Palette*& palette);

// Replaces the entries (1 to 256 ARGB colours), keeping the palette's flags.
TessivoStatus ReplacePaletteEntries(platform::Bitmap& bitmap, const std::vector<uint32_t>& entries);
// Exchanges entries a and b (numbered from 0); a number outside the palette: InvalidParameter.
TessivoStatus SwapPaletteEntries(platform::Bitmap& bitmap, int32_t a, int32_t b);
// Adds the halftone flag.
TessivoStatus MarkPaletteHalftone(platform::Bitmap& bitmap);
// Gives the first entry whose red, green and blue equal those of `argb` alpha 0 and adds the
// has-alpha flag; no such entry: InvalidParameter.
TessivoStatus SetPaletteTransparentColor(platform::Bitmap& bitmap, uint32_t argb);
// Index of the first transparent entry, -1 when there is none.
int32_t FirstTransparentEntry(const platform::Palette& palette);

}  // namespace tessivo
