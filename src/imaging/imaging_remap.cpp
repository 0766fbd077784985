// cImaging: colour remapping and colour keys, drawn through the platform's image attributes.
// A colour key makes a new transparent 32bppARGB image (the keyed pixels could not become
// transparent in an image without alpha), so it is a rebuild; a remap changes the image in
// place.
#include "core/boundary.h"
#include "core/native_rebuild.h"
#include "pixel/adjust/colour_remap.h"
#include "pixel/native_image.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {

TessivoStatus cImaging::SetColorRemap(const SafeArray<int32_t>& arRemapTable) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    TessivoStatus failure = OK;
    platform::Bitmap* image = NativeBitmap(st, failure);
    if (image == nullptr) return st.Set(failure);
    const auto pairs = RemapPairs(arRemapTable);
    if (!pairs) return st.Set(InvalidParameter);
    platform::ImageAttributes attributes;
    attributes.SetRemapTable(*pairs);
    bool changed = false;
    const platform::Status s = RemapImageColours(*image, attributes, changed);
    if (changed) NotePixelsChanged(st.nativeImage);
    return st.Set(static_cast<TessivoStatus>(s));
  });
}

TessivoStatus cImaging::SetColorKey(int32_t nColorLow, int32_t nColorHigh) {
  platform::ImageAttributes attributes;
  attributes.SetColorKey(static_cast<uint32_t>(nColorLow), static_cast<uint32_t>(nColorHigh));
  return RebuildNativeImage(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    return KeyedCopy(current, attributes, out);
  });
}

}  // namespace tessivo
