// Fixtures of the loading, saving and information tests: a private temporary folder per test,
// images of every pixel format with a pattern every format can hold, and small file probes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "support/scripted_host.h"

namespace tessivo::testing {

// A fresh folder for one test, made the toolkit's temporary folder (through "tmp") for the
// test's life and removed afterwards.
class ScopedTempFolder {
 public:
  ScopedTempFolder();
  ~ScopedTempFolder();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Names in the folder made by the toolkit's temporary-file rule (digits only).
  std::vector<std::string> TempFiles() const;

 private:
  std::string path_;
  std::unique_ptr<ScopedEnv> env_;
};

// The pattern: white where x % 3 == 0 or y % 2 == 0, black elsewhere, always opaque.
uint32_t PatternPixel(int32_t x, int32_t y);
// Registers a `width` x `height` bitmap of `format` holding the pattern and returns its ID.
int32_t RegisterPattern(platform::PixelFormat format, int32_t width = 7, int32_t height = 5);
// The pixel of a registered image as ARGB.
uint32_t PixelOf(int32_t id, int32_t x, int32_t y);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool FileExists(const std::string& path);

// The Compression tag (259) of the first directory of a TIFF file; -1 when it cannot be read.
int32_t TiffCompressionOf(const std::vector<uint8_t>& tiff);

}  // namespace tessivo::testing

namespace tessivo::testing {

// A GIF89a of 2 x 2 pixels (black and white) with one frame per entry of `delays`
// (hundredths of a second); frame i shows pixel values (i + x + y) % 2.
std::vector<uint8_t> MultiFrameGif(const std::vector<uint16_t>& delays);

}  // namespace tessivo::testing
