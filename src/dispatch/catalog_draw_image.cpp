// Type library entries of the methods that draw images on the native image.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(DrawImage) {
  catalog.Method("DrawTexturedLine", &cImaging::DrawTexturedLine,
                 "nX1, nY1, nX2, nY2, nPenWidth, sTextureFilePath, bAntiAlias=False");
  catalog.Method("DrawImage", &cImaging::DrawImage,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nInterpolationMode=3");
  catalog.Method("DrawImageRect", &cImaging::DrawImageRect,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight, "
                 "nInterpolationMode=3");
  catalog.Method("DrawImageTransparency", &cImaging::DrawImageTransparency,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nTransparency, nInterpolationMode=3");
  catalog.Method("DrawImageTransparencyColor", &cImaging::DrawImageTransparencyColor,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nTransparentColorARGB, nInterpolationMode=3");
  catalog.Method("DrawImageTransparencyColorEx", &cImaging::DrawImageTransparencyColorEx,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nTransparentColorARGB, nThreshold, "
                 "nInterpolationMode=3");
  catalog.Method("DrawImageOP", &cImaging::DrawImageOP,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nOperator");
  catalog.Method("DrawImageOPRect", &cImaging::DrawImageOPRect,
                 "nSrcImageID, nDstLeft, nDstTop, nDstWidth, nDstHeight, nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight, "
                 "nOperator");
  catalog.Method("DrawImageClipped", &cImaging::DrawImageClipped, "nSrcImageID, arPoints, nInterpolationMode=3");
  catalog.Method("DrawImageSkewing", &cImaging::DrawImageSkewing,
                 "nSrcImageID, nX1, nY1, nX2, nY2, nX3, nY3, nInterpolationMode=3, bAntiAlias=False");
}

}  // namespace tessivo::dispatch
