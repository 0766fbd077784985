// Windows metafiles made into images: the codec plug-in renders a placeable metafile at the
// size asked (its image library's metafile delegate does the drawing); the toolkit keeps the
// result as a 32bppARGB image.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "core/boundary.h"
#include "core/codec_bitmaps.h"
#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "core/platform_result.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// The plug-in takes the scale in thousandths; larger scales than this make no sensible image.
constexpr double kMaxScale = 1000.0;

// The bounding box of a placeable metafile's header (metafile units); false when too short.
bool PlaceableBounds(const std::string& path, int64_t& width, int64_t& height) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[14];
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return false;
  auto s16 = [&](int at) { return static_cast<int64_t>(static_cast<int16_t>(h[at] | h[at + 1] << 8)); };
  width = std::llabs(s16(10) - s16(6));
  height = std::llabs(s16(12) - s16(8));
  return true;
}

TessivoStatus RenderMetafile(const std::string& path, double scale, std::unique_ptr<platform::Bitmap>& out) {
  if (!std::isfinite(scale) || scale <= 0 || scale > kMaxScale) return InvalidParameter;
  const TvimgplugApi* codec = CodecPlugin();
  if (!codec) return Aborted;
  // Only placeable Windows metafiles are recognised; enhanced metafiles have no renderer here.
  if (codec->GetFileType(path.c_str()) != TVIMG_WMF) return UnknownImageFormat;
  const auto thousandths = static_cast<int32_t>(std::lround(scale * 1000));
  int64_t width = 0, height = 0;
  if (!PlaceableBounds(path, width, height)) return UnknownImageFormat;
  if (thousandths < 1 || std::lround(width * thousandths / 1000.0) < 1 ||
      std::lround(height * thousandths / 1000.0) < 1)
    return InvalidParameter;
  CodecBitmap rendered(*codec, codec->Load(TVIMG_WMF, path.c_str(), thousandths));
  // The plug-in refuses images beyond its decode limits and metafiles it cannot draw.
  if (!rendered) return UnknownImageFormat;
  std::unique_ptr<platform::Bitmap> pixels;
  TessivoStatus status = FromCodecBitmap(*codec, rendered.get(), pixels);
  if (status != OK) return status;
  platform::Status s = pixels->CloneArea(platform::Rect{0, 0, pixels->Width(), pixels->Height()},
                                         platform::kPixelFormat32bppARGB, out);
  if (s != platform::Status::Ok) return StatusOf(s);
  out->SetRawFormat(platform::RawFormat::MemoryBMP);
  return OK;
}

}  // namespace

int32_t cImaging::CreateImageFromMetaFile(const std::string& sFilePath, float nScaleBy) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&]() -> int32_t {
    const std::string path = NormalisePath(sFilePath);
    if (path.empty() || !IsReadableFile(path)) return st.Set(FileNotFound), 0;
    std::unique_ptr<platform::Bitmap> image;
    const TessivoStatus status = RenderMetafile(path, nScaleBy, image);
    if (status != OK) return st.Set(status), 0;
    int32_t id = 0;
    RegisterImage(id, std::move(image), "", "", OriginMemory);
    st.nativeImage = id;
    st.Set(OK);
    return id;
  });
}

}  // namespace tessivo
