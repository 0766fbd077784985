// Pixel format conversion and palette methods of cImaging: thin wrappers over the conversions in
// src/pixel, run through the native-image rebuild frame.
#include <memory>
#include <vector>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/native_rebuild.h"
#include "pixel/apply_filter.h"
#include "pixel/convert_indexed.h"
#include "pixel/convert_platform.h"
#include "pixel/filter_codes.h"
#include "pixel/index_rules.h"
#include "pixel/palette_ops.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using platform::PixelFormat;

TessivoStatus ConvertNative(ImagingState& st, PixelFormat target) {
  return RebuildNativeImage(st, [&](Bitmap& current, BitmapPtr& out) {
    return ConvertWithPlatform(current, target, out);
  });
}

PixelFormat FormatForDepth(int32_t depth) {
  switch (depth) {
    case 1: return platform::kPixelFormat1bppIndexed;
    case 4: return platform::kPixelFormat4bppIndexed;
    case 8: return platform::kPixelFormat8bppIndexed;
    case 16: return platform::kPixelFormat16bppRGB555;
    case 24: return platform::kPixelFormat24bppRGB;
    case 32: return platform::kPixelFormat32bppARGB;
    case 48: return platform::kPixelFormat48bppRGB;
    case 64: return platform::kPixelFormat64bppPARGB;
    default: return platform::kPixelFormatUndefined;
  }
}

// The native image's bitmap: GenericError without a native image, InvalidParameter when its ID
// names no image.
TessivoStatus NativeBitmap(const ImagingState& st, Bitmap*& bitmap) {
  bitmap = nullptr;
  if (st.nativeImage == 0) return GenericError;
  bitmap = ResolveImage(st.nativeImage);
  return bitmap ? OK : InvalidParameter;
}

// The native image's palette for the read-only palette methods; stores a failure as the status.
const platform::Palette* NativePalette(ImagingState& st) {
  Bitmap* bitmap = nullptr;
  const platform::Palette* palette = nullptr;
  TessivoStatus s = NativeBitmap(st, bitmap);
  if (s == OK) s = PaletteOf(*bitmap, palette);
  st.Set(s);
  return s == OK ? palette : nullptr;
}

// Runs a palette change on the native image and stores its status.
template <typename Change>
TessivoStatus ChangeNativePalette(ImagingState& st, Change change) {
  return GuardedStatus(st, [&] {
    Bitmap* bitmap = nullptr;
    TessivoStatus s = NativeBitmap(st, bitmap);
    return st.Set(s == OK ? change(*bitmap) : s);
  });
}

std::vector<uint32_t> ArgbValues(const SafeArray<int32_t>& values) {
  std::vector<uint32_t> out;
  out.reserve(values.size());
  for (int32_t v : values.storage()) out.push_back(static_cast<uint32_t>(v));
  return out;
}

}  // namespace

TessivoStatus cImaging::ConvertTo16BppRGB555() { return ConvertNative(*state_, platform::kPixelFormat16bppRGB555); }
TessivoStatus cImaging::ConvertTo16BppRGB565() { return ConvertNative(*state_, platform::kPixelFormat16bppRGB565); }
TessivoStatus cImaging::ConvertTo24BppRGB() { return ConvertNative(*state_, platform::kPixelFormat24bppRGB); }
TessivoStatus cImaging::ConvertTo32BppARGB() { return ConvertNative(*state_, platform::kPixelFormat32bppARGB); }
TessivoStatus cImaging::ConvertTo32BppPARGB() { return ConvertNative(*state_, platform::kPixelFormat32bppPARGB); }
TessivoStatus cImaging::ConvertTo32BppRGB() { return ConvertNative(*state_, platform::kPixelFormat32bppRGB); }
TessivoStatus cImaging::ConvertTo48BppRGB() { return ConvertNative(*state_, platform::kPixelFormat48bppRGB); }
TessivoStatus cImaging::ConvertTo64BppARGB() { return ConvertNative(*state_, platform::kPixelFormat64bppPARGB); }
TessivoStatus cImaging::ConvertTo4Bpp() { return ConvertNative(*state_, platform::kPixelFormat4bppIndexed); }

TessivoStatus cImaging::ConvertToPixelFormatCR(int32_t nPixelDepth) {
  const PixelFormat target = FormatForDepth(nPixelDepth);
  if (target == platform::kPixelFormatUndefined) return state_->Set(InvalidParameter);
  return ConvertNative(*state_, target);
}

TessivoStatus cImaging::ConvertTo1Bpp() { return RebuildNativeImage(*state_, ConvertTo1BppThreshold); }
TessivoStatus cImaging::ConvertTo1BppFast() { return RebuildNativeImage(*state_, ConvertTo1BppOpaqueWhite); }
TessivoStatus cImaging::ConvertTo8BppGrayScale() { return RebuildNativeImage(*state_, ConvertToGrayAverage); }
TessivoStatus cImaging::ConvertTo8BppGrayScaleAdv() { return RebuildNativeImage(*state_, ConvertToGrayWeighted); }
TessivoStatus cImaging::ConvertTo8Bpp216() { return RebuildNativeImage(*state_, ConvertToCube216); }
TessivoStatus cImaging::ConvertTo4BppQ() { return RebuildNativeImage(*state_, QuantizeTo4Bpp); }

TessivoStatus cImaging::ConvertTo4Bpp16() {
  return RebuildNativeImage(*state_, [](Bitmap& current, BitmapPtr& out) {
    return ConvertTo4BppNearest(current, Fixed16Palette().entries, out);
  });
}

TessivoStatus cImaging::ConvertTo4BppPal(const SafeArray<int32_t>& nARGBColorsArray) {
  return RebuildNativeImage(*state_, [&](Bitmap& current, BitmapPtr& out) {
    return ConvertTo4BppNearest(current, ArgbValues(nARGBColorsArray), out);
  });
}

