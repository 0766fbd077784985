// Icons written by the toolkit: 32 x 32 pixels, 32-bit colour with a 1-bit mask.
#pragma once
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "tessivo/status.h"

namespace tessivo {

inline constexpr int32_t kIconSize = 32;

// A 32 x 32 32bppARGB copy of `image`, scaled with a bicubic filter widened to the scale when
// shrinking (so every source pixel contributes). With `transparent`, pixels whose RGB equals
// the RGB of `transparentColor` become fully transparent.
TessivoStatus MakeIconImage(const platform::Bitmap& image, bool transparent,
                            uint32_t transparentColor, std::unique_ptr<platform::Bitmap>& out);

// Writes a 32 x 32 32bppARGB bitmap as an .ico file: one 32-bit image whose mask marks the
// pixels with alpha below 128. A file that cannot be created gives the platform's status; a
// failed write leaves no file.
TessivoStatus WriteIconFile(const platform::Bitmap& icon, const std::string& path);

}  // namespace tessivo
