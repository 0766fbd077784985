// Type library entries of display on device contexts and windows, window-system handles and
// the clipboard.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Handles) {
  catalog.Method("DisplayImageOnHDC", &cImaging::DisplayImageOnHDC,
                 "hdc, nLeft, nTop, nWidth, nHeight, nInterpolation=3");
  catalog.Method("DisplayImageOnHwnd", &cImaging::DisplayImageOnHwnd,
                 "hwnd, nLeft, nTop, nWidth, nHeight, nInterpolation=3");
  catalog.Method("DisplayImageRectOnHDC", &cImaging::DisplayImageRectOnHDC,
                 "hdc, nDstLeft, nDstTop, nDstWidth, nDstHeight, nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight, "
                 "nInterpolation=3");
  catalog.Method("DisplayImageRectOnHwnd", &cImaging::DisplayImageRectOnHwnd,
                 "hwnd, nDstLeft, nDstTop, nDstWidth, nDstHeight, nSrcLeft, nSrcTop, nSrcWidth, nSrcHeight, "
                 "nInterpolation=3");
  catalog.Method("GifDisplayAnimatedGif", &cImaging::GifDisplayAnimatedGif, "hdc, nLeft, nTop, nWidth, nHeight");
  catalog.Method("GetTessivoImageDC", &cImaging::GetTessivoImageDC, "nImageID");
  catalog.Method("ReleaseTessivoImageDC", &cImaging::ReleaseTessivoImageDC, "hdc");

  catalog.Method("CreateImageFromHBitmap", &cImaging::CreateImageFromHBitmap, "hBitmap");
  catalog.Method("CreateImageFromHICON", &cImaging::CreateImageFromHICON, "hIcon");
  catalog.Method("CreateImageFromHwnd", &cImaging::CreateImageFromHwnd, "hwnd=0");
  catalog.Method("CreateImageFromDIB", &cImaging::CreateImageFromDIB, "hDib");
  catalog.Method("CreateImageFromPicture", &cImaging::CreateImageFromPicture, "oPicture");
  catalog.Method("CreateImageFromClipboard", &cImaging::CreateImageFromClipboard);
  catalog.Method("CreateImageFromMetaFile", &cImaging::CreateImageFromMetaFile, "sFilePath, nScaleBy=1.0");

  catalog.Method("GetHBitmap", &cImaging::GetHBitmap);
  catalog.Method("GetPicture", &cImaging::GetPicture);
  catalog.Method("GetPictureFromTessivoImage", &cImaging::GetPictureFromTessivoImage, "nImageID");
  catalog.Method("GetDib", &cImaging::GetDib);
  catalog.Method("GetGdiplusImage", &cImaging::GetGdiplusImage);
  catalog.Method("GetHICON", &cImaging::GetHICON);
  catalog.Method("GetDesktopHwnd", &cImaging::GetDesktopHwnd);
  catalog.Method("DeleteHBitmap", &cImaging::DeleteHBitmap, "hBitmap");
  catalog.Method("DeleteHICON", &cImaging::DeleteHICON, "hIcon");
  catalog.Method("DeletePictureObject", &cImaging::DeletePictureObject, "oPicture");
  catalog.Method("RemoveDib", &cImaging::RemoveDib, "hDib");
  catalog.Method("SupportFunc", &cImaging::SupportFunc,
                 R"(nSupportID, &dValue1=0, &dValue2=0, &dValue3=0, &nValue1=0, &nValue2=0, &nValue3=0, &sValue1="", &sValue2="", &sValue3="")");

  catalog.Method("CopyToClipboard", &cImaging::CopyToClipboard);
  catalog.Method("CopyRegionToClipboard", &cImaging::CopyRegionToClipboard, "nLeft, nTop, nWidth, nHeight");
  catalog.Method("DeleteClipboardData", &cImaging::DeleteClipboardData);

  catalog.Method("PrintImageDialogHWND", &cImaging::PrintImageDialogHWND, "hwnd");
  catalog.Method("PrintImageDialogFitHWND", &cImaging::PrintImageDialogFitHWND, "hwnd");
  catalog.Method("PrintImageDialogBySizeHWND", &cImaging::PrintImageDialogBySizeHWND,
                 "hwnd, nDstLeft, nDstTop, nWidth, nHeight");
  catalog.Method("TwainAcquireToDib", &cImaging::TwainAcquireToDib, "hwnd=0");
}

}  // namespace tessivo::dispatch
