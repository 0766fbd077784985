// EXIF property items of the native image (the current page of a document): enumerated by a
// 1-based number, read, written and deleted live on its bitmap.
#include <optional>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "formats/property_item.h"
#include "formats/tag_value_format.h"
#include "formats/tag_value_parse.h"
#include "pixel/pixel_changes.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// Item number `tagNo` of the native image; none without an image or out of range.
std::optional<cGDIPPropertyItem> ItemNumber(const ImagingState& st, int32_t tagNo) {
  if (st.nativeImage == 0) return std::nullopt;
  const platform::Bitmap* image = ResolveImage(st.nativeImage);
  if (image == nullptr) return std::nullopt;
  const auto& items = image->Properties();
  if (tagNo < 1 || static_cast<size_t>(tagNo) > items.size()) return std::nullopt;
  return cGDIPPropertyItem::FromPlatform(items[static_cast<size_t>(tagNo - 1)]);
}

// The bitmap a tag edit acts on, or the status refusing it: GenericError without a native
// image, InvalidParameter for an id that resolves to no bitmap.
platform::Bitmap* EditTarget(ImagingState& st, TessivoStatus& refusal) {
  refusal = OK;
  if (st.nativeImage == 0) {
    refusal = GenericError;
    return nullptr;
  }
  platform::Bitmap* image = ResolveImage(st.nativeImage);
  if (image == nullptr) refusal = InvalidParameter;
  return image;
}

// Tag numbers of TIFF and EXIF directories are 16-bit.
bool IsTagId(int32_t id) { return id >= 0 && id <= 0xFFFF; }

// Writes `item` and, when it took, marks a document page changed so that the edit is stored
// back when another page is selected.
TessivoStatus WriteItem(ImagingState& st, platform::Bitmap& image, const platform::PropertyItem& item) {
  const auto s = static_cast<TessivoStatus>(image.SetProperty(item));
  if (s == OK) NotePixelsChanged(st.nativeImage);
  return st.Set(s);
}

}  // namespace

int32_t cImaging::ExifTagCount() {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    TessivoStatus refusal = OK;
    const platform::Bitmap* image = EditTarget(st, refusal);
    st.Set(refusal);
    return image ? static_cast<int32_t>(image->Properties().size()) : 0;
  });
}

int32_t cImaging::ExifTagGetID(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const auto item = ItemNumber(st, nTagNo);
    return item ? static_cast<int32_t>(item->ID()) : 0;
  });
}

int32_t cImaging::ExifTagGetLength(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const auto item = ItemNumber(st, nTagNo);
    return item ? item->Length() : 0;
  });
}

TagTypes cImaging::ExifTagGetType(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, TagTypeUndefined, [&] {
    const auto item = ItemNumber(st, nTagNo);
    return item ? static_cast<TagTypes>(item->ItemType()) : TagTypeUndefined;
  });
}

std::string cImaging::ExifTagGetName(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, std::string(), [&] {
    const auto item = ItemNumber(st, nTagNo);
    return item ? item->name() : std::string();
  });
}

std::string cImaging::ExifTagGetValueString(int32_t nTagNo) {
  ImagingState& st = *state_;
  return Guarded(st, std::string(), [&] {
    const auto item = ItemNumber(st, nTagNo);
    if (!item) return std::string();
    return FormatTagValue(static_cast<int32_t>(item->ID()), item->ItemType(), item->Length(),
                          item->ValueCount(), item->Bytes());
  });
}

int32_t cImaging::ExifTagGetValueBytes(int32_t nTagNo, SafeArray<uint8_t>& arTagData) {
  ImagingState& st = *state_;
  return Guarded(st, 0, [&] {
    const auto item = ItemNumber(st, nTagNo);
    if (!item) return 0;
    item->GetDataB(arTagData);
    return static_cast<int32_t>(arTagData.size());
  });
}

TessivoStatus cImaging::ExifTagDelete(int32_t nTagNo) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&]() -> TessivoStatus {
    TessivoStatus refusal = OK;
    platform::Bitmap* image = EditTarget(st, refusal);
    if (image == nullptr) return st.Set(refusal);
    const auto& items = image->Properties();
    if (nTagNo < 1 || static_cast<size_t>(nTagNo) > items.size()) return st.Set(PropertyNotFound);
    const auto s = static_cast<TessivoStatus>(image->RemoveProperty(items[static_cast<size_t>(nTagNo - 1)].id));
    if (s == OK) NotePixelsChanged(st.nativeImage);
    return st.Set(s);
  });
}

TessivoStatus cImaging::ExifTagDeleteAll() {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&]() -> TessivoStatus {
    TessivoStatus refusal = OK;
    platform::Bitmap* image = EditTarget(st, refusal);
    if (image == nullptr) return st.Set(refusal);
    bool removed = false;
    TessivoStatus s = OK;
    while (!image->Properties().empty()) {
      s = static_cast<TessivoStatus>(image->RemoveProperty(image->Properties().front().id));
      if (s != OK) break;
      removed = true;
    }
    if (removed) NotePixelsChanged(st.nativeImage);
    return st.Set(s);
  });
}

TessivoStatus cImaging::ExifTagSetValueBytes(Tags nTagID, TagTypes nTagType, const SafeArray<uint8_t>& arTagData) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&]() -> TessivoStatus {
    TessivoStatus refusal = OK;
    platform::Bitmap* image = EditTarget(st, refusal);
    if (image == nullptr) return st.Set(refusal);
    const int32_t element = TagElementSize(nTagType);
    const size_t n = arTagData.size();
    // No bytes, or a last element cut short, is no value of the type.
    if (!IsTagId(nTagID) || element == 0 || n == 0 || n % static_cast<size_t>(element) != 0 ||
        n > static_cast<size_t>(INT32_MAX))
      return st.Set(InvalidParameter);
    platform::PropertyItem item;
    item.id = static_cast<uint32_t>(nTagID);
    item.type = static_cast<uint16_t>(nTagType);
    item.value = arTagData.storage();
    return WriteItem(st, *image, item);
  });
}

TessivoStatus cImaging::ExifTagSetValueString(Tags nTagID, TagTypes nTagType, const std::string& sTagData) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&]() -> TessivoStatus {
    TessivoStatus refusal = OK;
    platform::Bitmap* image = EditTarget(st, refusal);
    if (image == nullptr) return st.Set(refusal);
    platform::PropertyItem item;
    if (!IsTagId(nTagID) || !ParseTagText(static_cast<uint32_t>(nTagID), nTagType, sTagData, item))
      return st.Set(InvalidParameter);
    return WriteItem(st, *image, item);
  });
}

}  // namespace tessivo
