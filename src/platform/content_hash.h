// A fast 64-bit content hash for telling whether bytes are still the ones seen before (a file
// on disk, the pixels of a bitmap). Not cryptographic: it guards against accidental change, not
// against someone forging a collision. Eight independent 64-bit lanes of 32x32->64 multiplies
// keep it memory-bound and let the compiler vectorise the inner loop.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tessivo::platform {

class ContentHasher {
 public:
  ContentHasher();
  // Feeds `size` more bytes; the digest depends only on the bytes fed, not on how they were cut.
  void Update(const void* data, size_t size);
  uint64_t Digest() const;

 private:
  void Stripes(const uint8_t* data, size_t count);

  uint64_t lanes_[8];
  uint8_t pending_[64];
  size_t pendingBytes_ = 0;
  uint64_t total_ = 0;
  uint32_t stripesSinceMix_ = 0;
};

uint64_t HashBytes(const void* data, size_t size);

}  // namespace tessivo::platform
