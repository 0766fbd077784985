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

#include "tessivo/enums_io.h"
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
  // Each loader returns the new image ID (0 on failure), stores its status and, on OK, makes
  // the new image the native image. Files decoded by the platform or the codec plug-in; a TIFF
  // or GIF of two or more pages becomes a document (see TiffOpenMultiPageAsReadOnly).
  int32_t CreateImageFromFile(const std::string& sFilePath);
  int32_t CreateImageFromFileICM(const std::string& sFilePath);
  int32_t CreateImageFromByteArray(const SafeArray<uint8_t>& arBytes);
  int32_t CreateImageFromByteArrayICM(const SafeArray<uint8_t>& arBytes);
  // Copies nLength bytes from the caller's memory at nAddress (an address in this process).
  int32_t CreateImageFromMemory(intptr_t nAddress, int32_t nLength);
  // One character per byte (Windows-1252), the inverse of SaveAsString.
  int32_t CreateImageFromString(const std::string& sData);
  int32_t CreateImageFromStringICM(const std::string& sData);
  // oStream: a stream handle (tessivo/streams.h), read from its current position.
  int32_t CreateImageFromStream(int32_t oStream);
  int32_t CreateImageFromStreamICM(int32_t oStream);
  // A bitmap over the caller's pixels at nBits (not copied: the caller keeps them alive for
  // the image's life). A negative stride means bottom-up rows.
  int32_t CreateImageFromRawBits(int32_t nWidth, int32_t nHeight, int32_t nStride,
                                 PixelFormats nPixelFormat, intptr_t nBits);
  // hImage: a platform image handle (GetGdiplusImage); the toolkit shares the bitmap from then on.
  int32_t CreateImageFromGdiPlusImage(intptr_t hImage);

  // --- Saving (imaging_save.cpp) ---
  // Each saver writes the native image (the current page of a document) and returns the status
  // it stores; no native image: GenericError.
  TessivoStatus SaveAsBmp(const std::string& sFilePath);
  TessivoStatus SaveAsPNG(const std::string& sFilePath);
  TessivoStatus SaveAsGIF(const std::string& sFilePath);
  TessivoStatus SaveAsJPEG(const std::string& sFilePath, int32_t nQuality = 75);
  TessivoStatus SaveAsTIFF(const std::string& sFilePath, TifCompression nCompression = CompressionLZW);
  TessivoStatus SaveAsTIFFjpg(const std::string& sFilePath);
  TessivoStatus SaveAsTIFFjpgEx(const std::string& sFilePath, int32_t nQuality);
  TessivoStatus SaveAsWBMP(const std::string& sFilePath);
  TessivoStatus SaveAsXPM(const std::string& sFilePath);
  TessivoStatus SaveAsTGA(const std::string& sFilePath);
  TessivoStatus SaveAsPBM(const std::string& sFilePath);
  TessivoStatus SaveAsJ2K(const std::string& sFilePath, int32_t nRate = 16);
  TessivoStatus SaveAsJP2(const std::string& sFilePath, int32_t nRate = 16);
  TessivoStatus SaveAsEXR(const std::string& sFilePath, ExrCompression nCompression = ExrCompressionDefault);
  TessivoStatus SaveAsICO(const std::string& sFilePath, bool bTransparent = false,
                          int32_t nTransparentColor = -1);
  // A new stream handle (tessivo/streams.h) positioned at its start; the caller releases it.
  TessivoStatus SaveAsStream(int32_t& oStream, const std::string& sFormat, int32_t nParameter = 0);
  TessivoStatus SaveAsByteArray(SafeArray<uint8_t>& arBytes, int32_t& nLength,
                                const std::string& sFormat, int32_t nParameter = 0);
  // The encoded bytes as one character per byte (Windows-1252); "" on failure.
  std::string SaveAsString(const std::string& sFormat, int32_t nParameter = 0);

  // --- Image information (imaging_info.cpp) ---
  int32_t GetWidth();
  int32_t GetHeight();
  float GetWidthMM();
  float GetHeightMM();
  float GetHorizontalResolution();
  float GetVerticalResolution();
  // Also write the resolution as EXIF XResolution / YResolution rationals.
  TessivoStatus SetHorizontalResolution(float nHorizontalresolution);
  TessivoStatus SetVerticalResolution(float nVerticalresolution);
  PixelFormats GetPixelFormat();
  std::string GetPixelFormatString();
  int32_t GetPixelDepth();
  bool IsPixelFormatIndexed();
  bool IsPixelFormatHasAlpha();
  ImageColorSpaces GetImageColorSpace();
  // True when the codec plug-in reads the file as CMYK; False without the plug-in.
  bool IsCMYKFile(const std::string& sFilePath);
  TessivoStatus ClearImage(int32_t nColorARGB);
  TessivoStatus TransformJPEG(const std::string& sInputFile, const std::string& sOutputFile,
                              JPEGTransformations nTransformation);
  // The platform's colour channel numbers for cyan, magenta, yellow and black (0 to 3).
  int32_t GetColorChannelFlagsC();
  int32_t GetColorChannelFlagsM();
  int32_t GetColorChannelFlagsY();
  int32_t GetColorChannelFlagsK();

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
