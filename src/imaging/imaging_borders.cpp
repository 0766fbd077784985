// Border methods of cImaging: detection (crop, paint white or report) and framing, over
// src/pixel/geometry. They act on the native image or the current page of a document, which is
// marked changed; a failure leaves the image as it was.
#include <memory>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/native_rebuild.h"
#include "pixel/geometry/add_borders.h"
#include "pixel/geometry/border_detector.h"
#include "pixel/geometry/crop_rect.h"
#include "pixel/geometry/fill_area.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

enum class BorderAction { Crop, Whiten, Report };

// What the border is matched against: a fixed colour (exact on 1-bpp images, whose pixels are
// one of two colours anyway) or a corner of the image.
struct BorderRequest {
  int32_t confidence = 100;
  int32_t skipLines = 0;
  bool fromCorner = false;
  uint32_t color = kWhite;  // when not from a corner
  int32_t corner = 1;       // when from a corner
  BorderAction action = BorderAction::Crop;
};

struct Area {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

platform::Status PaintFrameWhite(platform::Bitmap& image, const BorderFrame& f) {
  const int32_t w = image.Width(), h = image.Height();
  const platform::Rect strips[] = {{0, 0, f.left, h},
                                   {0, 0, w, f.top},
                                   {w - f.right, 0, f.right, h},
                                   {0, h - f.bottom, w, f.bottom}};
  for (const platform::Rect& strip : strips) {
    const platform::Status s = FillArea(image, strip, kWhite);
    if (s != platform::Status::Ok) return s;
  }
  return platform::Status::Ok;
}

TessivoStatus RunBorders(ImagingState& st, const BorderRequest& request, Area* found) {
  return GuardedStatus(st, [&]() -> TessivoStatus {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter);

    BorderScan scan;
    scan.skipLines = request.skipLines;
    if (request.fromCorner) {
      scan.confidence = request.confidence < 0 || request.confidence > 100 ? 98 : request.confidence;
      scan.tolerance = ToleranceForConfidence(scan.confidence);
      const int32_t corner = request.corner < 1 || request.corner > 4 ? 1 : request.corner;
      if (image->Width() >= kBorderMinimumSide && image->Height() >= kBorderMinimumSide) {
        const platform::Status s = CornerColor(*image, corner, scan.reference);
        if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
      }
    } else {
      scan.confidence = request.confidence;
      scan.reference = request.color;
      scan.tolerance = image->Format() == platform::kPixelFormat1bppIndexed
                           ? 0
                           : ToleranceForConfidence(request.confidence);
    }

    BorderFrame frame;
    platform::Status s = FindBorders(*image, scan, frame);
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    const Area inside{frame.left, frame.top, image->Width() - frame.right - frame.left,
                      image->Height() - frame.bottom - frame.top};

    switch (request.action) {
      case BorderAction::Report:
        *found = inside;
        return st.Set(OK);
      case BorderAction::Whiten:
        if (!frame.Any()) return st.Set(OK);
        s = PaintFrameWhite(*image, frame);
        NotePixelsChanged(st.nativeImage);
        return st.Set(static_cast<TessivoStatus>(s));
      case BorderAction::Crop:
        break;
    }
    if (!frame.Any()) return st.Set(OK);
    const TessivoStatus cropped =
        RebuildNativeImage(st, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
          return CropCopy(current, inside.left, inside.top, inside.width, inside.height, out);
        });
    if (cropped == OK) NotePixelsChanged(st.nativeImage);
    return cropped;
  });
}

TessivoStatus Frame(ImagingState& st, const BorderFrame& sides, int32_t color) {
  const TessivoStatus s =
      RebuildNativeImage(st, [&](platform::Bitmap& current, std::unique_ptr<platform::Bitmap>& out) {
        return AddFrame(current, sides, static_cast<uint32_t>(color), out);
      });
  if (s == OK) NotePixelsChanged(st.nativeImage);
  return s;
}

}  // namespace

TessivoStatus cImaging::CropWhiteBorders(int32_t nConfidence, int32_t nSkipLinesCount) {
  return RunBorders(*state_, {nConfidence, nSkipLinesCount, false, kWhite, 1, BorderAction::Crop}, nullptr);
}

TessivoStatus cImaging::CropBlackBorders(int32_t nConfidence, int32_t nSkipLinesCount) {
  return RunBorders(*state_, {nConfidence, nSkipLinesCount, false, kBlack, 1, BorderAction::Crop}, nullptr);
}

// Painted in place in the image's own format (indexed: the palette entry nearest to white), so
// a 1-bpp page stays 1 bpp and its inner pixels are kept bit for bit.
TessivoStatus cImaging::CropBlackBordersEx(int32_t nConfidence, int32_t nSkipLinesCount) {
  return RunBorders(*state_, {nConfidence, nSkipLinesCount, false, kBlack, 1, BorderAction::Whiten}, nullptr);
}

TessivoStatus cImaging::CropBorders() { return CropBordersEX(90, 1); }

TessivoStatus cImaging::CropBordersEX(int32_t nConfidence, int32_t nPixelReference) {
  return RunBorders(*state_, {nConfidence, 0, true, 0, nPixelReference, BorderAction::Crop}, nullptr);
}

TessivoStatus cImaging::CropBordersEX2(int32_t nConfidence, int32_t nPixelReference, int32_t& nLeft, int32_t& nTop,
                                       int32_t& nWidth, int32_t& nHeight) {
  Area found;
  const TessivoStatus s =
      RunBorders(*state_, {nConfidence, 0, true, 0, nPixelReference, BorderAction::Report}, &found);
  if (s == OK) {
    nLeft = found.left;
    nTop = found.top;
    nWidth = found.width;
    nHeight = found.height;
  }
  return s;
}

TessivoStatus cImaging::AddBorders(int32_t nBorderWidth, int32_t nBorderColor) {
  return Frame(*state_, {nBorderWidth, nBorderWidth, nBorderWidth, nBorderWidth}, nBorderColor);
}
TessivoStatus cImaging::AddBorderTop(int32_t nBorderHeight, int32_t nBorderColor) {
  return Frame(*state_, {0, nBorderHeight, 0, 0}, nBorderColor);
}
TessivoStatus cImaging::AddBorderBottom(int32_t nBorderHeight, int32_t nBorderColor) {
  return Frame(*state_, {0, 0, 0, nBorderHeight}, nBorderColor);
}
TessivoStatus cImaging::AddBorderLeft(int32_t nBorderWidth, int32_t nBorderColor) {
  return Frame(*state_, {nBorderWidth, 0, 0, 0}, nBorderColor);
}
TessivoStatus cImaging::AddBorderRight(int32_t nBorderWidth, int32_t nBorderColor) {
  return Frame(*state_, {0, 0, nBorderWidth, 0}, nBorderColor);
}

}  // namespace tessivo
