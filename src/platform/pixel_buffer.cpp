#include "platform/pixel_buffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <utility>

namespace tessivo::platform {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
// Below this, calloc (which reuses freed memory) is as good.
constexpr size_t kMapThreshold = size_t{4} << 20;
}  // namespace

bool PixelBuffer::Allocate(size_t size) {
  Release();
  if (size == 0) return true;
  if (size < kMapThreshold) {
    data_ = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!data_) return false;
    size_ = size;
    return true;
  }
  // Map a huge page more than needed so the data can start on a huge-page boundary.
  const size_t mappingSize = size + kHugePage;
  void* mapping = mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return false;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(mapping) + kHugePage - 1) & ~(kHugePage - 1);
  data_ = reinterpret_cast<uint8_t*>(start);
  const size_t usable = reinterpret_cast<uintptr_t>(mapping) + mappingSize - start;
  madvise(data_, usable & ~(kHugePage - 1), MADV_HUGEPAGE);  // a hint: failure is harmless
  mapping_ = mapping;
  mappingSize_ = mappingSize;
  size_ = size;
  return true;
}

void PixelBuffer::Release() {
  if (mapping_) munmap(mapping_, mappingSize_);
  else std::free(data_);
  data_ = nullptr;
  size_ = 0;
  mapping_ = nullptr;
  mappingSize_ = 0;
}

void PixelBuffer::swap(PixelBuffer& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(mapping_, other.mapping_);
  std::swap(mappingSize_, other.mappingSize_);
}

}  // namespace tessivo::platform
