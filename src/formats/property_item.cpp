#include "formats/property_item.h"

#include <algorithm>
#include <cstring>

#include "formats/tag_names.h"
#include "formats/tag_value_format.h"

namespace tessivo {

namespace {
constexpr int64_t kItemHeaderSize = 16;  // id, length, type and value address of the record
}  // namespace

cGDIPPropertyItem cGDIPPropertyItem::FromPlatform(const platform::PropertyItem& item) {
  cGDIPPropertyItem out;
  const auto length = static_cast<int32_t>(std::min<size_t>(item.value.size(), INT32_MAX));
  out.LoadFromBuffer(item.id, length, item.type, item.value.data(), kItemHeaderSize + length);
  return out;
}

void cGDIPPropertyItem::LoadFromBuffer(uint32_t id, int32_t length, int32_t type,
                                       const uint8_t* value, int64_t bufferSize) {
  id_ = id;
  length_ = length;
  type_ = type;
  value_.clear();
  if (value == nullptr || length < 1 || bufferSize - kItemHeaderSize < 1) return;
  // The value is the buffer past its header, but never more than the item says it holds.
  const int64_t take = std::min<int64_t>(bufferSize - kItemHeaderSize, length);
  value_.assign(value, value + take);
  length_ = static_cast<int32_t>(take);
}

std::string cGDIPPropertyItem::name() const { return TagDisplayName(id_); }

int32_t cGDIPPropertyItem::ValueCount() const { return TagValueCount(type_, length_); }

int32_t cGDIPPropertyItem::ElementDataSize() const { return TagElementSize(type_); }

int32_t cGDIPPropertyItem::ParseLong(int32_t index) const {
  if (index < 1 || index > ValueCount()) return 0;
  const size_t at = 4 * static_cast<size_t>(index - 1);
  // Byte and Short items count more values than they have groups of four bytes.
  if (at + 4 > value_.size()) return 0;
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | value_[at + static_cast<size_t>(i)];
  return static_cast<int32_t>(v);
}

void cGDIPPropertyItem::GetData(SafeArray<uint8_t>& out) const {
  if (length_ == 0) return;
  const size_t n = std::min(out.size(), value_.size());
  if (n > 0) std::memcpy(out.data(), value_.data(), n);
}

void cGDIPPropertyItem::GetDataB(SafeArray<uint8_t>& out) const {
  out = SafeArray<uint8_t>::FromVector(value_, 0);
}

}  // namespace tessivo
