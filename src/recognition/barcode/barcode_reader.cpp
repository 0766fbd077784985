#include "recognition/barcode/barcode_reader.h"

#include "recognition/recognition_area.h"

#include <algorithm>
#include <string>

namespace tessivo::recognition {
namespace {

// Every linear symbology the plug-in reads.
constexpr int32_t kAllLinear = TVBARCODE_INTERLEAVED2OF5 | TVBARCODE_CODE39 | TVBARCODE_CODABAR | TVBARCODE_CODE128 |
                               TVBARCODE_EAN128 | TVBARCODE_CODE93 | TVBARCODE_EAN13_BIT | TVBARCODE_UPCA |
                               TVBARCODE_EAN8 | TVBARCODE_UPCE;

}  // namespace

bool cBarcodeReader::Load() {
  if (library_.Loaded() && entry_.newScanner) return true;
  const std::string prefix =
      kind_ == PluginKind::Barcode1DReader ? "TVBARCODE1DREADER_" : "TVBARCODEDMREADER_";
  platform::PluginLibrary library(PluginPathFor(kind_));
  if (!library.Loaded()) return false;
  Entry e;
  e.newScanner = library.Function<decltype(e.newScanner)>((prefix + "NewBarScanner").c_str());
  e.setPerformance = library.Function<decltype(e.setPerformance)>((prefix + "SetPerformance").c_str());
  e.setDibSource = library.Function<decltype(e.setDibSource)>((prefix + "SetDibSource").c_str());
  e.scanBar = library.Function<decltype(e.scanBar)>((prefix + "ScanBar").c_str());
  e.getBarcodeCount = library.Function<decltype(e.getBarcodeCount)>((prefix + "GetBarcodeCount").c_str());
  e.getBarcode = library.Function<decltype(e.getBarcode)>((prefix + "GetBarcode").c_str());
  e.freeScanner = library.Function<decltype(e.freeScanner)>((prefix + "FreeBarScanner").c_str());
  if (!e.newScanner || !e.setPerformance || !e.setDibSource || !e.scanBar || !e.getBarcodeCount || !e.getBarcode ||
      !e.freeScanner)
    return false;
  library_ = std::move(library);
  entry_ = e;
  return true;
}

TessivoStatus cBarcodeReader::ReadBarcodes(platform::Bitmap& image, const ZoneRect& roi, int32_t scanMode) {
  if (scanMode != TVBARCODE_BEST_SPEED && scanMode != TVBARCODE_BEST_QUALITY) return InvalidParameter;
  // A library that passed its version check but lacks an entry point cannot read anything.
  if (!Load())
    return kind_ == PluginKind::Barcode1DReader ? BarcodeReader1DPluginNotLoaded
                                                : BarcodeReaderDataMatrixPluginNotLoaded;
  if (scanner_ == nullptr) {
    scanner_ = entry_.newScanner();
    if (scanner_ == nullptr) return OutOfMemory;
    if (kind_ == PluginKind::Barcode1DReader) entry_.setPerformance(scanner_, kAllLinear);
  }
  count_ = 0;
  imageWidth_ = image.Width();
  imageHeight_ = image.Height();
  const platform::Rect area = RecognitionRect(roi, imageWidth_, imageHeight_);
  offsetX_ = area.x;
  offsetY_ = area.y;
  if (area.width == 0) {
    // Nothing to look at: an empty result, and the scanner forgets the previous one too.
    TvbarcodeImage none{};
    entry_.setDibSource(scanner_, &none);
    entry_.scanBar(scanner_, scanMode);
    return OK;
  }
  // The area converted to 24-bit rows in one copy, handed over and released after the scan.
  platform::BitmapData rows;
  if (auto status = image.LockBits(&area, platform::ImageLockModeRead, platform::kPixelFormat24bppRGB, rows);
      status != platform::Status::Ok)
    return static_cast<TessivoStatus>(status);
  const TvbarcodeImage pixels{static_cast<const uint8_t*>(rows.scan0), static_cast<int32_t>(rows.width),
                              static_cast<int32_t>(rows.height), rows.stride, 3};
  int32_t result = entry_.setDibSource(scanner_, &pixels);
  if (result == TVBARCODE_OK) result = entry_.scanBar(scanner_, scanMode);
  image.UnlockBits(rows);
  if (result == TVBARCODE_OUT_OF_MEMORY) return OutOfMemory;
  if (result != TVBARCODE_OK) return GenericError;
  count_ = std::max(entry_.getBarcodeCount(scanner_), 0);
  return OK;
}

bool cBarcodeReader::GetBarcode(int32_t number, TvbarcodeSymbol& out) const {
  if (scanner_ == nullptr || number < 1 || number > count_) return false;
  TvbarcodeSymbol symbol{};
  if (entry_.getBarcode(scanner_, number - 1, &symbol) != 1) return false;
  // Corners back in image pixels, and never outside the image.
  for (int i = 0; i < 4; ++i) {
    symbol.x[i] = std::clamp(symbol.x[i] + offsetX_, 0, std::max(imageWidth_ - 1, 0));
    symbol.y[i] = std::clamp(symbol.y[i] + offsetY_, 0, std::max(imageHeight_ - 1, 0));
  }
  if (symbol.value == nullptr) symbol.value = "";
  out = symbol;
  return true;
}

void cBarcodeReader::ClearScanner() {
  if (scanner_ != nullptr) entry_.freeScanner(scanner_);
  scanner_ = nullptr;
  count_ = 0;
}

}  // namespace tessivo::recognition
