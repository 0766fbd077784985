// The codec plug-in (tvimgplug) as the toolkit sees it: a table of the plug-in's entry points,
// loaded once per thread from the plug-in folder, or absent. Every codec route asks
// CodecPlugin() first and behaves as documented for an absent plug-in when it answers null.
#pragma once
#include <string>

#include "tessivo/plugins/tvimgplug.h"

namespace tessivo {

// Every entry point of the plug-in, as (name, return type, parameters). The table below and the
// symbol resolution are generated from this one list, so they cannot drift apart.
#define TESSIVO_TVIMGPLUG_FUNCTIONS(X)                                                          \
  X(GetVersion, int32_t, (void))                                                                \
  X(GetFileType, int32_t, (const char*))                                                        \
  X(GetFileTypeFromFilename, int32_t, (const char*))                                            \
  X(Load, tvimg_bitmap*, (int32_t, const char*, int32_t))                                       \
  X(Save, int32_t, (int32_t, tvimg_bitmap*, const char*, int32_t))                              \
  X(Allocate, tvimg_bitmap*, (int32_t, int32_t, int32_t))                                       \
  X(Unload, void, (tvimg_bitmap*))                                                              \
  X(OpenFile, tvimg_file*, (const char*))                                                       \
  X(CloseFile, void, (tvimg_file*))                                                             \
  X(OpenMultiBitmapFromFile, tvimg_multibitmap*, (int32_t, tvimg_file*, int32_t))               \
  X(CreateMultiBitmap, tvimg_multibitmap*, (int32_t, const char*))                              \
  X(GetPageCount, int32_t, (tvimg_multibitmap*))                                                \
  X(LockPage, tvimg_bitmap*, (tvimg_multibitmap*, int32_t))                                     \
  X(UnlockPage, void, (tvimg_multibitmap*, tvimg_bitmap*, int32_t))                             \
  X(AppendPage, int32_t, (tvimg_multibitmap*, tvimg_bitmap*))                                   \
  X(CloseMultiBitmap, int32_t, (tvimg_multibitmap*, int32_t))                                   \
  X(GetWidth, uint32_t, (tvimg_bitmap*))                                                        \
  X(GetHeight, uint32_t, (tvimg_bitmap*))                                                       \
  X(GetPitch, uint32_t, (tvimg_bitmap*))                                                        \
  X(GetBPP, uint32_t, (tvimg_bitmap*))                                                          \
  X(GetBits, uint8_t*, (tvimg_bitmap*))                                                         \
  X(GetColorType, int32_t, (tvimg_bitmap*))                                                     \
  X(GetImageType, int32_t, (tvimg_bitmap*))                                                     \
  X(GetColorsUsed, uint32_t, (tvimg_bitmap*))                                                   \
  X(GetPalette, uint8_t*, (tvimg_bitmap*))                                                      \
  X(IsTransparent, int32_t, (tvimg_bitmap*))                                                    \
  X(GetTransparencyCount, uint32_t, (tvimg_bitmap*))                                            \
  X(GetTransparencyTable, uint8_t*, (tvimg_bitmap*))                                            \
  X(SetTransparencyTable, void, (tvimg_bitmap*, const uint8_t*, int32_t))                       \
  X(ConvertTo24Bits, tvimg_bitmap*, (tvimg_bitmap*))                                            \
  X(ConvertTo32Bits, tvimg_bitmap*, (tvimg_bitmap*))                                            \
  X(ConvertToGreyscale, tvimg_bitmap*, (tvimg_bitmap*))                                         \
  X(ConvertToType, tvimg_bitmap*, (tvimg_bitmap*, int32_t, int32_t))                            \
  X(ConvertToRGBF, tvimg_bitmap*, (tvimg_bitmap*))                                              \
  X(TmoReinhard05, tvimg_bitmap*, (tvimg_bitmap*, double, double))                              \
  X(Invert, int32_t, (tvimg_bitmap*))                                                           \
  X(FlipVertical, int32_t, (tvimg_bitmap*))                                                     \
  X(GetDotsPerMeterX, uint32_t, (tvimg_bitmap*))                                                \
  X(GetDotsPerMeterY, uint32_t, (tvimg_bitmap*))                                                \
  X(SetDotsPerMeterX, void, (tvimg_bitmap*, uint32_t))                                          \
  X(SetDotsPerMeterY, void, (tvimg_bitmap*, uint32_t))                                          \
  X(SetFrameDelay, int32_t, (tvimg_bitmap*, int32_t))                                           \
  X(SetFrameDisposal, int32_t, (tvimg_bitmap*, int32_t))                                        \
  X(SetLoopCount, int32_t, (tvimg_bitmap*, int32_t))                                            \
  X(SetTiffJpegCompression, void, (int32_t))                                                    \
  X(GetMetadataCount, uint32_t, (int32_t, tvimg_bitmap*))                                       \
  X(GetMetadataItem, int32_t,                                                                   \
    (int32_t, tvimg_bitmap*, uint32_t, uint32_t*, uint16_t*, const uint8_t**, uint32_t*))       \
  X(SetMetadataItem, int32_t,                                                                   \
    (int32_t, tvimg_bitmap*, uint32_t, uint16_t, const uint8_t*, uint32_t))                     \
  X(CompressCCITT4, int32_t,                                                                    \
    (const uint8_t*, int32_t, int32_t, int32_t, uint8_t**, uint32_t*))                          \
  X(Compress, int32_t, (const uint8_t*, uint32_t, int32_t, uint8_t**, uint32_t*))               \
  X(FreeBuffer, void, (uint8_t*))                                                               \
  X(RemoveIccProfileFromFile, int32_t, (const char*))                                           \
  X(AddIccProfileToFile, int32_t, (const char*, const char*))

struct TvimgplugApi {
#define TESSIVO_TVIMGPLUG_MEMBER(name, ret, params) ret(*name) params = nullptr;
  TESSIVO_TVIMGPLUG_FUNCTIONS(TESSIVO_TVIMGPLUG_MEMBER)
#undef TESSIVO_TVIMGPLUG_MEMBER
};

// The codec plug-in of the calling thread, or null when it is absent (not found, too old, or
// missing an entry point). The plug-in is looked for on the first call of each thread.
const TvimgplugApi* CodecPlugin();

// Replaces the calling thread's plug-in with `api` (null: absent) and returns the previous
// table. Lets a host embed a statically linked codec, and the tests run the codec routes.
const TvimgplugApi* InstallCodecPlugin(const TvimgplugApi* api);

}  // namespace tessivo
