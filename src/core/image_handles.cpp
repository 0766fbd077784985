#include "core/image_handles.h"

#include <unordered_map>

namespace tessivo {
namespace {

struct HandleTable {
  std::unordered_map<intptr_t, std::weak_ptr<platform::Bitmap>> images;
  intptr_t lastHandle = 0;
};

HandleTable& Table() {
  thread_local HandleTable table;
  return table;
}

}  // namespace

intptr_t IssueImageHandle(const std::shared_ptr<platform::Bitmap>& image) {
  if (!image) return 0;
  HandleTable& t = Table();
  for (auto it = t.images.begin(); it != t.images.end();) {
    std::shared_ptr<platform::Bitmap> live = it->second.lock();
    if (!live) {
      it = t.images.erase(it);
    } else if (live == image) {
      return it->first;
    } else {
      ++it;
    }
  }
  t.images.emplace(++t.lastHandle, image);
  return t.lastHandle;
}

std::shared_ptr<platform::Bitmap> LookupImageHandle(intptr_t handle) {
  auto& images = Table().images;
  auto it = images.find(handle);
  return it == images.end() ? nullptr : it->second.lock();
}

}  // namespace tessivo
