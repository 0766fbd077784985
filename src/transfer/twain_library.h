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
  // Capabilities, generic and named.
  int32_t (*GetCapNumbers)(int32_t, int32_t, double*, int32_t);
  int32_t (*GetCapString)(int32_t, int32_t, int32_t, char*, int32_t);
  int32_t (*GetCapRange)(int32_t, double*, double*, double*);
  int32_t (*GetCapItemType)(int32_t);
  int32_t (*SetCapOneValue)(int32_t, int32_t, double);
  int32_t (*SetCapOneValueS)(int32_t, int32_t, const char*);
  int32_t (*Reset)(int32_t);
  double (*GetBrightness)();
  int32_t (*SetBrightness)(double);
  double (*GetContrast)();
  int32_t (*SetContrast)(double);
  int32_t (*GetPaperSize)();
  int32_t (*SetPaperSize)(int32_t);
  double (*GetPhysicalWidth)();
  double (*GetPhysicalHeight)();
  int32_t (*SetImageLayout)(double, double, double, double);
  int32_t (*GetImageLayout)(double*, double*, double*, double*);
  int32_t (*ResetImageLayout)();
  int32_t (*EnableDuplex)(int32_t);
  int32_t (*GetDuplexMode)();
  int32_t (*SetAutoFeed)(int32_t);
  int32_t (*SetAutoScan)(int32_t);
  int32_t (*SetAutoBright)(int32_t);
  int32_t (*AutomaticBorderDetection)(int32_t);
  int32_t (*AutomaticDeskew)(int32_t);
  int32_t (*AutomaticRotate)(int32_t);
  // Session switches, batches, dialogs, barcodes.
  int32_t (*SetIndicators)(int32_t);
  int32_t (*SetShowError)(int32_t);
  int32_t (*SetDebugMode)(int32_t);
  int32_t (*StartLog)(const char*);
  int32_t (*StopLog)();
  int32_t (*RegisterApp)(int32_t, int32_t, int32_t, int32_t, const char*, const char*, const char*,
                         const char*);
  int32_t (*SetMultiTransfer)(int32_t);
  int32_t (*NegotiateXferCount)(int32_t);
  int32_t (*EndXfer)();
  int32_t (*AbortAllPendingXfers)();
  int32_t (*DisableSource)();
  int32_t (*AutoSourceClose)(int32_t);
  int32_t (*SetUIHooks)(const tvtwain_ui_hooks*);
  int32_t (*SelectImageSource)(intptr_t);
  int32_t (*SourceSetup)(intptr_t);
  int32_t (*BarCodeCount)();
  int32_t (*BarCodeValue)(int32_t, char*, int32_t);
  int32_t (*BarCodeType)(int32_t);
  int32_t (*BarCodeX)(int32_t);
  int32_t (*BarCodeY)(int32_t);
  int32_t (*BarCodeConfidence)(int32_t);
  int32_t (*BarCodeRotation)(int32_t);
};

// The library, or nullptr when it is absent, too old or lacks an export (CheckPlugin has then
// shown its message).
const TwainLibrary* Twain();

// A string answered by one of the library's buffer-filling exports.
std::string TwainString(int32_t (*fill)(char*, int32_t));

}  // namespace tessivo
