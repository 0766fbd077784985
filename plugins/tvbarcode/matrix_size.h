// The module rows and columns of a DataMatrix symbol, measured on its border.
#pragma once
#include <ZXing/Result.h>

#include <cstdint>

#include "tessivo/plugins/tvbarcode.h"

namespace tvbarcode {

struct MatrixSize {
  int32_t rows = 0;
  int32_t columns = 0;
};

// The standard symbol size whose finder and clock tracks best match the border of the symbol
// whose corners ZXing found; 0 x 0 when none matches well.
MatrixSize MeasureDataMatrix(const TvbarcodeImage& image, const ZXing::Position& corners);

}  // namespace tvbarcode
