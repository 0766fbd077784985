/* tvtwain: the scanning library's C interface.
 *
 * tvtwain.so is an optional shared library the toolkit loads at run time from the plug-in
 * folder. It offers the TWAIN application-side protocol (states, sources, capabilities,
 * transfers) over SANE: data sources are SANE devices. It loads libsane.so.1 itself with dlopen
 * (TVTWAIN_SetDSMPath names another file) and is never linked to it. Like every plug-in it also
 * exports its file version (tv_plugin_file_version, plugin_abi.h).
 *
 * Conventions
 * - One process-wide session; every export takes its lock, so calls from several threads are
 *   serialised.
 * - Functions answering success return 1 and 0 on failure; every failure leaves a TWAIN result
 *   code (TWRC_FAILURE 1) and condition code (TWCC_...) for GetLastResultCode and
 *   GetLastConditionCode. A call made in the wrong state fails with TWCC_SEQERROR (11).
 * - Strings are UTF-8 and copied into the caller's buffer `out` of `capacity` bytes, always
 *   terminated when capacity > 0; the result is the full length of the string (as snprintf), so a
 *   result >= capacity means it was cut.
 * - States: 1 nothing loaded, 2 libsane loaded, 3 sane_init done (source manager open),
 *   4 a device open, 5 armed for a transfer, 6 sane_start done, 7 reading.
 *
 * Transfers
 * - TVTWAIN_AcquireNative scans one page with the current transfer mechanism. Native (0) and
 *   memory (2) transfers return an image block the caller owns and frees with
 *   TVTWAIN_FreeNative; the file mechanism (1) is not offered. NULL means no image: see
 *   UserClosedSource, XferFail and the condition code (TWCC_LOWMEMORY 2 when the image would
 *   need more than 2^31 bytes).
 * - An image block's rows are stored top-down, `stride` bytes apart (padded to 4 bytes):
 *   1 bit per pixel: most significant bit first, 0 black, 1 white;
 *   8 bits: grey levels, 0 black; 16 bits: grey levels in native byte order;
 *   24 bits: blue, green, red; 48 bits: 16-bit blue, green, red in native byte order.
 */
#ifndef TESSIVO_PLUGINS_TVTWAIN_H
#define TESSIVO_PLUGINS_TVTWAIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TVTWAIN_MIN_VERSION 630

typedef struct tvtwain_image tvtwain_image;

typedef struct tvtwain_image_info {
  int32_t width;
  int32_t height;
  int32_t bits_per_pixel; /* 1, 8, 16, 24 or 48 */
  int32_t stride;         /* bytes from one row to the next */
  int32_t pixel_type;     /* TWPT_BW 0, TWPT_GRAY 1, TWPT_RGB 2 */
  int32_t is_raw;         /* 1: memory transfer, 0: native transfer */
  double x_resolution;    /* dots per inch */
  double y_resolution;
  const uint8_t* bits;    /* first (top) row */
} tvtwain_image_info;

/* --- Identity and the source manager ---------------------------------------------------- */
int32_t TVTWAIN_GetVersion(void);
int32_t TVTWAIN_IsAvailable(void);          /* libsane can be loaded */
int32_t TVTWAIN_State(void);
int32_t TVTWAIN_SetDSMPath(const char* path); /* only before the library is loaded */
int32_t TVTWAIN_OpenSourceManager(intptr_t hwnd);
int32_t TVTWAIN_CloseSourceManager(void);   /* closes an open source first */
int32_t TVTWAIN_UnloadSourceManager(void);  /* closes everything and unloads libsane */

/* --- Sources ---------------------------------------------------------------------------- */
/* The device list walk: the first name, then each next one; "" (result 0) after the last. */
int32_t TVTWAIN_GetFirstSourceName(char* out, int32_t capacity);
int32_t TVTWAIN_GetNextSourceName(char* out, int32_t capacity);
int32_t TVTWAIN_GetDefaultSourceName(char* out, int32_t capacity);
int32_t TVTWAIN_GetCurrentSourceName(char* out, int32_t capacity);
int32_t TVTWAIN_OpenSource(const char* name);  /* opens the source manager when needed */
int32_t TVTWAIN_OpenDefaultSource(void);
int32_t TVTWAIN_CloseSource(void);

