#include "metadata.h"

#include <cstring>
#include <set>

namespace tvimg {
namespace {

constexpr uint32_t kTagExifIfd = 34665;
constexpr uint32_t kTagGpsIfd = 34853;
constexpr uint32_t kTagInteropIfd = 40965;
constexpr size_t kMaxItems = 4096;
constexpr uint32_t kMaxEntriesPerIfd = 1024;

// Tags that describe where a TIFF page's pixels are stored: meaningless once decoded.
bool IsStructureTag(uint32_t tag) {
  switch (tag) {
    case 273: case 279: case 288: case 289: case 324: case 325: case 330: case 347:
    case 513: case 514: case kTagIptcNaa: case kTagPhotoshop:
      return true;
    default:
      return false;
  }
}

class TiffReader {
 public:
  TiffReader(const uint8_t* data, size_t size) : data_(data), size_(size) {
    bigEndian_ = size >= 2 && data[0] == 'M' && data[1] == 'M';
  }
  bool Valid() const {
    return size_ >= 8 && ((data_[0] == 'I' && data_[1] == 'I') ||
                          (data_[0] == 'M' && data_[1] == 'M')) &&
           U16(2) == 42;
  }
  uint16_t U16(uint64_t at) const {
    if (at + 2 > size_) return 0;
    return bigEndian_ ? static_cast<uint16_t>(data_[at] << 8 | data_[at + 1])
                      : static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  uint32_t U32(uint64_t at) const {
    if (at + 4 > size_) return 0;
    const uint8_t* p = data_ + at;
    return bigEndian_ ? (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3])
                      : (uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
  }

  // The value bytes of `tag` in the IFD at `offset`, exactly as stored.
  std::vector<uint8_t> RawTag(uint64_t offset, uint32_t wanted) const {
    if (offset < 8 || offset + 2 > size_) return {};
    const uint32_t entries = U16(offset);
    if (entries > kMaxEntriesPerIfd || offset + 2 + uint64_t{entries} * 12 > size_) return {};
    for (uint32_t i = 0; i < entries; ++i) {
      const uint64_t at = offset + 2 + uint64_t{i} * 12;
      if (U16(at) != wanted) continue;
      const uint32_t unit = ExifTypeSize(U16(at + 2));
      const uint64_t bytes = uint64_t{unit} * U32(at + 4);
      const uint64_t valueAt = bytes <= 4 ? at + 8 : U32(at + 8);
      if (unit == 0 || valueAt + bytes > size_) return {};
      return std::vector<uint8_t>(data_ + valueAt, data_ + valueAt + bytes);
    }
    return {};
  }

  // Reads the IFD at `offset` into `items`, following the EXIF and GPS pointers once.
  void ReadIfd(uint64_t offset, bool skipStructure, std::vector<MetadataItem>& items, int depth) {
    if (depth > 2 || offset < 8 || offset + 2 > size_ || !visited_.insert(offset).second) return;
    const uint32_t entries = U16(offset);
    if (entries > kMaxEntriesPerIfd || offset + 2 + uint64_t{entries} * 12 > size_) return;
    for (uint32_t i = 0; i < entries && items.size() < kMaxItems; ++i) {
      const uint64_t at = offset + 2 + uint64_t{i} * 12;
      const uint32_t tag = U16(at);
      const uint16_t type = U16(at + 2);
      const uint32_t count = U32(at + 4);
      if (tag == kTagExifIfd || tag == kTagGpsIfd) {
        ReadIfd(U32(at + 8), false, items, depth + 1);
        continue;
      }
      if (tag == kTagInteropIfd || (skipStructure && IsStructureTag(tag))) continue;
      const uint32_t unit = ExifTypeSize(type);
      if (unit == 0 || count == 0) continue;
      const uint64_t bytes = uint64_t{unit} * count;
      const uint64_t valueAt = bytes <= 4 ? at + 8 : U32(at + 8);
      if (valueAt + bytes > size_) continue;
      MetadataItem item;
      item.id = tag;
      item.type = type;
      item.value.assign(data_ + valueAt, data_ + valueAt + bytes);
      if (bigEndian_) SwapToLittleEndian(item);
      items.push_back(std::move(item));
    }
  }

 private:
  static void SwapToLittleEndian(MetadataItem& item) {
    // Rationals are two 4-byte numbers; doubles one 8-byte number.
    uint32_t width = ExifTypeSize(item.type);
    if (item.type == 5 || item.type == 10) width = 4;
    if (width < 2) return;
    for (size_t i = 0; i + width <= item.value.size(); i += width)
      for (uint32_t a = 0, b = width - 1; a < b; ++a, --b)
        std::swap(item.value[i + a], item.value[i + b]);
  }

  const uint8_t* data_;
  size_t size_;
  bool bigEndian_ = false;
  std::set<uint64_t> visited_;
};

// The type an IPTC dataset's value is reported with.
uint16_t IptcType(uint8_t record, uint8_t dataset) {
  if ((record == 1 || record == 2) && dataset == 0) return 3;        // record versions
  if (record == 1 && (dataset == 20 || dataset == 22)) return 3;    // file format numbers
  if (record == 1 && dataset == 90) return 7;                       // coded character set
  if (record == 2 && (dataset == 200 || dataset == 201 || dataset == 202)) return 7;
  if (record == 1 || record == 2) return 2;
  return 7;
}

}  // namespace

uint32_t ExifTypeSize(uint16_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
  }
}

std::vector<MetadataItem> ParseExif(const uint8_t* data, size_t size) {
  std::vector<MetadataItem> items;
  if (!data) return items;
  if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
    data += 6;
    size -= 6;
  }
  TiffReader reader(data, size);
  if (reader.Valid()) reader.ReadIfd(reader.U32(4), false, items, 0);
  return items;
}

