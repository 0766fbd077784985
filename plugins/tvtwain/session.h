// The process-wide TWAIN session over SANE: the state machine, the open device, its options as
// capabilities, and the results of the last call. Every method expects the caller to hold mu.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sane_library.h"
#include "tessivo/plugins/tvtwain.h"

struct tvtwain_image {
  tvtwain_image_info info{};
  std::vector<uint8_t> pixels;
};

namespace tvtwain {

// TWAIN's numbers.
enum : int32_t { TWRC_SUCCESS = 0, TWRC_FAILURE = 1 };
enum : int32_t {
  TWCC_SUCCESS = 0, TWCC_BUMMER = 1, TWCC_LOWMEMORY = 2, TWCC_NODS = 3, TWCC_OPERATIONERROR = 5,
  TWCC_BADVALUE = 10, TWCC_SEQERROR = 11, TWCC_CAPUNSUPPORTED = 13, TWCC_PAPERJAM = 20,
  TWCC_NOMEDIA = 29
};
enum : int32_t { TWPT_BW = 0, TWPT_GRAY = 1, TWPT_RGB = 2 };
enum : int32_t { TWSX_NATIVE = 0, TWSX_FILE = 1, TWSX_MEMORY = 2 };

// Images above this many bytes are refused before anything is allocated.
inline constexpr int64_t kMaxImageBytes = int64_t{1} << 31;

class Session {
 public:
  std::mutex mu;

  int32_t State() const;
  bool SetLibraryPath(const std::string& path);
  bool LibraryAvailable();
  bool OpenManager();
  bool CloseManager();
  bool Unload();

  std::string FirstSourceName();
  std::string NextSourceName();
  std::string DefaultSourceName();
  const std::string& CurrentSourceName() const { return deviceName_; }
  bool OpenSource(const std::string& name);
  bool CloseSource();

  bool SetMechanism(int32_t mechanism);
  int32_t Mechanism();
  int32_t PixelType();
  bool SetPixelType(int32_t type);
  int32_t BitDepth();
  bool SetBitDepth(int32_t bits);
  double Resolution();
  bool SetResolution(double dpi);

  tvtwain_image* Acquire();

  void Succeed() { rc_ = TWRC_SUCCESS, cc_ = TWCC_SUCCESS; }
  bool Fail(int32_t condition) {
    rc_ = TWRC_FAILURE, cc_ = condition;
    return false;
  }
  int32_t ResultCode() const { return rc_; }
  int32_t ConditionCode() const { return cc_; }
  bool userClosed = false;
  bool transferFailed = false;
  int32_t lastTransferMode = -1;
  bool hideUI = false;

 private:
  bool EnsureLoaded();
  bool RequireSource();
  int OptionIndex(const char* name) const;
  bool ReadString(const char* name, std::string& value);
  bool WriteString(const char* name, const std::string& value);
  bool ReadNumber(const char* name, double& value);
  bool WriteNumber(const char* name, double value);
  int32_t SampleDepth();
  bool ModeIsColor(bool& color);
  // Reads every frame of the started scan into `image`; fails with a condition code.
  bool ReadImage(tvtwain_image& image);
  int32_t ConditionFor(SANE_Status status);

  SaneLibrary sane_;
  std::string libraryPath_ = "libsane.so.1";
  bool initialised_ = false;
  SANE_Handle device_ = nullptr;
  std::string deviceName_;
  const SANE_Device** devices_ = nullptr;
  size_t walk_ = 0;
  int32_t state_ = 0;  // 5..7 while a transfer runs; 0: the fields above tell the state
  int32_t mechanism_ = TWSX_NATIVE;
  int32_t rc_ = TWRC_SUCCESS;
  int32_t cc_ = TWCC_SUCCESS;
};

Session& TheSession();

}  // namespace tvtwain
