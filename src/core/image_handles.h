// Platform image handles at the boundary: a host receives the handle of a platform bitmap
// (GetGdiplusImage) and may hand it back (CreateImageFromGdiPlusImage). A handle is a positive
// number from this per-thread table, never an address: an unknown handle, or one whose bitmap
// has been released since, resolves to nothing.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"

namespace tessivo {

// The handle of `image`; the same bitmap keeps the same handle while it lives. The table does
// not keep the bitmap alive.
intptr_t IssueImageHandle(const std::shared_ptr<platform::Bitmap>& image);
// The bitmap of `handle`, or null.
std::shared_ptr<platform::Bitmap> LookupImageHandle(intptr_t handle);

}  // namespace tessivo
