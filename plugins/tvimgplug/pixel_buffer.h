// The pixel memory of a bitmap: zeroed bytes whose pages the system provides lazily, with the
// last large buffer freed kept for the next bitmap of similar size. Touching fresh pages is a
// large part of decoding a big picture; a viewer or batch job decoding one picture after another
// then pays it once.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tvimg {

class PixelBuffer {
 public:
  PixelBuffer() = default;
  ~PixelBuffer();
  PixelBuffer(const PixelBuffer& other);
  PixelBuffer& operator=(const PixelBuffer& other);
  PixelBuffer(PixelBuffer&& other) noexcept;
  PixelBuffer& operator=(PixelBuffer&& other) noexcept;

  // `size` zero bytes; false (and empty) when memory runs out.
  bool Allocate(size_t size);
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  void Release();
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace tvimg
