// Batches of transfers, the dialogs the host shows for the library, and the event log.
#include <sys/time.h>

#include <ctime>
#include <vector>

#include "session.h"

namespace tvtwain {

void Session::EndBatch() {
  state_ = 0;
  pending_ = 0;
  if (autoClose && device_) {
    Log("closing the source after its last transfer");
    sane_.close(device_);
    device_ = nullptr;
    deviceName_.clear();
  }
}

bool Session::SetMultiTransfer(bool multi) {
  if (state_ >= 5) return Fail(TWCC_SEQERROR);  // not while a batch runs
  multiTransfer_ = multi;
  Succeed();
  return true;
}

bool Session::EndTransfer() {
  if (state_ != 7) return Fail(TWCC_SEQERROR);
  if (pending_ > 0) --pending_;
  if (pending_ == 0) {
    EndBatch();
  } else {
    state_ = 6;
  }
  Succeed();
  return true;
}

bool Session::AbortTransfers() {
  if (state_ != 6 && state_ != 7) return Fail(TWCC_SEQERROR);
  EndBatch();
  Succeed();
  return true;
}

bool Session::DisableSource() {
  if (state_ < 5) return Fail(TWCC_SEQERROR);
  EndBatch();
  Succeed();
  return true;
}

bool Session::SelectSource() {
  if (!OpenManager()) return false;
  std::vector<std::string> names;
  for (std::string n = FirstSourceName(); !n.empty() && names.size() < 4096; n = NextSourceName())
    names.push_back(n);
  if (names.empty()) return Fail(TWCC_NODS);
  if (!hooks.select_source) return Cancelled();
  std::vector<const char*> pointers;
  for (const std::string& n : names) pointers.push_back(n.c_str());
  int32_t chosen = -1;
  if (hooks.select_source(hooks.context, pointers.data(), static_cast<int32_t>(names.size()),
                          &chosen) != 1)
    return Cancelled();
  if (chosen < 0 || chosen >= static_cast<int32_t>(names.size())) return Fail(TWCC_BADVALUE);
  selectedSource_ = names[static_cast<size_t>(chosen)];
  Log("source chosen: " + selectedSource_);
  Succeed();
  return true;
}

bool Session::SourceSetup() {
  if (!device_ || state_ >= 5) return Fail(TWCC_SEQERROR);
  if (!hooks.source_setup || hooks.source_setup(hooks.context, deviceName_.c_str()) != 1)
    return Cancelled();
  Succeed();
  return true;
}

bool Session::StartLog(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return Fail(TWCC_BADVALUE);
  FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return Fail(TWCC_BADVALUE);
  if (log_) std::fclose(log_);
  log_ = f;
  Log("log started");
  Succeed();
  return true;
}

bool Session::StopLog() {
  if (!log_) return Fail(TWCC_SEQERROR);
  Log("log stopped");
  std::fclose(log_);
  log_ = nullptr;
  Succeed();
  return true;
}

void Session::Log(const std::string& line) {
  if (!log_ && !debugMode) return;
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  if (log_) {
    std::fprintf(log_, "%s.%03ld state %d: %s\n", stamp, static_cast<long>(now.tv_usec / 1000),
                 State(), line.c_str());
    std::fflush(log_);
  }
  if (debugMode) std::fprintf(stderr, "tvtwain: %s\n", line.c_str());
}

}  // namespace tvtwain
