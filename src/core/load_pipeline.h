// The file pipeline: how a path becomes a registered image. Every file loader (files, byte
// arrays, strings, downloads, page files of documents) runs it:
//   1. optionally ask the host for a path (open-file dialog) when none is given;
//   2. normalise the path; 3. the file must exist and be readable, else FileNotFound;
//   4./5. pick the route: the platform decoder first when colour management is asked for or the
//      codec plug-in is disabled, else the codec plug-in first with the platform decoder as
//      fallback (an absent plug-in answers Aborted, and that stays the status when the platform
//      cannot decode the file either);
//   6. a platform-decoded TIFF or GIF of two or more pages becomes a document.
#pragma once
#include <cstdint>
#include <string>

#include "platform/stream.h"
#include "tessivo/status.h"

namespace tessivo {

struct LoadOptions {
  bool icm = false;            // apply the embedded colour profile
  bool codecDisabled = false;  // keep the codec plug-in out (DisableTvimgplugCodecs)
  bool tiffReadOnly = false;   // multi-page TIFF files become read-only documents
  bool gifReadOnly = false;    // multi-page GIF files become read-only documents
  bool allowDialog = false;    // an empty path asks the host's open-file dialog
};

// Trims blanks and collapses doubled separators: while the path starts with three slashes the
// first is dropped, and every "//" after the first two characters becomes "/" (a leading "//"
// stays). Paths of 3 characters or fewer are only trimmed. Backslashes are ordinary file name
// characters here and are left alone.
std::string NormalisePath(const std::string& path);

// True when `path` names a regular file that can be opened for reading and sized.
bool IsReadableFile(const std::string& path);

// Runs the whole pipeline for `path`. On OK, `id` is the registered image or document; on
// failure nothing stays registered and `id` is 0.
TessivoStatus LoadImageFile(const std::string& path, const LoadOptions& options, int32_t& id);

// Decodes a stream from its current position (platform decoder only) and registers it as a
// memory image; a multi-page TIFF or GIF becomes an editable document.
TessivoStatus LoadImageStream(platform::Stream& stream, bool icm, const LoadOptions& pageOptions,
                              int32_t& id);

// Writes `size` bytes to a new temporary file and runs the pipeline on it without dialog and
// with the codec plug-in allowed. On OK the file belongs to the image and is deleted with it;
// on failure it is deleted at once.
TessivoStatus LoadImageBytes(const uint8_t* data, size_t size, const LoadOptions& options,
                             int32_t& id);

}  // namespace tessivo
