// The tvtwain library as the toolkit reaches it: loaded once per process (its session is
// process-wide) after CheckPlugin(PluginKind::Twain), with every export resolved by name.
#pragma once
#include <cstdint>
#include <string>

#include "tessivo/plugins/tvtwain.h"

namespace tessivo {

struct TwainLibrary {
  int32_t (*IsAvailable)();
  int32_t (*State)();
  int32_t (*SetDSMPath)(const char*);
  int32_t (*OpenSourceManager)(intptr_t);
  int32_t (*CloseSourceManager)();
  int32_t (*UnloadSourceManager)();
  int32_t (*GetFirstSourceName)(char*, int32_t);
  int32_t (*GetNextSourceName)(char*, int32_t);
  int32_t (*GetDefaultSourceName)(char*, int32_t);
  int32_t (*GetCurrentSourceName)(char*, int32_t);
  int32_t (*OpenSource)(const char*);
  int32_t (*OpenDefaultSource)();
  int32_t (*CloseSource)();
  int32_t (*GetLastResultCode)();
  int32_t (*GetLastConditionCode)();
  int32_t (*UserClosedSource)();
  int32_t (*XferFail)();
  int32_t (*SetHideUI)(int32_t);
  int32_t (*GetHideUI)();
  int32_t (*SetTransferMechanism)(int32_t);
  int32_t (*GetPixelType)();
  int32_t (*SetCurrentPixelType)(int32_t);
  int32_t (*GetBitDepth)();
  int32_t (*SetBitDepth)(int32_t);
  double (*GetCurrentResolution)();
  int32_t (*SetCurrentResolution)(double);
  tvtwain_image* (*AcquireNative)(intptr_t);
  int32_t (*GetImageInfo)(const tvtwain_image*, tvtwain_image_info*);
  void (*FreeNative)(tvtwain_image*);
};

// The library, or nullptr when it is absent, too old or lacks an export (CheckPlugin has then
// shown its message).
const TwainLibrary* Twain();

// A string answered by one of the library's buffer-filling exports.
std::string TwainString(int32_t (*fill)(char*, int32_t));

}  // namespace tessivo
