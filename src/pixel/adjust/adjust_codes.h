// Filter-engine codes of the colour adjustments and analyses, and the parameters the public
// methods hand to them.
#pragma once
#include <cstdint>

namespace tessivo {

enum AdjustCode : int32_t {
  kAdjustBrightness = 14,
  kAdjustSwapChannels = 16,  // p = one of ChannelOrder
  kAdjustContrast = 17,
  kAdjustStretchContrast = 28,
  kAdjustSaturation = 30,
  kAdjustGamma = 31,
  kAdjustTransparency = 35,
  kAnalyseGrayscale = 36,
  kAdjustRGB = 39,  // d1 red, d2 green, d3 blue
  kAdjustKeepRed = 41,
  kAdjustKeepGreen = 42,
  kAdjustKeepBlue = 43,
  kAdjustRemoveRed = 44,
  kAdjustRemoveGreen = 45,
  kAdjustRemoveBlue = 46,
  kAdjustScaleRed = 47,
  kAdjustScaleGreen = 48,
  kAdjustScaleBlue = 49,
  kAdjustTransparencyColor = 50,  // d1 ARGB colour, d2 distance
  kAdjustSwapColor = 51,          // d1 source ARGB, d2 destination ARGB, d3 distance
  kAnalyseBlank = 53,             // p = 1 for a 1-bpp image
  kAdjustEqualizeIntensity = 58,
  kAnalyseBitonal = 59,
  kAnalyseCountColor = 60,  // p = ARGB colour
  kAnalyseAverageColor = 68,
};

// Where the channels go in a swap: named by the order of the result's red, green and blue.
enum ChannelOrder : int32_t {
  kOrderBRG = 1,  // red <- green, green <- blue, blue <- red
  kOrderGBR = 2,  // red <- blue, green <- red, blue <- green
  kOrderRBG = 3,  // green <-> blue
  kOrderBGR = 4,  // red <-> blue
  kOrderGRB = 5,  // red <-> green
};

}  // namespace tessivo