/* --- Results of the last call and of the last transfer ---------------------------------- */
int32_t TVTWAIN_GetLastResultCode(void);
int32_t TVTWAIN_GetLastConditionCode(void);
int32_t TVTWAIN_UserClosedSource(void);  /* the last transfer was cancelled */
int32_t TVTWAIN_XferFail(void);          /* the last transfer failed */
int32_t TVTWAIN_GetLastTransferMode(void); /* mechanism of the last transfer, -1 none */

/* --- Switches without a device counterpart: stored and answered ------------------------- */
int32_t TVTWAIN_SetHideUI(int32_t hide);
int32_t TVTWAIN_GetHideUI(void);

/* --- Capabilities of the open source ---------------------------------------------------- */
/* ICAP_XFERMECH: 0 native, 2 memory (1, file, is refused with TWCC_BADVALUE). */
int32_t TVTWAIN_SetTransferMechanism(int32_t mechanism);
int32_t TVTWAIN_GetTransferMechanism(void);
/* ICAP_PIXELTYPE: TWPT_BW 0 (grey, 1 bit), TWPT_GRAY 1, TWPT_RGB 2; -1 on failure. */
int32_t TVTWAIN_GetPixelType(void);
int32_t TVTWAIN_SetCurrentPixelType(int32_t pixel_type);
/* ICAP_BITDEPTH as bits per pixel: 1; 8 or 16 grey; 24 or 48 colour; 0 on failure. */
int32_t TVTWAIN_GetBitDepth(void);
int32_t TVTWAIN_SetBitDepth(int32_t bits_per_pixel);
/* ICAP_XRESOLUTION and ICAP_YRESOLUTION together, dots per inch; 0 on failure. */
double TVTWAIN_GetCurrentResolution(void);
int32_t TVTWAIN_SetCurrentResolution(double dpi);

/* --- Capabilities, generic --------------------------------------------------------------- */
/* cap: a TWAIN capability number. message: 1 the values the source offers, 2 the current one.
 * The values go to out[0 .. capacity-1]; the result is their count (a range counts min,
 * min+step ... max, at most TVTWAIN_MAX_LISTED), -1 on failure. String-valued capabilities
 * answer through GetCapString with a 0-based index (result as the string fillers, -1 past
 * the last value or on failure). Capabilities without a device counterpart fail with
 * TWCC_CAPUNSUPPORTED (13), refused values with TWCC_BADVALUE (10). */
#define TVTWAIN_MAX_LISTED 1000000
int32_t TVTWAIN_GetCapNumbers(int32_t cap, int32_t message, double* out, int32_t capacity);
int32_t TVTWAIN_GetCapString(int32_t cap, int32_t message, int32_t index, char* out,
                             int32_t capacity);
/* The range of a capability whose values are a range; 0 (TWCC_CAPBADOPERATION) for a list. */
int32_t TVTWAIN_GetCapRange(int32_t cap, double* minimum, double* maximum, double* step);
int32_t TVTWAIN_GetCapItemType(int32_t cap); /* TWTY_..., -1 on failure */
/* item_type names the type of `value`; a value outside that type's range (TWTY_FIX32: its
 * whole part -32768..32767) fails with TWCC_BADVALUE instead of wrapping. */
int32_t TVTWAIN_SetCapOneValue(int32_t cap, int32_t item_type, double value);
int32_t TVTWAIN_SetCapOneValueS(int32_t cap, int32_t item_type, const char* value);
int32_t TVTWAIN_Reset(int32_t cap); /* back to the value the source had when it was opened */

