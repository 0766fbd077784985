#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codecs.h"

namespace tvimg {

MappedFile::MappedFile(const char* path) {
  // Read, not mapped: another program may truncate or rewrite the file while a document is
  // open, which would turn later reads of a mapping into a crash.
  if (!path) return;
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
      static_cast<uint64_t>(st.st_size) <= kMaxFileBytes) {
    const size_t size = static_cast<size_t>(st.st_size);
    auto* buffer = static_cast<uint8_t*>(std::malloc(size));
    size_t done = 0;
    while (buffer && done < size) {
      const ssize_t n = ::read(fd, buffer + done, size - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (buffer && done == size) {
      data_ = buffer;
      size_ = size;
    } else {
      std::free(buffer);
    }
  }
  ::close(fd);
}

MappedFile::~MappedFile() { std::free(const_cast<uint8_t*>(data_)); }

bool WriteFileAtomically(const std::string& path, const uint8_t* bytes, size_t size) {
  if (path.empty() || (!bytes && size > 0)) return false;
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  // mkstemp creates the file private (0600); give it the permissions a plain create would.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  const bool ok = ::close(fd) == 0 && done == size;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace tvimg
