// Type library entries of the geometry methods (rotation, cropping, borders).
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Geometry) {
  catalog.Enum<RotateFlipType>({
      {"RotateNoneFlipNone", RotateNoneFlipNone},
      {"Rotate90FlipNone", Rotate90FlipNone},
      {"Rotate180FlipNone", Rotate180FlipNone},
      {"Rotate270FlipNone", Rotate270FlipNone},
      {"RotateNoneFlipX", RotateNoneFlipX},
      {"Rotate90FlipX", Rotate90FlipX},
      {"Rotate180FlipX", Rotate180FlipX},
      {"Rotate270FlipX", Rotate270FlipX},
  });
  catalog.Method("Crop", &cImaging::Crop, "nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("Rotate", &cImaging::Rotate, "nRotation");
  catalog.Method("CropTop", &cImaging::CropTop, "nLines");
  catalog.Method("CropBottom", &cImaging::CropBottom, "nLines");
  catalog.Method("CropLeft", &cImaging::CropLeft, "nLines");
  catalog.Method("CropRight", &cImaging::CropRight, "nLines");
  catalog.Method("CropWhiteBorders", &cImaging::CropWhiteBorders, "nConfidence=100, nSkipLinesCount=0");
  catalog.Method("CropBlackBorders", &cImaging::CropBlackBorders, "nConfidence=100, nSkipLinesCount=0");
  catalog.Method("CropBlackBordersEx", &cImaging::CropBlackBordersEx, "nConfidence=100, nSkipLinesCount=0");
  catalog.Method("CropBorders", &cImaging::CropBorders);
  catalog.Method("CropBordersEX", &cImaging::CropBordersEX, "nConfidence, nPixelReference=1");
  catalog.Method("CropBordersEX2", &cImaging::CropBordersEX2,
                 "nConfidence, nPixelReference, &nLeft, &nTop, &nWidth, &nHeight");
  catalog.Method("AddBorders", &cImaging::AddBorders, "nBorderWidth, nBorderColor=0xFF000000");
  catalog.Method("AddBorderTop", &cImaging::AddBorderTop, "nBorderHeight, nBorderColor=0xFF000000");
  catalog.Method("AddBorderBottom", &cImaging::AddBorderBottom, "nBorderHeight, nBorderColor=0xFF000000");
  catalog.Method("AddBorderLeft", &cImaging::AddBorderLeft, "nBorderWidth, nBorderColor=0xFF000000");
  catalog.Method("AddBorderRight", &cImaging::AddBorderRight, "nBorderWidth, nBorderColor=0xFF000000");
}

}  // namespace tessivo::dispatch
