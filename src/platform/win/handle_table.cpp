#include "platform/win/handle_table.h"

#include <limits>

namespace tessivo::platform::win {

HandleTable& HandleTable::Instance() {
  static HandleTable* table = new HandleTable;  // outlives every static user
  return *table;
}

Handle HandleTable::AddSlot(HandleKind kind, std::shared_ptr<void> object) {
  if (!object) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  if (next_ == std::numeric_limits<Handle>::max()) return 0;
  const Handle handle = next_++;
  slots_.emplace(handle, Slot{kind, std::move(object)});
  return handle;
}

std::shared_ptr<void> HandleTable::GetSlot(Handle handle, HandleKind kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = slots_.find(handle);
  if (it == slots_.end() || it->second.kind != kind) return nullptr;
  return it->second.object;
}

std::shared_ptr<void> HandleTable::TakeSlot(Handle handle, HandleKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = slots_.find(handle);
  if (it == slots_.end() || it->second.kind != kind) return nullptr;
  std::shared_ptr<void> object = std::move(it->second.object);
  slots_.erase(it);
  return object;
}

size_t HandleTable::Count(HandleKind kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t n = 0;
  for (const auto& [handle, slot] : slots_) n += slot.kind == kind;
  return n;
}

}  // namespace tessivo::platform::win
