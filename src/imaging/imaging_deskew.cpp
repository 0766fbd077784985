// Automatic deskew of cImaging: measuring the skew of the native image (or of a document's
// current page) and turning it straight about its centre, keeping its size and pixel format.
#include <cmath>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "pixel/geometry/auto_deskew.h"
#include "tessivo/imaging.h"

namespace tessivo {

namespace {

// Skews up to this many degrees are left alone: turning would only blur the page.
constexpr double kDeskewThreshold = 0.3;

}  // namespace

double cImaging::GetSkewAngle() {
  ImagingState& st = *state_;
  return Guarded(st, 0.0, [&]() -> double {
    if (st.nativeImage == 0) return st.Set(GenericError), 0.0;
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter), 0.0;
    cAutoDeskew deskew;
    const platform::Status s = deskew.Measure(*image);
    st.Set(static_cast<TessivoStatus>(s));
    return s == platform::Status::Ok ? deskew.SkewAngle() : 0.0;
  });
}

// The rotation keeps the pixel format and palette (a 1-bit page stays 1-bit, a grey page
// grey), so no conversion back is needed; it marks a document page changed.
TessivoStatus cImaging::AutoDeskew() {
  ImagingState& st = *state_;
  const double angle = GetSkewAngle();
  if (st.lastStatus != OK) return st.lastStatus;
  if (!(std::fabs(angle) > kDeskewThreshold)) return st.lastStatus;
  return RotateAnglePreserveDimentionsCenterBackColor(static_cast<float>(-angle), static_cast<int32_t>(0xFFFFFFFFu));
}

}  // namespace tessivo
