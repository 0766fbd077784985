// The IPTC records of an image: a read-only list filled when the codec plug-in decodes the
// image, kept with its registry entry for the entry's life.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/codec_plugin.h"

namespace tessivo {

struct IptcRecord {
  int32_t id = 0;      // record << 8 | dataset, as the plug-in numbers them
  int32_t length = 0;  // bytes
  int16_t type = 0;    // TagTypes
  int32_t count = 0;   // values of the type the bytes hold
  std::vector<uint8_t> value;
};

struct IptcRecords {
  std::vector<IptcRecord> records;
};

// The IPTC records of a decoded codec bitmap; null when it has none.
std::shared_ptr<const IptcRecords> ReadIptcRecords(const TvimgplugApi& codec, tvimg_bitmap* bitmap);

// Gives the records to the registry entry `imageId` (ignored when it is not registered).
void AttachIptcRecords(int32_t imageId, std::shared_ptr<const IptcRecords> records);

// The records of an entry; null when it has none or is not registered.
const IptcRecords* IptcRecordsOf(int32_t imageId);

}  // namespace tessivo
