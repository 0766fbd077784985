// A file that replaces its destination only once it is complete. Writers of whole documents
// (multi-page TIFF, GIF, merges) write to a hidden sibling of the destination and rename it
// over the destination at the end, so a failure half-way leaves the user's old file untouched
// and no partial document behind.
#pragma once
#include <string>

namespace tessivo {

class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile();  // removes the sibling unless committed
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  PendingFile(PendingFile&& other) noexcept;
  PendingFile& operator=(PendingFile&& other) noexcept;

  // Creates the empty sibling exclusively in the destination's folder. False when the folder
  // does not exist or refuses new files.
  bool Open(const std::string& destination);
  // Where the writer writes: the sibling.
  const std::string& Path() const { return partial_; }
  const std::string& Destination() const { return destination_; }
  bool IsOpen() const { return !partial_.empty(); }
  // Renames the sibling over the destination. False (and the sibling removed) when that fails.
  bool Commit();
  // Removes the sibling (nothing happens to the destination).
  void Discard();

 private:
  std::string destination_;
  std::string partial_;
};

}  // namespace tessivo
