#include "platform/codecs/metadata.h"

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/property_tags.h"

namespace tessivo::platform::codecs {

namespace {

// Tags of the thumbnail directory (IFD1) and the ids their items carry.
struct ThumbnailTag {
  uint16_t tiffTag;
  uint32_t itemId;
};
constexpr ThumbnailTag kThumbnailTags[] = {
    {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024},
    {0x010E, 0x5025}, {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0111, 0x5028}, {0x0112, 0x5029},
    {0x0115, 0x502A}, {0x0116, 0x502B}, {0x0117, 0x502C}, {0x011A, 0x502D}, {0x011B, 0x502E},
    {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031}, {0x0131, 0x5032}, {0x0132, 0x5033},
    {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037}, {0x0212, 0x5038},
    {0x0213, 0x5039}, {0x0214, 0x503A}, {0x8298, 0x503B},
};

uint32_t ThumbnailItemId(uint16_t tiffTag) {
  for (const ThumbnailTag& t : kThumbnailTags) {
    if (t.tiffTag == tiffTag) return t.itemId;
  }
  return 0;
}

uint16_t ThumbnailTiffTag(uint32_t itemId) {
  for (const ThumbnailTag& t : kThumbnailTags) {
    if (t.itemId == itemId) return t.tiffTag;
  }
  return 0;
}

bool IsPointerTag(uint32_t tag) {
  return tag == kPropertyTagExifIFD || tag == kPropertyTagGpsIFD || tag == kPropertyTagExifInterop ||
         tag == 0x014A /* SubIFDs */;
}

// Exiv2 is quiet, and its XMP support (reached through TIFF files that carry XMP packets) is
// initialised once before any thread uses it.
void PrepareExiv2() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize();
  });
}

// The property item type for an Exiv2 type; 0 for types no item carries.
uint16_t ItemType(Exiv2::TypeId type) {
  switch (type) {
    case Exiv2::unsignedByte:
    case Exiv2::asciiString:
    case Exiv2::unsignedShort:
    case Exiv2::unsignedLong:
    case Exiv2::unsignedRational:
    case Exiv2::undefined:
    case Exiv2::signedLong:
    case Exiv2::signedRational:
      return static_cast<uint16_t>(type);
    // Items have no signed byte or short types: their bytes are kept under the unsigned ones.
    case Exiv2::signedByte:
      return PropertyTagTypeByte;
    case Exiv2::signedShort:
      return PropertyTagTypeShort;
    case Exiv2::tiffFloat:
    case Exiv2::tiffDouble:
      return PropertyTagTypeUndefined;
    case Exiv2::tiffIfd:
      return PropertyTagTypeLong;
    default:
      return 0;
  }
}

void AddDatum(const Exiv2::Exifdatum& datum, uint32_t id, Bitmap& image) {
  uint16_t type = ItemType(datum.typeId());
  long size = datum.size();
  if (type == 0 || size <= 0 || size > (64L << 20)) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  long written = datum.copy(bytes.data(), Exiv2::littleEndian);
  if (written <= 0) return;
  bytes.resize(static_cast<size_t>(std::min(written, size)));
  AddProperty(image, id, type, bytes.data(), bytes.size());
}

void AddItems(const Exiv2::ExifData& exif, bool withThumbnail, Bitmap& image) {
  for (const Exiv2::Exifdatum& datum : exif) {
    const std::string group = datum.groupName();
    const uint16_t tag = datum.tag();
    if (group == "Image" || group == "Photo") {
      if (!IsPointerTag(tag)) AddDatum(datum, tag, image);
    } else if (group == "GPSInfo") {
      if (tag <= kPropertyTagGpsLast) AddDatum(datum, tag, image);
    } else if (group == "Thumbnail" && withThumbnail) {
      uint32_t id = ThumbnailItemId(tag);
      if (id != 0) AddDatum(datum, id, image);
    }
  }
  if (!withThumbnail) return;
  Exiv2::ExifThumbC thumbnail(exif);
  Exiv2::DataBuf data = thumbnail.copy();
  if (data.pData_ != nullptr && data.size_ > 0) {
    AddProperty(image, kPropertyTagThumbnailData, PropertyTagTypeByte, data.pData_,
                static_cast<size_t>(data.size_));
  }
}

