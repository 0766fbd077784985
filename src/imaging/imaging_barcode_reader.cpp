// cImaging: reading 1D barcodes and DataMatrix symbols from the native image through the barcode
// reader plug-in, and serving the symbols of the last scan by number.
#include <string>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/plugins.h"
#include "recognition/barcode/barcode_reader.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using recognition::cBarcodeReader;

TessivoStatus Scan(ImagingState& state, cBarcodeReader& reader, PluginKind kind, int32_t scanMode) {
  return GuardedStatus(state, [&] {
    if (!CheckPlugin(kind))
      return state.Set(kind == PluginKind::Barcode1DReader ? BarcodeReader1DPluginNotLoaded
                                                           : BarcodeReaderDataMatrixPluginNotLoaded);
    if (state.nativeImage == 0) return state.Set(InvalidParameter);
    platform::Bitmap* image = ResolveImage(state.nativeImage);
    if (image == nullptr) return state.Set(InvalidParameter);
    return state.Set(reader.ReadBarcodes(*image, state.pixel.roi.RecognitionArea(), scanMode));
  });
}

// A field of symbol `number`, or `neutral` outside 1 ... count; the status is left alone.
template <typename R, typename Field>
R Read(ImagingState& state, const cBarcodeReader& reader, int32_t number, R neutral, Field field) {
  return Guarded(state, neutral, [&]() -> R {
    TvbarcodeSymbol symbol{};
    if (!reader.GetBarcode(number, symbol)) return neutral;
    return field(symbol);
  });
}

cBarcodeReader& Linear(ImagingState& state) { return state.barcodeReaders.linear; }
cBarcodeReader& Matrix(ImagingState& state) { return state.barcodeReaders.dataMatrix; }

}  // namespace

TessivoStatus cImaging::Barcode1DReaderDoScan(Barcode1DReaderScanMode ScanMode) {
  return Scan(State(), Linear(State()), PluginKind::Barcode1DReader, ScanMode);
}

int32_t cImaging::Barcode1DReaderGetBarcodeCount() { return Linear(State()).GetBarcodeCount(); }

Barcode1DReaderType cImaging::Barcode1DReaderGetBarcodeType(int32_t BarCodeNo) {
  return Read(State(), Linear(State()), BarCodeNo, Barcode1DReaderNone,
              [](const TvbarcodeSymbol& s) { return static_cast<Barcode1DReaderType>(s.type); });
}

std::string cImaging::Barcode1DReaderGetBarcodeValue(int32_t BarCodeNo) {
  return Read(State(), Linear(State()), BarCodeNo, std::string{},
              [](const TvbarcodeSymbol& s) { return std::string(s.value); });
}

double cImaging::Barcode1DReaderGetBarcodeSkewAngle(int32_t BarCodeNo) {
  return Read(State(), Linear(State()), BarCodeNo, 0.0, [](const TvbarcodeSymbol& s) { return s.skewAngle; });
}

bool cImaging::Barcode1DReaderBarcodeHasChecksum(int32_t BarCodeNo) {
  return Read(State(), Linear(State()), BarCodeNo, false, [](const TvbarcodeSymbol& s) { return s.hasChecksum != 0; });
}

// The eight corner getters of each reader: X1/Y1 ... X4/Y4 read corner n of the symbol.
#define TESSIVO_CORNER_GETTER(Family, reader, Name, field, n)                                   \
  int32_t cImaging::Family##GetBarcode##Name(int32_t BarCodeNo) {                               \
    return Read(State(), reader(State()), BarCodeNo, int32_t{0},                                \
                [](const TvbarcodeSymbol& s) { return s.field[n - 1]; });                       \
  }
#define TESSIVO_CORNER_GETTERS(Family, reader)                                                  \
  TESSIVO_CORNER_GETTER(Family, reader, X1, x, 1) TESSIVO_CORNER_GETTER(Family, reader, Y1, y, 1) \
  TESSIVO_CORNER_GETTER(Family, reader, X2, x, 2) TESSIVO_CORNER_GETTER(Family, reader, Y2, y, 2) \
  TESSIVO_CORNER_GETTER(Family, reader, X3, x, 3) TESSIVO_CORNER_GETTER(Family, reader, Y3, y, 3) \
  TESSIVO_CORNER_GETTER(Family, reader, X4, x, 4) TESSIVO_CORNER_GETTER(Family, reader, Y4, y, 4)

TESSIVO_CORNER_GETTERS(Barcode1DReader, Linear)
TESSIVO_CORNER_GETTERS(BarcodeDataMatrixReader, Matrix)

void cImaging::Barcode1DReaderClear() { Linear(State()).ClearScanner(); }

TessivoStatus cImaging::BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanMode ScanMode) {
  return Scan(State(), Matrix(State()), PluginKind::BarcodeDataMatrixReader, ScanMode);
}

int32_t cImaging::BarcodeDataMatrixReaderGetBarcodeCount() { return Matrix(State()).GetBarcodeCount(); }

std::string cImaging::BarcodeDataMatrixReaderGetBarcodeValue(int32_t BarCodeNo) {
  return Read(State(), Matrix(State()), BarCodeNo, std::string{},
              [](const TvbarcodeSymbol& s) { return std::string(s.value); });
}

int32_t cImaging::BarcodeDataMatrixReaderGetBarcodeRows(int32_t BarCodeNo) {
  return Read(State(), Matrix(State()), BarCodeNo, int32_t{0}, [](const TvbarcodeSymbol& s) { return s.rows; });
}

int32_t cImaging::BarcodeDataMatrixReaderGetBarcodeColumns(int32_t BarCodeNo) {
  return Read(State(), Matrix(State()), BarCodeNo, int32_t{0}, [](const TvbarcodeSymbol& s) { return s.columns; });
}

void cImaging::BarcodeDataMatrixReaderClear() { Matrix(State()).ClearScanner(); }

}  // namespace tessivo
