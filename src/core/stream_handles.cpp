#include "core/stream_handles.h"

#include <unordered_map>

#include "tessivo/streams.h"

namespace tessivo {
namespace {

struct StreamTable {
  std::unordered_map<int32_t, std::shared_ptr<platform::Stream>> streams;
  int32_t lastHandle = 0;
};

StreamTable& Table() {
  thread_local StreamTable table;
  return table;
}

}  // namespace

int32_t AddStreamHandle(std::shared_ptr<platform::Stream> stream) {
  StreamTable& t = Table();
  // Handles count up and wrap past INT32_MAX, skipping 0 and any still in use.
  do {
    t.lastHandle = t.lastHandle == INT32_MAX ? 1 : t.lastHandle + 1;
  } while (t.streams.count(t.lastHandle) != 0);
  t.streams.emplace(t.lastHandle, std::move(stream));
  return t.lastHandle;
}

std::shared_ptr<platform::Stream> LookupStreamHandle(int32_t handle) {
  auto& streams = Table().streams;
  auto it = streams.find(handle);
  return it == streams.end() ? nullptr : it->second;
}

int32_t StreamCreateFromBytes(const SafeArray<uint8_t>& bytes) {
  try {
    return AddStreamHandle(std::make_shared<platform::MemoryStream>(bytes.storage()));
  } catch (...) {
    return 0;
  }
}

int32_t StreamOpenFile(const std::string& path) {
  try {
    std::unique_ptr<platform::FileStream> file;
    if (platform::FileStream::Open(path, platform::FileStream::Mode::Read, file) !=
        platform::Status::Ok)
      return 0;
    return AddStreamHandle(std::shared_ptr<platform::Stream>(std::move(file)));
  } catch (...) {
    return 0;
  }
}

bool StreamGetBytes(int32_t stream, SafeArray<uint8_t>& bytes) {
  try {
    std::shared_ptr<platform::Stream> s = LookupStreamHandle(stream);
    if (!s) return false;
    std::vector<uint8_t> content;
    if (s->ReadAll(content) != platform::Status::Ok) return false;
    bytes = SafeArray<uint8_t>::FromVector(std::move(content));
    return true;
  } catch (...) {
    return false;
  }
}

bool StreamRewind(int32_t stream) {
  std::shared_ptr<platform::Stream> s = LookupStreamHandle(stream);
  return s && s->Seek(0, platform::SeekOrigin::Begin) == platform::Status::Ok;
}

bool StreamRelease(int32_t stream) { return Table().streams.erase(stream) != 0; }

}  // namespace tessivo
