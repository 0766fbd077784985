// ImageMagick's memory methods, bounded: a coder that asks for more than one request may hold
// gets NULL, which ImageMagick reports as a resource error, instead of the system's answer
// (overcommitted pages, the OOM killer, or a sanitizer's abort).
#include <wand/MagickWand.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "decode_limits.h"

namespace tvimg {
namespace {

std::atomic<uint64_t> refused{0};

bool Allowed(size_t size) {
  if (size <= CurrentDecodeLimits().maxAllocation) return true;
  refused.fetch_add(1, std::memory_order_relaxed);
  return false;
}

void* GuardedAcquire(size_t size) { return Allowed(size) ? std::malloc(size) : nullptr; }
void* GuardedResize(void* memory, size_t size) {
  return Allowed(size) ? std::realloc(memory, size) : nullptr;
}
void GuardedDestroy(void* memory) { std::free(memory); }

void* GuardedAcquireAligned(const size_t count, const size_t quantum) {
  if (quantum != 0 && count > SIZE_MAX / quantum) return nullptr;
  const size_t size = count * quantum;
  if (!Allowed(size)) return nullptr;
  void* memory = nullptr;
  const size_t alignment = 64;  // ImageMagick's cache line alignment
  if (posix_memalign(&memory, alignment, size == 0 ? alignment : size) != 0) return nullptr;
  return memory;
}

}  // namespace

void InstallAllocationGuard() {
  static std::once_flag once;
  // Forwarding to malloc/posix_memalign/free keeps blocks interchangeable with the default
  // methods, so memory ImageMagick took before this point is still released correctly.
  std::call_once(once, [] {
    SetMagickMemoryMethods(GuardedAcquire, GuardedResize, GuardedDestroy);
    SetMagickAlignedMemoryMethods(GuardedAcquireAligned, GuardedDestroy);
  });
}

uint64_t RefusedAllocations() { return refused.load(std::memory_order_relaxed); }

}  // namespace tvimg