bool RationalValue(const PropertyItem& item, double& value) {
  if (item.type != PropertyTagTypeRational || item.value.size() < 8) return false;
  uint32_t n = ReadLe32(item.value.data());
  uint32_t d = ReadLe32(item.value.data() + 4);
  if (d == 0) return false;
  value = static_cast<double>(n) / d;
  return true;
}

bool InTagList(const char* group, uint16_t tag) {
  const Exiv2::TagInfo* list = Exiv2::ExifTags::tagList(group);
  for (; list != nullptr && list->tag_ != 0xFFFF; ++list) {
    if (list->tag_ == tag) return true;
  }
  return false;
}

void SetRational(Exiv2::ExifData& exif, const char* key, double value) {
  // Whole numbers exactly; others with four decimals.
  uint32_t denominator = std::floor(value) == value ? 1 : 10000;
  double scaled = std::round(value * denominator);
  if (!(scaled >= 0 && scaled <= 4294967295.0)) return;
  exif[key] = Exiv2::URational(static_cast<uint32_t>(scaled), denominator);
}

bool IsOneByteType(Exiv2::TypeId type) {
  return type == Exiv2::unsignedByte || type == Exiv2::asciiString || type == Exiv2::signedByte ||
         type == Exiv2::undefined;
}

// The type an item is written under. Items of the one-byte types carry the same bytes
// whichever of them they name (a user comment is kept as text, EXIF declares it UNDEFINED),
// so a tag EXIF knows is written under the one-byte type EXIF declares for it; readers warn of
// a non-standard format otherwise. Other types are written as they are.
Exiv2::TypeId FileType(const Exiv2::ExifKey& key, const PropertyItem& item) {
  const auto stored = static_cast<Exiv2::TypeId>(item.type);
  try {
    if (!IsOneByteType(stored) || !InTagList(key.groupName().c_str(), key.tag())) return stored;
    const Exiv2::TypeId declared = key.defaultTypeId();
    return IsOneByteType(declared) ? declared : stored;
  } catch (...) {
    return stored;  // a tag Exiv2 cannot describe keeps its own type
  }
}

}  // namespace

void ReadExifProperties(const uint8_t* tiff, size_t size, Bitmap& image) {
  if (tiff == nullptr || size < 8 || size > 0xFFFFFFFFu) return;
  try {
    PrepareExiv2();
    Exiv2::ExifData exif;
    Exiv2::ExifParser::decode(exif, tiff, static_cast<uint32_t>(size));
    AddItems(exif, true, image);
  } catch (...) {
    // Damaged metadata is left out; the pixels are what matters.
  }
}

void ReadTiffFileProperties(const uint8_t* data, size_t size, Bitmap& image) {
  if (data == nullptr || size < 8 || size > 0xFFFFFFFFu) return;
  try {
    PrepareExiv2();
    Exiv2::ExifData exif;
    Exiv2::IptcData iptc;
    Exiv2::XmpData xmp;
    Exiv2::TiffParser::decode(exif, iptc, xmp, data, static_cast<uint32_t>(size));
    AddItems(exif, false, image);  // a TIFF file's second directory is its next page
  } catch (...) {
  }
}

bool IsPortableExifTag(uint32_t id) {
  static const std::set<uint32_t> kFileStructure = {
      0x00FE, 0x00FF, 0x0100, 0x0101, 0x0102, 0x0103, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A,
      0x0111, 0x0115, 0x0116, 0x0117, 0x0118, 0x0119, 0x011A, 0x011B, 0x011C, 0x0120, 0x0121,
      0x0122, 0x0123, 0x0124, 0x0125, 0x0128, 0x013D, 0x0140, 0x0142, 0x0143, 0x0144, 0x0145,
      0x014A, 0x0152, 0x0153, 0x0154, 0x0155, 0x0156, 0x0200, 0x0201, 0x0202, 0x0203, 0x0205,
      0x0206, 0x0207, 0x0208, 0x0209, 0x0211, 0x0212, 0x0213, 0x0214, 0x02BC, 0x83BB, 0x8649,
      kPropertyTagExifIFD, kPropertyTagGpsIFD, kPropertyTagExifInterop, kPropertyTagICCProfile,
      kPropertyTagGifComment};
  if (id > 0xFFFF) return false;
  if (id >= 0x0301 && id <= 0x0320) return false;  // PNG gamma, rendering intent, title
  if (id >= 0x5000 && id <= 0x5FFF) return false;  // the codecs' own and thumbnail ids
  return kFileStructure.count(id) == 0;
}

