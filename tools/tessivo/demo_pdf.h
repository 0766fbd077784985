// The demonstration's PDF page: the toolkit's PDF writer used directly (an image, text and
// vector shapes on one A4 page), until the imaging object's PDF operations exist.
#pragma once
#include <string>

namespace tessivo::cli {

// Writes the page to `path`, replacing an earlier demonstration file; `archival`: as a
// PDF/A-1b document (XMP metadata, sRGB output intent, embedded fonts). False on failure.
bool WriteDemoPdf(const std::string& path, bool archival = false);

}  // namespace tessivo::cli
