// Resizing, rotation by any angle and thumbnails: thin wrappers over src/pixel/geometry. The
// in-place forms act on the native image (the current page of a document, then marked
// changed); the forms that return an image ID leave their source alone. Resolution and, when
// preserving tags, property items are carried over; a failure leaves every image as it was.
#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/native_rebuild.h"
#include "core/platform_result.h"
#include "pixel/geometry/resize_image.h"
#include "pixel/geometry/rotate_angle.h"
#include "pixel/geometry/thumbnails.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {

namespace {

// Background of the rotations that take no colour: opaque white, the paper of a scan.
constexpr uint32_t kDefaultRotationBackground = 0xFFFFFFFFu;

template <typename Build>
TessivoStatus RebuildAndNote(ImagingState& st, Build&& build) {
  const TessivoStatus s = RebuildNativeImage(st, std::forward<Build>(build));
  if (s == OK) NotePixelsChanged(st.nativeImage);
  return s;
}

// Registers what `build(source, out)` makes from the image `id` as a new image (not native)
// and returns its ID; 0 with the status on failure.
template <typename Build>
int32_t BuildNewImage(ImagingState& st, int32_t id, bool carryTags, Build&& build) {
  return Guarded(st, 0, [&]() -> int32_t {
    platform::Bitmap* source = ResolveImage(id);
    if (source == nullptr) return st.Set(InvalidParameter), 0;
    if (carryTags) CaptureTags(st.capturedTags, st.preserveTags, id);
    std::unique_ptr<platform::Bitmap> made;
    const platform::Status s = build(*source, made);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s)), 0;
    int32_t newId = 0;
    RegisterImage(newId, std::move(made), "", "", OriginMemory);
    if (carryTags) RestoreTags(st.capturedTags, st.preserveTags, newId, false);
    st.Set(OK);
    return newId;
  });
}

TessivoStatus RotateNative(ImagingState& st, float angle, uint32_t background, RotationCanvas canvas) {
  return RebuildAndNote(st, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    return RotateCopy(current, angle, background, canvas, out);
  });
}

}  // namespace

TessivoStatus cImaging::ResizeImage(int32_t nNewImageWidth, int32_t nNewImageHeight,
                                    InterpolationMode nInterpolationMode) {
  return RebuildAndNote(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    return ResizeCopy(current, nNewImageWidth, nNewImageHeight, nInterpolationMode, out);
  });
}

int32_t cImaging::GetResizedImage(int32_t nImageID, int32_t nNewImageWidth, int32_t nNewImageHeight,
                                  InterpolationMode nInterpolationMode) {
  return BuildNewImage(*state_, nImageID, true,
                       [&](const platform::Bitmap& source, std::unique_ptr<platform::Bitmap>& out) {
                         return ResizeCopy(source, nNewImageWidth, nNewImageHeight, nInterpolationMode, out);
                       });
}

TessivoStatus cImaging::ResizeHeightRatio(int32_t nNewImageHeight, InterpolationMode nInterpolationMode) {
  return RebuildAndNote(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    int32_t width = 0;
    const platform::Status s = WidthKeepingRatio(current.Width(), current.Height(), nNewImageHeight, width);
    if (s != platform::Status::Ok) return s;
    return ResizeCopy(current, width, nNewImageHeight, nInterpolationMode, out);
  });
}

TessivoStatus cImaging::ResizeWidthRatio(int32_t nNewImageWidth, InterpolationMode nInterpolationMode) {
  return RebuildAndNote(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    int32_t height = 0;
    const platform::Status s = HeightKeepingRatio(current.Width(), current.Height(), nNewImageWidth, height);
    if (s != platform::Status::Ok) return s;
    return ResizeCopy(current, nNewImageWidth, height, nInterpolationMode, out);
  });
}

TessivoStatus cImaging::ScaleImage(int32_t nScalePercent, InterpolationMode nInterpolationMode) {
  return RebuildAndNote(*state_, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
    int32_t width = 0, height = 0;
    const platform::Status s = ScaledSize(current.Width(), current.Height(), nScalePercent, width, height);
    if (s != platform::Status::Ok) return s;
    return ResizeCopy(current, width, height, nInterpolationMode, out);
  });
}

TessivoStatus cImaging::RotateAngle(float nAngle) {
  return RotateNative(*state_, nAngle, kDefaultRotationBackground, RotationCanvas::Fit);
}

TessivoStatus cImaging::RotateAngleBackColor(float nAngle, int32_t nBackColor) {
  return RotateNative(*state_, nAngle, static_cast<uint32_t>(nBackColor), RotationCanvas::Fit);
}

TessivoStatus cImaging::RotateAnglePreserveDimentions(float nAngle) {
  return RotateNative(*state_, nAngle, kDefaultRotationBackground, RotationCanvas::KeepSizeCorner);
}

TessivoStatus cImaging::RotateAnglePreserveDimentionsBackColor(float nAngle, int32_t nBackColor) {
  return RotateNative(*state_, nAngle, static_cast<uint32_t>(nBackColor), RotationCanvas::KeepSizeCorner);
}

TessivoStatus cImaging::RotateAnglePreserveDimentionsCenter(float nAngle) {
  return RotateNative(*state_, nAngle, kDefaultRotationBackground, RotationCanvas::KeepSizeCentred);
}

TessivoStatus cImaging::RotateAnglePreserveDimentionsCenterBackColor(float nAngle, int32_t nBackColor) {
  return RotateNative(*state_, nAngle, static_cast<uint32_t>(nBackColor), RotationCanvas::KeepSizeCentred);
}

int32_t cImaging::CreateThumbnail(int32_t nImageID, int32_t nWidth, int32_t nHeight) {
  return BuildNewImage(*state_, nImageID, false,
                       [&](const platform::Bitmap& source, std::unique_ptr<platform::Bitmap>& out) {
                         return source.Thumbnail(nWidth, nHeight, out);
                       });
}

int32_t cImaging::CreateThumbnailHQ(int32_t nImageID, int32_t nWidth, int32_t nHeight) {
  return CreateThumbnailHQEx(nImageID, nWidth, nHeight, static_cast<int32_t>(0xFF000000u));
}

int32_t cImaging::CreateThumbnailHQEx(int32_t nImageID, int32_t nWidth, int32_t nHeight, int32_t nBackColor) {
  return BuildNewImage(*state_, nImageID, false,
                       [&](const platform::Bitmap& source, std::unique_ptr<platform::Bitmap>& out) {
                         return ThumbnailHQ(source, nWidth, nHeight, static_cast<uint32_t>(nBackColor), out);
                       });
}

}  // namespace tessivo
