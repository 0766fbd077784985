// What the searchable-PDF operations share: recognition of one registry image and the page
// that shows an image with its recognised words laid invisibly over it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/pdf_writer.h"
#include "tessivo/plugins/tvocrplug.h"
#include "tessivo/status.h"

namespace tessivo {

// The face of every searchable page's text layer. Monospaced, so the horizontal scaling that
// fits a word to its box is the same for every letter of it.
inline constexpr const char* kOcrLayerFace = "Courier New";

struct OcrOptions {
  int32_t dictionary;
  const std::string& dictionaryPath;
  const std::string& whiteList;
};

// Recognises the whole of image `imageId` (for a document, its selected page). InvalidParameter
// for an unknown image; otherwise the recognition's own status.
TessivoStatus RecognizeImage(int32_t imageId, const OcrOptions& options, std::vector<TvocrCharRecord>& records);

// Makes one page the size of writer image `imageNumber` at `resX` x `resY` dots per inch,
// showing the image, with the words of `records` over it in font `fontId`. Returns the page's
// text.
std::string MakeSearchablePage(cPDF& writer, int32_t imageNumber, double resX, double resY, int32_t fontId,
                               const std::vector<TvocrCharRecord>& records);
// The same at the resolution the writer recorded for the image.
std::string MakeSearchablePage(cPDF& writer, int32_t imageNumber, int32_t fontId,
                               const std::vector<TvocrCharRecord>& records);

}  // namespace tessivo
