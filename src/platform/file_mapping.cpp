#include "platform/file_mapping.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

namespace tessivo::platform {
namespace {

// The live mappings the SIGBUS handler repairs. A fixed table: the handler may neither lock
// nor allocate. begin is published last and cleared first, so the handler never sees a
// half-filled slot as live.
struct GuardSlot {
  std::atomic<bool> used{false};
  std::atomic<uintptr_t> begin{0};
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> damaged{false};
};
constexpr int kSlots = 64;
GuardSlot guardSlots[kSlots];
uintptr_t pageSize = 4096;
struct sigaction previousAction {};

void PassOn(int signal, siginfo_t* info, void* context) {
  if ((previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_sigaction) {
    previousAction.sa_sigaction(signal, info, context);
  } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
    previousAction.sa_handler(signal);
  } else {
    // Default action: restore it; returning re-runs the faulting access, which then ends the
    // process as it would have without this handler.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
  }
}

void OnBusError(int signal, siginfo_t* info, void* context) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  for (GuardSlot& slot : guardSlots) {
    const uintptr_t begin = slot.begin.load(std::memory_order_acquire);
    if (begin == 0 || address < begin || address >= slot.end.load(std::memory_order_acquire))
      continue;
    // The page is past the file's new end: put a zero page in its place and let the read go on.
    void* page = reinterpret_cast<void*>(address & ~(pageSize - 1));
    if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      slot.damaged.store(true, std::memory_order_release);
      return;
    }
    break;
  }
  PassOn(signal, info, context);
}

bool InstallGuard() {
  static std::once_flag once;
  static bool installed = false;
  std::call_once(once, [] {
    const long page = sysconf(_SC_PAGESIZE);
    if (page > 0) pageSize = static_cast<uintptr_t>(page);
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    installed = sigaction(SIGBUS, &action, &previousAction) == 0;
  });
  return installed;
}

int ClaimSlot(uintptr_t begin, uintptr_t end) {
  for (int i = 0; i < kSlots; ++i) {
    bool expected = false;
    if (!guardSlots[i].used.compare_exchange_strong(expected, true)) continue;
    guardSlots[i].damaged.store(false);
    guardSlots[i].end.store(end, std::memory_order_release);
    guardSlots[i].begin.store(begin, std::memory_order_release);
    return i;
  }
  return -1;
}

void ReleaseSlot(int i) {
  guardSlots[i].begin.store(0, std::memory_order_release);
  guardSlots[i].end.store(0, std::memory_order_release);
  guardSlots[i].used.store(false, std::memory_order_release);
}

Status StatusOfOpenError(int error) {
  if (error == ENOENT || error == ENOTDIR) return Status::FileNotFound;
  if (error == EACCES || error == EPERM) return Status::AccessDenied;
  return Status::Win32Error;
}

}  // namespace

Status FileMapping::Open(const std::string& path, std::unique_ptr<FileMapping>& out) {
  out.reset();
  if (path.empty()) return Status::InvalidParameter;
  if (!InstallGuard()) return Status::NotImplemented;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return StatusOfOpenError(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(fd);
    return Status::NotImplemented;
  }
  std::unique_ptr<FileMapping> mapping(new FileMapping);
  mapping->size_ = static_cast<size_t>(info.st_size);
  if (mapping->size_ == 0) {
    static const uint8_t kNothing = 0;
    mapping->data_ = &kNothing;
    ::close(fd);
    out = std::move(mapping);
    return Status::Ok;
  }
  // Not populated up front: decoders hand consumed input back as they go, so a large file is
  // never resident all at once.
  void* base = mmap(nullptr, mapping->size_, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (base == MAP_FAILED) return Status::NotImplemented;
  const uintptr_t begin = reinterpret_cast<uintptr_t>(base);
  const size_t mapped = (mapping->size_ + pageSize - 1) & ~(pageSize - 1);
  mapping->slot_ = ClaimSlot(begin, begin + mapped);
  if (mapping->slot_ < 0) {
    munmap(base, mapping->size_);
    return Status::NotImplemented;
  }
  madvise(base, mapping->size_, MADV_SEQUENTIAL);
  mapping->data_ = static_cast<const uint8_t*>(base);
  mapping->mappedSize_ = mapped;
  out = std::move(mapping);
  return Status::Ok;
}

FileMapping::~FileMapping() {
  if (mappedSize_ == 0) return;
  ReleaseSlot(slot_);
  munmap(const_cast<uint8_t*>(data_), mappedSize_);
}

void ReleaseMappedInput(const uint8_t* from, const uint8_t* to) {
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(from) + pageSize - 1) & ~(pageSize - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(to) & ~(pageSize - 1);
  if (from == nullptr || end <= begin) return;
  for (const GuardSlot& slot : guardSlots) {
    const uintptr_t slotBegin = slot.begin.load(std::memory_order_acquire);
    if (slotBegin != 0 && begin >= slotBegin && end <= slot.end.load(std::memory_order_acquire)) {
      madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
      return;
    }
  }
}

bool FileMapping::Intact() const {
  return slot_ < 0 || !guardSlots[slot_].damaged.load(std::memory_order_acquire);
}

}  // namespace tessivo::platform
