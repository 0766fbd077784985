// Type library entries of the drawing methods and their enumerations.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Draw) {
  catalog.Enum<SmoothingMode>({
      {"SmoothingModeDefault", SmoothingModeDefault},
      {"SmoothingModeHighSpeed", SmoothingModeHighSpeed},
      {"SmoothingModeHighQuality", SmoothingModeHighQuality},
      {"SmoothingModeNone", SmoothingModeNone},
      {"SmoothingModeAntiAlias", SmoothingModeAntiAlias},
  });
  catalog.Enum<FontStyle>({
      {"FontStyleRegular", FontStyleRegular},
      {"FontStyleBold", FontStyleBold},
      {"FontStyleItalic", FontStyleItalic},
      {"FontStyleBoldItalic", FontStyleBoldItalic},
      {"FontStyleUnderline", FontStyleUnderline},
      {"FontStyleStrikeout", FontStyleStrikeout},
  });
  catalog.Enum<UnitMode>({
      {"UnitWorld", UnitWorld},
      {"UnitDisplay", UnitDisplay},
      {"UnitPixel", UnitPixel},
      {"UnitPoint", UnitPoint},
      {"UnitInch", UnitInch},
      {"UnitDocument", UnitDocument},
      {"UnitMillimeter", UnitMillimeter},
  });
  catalog.Enum<FillMode>({
      {"FillModeAlternate", FillModeAlternate},
      {"FillModeWinding", FillModeWinding},
  });
  catalog.Enum<Operators>({
      {"OperatorAND", OperatorAND},
      {"OperatorOR", OperatorOR},
      {"OperatorXOR", OperatorXOR},
  });
  catalog.Method("DrawLine", &cImaging::DrawLine,
                 "nX1, nY1, nX2, nY2, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawLineArrow", &cImaging::DrawLineArrow,
                 "nX1, nY1, nX2, nY2, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawGradientLine", &cImaging::DrawGradientLine,
                 "nX1, nY1, nX2, nY2, nPenWidth, nStartColorARGB, nEndColorARGB, bAntiAlias=False");
  catalog.Method("DrawGradientCurves", &cImaging::DrawGradientCurves,
                 "arPoints, nPenWidth, nStartColorARGB, nEndColorARGB, bAntiAlias=False");
  catalog.Method("DrawGrid", &cImaging::DrawGrid,
                 "nLeft, nTop, nWidth, nHeight, nHorizontalStep, nVerticalStep, nPenWidth, nColorARGB=0xFF000000");
  catalog.Method("DrawArc", &cImaging::DrawArc,
                 "nLeft, nTop, nWidth, nHeight, nStartAngle, nSweepAngle, nPenWidth, nColorARGB=0xFF000000, "
                 "bAntiAlias=False");
  catalog.Method("DrawPie", &cImaging::DrawPie,
                 "nLeft, nTop, nWidth, nHeight, nStartAngle, nSweepAngle, nPenWidth, nColorARGB=0xFF000000, "
                 "bAntiAlias=False");
  catalog.Method("DrawFillPie", &cImaging::DrawFillPie,
                 "nLeft, nTop, nWidth, nHeight, nStartAngle, nSweepAngle, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawBezier", &cImaging::DrawBezier,
                 "nX1, nY1, nX2, nY2, nX3, nY3, nX4, nY4, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawCurves", &cImaging::DrawCurves, "arPoints, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawClosedCurves", &cImaging::DrawClosedCurves,
                 "arPoints, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawFillClosedCurves", &cImaging::DrawFillClosedCurves,
                 "arPoints, nTension, nFillMode, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawPolygon", &cImaging::DrawPolygon, "arPoints, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawFillPolygon", &cImaging::DrawFillPolygon,
                 "arPoints, nFillMode, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawRectangle", &cImaging::DrawRectangle,
                 "nLeft, nTop, nWidth, nHeight, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawFillRectangle", &cImaging::DrawFillRectangle,
                 "nLeft, nTop, nWidth, nHeight, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawRotatedRectangle", &cImaging::DrawRotatedRectangle,
                 "nLeft, nTop, nWidth, nHeight, nAngle, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawRotatedFillRectangle", &cImaging::DrawRotatedFillRectangle,
                 "nLeft, nTop, nWidth, nHeight, nAngle, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawRoundedRectangle", &cImaging::DrawRoundedRectangle,
                 "nLeft, nTop, nWidth, nHeight, nRadius, nPenWidth, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawFillRoundedRectangle", &cImaging::DrawFillRoundedRectangle,
                 "nLeft, nTop, nWidth, nHeight, nRadius, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawCircle", &cImaging::DrawCircle,
                 "nLeft, nTop, nDiameter, nColorARGB=0xFF000000, nPenWidth=1, bAntiAlias=False");
  catalog.Method("DrawFillCircle", &cImaging::DrawFillCircle,
                 "nLeft, nTop, nDiameter, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawEllipse", &cImaging::DrawEllipse,
                 "nLeft, nTop, nWidth, nHeight, nColorARGB=0xFF000000, nPenWidth=1, bAntiAlias=False");
  catalog.Method("DrawFillEllipse", &cImaging::DrawFillEllipse,
                 "nLeft, nTop, nWidth, nHeight, nColorARGB=0xFF000000, bAntiAlias=False");
  catalog.Method("DrawSpotLight", &cImaging::DrawSpotLight,
                 "nLeft, nTop, nRadiusX, nRadiusY, nHotX, nHotY, nStartColorARGB, nEndColorARGB, nFocusScale");
}

}  // namespace tessivo::dispatch
