#include "pixel/pixel_changes.h"

#include "core/image_registry.h"

namespace tessivo {

void NotePixelsChanged(int32_t imageId) {
  ImageRegistry& registry = ImageRegistry::Current();
  ImageEntry* page = registry.Entry(registry.ResolvePageId(imageId));
  if (page != nullptr) page->pageModified = true;
}

}  // namespace tessivo
