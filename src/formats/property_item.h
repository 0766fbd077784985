// One EXIF property item as the toolkit hands it around: a copy of the platform's item record
// (id, value type, length) owning its value bytes, with the element arithmetic of its type.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "tessivo/safe_array.h"

namespace tessivo {

class cGDIPPropertyItem {
 public:
  cGDIPPropertyItem() = default;
  // A copy of a platform item (its bytes are the value; the length is their number).
  static cGDIPPropertyItem FromPlatform(const platform::PropertyItem& item);

  uint32_t ID() const { return id_; }
  // Address of the first value byte; null when the item holds no bytes.
  const uint8_t* DataPtr() const { return length_ >= 1 && !value_.empty() ? value_.data() : nullptr; }
  int32_t ItemType() const { return type_; }
  int32_t Length() const { return length_; }
  std::string name() const;
  int32_t ValueCount() const;
  // The 32-bit little-endian value at byte 4 * (index - 1); 0 when index is outside
  // 1..ValueCount or the four bytes are not all inside the value.
  int32_t ParseLong(int32_t index) const;
  // Copies value bytes into `out` from its lower bound on, as many as both hold.
  void GetData(SafeArray<uint8_t>& out) const;
  // Makes `out` a 0-based array of exactly the value bytes.
  void GetDataB(SafeArray<uint8_t>& out) const;
  int32_t DataBufferSize() const { return ValueCount() * ElementDataSize(); }
  int32_t ElementDataSize() const;

  // Sets id, length and type; copies the value from `buffer` (the 16-byte item header followed
  // by the value, `bufferSize` bytes in all) when the address is non-null, the length is at
  // least 1 and the buffer holds a value. Never more than `length` bytes are taken.
  void LoadFromBuffer(uint32_t id, int32_t length, int32_t type, const uint8_t* value,
                      int64_t bufferSize);

  const std::vector<uint8_t>& Bytes() const { return value_; }

 private:
  uint32_t id_ = 0;
  int32_t length_ = 0;
  int32_t type_ = 0;
  std::vector<uint8_t> value_;
};

}  // namespace tessivo
