// cImaging: the toolkit's one class. Each instance has a current image (the native image) and
// the status of its last operation; the images themselves live in the calling thread's image
// registry, shared by every instance of that thread. Methods are grouped by family; each family
// is defined in its own source file under src/imaging/.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tessivo/color_palette.h"
#include "tessivo/enums_barcode_reader.h"
#include "tessivo/enums_ocr.h"
#include "tessivo/enums_ocr.h"
#include "tessivo/enums_draw.h"
#include "tessivo/enums_io.h"
#include "tessivo/enums_metadata.h"
#include "tessivo/enums_print.h"
#include "tessivo/enums_twain.h"
#include "tessivo/enums_pdf.h"
#include "tessivo/interpolation_mode.h"
#include "tessivo/invoke_result.h"
#include "tessivo/pixel_formats.h"
#include "tessivo/rotate_flip.h"
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

  // --- Codec plug-in formats, IPTC, ICC files (imaging_iptc.cpp, imaging_icc_files.cpp) ---
  // IPTC records of the native image (the current page of a document), as the codec plug-in
  // delivered them when it decoded the image; numbered from 1. Without the plug-in:
  // TvimgplugDllRequired; an unregistered image or a number out of range: PropertyNotFound
  // (IPTCTagCount: 0 and OK for an unregistered image).
  int32_t IPTCTagCount();
  int32_t IPTCTagGetID(int32_t nTagNo);
  int32_t IPTCTagGetLength(int32_t nTagNo);
  TagTypes IPTCTagGetType(int32_t nTagNo);
  std::string IPTCTagGetValueString(int32_t nTagNo);
  // Fills arTagData (from 0) with the record's value bytes and returns its formatted value.
  std::string IPTCTagGetValueBytes(int32_t nTagNo, SafeArray<uint8_t>& arTagData);
  // The colour profile of an image file, removed or embedded in place by the codec plug-in.
  // Without the plug-in: TvimgplugDllRequired; a missing image file, or a missing or empty
  // profile file: FileNotFound; a file the plug-in cannot rewrite (or a profile that is no ICC
  // profile): GenericError.
  TessivoStatus ICCRemoveProfileToFile(const std::string& sFilePath);
  TessivoStatus ICCAddProfileToFile(const std::string& sImagePath, const std::string& sProfilePath);

  // --- Colour values (imaging_color.cpp) ---
  // These need no image and leave the last status alone. ARGB colours pack alpha, red, green,
  // blue from bit 31 down; RGB values pack red, green, blue from bit 0 up. Where a component is
  // a Long, its low byte is used.
  void ColorRGBtoCMY(int32_t nRedValue, int32_t nGreenValue, int32_t nBlueValue, int32_t& nCyan,
                     int32_t& nMagenta, int32_t& nYellow);
  void ColorRGBtoCMYK(int32_t nRed, int32_t nGreen, int32_t nBlue, int32_t& nCyan, int32_t& nMagenta,
                      int32_t& nYellow, int32_t& nBlack);
  void ColorCMYKtoRGB(int32_t nCyan, int32_t nMagenta, int32_t nYellow, int32_t nBlack, int32_t& nRed,
                      int32_t& nGreen, int32_t& nBlue);
  void ColorCMYtoRGB(int32_t nCyan, int32_t nMagenta, int32_t nYellow, int32_t& nRed, int32_t& nGreen,
                     int32_t& nBlue);
  // Hue in sextants, [-1, 5) (red 0, yellow 1, ..., magenta 5 or -1); saturation, lightness 0..1.
  void ColorRGBtoHSL(uint8_t nRed, uint8_t nGreen, uint8_t nBlue, float& nHue, float& nSaturation,
                     float& nLightness);
  void ColorRGBtoHSLl(int32_t nRed, int32_t nGreen, int32_t nBlue, float& nHue, float& nSaturation,
                      float& nLightness);
  // Throw std::overflow_error (outputs untouched) when a channel falls outside 0..255.
  void ColorHSLtoRGB(float nHue, float nSaturation, float nLightness, uint8_t& nRed, uint8_t& nGreen,
                     uint8_t& nBlue);
  void ColorHSLtoRGBl(float nHue, float nSaturation, float nLightness, int32_t& nRed, int32_t& nGreen,
                      int32_t& nBlue);
  void ColorGetRGBFromRGBValue(int32_t nRGBValue, uint8_t& nRed, uint8_t& nGreen, uint8_t& nBlue);
  void ColorGetRGBFromRGBValuel(int32_t nRGBValue, int32_t& nRed, int32_t& nGreen, int32_t& nBlue);
  void ColorGetARGBFromARGBValue(int32_t nARGBValue, uint8_t& nAlpha, uint8_t& nRed, uint8_t& nGreen,
                                 uint8_t& nBlue);
  void ColorGetARGBFromARGBValuel(int32_t nARGBValue, int32_t& nAlpha, int32_t& nRed, int32_t& nGreen,
                                  int32_t& nBlue);
  // Each component clamped to 0..255.
  int32_t argb(int32_t nAlpha, int32_t nRed, int32_t nGreen, int32_t nBlue);
  // An RGB value; components above 255 count as 255, a negative one throws std::invalid_argument.
  int32_t GetRGB(int16_t nRed, int16_t nGreen, int16_t nBlue);

  // --- Pixel access and region of interest (imaging_pixels.cpp) ---
  // The Get families reallocate the array unless its upper bounds already exceed the needed
  // ones; the Set families read the array from its first element in memory order.
  TessivoStatus GetPixelArray1D(SafeArray<int32_t>& arPixels, int32_t nSrcLeft, int32_t nSrcTop,
                                int32_t nWidth, int32_t nHeight);
  TessivoStatus GetPixelArray2D(SafeArray<int32_t>& arPixels, int32_t nSrcLeft, int32_t nSrcTop,
                                int32_t nWidth, int32_t nHeight);
  TessivoStatus GetPixelArrayARGB(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                  int32_t nWidth, int32_t nHeight);
  TessivoStatus GetPixelArrayBytesARGB(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                       int32_t nWidth, int32_t nHeight);
  TessivoStatus GetPixelArrayBytesRGB(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                      int32_t nWidth, int32_t nHeight);
  TessivoStatus GetPixelArray8bpp1D(SafeArray<uint8_t>& arBytes, int32_t nSrcLeft, int32_t nSrcTop,
                                    int32_t nWidth, int32_t nHeight);
  TessivoStatus SetPixelArray(SafeArray<int32_t>& arPixels, int32_t nDstLeft, int32_t nDstTop,
                              int32_t nWidth, int32_t nHeight);
  TessivoStatus SetPixelArrayARGB(SafeArray<uint8_t>& arBytes, int32_t nDstLeft, int32_t nDstTop,
                                  int32_t nWidth, int32_t nHeight);
  TessivoStatus SetPixelArrayBytesARGB(SafeArray<uint8_t>& arBytes, int32_t nDstLeft,
                                       int32_t nDstTop, int32_t nWidth, int32_t nHeight);
  TessivoStatus SetPixelArrayBytesRGB(SafeArray<uint8_t>& arBytes, int32_t nDstLeft,
                                      int32_t nDstTop, int32_t nWidth, int32_t nHeight);
  TessivoStatus SetPixelArray8bpp1D(SafeArray<uint8_t>& arBytes, int32_t nDstLeft, int32_t nDstTop,
                                    int32_t nWidth, int32_t nHeight);
  int32_t PixelGetColor(int32_t nSrcLeft, int32_t nSrcTop);
  TessivoStatus PixelSetColor(int32_t nDstLeft, int32_t nDstTop, int32_t nARGBColor);
  int32_t GetImageStride();
  // Address of the native image's first row; valid while the image lives and is not rebuilt.
  intptr_t GetImageBits();
  // Region of interest: setters only, they return the last status unchanged.
  TessivoStatus SetROI(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight);
  TessivoStatus FiltersToZone(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight);
  TessivoStatus ResetROI();
  TessivoStatus FiltersToImage();

  // --- Filters (imaging_filters.cpp) ---
  // Each runs on the region of interest of the native image and returns the stored status.
  TessivoStatus FxSharpen();
  TessivoStatus FxSharpenMore();
  TessivoStatus FxEdgeEnhance();
  TessivoStatus FxBlur();
  TessivoStatus FxSmooth();
  TessivoStatus FxSoften(int32_t nSoftenValue);
  TessivoStatus FxRelief();
  TessivoStatus FxContour();
  TessivoStatus FxEmboss();
  TessivoStatus FxEmbossColor(int32_t nRGBColor);
  TessivoStatus FxEmbossMore();
  TessivoStatus FxEmbossMoreColor(int32_t nRGBColor);
  TessivoStatus FxEngrave();
  TessivoStatus FxEngraveColor(int32_t nRGBColor);
  TessivoStatus FxEngraveMore();
  TessivoStatus FxEngraveMoreColor(int32_t nRGBColor);
  TessivoStatus FxDilate();
  TessivoStatus FxErode();
  TessivoStatus FxConnectedContour();
  TessivoStatus FxDespeckle();
  TessivoStatus FxDespeckleMore();
  TessivoStatus FxAqua();
  TessivoStatus FxNegative();
  TessivoStatus FxGrayscale();
  TessivoStatus FxSepia();
  TessivoStatus FxColorize(int32_t nHue = 0, int32_t nSaturation = 50, int32_t nLuminosity = 100);
  TessivoStatus FxFire();
  TessivoStatus FxRedEyesCorrection();
  TessivoStatus FxScanLine();
  TessivoStatus FxAddNoise();
  TessivoStatus FxDiffuse();
  TessivoStatus FxDiffuseMore();
  TessivoStatus FxPixelize();
  TessivoStatus FxBlackNWhiteT(int32_t nThreshold);
  // Mode 1 threshold 180, 2 ordered dither, 3 error diffusion; any other mode changes nothing
  // and returns the last status.
  TessivoStatus FxBlackNWhite(int32_t nMode = 1);
  TessivoStatus FxTwirl(int32_t nFactor);
  TessivoStatus FxSwirl(int32_t nFactor);
  TessivoStatus FxMirrorRounded();
  TessivoStatus FxhWaves(int32_t nWidthWave, int32_t nHeightWave);
  TessivoStatus FxvWaves(int32_t nWidthWave, int32_t nHeightWave);
  TessivoStatus FxParasite();
  TessivoStatus FxParasite4();
  TessivoStatus FxParasite2x2();
  TessivoStatus FxDilate8();
  TessivoStatus FxDilate4();
  TessivoStatus FxDilateV();
  TessivoStatus FxErode4();
  TessivoStatus FxErode8();
  TessivoStatus FxFillHoleV();
  TessivoStatus FxFillHoleH();
  TessivoStatus FxRemoveLinesV();
  TessivoStatus FxRemoveLinesV2();
  TessivoStatus FxRemoveLinesV3();
  TessivoStatus FxRemoveLinesH();
  TessivoStatus FxRemoveLinesH2();
  TessivoStatus FxRemoveLinesH3();
  // Appends a 3x3 pattern (ARGB colours in reading order) and returns its number, from 1.
  int32_t MatrixCreate3x3x(int32_t n1PixelValue, int32_t n2PixelValue, int32_t n3PixelValue,
                           int32_t n4PixelValue, int32_t n5PixelValue, int32_t n6PixelValue,
                           int32_t n7PixelValue, int32_t n8PixelValue, int32_t n9PixelValue);
  // Replaces every 3x3 match of pattern nMatrix3x3xIN by pattern nMatrix3x3xOUT. A number
  // outside 1..count changes nothing and returns the last status.
  TessivoStatus MatrixFilter3x3x(int32_t nMatrix3x3xIN, int32_t nMatrix3x3xOUT);
  // Fills the 4-connected area of the start pixel's colour on the whole image; the image
  // comes out opaque. A start point outside the image: Win32Error.
  TessivoStatus FloodFill(int32_t nXStart, int32_t nYStart, int32_t nARGBColor);

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
  // Softens the region of interest (FxSoften) and takes the grey levels from the blue channel.
  TessivoStatus ConvertBitonalToGrayScale(int32_t nSoftenValue = 100);
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

  // --- Geometry (imaging_geometry.cpp) ---
  // The image becomes the rectangle (its own pixel format, palette and resolution kept). A
  // rectangle that is empty or does not lie inside the image: InvalidParameter, no change.
  TessivoStatus Crop(int32_t nSrcLeft, int32_t nSrcTop, int32_t nWidth, int32_t nHeight);
  // Quarter-turn rotation (clockwise) or flip in the image's own pixel format; a value outside
  // the enumeration: InvalidParameter, no change.
  TessivoStatus Rotate(RotateFlipType nRotation);
  // Cut nLines lines from one edge (a Crop of the rest); 0 keeps the image, a count that is
  // negative or leaves nothing: InvalidParameter, no change.
  TessivoStatus CropTop(int32_t nLines);
  TessivoStatus CropBottom(int32_t nLines);
  TessivoStatus CropLeft(int32_t nLines);
  TessivoStatus CropRight(int32_t nLines);
  // Border detection: a line (row or column) at an edge is border when at least nConfidence
  // percent of its pixels match the reference colour; nSkipLinesCount lines at each edge are
  // passed over first. Images below 10 x 10 are left alone (OK). The content left is never
  // empty; a page that is all border keeps its size.
  TessivoStatus CropWhiteBorders(int32_t nConfidence = 100, int32_t nSkipLinesCount = 0);
  TessivoStatus CropBlackBorders(int32_t nConfidence = 100, int32_t nSkipLinesCount = 0);
  // Black borders painted white instead of cut: size, pixel format and inner pixels are kept.
  TessivoStatus CropBlackBordersEx(int32_t nConfidence = 100, int32_t nSkipLinesCount = 0);
  // CropBordersEX(90, 1).
  TessivoStatus CropBorders();
  // Borders of the colour of a corner (nPixelReference 1 top-left, 2 top-right, 3 bottom-right,
  // 4 bottom-left; other values 1); confidence outside 0..100 is taken as 98.
  TessivoStatus CropBordersEX(int32_t nConfidence, int32_t nPixelReference = 1);
  // Detection only: the rectangle inside the borders (the whole image when none is found).
  TessivoStatus CropBordersEX2(int32_t nConfidence, int32_t nPixelReference, int32_t& nLeft, int32_t& nTop,
                               int32_t& nWidth, int32_t& nHeight);
  // A frame of nBorderColor (ARGB; nearest palette entry when indexed) around the image, or on
  // one side; same pixel format, palette and resolution. A negative width: InvalidParameter;
  // a result too large for a bitmap: OutOfMemory; no change on failure.
  TessivoStatus AddBorders(int32_t nBorderWidth, int32_t nBorderColor = static_cast<int32_t>(0xFF000000u));
  TessivoStatus AddBorderTop(int32_t nBorderHeight, int32_t nBorderColor = static_cast<int32_t>(0xFF000000u));
  TessivoStatus AddBorderBottom(int32_t nBorderHeight, int32_t nBorderColor = static_cast<int32_t>(0xFF000000u));
  TessivoStatus AddBorderLeft(int32_t nBorderWidth, int32_t nBorderColor = static_cast<int32_t>(0xFF000000u));
  TessivoStatus AddBorderRight(int32_t nBorderWidth, int32_t nBorderColor = static_cast<int32_t>(0xFF000000u));

  // --- Colour adjustments, analyses, histograms and remapping (imaging_adjust.cpp,
  //     imaging_histogram.cpp, imaging_remap.cpp) ---
  // Each adjustment runs on the region of interest of the native image. Channel results
  // saturate at 0 and 255 whatever the parameter; a Single parameter that is NaN or infinite,
  // or a negative gamma factor, is InvalidParameter and changes nothing.
  TessivoStatus SetBrightness(int32_t nBrightnessPct);
  TessivoStatus SetContrast(int32_t nContrastPct);
  TessivoStatus SetGammaCorrection(int32_t nGammaFactor);
  TessivoStatus SetSaturation(int32_t nSaturationPct);
  TessivoStatus SetTransparency(int32_t nTransparencyValue);
  TessivoStatus SetTransparencyColorEx(int32_t nColorARGB, float nThreshold);
  TessivoStatus SetTransparencyColor(int32_t nColorARGB);
  TessivoStatus SwapColorEx(int32_t nARGBColorSrc, int32_t nARGBColorDst, float nThreshold);
  TessivoStatus SwapColor(int32_t nARGBColorSrc, int32_t nARGBColorDst);
  TessivoStatus AdjustRGB(int32_t nRedAdjust, int32_t nGreenAdjust, int32_t nBlueAdjust);
  TessivoStatus KeepRedComponent();
  TessivoStatus KeepGreenComponent();
  TessivoStatus KeepBlueComponent();
  TessivoStatus RemoveRedComponent();
  TessivoStatus RemoveGreenComponent();
  TessivoStatus RemoveBlueComponent();
  TessivoStatus ScaleRedComponent(float nFactor);
  TessivoStatus ScaleGreenComponent(float nFactor);
  TessivoStatus ScaleBlueComponent(float nFactor);
  // Channel orders named by where red, green and blue end up: RBG exchanges green and blue,
  // GRB red and green, BGR red and blue; BRG and GBR rotate the three.
  TessivoStatus SwapColorsRGBtoBRG();
  TessivoStatus SwapColorsRGBtoGBR();
  TessivoStatus SwapColorsRGBtoRBG();
  TessivoStatus SwapColorsRGBtoBGR();
  TessivoStatus SwapColorsRGBtoGRB();
  TessivoStatus FxStretchContrast();
  TessivoStatus FxEqualizeIntensity();
  // Analyses read the zone and change nothing; the status is left in GetStat.
  bool IsGrayscale();
  bool IsBitonal();
  bool IsBlank(int32_t nConfidence = 99);
  double CountColor(int32_t nARGBColor);
  int32_t GetAverageColor();
  double GetDistance(int32_t nLeft1, int32_t nTop1, int32_t nLeft2, int32_t nTop2);
  // Histograms of the zone, each array reallocated to (0 To 255).
  TessivoStatus HistogramGetARGB(SafeArray<int32_t>& arHistoA, SafeArray<int32_t>& arHistoR,
                                 SafeArray<int32_t>& arHistoG, SafeArray<int32_t>& arHistoB);
  TessivoStatus HistogramGetRed(SafeArray<int32_t>& arHistoR);
  TessivoStatus HistogramGetGreen(SafeArray<int32_t>& arHistoG);
  TessivoStatus HistogramGetBlue(SafeArray<int32_t>& arHistoB);
  TessivoStatus HistogramGetAlpha(SafeArray<int32_t>& arHistoA);
  // Palette-index counts of an 8-bpp indexed image; any other format: NotIndexedPixelFormat.
  TessivoStatus HistogramGet8Bpp(SafeArray<int32_t>& ArHistoPal);
  // Colours of the whole image replaced through a remap table of (old, new) ARGB pairs: a 1-D
  // array of consecutive pairs or a 2-D array of one pair per row; any other shape, an empty or
  // odd table: InvalidParameter. New colours replace the old ones, alpha included.
  TessivoStatus SetColorRemap(const SafeArray<int32_t>& arRemapTable);
  // The image becomes 32bppARGB with every pixel whose red, green and blue lie within the two
  // colours' made fully transparent (alpha is not compared); resolution and tags are kept.
  TessivoStatus SetColorKey(int32_t nColorLow, int32_t nColorHigh);
  // --- Drawing shapes (imaging_draw.cpp) ---
  // Each draws on the native image (a document's current page, marked changed) and returns its
  // status. Colours are ARGB; pens below 1 px wide draw 1 px. Without anti-aliasing a fill of
  // (left, top, width, height) sets columns left..left+width-1 and rows top..top+height-1, and
  // a 1-px outline runs along columns left and left+width and rows top and top+height. Point
  // arrays are 1-D arrays of x, y pairs: an odd length, fewer than 2 points (3 for closed
  // shapes), NaN or infinite angles and tensions, and enumeration values out of range are
  // InvalidParameter with nothing drawn. Angles are degrees, clockwise on the image, measured
  // as rays from the ellipse's centre.
  TessivoStatus DrawLine(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                         int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  // A line ending in a filled arrow head (4 pen widths long and wide) at (nX2, nY2).
  TessivoStatus DrawLineArrow(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                              int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  // Lines whose colour blends from the start colour at the first point to the end colour at the
  // last (curves: the first and last of the array's points), repeating beyond them.
  TessivoStatus DrawGradientLine(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                                 int32_t nStartColorARGB, int32_t nEndColorARGB, bool bAntiAlias = false);
  TessivoStatus DrawGradientCurves(const SafeArray<int32_t>& arPoints, int32_t nPenWidth, int32_t nStartColorARGB,
                                   int32_t nEndColorARGB, bool bAntiAlias = false);
  // Vertical lines every nHorizontalStep and horizontal lines every nVerticalStep from the
  // rectangle's left and top edges to its right and bottom edges (inclusive), aliased; only the
  // lines that meet the image are drawn. A step below 1: InvalidParameter.
  TessivoStatus DrawGrid(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, int32_t nHorizontalStep,
                         int32_t nVerticalStep, int32_t nPenWidth,
                         int32_t nColorARGB = static_cast<int32_t>(0xFF000000u));
  TessivoStatus DrawArc(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nStartAngle,
                        float nSweepAngle, int32_t nPenWidth, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                        bool bAntiAlias = false);
  TessivoStatus DrawPie(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nStartAngle,
                        float nSweepAngle, int32_t nPenWidth, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                        bool bAntiAlias = false);
  TessivoStatus DrawFillPie(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nStartAngle,
                            float nSweepAngle, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                            bool bAntiAlias = false);
  TessivoStatus DrawBezier(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nX3, int32_t nY3,
                           int32_t nX4, int32_t nY4, int32_t nPenWidth,
                           int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  // Cardinal splines through the points (tension 0.5; the fill takes its own, 0 = polygon).
  TessivoStatus DrawCurves(const SafeArray<int32_t>& arPoints, int32_t nPenWidth,
                           int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawClosedCurves(const SafeArray<int32_t>& arPoints, int32_t nPenWidth,
                                 int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawFillClosedCurves(const SafeArray<int32_t>& arPoints, float nTension, FillMode nFillMode,
                                     int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawPolygon(const SafeArray<int32_t>& arPoints, int32_t nPenWidth,
                            int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawFillPolygon(const SafeArray<int32_t>& arPoints, FillMode nFillMode,
                                int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, int32_t nPenWidth,
                              int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawFillRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                  int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  // Rectangles whose corner stays at (nLeft, nTop) on the image, turned by nAngle about it.
  TessivoStatus DrawRotatedRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, float nAngle,
                                     int32_t nPenWidth, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                                     bool bAntiAlias = false);
  TessivoStatus DrawRotatedFillRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                         float nAngle, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                                         bool bAntiAlias = false);
  // The radius is clamped to 0..min(width, height)/2 (0: a plain rectangle).
  TessivoStatus DrawRoundedRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight, int32_t nRadius,
                                     int32_t nPenWidth, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                                     bool bAntiAlias = false);
  TessivoStatus DrawFillRoundedRectangle(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                         int32_t nRadius, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                                         bool bAntiAlias = false);
  TessivoStatus DrawCircle(int32_t nLeft, int32_t nTop, int32_t nDiameter,
                           int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), int32_t nPenWidth = 1,
                           bool bAntiAlias = false);
  TessivoStatus DrawFillCircle(int32_t nLeft, int32_t nTop, int32_t nDiameter,
                               int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  TessivoStatus DrawEllipse(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                            int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), int32_t nPenWidth = 1,
                            bool bAntiAlias = false);
  TessivoStatus DrawFillEllipse(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                                int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), bool bAntiAlias = false);
  // The ellipse of radii nRadiusX, nRadiusY in the box at (nLeft, nTop), anti-aliased: the start
  // colour at (nHotX, nHotY) and out to nFocusScale (0..1) of the way to the edge along each ray,
  // then blending linearly to the end colour at the edge.
  TessivoStatus DrawSpotLight(int32_t nLeft, int32_t nTop, int32_t nRadiusX, int32_t nRadiusY, int32_t nHotX,
                              int32_t nHotY, int32_t nStartColorARGB, int32_t nEndColorARGB, float nFocusScale);
  // --- Resizing, rotation by any angle, thumbnails (imaging_resize.cpp) ---
  // The image redrawn at the new size in its own pixel format (indexed images keep palette and
  // bit depth). A size below 1, a size the platform cannot hold or an unknown mode: a status
  // (InvalidParameter, OutOfMemory), no change.
  TessivoStatus ResizeImage(int32_t nNewImageWidth, int32_t nNewImageHeight,
                            InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // The same into a new image (not made native); 0 and a status on failure.
  int32_t GetResizedImage(int32_t nImageID, int32_t nNewImageWidth, int32_t nNewImageHeight,
                          InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // Resizing that keeps the aspect ratio: the other side is rounded to nearest (at least 1).
  TessivoStatus ResizeHeightRatio(int32_t nNewImageHeight,
                                  InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  TessivoStatus ResizeWidthRatio(int32_t nNewImageWidth,
                                 InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // Both sides times nScalePercent / 100, rounded down (at least 1).
  TessivoStatus ScaleImage(int32_t nScalePercent, InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // Rotation by nAngle degrees clockwise onto a canvas that holds the whole result, the
  // uncovered corners filled with nBackColor (ARGB; opaque white without it). Whole quarter
  // turns give exactly the pixels of Rotate. NaN or infinite angles: InvalidParameter.
  TessivoStatus RotateAngle(float nAngle);
  TessivoStatus RotateAngleBackColor(float nAngle, int32_t nBackColor);
  // The same onto a canvas of the image's own size: rotated about the top-left corner, or with
  // Center about the image's centre.
  TessivoStatus RotateAnglePreserveDimentions(float nAngle);
  TessivoStatus RotateAnglePreserveDimentionsBackColor(float nAngle, int32_t nBackColor);
  TessivoStatus RotateAnglePreserveDimentionsCenter(float nAngle);
  TessivoStatus RotateAnglePreserveDimentionsCenterBackColor(float nAngle, int32_t nBackColor);
  // Thumbnails as new images: the platform's (32-bit premultiplied ARGB), or a 32-bit ARGB
  // canvas of nWidth x nHeight filled with nBackColor and the image scaled into it, centred,
  // keeping its aspect ratio.
  int32_t CreateThumbnail(int32_t nImageID, int32_t nWidth, int32_t nHeight);
  int32_t CreateThumbnailHQ(int32_t nImageID, int32_t nWidth, int32_t nHeight);
  int32_t CreateThumbnailHQEx(int32_t nImageID, int32_t nWidth, int32_t nHeight,
                              int32_t nBackColor = static_cast<int32_t>(0xFF000000u));
  // --- HTTP and FTP transfer (imaging_transfer.cpp) ---
  // Downloads sPath from sHost (a leading http:// or https:// is dropped; only port 443 uses
  // TLS, port 0 the service default) and decodes it; the new image becomes native. The host
  // services' ProcessPendingEvents runs after each chunk of the transfer buffer size and may
  // cancel (InternetHttpTransferError). Entered again while a download runs: 0 and ObjectBusy.
  int32_t CreateImageFromURL(const std::string& sHost, const std::string& sPath,
                             int32_t nHTTPPort = 80);
  // Fetches a file from an FTP server (an empty login is anonymous; port 0 means 21) and
  // decodes it; the new image becomes native. Backslashes in sPath become "/" and up to two
  // leading "/" are dropped, so paths are read from the login folder.
  int32_t CreateImageFromFTP(const std::string& sHost, const std::string& sPath,
                             const std::string& sLogin = "", const std::string& sPassword = "",
                             int32_t nFTPPort = 21);
  // Saves the native image in sImageFormat ("BMP", "JPG" with quality nEncoderParameter, "TIF"
  // with compression nEncoderParameter, "PNG", "GIF", "PDF"; anything else a JPEG of quality
  // 75) and sends it to the FTP server. No file is left behind in the temporary folder.
  TessivoStatus SaveToFTP(const std::string& sImageFormat, int32_t nEncoderParameter,
                          const std::string& sHost, const std::string& sPath,
                          const std::string& sLogin = "", const std::string& sPassword = "",
                          int32_t nFTPPort = 21);
  // Sends a local file to the FTP server unchanged.
  TessivoStatus UploadFileToFTP(const std::string& sFilePath, const std::string& sHost,
                                const std::string& sPath, const std::string& sLogin = "",
                                const std::string& sPassword = "", int32_t nFTPPort = 21);
  // The HTTP read chunk (4096 bytes by default): below 1 is ignored, above 16 MiB capped.
  void SetHttpTransfertBufferSize(int32_t nBuffersize);
  // Passive FTP (the default) or active FTP, for the transfers that follow.
  void SetFtpPassiveMode(bool bPassiveMode);
  // --- Multi-page TIFF and GIF documents (imaging_documents.cpp) ---
  // A TIFF of two or more pages or a GIF of two or more frames loads as a document: one image
  // ID for the whole file, with a current page on which every other method acts. Pages count
  // from 1. Read-only documents read their pages from the file; editable ones keep every page
  // in a temporary file of their own and store a changed page back when another is selected.
  // Not a document of the format asked: UnsupportedImageFormat; page numbers out of range:
  // InvalidParameter; unknown IDs: GenericError (the GIF frame attributes: InvalidParameter).
  void TiffOpenMultiPageAsReadOnly(bool bReadOnly);
  void GifOpenMultiPageAsReadOnly(bool bReadOnly);
  bool TiffIsMultiPage(int32_t nImageID);
  bool TiffIsEditableMultiPage(int32_t nImageID);
  int32_t TiffGetPageCount(int32_t nImageID);
  int32_t TiffGetCurrentPage(int32_t nImageID);
  TessivoStatus TiffSelectPage(int32_t nImageID, int32_t nPage);
  bool GifIsMultiPage(int32_t nImageID);
  bool GifIsEditableMultiPage(int32_t nImageID);
  int32_t GifGetPageCount(int32_t nImageID);
  int32_t GifGetCurrentPage(int32_t nImageID);
  TessivoStatus GifSelectPage(int32_t nImageID, int32_t nPage);
  // Each returns the new document's ID (0 on failure) and makes it the native image.
  int32_t TiffCreateMultiPageFromFile(const std::string& sFilePath);
  int32_t TiffCreateMultiPageFromFileICM(const std::string& sFilePath);
  int32_t GifCreateMultiPageFromFile(const std::string& sFilePath);
  int32_t TiffCreateMultiPageFromTessivoImage(int32_t nImageID);
  int32_t GifCreateMultiPageFromTessivoImage(int32_t nImageID);
  // Positions are clamped to 1 .. page count + 1; a file contributes its first page.
  TessivoStatus TiffInsertPageFromTessivoImage(int32_t nImageID, int32_t nPosition, int32_t nAddImageID);
  TessivoStatus TiffInsertPageFromFile(int32_t nImageID, int32_t nPosition, const std::string& sFilePath);
  TessivoStatus TiffAppendPageFromTessivoImage(int32_t nImageID, int32_t nAddImageID);
  TessivoStatus TiffAppendPageFromFile(int32_t nImageID, const std::string& sFilePath);
  TessivoStatus TiffDeletePage(int32_t nImageID, int32_t nPage);
  TessivoStatus TiffSwapPages(int32_t nImageID, int32_t nPage1, int32_t nPage2);
  TessivoStatus GifInsertPageFromTessivoImage(int32_t nImageID, int32_t nPosition, int32_t nAddImageID);
  TessivoStatus GifInsertPageFromFile(int32_t nImageID, int32_t nPosition, const std::string& sFilePath);
  TessivoStatus GifAppendPageFromTessivoImage(int32_t nImageID, int32_t nAddImageID);
  TessivoStatus GifAppendPageFromFile(int32_t nImageID, const std::string& sFilePath);
  TessivoStatus GifDeletePage(int32_t nImageID, int32_t nPage);
  TessivoStatus GifSwapPages(int32_t nImageID, int32_t nPage1, int32_t nPage2);
  // Whole documents are written beside the destination and put in its place only when
  // complete: on failure an existing file stays as it was.
  TessivoStatus TiffSaveMultiPageToFile(int32_t nImageID, const std::string& sFilePath,
                                        TifCompression nCompression = CompressionLZW);
  TessivoStatus GifSaveMultiPageToFile(int32_t nImageID, const std::string& sFilePath);
  // A multi-page TIFF written from single images: the native image is page 1 and stays the
  // open target (CloseImage refuses it with Aborted) until TiffCloseNativeMultiPage, which
  // releases it and completes the file.
  TessivoStatus TiffSaveAsNativeMultiPage(const std::string& sFilePath,
                                          TifCompression nCompression = CompressionLZW);
  TessivoStatus TiffAddToNativeMultiPage(int32_t nImageID);
  TessivoStatus TiffCloseNativeMultiPage();
  // The sources may include the destination. Every source must exist: FileNotFound otherwise.
  TessivoStatus TiffMergeFiles(const SafeArray<std::string>& arPaths, const std::string& sDestination,
                               TifCompression nCompression = CompressionLZW);
  TessivoStatus TiffMerge2Files(const std::string& sPath1, const std::string& sPath2,
                                const std::string& sDestination,
                                TifCompression nCompression = CompressionLZW);
  // `sList`: paths separated by ",".
  TessivoStatus TiffMergeFileList(const std::string& sList, const std::string& sDestination,
                                  TifCompression nCompression = CompressionLZW);
  // GIF frames of the native image, and the frame attributes of GIF documents. Delays are in
  // hundredths of a second; disposals 1..3 (-1: not set); loop count 0 = forever (values up to
  // 65536 are kept, files hold at most 65535).
  int32_t GifGetFrameCount();
  TessivoStatus GifSelectFrame(int32_t nFrame);
  SafeArray<int32_t> GifGetFrameDelay();
  int32_t GifGetPageTime(int32_t nImageID, int32_t nPage);
  TessivoStatus GifSetPageTime(int32_t nImageID, int32_t nPage, int32_t nTime);
  TessivoStatus GifSetPageDisposal(int32_t nImageID, int32_t nPage, int32_t nDisposal);
  int32_t GifGetLoopCount(int32_t nImageID);
  TessivoStatus GifSetLoopCount(int32_t nImageID, int32_t nCount);
  // Makes `nColor` transparent on the native image: its palette entry when indexed, else its
  // pixels of that colour.
  TessivoStatus GifSetTransparency(int32_t nColor = static_cast<int32_t>(0xFF000000u));

  // --- Automatic deskew (imaging_deskew.cpp) ---
  // Skew of the native image's text lines in degrees, -20..+20, positive when they run down to
  // the right; 0 for a straight or blank page. Sides below 51 pixels: Aborted and 0.
  double GetSkewAngle();
  // Turns the native image straight about its centre when its skew exceeds 0.3 degrees,
  // keeping its size and pixel format; the uncovered corners become white.
  TessivoStatus AutoDeskew();
  // Scanning through the tvtwain library (SANE devices). Absent or older than 630: Boolean
  // results False, numbers 0, strings "", acquisitions WrongTvTwainVersion. Results of 1 from
  // the library mean success; the last TWAIN result and condition codes tell why a call failed.
  bool TwainIsAvailable();
  TwainStatus TwainGetState();
  bool TwainSetDSMPath(const std::string& sDSMPath);
  bool TwainOpenSource(const std::string& sSourceName);
  bool TwainOpenDefaultSource();
  bool TwainCloseSource();
  bool TwainCloseSourceManager();
  bool TwainUnloadSourceManager();
  std::string TwainGetCurrentSourceName();
  std::string TwainGetDefaultSourceName();  // opens the source manager first
  int32_t TwainGetSourceCount();            // opens the source manager first
  std::string TwainGetSourceName(int32_t nSourceNo);  // 1-based; "" out of range
  TwainResultCode TwainGetLastResultCode();
  TwainConditionCode TwainGetLastConditionCode();
  bool TwainUserClosedSource();
  bool TwainLastXferFail();
  bool TwainSetHideUI(bool bHideUI);
  bool TwainGetHideUI();
  bool TwainIsDeviceOnline();
  // One page from the open source as a new native image (top-down rows, the source's dpi).
  // Cancelled: TwainTransferCanceled; device failure: TwainTransferError; more than 2^31 bytes:
  // OutOfMemory; no source open: TwainError.
  int32_t TwainAcquireToTessivoImage(intptr_t hwnd = 0);
  int32_t CreateImageFromTwain(intptr_t hwnd = 0);
  // A page scanned into sFilePath (format by extension: .bmp, .png, .jpg/.jpeg/.jfif, else TIFF),
  // written beside it and renamed over it; an existing file stays intact on failure (TwainError).
  // No source open: BadTwainState.
  TessivoStatus TwainAcquireToFile(const std::string& sFilePath, intptr_t hwnd);
  TwainPixelType TwainGetCurrentPixelType();
  bool TwainSetCurrentPixelType(TwainPixelType nPixelType);
  int32_t TwainGetCurrentBitDepth();  // bits per pixel: 1; 8/16 grey; 24/48 colour
  bool TwainSetCurrentBitDepth(int32_t nBitDepth);
  double TwainGetCurrentResolution();  // dots per inch, X and Y together
  bool TwainSetCurrentResolution(double nResolution);
  // Capabilities of the open source. Available values are what the source offers (a range is
  // listed min, min + step ... max); array fillers return the count; the ...No forms take a
  // 1-based number and answer 0 ("") above the count. A capability the device cannot honour
  // answers False/0/"" with TWCC_CAPUNSUPPORTED, a refused value TWCC_BADVALUE, a call in the
  // wrong state TWCC_SEQERROR.
  int32_t TwainGetAvailableCapValuesCount(TwainCapabilities nCap);
  int32_t TwainGetAvailableCapValuesNumeric(TwainCapabilities nCap, SafeArray<double>& arValues);
  int32_t TwainGetAvailableCapValuesString(TwainCapabilities nCap, SafeArray<std::string>& arValues);
  double TwainGetAvailableCapValueNoNumeric(TwainCapabilities nCap, int32_t nValueNo);
  std::string TwainGetAvailableCapValueNoString(TwainCapabilities nCap, int32_t nValueNo);
  bool TwainGetCapCurrentNumeric(TwainCapabilities nCap, double& nValue);
  bool TwainGetCapCurrentString(TwainCapabilities nCap, std::string& sValue);
  bool TwainGetCapRangeNumeric(TwainCapabilities nCap, double& nMinimum, double& nMaximum, double& nStep);
  // nValue in the item type's range (TWTY_FIX32: a whole number of units); else False, TWCC_BADVALUE.
  bool TwainSetCapCurrentNumeric(TwainCapabilities nCap, TwainItemTypes nItemType, int32_t nValue);
  bool TwainSetCapCurrentString(TwainCapabilities nCap, TwainItemTypes nItemType, const std::string& sValue);
  bool TwainResetCap(TwainCapabilities nCap);
  TwainItemTypes TwainGetCapItemType(TwainCapabilities nCap);  // 0 when unknown
  int32_t TwainGetAvailableImageFileFormat(SafeArray<int32_t>& arValues);
  int32_t TwainGetAvailableImageFileFormatCount();
  int32_t TwainGetAvailableImageFileFormatNo(int32_t nValueNo);
  bool TwainSetCurrentImageFileFormat(TwainImageFileFormats nImageFileFormat);
  TwainImageFileFormats TwainGetCurrentImageFileFormat();
  int32_t TwainGetAvailableCompression(SafeArray<int32_t>& arValues);
  int32_t TwainGetAvailableCompressionCount();
  int32_t TwainGetAvailableCompressionNo(int32_t nValueNo);
  bool TwainSetCurrentCompression(TwainCompression nCompression);
  TwainCompression TwainGetCurrentCompression();
  int32_t TwainGetAvailableBrightness(SafeArray<double>& arValues);
  int32_t TwainGetAvailableBrightnessCount();
  double TwainGetAvailableBrightnessNo(int32_t nValueNo);
  int32_t TwainGetAvailableContrast(SafeArray<double>& arValues);
  int32_t TwainGetAvailableContrastCount();
  double TwainGetAvailableContrastNo(int32_t nValueNo);
  int32_t TwainGetAvailableBitDepths(SafeArray<int32_t>& arValues);
  int32_t TwainGetAvailableBitDepthsCount();
  int32_t TwainGetAvailableBitDepthNo(int32_t nValueNo);
  int32_t TwainGetAvailablePixelTypes(SafeArray<int32_t>& arValues);
  int32_t TwainGetAvailablePixelTypesCount();
  int32_t TwainGetAvailablePixelTypeNo(int32_t nValueNo);
  bool TwainIsPixelTypeAvailable(TwainPixelType nPixelType);
  int32_t TwainGetAvailableXResolutions(SafeArray<double>& arValues);
  int32_t TwainGetAvailableXResolutionsCount();
  double TwainGetAvailableXResolutionNo(int32_t nValueNo);
  int32_t TwainGetAvailableYResolutions(SafeArray<double>& arValues);
  int32_t TwainGetAvailableYResolutionsCount();
  double TwainGetAvailableYResolutionNo(int32_t nValueNo);
  int32_t TwainGetAvailablePaperSize(SafeArray<int32_t>& arValues);
  int32_t TwainGetAvailablePaperSizeCount();
  int32_t TwainGetAvailablePaperSizeNo(int32_t nValueNo);
  int32_t TwainGetAvailableBarCodeTypeCount();
  TwainBarCodeType TwainGetAvailableBarCodeTypeNo(int32_t nValueNo);
  bool TwainIsFileTransferModeAvailable();
  bool TwainHasFeeder();   // the source accepts CAP_FEEDERENABLED 1 (tried, then put back)
  bool TwainHasFlatBed();  // the same with 0; True when the capability cannot be read
  bool TwainSelectFeeder(bool bFeeder);
  bool TwainIsFeederSelected();
  bool TwainIsFeederLoaded();  // a feeder selected that has not run out of paper
  bool TwainIsDuplexEnabled();
  double TwainGetCurrentThreshold();
  bool TwainSetCurrentThreshold(double nThreshold);
  bool TwainHasCameraPreviewUI();
  int32_t TwainGetCurrentPlanarChunky();
  bool TwainSetCurrentPlanarChunky(int32_t nPlanarChunky);
  int32_t TwainGetCurrentPixelFlavor();
  bool TwainSetCurrentPixelFlavor(int32_t nPixelFlavor);
  bool TwainIsAutomaticBorderDetectionAvailable();
  bool TwainIsAutomaticBorderDetectionEnabled();
  bool TwainSetAutomaticBorderDetection(bool bEnable);
  bool TwainIsBarcodeDetectionAvailable();
  bool TwainIsBarcodeDetectionEnabled();
  bool TwainSetBarcodeDetection(bool bEnable);
  bool TwainIsAutomaticDeskewAvailable();
  bool TwainIsAutomaticDeskewEnabled();
  bool TwainSetAutomaticDeskew(bool bEnable);
  bool TwainIsAutomaticDiscardBlankPagesAvailable();
  bool TwainIsAutomaticDiscardBlankPagesEnabled();
  bool TwainSetAutomaticDiscardBlankPages(bool bEnable);
  bool TwainIsAutomaticRotationAvailable();
  bool TwainIsAutomaticRotationEnabled();
  bool TwainSetAutomaticRotation(bool bEnable);
  bool TwainIsAutoScanAvailable();
  bool TwainIsAutoScanEnabled();
  bool TwainSetAutoScan(bool bEnable);
  bool TwainIsAutoFeedAvailable();
  bool TwainIsAutoFeedEnabled();
  bool TwainIsAutoFeedOn();
  bool TwainSetAutoFeed(bool bEnable);
  bool TwainIsAutoSizeAvailable();
  bool TwainIsAutoSizeEnabled();
  bool TwainSetAutoSize(bool bEnable);
  bool TwainIsAutoBrightnessAvailable();
  bool TwainIsAutoBrightnessEnabled();
  bool TwainSetAutoBrightness(bool bEnable);
  // Brightness and contrast on -1000..1000, the device's own range mapped onto it.
  double TwainGetCurrentBrightness();
  bool TwainSetCurrentBrightness(double nBrightness);
  double TwainGetCurrentContrast();
  bool TwainSetCurrentContrast(double nContrast);
  // Paper sizes and the scan area, in inches from the top left of the scan area.
  TwainPaperSize TwainGetPaperSize();
  bool TwainSetPaperSize(TwainPaperSize nPaperSize);
  double TwainGetPhysicalWidth();
  double TwainGetPhysicalHeight();
  bool TwainSetImageLayout(double nLeft, double nTop, double nRight, double nBottom);
  bool TwainGetImageLayout(double& nLeft, double& nTop, double& nRight, double& nBottom);
  bool TwainResetImageLayout();
  bool TwainEnableDuplex(bool bEnable);
  int32_t TwainGetDuplexMode();  // 0 none, 1 one-pass duplex
  // The session: dialogs go through HostServices (headless: False).
  bool TwainSelectSource(intptr_t hwnd = 0);
  bool TwainShowSetupDialogSource(intptr_t hwnd = 0);
  bool TwainDisableSource();
  bool TwainDisableAutoSourceClose(bool bDisable);
  bool TwainSetApplicationInfo(int32_t nMajorNum, int32_t nMinorNum, TwainLanguage nLanguage,
                               TwainCountry nCountry, const std::string& sVersionInfo,
                               const std::string& sManufacturer, const std::string& sProductFamily,
                               const std::string& sProductName);
  // Several pages per enabling of the source: up to the transfer count (-1 all the feeder holds).
  bool TwainSetMultiTransfer(bool bMultiTransfer);
  bool TwainSetXferCount(int32_t nXferCount);
  bool TwainEndXfer();
  bool TwainEndAllXfers();
  bool TwainSetIndicators(bool bShowIndicators);
  bool TwainSetErrorMessage(bool bShowError);
  bool TwainSetDebugMode(bool bDebugMode);  // also copies the log lines to stderr
  bool TwainLogStart(const std::string& sLogFilePath);
  bool TwainLogStop();
  // Barcodes the source found on the last page (1-based numbers checked against the count).
  int32_t TwainBarCodeGetCount();
  std::string TwainBarCodeGetValue(int32_t nBarCodeNo);
  TwainBarCodeType TwainBarCodeGetType(int32_t nBarCodeNo);
  int32_t TwainBarCodeGetXPos(int32_t nBarCodeNo);
  int32_t TwainBarCodeGetYPos(int32_t nBarCodeNo);
  int32_t TwainBarCodeGetConfidence(int32_t nBarCodeNo);
  TwainBarCodeRotation TwainBarCodeGetRotation(int32_t nBarCodeNo);
  // Scanning into a PDF: the pages collected are written when the job stops, one page per
  // image at its resolution. A stop without pages deletes the file.
  TessivoStatus TwainPdfStart(const std::string& sFilePath, const std::string& sTitle = "",
                              const std::string& sCreator = "Tessivo ToolKit",
                              const std::string& sAuthor = "Tessivo ToolKit", const std::string& sProducer = "");
  TessivoStatus TwainPdfStartEx(const std::string& sFilePath, const std::string& sTitle = "",
                                const std::string& sAuthor = "", const std::string& sSubject = "",
                                const std::string& sKeywords = "", const std::string& sCreator = "",
                                PdfEncryption nPdfEncryption = PdfEncryptionNone,
                                PdfRight nPDFRight = PdfRightUndefined, const std::string& sUserpassWord = "",
                                const std::string& sOwnerPassword = "");
  TessivoStatus TwainAddTessivoImageToPdf(int32_t nImageID);
  TessivoStatus TwainPdfStop();
  // Scanning into a searchable PDF: each image added is read at once (its text is returned,
  // lines ended by CR LF) and its page gets the invisible words when the job stops. An image
  // that cannot be read is not added (the recognition's status); the job goes on.
  TessivoStatus TwainPdfOCRStart(const std::string& sFilePath, const std::string& sTitle = "",
                                 const std::string& sCreator = "Tessivo ToolKit",
                                 const std::string& sAuthor = "Tessivo ToolKit", const std::string& sProducer = "");
  TessivoStatus TwainPdfOCRStartEx(const std::string& sFilePath, const std::string& sTitle = "",
                                   const std::string& sAuthor = "", const std::string& sSubject = "",
                                   const std::string& sKeywords = "", const std::string& sCreator = "",
                                   PdfEncryption nPdfEncryption = PdfEncryptionNone,
                                   PdfRight nPDFRight = PdfRightUndefined, const std::string& sUserpassWord = "",
                                   const std::string& sOwnerPassword = "");
  std::string TwainAddTessivoImageToPdfOCR(int32_t nImageID, TesseractDictionary nDictionary,
                                           const std::string& sDictionaryPath, const std::string& sCharWhiteList = "");
  TessivoStatus TwainPdfOCRStop();
  // --- Text and fonts (imaging_text.cpp) ---
  // Fonts come from the installed families; "Arial", "Times New Roman" and "Courier New" are
  // drawn with their metric-compatible Liberation families. A name that is no installed family
  // or alias: FontFamilyNotFound; a family without the weight and slant asked for:
  // FontStyleNotFound (underline and strikeout are drawn for every face). Styles combine the
  // FontStyle bits (0..15; others InvalidParameter). Sizes are in the font unit (points by
  // default) at the image's vertical resolution; sizes not above 0 or not finite, and the
  // display unit: InvalidParameter. Text starts at (nLeft, nTop) with its first baseline the
  // face's Windows ascent below; lines break at line feeds. The measured box is the widest
  // line's advance (trailing blanks included) by the line spacing times the lines; empty text
  // draws nothing. Without anti-aliasing glyphs are drawn one bit per pixel.
  // The unit of later font sizes; a value outside UnitMode is ignored and stores InvalidParameter.
  void FontSetUnit(UnitMode nUnit);
  UnitMode FontGetUnit();
  // The installed family names (sorted, each once), counted from 0; out of range "".
  int32_t FontGetCount();
  std::string FontGetName(int32_t nIndex);
  // Whether the family (or alias) has a face of the style's weight and slant; an unknown name
  // stores FontFamilyNotFound, a style outside 0..15 InvalidParameter, and both give False.
  bool FontIsStyleAvailable(const std::string& sFontName, FontStyle nStyle);
  TessivoStatus DrawText(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                         int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), const std::string& sFontName = "Arial",
                         FontStyle nFontStyle = FontStyleRegular, bool bAntiAlias = false);
  // The measured box is filled with the back colour first (opaque white by default).
  TessivoStatus DrawTextBackColor(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                  int32_t nColorARGB = static_cast<int32_t>(0xFF000000u), int32_t nBackColorARGB = -1,
                                  const std::string& sFontName = "Arial", FontStyle nFontStyle = FontStyleRegular,
                                  bool bAntiAlias = false);
  // Turned by nAngle degrees (clockwise on the image) about (nLeft, nTop); NaN or infinite
  // angles: InvalidParameter.
  TessivoStatus DrawRotatedText(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize, float nAngle,
                                int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                                const std::string& sFontName = "Arial", FontStyle nFontStyle = FontStyleRegular,
                                bool bAntiAlias = false);
  TessivoStatus DrawRotatedTextBackColor(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                         float nAngle, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                                         int32_t nBackColorARGB = -1, const std::string& sFontName = "Arial",
                                         FontStyle nFontStyle = FontStyleRegular, bool bAntiAlias = false);
  // Glyphs filled with a horizontal gradient over the measured box, start colour at its left
  // edge, end colour at its right edge.
  TessivoStatus DrawTextGradient(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                 int32_t nStartColorARGB, int32_t nEndColorARGB, const std::string& sFontName = "Arial",
                                 FontStyle nFontStyle = FontStyleRegular, bool bAntiAlias = false);
  // Glyphs painted with a texture repeated from the image's origin (texture pixel (0, 0) at
  // image pixel (0, 0)): an image file read for this draw and released after it (load failures
  // give the load status, the native image stays), or a registered image (unknown ID:
  // InvalidParameter; the native image itself is read as it was before the draw).
  TessivoStatus DrawTextTexture(const std::string& sText, int32_t nLeft, int32_t nTop, float nFontSize,
                                const std::string& sTextureFilePath, const std::string& sFontName = "Arial",
                                FontStyle nFontStyle = FontStyleRegular, bool bAntiAlias = false);
  TessivoStatus DrawTextTextureFromTessivoImage(const std::string& sText, int32_t nLeft, int32_t nTop,
                                                float nFontSize, int32_t nTextureImageID,
                                                const std::string& sFontName = "Arial",
                                                FontStyle nFontStyle = FontStyleRegular, bool bAntiAlias = false);
  // Text wrapped at blanks to the box's width and clipped to it, aligned in both directions by
  // nAlignment (0 near, 1 centre, 2 far; others InvalidParameter); with bBox the box is outlined
  // in the text colour. A width or height of 0 leaves that direction unbounded; negative ones:
  // InvalidParameter.
  TessivoStatus DrawTextBox(const std::string& sText, int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight,
                            float nFontSize, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u),
                            const std::string& sFontName = "Arial", FontStyle nFontStyle = FontStyleRegular,
                            int32_t nAlignment = 1, bool bBox = false, bool bAntiAlias = false);
  // --- Drawing images (imaging_draw_image.cpp) ---
  // Another registered image (or the native image itself, read from a copy) drawn on the native
  // image (the current page of a document). Interpolation: 5 nearest; 0, 1, 3 bilinear; 4 bicubic;
  // 2, 6, 7 prefiltered. Negative sizes mirror; scaled images keep their edge colours up to the
  // border; drawn at its own size on whole pixels an image lands exactly. Unknown IDs, sizes of 0,
  // an unknown mode: InvalidParameter, nothing drawn.
  TessivoStatus DrawImage(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                          int32_t nDstHeight, InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // The source rectangle (negative sizes mirror; the part off the source is not drawn).
  TessivoStatus DrawImageRect(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                              int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop, int32_t nSrcWidth,
                              int32_t nSrcHeight, InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // The source at (0, 0) at its own size, inside the polygon of x, y pairs (at least 3 points).
  TessivoStatus DrawImageClipped(int32_t nSrcImageID, const SafeArray<int32_t>& arPoints,
                                 InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // Onto the parallelogram of upper-left (1), upper-right (2) and lower-left (3) corners;
  // collinear points: InvalidParameter.
  TessivoStatus DrawImageSkewing(int32_t nSrcImageID, int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2,
                                 int32_t nX3, int32_t nY3,
                                 InterpolationMode nInterpolationMode = InterpolationModeBilinear,
                                 bool bAntiAlias = false);
  // Drawn with every alpha scaled: alpha' = round(alpha · t / 255), t clamped to 0..255.
  TessivoStatus DrawImageTransparency(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                      int32_t nDstHeight, int32_t nTransparency,
                                      InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // Drawn with a colour keyed out as SetTransparencyColorEx keys it (the plain form: distance 100).
  TessivoStatus DrawImageTransparencyColor(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop,
                                           int32_t nDstWidth, int32_t nDstHeight, int32_t nTransparentColorARGB,
                                           InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  TessivoStatus DrawImageTransparencyColorEx(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop,
                                             int32_t nDstWidth, int32_t nDstHeight, int32_t nTransparentColorARGB,
                                             int32_t nThreshold,
                                             InterpolationMode nInterpolationMode = InterpolationModeBilinear);
  // The source drawn bilinear at the destination size, then combined with the destination's ARGB
  // values by AND, OR or XOR of all four bytes (result in the image's own format). Only the part
  // on the image is computed; sizes below 1 or an unknown operator: InvalidParameter.
  TessivoStatus DrawImageOP(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                            int32_t nDstHeight, Operators nOperator);
  TessivoStatus DrawImageOPRect(int32_t nSrcImageID, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop, int32_t nSrcWidth,
                                int32_t nSrcHeight, Operators nOperator);
  // A line painted with the image file's pixels repeated from the image origin; the file is
  // loaded for the call only (no registry entry stays, the native image is unchanged). A file
  // that cannot be loaded gives the loader's status.
  TessivoStatus DrawTexturedLine(int32_t nX1, int32_t nY1, int32_t nX2, int32_t nY2, int32_t nPenWidth,
                                 const std::string& sTextureFilePath, bool bAntiAlias = false);
  // --- EXIF property items (imaging_exif.cpp) ---
  // The property items of the native image (the current page of a document), numbered from 1
  // in the bitmap's order. The getters never change the last status: without an image or for a
  // number out of range they give 0, "" or TagTypeUndefined. Edits of a document page are kept
  // when another page is selected. No native image: GenericError; an id that resolves to no
  // image: InvalidParameter.
  int32_t ExifTagCount();
  int32_t ExifTagGetID(int32_t nTagNo);
  int32_t ExifTagGetLength(int32_t nTagNo);
  TagTypes ExifTagGetType(int32_t nTagNo);
  std::string ExifTagGetName(int32_t nTagNo);
  std::string ExifTagGetValueString(int32_t nTagNo);
  // Makes arTagData a 0-based array of the value bytes and returns their number.
  int32_t ExifTagGetValueBytes(int32_t nTagNo, SafeArray<uint8_t>& arTagData);
  // A number outside 1..ExifTagCount: PropertyNotFound.
  TessivoStatus ExifTagDelete(int32_t nTagNo);
  // Deletes every item (OK when there are none), stopping at the first failure.
  TessivoStatus ExifTagDeleteAll();
  // Writes (or replaces) item nTagID with the array's bytes. A tag id outside 0..65535, a type
  // the bitmap does not keep, no bytes or a last element cut short: InvalidParameter.
  TessivoStatus ExifTagSetValueBytes(Tags nTagID, TagTypes nTagType, const SafeArray<uint8_t>& arTagData);
  // Writes item nTagID from text: comma-separated numbers (Byte 0..255, Short -32768..65535,
  // Long -2^31..2^32-1, SLong signed 32-bit, rationals as a/b or decimals, 2.8 being 28/10) or,
  // for ASCII, the text itself (the user comment gets its "ASCII" header). Other types, empty
  // text, NaN, infinities or a value out of range: InvalidParameter, nothing written.
  TessivoStatus ExifTagSetValueString(Tags nTagID, TagTypes nTagType, const std::string& sTagData);
  // --- Linear barcodes: Interleaved 2 of 5, Code 39, Code 128 (set B), EAN-13 (imaging_barcode.cpp) ---
  // Text is UTF-8, one character per code point, trimmed of leading and trailing blanks. The
  // check-character getters and BarCodeIsValidEAN13 need no native image and leave the status
  // alone; BarCodeGetChecksumEAN13 gives "" unless there are 12 or 13 digits (13: the last one,
  // as given). Drawing and widths need a native image (GenericError) and store their outcome:
  // InvalidBarCode for refused text (2 of 5: digits only; Code 39: 1 to 39 characters, others
  // drawn as blanks; Code 128: codes 32..126; EAN-13: 12 digits or 13 with the right check
  // digit), InvalidParameter for nHeight below 1. The module width is nHeight / 35 rounded
  // (at least 1 px); bars are filled aliased from (nDstLeft, nDstTop), with no quiet zone. A
  // width past the Long range is 0 with ValueOverflow.
  std::string BarCodeGetChecksumEAN13(const std::string& sCode);
  bool BarCodeIsValidEAN13(const std::string& sCode);
  std::string BarCodeGetChecksum25i(const std::string& sCode);
  std::string BarCodeGetChecksum39(const std::string& sCode);
  TessivoStatus BarCodeDraw25i(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                               bool bAddCheckSum = false, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u));
  int32_t BarCodeGetWidth25i(const std::string& sCode, int32_t nHeight, bool bAddCheckSum = false);
  TessivoStatus BarCodeDraw39(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                              bool bAddCheckSum = false, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u));
  int32_t BarCodeGetWidth39(const std::string& sCode, int32_t nHeight, bool bAddCheckSum = false);
  TessivoStatus BarCodeDraw128(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                               int32_t nColorARGB = static_cast<int32_t>(0xFF000000u));
  int32_t BarCodeGetWidth128(const std::string& sCode, int32_t nHeight);
  // nFontSize above 0 shortens the data bars by nHeight / 10 and writes the digits below them.
  TessivoStatus BarCodeDrawEAN13(const std::string& sCode, int32_t nDstLeft, int32_t nDstTop, int32_t nHeight,
                                 int32_t nFontSize = 0, int32_t nColorARGB = static_cast<int32_t>(0xFF000000u));
  int32_t BarCodeGetWidthEAN13(const std::string& sCode, int32_t nHeight);

  // Barcode reading (1D symbologies and DataMatrix) through the barcode reader plug-in.
  // DoScan reads the native image inside the region of interest last given to SetROI (the whole
  // image when none was given; clipped to the image) and keeps the symbols until the next scan or
  // ...Clear. Plug-in missing or too old: BarcodeReader1DPluginNotLoaded /
  // BarcodeReaderDataMatrixPluginNotLoaded after the host message; no native image or an unknown
  // scan mode: InvalidParameter. Symbols are numbered from 1; a number outside 1 ... count gives
  // 0, "" or False and leaves the status as it was. Corners are image pixels, clamped to the
  // image: 1 top left, 2 top right, 3 bottom right, 4 bottom left in the symbol's own
  // orientation. The skew angle is in degrees, counter-clockwise.
  TessivoStatus Barcode1DReaderDoScan(Barcode1DReaderScanMode ScanMode);
  int32_t Barcode1DReaderGetBarcodeCount();
  Barcode1DReaderType Barcode1DReaderGetBarcodeType(int32_t BarCodeNo);
  std::string Barcode1DReaderGetBarcodeValue(int32_t BarCodeNo);
  double Barcode1DReaderGetBarcodeSkewAngle(int32_t BarCodeNo);
  bool Barcode1DReaderBarcodeHasChecksum(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeX1(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeY1(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeX2(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeY2(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeX3(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeY3(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeX4(int32_t BarCodeNo);
  int32_t Barcode1DReaderGetBarcodeY4(int32_t BarCodeNo);
  // Frees the scanner and forgets the results (count 0).
  void Barcode1DReaderClear();
  TessivoStatus BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanMode ScanMode);
  int32_t BarcodeDataMatrixReaderGetBarcodeCount();
  std::string BarcodeDataMatrixReaderGetBarcodeValue(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeX1(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeY1(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeX2(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeY2(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeX3(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeY3(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeX4(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeY4(int32_t BarCodeNo);
  // Module rows and columns of the symbol's matrix (0 when they could not be measured).
  int32_t BarcodeDataMatrixReaderGetBarcodeRows(int32_t BarCodeNo);
  int32_t BarcodeDataMatrixReaderGetBarcodeColumns(int32_t BarCodeNo);
  void BarcodeDataMatrixReaderClear();
  // Text recognition through the OCR plug-in (Tesseract). DoOCR reads the native image inside the
  // region of interest last given to SetROI (the whole image when none was given; clipped to the
  // image), in the language of nDictionary with the language data of sDictionaryPath ("": the
  // TESSDATA_PREFIX folder, else the system's; a folder that is given is the only one looked
  // in), limited to the characters of sCharWhiteList when not "". It keeps the characters until
  // the next DoOCR or OCRTesseractClear and returns their text: lines joined by CR LF, words by
  // blanks. No native image: "" and the status as it was. Language data missing:
  // OCRDictionaryNotFound; plug-in missing: GenericError; a dictionary outside the enumeration:
  // InvalidParameter; any failure or a page without text empties the store. Characters are
  // numbered from 1; a number outside 1 ... count gives 0 (confidence: 100) and leaves the status
  // alone. Edges are image pixels, left/top inclusive, right/bottom exclusive; Spaces is the
  // number of blanks before the character on its line; confidence is in percent.
  std::string OCRTesseractDoOCR(TesseractDictionary nDictionary, const std::string& sDictionaryPath,
                                const std::string& sCharWhiteList = "");
  int32_t OCRTesseractGetCharCount();
  int32_t OCRTesseractGetCharCode(int32_t nCharNo);
  int32_t OCRTesseractGetCharLine(int32_t nCharNo);
  int32_t OCRTesseractGetCharLeft(int32_t nCharNo);
  int32_t OCRTesseractGetCharRight(int32_t nCharNo);
  int32_t OCRTesseractGetCharTop(int32_t nCharNo);
  int32_t OCRTesseractGetCharBottom(int32_t nCharNo);
  int32_t OCRTesseractGetCharSpaces(int32_t nCharNo);
  float OCRTesseractGetCharConfidence(int32_t nCharNo);
  // How the whole native image is turned, from the orientation data beside the language data:
  // 0, 90, 180 or 270 degrees clockwise from upright, -1 when it cannot be told (too little text,
  // or for the Ex form a detection less sure than nAccuracyLevel, Tesseract's orientation
  // confidence where about 15 is sure). Statuses as for DoOCR; no native image: -1, status kept.
  int32_t OCRTesseractGetOrientation(TesseractDictionary nDictionary, const std::string& sDictionaryPath);
  int32_t OCRTesseractGetOrientationEx(TesseractDictionary nDictionary, const std::string& sDictionaryPath,
                                       float nAccuracyLevel);
  // Empties the store.
  void OCRTesseractClear();
  // --- Printing on the spooler's printers (imaging_print.cpp) ---
  // Lengths are millimetres. Until PrintSetActivePrinter chooses one, the spooler's default
  // printer is used; selecting a printer loads its defaults. Getters and setters never change
  // the last status; rejected values leave the setting as it was. Without any printer the
  // getters give 0 or "".
  int32_t PrintGetPrintersCount();
  std::string PrintGetPrinterName(int32_t nPrinterNo);
  std::string PrintGetActivePrinter();
  // Exact name first (trimmed, without regard to case), then the first printer it begins.
  bool PrintSetActivePrinter(const std::string& sPrinterName);
  // Paper size codes of the platform (1 Letter, 5 Legal, 8 A3, 9 A4, 11 A5, ...); a code the
  // printer has no medium for is ignored. 256: a size set with PrintSetUserPaperSize.
  void PrintSetStdPaperSize(int32_t nPaperSize);
  int32_t PrintGetPaperSize();
  // Stored as whole twips (1/1440 inch); 1 mm to 5 m a side.
  void PrintSetUserPaperSize(float nPaperWidth, float nPaperHeight);
  // The sheet as oriented: landscape swaps width and height.
  float PrintGetPaperWidth();
  float PrintGetPaperHeight();
  // Left and top non-printable margins of the current medium (0 for a medium the printer
  // does not describe). The printable area is the sheet less twice each margin.
  void PrintGetMargins(float& nLeftMargin, float& nTopMargin);
  void PrintSetCopies(int32_t nCopies);  // 1 to 9999
  int32_t PrintGetCopies();
  void PrintSetOrientation(int16_t nOrientation);  // 1 portrait, 2 landscape
  int16_t PrintGetOrientation();
  void PrintSetColorMode(int32_t nColorMode);  // 1 monochrome, 2 colour
  int32_t PrintGetColorMode();
  void PrintSetDuplexMode(int32_t nDuplexMode);  // 1 simplex, 2 long edge, 3 short edge
  int32_t PrintGetDuplexMode();
  void PrintSetQuality(PrintQuality nQuality);  // a named level or a resolution in dpi
  PrintQuality PrintGetQuality();
  // True when the printer has that paper bin (1 upper, 2 lower, 3 middle, 4 manual, 5 envelope,
  // 7 automatic, ...).
  bool PrintSetPaperBin(int32_t nPaperBin);
  int32_t PrintGetPaperBin();
  // Pages of multi-page TIFF documents to print; 0 and 0 prints the current page only. A range
  // past the document's end stops at its last page. from > to, or a page below 1 with the
  // other not 0: InvalidParameter, range unchanged.
  TessivoStatus PrintSetFromToPage(int32_t nFrom, int32_t nTo);
  void PrintSetDocumentName(const std::string& sDocumentName);
  std::string PrintGetDocumentName();
  void PrintSetImageAlignment(ViewerImageAlignment nImageAlignment);  // outside 0..9: ignored
  ViewerImageAlignment PrintGetImageAlignment();
  void PrintSetAutoRotation(bool bAutoRotation);
  // The outcome of the last job: PrinterOK once the spooler accepted it,
  // PrinterErrorSelectingFrame, PrinterGdiplusWriteError (a page could not be rendered), or
  // PrinterUnexpectedError (no printer, a printer that vanished, is stopped or refuses jobs,
  // or a request refused before the job started). A failed job leaves nothing in the queue.
  PrinterStatus PrintGetStat();
  // Print the native image (each page of the range for a multi-page TIFF), one sheet per page:
  // at its natural size (pixels / dpi, 72 dpi without resolution), shrunk to the printable area
  // when larger; fitted to the printable area; or at the given position (from the printable
  // area's corner) and size (0: natural). They return the job's PrinterStatus and store the
  // last status only when refusing: no native image GenericError; unknown image, negative or
  // non-finite lengths, or fitting into a printable area without extent InvalidParameter.
  PrinterStatus PrintImage();
  PrinterStatus PrintImageFit();
  PrinterStatus PrintImageBySize(float nDstLeft, float nDstTop, float nWidth, float nHeight);
  // Select the printer, then print; the result tells whether the printer was found (False
  // without a native image).
  bool PrintImage2Printer(const std::string& sPrinterName);
  bool PrintImageBySize2Printer(const std::string& sPrinterName, float nDstLeft, float nDstTop, float nWidth,
                                float nHeight);
  // Show the host's print dialog (headless: cancelled, False), apply what the user chose, print
  // and apply it again for later jobs; True when the user confirmed.
  bool PrintImageDialog();
  bool PrintImageDialogFit();
  bool PrintImageDialogBySize(float nDstLeft, float nDstTop, float nWidth, float nHeight);
  // --- ICC profiles of images in memory (imaging_icc.cpp) ---
  // The profile is the native image's property item 34675 (type 7, the profile's bytes).
  // Whether the native image carries a profile; the last status is left alone unless there is
  // no native image (GenericError) or it is unknown (InvalidParameter).
  bool ICCImageHasProfile();
  // Removes the profile; ProfileNotFound when there is none.
  TessivoStatus ICCRemove();
  // Writes the profile's bytes to the file, replacing it only once they are all written
  // (GenericError on failure, the old file whole); ProfileNotFound when there is none.
  TessivoStatus ICCExportToFile(const std::string& sFilePath);
  // Attaches the profile read from the file. A missing, empty or 1-byte file: FileNotFound;
  // bytes that are not one whole ICC profile: InvalidParameter.
  TessivoStatus ICCAddFromFile(const std::string& sFilePath);
  // Converts the pixels from sRGB to the RGB profile of the file (perceptual intent) and
  // attaches that profile. 16-bit packed formats and premultiplied ones become 32bppARGB,
  // 64bppPARGB 64bppARGB, 16-bit grey 48bppRGB; indexed images convert their palette. A missing
  // or 1-byte file: FileNotFound; anything but a whole RGB profile: InvalidParameter.
  TessivoStatus ICCSetRGBProfile(const std::string& sProfilePath);
  // --- PDF documents (imaging_pdf.cpp, imaging_pdf_convert.cpp) ---
  // One document per instance is built call by call: PdfNewPdf/PdfNewPdfEx open it (false and
  // CanNotCreateFile when the path is empty, exists or cannot be created), PdfSavePdf
  // finishes it. Without an open document every other call does nothing and returns 0, false
  // or -1 (PdfGetPageOrientation). Coordinates, sizes and margins are in the unit of
  // PdfSetMeasurementUnits (0 points, 1 mm, 2 cm, 3 inches), origin at the page's lower left;
  // line widths, spacings and dashes are in points. Colours are red + 256 green + 65536 blue;
  // 0 to -255 are grey levels. Text is UTF-8 and reaches the document as Windows-1252 ("?" for
  // other characters).
  bool PdfNewPdf(const std::string& sFilePath, const std::string& sTitle = "",
                 const std::string& sCreator = "Tessivo ToolKit", const std::string& sAuthor = "Tessivo ToolKit",
                 const std::string& sProducer = "");
  bool PdfNewPdfEx(const std::string& sFilePath, const std::string& sTitle = "", const std::string& sAuthor = "",
                   const std::string& sSubject = "", const std::string& sKeywords = "",
                   const std::string& sCreator = "", PdfEncryption nPdfEncryption = PdfEncryptionNone,
                   PdfRight nPDFRight = PdfRightUndefined, const std::string& sUserpassWord = "",
                   const std::string& sOwnerPassword = "");
  // An XMP packet written as the document's metadata; false once the document has begun.
  bool PdfSetMetadata(const std::string& sXMP);
  int32_t PdfNewPage();
  void PdfEndPage();  // pages end at the next PdfNewPage or at PdfSavePdf
  int32_t PdfGetCurrentPage();
  void PdfSavePdf();
  void PdfSetPageDimensions(float nWidth, float nHeight);  // for pages begun afterwards
  void PdfSetPageMargin(float nMargin);
  float PdfGetPageMargin();
  void PdfSetPageOrientation(int32_t nOrientation);  // 0 portrait, 1 landscape; others ignored
  int32_t PdfGetPageOrientation();
  void PdfSetMeasurementUnits(int32_t nUnitValue);  // 0..3, others ignored
  void PdfSetCompressionLevel(int32_t nLevel);      // 0..9, others ignored
  int32_t PdfGetCompressionLevel();
  void PdfSetJpegQuality(int32_t nQuality);  // 0..100, others ignored
  int32_t PdfGetJpegQuality();
  // Image numbers count from 1; 0 when the image could not be added.
  int32_t PdfAddImageFromFile(const std::string& sImagePath);
  int32_t PdfAddImageFromTessivoImage(int32_t nImageID);
  void PdfDrawImage(int32_t nPdfImageNo, float nDstX, float nDstY, float nWidth, float nHeight);
  float PdfGetImageWidth(int32_t nPdfImageNo);  // at the image's resolution
  float PdfGetImageHeight(int32_t nPdfImageNo);
  int32_t PdfAddFont(const std::string& sFontName, bool bBold = false, bool bItalic = false);
  void PdfSetTextColor(int32_t nRGBColor);  // reset to black by every new page
  void PdfDrawText(float nDstX, float nDstY, const std::string& sText, int32_t nFontID, float nFontSize,
                   float nRotation = 0);
  void PdfDrawTextAlign(float nDstX, float nDstY, const std::string& sText, int32_t nFontID, float nFontSize,
                        int32_t nTextAlign);  // 0 left, 1 right, 2 centre
  float PdfGetTextWidth(const std::string& sText, int32_t nFontID, float nFontSize);
  void PdfSetTextMode(int32_t nTextMode);  // 0 fill, 1 stroke, 2 both, 3 invisible
  void PdfSetCharSpacing(float nCharSpacing);
  void PdfSetWordSpacing(float nWordSpacing);
  void PdfSetTextHorizontalScaling(float nScaling);
  void PdfSetLineDash(float nDashOn, float nDashOff);  // both 0: solid
  void PdfSetLineJoin(int32_t nLineJoin);
  void PdfSetLineCap(int32_t nLineCap);
  void PdfDrawLine(float nX1, float nY1, float nX2, float nY2, float nBorderWidth, int32_t nRGBColor = 0);
  // nRay rounds the corners.
  void PdfDrawRectangle(float nX, float nY, float nWidth, float nHeight, float nBorderWidth, int32_t nRGBColor = 0,
                        float nRay = 0);
  void PdfDrawFillRectangle(float nX, float nY, float nWidth, float nHeight, float nBorderWidth,
                            int32_t nRGBColor = 0, float nRay = 0);
  void PdfDrawCircle(float nX, float nY, float nRay, float nBorderWidth, int32_t nRGBColor = 0);
  void PdfDrawFillCircle(float nX, float nY, float nRay, float nBorderWidth, int32_t nRGBColor = 0);
  void PdfDrawCurve(float nX1, float nY1, float nX2, float nY2, float nX3, float nY3, float nBorderWidth,
                    int32_t nRGBColor = 0);
  // An elliptic arc (vertical radius nRay x nRatio), a pie when bPie is set.
  void PdfDrawArc(float nX, float nY, float nRay, float nBorderWidth, float nStartAngle = 0, float nEndAngle = 360,
                  float nRatio = 1, bool bPie = false, int32_t nRGBColor = 0);
  // One-call conversions. The native image becomes one page of its own size at its resolution
  // (a multi-page TIFF: one page per TIFF page); the A forms write PDF/A-1b. Status:
  // CanNotCreateFile, PdfErrorAddingImage (the file is still finished), InvalidParameter for
  // image ID 0, UnsupportedImageFormat for a TIFF conversion of a single-page image.
  bool SaveAsPDF(const std::string& sFilePath, const std::string& sTitle = "",
                 const std::string& sCreator = "Tessivo ToolKit", const std::string& sAuthor = "Tessivo ToolKit",
                 const std::string& sProducer = "");
  bool SaveAsPDFEx(const std::string& sFilePath, const std::string& sTitle = "", const std::string& sAuthor = "",
                   const std::string& sSubject = "", const std::string& sKeywords = "",
                   const std::string& sCreator = "", PdfEncryption nPdfEncryption = PdfEncryptionNone,
                   PdfRight nPDFRight = PdfRightUndefined, const std::string& sUserpassWord = "",
                   const std::string& sOwnerPassword = "");
  bool SaveAsPDFA(const std::string& sFilePath, const std::string& sTitle = "",
                  const std::string& sCreator = "Tessivo ToolKit", const std::string& sAuthor = "Tessivo ToolKit",
                  const std::string& sProducer = "");
  bool SaveAsPDFAEx(const std::string& sFilePath, const std::string& sTitle = "", const std::string& sAuthor = "",
                    const std::string& sSubject = "", const std::string& sKeywords = "",
                    const std::string& sCreator = "");
  TessivoStatus PdfCreateFromMultipageTIFF(int32_t nImageID, const std::string& sFilePath,
                                           const std::string& sTitle = "",
                                           const std::string& sCreator = "Tessivo ToolKit",
                                           const std::string& sAuthor = "Tessivo ToolKit",
                                           const std::string& sProducer = "");
  TessivoStatus PdfCreateFromMultipageTIFFEx(int32_t nImageID, const std::string& sFilePath,
                                             const std::string& sTitle = "", const std::string& sAuthor = "",
                                             const std::string& sSubject = "", const std::string& sKeywords = "",
                                             const std::string& sCreator = "",
                                             PdfEncryption nPdfEncryption = PdfEncryptionNone,
                                             PdfRight nPDFRight = PdfRightUndefined,
                                             const std::string& sUserpassWord = "",
                                             const std::string& sOwnerPassword = "");
  TessivoStatus PdfACreateFromMultipageTIFF(int32_t nImageID, const std::string& sFilePath,
                                            const std::string& sTitle = "",
                                            const std::string& sCreator = "Tessivo ToolKit",
                                            const std::string& sAuthor = "Tessivo ToolKit",
                                            const std::string& sProducer = "");
  TessivoStatus PdfACreateFromMultipageTIFFEx(int32_t nImageID, const std::string& sFilePath,
                                              const std::string& sTitle = "", const std::string& sAuthor = "",
                                              const std::string& sSubject = "", const std::string& sKeywords = "",
                                              const std::string& sCreator = "");
  // Searchable conversions: the same pages, each with the words the OCR plug-in reads from its
  // image (for a document given to SaveAsPDFOCR, its selected page) laid invisibly over them,
  // always as PDF/A-1b unless encrypted. Return the recognised text, lines ended by CR LF, and
  // "" on failure, when no file is left at the path: CanNotCreateFile, PdfErrorAddingImage,
  // FontFamilyNotFound (no "Courier New"), or the recognition's status (GenericError without
  // the plug-in, OCRDictionaryNotFound, ...). Characters outside Windows-1252 are returned but
  // laid into the page as "?".
  std::string SaveAsPDFOCR(const std::string& sFilePath, TesseractDictionary nDictionary,
                           const std::string& sDictionaryPath, const std::string& sCharWhiteList = "",
                           const std::string& sTitle = "", const std::string& sCreator = "Tessivo ToolKit",
                           const std::string& sAuthor = "Tessivo ToolKit", const std::string& sProducer = "");
  std::string SaveAsPDFOCREx(const std::string& sFilePath, TesseractDictionary nDictionary,
                             const std::string& sDictionaryPath, const std::string& sCharWhiteList = "",
                             const std::string& sTitle = "", const std::string& sAuthor = "",
                             const std::string& sSubject = "", const std::string& sKeywords = "",
                             const std::string& sCreator = "", PdfEncryption nPdfEncryption = PdfEncryptionNone,
                             PdfRight nPDFRight = PdfRightUndefined, const std::string& sUserpassWord = "",
                             const std::string& sOwnerPassword = "");
  std::string PdfOCRCreateFromMultipageTIFF(int32_t nImageID, const std::string& sFilePath,
                                            TesseractDictionary nDictionary, const std::string& sDictionaryPath,
                                            const std::string& sCharWhiteList = "", const std::string& sTitle = "",
                                            const std::string& sCreator = "Tessivo ToolKit",
                                            const std::string& sAuthor = "Tessivo ToolKit",
                                            const std::string& sProducer = "");
  std::string PdfOCRCreateFromMultipageTIFFEx(int32_t nImageID, const std::string& sFilePath,
                                              TesseractDictionary nDictionary, const std::string& sDictionaryPath,
                                              const std::string& sCharWhiteList = "",
                                              const std::string& sTitle = "", const std::string& sAuthor = "",
                                              const std::string& sSubject = "", const std::string& sKeywords = "",
                                              const std::string& sCreator = "",
                                              PdfEncryption nPdfEncryption = PdfEncryptionNone,
                                              PdfRight nPDFRight = PdfRightUndefined,
                                              const std::string& sUserpassWord = "",
                                              const std::string& sOwnerPassword = "");
  // The sum of the PdfRight flags that are true (PdfRightCanView when none is).
  PdfRight PdfCreateRights(bool bCanPrint, bool bCanModify, bool bCanCopy, bool bCanAddNotes, bool bCanFillFields,
                           bool bCanCopyAccess, bool bCanAssemble, bool bCanprintFull);
  // --- Document recognition by layout templates (imaging_ard.cpp) ---
  // A template learns the layout of one kind of page from sample images; a lookup returns the
  // ID of the template a page resembles most (0 when none) and its relevance in percent.
  // Template IDs are unique within the set and never 0. Creating from an image or file and
  // adding a sample store their status (TemplateNotFound 400 for an unknown template,
  // InvalidParameter for an unknown image, the load status for a file); a failed creation
  // leaves no template behind. Lookups store OK, InvalidParameter, the load status, or
  // TemplateNotFound when the set is empty. The other methods leave the status alone. A
  // template set file that is missing, truncated or malformed loads as False and leaves the
  // current set untouched; saving an empty set is False and writes nothing.
  int32_t ADRCreateTemplateEmpty();
  int32_t ADRCreateTemplateFromTessivoImage(int32_t nImageID);
  int32_t ADRCreateTemplateFromFile(const std::string& sFilePath);
  int32_t ADRCreateTemplateFromFileICM(const std::string& sFilePath);
  TessivoStatus ADRAddImageToTemplate(int32_t nTemplateID, int32_t nImageID);
  bool ADRDeleteTemplate(int32_t nTemplateID);
  bool ADRSetTemplateTag(int32_t nTemplateID, const std::string& sTemplateTag);
  std::string ADRGetTemplateTag(int32_t nTemplateID);
  int32_t ADRGetTemplateImageCount(int32_t nTemplateID);
  int32_t ADRGetTemplateCount();
  // ID at 1-based position nTemplateNo; -1 outside 1..count.
  int32_t ADRGetTemplateID(int32_t nTemplateNo);
  bool ADRLoadTemplateConfig(const std::string& sFileConfig);
  bool ADRSaveTemplateConfig(const std::string& sFileConfig);
  void ADRStartNewTemplateConfig();
  int32_t ADRGetCloserTemplateForTessivoImage(int32_t nImageID);
  int32_t ADRGetCloserTemplateForFile(const std::string& sFilePath);
  int32_t ADRGetCloserTemplateForFileICM(const std::string& sFilePath);
  // Best relevance of the last lookup, and the relevance it gave one template (0 for a
  // template not in the set or added since).
  double ADRGetLastRelevance();
  double ADRGetLastRelevanceFromTemplate(int32_t nTemplateID);

  // --- Device contexts, windows, GDI-style handles and the clipboard ---
  // Handles (device contexts, windows, bitmaps, icons, picture objects, memory blocks) are small
  // positive numbers from one process-wide table (tessivo/host_surfaces.h lets a host create
  // windows and read back what was drawn). A handle of the wrong kind, or one released
  // already, is InvalidParameter and changes nothing; an image made from a handle owns a copy
  // of its pixels, so releasing the handle afterwards never touches the image.
  //
  // Display (imaging_display.cpp): the native image (the current page of a document) drawn into
  // a rectangle of a device context or a window. Interpolation outside 0..7 draws with nearest
  // neighbour. No native image, an unknown handle, a rectangle of zero or negative size or one
  // whose scaled edges do not fit the 32-bit pixel grid: InvalidParameter, nothing drawn.
  TessivoStatus DisplayImageOnHDC(int32_t hdc, float nLeft, float nTop, float nWidth, float nHeight,
                                  InterpolationMode nInterpolation = InterpolationModeBilinear);
  TessivoStatus DisplayImageOnHwnd(int32_t hwnd, float nLeft, float nTop, float nWidth, float nHeight,
                                   InterpolationMode nInterpolation = InterpolationModeBilinear);
  TessivoStatus DisplayImageRectOnHDC(int32_t hdc, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                      int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop, int32_t nSrcWidth,
                                      int32_t nSrcHeight,
                                      InterpolationMode nInterpolation = InterpolationModeBilinear);
  TessivoStatus DisplayImageRectOnHwnd(int32_t hwnd, int32_t nDstLeft, int32_t nDstTop, int32_t nDstWidth,
                                       int32_t nDstHeight, int32_t nSrcLeft, int32_t nSrcTop, int32_t nSrcWidth,
                                       int32_t nSrcHeight,
                                       InterpolationMode nInterpolation = InterpolationModeBilinear);
  // Plays the native image's frames once into the rectangle, waiting each frame's delay.
  TessivoStatus GifDisplayAnimatedGif(int32_t hdc, int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight);
  // The device context drawing into the image itself (made on first request, the same one on
  // later requests) and its release; unknown image: GenericError. Closing the image releases
  // its device context too.
  int32_t GetTessivoImageDC(int32_t nImageID);
  TessivoStatus ReleaseTessivoImageDC(int32_t hdc);

  // Images from handles (imaging_handles.cpp). Each loader makes the new image native on OK.
  // Unknown or wrong-kind handle: InvalidParameter. CreateImageFromHwnd copies what the window
  // (0: the desktop, the virtual screen) shows. CreateImageFromDIB reads a packed DIB (40-byte
  // header, palette, rows bottom-up or top-down; 1, 4, 8, 16, 24 and 32 bits per pixel,
  // uncompressed or bit fields) and checks every header field against the block's size first;
  // handle 0 or a header that does not fit: InvalidParameter; a handle that names no live
  // memory block: GenericError. The clipboard offers a DIB first, else a bitmap; an empty
  // clipboard: GenericError.
  int32_t CreateImageFromHBitmap(int32_t hBitmap);
  int32_t CreateImageFromHICON(int32_t hIcon);
  int32_t CreateImageFromHwnd(int32_t hwnd = 0);
  int32_t CreateImageFromDIB(int32_t hDib);
  int32_t CreateImageFromPicture(int32_t oPicture);
  int32_t CreateImageFromClipboard();
  // A placeable Windows metafile (WMF) rendered through the codec plug-in into a
  // 32bppARGB image of its bounding box (one pixel per metafile unit) times nScaleBy, each side
  // rounded to the nearest pixel. No such file: FileNotFound; no codec plug-in: Aborted; a scale
  // that is not positive or leaves a side below one pixel: InvalidParameter. Enhanced metafiles
  // (EMF) cannot be rendered in this build (no maintained renderer is available on the
  // platform): they, and anything else that is no Windows metafile, give UnknownImageFormat.
  int32_t CreateImageFromMetaFile(const std::string& sFilePath, float nScaleBy = 1.0f);

  // Handles out: the caller owns what it receives and releases it with the matching Delete /
  // Remove method (a second release is InvalidParameter). GetGdiplusImage's handle stays the
  // toolkit's.
  int32_t GetHBitmap();
  int32_t GetPicture();
  int32_t GetPictureFromTessivoImage(int32_t nImageID);
  // A packed DIB in a memory block: 40-byte header, palette for 1/4/8 bpp, rows bottom-up.
  int32_t GetDib();
  intptr_t GetGdiplusImage();
  // An icon (32-bit colour and a 1-bit mask, transparent where alpha is 0) of the native image.
  int32_t GetHICON();
  int32_t GetDesktopHwnd();
  TessivoStatus DeleteHBitmap(int32_t hBitmap);
  TessivoStatus DeleteHICON(int32_t hIcon);
  TessivoStatus DeletePictureObject(int32_t oPicture);
  TessivoStatus RemoveDib(int32_t hDib);
  // The numbered support entry point: no support function is defined in this build, so every
  // number answers NotImplemented, stores it and leaves the by-reference values unchanged.
  TessivoStatus SupportFunc(int32_t nSupportID, double& dValue1, double& dValue2, double& dValue3,
                            int32_t& nValue1, int32_t& nValue2, int32_t& nValue3, std::string& sValue1,
                            std::string& sValue2, std::string& sValue3);

  // Clipboard (imaging_clipboard.cpp): the image goes on as a bitmap (and as a DIB).
  TessivoStatus CopyToClipboard();
  TessivoStatus CopyRegionToClipboard(int32_t nLeft, int32_t nTop, int32_t nWidth, int32_t nHeight);
  TessivoStatus DeleteClipboardData();

  // Print dialogs owned by a window (0 or a window handle; another handle: False).
  bool PrintImageDialogHWND(int32_t hwnd);
  bool PrintImageDialogFitHWND(int32_t hwnd);
  bool PrintImageDialogBySizeHWND(int32_t hwnd, float nDstLeft, float nDstTop, float nWidth, float nHeight);
  // A scan handed over as a packed DIB memory block (0 on failure); the caller removes it.
  int32_t TwainAcquireToDib(intptr_t hwnd = 0);

  // Instance state shared by the family source files; not part of the public interface.
  ImagingState& State() { return *state_; }

 private:
  std::unique_ptr<ImagingState> state_;
};

}  // namespace tessivo
