// Showing the native image on device contexts and windows, and the device context of an image.
#include <chrono>
#include <cmath>
#include <thread>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/platform_result.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_image.h"
#include "platform/host_services.h"
#include "platform/win/blit.h"
#include "platform/win/gdi_objects.h"
#include "platform/win/scale_blit.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace win = platform::win;
using platform::Bitmap;

namespace {

// Coordinates beyond this are outside any surface by far, and their scaled edges would no
// longer fit the 32-bit pixel grid the drawing works on.
constexpr double kCoordinateLimit = 1 << 30;

struct DrawRequest {
  double dx = 0, dy = 0, dw = 0, dh = 0;  // destination, surface pixels
  platform::Rect source;                  // area of the image
  bool wholeImage = false;                // source is the whole image, known once it is resolved
  int32_t interpolation = 3;
};

bool Fits(double v) { return std::isfinite(v) && std::fabs(v) <= kCoordinateLimit; }

// Zero or negative sizes, and rectangles whose edges overflow: nothing to draw.
bool Valid(const DrawRequest& r) {
  return Fits(r.dx) && Fits(r.dy) && Fits(r.dw) && Fits(r.dh) && Fits(r.dx + r.dw) && Fits(r.dy + r.dh) &&
         r.dw > 0 && r.dh > 0 && r.source.width > 0 && r.source.height > 0 &&
         int64_t{r.source.x} + r.source.width <= INT32_MAX && int64_t{r.source.y} + r.source.height <= INT32_MAX;
}

platform::Status Draw(const Bitmap& image, Bitmap& surface, const DrawRequest& r, int32_t interpolation,
                      platform::PixelOffsetMode offset) {
  // Drawn at its own size on whole pixels, an image without alpha is a copy of its rows.
  if (r.dw == r.source.width && r.dh == r.source.height && r.dx == std::floor(r.dx) && r.dy == std::floor(r.dy) &&
      win::BlitExact(image, r.source, static_cast<int64_t>(r.dx), static_cast<int64_t>(r.dy), surface))
    return platform::Status::Ok;
  // The whole of an opaque image scaled bilinearly onto whole pixels: sampled directly.
  const bool bilinear = interpolation == 0 || interpolation == 1 || interpolation == 3;
  if (bilinear && r.wholeImage && r.dx == std::floor(r.dx) && r.dy == std::floor(r.dy) &&
      r.dw == std::floor(r.dw) && r.dh == std::floor(r.dh) &&
      win::ScaleBilinearExact(image, static_cast<int64_t>(r.dx), static_cast<int64_t>(r.dy),
                              static_cast<int64_t>(r.dw), static_cast<int64_t>(r.dh), surface))
    return platform::Status::Ok;
  platform::Graphics g(surface);
  g.SetSmoothingMode(platform::SmoothingMode::None);
  g.SetPixelOffsetMode(offset);
  platform::ImageDrawOptions options;
  options.interpolation = interpolation;
  return g.DrawImage(image, r.source, platform::DestinationOf(r.dx, r.dy, r.dw, r.dh), options);
}

// The surface a device context draws into: a window's, or the current bitmap of an image.
std::shared_ptr<Bitmap> SurfaceOf(int32_t hdc) {
  std::shared_ptr<win::DeviceContext> dc = win::LookupDC(hdc);
  if (!dc) return nullptr;
  if (dc->imageId == 0) return dc->surface;
  ImageEntry* e = ImageRegistry::Current().Entry(ResolvePageID(dc->imageId));
  return e ? e->image : nullptr;
}

TessivoStatus Display(ImagingState& st, std::shared_ptr<Bitmap> surface, DrawRequest r) {
  return GuardedStatus(st, [&] {
    ImageEntry* e = ImageRegistry::Current().Entry(ResolvePageID(st.nativeImage));
    std::shared_ptr<Bitmap> image = e ? e->image : nullptr;
    if (!image || !surface) return st.Set(InvalidParameter);
    if (r.wholeImage) r.source = platform::Rect{0, 0, image->Width(), image->Height()};
    if (!Valid(r)) return st.Set(InvalidParameter);
    // Interpolation modes outside the platform's 0..7 draw with nearest neighbour.
    const int32_t mode = r.interpolation >= 0 && r.interpolation <= 7 ? r.interpolation : 5;
    platform::Status s = Draw(*image, *surface, r, mode, platform::PixelOffsetMode::Half);
    if (s != platform::Status::Ok && s != platform::Status::InvalidParameter)
      s = Draw(*image, *surface, r, 5, platform::PixelOffsetMode::None);
    return st.Set(StatusOf(s));
  });
}

DrawRequest WholeImage(float left, float top, float width, float height, int32_t interpolation) {
  DrawRequest r;
  r.dx = left, r.dy = top, r.dw = width, r.dh = height;
  r.wholeImage = true;
  r.interpolation = interpolation;
  return r;
}

DrawRequest Area(int32_t dl, int32_t dt, int32_t dw, int32_t dh, int32_t sl, int32_t st, int32_t sw, int32_t sh,
                 int32_t interpolation) {
  DrawRequest r;
  r.dx = dl, r.dy = dt, r.dw = dw, r.dh = dh;
  r.source = platform::Rect{sl, st, sw, sh};
  r.interpolation = interpolation;
  return r;
}

}  // namespace

