/* A stand-in OCR plug-in for the searchable-PDF tests: it reads nothing from the pixels but
 * answers from a script, so the tests know exactly which words lie where.
 *
 * TESSIVO_FAKE_OCR_SCRIPT names a text file of blocks, each for the images of one size:
 *   image <width> <height>     starts the block ("image 0 0" matches every size)
 *   fail <status>              the call fails with that status
 *   c <code> <line> <left> <top> <right> <bottom> <blanks>   one character record
 * The first block matching the image is answered; no matching block gives no characters. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tessivo/plugins/tvocrplug.h"

const char* tv_plugin_file_version(void) { return "1.0.0.0"; }

int32_t tvocrplug_GetVersion(void) { return TVOCRPLUG_VERSION; }

int32_t tvocrplug_OCR(const TvocrImage* image, int32_t left, int32_t top, int32_t width, int32_t height,
                      int32_t dictionary, const char* dictionaryPath, const char* whiteList,
                      TvocrCharRecord** records, int32_t* count) {
  (void)left, (void)top, (void)width, (void)height, (void)dictionary, (void)dictionaryPath, (void)whiteList;
  if (records == NULL || count == NULL || image == NULL) return TVOCRPLUG_INVALID_PARAMETER;
  *records = NULL;
  *count = 0;
  const char* script = getenv("TESSIVO_FAKE_OCR_SCRIPT");
  FILE* file = script ? fopen(script, "r") : NULL;
  if (file == NULL) return TVOCRPLUG_GENERIC_ERROR;
  TvocrCharRecord* block = NULL;
  int32_t n = 0, capacity = 0, status = TVOCRPLUG_OK;
  int matching = 0, answered = 0;
  char line[256];
  while (fgets(line, sizeof line, file)) {
    int w = 0, h = 0, s = 0;
    unsigned code = 0;
    int ln = 0, l = 0, t = 0, r = 0, b = 0, blanks = 0;
    if (sscanf(line, "image %d %d", &w, &h) == 2) {
      if (answered) break;
      matching = (w == 0 && h == 0) || (w == image->width && h == image->height);
      answered = matching;
    } else if (matching && sscanf(line, "fail %d", &s) == 1) {
      status = s;
    } else if (matching && sscanf(line, "c %u %d %d %d %d %d %d", &code, &ln, &l, &t, &r, &b, &blanks) == 7) {
      if (n == capacity) {
        capacity = capacity ? capacity * 2 : 16;
        TvocrCharRecord* grown = realloc(block, sizeof(TvocrCharRecord) * (size_t)capacity);
        if (grown == NULL) {
          status = TVOCRPLUG_OUT_OF_MEMORY;
          break;
        }
        block = grown;
      }
      TvocrCharRecord* rec = &block[n++];
      memset(rec, 0, sizeof *rec);
      rec->code = code;
      rec->line = (int16_t)ln;
      rec->left = (int16_t)l, rec->top = (int16_t)t, rec->right = (int16_t)r, rec->bottom = (int16_t)b;
      rec->blanks = (int16_t)blanks;
      rec->confidence = 200;
    }
  }
  fclose(file);
  if (status != TVOCRPLUG_OK || n == 0) {
    free(block);
    return status;
  }
  *records = block;
  *count = n;
  return TVOCRPLUG_OK;
}

void tvocrplug_CLEAR(TvocrCharRecord* records) { free(records); }

void tvocrplug_REINIT(void) {}
