// Type library entries of resizing, rotation by any angle and thumbnails.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Resize) {
  catalog.Enum<InterpolationMode>({
      {"InterpolationModeDefault", InterpolationModeDefault},
      {"InterpolationModeLowQuality", InterpolationModeLowQuality},
      {"InterpolationModeHighQuality", InterpolationModeHighQuality},
      {"InterpolationModeBilinear", InterpolationModeBilinear},
      {"InterpolationModeBicubic", InterpolationModeBicubic},
      {"InterpolationModeNearestNeighbor", InterpolationModeNearestNeighbor},
      {"InterpolationModeHighQualityBilinear", InterpolationModeHighQualityBilinear},
      {"InterpolationModeHighQualityBicubic", InterpolationModeHighQualityBicubic},
  });
  catalog.Method("ResizeImage", &cImaging::ResizeImage, "nNewImageWidth, nNewImageHeight, nInterpolationMode=3");
  catalog.Method("GetResizedImage", &cImaging::GetResizedImage,
                 "nImageID, nNewImageWidth, nNewImageHeight, nInterpolationMode=3");
  catalog.Method("ResizeHeightRatio", &cImaging::ResizeHeightRatio, "nNewImageHeight, nInterpolationMode=3");
  catalog.Method("ResizeWidthRatio", &cImaging::ResizeWidthRatio, "nNewImageWidth, nInterpolationMode=3");
  catalog.Method("ScaleImage", &cImaging::ScaleImage, "nScalePercent, nInterpolationMode=3");
  catalog.Method("RotateAngle", &cImaging::RotateAngle, "nAngle");
  catalog.Method("RotateAngleBackColor", &cImaging::RotateAngleBackColor, "nAngle, nBackColor");
  catalog.Method("RotateAnglePreserveDimentions", &cImaging::RotateAnglePreserveDimentions, "nAngle");
  catalog.Method("RotateAnglePreserveDimentionsBackColor", &cImaging::RotateAnglePreserveDimentionsBackColor,
                 "nAngle, nBackColor");
  catalog.Method("RotateAnglePreserveDimentionsCenter", &cImaging::RotateAnglePreserveDimentionsCenter, "nAngle");
  catalog.Method("RotateAnglePreserveDimentionsCenterBackColor",
                 &cImaging::RotateAnglePreserveDimentionsCenterBackColor, "nAngle, nBackColor");
  catalog.Method("CreateThumbnail", &cImaging::CreateThumbnail, "nImageID, nWidth, nHeight");
  catalog.Method("CreateThumbnailHQ", &cImaging::CreateThumbnailHQ, "nImageID, nWidth, nHeight");
  catalog.Method("CreateThumbnailHQEx", &cImaging::CreateThumbnailHQEx,
                 "nImageID, nWidth, nHeight, nBackColor=0xFF000000");
}

}  // namespace tessivo::dispatch
