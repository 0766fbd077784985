// What a file's header may claim before any decoder or delegate library allocates for it, and
// the allocation guard behind ImageMagick's memory hooks. The header readers are our own: the
// delegates (jbig-kit, OpenJPEG, OpenEXR, ...) allocate from header fields before ImageMagick's
// resource limits apply, and some of them abort the process when malloc fails.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tvimg {

struct DecodeLimits {
  uint64_t maxSide = uint64_t{1} << 16;         // pixels per side
  uint64_t maxPixels = uint64_t{1} << 28;       // pixels of one frame
  uint64_t maxBytes = uint64_t{1} << 30;        // decoded samples of one frame
  uint64_t maxFrames = 4096;                    // frames, pages, layers or tiles of one file
  uint64_t maxAllocation = uint64_t{1} << 30;   // one request through ImageMagick's allocator
};

// The limits in force (process-wide); a fuzz driver lowers them to its memory budget.
const DecodeLimits& CurrentDecodeLimits();
void SetDecodeLimits(const DecodeLimits& limits);

// What a header says about the picture. Readers fill what their format records.
struct HeaderClaim {
  uint64_t width = 0;
  uint64_t height = 0;
  uint64_t bytes = 0;    // decoded bytes of one frame as the delegate will hold them
  uint64_t frames = 1;   // frames, planes, layers or tiles the delegate sets up
};

enum class HeaderVerdict {
  Within,     // the header is read and within the limits
  Unchecked,  // the format has no header reader: the decoder's own checks apply
  Refused,    // over a limit, or too short or inconsistent to hold a picture
};

// Reads the header of `format` (a TvimgFormat) in `data` and judges it against the limits.
HeaderVerdict CheckHeader(int32_t format, const uint8_t* data, size_t size);
// The claim alone; false when the header cannot be read (Unchecked formats give false too).
bool ReadHeaderClaim(int32_t format, const uint8_t* data, size_t size, HeaderClaim& claim);

// Installs the bounded allocator as ImageMagick's memory methods. Must run before ImageMagick
// starts (EnsureMagickReady calls it); it forwards to the C library's allocator, so memory
// from either side may be released by the other.
void InstallAllocationGuard();
// Requests the guard turned down since the process started.
uint64_t RefusedAllocations();

}  // namespace tvimg
