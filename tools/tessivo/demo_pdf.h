// The demonstration's PDF page: the toolkit's PDF writer used directly (an image, text and
// vector shapes on one A4 page), until the imaging object's PDF operations exist.
#pragma once
#include <string>

namespace tessivo::cli {

// Writes the page to `path`, replacing an earlier demonstration file. False on failure.
bool WriteDemoPdf(const std::string& path);

}  // namespace tessivo::cli
