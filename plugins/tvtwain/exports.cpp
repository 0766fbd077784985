// The C exports: each takes the session lock and forwards to the session.
#include <cstdio>
#include <cstring>
#include <string>

#include "session.h"
#include "tessivo/plugins/plugin_abi.h"

#define TVTWAIN_EXPORT extern "C" __attribute__((visibility("default")))

using tvtwain::TheSession;

namespace {

using Lock = std::lock_guard<std::mutex>;

int32_t CopyOut(const std::string& text, char* out, int32_t capacity) {
  if (out && capacity > 0) {
    size_t n = std::min(text.size(), static_cast<size_t>(capacity) - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
}

}  // namespace

TVTWAIN_EXPORT const char* tv_plugin_file_version() { return "6.3.0.0"; }
TVTWAIN_EXPORT int32_t TVTWAIN_GetVersion() { return 630; }

TVTWAIN_EXPORT int32_t TVTWAIN_IsAvailable() {
  Lock lock(TheSession().mu);
  return TheSession().LibraryAvailable() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_State() {
  Lock lock(TheSession().mu);
  return TheSession().State();
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetDSMPath(const char* path) {
  Lock lock(TheSession().mu);
  return TheSession().SetLibraryPath(path ? path : "") ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_OpenSourceManager(intptr_t) {
  Lock lock(TheSession().mu);
  return TheSession().OpenManager() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_CloseSourceManager() {
  Lock lock(TheSession().mu);
  return TheSession().CloseManager() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_UnloadSourceManager() {
  Lock lock(TheSession().mu);
  return TheSession().Unload() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetFirstSourceName(char* out, int32_t capacity) {
  Lock lock(TheSession().mu);
  return CopyOut(TheSession().FirstSourceName(), out, capacity);
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetNextSourceName(char* out, int32_t capacity) {
  Lock lock(TheSession().mu);
  return CopyOut(TheSession().NextSourceName(), out, capacity);
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetDefaultSourceName(char* out, int32_t capacity) {
  Lock lock(TheSession().mu);
  return CopyOut(TheSession().DefaultSourceName(), out, capacity);
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetCurrentSourceName(char* out, int32_t capacity) {
  Lock lock(TheSession().mu);
  return CopyOut(TheSession().CurrentSourceName(), out, capacity);
}

TVTWAIN_EXPORT int32_t TVTWAIN_OpenSource(const char* name) {
  Lock lock(TheSession().mu);
  return TheSession().OpenSource(name ? name : "") ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_OpenDefaultSource() {
  Lock lock(TheSession().mu);
  return TheSession().OpenSource("") ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_CloseSource() {
  Lock lock(TheSession().mu);
  return TheSession().CloseSource() ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetLastResultCode() {
  Lock lock(TheSession().mu);
  return TheSession().ResultCode();
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetLastConditionCode() {
  Lock lock(TheSession().mu);
  return TheSession().ConditionCode();
}

TVTWAIN_EXPORT int32_t TVTWAIN_UserClosedSource() {
  Lock lock(TheSession().mu);
  return TheSession().userClosed ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_XferFail() {
  Lock lock(TheSession().mu);
  return TheSession().transferFailed ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetLastTransferMode() {
  Lock lock(TheSession().mu);
  return TheSession().lastTransferMode;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetHideUI(int32_t hide) {
  Lock lock(TheSession().mu);
  TheSession().hideUI = hide != 0;
  TheSession().Succeed();
  return 1;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetHideUI() {
  Lock lock(TheSession().mu);
  return TheSession().hideUI ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetTransferMechanism(int32_t mechanism) {
  Lock lock(TheSession().mu);
  return TheSession().SetMechanism(mechanism) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetTransferMechanism() {
  Lock lock(TheSession().mu);
  return TheSession().Mechanism();
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetPixelType() {
  Lock lock(TheSession().mu);
  return TheSession().PixelType();
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetCurrentPixelType(int32_t pixel_type) {
  Lock lock(TheSession().mu);
  return TheSession().SetPixelType(pixel_type) ? 1 : 0;
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetBitDepth() {
  Lock lock(TheSession().mu);
  return TheSession().BitDepth();
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetBitDepth(int32_t bits) {
  Lock lock(TheSession().mu);
  return TheSession().SetBitDepth(bits) ? 1 : 0;
}

TVTWAIN_EXPORT double TVTWAIN_GetCurrentResolution() {
  Lock lock(TheSession().mu);
  return TheSession().Resolution();
}

TVTWAIN_EXPORT int32_t TVTWAIN_SetCurrentResolution(double dpi) {
  Lock lock(TheSession().mu);
  return TheSession().SetResolution(dpi) ? 1 : 0;
}

TVTWAIN_EXPORT tvtwain_image* TVTWAIN_AcquireNative(intptr_t) {
  Lock lock(TheSession().mu);
  return TheSession().Acquire();
}

TVTWAIN_EXPORT int32_t TVTWAIN_GetImageInfo(const tvtwain_image* image, tvtwain_image_info* info) {
  if (!image || !info) return 0;
  *info = image->info;
  return 1;
}

TVTWAIN_EXPORT void TVTWAIN_FreeNative(tvtwain_image* image) {
  if (!image) return;
  {
    Lock lock(TheSession().mu);
    TheSession().KeepSpareBlock(std::move(image->pixels));
  }
  delete image;
}