// Softening runs on a 32-bit working copy put in place of the image: written back into a 1-bit
// (or colour-palette) image the softened grey levels would be thresholded away again before the
// grey image is taken from the blue channel. The working copy only lives for this call; on any
// failure the original bitmap is put back.
TessivoStatus cImaging::ConvertBitonalToGrayScale(int32_t nSoftenValue) {
  ImagingState& st = *state_;
  std::shared_ptr<Bitmap> original;
  auto entryOfNative = [&] { return ImageRegistry::Current().Entry(ResolvePageID(st.nativeImage)); };
  auto restoreOriginal = [&](TessivoStatus failure) {
    if (ImageEntry* entry = entryOfNative(); entry && original) entry->image = original;
    return st.Set(failure);
  };
  try {
    if (st.nativeImage == 0) return st.Set(GenericError);
    ImageEntry* entry = entryOfNative();
    if (entry == nullptr || !entry->image) return st.Set(InvalidParameter);
    original = entry->image;
    CaptureTags(st.capturedTags, st.preserveTags, st.nativeImage);

    BitmapPtr work;
    platform::Status s = ConvertWithPlatform(*original, platform::kPixelFormat32bppARGB, work);
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    entry->image = std::move(work);

    FilterParams soften;
    soften.p = nSoftenValue;
    const FilterOutcome softened = ApplyFilter(st, st.nativeImage, kFilterSoften, soften);
    if (softened.status != OK) return restoreOriginal(softened.status);

    entry = entryOfNative();
    BitmapPtr grey;
    s = ConvertToGrayFromBlue(*entry->image, grey);
    if (s != platform::Status::Ok) return restoreOriginal(static_cast<TessivoStatus>(s));
    entry->image = std::move(grey);
    RestoreTags(st.capturedTags, st.preserveTags, st.nativeImage, false);
    return st.Set(OK);
  } catch (const std::bad_alloc&) {
    return restoreOriginal(OutOfMemory);
  } catch (...) {
    return restoreOriginal(GenericError);
  }
}

TessivoStatus cImaging::ConvertTo8BppQ() { return Quantize8Bpp(256); }

TessivoStatus cImaging::Quantize8Bpp(int32_t nColors) {
  return RebuildNativeImage(*state_, [&](Bitmap& current, BitmapPtr& out) {
    return QuantizeToBitmap(current, nColors, out);
  });
}

TessivoStatus cImaging::ColorPaletteGet(SafeArray<int32_t>& arPalette, int32_t& nCount) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const platform::Palette* palette = NativePalette(st);
    if (!palette) return st.lastStatus;
    std::vector<int32_t> values;
    values.reserve(palette->entries.size());
    for (uint32_t entry : palette->entries) values.push_back(static_cast<int32_t>(entry));
    nCount = static_cast<int32_t>(values.size());
    arPalette = SafeArray<int32_t>::FromVector(std::move(values));
    return st.Set(OK);
  });
}

TessivoStatus cImaging::ColorPaletteSet(const SafeArray<int32_t>& arPalette) {
  return ChangeNativePalette(*state_, [&](Bitmap& bitmap) {
    return ReplacePaletteEntries(bitmap, ArgbValues(arPalette));
  });
}

ColorPaletteType cImaging::ColorPaletteGetType() {
  ImagingState& st = *state_;
  return Guarded(st, ColorPaletteTypeUndefined, [&] {
    const platform::Palette* palette = NativePalette(st);
    return palette ? static_cast<ColorPaletteType>(palette->flags) : ColorPaletteTypeUndefined;
  });
}

int32_t cImaging::ColorPaletteGetColorsCount() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const platform::Palette* palette = NativePalette(st);
    return palette ? static_cast<int32_t>(palette->entries.size()) : 0;
  });
}

int32_t cImaging::ColorPaletteGetEntrie(int32_t nEntrie) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const platform::Palette* palette = NativePalette(st);
    if (!palette) return 0;
    if (nEntrie < 0 || static_cast<size_t>(nEntrie) >= palette->entries.size())
      return st.Set(InvalidParameter), 0;
    return static_cast<int32_t>(palette->entries[static_cast<size_t>(nEntrie)]);
  });
}

TessivoStatus cImaging::ColorPaletteSwapEntries(int32_t nEntrie1, int32_t nEntrie2) {
  return ChangeNativePalette(*state_, [&](Bitmap& bitmap) {
    return SwapPaletteEntries(bitmap, nEntrie1, nEntrie2);
  });
}

TessivoStatus cImaging::ColorPaletteConvertToHalftone() {
  return ChangeNativePalette(*state_, MarkPaletteHalftone);
}

TessivoStatus cImaging::ColorPaletteSetTransparentColor(int32_t nColorARGB) {
  return ChangeNativePalette(*state_, [&](Bitmap& bitmap) {
    return SetPaletteTransparentColor(bitmap, static_cast<uint32_t>(nColorARGB));
  });
}

int32_t cImaging::ColorPaletteGetTransparentColor() {
  ImagingState& st = *state_;
  return Guarded(st, -1, [&] {
    const platform::Palette* palette = NativePalette(st);
    if (!palette) return -1;
    const int32_t index = FirstTransparentEntry(*palette);
    return index < 0 ? -1 : static_cast<int32_t>(palette->entries[static_cast<size_t>(index)]);
  });
}

bool cImaging::ColorPaletteHasTransparentColor() {
  ImagingState& st = *state_;
  return Guarded(st, false, [&] {
    const platform::Palette* palette = NativePalette(st);
    return palette != nullptr && FirstTransparentEntry(*palette) >= 0;
  });
}

}  // namespace tessivo
