// Type library entries of the multi-page TIFF and GIF document methods.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Documents) {
  catalog.Method("TiffOpenMultiPageAsReadOnly", &cImaging::TiffOpenMultiPageAsReadOnly, "bReadOnly");
  catalog.Method("GifOpenMultiPageAsReadOnly", &cImaging::GifOpenMultiPageAsReadOnly, "bReadOnly");
  catalog.Method("TiffIsMultiPage", &cImaging::TiffIsMultiPage, "nImageID");
  catalog.Method("TiffIsEditableMultiPage", &cImaging::TiffIsEditableMultiPage, "nImageID");
  catalog.Method("TiffGetPageCount", &cImaging::TiffGetPageCount, "nImageID");
  catalog.Method("TiffGetCurrentPage", &cImaging::TiffGetCurrentPage, "nImageID");
  catalog.Method("TiffSelectPage", &cImaging::TiffSelectPage, "nImageID, nPage");
  catalog.Method("GifIsMultiPage", &cImaging::GifIsMultiPage, "nImageID");
  catalog.Method("GifIsEditableMultiPage", &cImaging::GifIsEditableMultiPage, "nImageID");
  catalog.Method("GifGetPageCount", &cImaging::GifGetPageCount, "nImageID");
  catalog.Method("GifGetCurrentPage", &cImaging::GifGetCurrentPage, "nImageID");
  catalog.Method("GifSelectPage", &cImaging::GifSelectPage, "nImageID, nPage");
  catalog.Method("TiffCreateMultiPageFromFile", &cImaging::TiffCreateMultiPageFromFile, "sFilePath");
  catalog.Method("TiffCreateMultiPageFromFileICM", &cImaging::TiffCreateMultiPageFromFileICM, "sFilePath");
  catalog.Method("GifCreateMultiPageFromFile", &cImaging::GifCreateMultiPageFromFile, "sFilePath");
  catalog.Method("TiffCreateMultiPageFromTessivoImage", &cImaging::TiffCreateMultiPageFromTessivoImage, "nImageID");
  catalog.Method("GifCreateMultiPageFromTessivoImage", &cImaging::GifCreateMultiPageFromTessivoImage, "nImageID");
  catalog.Method("TiffInsertPageFromTessivoImage", &cImaging::TiffInsertPageFromTessivoImage,
                 "nImageID, nPosition, nAddImageID");
  catalog.Method("TiffInsertPageFromFile", &cImaging::TiffInsertPageFromFile, "nImageID, nPosition, sFilePath");
  catalog.Method("TiffAppendPageFromTessivoImage", &cImaging::TiffAppendPageFromTessivoImage, "nImageID, nAddImageID");
  catalog.Method("TiffAppendPageFromFile", &cImaging::TiffAppendPageFromFile, "nImageID, sFilePath");
  catalog.Method("TiffDeletePage", &cImaging::TiffDeletePage, "nImageID, nPage");
  catalog.Method("TiffSwapPages", &cImaging::TiffSwapPages, "nImageID, nPage1, nPage2");
  catalog.Method("GifInsertPageFromTessivoImage", &cImaging::GifInsertPageFromTessivoImage,
                 "nImageID, nPosition, nAddImageID");
  catalog.Method("GifInsertPageFromFile", &cImaging::GifInsertPageFromFile, "nImageID, nPosition, sFilePath");
  catalog.Method("GifAppendPageFromTessivoImage", &cImaging::GifAppendPageFromTessivoImage, "nImageID, nAddImageID");
  catalog.Method("GifAppendPageFromFile", &cImaging::GifAppendPageFromFile, "nImageID, sFilePath");
  catalog.Method("GifDeletePage", &cImaging::GifDeletePage, "nImageID, nPage");
  catalog.Method("GifSwapPages", &cImaging::GifSwapPages, "nImageID, nPage1, nPage2");
  catalog.Method("TiffSaveMultiPageToFile", &cImaging::TiffSaveMultiPageToFile,
                 "nImageID, sFilePath, nCompression=CompressionLZW");
  catalog.Method("GifSaveMultiPageToFile", &cImaging::GifSaveMultiPageToFile, "nImageID, sFilePath");
  catalog.Method("TiffSaveAsNativeMultiPage", &cImaging::TiffSaveAsNativeMultiPage,
                 "sFilePath, nCompression=CompressionLZW");
  catalog.Method("TiffAddToNativeMultiPage", &cImaging::TiffAddToNativeMultiPage, "nImageID");
  catalog.Method("TiffCloseNativeMultiPage", &cImaging::TiffCloseNativeMultiPage);
  catalog.Method("TiffMergeFiles", &cImaging::TiffMergeFiles,
                 "arPaths, sDestination, nCompression=CompressionLZW");
  catalog.Method("TiffMerge2Files", &cImaging::TiffMerge2Files,
                 "sPath1, sPath2, sDestination, nCompression=CompressionLZW");
  catalog.Method("TiffMergeFileList", &cImaging::TiffMergeFileList,
                 "sList, sDestination, nCompression=CompressionLZW");
  catalog.Method("GifGetFrameCount", &cImaging::GifGetFrameCount);
  catalog.Method("GifSelectFrame", &cImaging::GifSelectFrame, "nFrame");
  catalog.Method("GifGetFrameDelay", &cImaging::GifGetFrameDelay);
  catalog.Method("GifGetPageTime", &cImaging::GifGetPageTime, "nImageID, nPage");
  catalog.Method("GifSetPageTime", &cImaging::GifSetPageTime, "nImageID, nPage, nTime");
  catalog.Method("GifSetPageDisposal", &cImaging::GifSetPageDisposal, "nImageID, nPage, nDisposal");
  catalog.Method("GifGetLoopCount", &cImaging::GifGetLoopCount, "nImageID");
  catalog.Method("GifSetLoopCount", &cImaging::GifSetLoopCount, "nImageID, nCount");
  catalog.Method("GifSetTransparency", &cImaging::GifSetTransparency, "nColor=0xFF000000");
}

}  // namespace tessivo::dispatch
