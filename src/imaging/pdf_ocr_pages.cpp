#include "imaging/pdf_ocr_pages.h"

#include "core/image_registry.h"
#include "imaging/pdf_conversion.h"
#include "pdf/ocr_text_layer.h"
#include "platform/bitmap.h"
#include "recognition/ocr/ocr_engine.h"

namespace tessivo {

TessivoStatus RecognizeImage(int32_t imageId, const OcrOptions& options, std::vector<TvocrCharRecord>& records) {
  records.clear();
  platform::Bitmap* image = imageId != 0 ? ResolveImage(imageId) : nullptr;
  if (image == nullptr) return InvalidParameter;
  return recognition::RecognizeCharacters(*image, ZoneRect{}, options.dictionary, options.dictionaryPath,
                                          options.whiteList, records);
}

std::string MakeSearchablePage(cPDF& writer, int32_t imageNumber, double resX, double resY, int32_t fontId,
                               const std::vector<TvocrCharRecord>& records) {
  const float width = PixelsToPoints(writer.ImageWidth(imageNumber), resX);
  const float height = PixelsToPoints(writer.ImageHeight(imageNumber), resY);
  writer.SetPaperWidth(width);
  writer.SetPaperHeight(height);
  writer.BeginPage();
  writer.DrawImg(imageNumber, 0, 0, width, height);
  std::string text = pdf::DrawOcrTextLayer(writer, fontId, records, {resX, resY, height});
  writer.EndPage();
  return text;
}

std::string MakeSearchablePage(cPDF& writer, int32_t imageNumber, int32_t fontId,
                               const std::vector<TvocrCharRecord>& records) {
  return MakeSearchablePage(writer, imageNumber, writer.ImageResX(imageNumber), writer.ImageResY(imageNumber),
                            fontId, records);
}

}  // namespace tessivo
