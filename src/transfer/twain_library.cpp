#include "transfer/twain_library.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

#include "core/plugins.h"
#include "platform/host_services.h"
#include "platform/plugin_library.h"

namespace tessivo {

namespace {

template <typename Fn>
bool Bind(const platform::PluginLibrary& library, const char* name, Fn& fn) {
  fn = library.Function<Fn>(name);
  return fn != nullptr;
}

bool BindCapabilities(const platform::PluginLibrary& l, TwainLibrary& t) {
  return Bind(l, "TVTWAIN_GetCapNumbers", t.GetCapNumbers) &&
         Bind(l, "TVTWAIN_GetCapString", t.GetCapString) &&
         Bind(l, "TVTWAIN_GetCapRange", t.GetCapRange) &&
         Bind(l, "TVTWAIN_GetCapItemType", t.GetCapItemType) &&
         Bind(l, "TVTWAIN_SetCapOneValue", t.SetCapOneValue) &&
         Bind(l, "TVTWAIN_SetCapOneValueS", t.SetCapOneValueS) &&
         Bind(l, "TVTWAIN_Reset", t.Reset) &&
         Bind(l, "TVTWAIN_GetBrightness", t.GetBrightness) &&
         Bind(l, "TVTWAIN_SetBrightness", t.SetBrightness) &&
         Bind(l, "TVTWAIN_GetContrast", t.GetContrast) &&
         Bind(l, "TVTWAIN_SetContrast", t.SetContrast) &&
         Bind(l, "TVTWAIN_GetPaperSize", t.GetPaperSize) &&
         Bind(l, "TVTWAIN_SetPaperSize", t.SetPaperSize) &&
         Bind(l, "TVTWAIN_GetPhysicalWidth", t.GetPhysicalWidth) &&
         Bind(l, "TVTWAIN_GetPhysicalHeight", t.GetPhysicalHeight) &&
         Bind(l, "TVTWAIN_SetImageLayout", t.SetImageLayout) &&
         Bind(l, "TVTWAIN_GetImageLayout", t.GetImageLayout) &&
         Bind(l, "TVTWAIN_ResetImageLayout", t.ResetImageLayout) &&
         Bind(l, "TVTWAIN_EnableDuplex", t.EnableDuplex) &&
         Bind(l, "TVTWAIN_GetDuplexMode", t.GetDuplexMode) &&
         Bind(l, "TVTWAIN_SetAutoFeed", t.SetAutoFeed) &&
         Bind(l, "TVTWAIN_SetAutoScan", t.SetAutoScan) &&
         Bind(l, "TVTWAIN_SetAutoBright", t.SetAutoBright) &&
         Bind(l, "TVTWAIN_AutomaticBorderDetection", t.AutomaticBorderDetection) &&
         Bind(l, "TVTWAIN_AutomaticDeskew", t.AutomaticDeskew) &&
         Bind(l, "TVTWAIN_AutomaticRotate", t.AutomaticRotate) &&
         Bind(l, "TVTWAIN_SetIndicators", t.SetIndicators) &&
         Bind(l, "TVTWAIN_SetShowError", t.SetShowError) &&
         Bind(l, "TVTWAIN_SetDebugMode", t.SetDebugMode) &&
         Bind(l, "TVTWAIN_StartLog", t.StartLog) &&
         Bind(l, "TVTWAIN_StopLog", t.StopLog) &&
         Bind(l, "TVTWAIN_RegisterApp", t.RegisterApp) &&
         Bind(l, "TVTWAIN_SetMultiTransfer", t.SetMultiTransfer) &&
         Bind(l, "TVTWAIN_NegotiateXferCount", t.NegotiateXferCount) &&
         Bind(l, "TVTWAIN_EndXfer", t.EndXfer) &&
         Bind(l, "TVTWAIN_AbortAllPendingXfers", t.AbortAllPendingXfers) &&
         Bind(l, "TVTWAIN_DisableSource", t.DisableSource) &&
         Bind(l, "TVTWAIN_AutoSourceClose", t.AutoSourceClose) &&
         Bind(l, "TVTWAIN_SetUIHooks", t.SetUIHooks) &&
         Bind(l, "TVTWAIN_SelectImageSource", t.SelectImageSource) &&
         Bind(l, "TVTWAIN_SourceSetup", t.SourceSetup) &&
         Bind(l, "TVTWAIN_BarCodeCount", t.BarCodeCount) &&
         Bind(l, "TVTWAIN_BarCodeValue", t.BarCodeValue) &&
         Bind(l, "TVTWAIN_BarCodeType", t.BarCodeType) &&
         Bind(l, "TVTWAIN_BarCodeX", t.BarCodeX) &&
         Bind(l, "TVTWAIN_BarCodeY", t.BarCodeY) &&
         Bind(l, "TVTWAIN_BarCodeConfidence", t.BarCodeConfidence) &&
         Bind(l, "TVTWAIN_BarCodeRotation", t.BarCodeRotation);
}

bool BindAll(const platform::PluginLibrary& l, TwainLibrary& t) {
  return Bind(l, "TVTWAIN_IsAvailable", t.IsAvailable) && Bind(l, "TVTWAIN_State", t.State) &&
         Bind(l, "TVTWAIN_SetDSMPath", t.SetDSMPath) &&
         Bind(l, "TVTWAIN_OpenSourceManager", t.OpenSourceManager) &&
         Bind(l, "TVTWAIN_CloseSourceManager", t.CloseSourceManager) &&
         Bind(l, "TVTWAIN_UnloadSourceManager", t.UnloadSourceManager) &&
         Bind(l, "TVTWAIN_GetFirstSourceName", t.GetFirstSourceName) &&
         Bind(l, "TVTWAIN_GetNextSourceName", t.GetNextSourceName) &&
         Bind(l, "TVTWAIN_GetDefaultSourceName", t.GetDefaultSourceName) &&
         Bind(l, "TVTWAIN_GetCurrentSourceName", t.GetCurrentSourceName) &&
         Bind(l, "TVTWAIN_OpenSource", t.OpenSource) &&
         Bind(l, "TVTWAIN_OpenDefaultSource", t.OpenDefaultSource) &&
         Bind(l, "TVTWAIN_CloseSource", t.CloseSource) &&
         Bind(l, "TVTWAIN_GetLastResultCode", t.GetLastResultCode) &&
         Bind(l, "TVTWAIN_GetLastConditionCode", t.GetLastConditionCode) &&
         Bind(l, "TVTWAIN_UserClosedSource", t.UserClosedSource) &&
         Bind(l, "TVTWAIN_XferFail", t.XferFail) && Bind(l, "TVTWAIN_SetHideUI", t.SetHideUI) &&
         Bind(l, "TVTWAIN_GetHideUI", t.GetHideUI) &&
         Bind(l, "TVTWAIN_SetTransferMechanism", t.SetTransferMechanism) &&
         Bind(l, "TVTWAIN_GetPixelType", t.GetPixelType) &&
         Bind(l, "TVTWAIN_SetCurrentPixelType", t.SetCurrentPixelType) &&
         Bind(l, "TVTWAIN_GetBitDepth", t.GetBitDepth) &&
         Bind(l, "TVTWAIN_SetBitDepth", t.SetBitDepth) &&
         Bind(l, "TVTWAIN_GetCurrentResolution", t.GetCurrentResolution) &&
         Bind(l, "TVTWAIN_SetCurrentResolution", t.SetCurrentResolution) &&
         Bind(l, "TVTWAIN_AcquireNative", t.AcquireNative) &&
         Bind(l, "TVTWAIN_GetImageInfo", t.GetImageInfo) &&
         Bind(l, "TVTWAIN_FreeNative", t.FreeNative) && BindCapabilities(l, t);
}

// The library's dialogs, shown by the host. They run under the library's lock, so they must not
// call back into it; nothing may unwind through the library's C frames.
int32_t SelectThroughHost(void*, const char* const* names, int32_t count, int32_t* chosen) {
  try {
    std::vector<std::string> sources;
    for (int32_t i = 0; i < count; ++i) sources.emplace_back(names[i] ? names[i] : "");
    const std::optional<int32_t> choice = platform::Host().SelectScanSource(sources);
    if (!choice || *choice < 0 || *choice >= count) return 0;
    *chosen = *choice;
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t SetupThroughHost(void*, const char* name) {
  try {
    return platform::Host().ScanSourceSetup(name ? name : "") ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace

const TwainLibrary* Twain() {
  if (!CheckPlugin(PluginKind::Twain)) return nullptr;
  // The library keeps the scanning session: once loaded it stays for the process.
  static std::mutex mu;
  static platform::PluginLibrary* library = nullptr;
  static TwainLibrary table{};
  std::lock_guard<std::mutex> lock(mu);
  if (!library) {
    auto* loaded = new platform::PluginLibrary(PluginPathFor(PluginKind::Twain));
    TwainLibrary bound{};
    if (!loaded->Loaded() || !BindAll(*loaded, bound)) {
      delete loaded;
      return nullptr;
    }
    table = bound;
    library = loaded;
    static const tvtwain_ui_hooks hooks{nullptr, SelectThroughHost, SetupThroughHost};
    table.SetUIHooks(&hooks);
  }
  return &table;
}

std::string TwainString(int32_t (*fill)(char*, int32_t)) {
  std::vector<char> buffer(256);
  int32_t n = fill(buffer.data(), static_cast<int32_t>(buffer.size()));
  if (n >= static_cast<int32_t>(buffer.size())) {
    buffer.resize(static_cast<size_t>(n) + 1);
    n = fill(buffer.data(), static_cast<int32_t>(buffer.size()));
  }
  if (n <= 0) return {};
  return std::string(buffer.data(), std::min<size_t>(static_cast<size_t>(n), buffer.size() - 1));
}

}  // namespace tessivo
