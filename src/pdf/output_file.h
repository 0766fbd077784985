// The file a PDF document is written into: a temporary file beside the destination, written
// strictly sequentially, that becomes the destination only when the document is complete.
// Byte offsets come from what was actually written, and a failed write is remembered, so a
// document never claims offsets or success it does not have.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tessivo::pdf {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  // an uncommitted file is abandoned

  // Creates the temporary file in the destination's folder. False when `destination` is
  // empty or already exists (it is then left untouched) or the folder is not writable.
  bool Create(const std::string& destination);
  bool IsOpen() const { return file_ != nullptr; }
  // Appends bytes; a short write marks the file failed and later writes are dropped.
  void Write(std::string_view bytes);
  // Bytes written so far (the offset of the next byte).
  uint64_t Offset() const { return offset_; }
  bool Failed() const { return failed_; }
  void MarkFailed() { failed_ = true; }
  // Flushes, closes and moves the file to its destination without replacing a file that
  // appeared there meanwhile. On any failure the temporary file is removed and false returned.
  bool Commit();
  // Closes and removes the temporary file.
  void Abandon();

 private:
  std::FILE* file_ = nullptr;
  std::string destination_;
  std::string temporary_;
  uint64_t offset_ = 0;
  bool failed_ = false;
};

}  // namespace tessivo::pdf
