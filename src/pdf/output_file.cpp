#include "pdf/output_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace tessivo::pdf {

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Create(const std::string& destination) {
  Abandon();
  failed_ = false;
  offset_ = 0;
  if (destination.empty()) return false;
  struct stat info;
  if (::lstat(destination.c_str(), &info) == 0 || errno != ENOENT) return false;
  std::filesystem::path target(destination);
  std::filesystem::path folder = target.parent_path();
  std::string pattern =
      (folder.empty() ? std::filesystem::path(".") : folder) / ("." + target.filename().string() + ".XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  // mkstemp creates the file for the owner only; a finished document gets the usual mode.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    ::unlink(name.data());
    return false;
  }
  static constexpr size_t kBuffer = 1 << 16;
  std::setvbuf(file_, nullptr, _IOFBF, kBuffer);
  destination_ = destination;
  temporary_ = name.data();
  return true;
}

void OutputFile::Write(std::string_view bytes) {
  if (!file_ || failed_ || bytes.empty()) return;
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_);
  offset_ += written;
  if (written != bytes.size()) failed_ = true;
}

bool OutputFile::Commit() {
  if (!file_) return false;
  bool ok = !failed_ && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (ok) {
    // Never replace a file that appeared at the destination while the document was written.
    if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, destination_.c_str(),
                    RENAME_NOREPLACE) != 0) {
      if (errno == EINVAL || errno == ENOSYS) {
        ok = ::link(temporary_.c_str(), destination_.c_str()) == 0;
      } else {
        ok = false;
      }
    } else {
      temporary_.clear();
    }
  }
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  return ok;
}

void OutputFile::Abandon() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tessivo::pdf
