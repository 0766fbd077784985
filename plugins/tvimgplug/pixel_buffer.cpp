#include "pixel_buffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

namespace tvimg {
namespace {

// Buffers below this size come and go through malloc alone.
constexpr size_t kRecycledMinimum = size_t{4} << 20;

// Large buffers are mapped on their own, starting on a 2 MiB boundary and marked for
// transparent huge pages: a fresh 70 MB picture then costs 35 page faults instead of 17,000.
constexpr size_t kHugePage = size_t{2} << 20;

uint8_t* MapLarge(size_t size) {
  const size_t length = size + kHugePage;
  void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(base) + kHugePage - 1) & ~(kHugePage - 1);
  // Only whole pages: give back the unused head and tail of the mapping.
  const uintptr_t end = (start + size + 4095) & ~uintptr_t{4095};
  if (start > reinterpret_cast<uintptr_t>(base))
    munmap(base, start - reinterpret_cast<uintptr_t>(base));
  const uintptr_t mappingEnd = reinterpret_cast<uintptr_t>(base) + length;
  if (mappingEnd > end) munmap(reinterpret_cast<void*>(end), mappingEnd - end);
  madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);  // a hint only
  return reinterpret_cast<uint8_t*>(start);
}

void UnmapLarge(uint8_t* data, size_t size) {
  if (data) munmap(data, (size + 4095) & ~size_t{4095});
}

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
  data_ = size >= kRecycledMinimum ? MapLarge(size) : static_cast<uint8_t*>(std::calloc(size, 1));
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
  // What was in the spare slot before, or this buffer when too small.
  if (capacity_ >= kRecycledMinimum) UnmapLarge(data_, capacity_);
  else std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

}  // namespace tvimg
