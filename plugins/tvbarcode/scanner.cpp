// Scanning a pixel buffer with ZXing-C++ and turning its results into the plug-in's records.
#include "scanner.h"

#include <ZXing/ReadBarcode.h>

#include <cmath>
#include <limits>
#include <new>

#include "matrix_size.h"

namespace tvbarcode {
namespace {

struct FormatPair {
  int32_t flag;
  ZXing::BarcodeFormat format;
};

// The linear symbologies ZXing reads, by our flag. EAN-128 is Code 128 carrying GS1 data.
constexpr FormatPair kLinear[] = {
    {TVBARCODE_INTERLEAVED2OF5, ZXing::BarcodeFormat::ITF},
    {TVBARCODE_CODE39, ZXing::BarcodeFormat::Code39},
    {TVBARCODE_CODABAR, ZXing::BarcodeFormat::Codabar},
    {TVBARCODE_CODE128, ZXing::BarcodeFormat::Code128},
    {TVBARCODE_EAN128, ZXing::BarcodeFormat::Code128},
    {TVBARCODE_CODE93, ZXing::BarcodeFormat::Code93},
    {TVBARCODE_EAN13_BIT, ZXing::BarcodeFormat::EAN13},
    {TVBARCODE_UPCA, ZXing::BarcodeFormat::UPCA},
    {TVBARCODE_EAN8, ZXing::BarcodeFormat::EAN8},
    {TVBARCODE_UPCE, ZXing::BarcodeFormat::UPCE},
};

ZXing::BarcodeFormats LinearFormats(int32_t flags) {
  ZXing::BarcodeFormats formats;
  for (const FormatPair& pair : kLinear)
    if (flags == 0 || (flags & pair.flag) != 0) formats |= pair.format;
  return formats;
}

int32_t LinearType(const ZXing::Result& result) {
  switch (result.format()) {
    case ZXing::BarcodeFormat::ITF: return TVBARCODE_INTERLEAVED2OF5;
    case ZXing::BarcodeFormat::Code39: return TVBARCODE_CODE39;
    case ZXing::BarcodeFormat::Codabar: return TVBARCODE_CODABAR;
    case ZXing::BarcodeFormat::Code128:
      return result.symbologyIdentifier() == "]C1" ? TVBARCODE_EAN128 : TVBARCODE_CODE128;
    case ZXing::BarcodeFormat::Code93: return TVBARCODE_CODE93;
    case ZXing::BarcodeFormat::EAN13: return TVBARCODE_EAN13;
    case ZXing::BarcodeFormat::UPCA: return TVBARCODE_UPCA;
    case ZXing::BarcodeFormat::EAN8: return TVBARCODE_EAN8;
    case ZXing::BarcodeFormat::UPCE: return TVBARCODE_UPCE;
    default: return 0;
  }
}

bool CarriesChecksum(int32_t type, const std::string& text) {
  switch (type) {
    case TVBARCODE_CODE39: return EndsWithCode39Check(text);
    case TVBARCODE_INTERLEAVED2OF5: return EndsWithInterleaved2of5Check(text);
    case TVBARCODE_CODABAR: return false;  // no check character of its own
    default: return true;                  // the others always carry one
  }
}

int32_t Clamp(int value, int32_t limit) {
  if (value < 0) return 0;
  return value >= limit ? limit - 1 : value;
}

bool ValidImage(const TvbarcodeImage& image) {
  if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) return false;
  if (image.channels != 1 && image.channels != 3) return false;
  if (image.width > std::numeric_limits<int32_t>::max() / image.channels) return false;
  return image.stride >= image.width * image.channels;
}

}  // namespace

int32_t Scanner::SetSource(const TvbarcodeImage& image) {
  hasSource_ = false;
  if (!ValidImage(image)) return TVBARCODE_BAD_ARGUMENT;
  source_ = image;
  hasSource_ = true;
  return TVBARCODE_OK;
}

int32_t Scanner::Scan(int32_t scanMode) {
  symbols_.clear();
  if (!hasSource_) return TVBARCODE_BAD_ARGUMENT;
  const TvbarcodeImage image = source_;
  hasSource_ = false;  // the caller frees the buffer once the scan returns
  if (scanMode != TVBARCODE_BEST_SPEED && scanMode != TVBARCODE_BEST_QUALITY) return TVBARCODE_BAD_ARGUMENT;
  try {
    const bool thorough = scanMode == TVBARCODE_BEST_QUALITY;
    ZXing::DecodeHints hints;
    hints.setFormats(kind_ == ReaderKind::Linear ? LinearFormats(symbologies_) : ZXing::BarcodeFormat::DataMatrix);
    hints.setTryHarder(thorough);
    hints.setTryRotate(thorough);
    // Linear symbols are read at full size only: ZXing 1.4 aborts the process (a failed
    // assertion) when it compares two sightings of one linear symbol found at different scales,
    // which any large page with a barcode gives. Scaled-down passes help matrix symbols alone.
    hints.setTryDownscale(kind_ != ReaderKind::Linear);
    hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Ignore);
    const ZXing::ImageView view(image.pixels, image.width, image.height,
                                image.channels == 1 ? ZXing::ImageFormat::Lum : ZXing::ImageFormat::BGR, image.stride);
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints)) {
      if (!result.isValid()) continue;
      FoundSymbol symbol;
      symbol.value = result.text();
      const ZXing::Position& at = result.position();
      for (int i = 0; i < 4; ++i) {
        symbol.x[i] = Clamp(at[i].x, image.width);
        symbol.y[i] = Clamp(at[i].y, image.height);
      }
      symbol.skewAngle = -at.orientation() * 180.0 / M_PI;
      if (symbol.skewAngle == 0) symbol.skewAngle = 0;  // no negative zero
      if (kind_ == ReaderKind::Linear) {
        symbol.type = LinearType(result);
        if (symbol.type == 0) continue;
        symbol.hasChecksum = CarriesChecksum(symbol.type, symbol.value);
      } else {
        symbol.type = TVBARCODE_DATAMATRIX;
        const MatrixSize size = MeasureDataMatrix(image, at);
        symbol.rows = size.rows;
        symbol.columns = size.columns;
      }
      symbols_.push_back(std::move(symbol));
    }
    return TVBARCODE_OK;
  } catch (const std::bad_alloc&) {
    symbols_.clear();
    return TVBARCODE_OUT_OF_MEMORY;
  } catch (...) {
    symbols_.clear();
    return TVBARCODE_FAILED;
  }
}

}  // namespace tvbarcode
