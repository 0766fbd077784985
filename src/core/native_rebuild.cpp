#include "core/native_rebuild.h"

namespace tessivo {

bool ReplaceImageBitmap(int32_t id, std::unique_ptr<platform::Bitmap> image) {
  ImageRegistry& registry = ImageRegistry::Current();
  const int32_t target = ResolvePageID(id);
  ImageEntry* entry = registry.Entry(target);
  if (entry == nullptr || !entry->image) return false;
  if (entry->IsDocument() && entry->readOnly != 0 && entry->origin == OriginFile &&
      entry->currentPage >= 0 && static_cast<size_t>(entry->currentPage) < entry->pageIds.size()) {
    // The bitmap of a read-only platform document is its decoder: replacing it would lose every
    // other frame. The rebuilt page becomes an entry of its own, shown while the page is current
    // and dropped when another page is selected, as any edit of a read-only page is.
    const std::string formatName = entry->formatName;
    const auto current = static_cast<size_t>(entry->currentPage);
    int32_t pageId = 0;
    registry.Register(pageId, std::move(image), formatName, "", OriginMemory);
    entry = registry.Entry(target);  // registering may move entries
    entry->pageIds[current] = pageId;
    registry.Entry(pageId)->pageModified = true;
    return true;
  }
  // The entry's own pixel buffer (if any) stays with the entry until it is released.
  entry->image = std::move(image);
  // A rebuilt page of an editable document must be written back when another page is selected.
  entry->pageModified = true;
  return true;
}

}  // namespace tessivo
