/* tvimgplug: the codec plug-in's C interface.
 *
 * The codec plug-in is an optional shared library (tvimgplug.so) that the toolkit loads at run
 * time from the plug-in folder. It decodes and encodes the formats the platform layer does not
 * handle (TGA, PNM, PSD, J2K, EXR, ...), holds multi-page TIFF and GIF documents open page by
 * page, and writes JPEG-compressed TIFF files. The toolkit never links it: it resolves the
 * functions below by name with dlsym, so every one of them must be exported with C linkage and
 * exactly this signature. Like every plug-in it also exports its file version
 * (tv_plugin_file_version, plugin_abi.h). A plug-in without a file version, whose
 * tvimgplug_GetVersion() is below TVIMGPLUG_MIN_VERSION, or that lacks a function, is treated
 * as absent.
 *
 * Conventions
 * - Paths are UTF-8. Handles are opaque pointers; NULL means failure or "none".
 * - Functions answering success return 1 (TRUE) and 0 (FALSE) on failure.
 * - A bitmap's pixel rows are stored bottom-up: the first row in memory (tvimgplug_GetBits) is the
 *   bottom row of the image, `pitch` bytes apart, each row padded to 4 bytes. Pixels of 24 and 32
 *   bits are stored blue, green, red (, alpha); 1-, 4- and 8-bit pixels are palette indices, the
 *   most significant bits first. 16-bit grey, 48-bit and 64-bit images hold 16-bit samples in
 *   native byte order (48/64: red, green, blue (, alpha)). Float images hold 32-bit floats.
 * - Pages of a multi-page document stay valid from LockPage to UnlockPage; pages and bitmaps must
 *   not be unloaded while locked.
 * - Format numbers: see TvimgFormat. Colour types: see TvimgColorType.
 */
#ifndef TESSIVO_PLUGINS_TVIMGPLUG_H
#define TESSIVO_PLUGINS_TVIMGPLUG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version numbers are major * 100 + minor (1.00 = 100). */
#define TVIMGPLUG_MIN_VERSION 100

typedef struct tvimg_bitmap tvimg_bitmap;           /* one image held by the plug-in */
typedef struct tvimg_multibitmap tvimg_multibitmap; /* an open multi-page document */
typedef struct tvimg_file tvimg_file;               /* an open file the plug-in reads from */

/* Format numbers. */
typedef enum TvimgFormat {
  TVIMG_UNKNOWN = -1, TVIMG_BMP = 0, TVIMG_ICO = 1, TVIMG_JPEG = 2, TVIMG_JNG = 3,
  TVIMG_KOALA = 4, TVIMG_LBM = 5, TVIMG_MNG = 6, TVIMG_PBM = 7, TVIMG_PBMRAW = 8,
  TVIMG_PCD = 9, TVIMG_PCX = 10, TVIMG_PGM = 11, TVIMG_PGMRAW = 12, TVIMG_PNG = 13,
  TVIMG_PPM = 14, TVIMG_PPMRAW = 15, TVIMG_RAS = 16, TVIMG_TARGA = 17, TVIMG_TIFF = 18,
  TVIMG_WBMP = 19, TVIMG_PSD = 20, TVIMG_CUT = 21, TVIMG_XBM = 22, TVIMG_XPM = 23,
  TVIMG_DDS = 24, TVIMG_GIF = 25, TVIMG_HDR = 26, TVIMG_FAXG3 = 27, TVIMG_SGI = 28,
  TVIMG_EXR = 29, TVIMG_J2K = 30, TVIMG_JP2 = 31, TVIMG_PFM = 32, TVIMG_PICT = 33,
  TVIMG_RAW = 34, TVIMG_JBIG = 35,
  TVIMG_WMF = 36 /* placeable Windows metafiles, rendered */
} TvimgFormat;

/* Photometric interpretation of a bitmap (tvimgplug_GetColorType). */
typedef enum TvimgColorType {
  TVIMG_MINISWHITE = 0, /* 1/4/8 bit, 0 is white */
  TVIMG_MINISBLACK = 1, /* 1/4/8 bit, 0 is black */
  TVIMG_RGB = 2,
  TVIMG_PALETTE = 3,
  TVIMG_RGBALPHA = 4,
  TVIMG_CMYK = 5
} TvimgColorType;