bool IsExifDirectoryTag(uint32_t id) {
  try {
    return id <= 0xFFFF && InTagList("Photo", static_cast<uint16_t>(id));
  } catch (...) {
    return false;
  }
}

bool ExifResolution(const Bitmap& image, double& dpiX, double& dpiY) {
  PropertyItem x, y, unit;
  if (image.GetProperty(kPropertyTagXResolution, x) != Status::Ok ||
      image.GetProperty(kPropertyTagYResolution, y) != Status::Ok) {
    return false;
  }
  if (!RationalValue(x, dpiX) || !RationalValue(y, dpiY)) return false;
  uint16_t unitValue = 2;
  if (image.GetProperty(kPropertyTagResolutionUnit, unit) == Status::Ok &&
      unit.type == PropertyTagTypeShort && unit.value.size() >= 2) {
    unitValue = ReadLe16(unit.value.data());
  }
  if (unitValue == 3) {
    dpiX *= 2.54;
    dpiY *= 2.54;
  } else if (unitValue != 2) {
    return false;
  }
  return true;
}

std::vector<uint8_t> BuildExifBlock(const Bitmap& image, size_t maxSize) {
  try {
    PrepareExiv2();
    Exiv2::ExifData exif;
    const PropertyItem* thumbnail = nullptr;
    for (const PropertyItem& item : image.Properties()) {
      std::string group;
      uint16_t tag = 0;
      if (item.id <= kPropertyTagGpsLast) {
        group = "GPSInfo";
        tag = static_cast<uint16_t>(item.id);
      } else if (item.id == kPropertyTagThumbnailData) {
        thumbnail = &item;
        continue;
      } else if ((tag = ThumbnailTiffTag(item.id)) != 0) {
        group = "Thumbnail";
      } else if (IsPortableExifTag(item.id)) {
        tag = static_cast<uint16_t>(item.id);
        group = IsExifDirectoryTag(tag) ? "Photo" : "Image";
      } else {
        continue;
      }
      if (item.type < 1 || item.type > 10 || item.value.empty()) continue;
      const Exiv2::ExifKey key(tag, group);
      Exiv2::Value::AutoPtr value = Exiv2::Value::create(FileType(key, item));
      if (value->read(item.value.data(), static_cast<long>(item.value.size()),
                      Exiv2::littleEndian) != 0) {
        continue;
      }
      exif.add(key, value.get());
    }
    if (exif.empty()) return {};
    // The written file's own resolution and size replace what the items said.
    SetRational(exif, "Exif.Image.XResolution", image.HorizontalResolution());
    SetRational(exif, "Exif.Image.YResolution", image.VerticalResolution());
    exif["Exif.Image.ResolutionUnit"] = uint16_t{2};
    if (exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension")) != exif.end()) {
      exif["Exif.Photo.PixelXDimension"] = static_cast<uint32_t>(image.Width());
      exif["Exif.Photo.PixelYDimension"] = static_cast<uint32_t>(image.Height());
    }
    bool jpegThumbnail = thumbnail != nullptr && thumbnail->value.size() > 2 &&
                         thumbnail->value[0] == 0xFF && thumbnail->value[1] == 0xD8;
    if (jpegThumbnail) {
      Exiv2::ExifThumb(exif).setJpegThumbnail(thumbnail->value.data(),
                                              static_cast<long>(thumbnail->value.size()));
    } else {
      Exiv2::ExifThumb(exif).erase();  // thumbnail tags without usable data
    }
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    if (blob.size() > maxSize) {
      Exiv2::ExifThumb(exif).erase();
      blob.clear();
      Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    }
    if (blob.size() > maxSize) {
      auto note = exif.findKey(Exiv2::ExifKey("Exif.Photo.MakerNote"));
      if (note != exif.end()) exif.erase(note);
      blob.clear();
      Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    }
    if (blob.size() > maxSize) return {};
    return std::vector<uint8_t>(blob.begin(), blob.end());
  } catch (...) {
    return {};
  }
}

}  // namespace tessivo::platform::codecs
