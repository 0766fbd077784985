// Type library entries of loading, saving and image information, with their enumerations.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(LoadSaveInfo) {
  catalog.Enum<ImageColorSpaces>({
      {"ImageColorSpaceUnknown", ImageColorSpaceUnknown},
      {"ImageColorSpaceRGB", ImageColorSpaceRGB},
      {"ImageColorSpaceCMYK", ImageColorSpaceCMYK},
      {"ImageColorSpaceGRAY", ImageColorSpaceGRAY},
      {"ImageColorSpaceYCBCR", ImageColorSpaceYCBCR},
      {"ImageColorSpaceYCCK", ImageColorSpaceYCCK},
  });
  catalog.Enum<JPEGTransformations>({
      {"JPEGTransformRotate90", JPEGTransformRotate90},
      {"JPEGTransformRotate180", JPEGTransformRotate180},
      {"JPEGTransformRotate270", JPEGTransformRotate270},
      {"JPEGTransformFlipHorizontal", JPEGTransformFlipHorizontal},
      {"JPEGTransformFlipVertical", JPEGTransformFlipVertical},
  });
  catalog.Enum<TifCompression>({
      {"CompressionLZW", CompressionLZW},
      {"CompressionCCITT3", CompressionCCITT3},
      {"CompressionCCITT4", CompressionCCITT4},
      {"CompressionRLE", CompressionRLE},
      {"CompressionNone", CompressionNone},
  });
  catalog.Enum<ExrCompression>({
      {"ExrCompressionDefault", ExrCompressionDefault},
      {"ExrCompressionFloat", ExrCompressionFloat},
      {"ExrCompressionNone", ExrCompressionNone},
      {"ExrCompressionZip", ExrCompressionZip},
      {"ExrCompressionPiz", ExrCompressionPiz},
      {"ExrCompressionPxr24", ExrCompressionPxr24},
      {"ExrCompressionB44", ExrCompressionB44},
      {"ExrCompressionLC", ExrCompressionLC},
  });

  // Loading.
  catalog.Method("CreateImageFromFile", &cImaging::CreateImageFromFile, "sFilePath");
  catalog.Method("CreateImageFromFileICM", &cImaging::CreateImageFromFileICM, "sFilePath");
  catalog.Method("CreateImageFromByteArray", &cImaging::CreateImageFromByteArray, "arBytes");
  catalog.Method("CreateImageFromByteArrayICM", &cImaging::CreateImageFromByteArrayICM, "arBytes");
  catalog.Method("CreateImageFromMemory", &cImaging::CreateImageFromMemory, "nAddress, nLength");
  catalog.Method("CreateImageFromString", &cImaging::CreateImageFromString, "sData");
  catalog.Method("CreateImageFromStringICM", &cImaging::CreateImageFromStringICM, "sData");
  // Streams travel as stream handles (tessivo/streams.h), Longs in the type library.
  catalog.Method("CreateImageFromStream", &cImaging::CreateImageFromStream, "oStream");
  catalog.Method("CreateImageFromStreamICM", &cImaging::CreateImageFromStreamICM, "oStream");
  catalog.Method("CreateImageFromRawBits", &cImaging::CreateImageFromRawBits,
                 "nWidth, nHeight, nStride, nPixelFormat, nBits");
  catalog.Method("CreateImageFromGdiPlusImage", &cImaging::CreateImageFromGdiPlusImage, "hImage");

  // Saving.
  catalog.Method("SaveAsBmp", &cImaging::SaveAsBmp, "sFilePath");
  catalog.Method("SaveAsPNG", &cImaging::SaveAsPNG, "sFilePath");
  catalog.Method("SaveAsGIF", &cImaging::SaveAsGIF, "sFilePath");
  catalog.Method("SaveAsJPEG", &cImaging::SaveAsJPEG, "sFilePath, nQuality=75");
  catalog.Method("SaveAsTIFF", &cImaging::SaveAsTIFF, "sFilePath, nCompression=CompressionLZW");
  catalog.Method("SaveAsStream", &cImaging::SaveAsStream, "&oStream, sFormat, nParameter=0");
  catalog.Method("SaveAsTIFFjpg", &cImaging::SaveAsTIFFjpg, "sFilePath");
  catalog.Method("SaveAsTIFFjpgEx", &cImaging::SaveAsTIFFjpgEx, "sFilePath, nQuality");
  catalog.Method("SaveAsWBMP", &cImaging::SaveAsWBMP, "sFilePath");
  catalog.Method("SaveAsXPM", &cImaging::SaveAsXPM, "sFilePath");
  catalog.Method("SaveAsTGA", &cImaging::SaveAsTGA, "sFilePath");
  catalog.Method("SaveAsPBM", &cImaging::SaveAsPBM, "sFilePath");
  catalog.Method("SaveAsJ2K", &cImaging::SaveAsJ2K, "sFilePath, nRate=16");
  catalog.Method("SaveAsJP2", &cImaging::SaveAsJP2, "sFilePath, nRate=16");
  catalog.Method("SaveAsEXR", &cImaging::SaveAsEXR, "sFilePath, nCompression=0");
  catalog.Method("SaveAsICO", &cImaging::SaveAsICO,
                 "sFilePath, bTransparent=False, nTransparentColor=-1");
  catalog.Method("SaveAsByteArray", &cImaging::SaveAsByteArray,
                 "&arBytes, &nLength, sFormat, nParameter=0");
  catalog.Method("SaveAsString", &cImaging::SaveAsString, "sFormat, nParameter=0");

  // Image information.
  catalog.Method("GetWidth", &cImaging::GetWidth);
  catalog.Method("GetHeight", &cImaging::GetHeight);
  catalog.Method("GetWidthMM", &cImaging::GetWidthMM);
  catalog.Method("GetHeightMM", &cImaging::GetHeightMM);
  catalog.Method("GetHorizontalResolution", &cImaging::GetHorizontalResolution);
  catalog.Method("GetVerticalResolution", &cImaging::GetVerticalResolution);
  catalog.Method("SetHorizontalResolution", &cImaging::SetHorizontalResolution,
                 "nHorizontalresolution");
  catalog.Method("SetVerticalResolution", &cImaging::SetVerticalResolution, "nVerticalresolution");
  catalog.Method("GetPixelFormat", &cImaging::GetPixelFormat);
  catalog.Method("GetPixelFormatString", &cImaging::GetPixelFormatString);
  catalog.Method("GetPixelDepth", &cImaging::GetPixelDepth);
  catalog.Method("IsPixelFormatIndexed", &cImaging::IsPixelFormatIndexed);
  catalog.Method("IsPixelFormatHasAlpha", &cImaging::IsPixelFormatHasAlpha);
  catalog.Method("GetImageColorSpace", &cImaging::GetImageColorSpace);
  catalog.Method("IsCMYKFile", &cImaging::IsCMYKFile, "sFilePath");
  catalog.Method("ClearImage", &cImaging::ClearImage, "nColorARGB");
  catalog.Method("TransformJPEG", &cImaging::TransformJPEG,
                 "sInputFile, sOutputFile, nTransformation");
  catalog.Method("GetColorChannelFlagsC", &cImaging::GetColorChannelFlagsC);
  catalog.Method("GetColorChannelFlagsM", &cImaging::GetColorChannelFlagsM);
  catalog.Method("GetColorChannelFlagsY", &cImaging::GetColorChannelFlagsY);
  catalog.Method("GetColorChannelFlagsK", &cImaging::GetColorChannelFlagsK);
}

}  // namespace tessivo::dispatch
