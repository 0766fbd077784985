// Public enumerations of barcode reading: the linear symbologies (bit flags) and the scan modes.
#pragma once
#include <cstdint>

namespace tessivo {

enum Barcode1DReaderScanMode : int32_t {
  Barcode1DReaderScanModeBestSpeed = 0,
  Barcode1DReaderScanModeBestQuality = 1,
};

enum BarcodeDataMatrixReaderScanMode : int32_t {
  BarcodeDataMatrixReaderScanModeBestSpeed = 0,
  BarcodeDataMatrixReaderScanModeBestQuality = 1,
};

// EAN-13 is -32768, as the reader reports it.
enum Barcode1DReaderType : int32_t {
  Barcode1DReaderNone = 0,
  Barcode1DReaderIndustrial2of5 = 1,
  Barcode1DReaderInverted2of5 = 2,
  Barcode1DReaderInterleaved2of5 = 4,
  Barcode1DReaderIata2of5 = 8,
  Barcode1DReaderMatrix2of5 = 16,
  Barcode1DReaderCode39 = 32,
  Barcode1DReaderCodeabar = 64,
  Barcode1DReaderBcdMatrix = 128,
  Barcode1DReaderDataLogic2of5 = 256,
  Barcode1DReaderCode128 = 4096,
  Barcode1DReaderEAN128 = 8192,
  Barcode1DReaderCODE93 = 16384,
  Barcode1DReaderEAN13 = -32768,
  Barcode1DReaderUPCA = 65536,
  Barcode1DReaderEAN8 = 131072,
  Barcode1DReaderUPCE = 262144,
  Barcode1DReaderADD5 = 524288,
  Barcode1DReaderADD2 = 1048576,
};

}  // namespace tessivo
