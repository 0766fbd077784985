#include "platform/content_hash.h"

#include <cstring>

namespace tessivo::platform {
namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr uint32_t kMixPrime = 0x9E3779B1u;
// Lane keys: arbitrary odd-looking constants so that equal words in different lanes differ.
constexpr uint64_t kKeys[8] = {0xBE4BA423396CFEB8ull, 0x1CAD21F72C81017Cull, 0xDB979083E96DD4DEull,
                               0x1F67B3B7A4A44072ull, 0x78E5C0CC4EE679CBull, 0x2172FFCC7DD05A82ull,
                               0x8E2443F7744608B8ull, 0x4C263A81E69035E0ull};
// Lanes are scrambled every so many stripes, so that long inputs do not saturate them.
constexpr uint32_t kStripesPerMix = 16;

uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint64_t Avalanche(uint64_t h) {
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

}  // namespace

ContentHasher::ContentHasher() {
  for (int i = 0; i < 8; ++i) lanes_[i] = kKeys[i] ^ kPrime1;
}

void ContentHasher::Stripes(const uint8_t* data, size_t count) {
  for (size_t s = 0; s < count; ++s, data += 64) {
    for (int i = 0; i < 8; ++i) {
      const uint64_t word = Load64(data + 8 * i);
      const uint64_t keyed = word ^ kKeys[i];
      lanes_[i ^ 1] += word;  // the word itself also goes in, so no bit is lost to the multiply
      lanes_[i] += (keyed & 0xFFFFFFFFu) * (keyed >> 32);
    }
    if (++stripesSinceMix_ == kStripesPerMix) {
      stripesSinceMix_ = 0;
      for (int i = 0; i < 8; ++i) {
        uint64_t a = lanes_[i];
        a ^= a >> 47;
        a ^= kKeys[7 - i];
        lanes_[i] = a * kMixPrime;
      }
    }
  }
}

void ContentHasher::Update(const void* data, size_t size) {
  auto* p = static_cast<const uint8_t*>(data);
  total_ += size;
  if (pendingBytes_ > 0) {
    const size_t take = size < 64 - pendingBytes_ ? size : 64 - pendingBytes_;
    std::memcpy(pending_ + pendingBytes_, p, take);
    pendingBytes_ += take;
    p += take;
    size -= take;
    if (pendingBytes_ < 64) return;
    Stripes(pending_, 1);
    pendingBytes_ = 0;
  }
  const size_t whole = size / 64;
  Stripes(p, whole);
  p += whole * 64;
  size -= whole * 64;
  std::memcpy(pending_, p, size);
  pendingBytes_ = size;
}

uint64_t ContentHasher::Digest() const {
  uint64_t h = total_ * kPrime1;
  for (int i = 0; i < 8; ++i) h = (h ^ Avalanche(lanes_[i] + static_cast<uint64_t>(i))) * kPrime1 + kPrime3;
  // The tail shorter than a stripe, byte by byte.
  for (size_t i = 0; i < pendingBytes_; ++i) h = (h ^ pending_[i]) * kPrime3 + (h >> 29);
  return Avalanche(h);
}

uint64_t HashBytes(const void* data, size_t size) {
  ContentHasher hasher;
  hasher.Update(data, size);
  return hasher.Digest();
}

}  // namespace tessivo::platform
