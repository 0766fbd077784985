#include "core/plugins.h"

#include "platform/host_services.h"
#include "platform/plugin_library.h"

namespace tessivo {

namespace {

const PluginInfo kPlugins[] = {
    {PluginKind::Codec, "tvimgplug", "tvimgplug_GetVersion", 0, "", ""},
    {PluginKind::Ocr, "tvocrplug.tesseract", "tvocrplug_GetVersion", 0, "", ""},
    {PluginKind::Twain, "tvtwain", "TVTWAIN_GetVersion", 630, "Can't found TVTWAIN.DLL file.",
     "Bad TVTWAIN.DLL version."},
    {PluginKind::Barcode1DReader, "tvbarcode.1dreader", "TVBARCODE1DREADER_GetVersion", 105,
     "Can't found tvbarcode.1dreader.dll file.", "Bad tvbarcode.1dreader.dll version."},
    {PluginKind::BarcodeDataMatrixReader, "tvbarcode.dmreader", "TVBARCODEDMREADER_GetVersion",
     100, "Can't found tvbarcode.dmreader.dll file.", "Bad tvbarcode.dmreader.dll version."},
};

void ShowError(const char* text) {
  platform::Host().ShowMessage("Error", text, platform::MessageIcon::Critical);
}

}  // namespace

const PluginInfo& PluginInfoFor(PluginKind kind) {
  for (const PluginInfo& info : kPlugins)
    if (info.kind == kind) return info;
  return kPlugins[0];
}

std::string PluginPathFor(PluginKind kind) {
  return platform::PluginPath(PluginInfoFor(kind).baseName);
}

bool CheckPlugin(PluginKind kind) {
  const PluginInfo& info = PluginInfoFor(kind);
  std::string path = PluginPathFor(kind);
  if (platform::VersionValue(platform::FileVersionString(path)) == 0) {
    if (*info.missingMessage) ShowError(info.missingMessage);
    return false;
  }
  if (info.minimumVersion > 0) {
    platform::PluginLibrary library(path);
    using VersionFn = int32_t (*)();
    auto version = library.Function<VersionFn>(info.versionExport);
    if (!version || version() < info.minimumVersion) {
      if (*info.tooOldMessage) ShowError(info.tooOldMessage);
      return false;
    }
  }
  return true;
}

}  // namespace tessivo
