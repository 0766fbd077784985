// The reader wrappers of one cImaging instance (cBarcode1DReader, cBarcodeDMReader): each keeps
// the reader plug-in loaded, its scanner and the count of the last scan, and serves the symbols
// by 1-based number.
#pragma once
#include <cstdint>
#include <string>

#include "core/plugins.h"
#include "pixel/filter_engine.h"
#include "platform/bitmap.h"
#include "platform/plugin_library.h"
#include "tessivo/plugins/tvbarcode.h"
#include "tessivo/status.h"

namespace tessivo::recognition {

class cBarcodeReader {
 public:
  explicit cBarcodeReader(PluginKind kind) : kind_(kind) {}
  ~cBarcodeReader() { ClearScanner(); }
  cBarcodeReader(const cBarcodeReader&) = delete;
  cBarcodeReader& operator=(const cBarcodeReader&) = delete;

  // Scans the part of `image` inside `roi` (all zeros: the whole image; clipped to the image)
  // and keeps the results. The plug-in must have been checked (CheckPlugin) by the caller.
  TessivoStatus ReadBarcodes(platform::Bitmap& image, const ZoneRect& roi, int32_t scanMode);
  int32_t GetBarcodeCount() const { return count_; }
  // Symbol `number` (1-based) with its corners in image pixels; false outside 1 ... count.
  bool GetBarcode(int32_t number, TvbarcodeSymbol& out) const;
  // Frees the scanner; the count is 0 afterwards.
  void ClearScanner();

 private:
  struct Entry {
    tvbarcode_scanner* (*newScanner)() = nullptr;
    int32_t (*setPerformance)(tvbarcode_scanner*, int32_t) = nullptr;
    int32_t (*setDibSource)(tvbarcode_scanner*, const TvbarcodeImage*) = nullptr;
    int32_t (*scanBar)(tvbarcode_scanner*, int32_t) = nullptr;
    int32_t (*getBarcodeCount)(const tvbarcode_scanner*) = nullptr;
    int32_t (*getBarcode)(const tvbarcode_scanner*, int32_t, TvbarcodeSymbol*) = nullptr;
    void (*freeScanner)(tvbarcode_scanner*) = nullptr;
  };
  bool Load();

  PluginKind kind_;
  platform::PluginLibrary library_;
  Entry entry_;
  tvbarcode_scanner* scanner_ = nullptr;
  int32_t count_ = 0;
  int32_t offsetX_ = 0, offsetY_ = 0;  // where the scanned area lies in the image
  int32_t imageWidth_ = 0, imageHeight_ = 0;
};

struct BarcodeReaderState {
  cBarcodeReader linear{PluginKind::Barcode1DReader};
  cBarcodeReader dataMatrix{PluginKind::BarcodeDataMatrixReader};
};

}  // namespace tessivo::recognition
