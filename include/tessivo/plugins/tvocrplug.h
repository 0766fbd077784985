/* tvocrplug: the OCR plug-in's C interface.
 *
 * One shared library, tvocrplug.tesseract.so, recognises text in a plain pixel buffer. The
 * toolkit never links it: it resolves the functions below by name with dlsym. Like every plug-in
 * the library also exports its file version (tv_plugin_file_version, plugin_abi.h).
 *
 * Use: tvocrplug_OCR recognises a rectangle of an image and hands back a block of character
 * records that the caller owns until it gives the block back with tvocrplug_CLEAR. The library
 * may keep a recognition engine per thread between calls (loading language data is slow);
 * tvocrplug_REINIT drops the engines of the calling thread. No function throws or aborts;
 * bad arguments are refused with a status.
 */
#ifndef TESSIVO_PLUGINS_TVOCRPLUG_H
#define TESSIVO_PLUGINS_TVOCRPLUG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version numbers are major * 100 + minor (1.00 = 100). */
#define TVOCRPLUG_VERSION 100

/* Statuses. They are the toolkit's own status values, handed through unchanged. */
#define TVOCRPLUG_OK 0
#define TVOCRPLUG_GENERIC_ERROR 1
#define TVOCRPLUG_INVALID_PARAMETER 2
#define TVOCRPLUG_OUT_OF_MEMORY 3
#define TVOCRPLUG_DICTIONARY_NOT_FOUND 500

/* Languages, in the order of the toolkit's TesseractDictionary values 0..9. */
#define TVOCRPLUG_GERMAN 0
#define TVOCRPLUG_FRAKTUR 1
#define TVOCRPLUG_ENGLISH 2
#define TVOCRPLUG_FRENCH 3
#define TVOCRPLUG_ITALIAN 4
#define TVOCRPLUG_DUTCH 5
#define TVOCRPLUG_PORTUGUESE 6
#define TVOCRPLUG_SPANISH 7
#define TVOCRPLUG_VIETNAMESE 8
#define TVOCRPLUG_POLISH 9

/* A pixel buffer, rows top-down `stride` bytes apart: channels 1 is 8-bit grey, 3 is 24-bit
 * blue, green, red, 4 is 32-bit blue, green, red, alpha. Resolution in dots per inch (0: 300 is
 * assumed). */
typedef struct TvocrImage {
  const uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t stride;
  int32_t channels;
  int32_t dpiX;
  int32_t dpiY;
} TvocrImage;

/* One recognised character, 24 bytes, little-endian on every platform the toolkit runs on.
 * Edges are image pixels (not rectangle pixels), top and bottom counted from the top of the
 * image; left/top inclusive, right/bottom exclusive. Lines are numbered from 1 in reading order.
 * `blanks` is the number of blanks before the character on its line (0 within a word; at least
 * 1 for the first character of every word but the first of its line). Confidence 0..255. */
typedef struct TvocrCharRecord {
  uint32_t code; /* Unicode code point */
  int16_t line;
  int16_t left;
  int16_t right;
  int16_t top;
  int16_t bottom;
  int16_t reserved0;
  int16_t confidence;
  int16_t reserved1;
  int16_t blanks;
  int16_t reserved2;
} TvocrCharRecord;

/* Recognises the rectangle (left, top, width, height) of `image`; a rectangle of all zeros is
 * the whole image, one reaching outside the image is clipped to it and an empty one gives
 * TVOCRPLUG_OK with no records. `dictionaryPath` is the folder of the language data ("" or NULL:
 * TESSDATA_PREFIX, then the system's default); `whiteList` limits the characters ("" or NULL:
 * no limit). On TVOCRPLUG_OK *records is a block of *count records (NULL when *count is 0) for
 * tvocrplug_CLEAR; on any other status *records is NULL and *count 0. */
int32_t tvocrplug_GetVersion(void);
int32_t tvocrplug_OCR(const TvocrImage* image, int32_t left, int32_t top, int32_t width,
                      int32_t height, int32_t dictionary, const char* dictionaryPath,
                      const char* whiteList, TvocrCharRecord** records, int32_t* count);
void tvocrplug_CLEAR(TvocrCharRecord* records);
void tvocrplug_REINIT(void);

/* Optional: how the page of `image` is turned, from the orientation data ("osd.traineddata")
 * found where the language data of `dictionary` is (`dictionaryPath` as for tvocrplug_OCR; a
 * missing language or orientation data gives TVOCRPLUG_DICTIONARY_NOT_FOUND). On TVOCRPLUG_OK
 * *degrees is 0, 90, 180 or 270: the angle the page was turned clockwise from upright (a page
 * read upright after turning it 90 degrees counter-clockwise gives 90). It is -1 when the page
 * holds too little text to judge or the detection's confidence is below `accuracy` (Tesseract's
 * orientation confidence; about 15 is a sure result, 0 accepts any). */
int32_t tvocrplug_ORIENTATION(const TvocrImage* image, int32_t dictionary, const char* dictionaryPath,
                              float accuracy, int32_t* degrees);

typedef int32_t (*tvocrplug_GetVersion_fn)(void);
typedef int32_t (*tvocrplug_OCR_fn)(const TvocrImage*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                    const char*, const char*, TvocrCharRecord**, int32_t*);
typedef void (*tvocrplug_CLEAR_fn)(TvocrCharRecord*);
typedef void (*tvocrplug_REINIT_fn)(void);
typedef int32_t (*tvocrplug_ORIENTATION_fn)(const TvocrImage*, int32_t, const char*, float, int32_t*);

#ifdef __cplusplus
}
#endif

#endif
