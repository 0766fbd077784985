// Geometry methods of cImaging: thin wrappers over src/pixel/geometry, run through the
// native-image rebuild frame (resolution and, when preserving, property items carried over; a
// failure leaves the image as it was). They act on the current page of a document, which is
// then marked changed so that it is stored back when another page is selected.
#include "core/native_rebuild.h"
#include "pixel/geometry/geometry_copies.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

template <typename Build>
TessivoStatus RebuildGeometry(ImagingState& st, Build&& build) {
  const TessivoStatus s = RebuildNativeImage(st, std::forward<Build>(build));
  if (s == OK) NotePixelsChanged(st.nativeImage);
  return s;
}

}  // namespace

TessivoStatus cImaging::Rotate(RotateFlipType nRotation) {
  return RebuildGeometry(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    return RotateFlipCopy(current, nRotation, out);
  });
}

TessivoStatus cImaging::Crop(int32_t nSrcLeft, int32_t nSrcTop, int32_t nWidth, int32_t nHeight) {
  return RebuildGeometry(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    return CropCopy(current, nSrcLeft, nSrcTop, nWidth, nHeight, out);
  });
}

}  // namespace tessivo
