// Zero-filled memory for pixel rows. Large blocks are mapped directly and marked for
// transparent huge pages: first-touch page faults, not the pixel loops, dominate the cost of a
// fresh buffer of tens of megabytes, and 2 MB pages cut their number 512-fold.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tessivo::platform {

class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(PixelBuffer&& other) noexcept { swap(other); }
  PixelBuffer& operator=(PixelBuffer&& other) noexcept {
    PixelBuffer(std::move(other)).swap(*this);
    return *this;
  }
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;
  ~PixelBuffer() { Release(); }

  // Replaces the contents with `size` zero bytes; false (and empty) when memory runs out.
  bool Allocate(size_t size);

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void swap(PixelBuffer& other) noexcept;

 private:
  void Release();

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  void* mapping_ = nullptr;  // the whole mapping when mapped, else null (data_ is malloc'd)
  size_t mappingSize_ = 0;
};

}  // namespace tessivo::platform
