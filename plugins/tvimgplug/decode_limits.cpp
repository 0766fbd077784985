#include "decode_limits.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace tvimg {
namespace {

// Written rarely (start-up of a fuzz driver), read by every decode: a pointer swap keeps
// readers from seeing half-written limits.
std::atomic<const DecodeLimits*> current{new DecodeLimits};

}  // namespace

const DecodeLimits& CurrentDecodeLimits() { return *current.load(std::memory_order_acquire); }

void SetDecodeLimits(const DecodeLimits& limits) {
  // The previous limits stay allocated: a decode on another thread may still read them.
  static std::mutex mutex;
  static std::vector<std::unique_ptr<const DecodeLimits>> retired;
  std::lock_guard<std::mutex> lock(mutex);
  retired.emplace_back(current.exchange(new DecodeLimits(limits), std::memory_order_acq_rel));
}

}  // namespace tvimg
