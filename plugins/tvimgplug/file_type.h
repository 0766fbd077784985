// Which codec format a file holds: by its first bytes, or by its name's extension.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tvimg {

// The format of `head` (the first bytes of a file, up to kSignatureBytes) with `tail` (its
// last 26 bytes, for the TGA footer) and the file's size. TVIMG_UNKNOWN when nothing matches.
inline constexpr size_t kSignatureBytes = 2048 + 16;
int32_t FormatFromSignature(const uint8_t* head, size_t headSize, const uint8_t* tail,
                            size_t tailSize, uint64_t fileSize);

// Reads the needed bytes of a file and judges them.
int32_t FormatOfFile(const char* path);

// The format an extension stands for ("photo.JPG" -> TVIMG_JPEG); TVIMG_UNKNOWN when none.
int32_t FormatFromFilename(const char* path);

}  // namespace tvimg
