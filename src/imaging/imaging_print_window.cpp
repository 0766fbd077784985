// The print dialogs owned by a window: the owner must be 0 or a live window; the dialog itself
// is the host's (platform/host_services.h), so the window only has to be checked.
#include "core/imaging_state.h"
#include "platform/win/gdi_objects.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

bool OwnerIsValid(cImaging& im, int32_t hwnd) {
  if (platform::win::WindowSurface(hwnd)) return true;
  im.State().Set(InvalidParameter);
  return false;
}

}  // namespace

bool cImaging::PrintImageDialogHWND(int32_t hwnd) { return OwnerIsValid(*this, hwnd) && PrintImageDialog(); }

bool cImaging::PrintImageDialogFitHWND(int32_t hwnd) {
  return OwnerIsValid(*this, hwnd) && PrintImageDialogFit();
}

bool cImaging::PrintImageDialogBySizeHWND(int32_t hwnd, float nDstLeft, float nDstTop, float nWidth,
                                          float nHeight) {
  return OwnerIsValid(*this, hwnd) && PrintImageDialogBySize(nDstLeft, nDstTop, nWidth, nHeight);
}

}  // namespace tessivo
