// EXIF metadata as property items, through Exiv2. Tags of the main image (IFD0), the Exif
// and GPS directories and the thumbnail directory (IFD1) become property items with their
// tag ids (thumbnail tags mapped to the 0x50xx ids, the thumbnail bytes to ThumbnailData);
// directory pointers are not items. Malformed metadata is skipped, never fatal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace tessivo::platform::codecs {

// An EXIF block in TIFF layout (a JPEG APP1 segment after "Exif\0\0", a PNG eXIf chunk).
void ReadExifProperties(const uint8_t* tiff, size_t size, Bitmap& image);
// The tags of a TIFF file's first page, structure tags included, plus its Exif and GPS
// directories.
void ReadTiffFileProperties(const uint8_t* data, size_t size, Bitmap& image);

// The EXIF block (TIFF layout, without "Exif\0\0") that carries `image`'s IFD0, Exif, GPS
// and thumbnail property items into a JPEG file, with the resolution and pixel dimensions
// of the image being written. Empty when the image has no such items. The block is kept
// under `maxSize` bytes by dropping the thumbnail, then the maker note.
std::vector<uint8_t> BuildExifBlock(const Bitmap& image, size_t maxSize);

// The resolution an EXIF block states (XResolution, YResolution, ResolutionUnit), in dpi;
// false when it states none.
bool ExifResolution(const Bitmap& image, double& dpiX, double& dpiY);

// Whether a property item id belongs in a written EXIF block or TIFF directory: false for
// ids that describe the encoded file itself (dimensions, strips, compression), pointers,
// and the ids the codecs keep for themselves (GIF frames, PNG pixel units, JPEG tables).
bool IsPortableExifTag(uint32_t id);
// Whether a tag id belongs to the Exif sub-directory (rather than IFD0).
bool IsExifDirectoryTag(uint32_t id);

}  // namespace tessivo::platform::codecs
