// Public enumerations of image metadata.
#pragma once
#include <cstdint>

namespace tessivo {

// Value types of EXIF and IPTC tags (the platform's property item types).
enum TagTypes : int32_t {
  TagTypeByte = 1,
  TagTypeASCII = 2,
  TagTypeShort = 3,
  TagTypeLong = 4,
  TagTypeRational = 5,
  TagTypeUndefined = 7,
  TagTypeSSHORT = 8,
  TagTypeSLONG = 9,
  TagTypeSRational = 10,
};

}  // namespace tessivo
