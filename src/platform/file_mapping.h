// A regular file mapped read-only, for decoders that read their input in place instead of
// copying it into fresh memory first (which costs a page fault per 4 KiB and a full copy).
//
// Another program may shrink the file while it is mapped; reading a page past the new end
// would raise SIGBUS. A process-wide SIGBUS handler turns such a fault inside a live mapping
// into a page of zeros and marks the mapping damaged: the decode finishes reading zeros and
// its caller, seeing Intact() false, discards the result and reports a status. Faults outside
// every live mapping go on to the handler that was installed before.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"

namespace tessivo::platform {

class FileMapping {
 public:
  // Maps the whole of `path`. Missing file: FileNotFound; no permission: AccessDenied; not a
  // regular file, or no slot left to guard the mapping: NotImplemented (read the file instead).
  static Status Open(const std::string& path, std::unique_ptr<FileMapping>& out);

  ~FileMapping();
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  // False once a read touched a part of the file that was gone: the bytes read there were
  // zeros, so whatever was decoded from the mapping must not be used.
  bool Intact() const;

 private:
  FileMapping() = default;

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t mappedSize_ = 0;  // 0 for an empty file (nothing mapped)
  int slot_ = -1;
};

// Drops the whole pages inside [from, to) from the process's resident memory when they lie in
// a live mapping (other memory is left alone). A decoder that has consumed part of its input
// calls it so that a large file never becomes resident all at once; a dropped page that is read
// again is simply read from the file again.
void ReleaseMappedInput(const uint8_t* from, const uint8_t* to);

// How much consumed input a decoder lets pile up before releasing it.
inline constexpr size_t kMappedInputReleaseStep = size_t{1} << 20;

}  // namespace tessivo::platform
