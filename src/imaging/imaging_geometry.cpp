// Geometry methods of cImaging: thin wrappers over src/pixel/geometry. They act on the native
// image or the current page of a document, which is then marked changed so that it is stored
// back when another page is selected. Resolution and, when preserving tags, property items are
// carried over; a failure leaves the image as it was.
#include <climits>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/native_rebuild.h"
#include "pixel/geometry/crop_rect.h"
#include "pixel/geometry/quarter_turn.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {

// Turned in place, as the platform turns: the bitmap keeps its identity (its frame source and,
// for flips and half turns, the memory it was made over).
TessivoStatus cImaging::Rotate(RotateFlipType nRotation) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&]() -> TessivoStatus {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter);
    CaptureTags(st.capturedTags, st.preserveTags, st.nativeImage);
    const platform::Status s = TurnInPlace(*image, nRotation);
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    RestoreTags(st.capturedTags, st.preserveTags, st.nativeImage, false);
    NotePixelsChanged(st.nativeImage);
    return st.Set(OK);
  });
}

TessivoStatus cImaging::Crop(int32_t nSrcLeft, int32_t nSrcTop, int32_t nWidth, int32_t nHeight) {
  ImagingState& st = *state_;
  const TessivoStatus s =
      RebuildNativeImage(st, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
        return CropCopy(current, nSrcLeft, nSrcTop, nWidth, nHeight, out);
      });
  if (s == OK) NotePixelsChanged(st.nativeImage);
  return s;
}

namespace {

// A Crop of what is left after cutting `lines` lines from one edge; the sizes are worked out in
// 64 bits so that no count wraps into a valid-looking rectangle.
enum class Edge { Top, Bottom, Left, Right };

TessivoStatus CropEdge(ImagingState& st, Edge edge, int32_t lines) {
  const TessivoStatus s =
      RebuildNativeImage(st, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
        const bool rows = edge == Edge::Top || edge == Edge::Bottom;
        const int64_t rest = int64_t{rows ? current.Height() : current.Width()} - lines;
        if (rest < INT32_MIN || rest > INT32_MAX) return platform::Status::InvalidParameter;
        const int32_t keep = static_cast<int32_t>(rest);
        switch (edge) {
          case Edge::Top: return CropCopy(current, 0, lines, current.Width(), keep, out);
          case Edge::Bottom: return CropCopy(current, 0, 0, current.Width(), keep, out);
          case Edge::Left: return CropCopy(current, lines, 0, keep, current.Height(), out);
          case Edge::Right: break;
        }
        return CropCopy(current, 0, 0, keep, current.Height(), out);
      });
  if (s == OK) NotePixelsChanged(st.nativeImage);
  return s;
}

}  // namespace

TessivoStatus cImaging::CropTop(int32_t nLines) { return CropEdge(*state_, Edge::Top, nLines); }
TessivoStatus cImaging::CropBottom(int32_t nLines) { return CropEdge(*state_, Edge::Bottom, nLines); }
TessivoStatus cImaging::CropLeft(int32_t nLines) { return CropEdge(*state_, Edge::Left, nLines); }
TessivoStatus cImaging::CropRight(int32_t nLines) { return CropEdge(*state_, Edge::Right, nLines); }

}  // namespace tessivo