std::vector<MetadataItem> ParseTiffIfd(const uint8_t* data, size_t size, uint64_t ifdOffset) {
  std::vector<MetadataItem> items;
  if (!data) return items;
  TiffReader reader(data, size);
  if (reader.Valid()) reader.ReadIfd(ifdOffset, true, items, 0);
  return items;
}

std::vector<uint8_t> RawTiffTag(const uint8_t* data, size_t size, uint64_t ifdOffset,
                                uint32_t tag) {
  if (!data) return {};
  TiffReader reader(data, size);
  return reader.Valid() ? reader.RawTag(ifdOffset, tag) : std::vector<uint8_t>{};
}

std::vector<MetadataItem> ParseIptc(const uint8_t* data, size_t size) {
  std::vector<MetadataItem> items;
  size_t at = 0;
  while (data && at + 5 <= size && data[at] == 0x1C && items.size() < kMaxItems) {
    const uint8_t record = data[at + 1];
    const uint8_t dataset = data[at + 2];
    size_t length = static_cast<size_t>(data[at + 3]) << 8 | data[at + 4];
    at += 5;
    if (length & 0x8000) {
      // Extended dataset: the low bits give how many bytes hold the length.
      const size_t lengthBytes = length & 0x7FFF;
      if (lengthBytes == 0 || lengthBytes > 4 || at + lengthBytes > size) break;
      length = 0;
      for (size_t i = 0; i < lengthBytes; ++i) length = length << 8 | data[at + i];
      at += lengthBytes;
    }
    if (length > size - at) break;
    MetadataItem item;
    item.id = uint32_t{record} << 8 | dataset;
    item.type = IptcType(record, dataset);
    if (item.type == 3 && length == 2) {
      item.value = {data[at + 1], data[at]};  // big-endian in the file
    } else if (item.type == 3) {
      item.type = 7;
      item.value.assign(data + at, data + at + length);
    } else {
      item.value.assign(data + at, data + at + length);
    }
    items.push_back(std::move(item));
    at += length;
  }
  return items;
}

std::vector<uint8_t> IptcFromPhotoshopResources(const uint8_t* data, size_t size) {
  size_t at = 0;
  while (data && at + 12 <= size && std::memcmp(data + at, "8BIM", 4) == 0) {
    const uint16_t id = static_cast<uint16_t>(data[at + 4] << 8 | data[at + 5]);
    at += 6;
    // Pascal name padded to an even length (length byte included).
    const size_t nameLength = data[at];
    size_t nameBytes = nameLength + 1;
    if (nameBytes & 1) ++nameBytes;
    if (at + nameBytes + 4 > size) break;
    at += nameBytes;
    const size_t length = static_cast<size_t>(data[at]) << 24 | static_cast<size_t>(data[at + 1]) << 16 |
                          static_cast<size_t>(data[at + 2]) << 8 | data[at + 3];
    at += 4;
    if (length > size - at) break;
    if (id == 0x0404) return std::vector<uint8_t>(data + at, data + at + length);
    at += length + (length & 1);
  }
  return {};
}

void SetItem(std::vector<MetadataItem>& items, const MetadataItem& item) {
  for (MetadataItem& existing : items)
    if (existing.id == item.id) {
      existing = item;
      return;
    }
  items.push_back(item);
}

}  // namespace tvimg
