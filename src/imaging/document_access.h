// Shared by the document method files of cImaging: how the public methods read the document
// fields of an entry.
#pragma once
#include <cstdint>

#include "core/documents.h"
#include "core/image_registry.h"

namespace tessivo {

inline bool IsDocumentOfFormat(const ImageEntry& e, DocumentFormat format) {
  return format == DocumentFormat::Tiff ? e.multiPageTiff : e.multiPageGif;
}

// The entry of `id` when it is a document of `format`, else nullptr.
inline ImageEntry* DocumentEntry(int32_t id, DocumentFormat format) {
  ImageEntry* e = ImageRegistry::Current().Entry(id);
  return e && IsDocumentOfFormat(*e, format) ? e : nullptr;
}

}  // namespace tessivo
