#include "transfer/twain_library.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "core/plugins.h"
#include "platform/plugin_library.h"

namespace tessivo {

namespace {

template <typename Fn>
bool Bind(const platform::PluginLibrary& library, const char* name, Fn& fn) {
  fn = library.Function<Fn>(name);
  return fn != nullptr;
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
         Bind(l, "TVTWAIN_FreeNative", t.FreeNative);
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
