// Type library entries of the automatic deskew.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Deskew) {
  catalog.Method("GetSkewAngle", &cImaging::GetSkewAngle);
  catalog.Method("AutoDeskew", &cImaging::AutoDeskew);
}

}  // namespace tessivo::dispatch
