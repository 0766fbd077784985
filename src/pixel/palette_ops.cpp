#include "pixel/palette_ops.h"

#include <utility>

namespace tessivo {
namespace {

TessivoStatus WriteBack(platform::Bitmap& bitmap, const platform::Palette& palette) {
  return static_cast<TessivoStatus>(bitmap.SetPalette(palette));
}

}  // namespace

TessivoStatus PaletteOf(const platform::Bitmap& bitmap, const platform::Palette*& palette) {
  palette = nullptr;
  if (!platform::IsIndexed(bitmap.Format())) return NotIndexedPixelFormat;
  palette = &bitmap.GetPalette();
  return OK;
}

TessivoStatus ReplacePaletteEntries(platform::Bitmap& bitmap, const std::vector<uint32_t>& entries) {
  const platform::Palette* current = nullptr;
  if (TessivoStatus s = PaletteOf(bitmap, current); s != OK) return s;
  if (entries.empty() || entries.size() > 256) return InvalidParameter;
  platform::Palette replaced;
  replaced.flags = current->flags;
  replaced.entries = entries;
  return WriteBack(bitmap, replaced);
}

TessivoStatus SwapPaletteEntries(platform::Bitmap& bitmap, int32_t a, int32_t b) {
  const platform::Palette* current = nullptr;
  if (TessivoStatus s = PaletteOf(bitmap, current); s != OK) return s;
  const auto count = static_cast<int32_t>(current->entries.size());
  if (a < 0 || a >= count || b < 0 || b >= count) return InvalidParameter;
  platform::Palette swapped = *current;
  std::swap(swapped.entries[static_cast<size_t>(a)], swapped.entries[static_cast<size_t>(b)]);
  return WriteBack(bitmap, swapped);
}

TessivoStatus MarkPaletteHalftone(platform::Bitmap& bitmap) {
  const platform::Palette* current = nullptr;
  if (TessivoStatus s = PaletteOf(bitmap, current); s != OK) return s;
  platform::Palette marked = *current;
  marked.flags |= platform::PaletteFlagsHalftone;
  return WriteBack(bitmap, marked);
}

TessivoStatus SetPaletteTransparentColor(platform::Bitmap& bitmap, uint32_t argb) {
  const platform::Palette* current = nullptr;
  if (TessivoStatus s = PaletteOf(bitmap, current); s != OK) return s;
  platform::Palette marked = *current;
  for (uint32_t& entry : marked.entries) {
    if ((entry & 0x00FFFFFFu) != (argb & 0x00FFFFFFu)) continue;
    entry &= 0x00FFFFFFu;
    marked.flags |= platform::PaletteFlagsHasAlpha;
    return WriteBack(bitmap, marked);
  }
  return InvalidParameter;
}

int32_t FirstTransparentEntry(const platform::Palette& palette) {
  for (size_t i = 0; i < palette.entries.size(); ++i)
    if ((palette.entries[i] >> 24) == 0) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace tessivo
