#include "core/native_rebuild.h"

namespace tessivo {

bool ReplaceImageBitmap(int32_t id, std::unique_ptr<platform::Bitmap> image) {
  ImageEntry* entry = ImageRegistry::Current().Entry(ResolvePageID(id));
  if (entry == nullptr || !entry->image) return false;
  // The entry's own pixel buffer (if any) stays with the entry until it is released.
  entry->image = std::move(image);
  // A rebuilt page of an editable document must be written back when another page is selected.
  entry->pageModified = true;
  return true;
}

}  // namespace tessivo
