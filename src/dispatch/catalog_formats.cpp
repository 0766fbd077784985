// Type library entries of the toolkit's own GIF89a and PNM writers.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Formats) {
  catalog.Method("SaveAsGIFi", &cImaging::SaveAsGIFi, "sFilePath");
  catalog.Method("SaveAsPNM", &cImaging::SaveAsPNM, "sFilePath");
}

}  // namespace tessivo::dispatch
