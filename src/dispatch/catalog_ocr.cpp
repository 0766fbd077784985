// Type library entries of text recognition (the OCR plug-in).
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Ocr) {
  catalog.Method("OCRTesseractDoOCR", &cImaging::OCRTesseractDoOCR,
                 "nDictionary, sDictionaryPath, sCharWhiteList=\"\"");
  catalog.Method("OCRTesseractGetCharCount", &cImaging::OCRTesseractGetCharCount);
  catalog.Method("OCRTesseractGetCharCode", &cImaging::OCRTesseractGetCharCode, "nCharNo");
  catalog.Method("OCRTesseractGetCharLine", &cImaging::OCRTesseractGetCharLine, "nCharNo");
  catalog.Method("OCRTesseractGetCharLeft", &cImaging::OCRTesseractGetCharLeft, "nCharNo");
  catalog.Method("OCRTesseractGetCharRight", &cImaging::OCRTesseractGetCharRight, "nCharNo");
  catalog.Method("OCRTesseractGetCharTop", &cImaging::OCRTesseractGetCharTop, "nCharNo");
  catalog.Method("OCRTesseractGetCharBottom", &cImaging::OCRTesseractGetCharBottom, "nCharNo");
  catalog.Method("OCRTesseractGetCharSpaces", &cImaging::OCRTesseractGetCharSpaces, "nCharNo");
  catalog.Method("OCRTesseractGetCharConfidence", &cImaging::OCRTesseractGetCharConfidence, "nCharNo");
  catalog.Method("OCRTesseractGetOrientation", &cImaging::OCRTesseractGetOrientation,
                 "nDictionary, sDictionaryPath");
  catalog.Method("OCRTesseractGetOrientationEx", &cImaging::OCRTesseractGetOrientationEx,
                 "nDictionary, sDictionaryPath, nAccuracyLevel");
  catalog.Method("OCRTesseractClear", &cImaging::OCRTesseractClear);
}

}  // namespace tessivo::dispatch
