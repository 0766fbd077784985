#include "core/codec_plugin.h"

#include "core/image_registry.h"
#include "core/plugins.h"
#include "platform/plugin_library.h"

namespace tessivo {
namespace {

struct ThreadCodec {
  bool probed = false;
  platform::PluginLibrary library;
  TvimgplugApi table;
  const TvimgplugApi* active = nullptr;
};

ThreadCodec& Current() {
  thread_local ThreadCodec codec;
  return codec;
}

// Registry entries holding codec bitmaps, documents, pages or files release them through these.
void InstallReleaseHooks() {
  EntryReleaser& releaser = ImageRegistry::Current().Releaser();
  releaser.unloadCodecBitmap = [](intptr_t handle, bool isDocument) {
    const TvimgplugApi* codec = Current().active;
    if (!codec) return;
    if (isDocument) codec->CloseMultiBitmap(reinterpret_cast<tvimg_multibitmap*>(handle), 0);
    else codec->Unload(reinterpret_cast<tvimg_bitmap*>(handle));
  };
  releaser.unlockCodecPage = [](intptr_t document, intptr_t page) {
    const TvimgplugApi* codec = Current().active;
    if (codec && document)
      codec->UnlockPage(reinterpret_cast<tvimg_multibitmap*>(document),
                        reinterpret_cast<tvimg_bitmap*>(page), 0);
  };
  releaser.closeCodecFile = [](intptr_t file) {
    const TvimgplugApi* codec = Current().active;
    if (codec) codec->CloseFile(reinterpret_cast<tvimg_file*>(file));
  };
}

// Loads the plug-in and resolves every entry point; false when any is missing or the plug-in
// is older than the toolkit needs.
bool Load(ThreadCodec& codec) {
  const std::string path = PluginPathFor(PluginKind::Codec);
  const std::string version = platform::FileVersionString(path);
  if (platform::VersionValue(version) == 0) return false;
  platform::PluginLibrary library(path);
  if (!library.Loaded()) return false;
  TvimgplugApi table;
  bool complete = true;
#define TESSIVO_TVIMGPLUG_RESOLVE(name, ret, params)                              \
  table.name = library.Function<ret(*) params>("tvimgplug_" #name);              \
  complete = complete && table.name != nullptr;
  TESSIVO_TVIMGPLUG_FUNCTIONS(TESSIVO_TVIMGPLUG_RESOLVE)
#undef TESSIVO_TVIMGPLUG_RESOLVE
  if (!complete || table.GetVersion() < TVIMGPLUG_MIN_VERSION) return false;
  codec.library = std::move(library);
  codec.table = table;
  codec.active = &codec.table;
  return true;
}

}  // namespace

const TvimgplugApi* CodecPlugin() {
  ThreadCodec& codec = Current();
  if (!codec.probed) {
    codec.probed = true;
    if (Load(codec)) InstallReleaseHooks();
  }
  return codec.active;
}

const TvimgplugApi* InstallCodecPlugin(const TvimgplugApi* api) {
  ThreadCodec& codec = Current();
  CodecPlugin();  // probe first, so that a later call does not replace what is installed here
  const TvimgplugApi* previous = codec.active;
  codec.active = api;
  if (api) InstallReleaseHooks();
  return previous;
}

}  // namespace tessivo
