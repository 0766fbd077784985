// The table of in-process window-system objects: device contexts, windows, bitmaps, icons,
// picture objects and memory blocks. A handle is a small positive number, never an address,
// and numbers are not reused while the process lives, so a handle released once stays
// unknown: using it again, or using it as an object of another kind, finds nothing.
//
// The table is shared by every thread (a host may create a window on one thread and read it on
// another); lookups hand out shared ownership, so an object released while a caller still works
// on it stays alive until that caller is done.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace tessivo::platform::win {

using Handle = int32_t;

enum class HandleKind { DeviceContext, Window, Bitmap, Icon, Picture, GlobalMemory };

class HandleTable {
 public:
  static HandleTable& Instance();

  // A fresh handle for `object` of kind T::kKind; 0 only when the number space is used up.
  template <typename T>
  Handle Add(std::shared_ptr<T> object) {
    return AddSlot(T::kKind, std::static_pointer_cast<void>(std::move(object)));
  }
  // The object of `handle` when it is live and of kind T::kKind, else null.
  template <typename T>
  std::shared_ptr<T> Get(Handle handle) const {
    return std::static_pointer_cast<T>(GetSlot(handle, T::kKind));
  }
  // Removes the handle and returns its object (null, nothing removed: unknown or other kind).
  template <typename T>
  std::shared_ptr<T> Take(Handle handle) {
    return std::static_pointer_cast<T>(TakeSlot(handle, T::kKind));
  }
  // Number of live handles of a kind (for leak checks).
  size_t Count(HandleKind kind) const;

 private:
  struct Slot {
    HandleKind kind;
    std::shared_ptr<void> object;
  };
  Handle AddSlot(HandleKind kind, std::shared_ptr<void> object);
  std::shared_ptr<void> GetSlot(Handle handle, HandleKind kind) const;
  std::shared_ptr<void> TakeSlot(Handle handle, HandleKind kind);

  mutable std::mutex mutex_;
  std::map<Handle, Slot> slots_;
  Handle next_ = 1;
};

}  // namespace tessivo::platform::win
