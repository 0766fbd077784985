// The invisible text of a scanned page: recognised characters grouped into words and drawn,
// unseen, over the words of the page image, so that viewers can search, select and copy what
// the image shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tessivo/plugins/tvocrplug.h"

namespace tessivo {

class cPDF;

namespace pdf {

// How the page image lies on the page: its resolution (pixels per inch; 0 or less is taken
// as 72) and the page's height in points, the image filling the page from its lower left.
struct OcrPageGeometry {
  double resX = 72;
  double resY = 72;
  float pageHeight = 0;
};

// Draws the words of `records` (image pixels, rows from the top) in font `fontId` on the
// open page of `writer`, each in text render mode 3: its baseline on the word's bottom edge,
// its size the height of its line above the baseline and its advance stretched (Tz) to the word's width. A word
// begins at a new line and at a character with blanks before it. Returns the page's text:
// the words separated by one blank, each line ended by CR LF except the last, which keeps
// one blank at its end.
std::string DrawOcrTextLayer(cPDF& writer, int32_t fontId, const std::vector<TvocrCharRecord>& records,
                             const OcrPageGeometry& geometry);

// The text of `records` as read: CR LF where the line number changes, one blank before a
// character with blanks before it, then the character (UTF-8).
std::string OcrRecordsText(const std::vector<TvocrCharRecord>& records);

}  // namespace pdf
}  // namespace tessivo
