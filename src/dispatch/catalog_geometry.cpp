// Type library entries of the geometry methods (rotation, cropping).
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
}

}  // namespace tessivo::dispatch
