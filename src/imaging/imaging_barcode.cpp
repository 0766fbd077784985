// cImaging: drawing linear barcodes on the native image, their widths and check characters.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "barcode/barcode.h"
#include "barcode/barcode_painter.h"
#include "barcode/barcode_symbol.h"
#include "barcode/utf8_code_points.h"
#include "core/boundary.h"
#include "imaging/text_drawing.h"
#include "pixel/native_image.h"
#include "pixel/pixel_changes.h"
#include "platform/graphics/graphics.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using barcode::cBarCode;
using barcode::Symbology;

std::u32string Trimmed(const std::string& utf8) {
  return std::u32string(barcode::TrimBlanks(barcode::DecodeUtf8(utf8)));
}

// The symbol to draw or measure, after the checks every drawing and width method makes in
// this order: a native image, accepted text, a bar height of at least 1.
barcode::Symbol Checked(ImagingState& state, platform::Bitmap*& image, Symbology kind, const std::string& code,
                        int32_t height, bool addCheckSum) {
  TessivoStatus failure = OK;
  image = NativeBitmap(state, failure);
  if (image == nullptr) return {failure, {}, {}};
  barcode::Symbol symbol = barcode::PrepareSymbol(kind, code, addCheckSum);
  if (symbol.status == OK && height < 1) symbol.status = InvalidParameter;
  return symbol;
}

constexpr const char* kDigitFont = "Arial";