/* Sample type of a bitmap (tvimgplug_GetImageType). */
typedef enum TvimgImageType {
  TVIMG_TYPE_UNKNOWN = 0,
  TVIMG_TYPE_BITMAP = 1, /* 1, 4, 8, 16 (RGB555/565), 24, 32 bits per pixel */
  TVIMG_TYPE_UINT16 = 2, /* 16-bit grey */
  TVIMG_TYPE_INT16 = 3,
  TVIMG_TYPE_UINT32 = 4,
  TVIMG_TYPE_INT32 = 5,
  TVIMG_TYPE_FLOAT = 6,
  TVIMG_TYPE_DOUBLE = 7,
  TVIMG_TYPE_COMPLEX = 8,
  TVIMG_TYPE_RGB16 = 9,
  TVIMG_TYPE_RGBA16 = 10,
  TVIMG_TYPE_RGBF = 11,
  TVIMG_TYPE_RGBAF = 12
} TvimgImageType;

/* Load flags. */
#define TVIMG_LOAD_DEFAULT 0
#define TVIMG_LOAD_TIFF_CMYK_TO_RGB_ICM 1 /* TIFF: apply the embedded colour profile */
/* WMF: the flags are the rendering scale in thousandths (0 or 1000: one pixel per metafile
 * unit, the size its placeable header gives at its own units per inch). */

/* Save flags (besides the format's own numeric flags: J2K/JP2 rate, EXR compression). */
#define TVIMG_SAVE_DEFAULT 0
#define TVIMG_SAVE_TIFF_LZW 0x4000
#define TVIMG_SAVE_TIFF_JPEG 0x8000

/* Metadata models (tvimgplug_GetMetadata...). Items carry the platform's property tag ids and
 * value types (1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL, 7 UNDEFINED, 9 SLONG, 10 SRATIONAL),
 * values little-endian. */
#define TVIMG_METADATA_EXIF 0 /* EXIF, GPS and thumbnail tags together */
#define TVIMG_METADATA_IPTC 1 /* IPTC records: id = the 16-bit record/dataset number */

/* --- Identity ---------------------------------------------------------------------------- */
int32_t tvimgplug_GetVersion(void);
/* Optional (not needed for the plug-in to count as present): holds every later decode of the
 * process to `bytes` of decoded samples per frame and per allocation (0 restores the defaults:
 * 1 GiB). Lets a host with a small memory budget, or a fuzz driver, refuse forged headers
 * before the delegates allocate for them. */
void tvimgplug_SetMemoryLimit(uint64_t bytes);

/* --- File type --------------------------------------------------------------------------- */
/* The format of a file by its first bytes; TVIMG_UNKNOWN when not recognised. */
int32_t tvimgplug_GetFileType(const char* path);
/* The format a file name's extension stands for; TVIMG_UNKNOWN when none. */
int32_t tvimgplug_GetFileTypeFromFilename(const char* path);

/* --- Single images ----------------------------------------------------------------------- */
tvimg_bitmap* tvimgplug_Load(int32_t format, const char* path, int32_t flags);
int32_t tvimgplug_Save(int32_t format, tvimg_bitmap* bitmap, const char* path, int32_t flags);
/* A blank bitmap of 1, 4, 8, 24 or 32 bits per pixel (rows zeroed, grey palette). */
tvimg_bitmap* tvimgplug_Allocate(int32_t width, int32_t height, int32_t bpp);
void tvimgplug_Unload(tvimg_bitmap* bitmap);

/* --- Files and multi-page documents ------------------------------------------------------ */
tvimg_file* tvimgplug_OpenFile(const char* path);
void tvimgplug_CloseFile(tvimg_file* file);
/* Opens a document for reading from an open file. The toolkit closes the file and the document
 * together, the file possibly first: closing a document opened for reading must not use its
 * file. */
tvimg_multibitmap* tvimgplug_OpenMultiBitmapFromFile(int32_t format, tvimg_file* file,
                                                     int32_t flags);
