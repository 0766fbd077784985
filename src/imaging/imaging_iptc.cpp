// IPTC records of the native image: the read-only list the codec plug-in delivered on load.
#include "core/boundary.h"
#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "core/iptc_records.h"
#include "formats/tag_value_format.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// Record number `tagNo` (1-based) of the native image, with the status the lookup leaves:
// TvimgplugDllRequired without the plug-in, PropertyNotFound for an unregistered image or a
// number out of range, OK otherwise.
const IptcRecord* FindRecord(ImagingState& st, int32_t tagNo) {
  if (!CodecPlugin()) {
    st.Set(TvimgplugDllRequired);
    return nullptr;
  }
  const int32_t id = ResolvePageID(st.nativeImage);
  if (FindImage(id) < 0) {
    st.Set(PropertyNotFound);
    return nullptr;
  }
  const IptcRecords* list = IptcRecordsOf(id);
  const size_t count = list ? list->records.size() : 0;
  if (tagNo < 1 || static_cast<size_t>(tagNo) > count) {
    st.Set(PropertyNotFound);
    return nullptr;
  }
  st.Set(OK);
  return &list->records[static_cast<size_t>(tagNo - 1)];
}

std::string Formatted(const IptcRecord& r) {
  return FormatTagValue(r.id, r.type, r.length, r.count, r.value);
}

}  // namespace

int32_t cImaging::IPTCTagCount() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    if (!CodecPlugin()) {
      st.Set(TvimgplugDllRequired);
      return 0;
    }
    st.Set(OK);
    const int32_t id = ResolvePageID(st.nativeImage);
    const IptcRecords* list = FindImage(id) >= 0 ? IptcRecordsOf(id) : nullptr;
    return list ? static_cast<int32_t>(list->records.size()) : 0;
  });
}

int32_t cImaging::IPTCTagGetID(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const IptcRecord* r = FindRecord(st, nTagNo);
    return r ? r->id : 0;
  });
}

int32_t cImaging::IPTCTagGetLength(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const IptcRecord* r = FindRecord(st, nTagNo);
    return r ? r->length : 0;
  });
}

TagTypes cImaging::IPTCTagGetType(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, TagTypeUndefined, [&] {
    const IptcRecord* r = FindRecord(st, nTagNo);
    return r ? static_cast<TagTypes>(r->type) : TagTypeUndefined;
  });
}

std::string cImaging::IPTCTagGetValueString(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, std::string(), [&] {
    const IptcRecord* r = FindRecord(st, nTagNo);
    return r ? Formatted(*r) : std::string();
  });
}

std::string cImaging::IPTCTagGetValueBytes(int32_t nTagNo, SafeArray<uint8_t>& arTagData) {
  ImagingState& st = *state_;
  return Guarded(st, std::string(), [&] {
    const IptcRecord* r = FindRecord(st, nTagNo);
    if (!r) return std::string();
    arTagData = SafeArray<uint8_t>::FromVector(r->value, 0);
    return Formatted(*r);
  });
}

}  // namespace tessivo
