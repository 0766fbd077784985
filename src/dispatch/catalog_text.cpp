// Type library entries of the text methods and the installed fonts.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Text) {
  catalog.Method("FontSetUnit", &cImaging::FontSetUnit, "nUnit");
  catalog.Method("FontGetUnit", &cImaging::FontGetUnit);
  catalog.Method("FontGetCount", &cImaging::FontGetCount);
  catalog.Method("FontGetName", &cImaging::FontGetName, "nIndex");
  catalog.Method("FontIsStyleAvailable", &cImaging::FontIsStyleAvailable, "sFontName, nStyle");
  catalog.Method("DrawText", &cImaging::DrawText,
                 "sText, nLeft, nTop, nFontSize, nColorARGB=0xFF000000, sFontName=\"Arial\", "
                 "nFontStyle=FontStyleRegular, bAntiAlias=False");
  catalog.Method("DrawTextBackColor", &cImaging::DrawTextBackColor,
                 "sText, nLeft, nTop, nFontSize, nColorARGB=0xFF000000, nBackColorARGB=-1, sFontName=\"Arial\", "
                 "nFontStyle=FontStyleRegular, bAntiAlias=False");
  catalog.Method("DrawRotatedText", &cImaging::DrawRotatedText,
                 "sText, nLeft, nTop, nFontSize, nAngle, nColorARGB=0xFF000000, sFontName=\"Arial\", "
                 "nFontStyle=FontStyleRegular, bAntiAlias=False");
  catalog.Method("DrawRotatedTextBackColor", &cImaging::DrawRotatedTextBackColor,
                 "sText, nLeft, nTop, nFontSize, nAngle, nColorARGB=0xFF000000, nBackColorARGB=-1, "
                 "sFontName=\"Arial\", nFontStyle=FontStyleRegular, bAntiAlias=False");
  catalog.Method("DrawTextGradient", &cImaging::DrawTextGradient,
                 "sText, nLeft, nTop, nFontSize, nStartColorARGB, nEndColorARGB, sFontName=\"Arial\", "
                 "nFontStyle=FontStyleRegular, bAntiAlias=False");
  catalog.Method("DrawTextTexture", &cImaging::DrawTextTexture,
                 "sText, nLeft, nTop, nFontSize, sTextureFilePath, sFontName=\"Arial\", nFontStyle=FontStyleRegular, "
                 "bAntiAlias=False");
  catalog.Method("DrawTextTextureFromTessivoImage", &cImaging::DrawTextTextureFromTessivoImage,
                 "sText, nLeft, nTop, nFontSize, nTextureImageID, sFontName=\"Arial\", "
                 "nFontStyle=FontStyleRegular, bAntiAlias=False");
  catalog.Method("DrawTextBox", &cImaging::DrawTextBox,
                 "sText, nLeft, nTop, nWidth, nHeight, nFontSize, nColorARGB=0xFF000000, sFontName=\"Arial\", "
                 "nFontStyle=FontStyleRegular, nAlignment=1, bBox=False, bAntiAlias=False");
}

}  // namespace tessivo::dispatch
