// Colour profiles of image files, changed in place. JPEG files keep their compressed data: only
// their APP2 profile segments are rewritten.
#include <cstring>

#include "codecs.h"
#include "file_type.h"

namespace tvimg {
namespace {

constexpr size_t kIccChunkBytes = 65519;  // 65535 - length field - "ICC_PROFILE\0" - 2 counters

bool IsIccSegment(const uint8_t* segment, size_t length) {
  return segment[1] == 0xE2 && length >= 16 && std::memcmp(segment + 4, "ICC_PROFILE\0", 12) == 0;
}

bool RewriteJpeg(const std::vector<uint8_t>& in, const std::vector<uint8_t>& profile,
                 std::vector<uint8_t>& out) {
  if (in.size() < 4 || in[0] != 0xFF || in[1] != 0xD8) return false;
  out.assign(in.begin(), in.begin() + 2);
  size_t at = 2;
  bool inserted = profile.empty();
  auto insertProfile = [&] {
    const size_t chunks = (profile.size() + kIccChunkBytes - 1) / kIccChunkBytes;
    if (chunks > 255) return false;
    for (size_t i = 0; i < chunks; ++i) {
      const size_t begin = i * kIccChunkBytes;
      const size_t length = std::min(kIccChunkBytes, profile.size() - begin);
      const size_t segmentLength = length + 16;
      const uint8_t header[] = {0xFF, 0xE2, static_cast<uint8_t>(segmentLength >> 8),
                                static_cast<uint8_t>(segmentLength)};
      out.insert(out.end(), header, header + 4);
      const char* tag = "ICC_PROFILE";
      out.insert(out.end(), tag, tag + 12);  // with its terminating zero
      out.push_back(static_cast<uint8_t>(i + 1));
      out.push_back(static_cast<uint8_t>(chunks));
      out.insert(out.end(), profile.begin() + static_cast<ptrdiff_t>(begin),
                 profile.begin() + static_cast<ptrdiff_t>(begin + length));
    }
    inserted = true;
    return true;
  };
  while (at + 4 <= in.size()) {
    if (in[at] != 0xFF) return false;
    const uint8_t marker = in[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    // The profile goes after the JFIF and EXIF segments, before everything else.
    if (!inserted && marker != 0xE0 && marker != 0xE1 && !insertProfile()) return false;
    if (marker == 0xDA || marker == 0xD9) break;  // scan data and the rest are copied as they are
    const size_t length = static_cast<size_t>(in[at + 2]) << 8 | in[at + 3];
    if (length < 2 || at + 2 + length > in.size()) return false;
    if (!IsIccSegment(in.data() + at, length + 2))
      out.insert(out.end(), in.begin() + static_cast<ptrdiff_t>(at),
                 in.begin() + static_cast<ptrdiff_t>(at + 2 + length));
    at += 2 + length;
  }
  if (!inserted || at >= in.size()) return false;
  out.insert(out.end(), in.begin() + static_cast<ptrdiff_t>(at), in.end());
  return true;
}

}  // namespace

bool ReplaceIccProfileInFile(const std::string& path, const std::vector<uint8_t>& profile) {
  const int32_t format = FormatOfFile(path.c_str());
  if (format == TVIMG_JPEG || format == TVIMG_TIFF) {
    MappedFile file(path.c_str());
    if (!file.ok()) return false;
    std::vector<uint8_t> bytes(file.data(), file.data() + file.size());
    if (format == TVIMG_TIFF) {
      return ReplaceTiffIccProfile(bytes, profile) &&
             WriteFileAtomically(path, bytes.data(), bytes.size());
    }
    std::vector<uint8_t> rewritten;
    return RewriteJpeg(bytes, profile, rewritten) &&
           WriteFileAtomically(path, rewritten.data(), rewritten.size());
  }
  if (format == TVIMG_UNKNOWN) return false;
  return ReplaceIccProfileWithMagick(format, path, profile);
}

}  // namespace tvimg
