// Type library entries of the linear barcode methods.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(BarCode) {
  catalog.Method("BarCodeGetChecksumEAN13", &cImaging::BarCodeGetChecksumEAN13, "sCode");
  catalog.Method("BarCodeIsValidEAN13", &cImaging::BarCodeIsValidEAN13, "sCode");
  catalog.Method("BarCodeGetChecksum25i", &cImaging::BarCodeGetChecksum25i, "sCode");
  catalog.Method("BarCodeGetChecksum39", &cImaging::BarCodeGetChecksum39, "sCode");
  catalog.Method("BarCodeDraw25i", &cImaging::BarCodeDraw25i,
                 "sCode, nDstLeft, nDstTop, nHeight, bAddCheckSum=False, nColorARGB=0xFF000000");
  catalog.Method("BarCodeGetWidth25i", &cImaging::BarCodeGetWidth25i, "sCode, nHeight, bAddCheckSum=False");
  catalog.Method("BarCodeDraw39", &cImaging::BarCodeDraw39,
                 "sCode, nDstLeft, nDstTop, nHeight, bAddCheckSum=False, nColorARGB=0xFF000000");
  catalog.Method("BarCodeGetWidth39", &cImaging::BarCodeGetWidth39, "sCode, nHeight, bAddCheckSum=False");
  catalog.Method("BarCodeDraw128", &cImaging::BarCodeDraw128, "sCode, nDstLeft, nDstTop, nHeight, nColorARGB=0xFF000000");
  catalog.Method("BarCodeGetWidth128", &cImaging::BarCodeGetWidth128, "sCode, nHeight");
  catalog.Method("BarCodeDrawEAN13", &cImaging::BarCodeDrawEAN13,
                 "sCode, nDstLeft, nDstTop, nHeight, nFontSize=0, nColorARGB=-16777216");
  catalog.Method("BarCodeGetWidthEAN13", &cImaging::BarCodeGetWidthEAN13, "sCode, nHeight");
}

}  // namespace tessivo::dispatch
