#include "barcode/barcode_symbol.h"

#include <algorithm>
#include <cmath>

#include "barcode/barcode.h"
#include "barcode/utf8_code_points.h"

namespace tessivo::barcode {
namespace {

constexpr size_t kCode39MaxLength = 39;

bool AllDigits(std::u32string_view text) { return std::all_of(text.begin(), text.end(), IsAsciiDigit); }

Symbol Refused() { return Symbol{InvalidBarCode, {}, {}}; }

}  // namespace

Symbol PrepareSymbol(Symbology kind, std::string_view utf8, bool addCheckSum) {
  const std::u32string decoded = DecodeUtf8(utf8);
  std::u32string text(TrimBlanks(decoded));
  Symbol symbol;
  switch (kind) {
    case Symbology::Interleaved2of5:
      if (text.empty() || !AllDigits(text)) return Refused();
      if (addCheckSum) text += cBarCode::calculCheckSum2of5(text);
      if (text.size() % 2 != 0) text.insert(text.begin(), U'0');
      symbol.modules = cBarCode::Code25i_Binaire(text);
      break;
    case Symbology::Code39:
      if (text.empty() || text.size() > kCode39MaxLength) return Refused();
      if (addCheckSum) text += cBarCode::C39_Mod43(text);
      symbol.modules = cBarCode::Code39_Binaire(text);
      break;
    case Symbology::Code128:
      symbol.modules = cBarCode::c128_Binaire(text);
      if (symbol.modules.empty()) return Refused();
      break;
    case Symbology::Ean13:
      if (text.size() == 12) {
        text = cBarCode::CalculNumControlCodeBarre(text);
      } else if (!cBarCode::CheckSumValideEAN13(text)) {
        return Refused();
      }
      symbol.modules = cBarCode::EAN13_Binaire(text);
      if (symbol.modules.empty()) return Refused();  // a non-digit among the 12
      break;
  }
  symbol.data = std::move(text);
  return symbol;
}

int32_t ModuleWidth(int32_t barHeight) {
  const double m = std::nearbyint(static_cast<double>(barHeight) / 35.0);  // ties to even
  return std::max<int32_t>(1, static_cast<int32_t>(m));
}

int64_t ModuleCount(std::string_view modules) {
  return static_cast<int64_t>(std::count_if(modules.begin(), modules.end(), [](char c) { return c == '0' || c == '1'; }));
}

}  // namespace tessivo::barcode
