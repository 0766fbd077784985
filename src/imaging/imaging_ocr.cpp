// cImaging: text recognition of the native image through the OCR plug-in, and the characters of
// the last recognition served by number.
#include <string>
#include <vector>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "recognition/ocr/ocr_engine.h"
#include "recognition/ocr/ocr_text.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// A field of character `number`, or `neutral` outside 1 ... count; the status is left alone.
template <typename R, typename Field>
R Read(ImagingState& state, int32_t number, R neutral, Field field) {
  const TvocrCharRecord* record = state.ocr.Record(number);
  return record != nullptr ? static_cast<R>(field(*record)) : neutral;
}

int32_t Orientation(ImagingState& state, int32_t dictionary, const std::string& path, float accuracy) {
  return Guarded(state, int32_t{-1}, [&]() -> int32_t {
    if (state.nativeImage == 0) return -1;
    platform::Bitmap* image = ResolveImage(state.nativeImage);
    if (image == nullptr) return state.Set(InvalidParameter), -1;
    int32_t degrees = -1;
    state.Set(recognition::DetectPageOrientation(*image, dictionary, path, accuracy, degrees));
    return degrees;
  });
}

}  // namespace

std::string cImaging::OCRTesseractDoOCR(TesseractDictionary nDictionary, const std::string& sDictionaryPath,
                                        const std::string& sCharWhiteList) {
  ImagingState& state = State();
  return Guarded(state, std::string{}, [&]() -> std::string {
    if (state.nativeImage == 0) return {};
    // Whatever happens below, the characters of an earlier page are no answer for this one.
    state.ocr.Clear();
    platform::Bitmap* image = ResolveImage(state.nativeImage);
    if (image == nullptr) return state.Set(InvalidParameter), std::string{};
    std::vector<TvocrCharRecord> records;
    const TessivoStatus status = recognition::RecognizeCharacters(*image, state.pixel.roi.RecognitionArea(), nDictionary,
                                                                  sDictionaryPath, sCharWhiteList, records);
    state.Set(status);
    if (status != OK) return {};
    std::string text = recognition::OcrText(records);
    // The engine's mark for "no text" is not kept as a character.
    if (!text.empty()) state.ocr.Assign(std::move(records));
    return text;
  });
}

int32_t cImaging::OCRTesseractGetCharCount() { return State().ocr.Count(); }

int32_t cImaging::OCRTesseractGetCharCode(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.code; });
}

int32_t cImaging::OCRTesseractGetCharLine(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.line; });
}

int32_t cImaging::OCRTesseractGetCharLeft(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.left; });
}

int32_t cImaging::OCRTesseractGetCharRight(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.right; });
}

int32_t cImaging::OCRTesseractGetCharTop(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.top; });
}

int32_t cImaging::OCRTesseractGetCharBottom(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.bottom; });
}

int32_t cImaging::OCRTesseractGetCharSpaces(int32_t nCharNo) {
  return Read(State(), nCharNo, int32_t{0}, [](const TvocrCharRecord& r) { return r.blanks; });
}

float cImaging::OCRTesseractGetCharConfidence(int32_t nCharNo) {
  return Read(State(), nCharNo, 100.f, [](const TvocrCharRecord& r) { return r.confidence / 255.f * 100.f; });
}

int32_t cImaging::OCRTesseractGetOrientation(TesseractDictionary nDictionary, const std::string& sDictionaryPath) {
  return Orientation(State(), nDictionary, sDictionaryPath, 0.f);
}

int32_t cImaging::OCRTesseractGetOrientationEx(TesseractDictionary nDictionary, const std::string& sDictionaryPath,
                                               float nAccuracyLevel) {
  return Orientation(State(), nDictionary, sDictionaryPath, nAccuracyLevel);
}

void cImaging::OCRTesseractClear() { State().ocr.Clear(); }

}  // namespace tessivo
