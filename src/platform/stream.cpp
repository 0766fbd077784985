#include "platform/stream.h"

#include <algorithm>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace tessivo::platform {

namespace {

Status StatusFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return Status::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return Status::AccessDenied;
    case ENOMEM:
      return Status::OutOfMemory;
    default:
      return Status::Win32Error;
  }
}

// The new position for a seek, or -1 when it would fall before the start or overflow.
int64_t SeekTarget(int64_t offset, SeekOrigin origin, uint64_t position, uint64_t size) {
  int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<int64_t>(position);
  if (origin == SeekOrigin::End) base = static_cast<int64_t>(size);
  if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) return -1;
  int64_t target = base + offset;
  return target < 0 ? -1 : target;
}

}  // namespace

Status Stream::ReadAll(std::vector<uint8_t>& bytes) {
  bytes.clear();
  Status s = Seek(0, SeekOrigin::Begin);
  if (s != Status::Ok) return s;
  uint64_t size = 0;
  s = Size(size);
  if (s != Status::Ok) return s;
  if (size > static_cast<uint64_t>(std::numeric_limits<ptrdiff_t>::max())) return Status::OutOfMemory;
  bytes.resize(static_cast<size_t>(size));
  size_t read = 0;
  s = Read(bytes.data(), bytes.size(), read);
  bytes.resize(read);
  return s;
}

// --- MemoryStream ---

Status MemoryStream::Read(void* buffer, size_t size, size_t& read) {
  read = 0;
  if (size > 0 && buffer == nullptr) return Status::InvalidParameter;
  if (position_ >= bytes_.size()) return Status::Ok;
  size_t available = bytes_.size() - static_cast<size_t>(position_);
  read = size < available ? size : available;
  std::memcpy(buffer, bytes_.data() + position_, read);
  position_ += read;
  return Status::Ok;
}

Status MemoryStream::Write(const void* data, size_t size) {
  if (size == 0) return Status::Ok;
  if (data == nullptr) return Status::InvalidParameter;
  if (position_ > bytes_.max_size() - size) return Status::OutOfMemory;
  size_t end = static_cast<size_t>(position_) + size;
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, data, size);
  position_ = end;
  return Status::Ok;
}

Status MemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t target = SeekTarget(offset, origin, position_, bytes_.size());
  if (target < 0) return Status::InvalidParameter;
  position_ = static_cast<uint64_t>(target);
  return Status::Ok;
}

Status MemoryStream::Size(uint64_t& size) const {
  size = bytes_.size();
  return Status::Ok;
}

std::vector<uint8_t> MemoryStream::TakeBytes() {
  std::vector<uint8_t> out;
  out.swap(bytes_);
  position_ = 0;
  return out;
}

// --- FileStream ---

Status FileStream::Open(const std::string& path, Mode mode, std::unique_ptr<FileStream>& out) {
  out.reset();
  if (path.empty()) return Status::InvalidParameter;
  std::FILE* file = std::fopen(path.c_str(), mode == Mode::Read ? "rb" : "w+b");
  if (file == nullptr) return StatusFromErrno(errno);
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return Status::AccessDenied;  // a folder is no file to read or write
  }
  out.reset(new FileStream(file, mode == Mode::Read ? static_cast<uint64_t>(info.st_size) : 0));
  return Status::Ok;
}

FileStream::~FileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

bool FileStream::PrepareFor(bool write) {
  const LastOp other = write ? LastOp::Read : LastOp::Write;
  if (last_ == other && fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0) return false;
  last_ = write ? LastOp::Write : LastOp::Read;
  return true;
}

void FileStream::Resync() {
  std::clearerr(file_);
  const off_t here = ftello(file_);
  if (here >= 0) position_ = static_cast<uint64_t>(here);
  struct stat info {};
  if (fstat(fileno(file_), &info) == 0) size_ = std::max<uint64_t>(static_cast<uint64_t>(info.st_size), position_);
  last_ = LastOp::None;
}

Status FileStream::Read(void* buffer, size_t size, size_t& read) {
  read = 0;
  if (size > 0 && buffer == nullptr) return Status::InvalidParameter;
  if (size == 0) return Status::Ok;
  if (!PrepareFor(false)) return Status::Win32Error;
  read = std::fread(buffer, 1, size, file_);
  position_ += read;
  if (read < size && std::ferror(file_)) {
    Resync();
    return Status::Win32Error;
  }
  return Status::Ok;
}

Status FileStream::Write(const void* data, size_t size) {
  if (size == 0) return Status::Ok;
  if (data == nullptr) return Status::InvalidParameter;
  if (!PrepareFor(true)) return Status::Win32Error;
  if (std::fwrite(data, 1, size, file_) != size) {
    Resync();
    return Status::Win32Error;
  }
  position_ += size;
  size_ = std::max(size_, position_);
  return Status::Ok;
}

Status FileStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t target = SeekTarget(offset, origin, position_, size_);
  if (target < 0) return Status::InvalidParameter;
  if (static_cast<uint64_t>(target) == position_) return Status::Ok;
  if (fseeko(file_, static_cast<off_t>(target), SEEK_SET) != 0) {
    Resync();
    return Status::Win32Error;
  }
  position_ = static_cast<uint64_t>(target);
  last_ = LastOp::None;
  return Status::Ok;
}

uint64_t FileStream::Position() const { return position_; }

Status FileStream::Size(uint64_t& size) const {
  size = size_;
  return Status::Ok;
}

Status FileStream::Flush() {
  return std::fflush(file_) == 0 ? Status::Ok : Status::Win32Error;
}

Status ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  std::unique_ptr<FileStream> file;
  Status s = FileStream::Open(path, FileStream::Mode::Read, file);
  if (s != Status::Ok) return s;
  try {
    return file->ReadAll(bytes);
  } catch (const std::bad_alloc&) {
    bytes.clear();
    return Status::OutOfMemory;
  }
}

}  // namespace tessivo::platform
