// Writing whole documents: an editable TIFF document as one multi-page TIFF, an editable GIF
// document as an animated GIF through the codec plug-in, and merges of files into one TIFF.
// Each writes beside its destination and renames the result over it only when every page is
// written: a failure leaves an existing destination untouched and nothing partial behind.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tessivo/status.h"

namespace tessivo {

// CCITT3, CCITT4 and RLE become LZW when any page has more than 1 bit per pixel. Not an
// editable TIFF document: UnsupportedImageFormat (GenericError for an unknown id).
TessivoStatus SaveTiffDocument(int32_t documentId, const std::string& path, int32_t compression,
                               bool codecDisabled);

// Pages that are not 8-bit indexed are reduced to 256 colours (keeping transparency when the
// page has transparent pixels); delays are written in milliseconds, disposals when set, the
// loop count on the first frame (65535 at most: the file's field has 16 bits). Unknown id:
// InvalidParameter; not an editable GIF document: UnsupportedImageFormat; no codec plug-in:
// TvimgplugDllRequired; the final write failing: CanNotCreateFile.
TessivoStatus SaveGifDocument(int32_t documentId, const std::string& path, bool codecDisabled);

// Merges the files of `paths` (up to the first empty entry) into the TIFF `destination`: single
// images contribute one page, multi-page TIFF files all their pages. Every source must exist
// (FileNotFound otherwise, and nothing is written); the destination may be one of them.
TessivoStatus MergeTiffFiles(const std::vector<std::string>& paths, const std::string& destination,
                             int32_t compression, bool codecDisabled);

}  // namespace tessivo
