#include "core/iptc_records.h"

#include <memory>

#include "core/image_registry.h"
#include "formats/tag_value_format.h"

namespace tessivo {

std::shared_ptr<const IptcRecords> ReadIptcRecords(const TvimgplugApi& codec, tvimg_bitmap* bitmap) {
  const uint32_t count = bitmap ? codec.GetMetadataCount(TVIMG_METADATA_IPTC, bitmap) : 0;
  if (count == 0) return nullptr;
  auto list = std::make_shared<IptcRecords>();
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = 0, length = 0;
    uint16_t type = 0;
    const uint8_t* value = nullptr;
    if (!codec.GetMetadataItem(TVIMG_METADATA_IPTC, bitmap, i, &id, &type, &value, &length)) continue;
    IptcRecord record;
    record.id = static_cast<int32_t>(id & 0xFFFF);
    record.type = static_cast<int16_t>(type);
    if (value && length > 0) record.value.assign(value, value + length);
    record.length = static_cast<int32_t>(record.value.size());
    record.count = TagValueCount(record.type, record.length);
    list->records.push_back(std::move(record));
  }
  return list;
}

void AttachIptcRecords(int32_t imageId, std::shared_ptr<const IptcRecords> records) {
  if (ImageEntry* entry = ImageRegistry::Current().Entry(imageId)) entry->iptc = std::move(records);
}

const IptcRecords* IptcRecordsOf(int32_t imageId) {
  const ImageEntry* entry = ImageRegistry::Current().Entry(imageId);
  return entry ? entry->iptc.get() : nullptr;
}

}  // namespace tessivo
