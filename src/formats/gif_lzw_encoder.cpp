#include "formats/gif_lzw_encoder.h"

namespace tessivo {
namespace {

constexpr uint32_t kMasks[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                 0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

constexpr int MaxCodeFor(int bits) { return (1 << bits) - 1; }

}  // namespace

GifLzwEncoder::GifLzwEncoder(int minCodeSize, std::vector<uint8_t>& out) : out_(out) {
  initBits_ = minCodeSize + 1;
  nBits_ = initBits_;
  maxCode_ = MaxCodeFor(nBits_);
  clearCode_ = 1 << (initBits_ - 1);
  eoiCode_ = clearCode_ + 1;
  freeEntry_ = clearCode_ + 2;
  keys_.fill(-1);
  Emit(clearCode_);
}

void GifLzwEncoder::ClearTable() {
  keys_.fill(-1);
  freeEntry_ = clearCode_ + 2;
  clearFlag_ = true;
  Emit(clearCode_);
}

void GifLzwEncoder::Feed(const uint8_t* pixels, size_t count) {
  if (count == 0) return;
  size_t i = 0;
  if (prefix_ < 0) prefix_ = pixels[i++];
  int prefix = prefix_;
  int32_t* const keys = keys_.data();
  int16_t* const codes = codes_.data();

  for (; i < count; ++i) {
    const int c = pixels[i];
    const int32_t key = (static_cast<int32_t>(c) << kMaxBits) + prefix;
    int slot = (c << 4) ^ prefix;
    if (keys[slot] == key) {
      prefix = codes[slot];
      continue;
    }
    if (keys[slot] >= 0) {
      const int displacement = slot == 0 ? 1 : kHashSize - slot;
      bool hit = false;
      do {
        slot -= displacement;
        if (slot < 0) slot += kHashSize;
        if (keys[slot] == key) {
          hit = true;
          break;
        }
      } while (keys[slot] > 0);
      if (hit) {
        prefix = codes[slot];
        continue;
      }
    }
    Emit(prefix);
    prefix = c;
    if (freeEntry_ < kMaxMaxCode) {
      codes[slot] = static_cast<int16_t>(freeEntry_++);
      keys[slot] = key;
    } else {
      ClearTable();
    }
  }
  prefix_ = prefix;
}

void GifLzwEncoder::Finish() {
  if (prefix_ >= 0) Emit(prefix_);
  Emit(eoiCode_);
}

void GifLzwEncoder::Emit(int code) {
  accumulator_ &= kMasks[pendingBits_];
  if (pendingBits_ > 0)
    accumulator_ |= static_cast<uint32_t>(code) << pendingBits_;
  else
    accumulator_ = static_cast<uint32_t>(code);
  pendingBits_ += nBits_;
  while (pendingBits_ >= 8) {
    AppendByte(static_cast<uint8_t>(accumulator_ & 0xFF));
    accumulator_ >>= 8;
    pendingBits_ -= 8;
  }

  // The width changes after the code is out, so a clear code goes out at the old width.
  if (freeEntry_ > maxCode_ || clearFlag_) {
    if (clearFlag_) {
      nBits_ = initBits_;
      maxCode_ = MaxCodeFor(nBits_);
      clearFlag_ = false;
    } else {
      ++nBits_;
      maxCode_ = nBits_ == kMaxBits ? kMaxMaxCode : MaxCodeFor(nBits_);
    }
  }

  if (code == eoiCode_) {
    while (pendingBits_ > 0) {
      AppendByte(static_cast<uint8_t>(accumulator_ & 0xFF));
      accumulator_ >>= 8;
      pendingBits_ -= 8;
    }
    FlushPacket();
  }
}

void GifLzwEncoder::FlushPacket() {
  if (packetCount_ == 0) return;
  packet_[0] = static_cast<uint8_t>(packetCount_);
  out_.insert(out_.end(), packet_.begin(), packet_.begin() + packetCount_ + 1);
  packetCount_ = 0;
}

}  // namespace tessivo
