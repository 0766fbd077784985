// Property item tag ids and value types the codecs read and write. Ids follow the EXIF/TIFF
// numbering; the codecs' own items (GIF frames, thumbnails) use the 0x5000 range.
#pragma once
#include <cstdint>

namespace tessivo::platform {

enum PropertyTagType : uint16_t {
  PropertyTagTypeByte = 1,
  PropertyTagTypeASCII = 2,
  PropertyTagTypeShort = 3,
  PropertyTagTypeLong = 4,
  PropertyTagTypeRational = 5,
  PropertyTagTypeSByte = 6,
  PropertyTagTypeUndefined = 7,
  PropertyTagTypeSShort = 8,
  PropertyTagTypeSLong = 9,
  PropertyTagTypeSRational = 10,
};

// GPS tags are 0x0000..0x001F (GPS IFD numbering, as in EXIF).
inline constexpr uint32_t kPropertyTagGpsVer = 0x0000;
inline constexpr uint32_t kPropertyTagGpsLast = 0x001F;

inline constexpr uint32_t kPropertyTagImageWidth = 0x0100;
inline constexpr uint32_t kPropertyTagImageHeight = 0x0101;
inline constexpr uint32_t kPropertyTagImageDescription = 0x010E;
inline constexpr uint32_t kPropertyTagEquipMake = 0x010F;
inline constexpr uint32_t kPropertyTagEquipModel = 0x0110;
inline constexpr uint32_t kPropertyTagOrientation = 0x0112;
inline constexpr uint32_t kPropertyTagXResolution = 0x011A;
inline constexpr uint32_t kPropertyTagYResolution = 0x011B;
inline constexpr uint32_t kPropertyTagResolutionUnit = 0x0128;
inline constexpr uint32_t kPropertyTagSoftwareUsed = 0x0131;
inline constexpr uint32_t kPropertyTagDateTime = 0x0132;
inline constexpr uint32_t kPropertyTagArtist = 0x013B;
inline constexpr uint32_t kPropertyTagCopyright = 0x8298;
inline constexpr uint32_t kPropertyTagExifIFD = 0x8769;  // a pointer: never an item
inline constexpr uint32_t kPropertyTagGpsIFD = 0x8825;   // a pointer: never an item
inline constexpr uint32_t kPropertyTagICCProfile = 0x8773;
inline constexpr uint32_t kPropertyTagExifExposureTime = 0x829A;
inline constexpr uint32_t kPropertyTagExifFNumber = 0x829D;
inline constexpr uint32_t kPropertyTagExifDTOrig = 0x9003;
inline constexpr uint32_t kPropertyTagExifUserComment = 0x9286;
inline constexpr uint32_t kPropertyTagExifInterop = 0xA005;  // a pointer: never an item

// Thumbnail (IFD1) tags: IFD1's TIFF tags map to these ids.
inline constexpr uint32_t kPropertyTagThumbnailFormat = 0x5012;
inline constexpr uint32_t kPropertyTagThumbnailWidth = 0x5013;
inline constexpr uint32_t kPropertyTagThumbnailHeight = 0x5014;
inline constexpr uint32_t kPropertyTagThumbnailData = 0x501B;
inline constexpr uint32_t kPropertyTagThumbnailImageWidth = 0x5020;
inline constexpr uint32_t kPropertyTagThumbnailImageHeight = 0x5021;
inline constexpr uint32_t kPropertyTagThumbnailCompression = 0x5023;
inline constexpr uint32_t kPropertyTagThumbnailResolutionX = 0x502D;
inline constexpr uint32_t kPropertyTagThumbnailResolutionY = 0x502E;
inline constexpr uint32_t kPropertyTagThumbnailResolutionUnit = 0x5030;

// GIF: per-frame delays (LONG array, hundredths of a second, one per frame), loop count
// (SHORT, 0 = forever), and the comment extension (ASCII).
inline constexpr uint32_t kPropertyTagFrameDelay = 0x5100;
inline constexpr uint32_t kPropertyTagLoopCount = 0x5101;
inline constexpr uint32_t kPropertyTagGifComment = 0xFFFE;
// PNG: physical pixel size (pHYs): unit (BYTE), pixels per unit X and Y (LONG).
inline constexpr uint32_t kPropertyTagPixelUnit = 0x5110;
inline constexpr uint32_t kPropertyTagPixelPerUnitX = 0x5111;
inline constexpr uint32_t kPropertyTagPixelPerUnitY = 0x5112;
// PNG gamma (RATIONAL) and text chunks are not mapped beyond these.
inline constexpr uint32_t kPropertyTagGamma = 0x0301;
// JPEG quantisation tables (SHORT[64] each).
inline constexpr uint32_t kPropertyTagLuminanceTable = 0x5090;
inline constexpr uint32_t kPropertyTagChrominanceTable = 0x5091;

}  // namespace tessivo::platform