/* Creates a new, empty document written to `path` when it is closed. */
tvimg_multibitmap* tvimgplug_CreateMultiBitmap(int32_t format, const char* path);
int32_t tvimgplug_GetPageCount(tvimg_multibitmap* document);
tvimg_bitmap* tvimgplug_LockPage(tvimg_multibitmap* document, int32_t page);
void tvimgplug_UnlockPage(tvimg_multibitmap* document, tvimg_bitmap* page, int32_t changed);
int32_t tvimgplug_AppendPage(tvimg_multibitmap* document, tvimg_bitmap* page);
/* Closes the document; a created document is written first (FALSE when writing failed). */
int32_t tvimgplug_CloseMultiBitmap(tvimg_multibitmap* document, int32_t flags);

/* --- Pixels ------------------------------------------------------------------------------ */
uint32_t tvimgplug_GetWidth(tvimg_bitmap* bitmap);
uint32_t tvimgplug_GetHeight(tvimg_bitmap* bitmap);
uint32_t tvimgplug_GetPitch(tvimg_bitmap* bitmap);
uint32_t tvimgplug_GetBPP(tvimg_bitmap* bitmap);
uint8_t* tvimgplug_GetBits(tvimg_bitmap* bitmap);
int32_t tvimgplug_GetColorType(tvimg_bitmap* bitmap);
int32_t tvimgplug_GetImageType(tvimg_bitmap* bitmap);
/* Palette of an indexed bitmap: `GetColorsUsed` entries of 4 bytes, blue, green, red, 0. The
 * entries are writable: the palette of an allocated bitmap is set through this pointer. */
uint32_t tvimgplug_GetColorsUsed(tvimg_bitmap* bitmap);
uint8_t* tvimgplug_GetPalette(tvimg_bitmap* bitmap);
/* Transparency table of an indexed bitmap: one alpha byte per palette entry. */
int32_t tvimgplug_IsTransparent(tvimg_bitmap* bitmap);
uint32_t tvimgplug_GetTransparencyCount(tvimg_bitmap* bitmap);
uint8_t* tvimgplug_GetTransparencyTable(tvimg_bitmap* bitmap);
void tvimgplug_SetTransparencyTable(tvimg_bitmap* bitmap, const uint8_t* table, int32_t count);

/* --- Conversions (each returns a new bitmap; the source is kept) ---------------------------- */
tvimg_bitmap* tvimgplug_ConvertTo24Bits(tvimg_bitmap* bitmap);
tvimg_bitmap* tvimgplug_ConvertTo32Bits(tvimg_bitmap* bitmap);
tvimg_bitmap* tvimgplug_ConvertToGreyscale(tvimg_bitmap* bitmap);
tvimg_bitmap* tvimgplug_ConvertToType(tvimg_bitmap* bitmap, int32_t type, int32_t scale_linear);
tvimg_bitmap* tvimgplug_ConvertToRGBF(tvimg_bitmap* bitmap);
tvimg_bitmap* tvimgplug_TmoReinhard05(tvimg_bitmap* bitmap, double intensity, double contrast);
/* In place. */
int32_t tvimgplug_Invert(tvimg_bitmap* bitmap);
int32_t tvimgplug_FlipVertical(tvimg_bitmap* bitmap);

/* --- Resolution (dots per metre) --------------------------------------------------------- */
uint32_t tvimgplug_GetDotsPerMeterX(tvimg_bitmap* bitmap);
uint32_t tvimgplug_GetDotsPerMeterY(tvimg_bitmap* bitmap);
void tvimgplug_SetDotsPerMeterX(tvimg_bitmap* bitmap, uint32_t value);
void tvimgplug_SetDotsPerMeterY(tvimg_bitmap* bitmap, uint32_t value);

/* --- GIF frames (delay in milliseconds; disposal 0..3; loop count 0 = forever) -------------- */
int32_t tvimgplug_SetFrameDelay(tvimg_bitmap* bitmap, int32_t milliseconds);
int32_t tvimgplug_SetFrameDisposal(tvimg_bitmap* bitmap, int32_t disposal);
int32_t tvimgplug_SetLoopCount(tvimg_bitmap* bitmap, int32_t count);

