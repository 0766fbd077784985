// The module rows and columns of a DataMatrix symbol, measured on its clock tracks.
#pragma once
#include <ZXing/Result.h>

#include <cstdint>

#include "tessivo/plugins/tvbarcode.h"

namespace tvbarcode {

struct MatrixSize {
  int32_t rows = 0;
  int32_t columns = 0;
};

// Counts the alternating modules along the two clock-track edges of the symbol whose corners
// ZXing found; 0 x 0 when no edge gives a valid symbol size.
MatrixSize MeasureDataMatrix(const TvbarcodeImage& image, const ZXing::Position& corners);

}  // namespace tvbarcode
