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

  // --- GIF89a and PNM writers (imaging_formats.cpp) ---

  // Instance state shared by the family source files; not part of the public interface.
  ImagingState& State() { return *state_; }

 private:
  std::unique_ptr<ImagingState> state_;
};

}  // namespace tessivo
