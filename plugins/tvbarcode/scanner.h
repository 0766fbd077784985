// One barcode scanner of the plug-in: what it looks for, the buffer it reads next, and the
// symbols of its last scan.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tessivo/plugins/tvbarcode.h"

namespace tvbarcode {

enum class ReaderKind { Linear, DataMatrix };

struct FoundSymbol {
  int32_t type = 0;
  bool hasChecksum = false;
  double skewAngle = 0;
  int32_t x[4] = {};
  int32_t y[4] = {};
  int32_t rows = 0;
  int32_t columns = 0;
  std::string value;
};

class Scanner {
 public:
  explicit Scanner(ReaderKind kind) : kind_(kind) {}

  void SetSymbologies(int32_t flags) { symbologies_ = flags; }
  int32_t SetSource(const TvbarcodeImage& image);
  // Reads the source given last and forgets it; the previous results are dropped first.
  int32_t Scan(int32_t scanMode);
  const std::vector<FoundSymbol>& Symbols() const { return symbols_; }

 private:
  ReaderKind kind_;
  int32_t symbologies_ = 0;
  TvbarcodeImage source_{};
  bool hasSource_ = false;
  std::vector<FoundSymbol> symbols_;
};

// Whether the symbol's text ends in a valid optional check character of its symbology.
bool EndsWithCode39Check(const std::string& text);
bool EndsWithInterleaved2of5Check(const std::string& text);

}  // namespace tvbarcode
