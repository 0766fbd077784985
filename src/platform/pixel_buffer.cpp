#include "platform/pixel_buffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

namespace tessivo::platform {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
// Below this, calloc (which reuses freed memory) is as good.
constexpr size_t kMapThreshold = size_t{4} << 20;

// Mappings freed lately, kept for the next buffer of the same size: a program that loads or
// filters picture after picture then clears memory it already has instead of faulting in and
// zeroing fresh pages. Bounded in count and bytes so that little memory is held for nothing.
constexpr int kSpareCount = 2;
constexpr size_t kSpareBytesLimit = size_t{256} << 20;

struct SpareMapping {
  void* mapping = nullptr;
  size_t mappingSize = 0;
};

struct SparePool {
  std::mutex mutex;
  SpareMapping spares[kSpareCount];
};

SparePool& Pool() {
  static SparePool* pool = new SparePool;  // never destroyed: buffers may be freed during exit
  return *pool;
}

size_t MappingSizeFor(size_t size) { return ((size + kHugePage - 1) & ~(kHugePage - 1)) + kHugePage; }

// A kept mapping of exactly `mappingSize` bytes, or null.
void* TakeSpare(size_t mappingSize) {
  SparePool& pool = Pool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  for (SpareMapping& spare : pool.spares) {
    if (spare.mapping && spare.mappingSize == mappingSize) {
      spare.mappingSize = 0;
      return std::exchange(spare.mapping, nullptr);
    }
  }
  return nullptr;
}

// Keeps the mapping for reuse, newest first; the oldest kept ones are unmapped when the count
// or byte bound is passed.
void GiveSpare(void* mapping, size_t mappingSize) {
  if (mappingSize > kSpareBytesLimit) {
    munmap(mapping, mappingSize);
    return;
  }
  SpareMapping dropped[kSpareCount];
  int droppedCount = 0;
  {
    SparePool& pool = Pool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (pool.spares[kSpareCount - 1].mapping) dropped[droppedCount++] = pool.spares[kSpareCount - 1];
    for (int i = kSpareCount - 1; i > 0; --i) pool.spares[i] = pool.spares[i - 1];
    pool.spares[0] = SpareMapping{mapping, mappingSize};
    size_t kept = 0;
    for (SpareMapping& spare : pool.spares) {
      kept += spare.mappingSize;
      if (kept > kSpareBytesLimit && spare.mapping && droppedCount < kSpareCount) {
        dropped[droppedCount++] = spare;
        spare = SpareMapping{};
      }
    }
  }
  for (int i = 0; i < droppedCount; ++i) munmap(dropped[i].mapping, dropped[i].mappingSize);
}

uint8_t* HugePageStart(void* mapping) {
  return reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(mapping) + kHugePage - 1) & ~(kHugePage - 1));
}

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
  // Sizes are rounded to whole huge pages, so buffers of one picture size share a size class.
  const size_t mappingSize = MappingSizeFor(size);
  if (void* reused = TakeSpare(mappingSize)) {
    data_ = HugePageStart(reused);
    std::memset(data_, 0, size);
    mapping_ = reused;
    mappingSize_ = mappingSize;
    size_ = size;
    return true;
  }
  // Map a huge page more than needed so the data can start on a huge-page boundary.
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
  if (mapping_) GiveSpare(mapping_, mappingSize_);
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
