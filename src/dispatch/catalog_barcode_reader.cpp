// Type library entries of barcode reading (1D symbologies and DataMatrix).
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(BarcodeReader) {
  catalog.Enum<Barcode1DReaderScanMode>({
      {"Barcode1DReaderScanModeBestSpeed", Barcode1DReaderScanModeBestSpeed},
      {"Barcode1DReaderScanModeBestQuality", Barcode1DReaderScanModeBestQuality},
  });
  catalog.Enum<BarcodeDataMatrixReaderScanMode>({
      {"BarcodeDataMatrixReaderScanModeBestSpeed", BarcodeDataMatrixReaderScanModeBestSpeed},
      {"BarcodeDataMatrixReaderScanModeBestQuality", BarcodeDataMatrixReaderScanModeBestQuality},
  });
  catalog.Enum<Barcode1DReaderType>({
      {"Barcode1DReaderNone", Barcode1DReaderNone},
      {"Barcode1DReaderIndustrial2of5", Barcode1DReaderIndustrial2of5},
      {"Barcode1DReaderInverted2of5", Barcode1DReaderInverted2of5},
      {"Barcode1DReaderInterleaved2of5", Barcode1DReaderInterleaved2of5},
      {"Barcode1DReaderIata2of5", Barcode1DReaderIata2of5},
      {"Barcode1DReaderMatrix2of5", Barcode1DReaderMatrix2of5},
      {"Barcode1DReaderCode39", Barcode1DReaderCode39},
      {"Barcode1DReaderCodeabar", Barcode1DReaderCodeabar},
      {"Barcode1DReaderBcdMatrix", Barcode1DReaderBcdMatrix},
      {"Barcode1DReaderDataLogic2of5", Barcode1DReaderDataLogic2of5},
      {"Barcode1DReaderCode128", Barcode1DReaderCode128},
      {"Barcode1DReaderEAN128", Barcode1DReaderEAN128},
      {"Barcode1DReaderCODE93", Barcode1DReaderCODE93},
      {"Barcode1DReaderEAN13", Barcode1DReaderEAN13},
      {"Barcode1DReaderUPCA", Barcode1DReaderUPCA},
      {"Barcode1DReaderEAN8", Barcode1DReaderEAN8},
      {"Barcode1DReaderUPCE", Barcode1DReaderUPCE},
      {"Barcode1DReaderADD5", Barcode1DReaderADD5},
      {"Barcode1DReaderADD2", Barcode1DReaderADD2},
  });

  catalog.Method("Barcode1DReaderDoScan", &cImaging::Barcode1DReaderDoScan, "ScanMode");
  catalog.Method("Barcode1DReaderGetBarcodeCount", &cImaging::Barcode1DReaderGetBarcodeCount);
  catalog.Method("Barcode1DReaderGetBarcodeType", &cImaging::Barcode1DReaderGetBarcodeType, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeValue", &cImaging::Barcode1DReaderGetBarcodeValue, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeSkewAngle", &cImaging::Barcode1DReaderGetBarcodeSkewAngle, "BarCodeNo");
  catalog.Method("Barcode1DReaderBarcodeHasChecksum", &cImaging::Barcode1DReaderBarcodeHasChecksum, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeX1", &cImaging::Barcode1DReaderGetBarcodeX1, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeY1", &cImaging::Barcode1DReaderGetBarcodeY1, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeX2", &cImaging::Barcode1DReaderGetBarcodeX2, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeY2", &cImaging::Barcode1DReaderGetBarcodeY2, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeX3", &cImaging::Barcode1DReaderGetBarcodeX3, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeY3", &cImaging::Barcode1DReaderGetBarcodeY3, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeX4", &cImaging::Barcode1DReaderGetBarcodeX4, "BarCodeNo");
  catalog.Method("Barcode1DReaderGetBarcodeY4", &cImaging::Barcode1DReaderGetBarcodeY4, "BarCodeNo");
  catalog.Method("Barcode1DReaderClear", &cImaging::Barcode1DReaderClear);
  catalog.Method("BarcodeDataMatrixReaderDoScan", &cImaging::BarcodeDataMatrixReaderDoScan, "ScanMode");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeCount", &cImaging::BarcodeDataMatrixReaderGetBarcodeCount);
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeValue", &cImaging::BarcodeDataMatrixReaderGetBarcodeValue, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeX1", &cImaging::BarcodeDataMatrixReaderGetBarcodeX1, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeY1", &cImaging::BarcodeDataMatrixReaderGetBarcodeY1, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeX2", &cImaging::BarcodeDataMatrixReaderGetBarcodeX2, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeY2", &cImaging::BarcodeDataMatrixReaderGetBarcodeY2, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeX3", &cImaging::BarcodeDataMatrixReaderGetBarcodeX3, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeY3", &cImaging::BarcodeDataMatrixReaderGetBarcodeY3, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeX4", &cImaging::BarcodeDataMatrixReaderGetBarcodeX4, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeY4", &cImaging::BarcodeDataMatrixReaderGetBarcodeY4, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeRows", &cImaging::BarcodeDataMatrixReaderGetBarcodeRows, "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderGetBarcodeColumns", &cImaging::BarcodeDataMatrixReaderGetBarcodeColumns,
                 "BarCodeNo");
  catalog.Method("BarcodeDataMatrixReaderClear", &cImaging::BarcodeDataMatrixReaderClear);
}

}  // namespace tessivo::dispatch
