// Type library entries of the registry, status and lifecycle methods.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Lifecycle) {
  catalog.Method("SetNativeImage", &cImaging::SetNativeImage, "nImageID");
  catalog.Method("GetNativeImage", &cImaging::GetNativeImage);
  catalog.Method("CloseImage", &cImaging::CloseImage, "nImageID");
  catalog.Method("CloseNativeImage", &cImaging::CloseNativeImage);
  catalog.Method("RemoveAllImage", &cImaging::RemoveAllImage);
  catalog.Method("CreateClonedImage", &cImaging::CreateClonedImage, "nImageID");
  catalog.Method("CreateClonedImageI", &cImaging::CreateClonedImageI, "nImageID");
  catalog.Method("CreateClonedImageARGB", &cImaging::CreateClonedImageARGB, "nImageID");
  catalog.Method("CreateClonedImageArea", &cImaging::CreateClonedImageArea,
                 "nImageID, nLeft, nTop, nWidth, nHeight");
  catalog.Method("CreateNewImage", &cImaging::CreateNewImage,
                 "nWidth, nHeight, nBitDepth=32, nBackColor=0xFF000000");
  catalog.Method("GetStat", &cImaging::GetStat);
  catalog.Method("GetVersion", &cImaging::GetVersion);
  catalog.Method("GetGdiplusVersion", &cImaging::GetGdiplusVersion);
  catalog.Method("GetImageFormat", &cImaging::GetImageFormat);
  catalog.Method("ForceImageValidation", &cImaging::ForceImageValidation, "nImageID");
  catalog.Method("TagsSetPreserve", &cImaging::TagsSetPreserve, "bPreserve");
  catalog.Method("DisableTvimgplugCodecs", &cImaging::DisableTvimgplugCodecs, "bDisable");
}

}  // namespace tessivo::dispatch
