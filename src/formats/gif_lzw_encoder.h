// Variable-code-width LZW as GIF89a image data needs it, written into 254-byte sub-blocks.
//
// The dictionary is a 5003-slot open-addressing table keyed by pixel·4096 + prefix code, with the
// primary slot (pixel·16) XOR prefix and the secondary displacement 5003 − slot. Probing stops at
// the first slot whose key is not positive, so a stored key of 0 (pixel 0 after prefix 0) reads
// as empty there: that string is then simply coded again, which costs a little compression and
// keeps the output identical to the files this encoder has always written. Codes are at most
// 12 bits; when all 4096 are used a clear code restarts the dictionary.
//
// One encoder per image: all state lives in the object.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessivo {

class GifLzwEncoder {
 public:
  // minCodeSize: 2 for 1-bit images, else the bits per pixel (4 or 8). Sub-blocks are appended
  // to `out`; the caller writes the minimum code size before and the block terminator after.
  GifLzwEncoder(int minCodeSize, std::vector<uint8_t>& out);

  // Codes the next pixels (palette indices below 2^minCodeSize).
  void Feed(const uint8_t* pixels, size_t count);
  // Codes the pending prefix and the end code and flushes the last sub-block.
  void Finish();

  static constexpr int kHashSize = 5003;
  static constexpr int kMaxBits = 12;
  static constexpr int kMaxMaxCode = 1 << kMaxBits;

 private:
  void Emit(int code);
  void ClearTable();
  void AppendByte(uint8_t byte) {
    packet_[++packetCount_] = byte;
    if (packetCount_ >= 254) FlushPacket();
  }
  void FlushPacket();

  std::vector<uint8_t>& out_;
  std::array<int32_t, kHashSize> keys_;
  std::array<int16_t, kHashSize> codes_;
  int initBits_;
  int nBits_;
  int maxCode_;
  int clearCode_;
  int eoiCode_;
  int freeEntry_;
  bool clearFlag_ = false;
  uint32_t accumulator_ = 0;
  int pendingBits_ = 0;
  std::array<uint8_t, 255> packet_{};  // [0] receives the count when flushed
  int packetCount_ = 0;
  int prefix_ = -1;  // -1 until the first pixel arrives
};

}  // namespace tessivo
