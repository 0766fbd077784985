// Type library entries of the colour adjustments, analyses, histograms, remapping and keys.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Adjustments) {
  catalog.Method("SetBrightness", &cImaging::SetBrightness, "nBrightnessPct");
  catalog.Method("SetContrast", &cImaging::SetContrast, "nContrastPct");
  catalog.Method("SetGammaCorrection", &cImaging::SetGammaCorrection, "nGammaFactor");
  catalog.Method("SetSaturation", &cImaging::SetSaturation, "nSaturationPct");
  catalog.Method("SetTransparency", &cImaging::SetTransparency, "nTransparencyValue");
  catalog.Method("SetTransparencyColorEx", &cImaging::SetTransparencyColorEx, "nColorARGB, nThreshold");
  catalog.Method("SetTransparencyColor", &cImaging::SetTransparencyColor, "nColorARGB");
  catalog.Method("SwapColorEx", &cImaging::SwapColorEx, "nARGBColorSrc, nARGBColorDst, nThreshold");
  catalog.Method("SwapColor", &cImaging::SwapColor, "nARGBColorSrc, nARGBColorDst");
  catalog.Method("AdjustRGB", &cImaging::AdjustRGB, "nRedAdjust, nGreenAdjust, nBlueAdjust");
  catalog.Method("KeepRedComponent", &cImaging::KeepRedComponent);
  catalog.Method("KeepGreenComponent", &cImaging::KeepGreenComponent);
  catalog.Method("KeepBlueComponent", &cImaging::KeepBlueComponent);
  catalog.Method("RemoveRedComponent", &cImaging::RemoveRedComponent);
  catalog.Method("RemoveGreenComponent", &cImaging::RemoveGreenComponent);
  catalog.Method("RemoveBlueComponent", &cImaging::RemoveBlueComponent);
  catalog.Method("ScaleRedComponent", &cImaging::ScaleRedComponent, "nFactor");
  catalog.Method("ScaleGreenComponent", &cImaging::ScaleGreenComponent, "nFactor");
  catalog.Method("ScaleBlueComponent", &cImaging::ScaleBlueComponent, "nFactor");
  catalog.Method("SwapColorsRGBtoBRG", &cImaging::SwapColorsRGBtoBRG);
  catalog.Method("SwapColorsRGBtoGBR", &cImaging::SwapColorsRGBtoGBR);
  catalog.Method("SwapColorsRGBtoRBG", &cImaging::SwapColorsRGBtoRBG);
  catalog.Method("SwapColorsRGBtoBGR", &cImaging::SwapColorsRGBtoBGR);
  catalog.Method("SwapColorsRGBtoGRB", &cImaging::SwapColorsRGBtoGRB);
  catalog.Method("FxStretchContrast", &cImaging::FxStretchContrast);
  catalog.Method("FxEqualizeIntensity", &cImaging::FxEqualizeIntensity);
}

TESSIVO_CATALOG_FAMILY(Analyses) {
  catalog.Method("IsGrayscale", &cImaging::IsGrayscale);
  catalog.Method("IsBitonal", &cImaging::IsBitonal);
  catalog.Method("IsBlank", &cImaging::IsBlank, "nConfidence=99");
  catalog.Method("CountColor", &cImaging::CountColor, "nARGBColor");
  catalog.Method("GetAverageColor", &cImaging::GetAverageColor);
  catalog.Method("GetDistance", &cImaging::GetDistance, "nLeft1, nTop1, nLeft2, nTop2");
}

TESSIVO_CATALOG_FAMILY(Histograms) {
  catalog.Method("HistogramGetARGB", &cImaging::HistogramGetARGB, "&arHistoA, &arHistoR, &arHistoG, &arHistoB");
  catalog.Method("HistogramGetRed", &cImaging::HistogramGetRed, "&arHistoR");
  catalog.Method("HistogramGetGreen", &cImaging::HistogramGetGreen, "&arHistoG");
  catalog.Method("HistogramGetBlue", &cImaging::HistogramGetBlue, "&arHistoB");
  catalog.Method("HistogramGetAlpha", &cImaging::HistogramGetAlpha, "&arHistoA");
  catalog.Method("HistogramGet8Bpp", &cImaging::HistogramGet8Bpp, "&ArHistoPal");
}

TESSIVO_CATALOG_FAMILY(ColourRemap) {
  catalog.Method("SetColorRemap", &cImaging::SetColorRemap, "arRemapTable");
  catalog.Method("SetColorKey", &cImaging::SetColorKey, "nColorLow, nColorHigh");
}

}  // namespace tessivo::dispatch
