// libtiff over memory and over platform streams, with libtiff's messages kept away from
// standard error (errors are recorded on the handle instead).
#pragma once
#include <tiffio.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/stream.h"

namespace tessivo::platform::codecs {

class TiffHandle {
 public:
  // Reads `data` in place (it must outlive the handle); nullptr when it is no TIFF.
  static TiffHandle OpenMemory(const uint8_t* data, size_t size, int64_t maxAllocation);
  // Writes (mode "w": classic TIFF) at the stream's current position onward.
  static TiffHandle OpenStream(Stream& stream, const char* mode);

  TiffHandle() = default;
  TiffHandle(TiffHandle&& other) noexcept;
  TiffHandle& operator=(TiffHandle&& other) noexcept;
  ~TiffHandle();

  TIFF* get() const { return tif_; }
  explicit operator bool() const { return tif_ != nullptr; }
  // Closes the file (writes pending directories); false when libtiff reported an error.
  bool Close();
  bool HadError() const;

  struct Source;  // what libtiff's callbacks read from or write to

 private:
  TIFF* tif_ = nullptr;
  Source* source_ = nullptr;
};

}  // namespace tessivo::platform::codecs
