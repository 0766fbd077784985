// The codec route of the file pipeline: decoding a file with the codec plug-in.
#pragma once
#include <cstdint>
#include <string>

#include "tessivo/status.h"

namespace tessivo {

// The codec format of a file: the signature's answer, except that a file named as TIFF whose
// recognised signature says otherwise is taken as TIFF; an unrecognised signature stays
// unknown (-1).
int32_t CodecFileFormat(const std::string& path);

// Decodes `path` with the codec plug-in and registers the result in `id`:
//  - Aborted when the plug-in is absent;
//  - UnknownImageFormat for BMP, PNG, GIF and unknown files (the platform decodes those);
//  - a TIFF of two or more pages becomes a document: read-only (the codec document stays
//    open in the entry) when `tiffReadOnly`, else editable with one LZW TIFF file per page;
//  - any other file becomes one image named by its codec format ("JPEG", "TARGA", ...).
TessivoStatus CodecDecodeFile(const std::string& path, bool icm, bool tiffReadOnly,
                              bool codecDisabled, int32_t& id);

}  // namespace tessivo
