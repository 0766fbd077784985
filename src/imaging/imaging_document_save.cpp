// Document saving methods of cImaging: whole TIFF and GIF documents, the native multi-page TIFF
// target of an instance, and merges of files into one TIFF (src/core/document_save.*).
#include <algorithm>
#include <memory>

#include "core/boundary.h"
#include "core/document_save.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/multiframe_tiff.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

TessivoStatus Merge(ImagingState& st, const std::vector<std::string>& paths,
                    const std::string& destination, TifCompression compression) {
  return GuardedStatus(st, [&] {
    return st.Set(MergeTiffFiles(paths, destination, compression, st.disableCodecPlugin));
  });
}

}  // namespace

TessivoStatus cImaging::TiffSaveMultiPageToFile(int32_t nImageID, const std::string& sFilePath,
                                                TifCompression nCompression) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    return st.Set(SaveTiffDocument(nImageID, sFilePath, nCompression, st.disableCodecPlugin));
  });
}

TessivoStatus cImaging::GifSaveMultiPageToFile(int32_t nImageID, const std::string& sFilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    return st.Set(SaveGifDocument(nImageID, sFilePath, st.disableCodecPlugin));
  });
}

TessivoStatus cImaging::TiffSaveAsNativeMultiPage(const std::string& sFilePath,
                                                  TifCompression nCompression) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    ImageEntry* entry = ImageRegistry::Current().Entry(st.nativeImage);
    platform::Bitmap* first = ResolveImage(st.nativeImage);
    if (!entry || !first) return st.Set(InvalidParameter);
    if (entry->multiPageWriter) return st.Set(WrongState);  // already the first page of a file
    std::unique_ptr<MultiPageTiffWriter> writer;
    const TessivoStatus status = MultiPageTiffWriter::Begin(*first, sFilePath, nCompression, writer);
    if (status != OK) return st.Set(status);
    entry = ImageRegistry::Current().Entry(st.nativeImage);
    entry->savedTiffCompression = writer->Compression();
    entry->multiPageWriter = std::move(writer);
    st.nativeMultiPageTiffTarget = st.nativeImage;
    return st.Set(OK);
  });
}

TessivoStatus cImaging::TiffAddToNativeMultiPage(int32_t nImageID) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    ImageEntry* target = ImageRegistry::Current().Entry(st.nativeMultiPageTiffTarget);
    if (st.nativeMultiPageTiffTarget == 0 || !target || !target->multiPageWriter)
      return st.Set(GenericError);
    platform::Bitmap* page = ResolveImage(nImageID);
    if (!page) return st.Set(InvalidParameter);
    return st.Set(target->multiPageWriter->AddPage(*page));
  });
}

TessivoStatus cImaging::TiffCloseNativeMultiPage() {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeMultiPageTiffTarget == 0) return st.lastStatus;
    const int32_t target = st.nativeMultiPageTiffTarget;
    st.nativeMultiPageTiffTarget = 0;
    const TessivoStatus status = ReleaseImageEntry(target);  // completes the file
    if (target == st.nativeImage) st.nativeImage = 0;
    return st.Set(status);
  });
}

TessivoStatus cImaging::TiffMergeFiles(const SafeArray<std::string>& arPaths,
                                       const std::string& sDestination, TifCompression nCompression) {
  return Merge(*state_, arPaths.storage(), sDestination, nCompression);
}

TessivoStatus cImaging::TiffMerge2Files(const std::string& sPath1, const std::string& sPath2,
                                        const std::string& sDestination,
                                        TifCompression nCompression) {
  return Merge(*state_, {sPath1, sPath2}, sDestination, nCompression);
}

TessivoStatus cImaging::TiffMergeFileList(const std::string& sList, const std::string& sDestination,
                                          TifCompression nCompression) {
  std::vector<std::string> paths;
  size_t start = 0;
  while (true) {
    const size_t comma = sList.find(',', start);
    paths.push_back(sList.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return Merge(*state_, paths, sDestination, nCompression);
}

}  // namespace tessivo
