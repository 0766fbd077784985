// Type library entries of the colour values, pixel access, region of interest and filters.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(ColourValues) {
  catalog.Method("ColorRGBtoCMY", &cImaging::ColorRGBtoCMY,
                 "nRedValue, nGreenValue, nBlueValue, &nCyan, &nMagenta, &nYellow");
  catalog.Method("ColorRGBtoCMYK", &cImaging::ColorRGBtoCMYK,
                 "nRed, nGreen, nBlue, &nCyan, &nMagenta, &nYellow, &nBlack");
  catalog.Method("ColorCMYKtoRGB", &cImaging::ColorCMYKtoRGB,
                 "nCyan, nMagenta, nYellow, nBlack, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorCMYtoRGB", &cImaging::ColorCMYtoRGB, "nCyan, nMagenta, nYellow, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorRGBtoHSL", &cImaging::ColorRGBtoHSL,
                 "nRed, nGreen, nBlue, &nHue, &nSaturation, &nLightness");
  catalog.Method("ColorRGBtoHSLl", &cImaging::ColorRGBtoHSLl,
                 "nRed, nGreen, nBlue, &nHue, &nSaturation, &nLightness");
  catalog.Method("ColorHSLtoRGB", &cImaging::ColorHSLtoRGB,
                 "nHue, nSaturation, nLightness, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorHSLtoRGBl", &cImaging::ColorHSLtoRGBl,
                 "nHue, nSaturation, nLightness, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorGetRGBFromRGBValue", &cImaging::ColorGetRGBFromRGBValue,
                 "nRGBValue, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorGetRGBFromRGBValuel", &cImaging::ColorGetRGBFromRGBValuel,
                 "nRGBValue, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorGetARGBFromARGBValue", &cImaging::ColorGetARGBFromARGBValue,
                 "nARGBValue, &nAlpha, &nRed, &nGreen, &nBlue");
  catalog.Method("ColorGetARGBFromARGBValuel", &cImaging::ColorGetARGBFromARGBValuel,
                 "nARGBValue, &nAlpha, &nRed, &nGreen, &nBlue");
  catalog.Method("argb", &cImaging::argb, "nAlpha, nRed, nGreen, nBlue");
  catalog.Method("GetRGB", &cImaging::GetRGB, "nRed, nGreen, nBlue");
}

