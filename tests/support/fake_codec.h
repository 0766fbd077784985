// An in-process stand-in for the codec plug-in, so the codec routes run in tests. It reads and
// writes "FAKE" files of its own: a header naming the codec format the file claims to be, then
// one or more pages stored the way the plug-in interface hands them over (rows bottom-up).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/codec_plugin.h"

namespace tessivo::testing {

struct FakeItem {
  uint32_t id;
  uint16_t type;
  std::vector<uint8_t> value;
};

// One page as the plug-in would hold it.
struct FakePage {
  uint32_t width = 0, height = 0, bpp = 24;
  int32_t colorType = TVIMG_RGB;
  int32_t imageType = TVIMG_TYPE_BITMAP;
  uint32_t dpmX = 3780, dpmY = 3780;  // 96 dpi
  std::vector<uint8_t> palette;       // blue, green, red, 0 per entry
  std::vector<uint8_t> rowsTopDown;   // packed rows, top row first (stored bottom-up)
  std::vector<FakeItem> metadata;
};

// What the fake saw: counts and the last save.
struct FakeCodecLog {
  int loads = 0;
  int saves = 0;
  int32_t lastSaveFormat = -2;
  int32_t lastSaveFlags = 0;
  FakePage lastSaved;
  int32_t tiffJpegQuality = -1;
  int openDocuments = 0;
  int lockedPages = 0;
  int liveBitmaps = 0;
  int openFiles = 0;
};
FakeCodecLog& FakeLog();

void WriteFakeFile(const std::string& path, int32_t format, const std::vector<FakePage>& pages);

// Installs the fake as the thread's codec plug-in for one scope (and clears its log).
class ScopedFakeCodec {
 public:
  ScopedFakeCodec();
  ~ScopedFakeCodec();
  ScopedFakeCodec(const ScopedFakeCodec&) = delete;
  ScopedFakeCodec& operator=(const ScopedFakeCodec&) = delete;

 private:
  const TvimgplugApi* previous_;
};

// Makes sure no codec plug-in is active on this thread for one scope.
class ScopedNoCodec {
 public:
  ScopedNoCodec() : previous_(InstallCodecPlugin(nullptr)) {}
  ~ScopedNoCodec() { InstallCodecPlugin(previous_); }
  ScopedNoCodec(const ScopedNoCodec&) = delete;
  ScopedNoCodec& operator=(const ScopedNoCodec&) = delete;

 private:
  const TvimgplugApi* previous_;
};

}  // namespace tessivo::testing
