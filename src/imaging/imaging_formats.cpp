// The toolkit's own file writers as cImaging methods: interlaced GIF89a and raw PNM.
#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "formats/gif_save.h"
#include "formats/pnm_save.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// Saves the native image with `save`; no native image: GenericError; an ID that names no image:
// InvalidParameter.
template <typename Save>
TessivoStatus SaveNative(ImagingState& st, const std::string& path, Save save) {
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter);
    return st.Set(save(*image, path));
  });
}

}  // namespace

TessivoStatus cImaging::SaveAsGIFi(const std::string& sFilePath) {
  return SaveNative(*state_, sFilePath, SaveBitmapAsGIFi);
}

TessivoStatus cImaging::SaveAsPNM(const std::string& sFilePath) {
  return SaveNative(*state_, sFilePath, SaveBitmapAsPNM);
}

}  // namespace tessivo