/* --- Capabilities, named ---------------------------------------------------------------- */
double TVTWAIN_GetBrightness(void); /* -1000 .. 1000 */
int32_t TVTWAIN_SetBrightness(double value);
double TVTWAIN_GetContrast(void);   /* -1000 .. 1000 */
int32_t TVTWAIN_SetContrast(double value);
int32_t TVTWAIN_GetPaperSize(void); /* TWSS_..., TWSS_NONE 0 for any other area */
int32_t TVTWAIN_SetPaperSize(int32_t size);
double TVTWAIN_GetPhysicalWidth(void); /* inches; 0 on failure */
double TVTWAIN_GetPhysicalHeight(void);
/* The scan area in inches from the top left corner of the device's area. */
int32_t TVTWAIN_SetImageLayout(double left, double top, double right, double bottom);
int32_t TVTWAIN_GetImageLayout(double* left, double* top, double* right, double* bottom);
int32_t TVTWAIN_ResetImageLayout(void);
int32_t TVTWAIN_EnableDuplex(int32_t enable);
int32_t TVTWAIN_GetDuplexMode(void); /* TWDX_NONE 0, TWDX_1PASSDUPLEX 1; -1 on failure */
int32_t TVTWAIN_SetAutoFeed(int32_t enable);
int32_t TVTWAIN_SetAutoScan(int32_t enable);
int32_t TVTWAIN_SetAutoBright(int32_t enable);
int32_t TVTWAIN_AutomaticBorderDetection(int32_t enable);
int32_t TVTWAIN_AutomaticDeskew(int32_t enable);
int32_t TVTWAIN_AutomaticRotate(int32_t enable);

/* --- Session switches and batches ------------------------------------------------------- */
int32_t TVTWAIN_SetIndicators(int32_t show);
int32_t TVTWAIN_SetShowError(int32_t show);
int32_t TVTWAIN_SetDebugMode(int32_t debug); /* also copies log lines to stderr */
int32_t TVTWAIN_StartLog(const char* path);  /* appends one line per event */
int32_t TVTWAIN_StopLog(void);
int32_t TVTWAIN_RegisterApp(int32_t major, int32_t minor, int32_t language, int32_t country,
                            const char* version_info, const char* manufacturer,
                            const char* product_family, const char* product_name);
/* Multi-transfer: after a page the source stays ready (state 6) while the transfer count
 * (CAP_XFERCOUNT, -1 as many as the source has) is not used up; EndXfer ends one pending
 * transfer, AbortAllPendingXfers all of them, DisableSource goes back to state 4. With auto
 * close on, the source is closed when the last transfer of a batch ends. */
int32_t TVTWAIN_SetMultiTransfer(int32_t multi);
int32_t TVTWAIN_NegotiateXferCount(int32_t count);
int32_t TVTWAIN_EndXfer(void);
int32_t TVTWAIN_AbortAllPendingXfers(void);
int32_t TVTWAIN_DisableSource(void);
int32_t TVTWAIN_AutoSourceClose(int32_t close);

/* --- Dialogs ----------------------------------------------------------------------------- */
/* The library shows no window of its own: the host answers through these hooks. Without a
 * hook a dialog counts as cancelled (TWRC_CANCEL 3). */
typedef struct tvtwain_ui_hooks {
  void* context;
  /* Shows the `count` source names; 1 and the chosen index in *chosen, or 0 when cancelled. */
  int32_t (*select_source)(void* context, const char* const* names, int32_t count,
                           int32_t* chosen);
  /* Shows the settings of the open source `name`; 1 when confirmed. */
  int32_t (*source_setup)(void* context, const char* name);
} tvtwain_ui_hooks;
int32_t TVTWAIN_SetUIHooks(const tvtwain_ui_hooks* hooks); /* NULL removes them */
/* The user's choice becomes the default source (GetDefaultSourceName, OpenDefaultSource). */
int32_t TVTWAIN_SelectImageSource(intptr_t hwnd);
int32_t TVTWAIN_SourceSetup(intptr_t hwnd);

/* --- Barcodes found by the source on the last page --------------------------------------- */
/* SANE devices report none: the count is 0 and every number is out of range. */
int32_t TVTWAIN_BarCodeCount(void);
int32_t TVTWAIN_BarCodeValue(int32_t number, char* out, int32_t capacity); /* 1-based */
int32_t TVTWAIN_BarCodeType(int32_t number);
int32_t TVTWAIN_BarCodeX(int32_t number);
int32_t TVTWAIN_BarCodeY(int32_t number);
int32_t TVTWAIN_BarCodeConfidence(int32_t number);
int32_t TVTWAIN_BarCodeRotation(int32_t number);

/* --- Transfers -------------------------------------------------------------------------- */
tvtwain_image* TVTWAIN_AcquireNative(intptr_t hwnd);
int32_t TVTWAIN_GetImageInfo(const tvtwain_image* image, tvtwain_image_info* info);
void TVTWAIN_FreeNative(tvtwain_image* image);

#ifdef __cplusplus
}
#endif

#endif /* TESSIVO_PLUGINS_TVTWAIN_H */
