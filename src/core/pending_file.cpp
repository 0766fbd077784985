#include "core/pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tessivo {

PendingFile::~PendingFile() { Discard(); }

PendingFile::PendingFile(PendingFile&& other) noexcept
    : destination_(std::move(other.destination_)), partial_(std::move(other.partial_)) {
  other.partial_.clear();
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
  if (this != &other) {
    Discard();
    destination_ = std::move(other.destination_);
    partial_ = std::move(other.partial_);
    other.partial_.clear();
  }
  return *this;
}

bool PendingFile::Open(const std::string& destination) {
  Discard();
  if (destination.empty() || destination.back() == '/') return false;
  const size_t slash = destination.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? destination : destination.substr(slash + 1);
  std::string pattern = folder + "." + name + ".partial-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) return false;
  // mkstemp creates the file for its owner only; a finished document gets the permissions any
  // new file of the user would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  ::close(fd);
  destination_ = destination;
  partial_ = buffer.data();
  return true;
}

bool PendingFile::Commit() {
  if (partial_.empty()) return false;
  if (std::rename(partial_.c_str(), destination_.c_str()) != 0) {
    Discard();
    return false;
  }
  partial_.clear();
  return true;
}

void PendingFile::Discard() {
  if (!partial_.empty()) std::remove(partial_.c_str());
  partial_.clear();
}

}  // namespace tessivo
