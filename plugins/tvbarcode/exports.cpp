// The exported C functions of the barcode reader plug-in. Nothing thrown inside crosses them.
#include <cstdint>
#include <new>

#include "scanner.h"
#include "tessivo/plugins/plugin_abi.h"
#include "tessivo/plugins/tvbarcode.h"

#define TVBARCODE_EXPORT extern "C" __attribute__((visibility("default")))

struct tvbarcode_scanner {
  explicit tvbarcode_scanner(tvbarcode::ReaderKind kind) : scanner(kind) {}
  tvbarcode::Scanner scanner;
};

namespace {

constexpr int32_t kVersion = 105;  // 1.05

tvbarcode_scanner* NewScanner(tvbarcode::ReaderKind kind) {
  return new (std::nothrow) tvbarcode_scanner(kind);
}

int32_t GetSymbol(const tvbarcode_scanner* s, int32_t index, TvbarcodeSymbol* out) {
  if (s == nullptr || out == nullptr) return 0;
  const auto& symbols = s->scanner.Symbols();
  if (index < 0 || static_cast<size_t>(index) >= symbols.size()) return 0;
  const tvbarcode::FoundSymbol& f = symbols[static_cast<size_t>(index)];
  out->type = f.type;
  out->hasChecksum = f.hasChecksum ? 1 : 0;
  out->skewAngle = f.skewAngle;
  for (int i = 0; i < 4; ++i) out->x[i] = f.x[i], out->y[i] = f.y[i];
  out->rows = f.rows;
  out->columns = f.columns;
  out->value = f.value.c_str();
  return 1;
}

}  // namespace

TVBARCODE_EXPORT const char* tv_plugin_file_version(void) { return "1.0.5.0"; }

#define TVBARCODE_DEFINE_READER(prefix, kind)                                                    \
  TVBARCODE_EXPORT int32_t prefix##GetVersion(void) { return kVersion; }                         \
  TVBARCODE_EXPORT tvbarcode_scanner* prefix##NewBarScanner(void) { return NewScanner(kind); }   \
  TVBARCODE_EXPORT int32_t prefix##SetPerformance(tvbarcode_scanner* s, int32_t symbologies) {   \
    if (s == nullptr) return TVBARCODE_BAD_ARGUMENT;                                             \
    s->scanner.SetSymbologies(symbologies);                                                      \
    return TVBARCODE_OK;                                                                         \
  }                                                                                              \
  TVBARCODE_EXPORT int32_t prefix##SetDibSource(tvbarcode_scanner* s, const TvbarcodeImage* image) { \
    if (s == nullptr || image == nullptr) return TVBARCODE_BAD_ARGUMENT;                         \
    return s->scanner.SetSource(*image);                                                         \
  }                                                                                              \
  TVBARCODE_EXPORT int32_t prefix##ScanBar(tvbarcode_scanner* s, int32_t scanMode) {             \
    return s == nullptr ? TVBARCODE_BAD_ARGUMENT : s->scanner.Scan(scanMode);                    \
  }                                                                                              \
  TVBARCODE_EXPORT int32_t prefix##GetBarcodeCount(const tvbarcode_scanner* s) {                 \
    return s == nullptr ? 0 : static_cast<int32_t>(s->scanner.Symbols().size());                 \
  }                                                                                              \
  TVBARCODE_EXPORT int32_t prefix##GetBarcode(const tvbarcode_scanner* s, int32_t index,         \
                                              TvbarcodeSymbol* out) {                            \
    return GetSymbol(s, index, out);                                                             \
  }                                                                                              \
  TVBARCODE_EXPORT void prefix##FreeBarScanner(tvbarcode_scanner* s) { delete s; }

TVBARCODE_DEFINE_READER(TVBARCODE1DREADER_, tvbarcode::ReaderKind::Linear)
TVBARCODE_DEFINE_READER(TVBARCODEDMREADER_, tvbarcode::ReaderKind::DataMatrix)
