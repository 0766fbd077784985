// Type library entries of the ICC profiles of images in memory.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(IccProfiles) {
  catalog.Method("ICCImageHasProfile", &cImaging::ICCImageHasProfile);
  catalog.Method("ICCRemove", &cImaging::ICCRemove);
  catalog.Method("ICCExportToFile", &cImaging::ICCExportToFile, "sFilePath");
  catalog.Method("ICCAddFromFile", &cImaging::ICCAddFromFile, "sFilePath");
  catalog.Method("ICCSetRGBProfile", &cImaging::ICCSetRGBProfile, "sProfilePath");
}

}  // namespace tessivo::dispatch
