// Numeric codes of the filter engine's routines. The codes of the colour adjustments and
// analyses (14, 16, 17, 28, 30, 31, 35, 36, 39, 41-51, 53, 58-60, 68) belong to the adjustment
// module, which registers its routines with the engine.
#pragma once
#include <cstdint>

namespace tessivo {

enum FilterCode : int32_t {
  kFilterSharpen = 1,
  kFilterNegative = 2,
  kFilterBlur = 3,
  kFilterDiffuse = 4,
  kFilterSmooth = 5,
  kFilterEdgeEnhance = 6,
  kFilterContour = 7,
  kFilterEmboss = 8,
  kFilterEmbossMore = 9,
  kFilterEngrave = 10,
  kFilterEngraveMore = 11,
  kFilterGrayscale = 12,
  kFilterRelief = 13,
  kFilterBrightness = 14,
  kFilterPixelize = 15,
  kFilterThreshold = 18,
  kFilterOrderedDither = 19,
  kFilterErrorDiffusion = 20,
  kFilterAqua = 24,
  kFilterDilate = 25,
  kFilterErode = 26,
  kFilterConnectedContour = 27,
  kFilterAddNoise = 29,
  kFilterScanLine = 32,
  kFilterSoften = 33,
  kFilterColorize = 34,
  kFilterHorizontalWaves = 37,
  kFilterVerticalWaves = 38,
  kFilterRedEyes = 40,
  kFilterPattern = 52,
  kFilterFire = 54,
  kFilterTwirl = 55,
  kFilterMirrorRounded = 56,
  kFilterSwirl = 57,
  kFilterDespeckle = 61,
  kFilterDilateBlack = 62,
  kFilterDespeckleMore = 63,
  kFilterParasite4 = 64,
  kFilterErodeBlack = 65,
  kFilterFillHole = 66,
  kFilterMarkTransparent = 67,
  kFilterRemoveLines = 69,
  kFilterParasite2x2 = 70,
};

}  // namespace tessivo
