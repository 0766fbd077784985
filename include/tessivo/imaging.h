// cImaging: the toolkit's one class. Each instance has a current image (the native image) and
// the status of its last operation; the images themselves live in the calling thread's image
// registry, shared by every instance of that thread. Methods are grouped by family; each family
// is defined in its own source file under src/.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tessivo/color_palette.h"
#include "tessivo/invoke_result.h"
#include "tessivo/pixel_formats.h"
#include "tessivo/safe_array.h"
#include "tessivo/status.h"
#include "tessivo/variant.h"

namespace tessivo {

struct ImagingState;

class cImaging {
 public:
  cImaging();
  ~cImaging();
  cImaging(const cImaging&) = delete;
  cImaging& operator=(const cImaging&) = delete;

  // --- Registry, status and lifecycle (imaging_lifecycle.cpp) ---
  void SetNativeImage(int32_t nImageID);
  int32_t GetNativeImage();
  TessivoStatus CloseImage(int32_t nImageID);
  TessivoStatus CloseNativeImage();
  void RemoveAllImage();
  int32_t CreateClonedImage(int32_t nImageID);
  int32_t CreateClonedImageI(int32_t nImageID);
  int32_t CreateClonedImageARGB(int32_t nImageID);
  int32_t CreateClonedImageArea(int32_t nImageID, int32_t nLeft, int32_t nTop, int32_t nWidth,
                                int32_t nHeight);
  int32_t CreateNewImage(int32_t nWidth, int32_t nHeight, int16_t nBitDepth = 32,
                         int32_t nBackColor = static_cast<int32_t>(0xFF000000u));
  TessivoStatus GetStat();
  double GetVersion();
  std::string GetGdiplusVersion();
  std::string GetImageFormat();
  TessivoStatus ForceImageValidation(int32_t nImageID);
  void TagsSetPreserve(bool bPreserve);
  void DisableTvimgplugCodecs(bool bDisable = true);

  // --- Control facade: object safety, base64 and late binding (control/, dispatch/) ---
  // Script safety: `riid` is an interface ID as a GUID string ("{00020400-...}", any case,
  // braces optional). The result is the automation error code: 0 (S_OK), 0x80004002 (no such
  // interface) or, for SetInterfaceSafetyOptions, 0x80004005 (the options asked are not
  // supported). The last status is unchanged.
  int32_t GetInterfaceSafetyOptions(const std::string& riid, int32_t& nSupportedOptions,
                                    int32_t& nEnabledOptions);
  int32_t SetInterfaceSafetyOptions(const std::string& riid, int32_t nOptionSetMask,
                                    int32_t nEnabledOptions);
  // Base64 of the text taken one byte per character (Windows-1252), with a CR LF after every
  // 40 characters; and back. The last status is unchanged.
  std::string Encode64String(const std::string& sText);
  std::string Decode64String(const std::string& sText);
  // Late binding: calls the public method `name` (compared without regard to case) through
  // the type library, converting the arguments by automation's rules and filling by-reference
  // arguments back into `args`. Never throws: errors are reported in the result.
  InvokeResult Invoke(std::string_view name, std::vector<Variant>& args);

  // --- Loading (imaging_load.cpp) ---

  // --- Saving (imaging_save.cpp) ---

  // --- Image information (imaging_info.cpp) ---

  // --- Colour values (imaging_color.cpp) ---

  // --- Pixel access and region of interest (imaging_pixels.cpp) ---

  // --- Filters (imaging_filters.cpp) ---

  // --- Pixel format conversion and palettes (imaging_convert.cpp) ---
  // Each conversion replaces the native image with a new bitmap of the same size in the target
  // format, keeping its resolution and (when preserving tags) its property items.
  TessivoStatus ConvertTo16BppRGB555();
  TessivoStatus ConvertTo16BppRGB565();
  TessivoStatus ConvertTo24BppRGB();
  TessivoStatus ConvertTo32BppARGB();
  TessivoStatus ConvertTo32BppPARGB();
  TessivoStatus ConvertTo32BppRGB();
  TessivoStatus ConvertTo48BppRGB();
  TessivoStatus ConvertTo64BppARGB();  // premultiplied 64-bit ARGB
  TessivoStatus ConvertTo4Bpp();
  // 1, 4, 8 (indexed), 16 (RGB555), 24, 32 (ARGB), 48, 64 (premultiplied ARGB); else
  // InvalidParameter.
  TessivoStatus ConvertToPixelFormatCR(int32_t nPixelDepth);
  TessivoStatus ConvertTo1Bpp();
  TessivoStatus ConvertTo1BppFast();
  TessivoStatus ConvertTo4Bpp16();
  TessivoStatus ConvertTo4BppPal(const SafeArray<int32_t>& nARGBColorsArray);
  TessivoStatus ConvertTo4BppQ();
  TessivoStatus ConvertTo8BppGrayScale();
  TessivoStatus ConvertTo8BppGrayScaleAdv();
  TessivoStatus ConvertTo8Bpp216();
  TessivoStatus ConvertTo8BppQ();
  TessivoStatus Quantize8Bpp(int32_t nColors);
  // Palettes of indexed images; a direct-colour image gives NotIndexedPixelFormat.
  TessivoStatus ColorPaletteGet(SafeArray<int32_t>& arPalette, int32_t& nCount);
  TessivoStatus ColorPaletteSet(const SafeArray<int32_t>& arPalette);
  ColorPaletteType ColorPaletteGetType();
  int32_t ColorPaletteGetColorsCount();
  int32_t ColorPaletteGetEntrie(int32_t nEntrie);
  TessivoStatus ColorPaletteSwapEntries(int32_t nEntrie1, int32_t nEntrie2);
  TessivoStatus ColorPaletteConvertToHalftone();
  TessivoStatus ColorPaletteSetTransparentColor(int32_t nColorARGB = static_cast<int32_t>(0xFF000000u));
  // The first transparent entry's ARGB value (alpha 0); -1 when no entry is transparent.
  int32_t ColorPaletteGetTransparentColor();
  bool ColorPaletteHasTransparentColor();

  // --- GIF89a and PNM writers (imaging_formats.cpp) ---
  // An interlaced single-image GIF89a file of the native image (quantized to 256 colours when
  // it has more than 8 bits per pixel), with the palette's transparent entry.
  TessivoStatus SaveAsGIFi(const std::string& sFilePath);
  // A raw portable anymap: P4 for 1-bit images, P5 for other indexed images, P6 otherwise.
  TessivoStatus SaveAsPNM(const std::string& sFilePath);

  // Instance state shared by the family source files; not part of the public interface.
  ImagingState& State() { return *state_; }

 private:
  std::unique_ptr<ImagingState> state_;
};

}  // namespace tessivo
