// Telling the image registry that an image's pixels were changed in place, so that a changed
// page of an editable document is stored back when another page is selected.
#pragma once
#include <cstdint>

namespace tessivo {

void NotePixelsChanged(int32_t imageId);

}  // namespace tessivo