TessivoStatus cImaging::DisplayImageOnHDC(int32_t hdc, float nLeft, float nTop, float nWidth, float nHeight,
                                          InterpolationMode nInterpolation) {
  return Display(*state_, SurfaceOf(hdc), WholeImage(nLeft, nTop, nWidth, nHeight, nInterpolation));
}

TessivoStatus cImaging::DisplayImageOnHwnd(int32_t hwnd, float nLeft, float nTop, float nWidth, float nHeight,
                                           InterpolationMode nInterpolation) {
  return Display(*state_, win::WindowSurface(hwnd), WholeImage(nLeft, nTop, nWidth, nHeight, nInterpolation));
}

TessivoStatus cImaging::DisplayImageRectOnHDC(int32_t hdc, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                              int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop,
                                              int32_t nSrcWidth, int32_t nSrcHeight,
                                              InterpolationMode nInterpolation) {
  return Display(*state_, SurfaceOf(hdc),
                 Area(nDstLeft, nDstTop, nDstWidth, nDstHeight, nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight,
                      nInterpolation));
}

TessivoStatus cImaging::DisplayImageRectOnHwnd(int32_t hwnd, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                               int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop,
                                               int32_t nSrcWidth, int32_t nSrcHeight,
                                               InterpolationMode nInterpolation) {
  return Display(*state_, win::WindowSurface(hwnd),
                 Area(nDstLeft, nDstTop, nDstWidth, nDstHeight, nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight,
                      nInterpolation));
}

int32_t cImaging::GetTessivoImageDC(int32_t nImageID) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    ImageEntry* e = ImageRegistry::Current().Entry(nImageID);
    if (!e) return st.Set(GenericError), 0;
    if (e->deviceContext != 0 && win::LookupDC(static_cast<int32_t>(e->deviceContext))) {
      st.Set(OK);
      return static_cast<int32_t>(e->deviceContext);
    }
    ImageEntry* page = ImageRegistry::Current().Entry(ResolvePageID(nImageID));
    win::Handle dc = 0;
    platform::Status s = win::CreateImageDC(page ? page->image : nullptr, nImageID, dc);
    if (s != platform::Status::Ok) return st.Set(StatusOf(s)), 0;
    e->deviceContext = dc;
    st.Set(OK);
    return dc;
  });
}

TessivoStatus cImaging::ReleaseTessivoImageDC(int32_t hdc) {
  ImageRegistry& registry = ImageRegistry::Current();
  if (hdc == 0) return GenericError;
  for (int32_t i = 0; i < registry.Count(); ++i) {
    ImageEntry& e = registry.Slot(i);
    if (e.id == 0 || e.deviceContext != hdc) continue;
    e.deviceContext = 0;
    e.deviceContextGraphics = 0;
    return StatusOf(win::ReleaseDC(hdc));
  }
  return GenericError;
}

TessivoStatus cImaging::GifDisplayAnimatedGif(int32_t hdc, int32_t nLeft, int32_t nTop, int32_t nWidth,
                                              int32_t nHeight) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (!ImageRegistry::Current().Entry(st.nativeImage)) return st.Set(GenericError);
    const int32_t frames = GifGetFrameCount();
    SafeArray<int32_t> delays = GifGetFrameDelay();
    TessivoStatus status = OK;
    for (int32_t frame = 1; frame <= std::max(frames, 1); ++frame) {
      if (frames > 1 && (status = GifSelectFrame(frame)) != OK) return status;
      status = DisplayImageOnHDC(hdc, static_cast<float>(nLeft), static_cast<float>(nTop),
                                 static_cast<float>(nWidth), static_cast<float>(nHeight), InterpolationModeBilinear);
      if (status != OK) return status;
      const int32_t delay = static_cast<size_t>(frame - 1) < delays.size() ? delays.data()[frame - 1] : 0;
      const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(int64_t{std::max(delay, 0)} * 10);
      while (std::chrono::steady_clock::now() < until) {
        if (!platform::Host().ProcessPendingEvents(0, -1)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return status;
  });
}

}  // namespace tessivo
