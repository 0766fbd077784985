// The process-wide TWAIN session over SANE: the state machine, the open device, its options as
// capabilities, and the results of the last call. Every method expects the caller to hold mu.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "sane_library.h"
#include "tessivo/plugins/tvtwain.h"

namespace tvtwain {

// Leaves bytes that a vector grows by as they are: a scanned block grows row by row and every
// row is written in full as it arrives, so zeroing it first would only write it twice.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using PixelBlock = std::vector<uint8_t, UninitializedAllocator<uint8_t>>;

}  // namespace tvtwain

struct tvtwain_image {
  tvtwain_image_info info{};
  tvtwain::PixelBlock pixels;
};

namespace tvtwain {

// TWAIN's numbers.
enum : int32_t { TWRC_SUCCESS = 0, TWRC_FAILURE = 1, TWRC_CANCEL = 3 };
enum : int32_t {
  TWCC_SUCCESS = 0, TWCC_BUMMER = 1, TWCC_LOWMEMORY = 2, TWCC_NODS = 3, TWCC_OPERATIONERROR = 5,
  TWCC_BADPROTOCOL = 9, TWCC_BADVALUE = 10, TWCC_SEQERROR = 11, TWCC_CAPUNSUPPORTED = 13,
  TWCC_CAPBADOPERATION = 14, TWCC_PAPERJAM = 20,
  TWCC_NOMEDIA = 29
};
enum : int32_t { TWPT_BW = 0, TWPT_GRAY = 1, TWPT_RGB = 2 };
enum : int32_t { TWSX_NATIVE = 0, TWSX_FILE = 1, TWSX_MEMORY = 2 };

enum : int32_t {
  TWTY_INT8 = 0, TWTY_INT16 = 1, TWTY_INT32 = 2, TWTY_UINT8 = 3, TWTY_UINT16 = 4, TWTY_UINT32 = 5,
  TWTY_BOOL = 6, TWTY_FIX32 = 7, TWTY_STR32 = 9, TWTY_STR64 = 10, TWTY_STR128 = 11,
  TWTY_STR255 = 12, TWTY_STR1024 = 13, TWTY_UNI512 = 14
};

// What a capability answers: its item type, and its values as a list or as a range.
struct CapValues {
  int32_t itemType = TWTY_UINT16;
  bool isRange = false;
  std::vector<double> values;        // a list (one value for a current value)
  double minimum = 0, maximum = 0, step = 1;  // a range
  std::vector<std::string> strings;  // string-valued capabilities
};

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

  // Capabilities (capabilities.cpp). message 1: the values offered, 2: the current value.
  bool GetCap(int32_t cap, int32_t message, CapValues& out);
  bool SetCap(int32_t cap, int32_t itemType, double value);
  bool SetCapString(int32_t cap, int32_t itemType, const std::string& value);
  bool ResetCap(int32_t cap);
  bool GetLayout(double& left, double& top, double& right, double& bottom);  // inches
  bool SetLayout(double left, double top, double right, double bottom);
  bool ResetLayout();
  bool PhysicalSize(double& width, double& height);  // inches
  bool EnableDuplex(bool enable);

  // Batches, dialogs and the log (batch.cpp).
  bool SetMultiTransfer(bool multi);
  bool EndTransfer();
  bool AbortTransfers();
  bool DisableSource();
  bool SelectSource();
  bool SourceSetup();
  bool StartLog(const std::string& path);
  bool StopLog();
  void Log(const std::string& line);
  tvtwain_ui_hooks hooks{};
  bool indicators = true;
  bool showErrors = true;
  bool debugMode = false;
  bool autoClose = false;
  struct AppIdentity {
    int32_t major = 0, minor = 0, language = 0, country = 1;
    std::string versionInfo, manufacturer, family, product;
  } app;

  void Succeed() { rc_ = TWRC_SUCCESS, cc_ = TWCC_SUCCESS; }
  bool Fail(int32_t condition) {
    rc_ = TWRC_FAILURE, cc_ = condition;
    if (log_ || debugMode) Log("failure, condition code " + std::to_string(condition));
    return false;
  }
  bool Cancelled() {
    rc_ = TWRC_CANCEL, cc_ = TWCC_SUCCESS;
    return false;
  }
  int32_t ResultCode() const { return rc_; }
  int32_t ConditionCode() const { return cc_; }
  bool userClosed = false;
  bool transferFailed = false;
  int32_t lastTransferMode = -1;
  bool hideUI = false;

  // The pixel block of a freed page, kept for the next page: pages of a batch or of repeated
  // scans are the same size, and a kept block needs no fresh memory faulted in and zeroed.
  void KeepSpareBlock(PixelBlock&& block);

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
  // A capability backed by SANE options (capabilities.cpp).
  bool OptionDescriptor(const char* name, int& index, const SANE_Option_Descriptor*& d) const;
  bool WriteNumberNearest(const char* name, double value);  // snapped to the constraint
  bool OptionValues(const char* name, std::vector<double>& values, bool& isRange, double& lo,
                    double& hi, double& step);
  bool MappedGet(int32_t cap, int32_t message, const char* option, double lo, double hi,
                 CapValues& out);
  bool MappedSet(const char* option, double lo, double hi, double value);
  bool SourceList(std::vector<std::string>& sources);
  bool SelectSourceKind(bool feeder, bool duplex);
  void SnapshotDefaults();
  bool RestoreDefault(const char* name);
  std::vector<std::pair<std::string, std::vector<uint8_t>>> defaults_;
  bool feederEmpty_ = false;  // the feeder answered "no documents" since it was selected
  std::string author_, caption_, timeDate_;
  std::string selectedSource_;  // chosen in the source dialog
  bool multiTransfer_ = false;
  int32_t xferCount_ = -1;
  int32_t pending_ = 0;  // transfers left in the running batch (-1: until the feeder is empty)
  FILE* log_ = nullptr;
  // Ends a batch: back to state 4, or the source closed when auto close is on.
  void EndBatch();

  PixelBlock spareBlock_;

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
