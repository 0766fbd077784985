// Byte streams of the platform layer: the source a decoder reads and the sink an encoder
// writes. Two implementations: an in-memory stream (growable byte buffer) and a file-backed
// stream. Positions and sizes are 64-bit; every operation reports a Status.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"

namespace tessivo::platform {

enum class SeekOrigin { Begin, Current, End };

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to `size` bytes into `buffer`; `read` receives how many were read (fewer at the
  // end of the stream, 0 once there). A read error is a status.
  virtual Status Read(void* buffer, size_t size, size_t& read) = 0;
  // Writes all `size` bytes at the current position, growing the stream as needed.
  virtual Status Write(const void* data, size_t size) = 0;
  // Moves the position. A position before the start is InvalidParameter; a position past the
  // end is allowed (a later write fills the gap with zeros).
  virtual Status Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual uint64_t Position() const = 0;
  virtual Status Size(uint64_t& size) const = 0;

  // Reads the whole stream from its start into `bytes` (the position ends at the end).
  Status ReadAll(std::vector<uint8_t>& bytes);
};

// A stream over a byte vector it owns.
class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemoryStream(const uint8_t* data, size_t size) : bytes_(data, data + size) {}

  Status Read(void* buffer, size_t size, size_t& read) override;
  Status Write(const void* data, size_t size) override;
  Status Seek(int64_t offset, SeekOrigin origin) override;
  uint64_t Position() const override { return position_; }
  Status Size(uint64_t& size) const override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // Hands the bytes over, leaving the stream empty at position 0.
  std::vector<uint8_t> TakeBytes();

 private:
  std::vector<uint8_t> bytes_;
  uint64_t position_ = 0;
};

// A stream over a file, opened for reading, or created (truncated) for reading and writing.
class FileStream final : public Stream {
 public:
  enum class Mode { Read, Create };
  // A missing file (Read): FileNotFound; a file that cannot be opened or created:
  // AccessDenied when permission is refused, Win32Error otherwise.
  static Status Open(const std::string& path, Mode mode, std::unique_ptr<FileStream>& out);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  Status Read(void* buffer, size_t size, size_t& read) override;
  Status Write(const void* data, size_t size) override;
  Status Seek(int64_t offset, SeekOrigin origin) override;
  uint64_t Position() const override;
  Status Size(uint64_t& size) const override;
  // Writes buffered bytes to the file.
  Status Flush();

 private:
  explicit FileStream(std::FILE* file, uint64_t size) : file_(file), size_(size) {}
  // Switches stdio between reading and writing, which needs a positioning call in between.
  bool PrepareFor(bool write);
  // After a failed read or write: the position and size as the file says.
  void Resync();

  std::FILE* file_ = nullptr;
  // Position and size kept here, so that seeking where the stream already is (TIFF writers
  // do so before every strip) and asking for the size cost no system calls: stdio's own
  // positioning flushes its buffer and rereads a block each time.
  uint64_t position_ = 0;
  uint64_t size_ = 0;
  enum class LastOp { None, Read, Write } last_ = LastOp::None;
};

// Reads a whole file into `bytes`: FileNotFound when it does not exist, AccessDenied when it
// may not be read, OutOfMemory when it does not fit in memory. Decoders read files this way.
Status ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace tessivo::platform
