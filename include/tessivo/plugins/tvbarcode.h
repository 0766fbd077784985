/* tvbarcode: the barcode reader plug-in's C interface.
 *
 * One shared library (built as tvbarcode.1dreader.so and reachable under the DataMatrix
 * reader's name tvbarcode.dmreader.so too) reads linear symbols and DataMatrix symbols from a
 * plain pixel buffer. The toolkit never links it: it resolves the functions below by name with
 * dlsym. Each reader has its own set of functions, prefixed TVBARCODE1DREADER_ (linear symbols)
 * and TVBARCODEDMREADER_ (DataMatrix), with identical signatures. Like every plug-in the library
 * also exports its file version (tv_plugin_file_version, plugin_abi.h).
 *
 * Use: NewBarScanner once, (1D: SetPerformance,) then per scan SetDibSource, ScanBar and
 * GetBarcodeCount; the caller may free its pixel buffer as soon as ScanBar returns (the scanner
 * forgets it then). Results stay readable by GetBarcode until the next ScanBar or
 * FreeBarScanner. No function throws or aborts; NULL scanners and bad arguments are refused
 * with the documented result.
 */
#ifndef TESSIVO_PLUGINS_TVBARCODE_H
#define TESSIVO_PLUGINS_TVBARCODE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version numbers are major * 100 + minor (1.05 = 105). */
#define TVBARCODE1DREADER_MIN_VERSION 105
#define TVBARCODEDMREADER_MIN_VERSION 100

typedef struct tvbarcode_scanner tvbarcode_scanner;

/* Symbologies of the linear reader, as bit flags (SetPerformance, TvbarcodeSymbol.type). EAN-13
 * is bit 15; a symbol of that kind is reported with the value -32768. */
#define TVBARCODE_INTERLEAVED2OF5 4
#define TVBARCODE_CODE39 32
#define TVBARCODE_CODABAR 64
#define TVBARCODE_CODE128 4096
#define TVBARCODE_EAN128 8192
#define TVBARCODE_CODE93 16384
#define TVBARCODE_EAN13_BIT 32768
#define TVBARCODE_EAN13 (-32768)
#define TVBARCODE_UPCA 65536
#define TVBARCODE_EAN8 131072
#define TVBARCODE_UPCE 262144
#define TVBARCODE_DATAMATRIX 0 /* the type of every symbol the DataMatrix reader reports */

/* Scan modes: 0 fastest, 1 most thorough (also looks at rotated and harder-to-read symbols). */
#define TVBARCODE_BEST_SPEED 0
#define TVBARCODE_BEST_QUALITY 1

/* Results of SetDibSource and ScanBar. */
#define TVBARCODE_OK 0
#define TVBARCODE_BAD_ARGUMENT 1
#define TVBARCODE_OUT_OF_MEMORY 2
#define TVBARCODE_FAILED 3

/* A pixel buffer, rows top-down `stride` bytes apart: channels 1 is 8-bit grey, 3 is 24-bit blue,
 * green, red. */
typedef struct TvbarcodeImage {
  const uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t stride;
  int32_t channels;
} TvbarcodeImage;

/* One symbol found. Corner points are buffer pixels, in the symbol's own order: 1 top left,
 * 2 top right, 3 bottom right, 4 bottom left. `value` is UTF-8, owned by the scanner. */
typedef struct TvbarcodeSymbol {
  int32_t type;
  int32_t hasChecksum; /* 1 when the symbol carries a check character */
  double skewAngle;    /* degrees, counter-clockwise from the horizontal reading direction */
  int32_t x[4];
  int32_t y[4];
  int32_t rows;    /* DataMatrix: module rows; 0 for linear symbols */
  int32_t columns; /* DataMatrix: module columns; 0 for linear symbols */
  const char* value;
} TvbarcodeSymbol;

#define TVBARCODE_DECLARE_READER(prefix)                                                       \
  int32_t prefix##GetVersion(void);                                                            \
  tvbarcode_scanner* prefix##NewBarScanner(void);                                              \
  /* The symbologies to look for (flags above; 0: every one). DataMatrix: ignored. */          \
  int32_t prefix##SetPerformance(tvbarcode_scanner* scanner, int32_t symbologies);             \
  int32_t prefix##SetDibSource(tvbarcode_scanner* scanner, const TvbarcodeImage* image);       \
  int32_t prefix##ScanBar(tvbarcode_scanner* scanner, int32_t scanMode);                       \
  int32_t prefix##GetBarcodeCount(const tvbarcode_scanner* scanner);                           \
  /* Symbol `index` (0-based) into `out`: 1, or 0 when there is no such symbol. */             \
  int32_t prefix##GetBarcode(const tvbarcode_scanner* scanner, int32_t index, TvbarcodeSymbol* out); \
  void prefix##FreeBarScanner(tvbarcode_scanner* scanner);

TVBARCODE_DECLARE_READER(TVBARCODE1DREADER_)
TVBARCODE_DECLARE_READER(TVBARCODEDMREADER_)

#ifdef __cplusplus
}
#endif

#endif
