// Operations that replace the native image's bitmap with a rebuilt one (pixel format
// conversions and the like) share one frame: check the native image, remember its resolution
// and property items, build the new bitmap from the current one, put it in the registry entry in
// place of the old one, and restore resolution and (when preserving tags) the property items.
// A failed build leaves the image untouched.
#pragma once
#include <memory>
#include <utility>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "platform/bitmap.h"

namespace tessivo {

// Puts `image` in place of the bitmap of the entry `id` acts on (the current page of an
// editable document). False when there is no such entry.
bool ReplaceImageBitmap(int32_t id, std::unique_ptr<platform::Bitmap> image);

// `build(platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& rebuilt)` returns a
// platform::Status. No native image: GenericError; an ID that resolves to no bitmap:
// InvalidParameter. The outcome is stored as the last status and returned.
template <typename Build>
TessivoStatus RebuildNativeImage(ImagingState& st, Build&& build) {
  return GuardedStatus(st, [&]() -> TessivoStatus {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* current = ResolveImage(st.nativeImage);
    if (current == nullptr) return st.Set(InvalidParameter);
    CaptureTags(st.capturedTags, st.preserveTags, st.nativeImage);
    std::unique_ptr<platform::Bitmap> rebuilt;
    const platform::Status s = build(*current, rebuilt);
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    if (!rebuilt || !ReplaceImageBitmap(st.nativeImage, std::move(rebuilt))) return st.Set(GenericError);
    RestoreTags(st.capturedTags, st.preserveTags, st.nativeImage, false);
    return st.Set(OK);
  });
}

}  // namespace tessivo
