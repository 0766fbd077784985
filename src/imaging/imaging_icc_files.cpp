// Colour profiles of image files, changed in place through the codec plug-in.
#include "core/boundary.h"
#include "core/codec_plugin.h"
#include "core/load_pipeline.h"
#include "tessivo/imaging.h"

#include <sys/stat.h>

namespace tessivo {
namespace {

bool IsNonEmptyFile(const std::string& path) {
  struct stat st {};
  return IsReadableFile(path) && ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

}  // namespace

TessivoStatus cImaging::ICCRemoveProfileToFile(const std::string& sFilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const TvimgplugApi* codec = CodecPlugin();
    if (!codec) return st.Set(TvimgplugDllRequired);
    const std::string path = NormalisePath(sFilePath);
    if (path.empty() || !IsReadableFile(path)) return st.Set(FileNotFound);
    return st.Set(codec->RemoveIccProfileFromFile(path.c_str()) ? OK : GenericError);
  });
}

TessivoStatus cImaging::ICCAddProfileToFile(const std::string& sImagePath,
                                            const std::string& sProfilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const TvimgplugApi* codec = CodecPlugin();
    if (!codec) return st.Set(TvimgplugDllRequired);
    const std::string image = NormalisePath(sImagePath);
    const std::string profile = NormalisePath(sProfilePath);
    if (image.empty() || !IsReadableFile(image) || !IsNonEmptyFile(profile))
      return st.Set(FileNotFound);
    return st.Set(codec->AddIccProfileToFile(image.c_str(), profile.c_str()) ? OK : GenericError);
  });
}

}  // namespace tessivo