// The human-readable digits of an EAN-13 symbol, in three texts with their top at nine tenths of
// the bar height: the first digit left of the start guard, then each half under its bars.
TessivoStatus DrawDigits(ImagingState& state, const std::u32string& data, int32_t left, int32_t top, int32_t height,
                         int32_t module, int32_t fontSize, int32_t color) {
  const std::string digits = barcode::EncodeUtf8(data);
  if (digits.size() != 13) return state.Set(GenericError);
  auto clamped = [](double v) {
    return static_cast<int32_t>(std::clamp(v, double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
  };
  const int32_t y = clamped(std::nearbyint(height * 0.9 + top));
  const double m = module;
  const struct {
    size_t first, count;
    double x;
  } parts[] = {{0, 1, left - 9 * m}, {1, 6, left + 2 * m}, {7, 6, left + 48 * m}};
  for (const auto& part : parts) {
    const TessivoStatus s = DrawPlainText(state, digits.substr(part.first, part.count), clamped(part.x), y,
                                          static_cast<float>(fontSize), color, kDigitFont, 0, true);
    if (s != OK) return s;
  }
  return state.Set(OK);
}

TessivoStatus Draw(ImagingState& state, Symbology kind, const std::string& code, int32_t left, int32_t top,
                   int32_t height, bool addCheckSum, int32_t fontSize, int32_t color) {
  return GuardedStatus(state, [&] {
    platform::Bitmap* image = nullptr;
    const barcode::Symbol symbol = Checked(state, image, kind, code, height, addCheckSum);
    if (symbol.status != OK) return state.Set(symbol.status);
    const bool digits = kind == Symbology::Ean13 && fontSize > 0;
    // The digits' font is checked before the bars are painted, so that a symbol is drawn whole
    // or not at all.
    if (digits) {
      if (TessivoStatus s = CheckTextFont(state, static_cast<float>(fontSize), kDigitFont, 0); s != OK)
        return state.Set(s);
    }
    barcode::SymbolPlacement at;
    at.left = left;
    at.top = top;
    at.barHeight = height;
    at.moduleWidth = barcode::ModuleWidth(height);
    at.heightStep = digits ? static_cast<int32_t>(std::nearbyint(height / 10.0)) : 0;
    at.argb = static_cast<uint32_t>(color);
    TessivoStatus status = OK;
    if (!barcode::PaintModulesInPlace(*image, symbol.modules, at)) {
      platform::Graphics g(*image);
      status = static_cast<TessivoStatus>(barcode::PaintModules(g, symbol.modules, at, image->Width(), image->Height()));
    }
    if (status == OK) NotePixelsChanged(state.nativeImage);
    if (status != OK || !digits) return state.Set(status);
    return DrawDigits(state, symbol.data, left, top, height, at.moduleWidth, fontSize, color);
  });
}

int32_t Width(ImagingState& state, Symbology kind, const std::string& code, int32_t height, bool addCheckSum) {
  return Guarded(state, int32_t{0}, [&] {
    platform::Bitmap* image = nullptr;
    const barcode::Symbol symbol = Checked(state, image, kind, code, height, addCheckSum);
    if (symbol.status != OK) {
      state.Set(symbol.status);
      return int32_t{0};
    }
    const int64_t width = barcode::ModuleCount(symbol.modules) * barcode::ModuleWidth(height);
    if (width > std::numeric_limits<int32_t>::max()) {
      state.Set(ValueOverflow);
      return int32_t{0};
    }
    state.Set(OK);
    return static_cast<int32_t>(width);
  });
}

}  // namespace

std::string cImaging::BarCodeGetChecksumEAN13(const std::string& sCode) {
  return Guarded(State(), std::string{}, [&] {
    const std::u32string code = Trimmed(sCode);
    if (code.size() == 12) {
      const std::u32string full = cBarCode::CalculNumControlCodeBarre(code);
      return full.empty() ? std::string{} : barcode::EncodeUtf8(full.substr(12));
    }
    // Thirteen digits: the last one as given, right or wrong (BarCodeIsValidEAN13 checks it).
    if (code.size() == 13 && !cBarCode::CalculNumControlCodeBarre(code.substr(0, 12)).empty() &&
        barcode::IsAsciiDigit(code[12]))
      return barcode::EncodeUtf8(code.substr(12));
    return std::string{};
  });
}

bool cImaging::BarCodeIsValidEAN13(const std::string& sCode) {
  return Guarded(State(), false, [&] { return cBarCode::CheckSumValideEAN13(Trimmed(sCode)); });
}

std::string cImaging::BarCodeGetChecksum25i(const std::string& sCode) {
  return Guarded(State(), std::string{}, [&] { return barcode::EncodeUtf8(cBarCode::calculCheckSum2of5(Trimmed(sCode))); });
}

std::string cImaging::BarCodeGetChecksum39(const std::string& sCode) {
  return Guarded(State(), std::string{}, [&] { return barcode::EncodeUtf8(cBarCode::C39_Mod43(Trimmed(sCode))); });
}

TessivoStatus cImaging::BarCodeDraw25i(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                                       bool bAddCheckSum, int32_t nColorARGB) {
  return Draw(State(), Symbology::Interleaved2of5, sCode, nDstLeft, nDstTop, nHeight, bAddCheckSum, 0, nColorARGB);
}

int32_t cImaging::BarCodeGetWidth25i(const std::string& sCode, int32_t nHeight, bool bAddCheckSum) {
  return Width(State(), Symbology::Interleaved2of5, sCode, nHeight, bAddCheckSum);
}

TessivoStatus cImaging::BarCodeDraw39(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                                      bool bAddCheckSum, int32_t nColorARGB) {
  return Draw(State(), Symbology::Code39, sCode, nDstLeft, nDstTop, nHeight, bAddCheckSum, 0, nColorARGB);
}

int32_t cImaging::BarCodeGetWidth39(const std::string& sCode, int32_t nHeight, bool bAddCheckSum) {
  return Width(State(), Symbology::Code39, sCode, nHeight, bAddCheckSum);
}

TessivoStatus cImaging::BarCodeDraw128(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                                       int32_t nColorARGB) {
  return Draw(State(), Symbology::Code128, sCode, nDstLeft, nDstTop, nHeight, false, 0, nColorARGB);
}

int32_t cImaging::BarCodeGetWidth128(const std::string& sCode, int32_t nHeight) {
  return Width(State(), Symbology::Code128, sCode, nHeight, false);
}

TessivoStatus cImaging::BarCodeDrawEAN13(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                                         int32_t nFontSize, int32_t nColorARGB) {
  return Draw(State(), Symbology::Ean13, sCode, nDstLeft, nDstTop, nHeight, false, nFontSize, nColorARGB);
}

int32_t cImaging::BarCodeGetWidthEAN13(const std::string& sCode, int32_t nHeight) {
  return Width(State(), Symbology::Ean13, sCode, nHeight, false);
}

}  // namespace tessivo
