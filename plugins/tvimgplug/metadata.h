// Metadata the plug-in reads from files: EXIF (a TIFF structure), IPTC records (IIM datasets,
// often wrapped in Photoshop image resources) and ICC profiles, turned into items with the
// platform's property tag ids and little-endian values. Every parser is bounded by its input:
// offsets and counts from the file are checked before use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bitmap.h"

namespace tvimg {

inline constexpr uint32_t kTagICCProfile = 0x8773;
inline constexpr uint32_t kTagXResolution = 282;
inline constexpr uint32_t kTagYResolution = 283;
inline constexpr uint32_t kTagResolutionUnit = 296;

// Bytes of one element of an EXIF value type (0 for unknown types).
uint32_t ExifTypeSize(uint16_t type);

// Items of an EXIF block: IFD0 with the EXIF and GPS sub-IFDs they point to (the pointer tags
// themselves are not items). `data` starts at the TIFF header ("II*\0" / "MM\0*"); a leading
// "Exif\0\0" is skipped.
std::vector<MetadataItem> ParseExif(const uint8_t* data, size_t size);

// The same for the first IFD of a TIFF file at `ifdOffset` (a page's tags, image structure
// tags left out).
std::vector<MetadataItem> ParseTiffIfd(const uint8_t* data, size_t size, uint64_t ifdOffset);

// The value bytes of one tag of that IFD as stored (no byte swapping), or empty.
inline constexpr uint32_t kTagIptcNaa = 33723;
inline constexpr uint32_t kTagPhotoshop = 34377;
std::vector<uint8_t> RawTiffTag(const uint8_t* data, size_t size, uint64_t ifdOffset,
                                uint32_t tag);

// IPTC datasets of an IIM stream (tag marker 0x1C, record, dataset, length). The id of an item
// is record << 8 | dataset; text datasets are ASCII (the text as stored, no terminator), the record version
// datasets SHORT, the rest UNDEFINED.
std::vector<MetadataItem> ParseIptc(const uint8_t* data, size_t size);

// The IIM stream inside Photoshop image resources ("8BIM" blocks, resource 0x0404), or empty.
std::vector<uint8_t> IptcFromPhotoshopResources(const uint8_t* data, size_t size);

// Adds or replaces the item with the same id.
void SetItem(std::vector<MetadataItem>& items, const MetadataItem& item);

}  // namespace tvimg
