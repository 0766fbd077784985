// What a batch run shows while it goes: on a terminal one progress line redrawn in place
// (files done / total, rate, time left), otherwise one plain line per finished file.
#pragma once
#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace tessivo::cli {

class BatchProgress {
 public:
  BatchProgress(std::ostream& out, bool terminal, std::size_t total);

  void FileDone(const std::string& input, bool ok);
  // Clears the progress line (on a terminal) so the summary starts on a line of its own.
  void Finish();

  double ElapsedSeconds() const;

 private:
  void DrawBar();

  std::ostream& out_;
  bool terminal_;
  std::size_t total_;
  std::size_t done_ = 0;
  std::size_t failed_ = 0;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_{};
};

// "1:05", "12:00:03" — a duration as a clock shows it.
std::string ClockText(double seconds);

}  // namespace tessivo::cli