TESSIVO_CATALOG_FAMILY(PixelAccess) {
  catalog.Method("GetPixelArray1D", &cImaging::GetPixelArray1D, "&arPixels, nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("GetPixelArray2D", &cImaging::GetPixelArray2D, "&arPixels, nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("GetPixelArrayARGB", &cImaging::GetPixelArrayARGB, "&arBytes, nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("GetPixelArrayBytesARGB", &cImaging::GetPixelArrayBytesARGB,
                 "&arBytes, nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("GetPixelArrayBytesRGB", &cImaging::GetPixelArrayBytesRGB,
                 "&arBytes, nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("GetPixelArray8bpp1D", &cImaging::GetPixelArray8bpp1D,
                 "&arBytes, nSrcLeft, nSrcTop, nWidth, nHeight");
  catalog.Method("SetPixelArray", &cImaging::SetPixelArray, "&arPixels, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("SetPixelArrayARGB", &cImaging::SetPixelArrayARGB, "&arBytes, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("SetPixelArrayBytesARGB", &cImaging::SetPixelArrayBytesARGB,
                 "&arBytes, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("SetPixelArrayBytesRGB", &cImaging::SetPixelArrayBytesRGB,
                 "&arBytes, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("SetPixelArray8bpp1D", &cImaging::SetPixelArray8bpp1D,
                 "&arBytes, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("PixelGetColor", &cImaging::PixelGetColor, "nSrcLeft, nSrcTop");
  catalog.Method("PixelSetColor", &cImaging::PixelSetColor, "nDstLeft, nDstTop, nARGBColor");
  catalog.Method("GetImageStride", &cImaging::GetImageStride);
  catalog.Method("GetImageBits", &cImaging::GetImageBits);
  catalog.Method("SetROI", &cImaging::SetROI, "nLeft, nTop, nWidth, nHeight");
  catalog.Method("FiltersToZone", &cImaging::FiltersToZone, "nLeft, nTop, nWidth, nHeight");
  catalog.Method("ResetROI", &cImaging::ResetROI);
  catalog.Method("FiltersToImage", &cImaging::FiltersToImage);
}

TESSIVO_CATALOG_FAMILY(Filters) {
  catalog.Method("FxSharpen", &cImaging::FxSharpen);
  catalog.Method("FxSharpenMore", &cImaging::FxSharpenMore);
  catalog.Method("FxEdgeEnhance", &cImaging::FxEdgeEnhance);
  catalog.Method("FxBlur", &cImaging::FxBlur);
  catalog.Method("FxSmooth", &cImaging::FxSmooth);
  catalog.Method("FxSoften", &cImaging::FxSoften, "nSoftenValue");
  catalog.Method("FxRelief", &cImaging::FxRelief);
  catalog.Method("FxContour", &cImaging::FxContour);
  catalog.Method("FxEmboss", &cImaging::FxEmboss);
  catalog.Method("FxEmbossColor", &cImaging::FxEmbossColor, "nRGBColor");
  catalog.Method("FxEmbossMore", &cImaging::FxEmbossMore);
  catalog.Method("FxEmbossMoreColor", &cImaging::FxEmbossMoreColor, "nRGBColor");
  catalog.Method("FxEngrave", &cImaging::FxEngrave);
  catalog.Method("FxEngraveColor", &cImaging::FxEngraveColor, "nRGBColor");
  catalog.Method("FxEngraveMore", &cImaging::FxEngraveMore);
  catalog.Method("FxEngraveMoreColor", &cImaging::FxEngraveMoreColor, "nRGBColor");
  catalog.Method("FxDilate", &cImaging::FxDilate);
  catalog.Method("FxErode", &cImaging::FxErode);
  catalog.Method("FxConnectedContour", &cImaging::FxConnectedContour);
  catalog.Method("FxDespeckle", &cImaging::FxDespeckle);
  catalog.Method("FxDespeckleMore", &cImaging::FxDespeckleMore);
  catalog.Method("FxAqua", &cImaging::FxAqua);
  catalog.Method("FxNegative", &cImaging::FxNegative);
  catalog.Method("FxGrayscale", &cImaging::FxGrayscale);
  catalog.Method("FxSepia", &cImaging::FxSepia);
  catalog.Method("FxColorize", &cImaging::FxColorize, "nHue=0, nSaturation=50, nLuminosity=100");
  catalog.Method("FxFire", &cImaging::FxFire);
  catalog.Method("FxRedEyesCorrection", &cImaging::FxRedEyesCorrection);
  catalog.Method("FxScanLine", &cImaging::FxScanLine);
  catalog.Method("FxAddNoise", &cImaging::FxAddNoise);
  catalog.Method("FxDiffuse", &cImaging::FxDiffuse);
  catalog.Method("FxDiffuseMore", &cImaging::FxDiffuseMore);
  catalog.Method("FxPixelize", &cImaging::FxPixelize);
  catalog.Method("FxBlackNWhiteT", &cImaging::FxBlackNWhiteT, "nThreshold");
  catalog.Method("FxBlackNWhite", &cImaging::FxBlackNWhite, "nMode=1");
  catalog.Method("FxTwirl", &cImaging::FxTwirl, "nFactor");
  catalog.Method("FxSwirl", &cImaging::FxSwirl, "nFactor");
  catalog.Method("FxMirrorRounded", &cImaging::FxMirrorRounded);
  catalog.Method("FxhWaves", &cImaging::FxhWaves, "nWidthWave, nHeightWave");
  catalog.Method("FxvWaves", &cImaging::FxvWaves, "nWidthWave, nHeightWave");
  catalog.Method("FxParasite", &cImaging::FxParasite);
  catalog.Method("FxParasite4", &cImaging::FxParasite4);
  catalog.Method("FxParasite2x2", &cImaging::FxParasite2x2);
  catalog.Method("FxDilate8", &cImaging::FxDilate8);
  catalog.Method("FxDilate4", &cImaging::FxDilate4);
  catalog.Method("FxDilateV", &cImaging::FxDilateV);
  catalog.Method("FxErode4", &cImaging::FxErode4);
  catalog.Method("FxErode8", &cImaging::FxErode8);
  catalog.Method("FxFillHoleV", &cImaging::FxFillHoleV);
  catalog.Method("FxFillHoleH", &cImaging::FxFillHoleH);
  catalog.Method("FxRemoveLinesV", &cImaging::FxRemoveLinesV);
  catalog.Method("FxRemoveLinesV2", &cImaging::FxRemoveLinesV2);
  catalog.Method("FxRemoveLinesV3", &cImaging::FxRemoveLinesV3);
  catalog.Method("FxRemoveLinesH", &cImaging::FxRemoveLinesH);
  catalog.Method("FxRemoveLinesH2", &cImaging::FxRemoveLinesH2);
  catalog.Method("FxRemoveLinesH3", &cImaging::FxRemoveLinesH3);
  catalog.Method("MatrixCreate3x3x", &cImaging::MatrixCreate3x3x,
                 "n1PixelValue, n2PixelValue, n3PixelValue, n4PixelValue, n5PixelValue, n6PixelValue, "
                 "n7PixelValue, n8PixelValue, n9PixelValue");
  catalog.Method("MatrixFilter3x3x", &cImaging::MatrixFilter3x3x, "nMatrix3x3xIN, nMatrix3x3xOUT");
  catalog.Method("FloodFill", &cImaging::FloodFill, "nXStart, nYStart, nARGBColor");
}

}  // namespace tessivo::dispatch
