#include "pixel_buffer.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

namespace tvimg {
namespace {

// Buffers below this size come and go through malloc alone.
constexpr size_t kRecycledMinimum = size_t{4} << 20;

struct Spare {
  std::mutex mutex;
  uint8_t* data = nullptr;
  size_t capacity = 0;
};
Spare& TheSpare() {
  static Spare* spare = new Spare;  // never destroyed: bitmaps may be freed during exit
  return *spare;
}

}  // namespace

PixelBuffer::~PixelBuffer() { Release(); }

PixelBuffer::PixelBuffer(const PixelBuffer& other) {
  if (other.size_ > 0 && Allocate(other.size_)) std::memcpy(data_, other.data_, size_);
  if (other.size_ > 0 && !data_) throw std::bad_alloc();
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
  if (this != &other) {
    PixelBuffer copy(other);
    *this = std::move(copy);
  }
  return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

bool PixelBuffer::Allocate(size_t size) {
  Release();
  if (size == 0) return true;
  if (size >= kRecycledMinimum) {
    Spare& spare = TheSpare();
    std::lock_guard<std::mutex> lock(spare.mutex);
    // Reused only when it is not much larger than needed, so memory is not held for nothing.
    if (spare.data && spare.capacity >= size && spare.capacity / 2 <= size) {
      data_ = std::exchange(spare.data, nullptr);
      capacity_ = std::exchange(spare.capacity, 0);
      size_ = size;
      std::memset(data_, 0, size_);
      return true;
    }
  }
  data_ = static_cast<uint8_t*>(std::calloc(size, 1));
  if (!data_) return false;
  size_ = capacity_ = size;
  return true;
}

void PixelBuffer::Release() {
  if (!data_) return;
  if (capacity_ >= kRecycledMinimum) {
    Spare& spare = TheSpare();
    std::lock_guard<std::mutex> lock(spare.mutex);
    std::swap(spare.data, data_);
    std::swap(spare.capacity, capacity_);
  }
  std::free(data_);  // what was in the spare slot before, or this buffer when too small
  data_ = nullptr;
  size_ = capacity_ = 0;
}

}  // namespace tvimg
