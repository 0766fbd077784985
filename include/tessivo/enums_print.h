// Public enumerations of printing.
#pragma once
#include <cstdint>

namespace tessivo {

// Print quality: the four named levels, or any positive value as a resolution in dots per inch.
enum PrintQuality : int32_t {
  PrintQualityDraft = -1,
  PrintQualityLowResolution = -2,
  PrintQualityMediumResolution = -3,
  PrintQualityHightResolution = -4,
};

// The outcome of the last print job (PrintGetStat).
enum PrinterStatus : int32_t {
  PrinterOK = 0,
  PrinterErrorSelectingFrame = 2,
  PrinterGdiplusWriteError = 7,
  PrinterUnexpectedError = 10,
};

// Where an image is placed on the sheet: a vertical and a horizontal part. 3 means that the
// given position is used on both axes.
enum ViewerImageAlignment : int32_t {
  ImageAlignmentMiddleLeft = 0,
  ImageAlignmentMiddleRight = 1,
  ImageAlignmentMiddleCenter = 2,
  ImageAlignmentTopLeft = 4,
  ImageAlignmentTopRight = 5,
  ImageAlignmentTopCenter = 6,
  ImageAlignmentBottomLeft = 7,
  ImageAlignmentBottomRight = 8,
  ImageAlignmentBottomCenter = 9,
};

}  // namespace tessivo
