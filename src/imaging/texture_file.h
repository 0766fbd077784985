// A texture read from an image file for one draw: loaded through the file pipeline into a
// registry entry of its own (the native image is not changed), and released with any page or
// temporary files when the object goes, on every path.
#pragma once
#include <string>

#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "platform/bitmap.h"

namespace tessivo {

class TextureFile {
 public:
  TextureFile() = default;
  ~TextureFile() {
    if (id_ != 0) ReleaseImageEntry(id_);
  }
  TextureFile(const TextureFile&) = delete;
  TextureFile& operator=(const TextureFile&) = delete;

  // The load status; on success Image() is the texture.
  TessivoStatus Load(const ImagingState& state, const std::string& path) {
    LoadOptions options;
    options.codecDisabled = state.disableCodecPlugin;
    // Read-only documents keep no page files of their own.
    options.tiffReadOnly = options.gifReadOnly = true;
    if (TessivoStatus s = LoadImageFile(path, options, id_); s != OK) return s;
    return ResolveImage(id_) != nullptr ? OK : GenericError;
  }
  const platform::Bitmap* Image() const { return ResolveImage(id_); }

 private:
  int32_t id_ = 0;
};

}  // namespace tessivo
