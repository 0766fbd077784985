// Public enumerations of loading, saving and image information.
#pragma once
#include <cstdint>

namespace tessivo {

// Colour space of an image, read from its flags (GetImageColorSpace).
enum ImageColorSpaces : int32_t {
  ImageColorSpaceUnknown = 0,
  ImageColorSpaceRGB = 1,
  ImageColorSpaceCMYK = 2,
  ImageColorSpaceGRAY = 3,
  ImageColorSpaceYCBCR = 4,
  ImageColorSpaceYCCK = 5,
};

// Lossless JPEG transformations (TransformJPEG); the values are the platform encoder's.
enum JPEGTransformations : int32_t {
  JPEGTransformRotate90 = 13,
  JPEGTransformRotate180 = 14,
  JPEGTransformRotate270 = 15,
  JPEGTransformFlipHorizontal = 16,
  JPEGTransformFlipVertical = 17,
};

// TIFF compression (SaveAsTIFF and the multi-page TIFF writers); the platform encoder's values.
// CCITT3, CCITT4 and RLE apply to 1-bit images only: other images are written with LZW.
enum TifCompression : int32_t {
  CompressionLZW = 2,
  CompressionCCITT3 = 3,
  CompressionCCITT4 = 4,
  CompressionRLE = 5,
  CompressionNone = 6,
};

// OpenEXR compression (SaveAsEXR), passed to the codec plug-in as its save flags.
enum ExrCompression : int32_t {
  ExrCompressionDefault = 0,
  ExrCompressionFloat = 1,
  ExrCompressionNone = 2,
  ExrCompressionZip = 4,
  ExrCompressionPiz = 8,
  ExrCompressionPxr24 = 16,
  ExrCompressionB44 = 32,
  ExrCompressionLC = 64,
};

}  // namespace tessivo
