// Type library entries of the pixel format conversion and palette methods.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Convert) {
  catalog.Enum<ColorPaletteType>({
      {"ColorPaletteTypeUndefined", ColorPaletteTypeUndefined},
      {"ColorPaletteTypeHasAlpha", ColorPaletteTypeHasAlpha},
      {"ColorPaletteTypeGrayScale", ColorPaletteTypeGrayScale},
      {"ColorPaletteTypeHalfTone", ColorPaletteTypeHalfTone},
  });
  catalog.Method("ConvertTo16BppRGB555", &cImaging::ConvertTo16BppRGB555);
  catalog.Method("ConvertTo16BppRGB565", &cImaging::ConvertTo16BppRGB565);
  catalog.Method("ConvertTo24BppRGB", &cImaging::ConvertTo24BppRGB);
  catalog.Method("ConvertTo32BppARGB", &cImaging::ConvertTo32BppARGB);
  catalog.Method("ConvertTo32BppPARGB", &cImaging::ConvertTo32BppPARGB);
  catalog.Method("ConvertTo32BppRGB", &cImaging::ConvertTo32BppRGB);
  catalog.Method("ConvertTo48BppRGB", &cImaging::ConvertTo48BppRGB);
  catalog.Method("ConvertTo64BppARGB", &cImaging::ConvertTo64BppARGB);
  catalog.Method("ConvertTo4Bpp", &cImaging::ConvertTo4Bpp);
  catalog.Method("ConvertToPixelFormatCR", &cImaging::ConvertToPixelFormatCR, "nPixelDepth");
  catalog.Method("ConvertTo1Bpp", &cImaging::ConvertTo1Bpp);
  catalog.Method("ConvertTo1BppFast", &cImaging::ConvertTo1BppFast);
  catalog.Method("ConvertTo4Bpp16", &cImaging::ConvertTo4Bpp16);
  catalog.Method("ConvertTo4BppPal", &cImaging::ConvertTo4BppPal, "nARGBColorsArray");
  catalog.Method("ConvertTo4BppQ", &cImaging::ConvertTo4BppQ);
  catalog.Method("ConvertTo8BppGrayScale", &cImaging::ConvertTo8BppGrayScale);
  catalog.Method("ConvertTo8BppGrayScaleAdv", &cImaging::ConvertTo8BppGrayScaleAdv);
  catalog.Method("ConvertBitonalToGrayScale", &cImaging::ConvertBitonalToGrayScale,
                 "nSoftenValue=100");
  catalog.Method("ConvertTo8Bpp216", &cImaging::ConvertTo8Bpp216);
  catalog.Method("ConvertTo8BppQ", &cImaging::ConvertTo8BppQ);
  catalog.Method("Quantize8Bpp", &cImaging::Quantize8Bpp, "nColors");
  catalog.Method("ColorPaletteGet", &cImaging::ColorPaletteGet, "&arPalette, &nCount");
  catalog.Method("ColorPaletteSet", &cImaging::ColorPaletteSet, "arPalette");
  catalog.Method("ColorPaletteGetType", &cImaging::ColorPaletteGetType);
  catalog.Method("ColorPaletteGetColorsCount", &cImaging::ColorPaletteGetColorsCount);
  catalog.Method("ColorPaletteGetEntrie", &cImaging::ColorPaletteGetEntrie, "nEntrie");
  catalog.Method("ColorPaletteSwapEntries", &cImaging::ColorPaletteSwapEntries, "nEntrie1, nEntrie2");
  catalog.Method("ColorPaletteConvertToHalftone", &cImaging::ColorPaletteConvertToHalftone);
  catalog.Method("ColorPaletteSetTransparentColor", &cImaging::ColorPaletteSetTransparentColor,
                 "nColorARGB=0xFF000000");
  catalog.Method("ColorPaletteGetTransparentColor", &cImaging::ColorPaletteGetTransparentColor);
  catalog.Method("ColorPaletteHasTransparentColor", &cImaging::ColorPaletteHasTransparentColor);
}

}  // namespace tessivo::dispatch