/* --- TIFF with JPEG compression: the quality (0..100) of later TVIMG_SAVE_TIFF_JPEG saves --- */
void tvimgplug_SetTiffJpegCompression(int32_t quality);

/* --- Metadata ---------------------------------------------------------------------------- */
uint32_t tvimgplug_GetMetadataCount(int32_t model, tvimg_bitmap* bitmap);
/* Item `index` (0-based) of a model: its id, type, and value bytes (valid while the bitmap
 * lives). FALSE when index is out of range. */
int32_t tvimgplug_GetMetadataItem(int32_t model, tvimg_bitmap* bitmap, uint32_t index,
                                  uint32_t* id, uint16_t* type, const uint8_t** value,
                                  uint32_t* length);
int32_t tvimgplug_SetMetadataItem(int32_t model, tvimg_bitmap* bitmap, uint32_t id,
                                  uint16_t type, const uint8_t* value, uint32_t length);

/* --- Services for the PDF writer and ICC operations --------------------------------------- */
/* CCITT Group 4 compression of packed 1-bit rows (most significant bit first, top row first,
 * 0 = black), `row_bytes` per row. Returns 0 on success with a buffer the caller frees with
 * tvimgplug_FreeBuffer. */
int32_t tvimgplug_CompressCCITT4(const uint8_t* rows, int32_t width, int32_t height,
                                 int32_t row_bytes, uint8_t** out, uint32_t* out_length);
/* Deflate (zlib format) at `level` 0..9. Returns 0 on success; free as above. */
int32_t tvimgplug_Compress(const uint8_t* data, uint32_t length, int32_t level, uint8_t** out,
                           uint32_t* out_length);
void tvimgplug_FreeBuffer(uint8_t* buffer);
/* Removes the colour profile of an image file, or embeds a profile file into it, in place. */
int32_t tvimgplug_RemoveIccProfileFromFile(const char* image_path);
int32_t tvimgplug_AddIccProfileToFile(const char* image_path, const char* profile_path);

/* === Codec plug-in additions ================================================================
 * Further save flags and the meaning of the numeric save flags, as the plug-in implements them.
 *  - TVIMG_JPEG: flags 1..100 are the quality (anything else: 75).
 *  - TVIMG_TIFF: one of the compressions below or above (none given: LZW, CCITT Group 4 for
 *    1-bit pages); JPEG compression applies to 8-bit grey and RGB pages, CCITT4 to 1-bit pages
 *    (other pages fall back to LZW).
 *  - TVIMG_J2K, TVIMG_JP2: the compression ratio (16 means 16:1; 0 or 1 lossless).
 *  - TVIMG_EXR: the toolkit's ExrCompression values (0 PIZ, 2 none, 4 ZIP, 8 PIZ, 16 PXR24,
 *    32 B44, 64 B44A); samples are written as half floats.
 *  - TVIMG_PBM, TVIMG_PGM, TVIMG_PPM write plain (text) files and the ...RAW numbers binary
 *    ones; the kind (bitmap, graymap, pixmap) follows the image: 1 bit, grey, colour.
 * Colour type TVIMG_CMYK marks a bitmap decoded from CMYK samples: its pixels are delivered
 * converted to RGB. TVIMG_LOAD_TIFF_CMYK_TO_RGB_ICM is accepted and changes nothing: CMYK
 * pages are always converted.
 * ConvertToType(..., TVIMG_TYPE_BITMAP, scale_linear): 16-bit samples keep their upper 8 bits
 * (rounded); floating-point samples are stretched from their own range when scale_linear, else
 * clamped from 0..1. */
#define TVIMG_SAVE_TIFF_PACKBITS 0x0100
#define TVIMG_SAVE_TIFF_DEFLATE 0x0200
#define TVIMG_SAVE_TIFF_NONE 0x0800
#define TVIMG_SAVE_TIFF_CCITT4 0x2000

#ifdef __cplusplus
}
#endif

#endif /* TESSIVO_PLUGINS_TVIMGPLUG_H */
